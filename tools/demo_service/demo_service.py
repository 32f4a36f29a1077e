#!/usr/bin/env python3
"""Demo homework service on loopback: what the client and the uninstaller talk to when no real
deployment is configured. Standard library only.

Serves
  /                     home page with an editable field to paste into
  /Problem.html         help page
  /update/Version.aspx  the update document (see --update); records each request body
  /update/Remove.aspx   records each uninstall report
  /download/Setup.exe   the installer file given with --installer
  /download/Setup.exe.sig
                        its signature (openssl dgst -sha256 -sign, DER) with --signing-key
  /download/linux/NAME  the Linux package given with --linux-package (NAME its file name), and
  /download/linux/NAME.sig
                        its signature, made the same way; the update document answers a request
                        whose product_name is "DrovessaClientLinux" with an offer of it
  /apt/...              an apt repository (suite "stable", component "main") of the packages
                        given with --apt-package, made at start with apt-ftparchive and signed
                        with gpg (InRelease, Release.gpg) under the secret key --apt-key
Control requests, answered only with the header "X-Demo-Token: T", where T is the token the
service made at its start and wrote to its state file (any page or process can reach loopback;
only the one who started the service can read that file):
  /_demo/records        what was received, as JSON (for tests and support staff)
  /_demo/clear          forgets what was received
  /_demo/installer?path=P
                        serve the file P as /download/Setup.exe from now on; P must be one of the
                        files named with --installer or --allow-installer at start
  /_demo/set?doc=D&status=S&cut=1
                        answer the update document D (URL-encoded) with status S from now on;
                        cut=1 declares ten bytes more than it sends and closes the connection
  /_demo/signature?variant=V
                        serve the installer's signature as V from now on: valid, missing (404),
                        other-file, other-key, truncated, empty, oversized, trailing, overlong
                        (a non-minimal DER length) or cut (ten bytes declared and not sent);
                        the Linux package's signature too
  /_demo/linux-package?path=P&changed=1
                        offer and serve the file P as the Linux package from now on (P one of
                        the files named with --linux-package or --allow-linux-package at start;
                        no path: offer none); changed=1 serves it with one byte changed and the
                        signature of the file as it is
  /_demo/apt-release?changed=1
                        serve the apt repository's Release and InRelease with a line changed
                        after signing from now on (changed=0: as signed)

  demo_service.py --start STATE [options]   run in the background (tests' fixtures); STATE
                                            receives "port N", "pid P" and "token T" once it
                                            listens (readable by its owner only)
  demo_service.py --stop STATE              stop it

Requests bodies arrive with the verb GET, so they are read from Content-Length on every verb.
It binds 127.0.0.1 only.
"""
import argparse
import hmac
import html
import json
import os
import secrets
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from urllib.parse import parse_qs, urlsplit

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
    def __init__(self, update_document, installer, allowed_installers=(), token=None, signing_key=None):
        self.lock = threading.Lock()
        self.signing_key = signing_key
        self.signature_variant = "valid"
        self.token = token or secrets.token_hex(16)
        # The only files a control request may choose to serve.
        self.allowed_installers = {Path(p).resolve() for p in allowed_installers}
        if installer is not None:
            self.allowed_installers.add(Path(installer).resolve())
        self.update_document = update_document
        self.update_status = 200
        self.update_cut = False
        self.installer = installer
        self.linux_package = None
        self.linux_package_changed = False
        self.allowed_linux_packages = set()
        self.apt_repository = None  # the folder served under /apt/
        self.apt_release_changed = False
        self.records = {"version": [], "remove": [], "requests": []}

    def record(self, kind, entry):
        with self.lock:
            self.records.setdefault(kind, []).append(entry)

    def snapshot(self):
        with self.lock:
            return json.loads(json.dumps(self.records))

    def clear(self):
        with self.lock:
            self.records = {"version": [], "remove": [], "requests": []}


SIGNATURE_VARIANTS = ("valid", "missing", "other-file", "other-key", "truncated", "empty", "oversized",
                      "trailing", "overlong", "cut")


