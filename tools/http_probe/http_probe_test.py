#!/usr/bin/env python3
"""Runs http_probe (natively, or under Wine through --runner) against the engine's test server."""
import argparse
import os
import subprocess
import sys
import tempfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--runner", default="")
    opts = parser.parse_args()
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        state = os.path.join(tmp, "server.txt")
        subprocess.run([sys.executable, opts.server, "--start", state], check=True, stdout=subprocess.DEVNULL)
        try:
            info = dict(line.split() for line in open(state) if line.strip())
            base = f"http://127.0.0.1:{info['port']}"
            out_file = os.path.join(tmp, "body.bin")
            # Wine sees the host's files on drive Z:.
            out_arg = ("Z:" + out_file.replace("/", "\\")) if opts.runner else out_file

            def probe(*args):
                command = ([opts.runner] if opts.runner else []) + [opts.probe, *args]
                done = subprocess.run(command, capture_output=True, text=True, timeout=60)
                return done.returncode, done.stdout, done.stderr

            def check(name, condition, detail):
                if not condition:
                    failures.append(f"{name}: {detail}")

            rc, out, _ = probe("--output", out_arg, base + "/len/1000")
            body = open(out_file, "rb").read() if os.path.exists(out_file) else b""
            check("complete body", rc == 0 and "status: 200" in out and "complete: yes" in out
                  and "bytes-received: 1000" in out and "read-completed: 1" in out, (rc, out))
            check("body file", body == bytes(i % 251 for i in range(1000)), len(body))

            rc, out, _ = probe("--body", "abc", "--output", out_arg, base + "/echo")
            echoed = open(out_file, "rb").read()
            check("body sent with GET", rc == 0 and echoed.startswith(b"GET /echo ")
                  and echoed.endswith(b"\n\nabc"), (rc, echoed[:200]))

            rc, out, _ = probe(base + "/short/100/10")
            check("cut body", rc == 1 and "content-length: 100" in out and "complete: no" in out, (rc, out))

            rc, out, _ = probe(f"http://127.0.0.1:{info['refused_port']}/")
            check("no response", rc == 1 and "no response" in out and "status:" not in out, (rc, out))

            rc, _, err = probe()
            check("usage", rc == 2 and "usage:" in err, (rc, err))
            rc, _, err = probe("--bogus", base + "/")
            check("unknown option", rc == 2 and "usage:" in err, (rc, err))
        finally:
            subprocess.run([sys.executable, opts.server, "--stop", state], check=False)
    for failure in failures:
        print("FAILED", failure)
    print("ok" if not failures else f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
