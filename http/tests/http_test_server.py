#!/usr/bin/env python3
"""The HTTP engine's test server, on 127.0.0.1 only, for the native and the Wine tests.

  http_test_server.py --start STATE   start in the background, wait until it listens
  http_test_server.py --stop STATE    stop the server that --start started
  http_test_server.py --serve STATE   run in the foreground

STATE receives "port N", "refused_port M" (bound, never listening: connections are refused)
and "pid P". Paths:
  /len/N              N pattern bytes with Content-Length
  /nolen/N            N pattern bytes, no Content-Length, connection closed at the end
  /short/N/M          Content-Length N but only M bytes, then the connection is closed
  /missing            404
  /hold/S             Content-Length 1000, 10 bytes, then nothing for S seconds
  /drip/K/MS          K chunks of 100 bytes, each after MS milliseconds
  /grow/A/MS/B        no Content-Length: A bytes, a pause of MS milliseconds, B more bytes
  /echo               the request as text: request line, header lines, empty line, body
  /redirect/C/N       status C to /redirect/C/N-1, and from N = 0 to /echo: N + 1 redirects
  /loop               302 to itself
  /goto?URL           302 to URL, taken verbatim
Pattern bytes: byte i of a body is i % 251.
"""
import os
import signal
import socket
import subprocess
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PATTERN_BLOCK = bytes(range(251)) * 4177  # ~1 MiB, a whole number of pattern periods
MAX_LIFETIME_S = 3600
stopping = threading.Event()


def pattern(n):
    out = bytearray()
    while len(out) + len(PATTERN_BLOCK) <= n:
        out += PATTERN_BLOCK
    out += PATTERN_BLOCK[: n - len(out)]
    return bytes(out)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def version_string(self):
        return "CorvaneTest/1"

    def log_message(self, *args):
        pass

    def head(self, status, length=None, close=False):
        self.send_response(status)
        self.send_header("Last-Modified", "Wed, 21 Oct 2015 07:28:00 GMT")
        if length is not None:
            self.send_header("Content-Length", str(length))
        if close or length is None:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()

    def send_pattern(self, n):
        sent = 0
        while sent < n:
            chunk = min(len(PATTERN_BLOCK), n - sent)
            self.wfile.write(PATTERN_BLOCK[:chunk] if chunk < len(PATTERN_BLOCK) else PATTERN_BLOCK)
            sent += chunk

    def redirect(self, status, location):
        message = b"moved"
        self.send_response(status)
        self.send_header("Location", location)
        self.send_header("Content-Length", str(len(message)))
        self.end_headers()
        self.wfile.write(message)

    def request_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def answer(self):
        path, _, query = self.path.partition("?")
        parts = path.strip("/").split("/")
        name, args = parts[0], [int(a) for a in parts[1:] if a.lstrip("-").isdigit()]
        body = self.request_body()
        try:
            if name == "len":
                self.head(200, args[0])
                self.send_pattern(args[0])
            elif name == "nolen":
                self.head(200, None)
                self.send_pattern(args[0])
            elif name == "short":
                self.head(200, args[0], close=True)
                self.wfile.write(pattern(args[1]))
            elif name == "hold":
                self.head(200, 1000, close=True)
                self.wfile.write(pattern(10))
                stopping.wait(args[0])
            elif name == "drip":
                self.head(200, 100 * args[0])
                for _ in range(args[0]):
                    time.sleep(args[1] / 1000.0)
                    self.wfile.write(pattern(100))
            elif name == "grow":
                self.head(200, None)
                self.wfile.write(pattern(args[0]))
                time.sleep(args[1] / 1000.0)
                self.send_pattern(args[2])
            elif name == "redirect":
                self.redirect(args[0], f"/redirect/{args[0]}/{args[1] - 1}" if args[1] > 0 else "/echo")
            elif name == "loop":
                self.redirect(302, "/loop")
            elif name == "goto":
                self.redirect(302, query)
            elif name == "echo":
                text = self.requestline.encode("latin-1") + b"\n"
                text += b"".join(f"{k}: {v}\n".encode("latin-1") for k, v in self.headers.items())
                text += b"\n" + body
                self.head(200, len(text))
                self.wfile.write(text)
            else:
                message = b"not found"
                self.head(404, len(message))
                self.wfile.write(message)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    do_GET = do_POST = do_DELETE = do_PUT = answer


class Server(ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 256


def serve(state):
    server = Server(("127.0.0.1", 0), Handler)
    refused = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    refused.bind(("127.0.0.1", 0))  # bound but never listening: connections are refused
    temp = state + ".tmp"
    with open(temp, "w") as f:
        f.write(f"port {server.server_address[1]}\nrefused_port {refused.getsockname()[1]}\npid {os.getpid()}\n")
    os.replace(temp, state)

    def stop(*_):
        stopping.set()
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    # A daemon timer: once serve_forever returns, nothing may keep the process alive.
    lifetime = threading.Timer(MAX_LIFETIME_S, stop)
    lifetime.daemon = True
    lifetime.start()
    server.serve_forever(poll_interval=0.2)


def read_state(state):
    with open(state) as f:
        return dict(line.split() for line in f if line.strip())


def main():
    mode, state = sys.argv[1], os.path.abspath(sys.argv[2])
    if mode == "--serve":
        serve(state)
    elif mode == "--start":
        if os.path.exists(state):
            os.remove(state)
        child = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--serve", state],
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL, start_new_session=True)
        for _ in range(100):
            if os.path.exists(state):
                print(f"test server pid {child.pid}: " + open(state).read().replace("\n", " "))
                return 0
            if child.poll() is not None:
                break
            time.sleep(0.1)
        print("test server did not start", file=sys.stderr)
        return 1
    elif mode == "--stop":
        if not os.path.exists(state):
            return 0
        pid = int(read_state(state)["pid"])
        os.remove(state)
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