def openssl_sign(key, data):
    """The DER ECDSA signature of SHA-256(data) that `openssl dgst -sha256 -sign key` writes."""
    return subprocess.run(["openssl", "dgst", "-sha256", "-sign", str(key)], input=data,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=True).stdout


def signature_for(state, data):
    """The installer's signature as the current variant has it; None for a missing one."""
    variant = state.signature_variant
    if variant == "missing":
        return None
    if variant == "other-key":
        with tempfile.TemporaryDirectory() as folder:  # a key nobody trusts, made for this answer
            other = Path(folder) / "other.pem"
            subprocess.run(["openssl", "genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256",
                            "-out", str(other)], check=True, capture_output=True)
            return openssl_sign(other, data)
    signature = openssl_sign(state.signing_key, data + b"another file" if variant == "other-file" else data)
    if variant == "truncated":
        return signature[:-1]
    if variant == "empty":
        return b""
    if variant == "oversized":
        return signature + bytes(1100)
    if variant == "trailing":
        return signature + b"\0"
    if variant == "overlong":  # the sequence's length in the long form, where the short one fits
        return signature[:1] + b"\x81" + signature[1:]
    return signature


def linux_package_bytes(state):
    """The Linux package as served: with one byte changed when the test asks for that."""
    data = state.linux_package.read_bytes()
    if state.linux_package_changed and data:
        middle = len(data) // 2
        data = data[:middle] + bytes([data[middle] ^ 0x01]) + data[middle + 1:]
    return data


APT_SUITE = "stable"
APT_RELEASE_FIELDS = {"Origin": "Drovessa", "Label": "Drovessa", "Suite": APT_SUITE, "Codename": APT_SUITE,
                      "Components": "main", "Description": "Drovessa teachers' client (demo service)"}


def run_tool(argv, **kwargs):
    return subprocess.run(argv, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs).stdout


def make_apt_repository(folder, packages, secret_key):
    """An apt repository of `packages` in `folder`, made by Debian's tools: apt-ftparchive writes
    Packages and Release, gpg signs Release (InRelease, Release.gpg) in a GnuPG home of its own."""
    folder = Path(folder)
    pool = folder / "pool" / "main"
    pool.mkdir(parents=True)
    architectures = set()
    for package in packages:
        shutil.copyfile(package, pool / Path(package).name)
        architectures.add(run_tool(["dpkg-deb", "--field", str(package), "Architecture"]).decode().strip())
    # Packages for "all" go into every architecture's index.
    architectures = sorted(architectures - {"all"}) or [run_tool(["dpkg", "--print-architecture"]).decode().strip()]
    suite = folder / "dists" / APT_SUITE
    for architecture in architectures:
        index = suite / "main" / f"binary-{architecture}"
        index.mkdir(parents=True)
        listing = run_tool(["apt-ftparchive", "--arch", architecture, "packages", "pool/main"], cwd=folder)
        (index / "Packages").write_bytes(listing)
        run_tool(["gzip", "-9nk", str(index / "Packages")])
    options = []
    for name, value in {**APT_RELEASE_FIELDS, "Architectures": " ".join(architectures)}.items():
        options += ["-o", f"APT::FTPArchive::Release::{name}={value}"]
    release = run_tool(["apt-ftparchive", *options, "release", "."], cwd=suite)
    (suite / "Release").write_bytes(release)
    home = Path(tempfile.mkdtemp(prefix="corvane-apt-gpg."))
    gpg = ["gpg", "--homedir", str(home), "--batch", "--pinentry-mode", "loopback", "--passphrase", ""]
    try:
        run_tool([*gpg, "--import", str(secret_key)])
        run_tool([*gpg, "--clearsign", "--output", str(suite / "InRelease"), str(suite / "Release")])
        run_tool([*gpg, "--armor", "--detach-sign", "--output", str(suite / "Release.gpg"), str(suite / "Release")])
    finally:
        subprocess.run(["gpgconf", "--homedir", str(home), "--kill", "gpg-agent"], capture_output=True)
        shutil.rmtree(home, ignore_errors=True)


