#!/usr/bin/env python3
"""Demo homework service on loopback: what the client and the uninstaller talk to when no real
deployment is configured. Standard library only.

Serves
  /                     home page with an editable field to paste into
  /Problem.html         help page
  /update/Version.aspx  the update document (see --update); records each request body
  /update/Remove.aspx   records each uninstall report
  /download/Setup.exe   the installer file given with --installer
  /_demo/records        what was received, as JSON (for tests and support staff)

Requests bodies arrive with the verb GET, so they are read from Content-Length on every verb.
It binds 127.0.0.1 only.
"""
import argparse
import html
import json
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from urllib.parse import urlsplit

HOME_PAGE = """<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>Drovessa 作业</title>
<style>
body {{ font-family: "Microsoft YaHei", "WenQuanYi Micro Hei", sans-serif; margin: 2em; color: #1f2933; }}
h1 {{ color: #2f6feb; font-weight: 600; }}
#editor {{ min-height: 12em; border: 1px solid #c9d2dc; border-radius: 6px; padding: 0.8em; }}
</style></head>
<body>
<h1>Drovessa 老师端（演示服务）</h1>
<p>在下面的编辑区粘贴文字或图片：</p>
<div id="editor" contenteditable="true"></div>
<p><a href="/Problem.html">常见问题</a></p>
<p class="host">{host}</p>
</body></html>
"""

HELP_PAGE = """<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>常见问题</title></head>
<body><h1>常见问题</h1><p>遇到问题请联系学校的管理员。</p><p><a href="/">返回首页</a></p></body></html>
"""


class DemoState:
    def __init__(self, update_document, installer):
        self.lock = threading.Lock()
        self.update_document = update_document
        self.installer = installer
        self.records = {"version": [], "remove": [], "requests": []}

    def record(self, kind, entry):
        with self.lock:
            self.records.setdefault(kind, []).append(entry)

    def snapshot(self):
        with self.lock:
            return json.loads(json.dumps(self.records))


def make_handler(state, record_file):
    class Handler(BaseHTTPRequestHandler):
        server_version = "CorvaneDemo/1.0"
        protocol_version = "HTTP/1.1"

        def log_message(self, fmt, *args):  # quiet unless asked
            if self.server.verbose:
                sys.stderr.write("demo_service: " + (fmt % args) + "\n")

        def _body(self):
            length = int(self.headers.get("Content-Length") or 0)
            return self.rfile.read(length) if length > 0 else b""

        def _send(self, status, body, content_type="text/html; charset=utf-8"):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)

        def _handle(self):
            path = urlsplit(self.path).path
            body = self._body()
            entry = {"verb": self.command, "path": self.path,
                     "headers": {k: v for k, v in self.headers.items()},
                     "body": body.decode("latin-1")}
            state.record("requests", {"verb": self.command, "path": self.path})
            if path == "/":
                host = html.escape(self.headers.get("Host", ""))
                return self._send(200, HOME_PAGE.format(host=host).encode("utf-8"))
            if path == "/Problem.html":
                return self._send(200, HELP_PAGE.encode("utf-8"))
            if path == "/update/Version.aspx":
                state.record("version", entry)
                self._persist(record_file, "version", entry)
                return self._send(200, state.update_document, "application/json")
            if path == "/update/Remove.aspx":
                state.record("remove", entry)
                self._persist(record_file, "remove", entry)
                return self._send(200, b"ok", "text/plain")
            if path == "/download/Setup.exe" and state.installer is not None:
                return self._send(200, state.installer.read_bytes(), "application/octet-stream")
            if path == "/_demo/records":
                return self._send(200, json.dumps(state.snapshot()).encode("utf-8"), "application/json")
            return self._send(404, b"not found", "text/plain")

        @staticmethod
        def _persist(record_file, kind, entry):
            if record_file is None:
                return
            with state.lock, open(record_file, "a", encoding="utf-8") as f:
                f.write(json.dumps({"kind": kind, **entry}, ensure_ascii=False) + "\n")

        do_GET = do_POST = do_HEAD = _handle

    return Handler


def parse_args(argv):
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--port", type=int, default=8765, help="port on 127.0.0.1 (0: any free port)")
    p.add_argument("--update", metavar="FILE_OR_JSON",
                   help="update document to answer: a file, or JSON text; default: no update offered")
    p.add_argument("--offer-update", action="store_true",
                   help="offer the installer given with --installer as an update (type 1)")
    p.add_argument("--installer", type=Path, help="file served as /download/Setup.exe")
    p.add_argument("--record", type=Path, help="append each update request and report to this file (JSON lines)")
    p.add_argument("--port-file", type=Path, help="write the bound port here once listening")
    p.add_argument("--verbose", action="store_true")
    args = p.parse_args(argv)
    if args.installer is not None and not args.installer.is_file():
        p.error(f"--installer: no such file: {args.installer}")
    if args.offer_update and args.installer is None:
        p.error("--offer-update needs --installer")
    return args


def update_document(args, port):
    if args.update:
        candidate = Path(args.update)
        text = candidate.read_bytes() if candidate.is_file() else args.update.encode("utf-8")
        return text
    if args.offer_update:
        return json.dumps({"product_name": "DrovessaClient", "type": 1, "force": False,
                           "url": f"http://127.0.0.1:{port}/download/Setup.exe"}).encode("utf-8")
    return json.dumps({"product_name": "DrovessaClient", "type": 0}).encode("utf-8")


def main(argv=None):
    args = parse_args(argv if argv is not None else sys.argv[1:])
    state = DemoState(b"", args.installer)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), make_handler(state, args.record))
    server.verbose = args.verbose
    port = server.server_address[1]
    state.update_document = update_document(args, port)
    if args.port_file:
        args.port_file.write_text(str(port))
    print(f"demo_service: listening on http://127.0.0.1:{port}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