def apt_file_bytes(state, relative):
    """A file of the apt repository, or None; Release and InRelease changed after signing when the
    test asks for that."""
    root = state.apt_repository
    if root is None:
        return None
    candidate = (root / relative).resolve()
    if root not in candidate.parents or not candidate.is_file():
        return None
    data = candidate.read_bytes()
    if state.apt_release_changed and candidate.name in ("Release", "InRelease"):
        data = data.replace(b"\nLabel: Drovessa\n", b"\nLabel: Drovessa, changed\n", 1)
    return data


def requested_product(body):
    try:
        request = json.loads(body.decode("utf-8"))
    except (UnicodeDecodeError, ValueError):
        return None
    return request.get("product_name") if isinstance(request, dict) else None


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

        def _send(self, status, body, content_type="text/html; charset=utf-8", cut=False):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body) + (10 if cut else 0)))
            if cut:
                self.send_header("Connection", "close")
                self.close_connection = True
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)

        def _handle(self):
            path = urlsplit(self.path).path
            body = self._body()
            entry = {"verb": self.command, "path": self.path,
                     "headers": {k: v for k, v in self.headers.items()},
                     "body": body.decode("latin-1")}
            if path.startswith("/_demo/"):
                return self._control(path)
            state.record("requests", {"verb": self.command, "path": self.path})
            if path == "/":
                host = html.escape(self.headers.get("Host", ""))
                return self._send(200, HOME_PAGE.format(host=host).encode("utf-8"))
            if path == "/Problem.html":
                return self._send(200, HELP_PAGE.encode("utf-8"))
            if path == "/update/Version.aspx":
                state.record("version", entry)
                self._persist(record_file, "version", entry)
                if state.linux_package is not None and requested_product(body) == "DrovessaClientLinux":
                    offer = {"product_name": "DrovessaClientLinux", "type": 1, "force": False,
                             "url": f"http://127.0.0.1:{self.server.server_address[1]}/download/linux/"
                                    f"{state.linux_package.name}"}
                    return self._send(200, json.dumps(offer).encode("utf-8"), "application/json")
                return self._send(state.update_status, state.update_document, "application/json",
                                  cut=state.update_cut)
            if path == "/update/Remove.aspx":
                state.record("remove", entry)
                self._persist(record_file, "remove", entry)
                return self._send(200, b"ok", "text/plain")
            if path == "/download/Setup.exe" and state.installer is not None:
                return self._send(200, state.installer.read_bytes(), "application/octet-stream")
            if path == "/download/Setup.exe.sig" and state.installer is not None and state.signing_key:
                signature = signature_for(state, state.installer.read_bytes())
                if signature is not None:
                    return self._send(200, signature, "application/octet-stream",
                                      cut=state.signature_variant == "cut")
            if path.startswith("/apt/"):
                data = apt_file_bytes(state, path[len("/apt/"):])
                if data is not None:
                    return self._send(200, data, "application/octet-stream")
            if state.linux_package is not None and path == f"/download/linux/{state.linux_package.name}":
                return self._send(200, linux_package_bytes(state), "application/octet-stream")
            if (state.linux_package is not None and state.signing_key
                    and path == f"/download/linux/{state.linux_package.name}.sig"):
                # Signed as the file is on disk: a changed byte in transit must not verify.
                signature = signature_for(state, state.linux_package.read_bytes())
                if signature is not None:
                    return self._send(200, signature, "application/octet-stream",
                                      cut=state.signature_variant == "cut")
            return self._send(404, b"not found", "text/plain")

        def _control(self, path):
            given = self.headers.get("X-Demo-Token", "")
            if not hmac.compare_digest(given.encode("utf-8", "replace"), state.token.encode()):
                return self._send(403, b"control requests need the service's token", "text/plain")
            if path == "/_demo/set":
                query = parse_qs(urlsplit(self.path).query, keep_blank_values=True, encoding="latin-1")
                state.update_document = query.get("doc", [""])[0].encode("latin-1")
                state.update_status = int(query.get("status", ["200"])[0])
                state.update_cut = query.get("cut", ["0"])[0] == "1"
                return self._send(200, b"ok", "text/plain")
            if path == "/_demo/installer":
                query = parse_qs(urlsplit(self.path).query, encoding="utf-8")
                candidate = Path(query.get("path", [""])[0])
                if not candidate.is_file():
                    return self._send(404, b"no such file", "text/plain")
                if candidate.resolve() not in state.allowed_installers:
                    return self._send(403, b"not one of the installers named at start", "text/plain")
                state.installer = candidate.resolve()
                return self._send(200, b"ok", "text/plain")
            if path == "/_demo/linux-package":
                query = parse_qs(urlsplit(self.path).query, encoding="utf-8")
                given = query.get("path", [""])[0]
                if not given:
                    state.linux_package = None
                    return self._send(200, b"ok", "text/plain")
                candidate = Path(given)
                if not candidate.is_file():
                    return self._send(404, b"no such file", "text/plain")
                if candidate.resolve() not in state.allowed_linux_packages:
                    return self._send(403, b"not one of the packages named at start", "text/plain")
                state.linux_package = candidate.resolve()
                state.linux_package_changed = query.get("changed", ["0"])[0] == "1"
                return self._send(200, b"ok", "text/plain")
            if path == "/_demo/apt-release":
                state.apt_release_changed = parse_qs(urlsplit(self.path).query).get("changed", ["0"])[0] == "1"
                return self._send(200, b"ok", "text/plain")
            if path == "/_demo/signature":
                variant = parse_qs(urlsplit(self.path).query).get("variant", [""])[0]
                if variant not in SIGNATURE_VARIANTS:
                    return self._send(400, b"unknown variant", "text/plain")
                state.signature_variant = variant
                return self._send(200, b"ok", "text/plain")
            if path == "/_demo/clear":
                state.clear()
                return self._send(200, b"ok", "text/plain")
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
    p.add_argument("--allow-installer", type=Path, action="append", default=[], metavar="FILE",
                   help="a file that /_demo/installer may choose later (repeatable)")
    p.add_argument("--linux-package", type=Path, metavar="DEB",
                   help='Debian package offered to the Linux edition ("DrovessaClientLinux")')
    p.add_argument("--allow-linux-package", type=Path, action="append", default=[], metavar="FILE",
                   help="a file that /_demo/linux-package may choose later (repeatable)")
    p.add_argument("--apt-package", type=Path, action="append", default=[], metavar="DEB",
                   help="a package of the apt repository served under /apt/ (repeatable)")
    p.add_argument("--apt-key", type=Path, metavar="ASC",
                   help="OpenPGP secret key (gpg --export-secret-keys) that signs the apt repository")
    p.add_argument("--signing-key", type=Path, metavar="PEM",
                   help="private key that signs the installer as /download/Setup.exe.sig")
    p.add_argument("--record", type=Path, help="append each update request and report to this file (JSON lines)")
    p.add_argument("--port-file", type=Path,
                   help='write "port N" and "token T" here once listening (readable by its owner only)')
    p.add_argument("--verbose", action="store_true")
    args = p.parse_args(argv)
    if args.installer is not None and not args.installer.is_file():
        p.error(f"--installer: no such file: {args.installer}")
    if args.offer_update and args.installer is None:
        p.error("--offer-update needs --installer")
    if args.signing_key is not None and not args.signing_key.is_file():
        p.error(f"--signing-key: no such file: {args.signing_key}")
    for allowed in args.allow_installer:
        if not allowed.is_file():
            p.error(f"--allow-installer: no such file: {allowed}")
    if args.linux_package is not None and not args.linux_package.is_file():
        p.error(f"--linux-package: no such file: {args.linux_package}")
    for allowed in args.allow_linux_package:
        if not allowed.is_file():
            p.error(f"--allow-linux-package: no such file: {allowed}")
    for package in args.apt_package:
        if not package.is_file():
            p.error(f"--apt-package: no such file: {package}")
    if args.apt_package and (args.apt_key is None or not args.apt_key.is_file()):
        p.error("--apt-package needs --apt-key, the repository's secret key")
    return args


def state_from_args(args, token=None):
    state = DemoState(b"", args.installer, args.allow_installer, token=token, signing_key=args.signing_key)
    state.allowed_linux_packages = {Path(p).resolve() for p in args.allow_linux_package}
    if args.linux_package is not None:
        state.linux_package = args.linux_package.resolve()
        state.allowed_linux_packages.add(state.linux_package)
    if args.apt_package:
        # Removed with the process (or the test's state) that made it.
        state.apt_folder = tempfile.TemporaryDirectory(prefix="corvane-apt.")
        make_apt_repository(state.apt_folder.name, args.apt_package, args.apt_key)
        state.apt_repository = Path(state.apt_folder.name).resolve()
    return state


def update_document(args, port):
    if args.update:
        candidate = Path(args.update)
        text = candidate.read_bytes() if candidate.is_file() else args.update.encode("utf-8")
        return text
    if args.offer_update:
        return json.dumps({"product_name": "DrovessaClient", "type": 1, "force": False,
                           "url": f"http://127.0.0.1:{port}/download/Setup.exe"}).encode("utf-8")
    return json.dumps({"product_name": "DrovessaClient", "type": 0}).encode("utf-8")


def write_private(path, text):
    """Writes `text` to a new file that only its owner can read."""
    path = Path(path)
    path.unlink(missing_ok=True)
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
    with os.fdopen(fd, "w") as f:
        f.write(text)


def start_in_background(state_file, argv):
    """Runs the service as a detached process and returns once it listens."""
    state_file = Path(state_file).resolve()
    state_file.unlink(missing_ok=True)
    port_file = state_file.with_suffix(".port")
    port_file.unlink(missing_ok=True)
    child = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--port-file", str(port_file), *argv],
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             start_new_session=True)
    for _ in range(100):
        fields = port_file.read_text() if port_file.exists() else ""
        if fields.endswith("\n"):  # written whole
            port_file.unlink()
            write_private(state_file, f"{fields}pid {child.pid}\n")
            return 0
        if child.poll() is not None:
            break
        time.sleep(0.1)
    print("demo_service: did not start", file=sys.stderr)
    return 1


def stop_background(state_file):
    state_file = Path(state_file)
    if not state_file.exists():
        return 0
    fields = dict(line.split() for line in state_file.read_text().splitlines() if line.strip())
    state_file.unlink()
    try:
        os.kill(int(fields["pid"]), signal.SIGTERM)
    except (KeyError, ValueError, ProcessLookupError):
        pass
    return 0


def main(argv=None):
    argv = argv if argv is not None else sys.argv[1:]
    if argv[:1] == ["--start"] and len(argv) >= 2:
        return start_in_background(argv[1], ["--port", "0", *argv[2:]])
    if argv[:1] == ["--stop"] and len(argv) == 2:
        return stop_background(argv[1])
    args = parse_args(argv)
    state = state_from_args(args)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), make_handler(state, args.record))
    server.verbose = args.verbose
    port = server.server_address[1]
    state.update_document = update_document(args, port)
    if args.port_file:
        partial = args.port_file.with_name(args.port_file.name + ".part")
        write_private(partial, f"port {port}\ntoken {state.token}\n")
        partial.replace(args.port_file)
    print(f"demo_service: listening on http://127.0.0.1:{port}/", flush=True)
    # --stop's SIGTERM ends it as Ctrl+C does, so the apt repository's folder goes with it.
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
        if state.apt_repository is not None:
            state.apt_folder.cleanup()


if __name__ == "__main__":
    sys.exit(main())
