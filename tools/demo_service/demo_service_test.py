"""The demo service over a real loopback socket: pages, the update document, recorded bodies."""
import hashlib
import json
import socket
import subprocess
import sys
import tempfile
import threading
import unittest
from http.server import ThreadingHTTPServer
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import demo_service  # noqa: E402


TOKEN = "t0ken-for-tests"


def raw_request(port, verb, path, body=b"", token=TOKEN):
    with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
        head = f"{verb} {path} HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nAccept: */*\r\nConnection: close\r\n"
        if token is not None:
            head += f"X-Demo-Token: {token}\r\n"
        if body:
            head += f"Content-Length: {len(body)}\r\n"
        s.sendall(head.encode() + b"\r\n" + body)
        data = b""
        while chunk := s.recv(65536):
            data += chunk
    head, _, payload = data.partition(b"\r\n\r\n")
    return int(head.split()[1]), payload


class DemoServiceTest(unittest.TestCase):
    def start(self, *argv):
        args = demo_service.parse_args(["--port", "0", *argv])
        state = demo_service.state_from_args(args, token=TOKEN)
        server = ThreadingHTTPServer(("127.0.0.1", 0), demo_service.make_handler(state, args.record))
        server.verbose = False
        port = server.server_address[1]
        state.update_document = demo_service.update_document(args, port)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        self.addCleanup(server.server_close)
        self.addCleanup(server.shutdown)
        return port

    def test_pages_and_unknown_paths(self):
        port = self.start()
        status, body = raw_request(port, "GET", "/")
        self.assertEqual(status, 200)
        self.assertIn(b'contenteditable="true"', body)
        self.assertEqual(raw_request(port, "GET", "/Problem.html")[0], 200)
        self.assertEqual(raw_request(port, "GET", "/nothing")[0], 404)

    def test_get_with_body_is_recorded_and_answered(self):
        with tempfile.TemporaryDirectory() as tmp:
            record = Path(tmp) / "records.jsonl"
            port = self.start("--record", str(record), "--update", '{"type":1,"url":"http://x/"}')
            body = b'{"product_name":"DrovessaClient","version":"1.2.0.0"}\n'
            status, answer = raw_request(port, "GET", "/update/Version.aspx", body)
            self.assertEqual(status, 200)
            self.assertEqual(json.loads(answer), {"type": 1, "url": "http://x/"})
            raw_request(port, "GET", "/update/Remove.aspx", b'{"cpu":"x"}\n')
            _, records = raw_request(port, "GET", "/_demo/records")
            records = json.loads(records)
            self.assertEqual(records["version"][0]["body"], body.decode())
            self.assertEqual(records["version"][0]["verb"], "GET")
            self.assertEqual(records["remove"][0]["body"], '{"cpu":"x"}\n')
            lines = [json.loads(l) for l in record.read_text().splitlines()]
            self.assertEqual([l["kind"] for l in lines], ["version", "remove"])

    def test_offered_update_points_at_the_served_installer(self):
        with tempfile.TemporaryDirectory() as tmp:
            installer = Path(tmp) / "Setup.exe"
            installer.write_bytes(b"MZ" + bytes(range(256)) * 40)
            port = self.start("--installer", str(installer), "--offer-update")
            _, doc = raw_request(port, "GET", "/update/Version.aspx")
            doc = json.loads(doc)
            self.assertEqual(doc["type"], 1)
            self.assertEqual(doc["url"], f"http://127.0.0.1:{port}/download/Setup.exe")
            status, payload = raw_request(port, "GET", "/download/Setup.exe")
            self.assertEqual((status, payload), (200, installer.read_bytes()))

    def test_update_answer_is_set_at_run_time(self):
        port = self.start()
        doc = "%7B%22type%22%3A2%7D"  # {"type":2}
        self.assertEqual(raw_request(port, "GET", f"/_demo/set?doc={doc}&status=404")[0], 200)
        status, answer = raw_request(port, "GET", "/update/Version.aspx")
        self.assertEqual((status, answer), (404, b'{"type":2}'))
        raw_request(port, "GET", f"/_demo/set?doc={doc}&cut=1")
        with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
            s.sendall(b"GET /update/Version.aspx HTTP/1.1\r\nHost: x\r\n\r\n")
            data = b""
            while chunk := s.recv(65536):
                data += chunk
        self.assertIn(b"Content-Length: 20\r\n", data)
        self.assertTrue(data.endswith(b'{"type":2}'))
        raw_request(port, "GET", "/_demo/set?doc=MZ%00%FF%80")
        self.assertEqual(raw_request(port, "GET", "/update/Version.aspx")[1], b"MZ\x00\xff\x80")
        self.assertEqual(raw_request(port, "GET", "/_demo/clear")[0], 200)
        _, records = raw_request(port, "GET", "/_demo/records")
        self.assertEqual(json.loads(records)["version"], [])
        self.assertEqual(json.loads(records)["requests"], [], "control requests are not recorded")

    def test_background_start_and_stop(self):
        with tempfile.TemporaryDirectory() as tmp:
            state = Path(tmp) / "demo.state"
            self.assertEqual(demo_service.main(["--start", str(state)]), 0)
            self.assertEqual(state.stat().st_mode & 0o077, 0, "the token is for its owner only")
            fields = dict(line.split() for line in state.read_text().splitlines())
            port = int(fields["port"])
            self.assertEqual(raw_request(port, "GET", "/", token=None)[0], 200)
            self.assertEqual(raw_request(port, "GET", "/_demo/records", token=fields["token"])[0], 200)
            self.assertEqual(raw_request(port, "GET", "/_demo/records")[0], 403, "another token")
            self.assertEqual(demo_service.main(["--stop", str(state)]), 0)
            self.assertFalse(state.exists())

    def test_installer_is_chosen_at_run_time_among_those_named_at_start(self):
        with tempfile.TemporaryDirectory() as tmp:
            installer = Path(tmp) / "sample.exe"
            installer.write_bytes(b"MZ sample")
            other = Path(tmp) / "secret.txt"
            other.write_bytes(b"not for the service")
            port = self.start("--allow-installer", str(installer))
            self.assertEqual(raw_request(port, "GET", "/download/Setup.exe")[0], 404, "chosen, not served")
            self.assertEqual(raw_request(port, "GET", "/_demo/installer?path=" + str(other))[0], 403)
            self.assertEqual(raw_request(port, "GET", f"/_demo/installer?path={tmp}/../{Path(tmp).name}/secret.txt")[0], 403)
            self.assertEqual(raw_request(port, "GET", "/download/Setup.exe")[0], 404)
            self.assertEqual(raw_request(port, "GET", "/_demo/installer?path=" + str(installer))[0], 200)
            self.assertEqual(raw_request(port, "GET", "/download/Setup.exe"), (200, b"MZ sample"))
        self.assertEqual(raw_request(port, "GET", "/_demo/installer?path=/no/such/file")[0], 404)

    def test_control_requests_need_the_token(self):
        with tempfile.TemporaryDirectory() as tmp:
            installer = Path(tmp) / "sample.exe"
            installer.write_bytes(b"MZ sample")
            port = self.start("--allow-installer", str(installer))
            for path in ("/_demo/records", "/_demo/clear", "/_demo/set?doc=x",
                         "/_demo/installer?path=" + str(installer)):
                for token in (None, "", "t0ken-for-test", TOKEN + "x"):
                    self.assertEqual(raw_request(port, "GET", path, token=token)[0], 403, (path, token))
            self.assertEqual(raw_request(port, "GET", "/download/Setup.exe")[0], 404, "nothing was chosen")
            self.assertEqual(json.loads(raw_request(port, "GET", "/update/Version.aspx")[1])["type"], 0)

    def test_signature_variants(self):
        with tempfile.TemporaryDirectory() as tmp:
            key, installer = Path(tmp) / "key.pem", Path(tmp) / "Setup.exe"
            subprocess.run(["openssl", "genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256",
                            "-out", str(key)], check=True, capture_output=True)
            subprocess.run(["openssl", "pkey", "-in", str(key), "-pubout", "-out", f"{key}.pub"], check=True)
            installer.write_bytes(b"MZ" + bytes(range(256)) * 50)
            port = self.start("--installer", str(installer), "--signing-key", str(key))

            def verifies(signature):
                (Path(tmp) / "sig").write_bytes(signature)
                return subprocess.run(["openssl", "dgst", "-sha256", "-verify", f"{key}.pub", "-signature",
                                       str(Path(tmp) / "sig"), str(installer)], capture_output=True).returncode == 0

            status, valid = raw_request(port, "GET", "/download/Setup.exe.sig")
            self.assertEqual(status, 200)
            self.assertTrue(verifies(valid))
            answers = {}
            for variant in demo_service.SIGNATURE_VARIANTS[1:-1]:
                self.assertEqual(raw_request(port, "GET", f"/_demo/signature?variant={variant}")[0], 200)
                answers[variant] = raw_request(port, "GET", "/download/Setup.exe.sig")
            for variant in ("other-file", "other-key", "truncated"):
                self.assertFalse(verifies(answers[variant][1]), variant)
            self.assertEqual(answers["missing"][0], 404)
            self.assertEqual(answers["empty"][1], b"")
            # openssl itself lets bytes after the signature pass: the client must not.
            # (Each signature is new, and ECDSA's vary in length: compare with their own DER length.)
            oversized, trailing, overlong = (answers[v][1] for v in ("oversized", "trailing", "overlong"))
            self.assertEqual(len(oversized), 2 + oversized[1] + 1100)
            self.assertEqual(len(trailing), 2 + trailing[1] + 1)
            self.assertEqual((overlong[1], len(overlong)), (0x81, 3 + overlong[2]))
            self.assertEqual(raw_request(port, "GET", "/_demo/signature?variant=nonsense")[0], 400)

    def test_linux_package_offered_to_the_linux_edition_only(self):
        with tempfile.TemporaryDirectory() as tmp:
            key, deb, other = Path(tmp) / "key.pem", Path(tmp) / "corvane-client_9.0_amd64.deb", Path(tmp) / "x.deb"
            subprocess.run(["openssl", "genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256",
                            "-out", str(key)], check=True, capture_output=True)
            subprocess.run(["openssl", "pkey", "-in", str(key), "-pubout", "-out", f"{key}.pub"], check=True)
            deb.write_bytes(b"!<arch>\n" + bytes(range(256)) * 30)
            other.write_bytes(b"!<arch>\nother")
            secret = Path(tmp) / "secret"
            secret.write_bytes(b"not for the service")
            port = self.start("--linux-package", str(deb), "--allow-linux-package", str(other),
                              "--signing-key", str(key))
            linux = b'{"product_name":"DrovessaClientLinux","version":"1.2.0.0"}\n'
            offer = json.loads(raw_request(port, "GET", "/update/Version.aspx", linux)[1])
            url = f"http://127.0.0.1:{port}/download/linux/{deb.name}"
            self.assertEqual(offer, {"product_name": "DrovessaClientLinux", "type": 1, "force": False, "url": url})
            windows = b'{"product_name":"DrovessaClient","version":"1.2.0.0"}\n'
            self.assertEqual(json.loads(raw_request(port, "GET", "/update/Version.aspx", windows)[1])["type"], 0)

            def verifies(data, signature):
                (Path(tmp) / "data").write_bytes(data)
                (Path(tmp) / "sig").write_bytes(signature)
                return subprocess.run(["openssl", "dgst", "-sha256", "-verify", f"{key}.pub", "-signature",
                                       str(Path(tmp) / "sig"), str(Path(tmp) / "data")],
                                      capture_output=True).returncode == 0

            path = f"/download/linux/{deb.name}"
            self.assertEqual(raw_request(port, "GET", path), (200, deb.read_bytes()))
            self.assertTrue(verifies(deb.read_bytes(), raw_request(port, "GET", path + ".sig")[1]))
            # One byte changed in what is served, the signature still of the file as it is.
            self.assertEqual(raw_request(port, "GET", f"/_demo/linux-package?path={deb}&changed=1")[0], 200)
            changed = raw_request(port, "GET", path)[1]
            self.assertEqual(sum(a != b for a, b in zip(changed, deb.read_bytes())), 1)
            self.assertEqual(len(changed), len(deb.read_bytes()))
            self.assertFalse(verifies(changed, raw_request(port, "GET", path + ".sig")[1]))
            raw_request(port, "GET", "/_demo/signature?variant=other-key")
            self.assertFalse(verifies(deb.read_bytes(), raw_request(port, "GET", path + ".sig")[1]))
            # Only files named at start, only with the token; no path: nothing offered.
            self.assertEqual(raw_request(port, "GET", f"/_demo/linux-package?path={secret}")[0], 403)
            self.assertEqual(raw_request(port, "GET", f"/_demo/linux-package?path={other}", token=None)[0], 403)
            self.assertEqual(raw_request(port, "GET", f"/_demo/linux-package?path={other}")[0], 200)
            self.assertEqual(raw_request(port, "GET", path)[0], 404)
            self.assertEqual(raw_request(port, "GET", "/download/linux/x.deb"), (200, other.read_bytes()))
            self.assertEqual(raw_request(port, "GET", "/_demo/linux-package?path=")[0], 200)
            self.assertEqual(json.loads(raw_request(port, "GET", "/update/Version.aspx", linux)[1])["type"], 0)

    def test_apt_repository_signed_and_changed_after_signing(self):
        with tempfile.TemporaryDirectory() as tmp:
            tmp = Path(tmp)
            home, key, keyring = tmp / "gnupg", tmp / "key.asc", tmp / "keyring.gpg"
            home.mkdir(mode=0o700)
            gpg = ["gpg", "--homedir", str(home), "--batch", "--pinentry-mode", "loopback", "--passphrase", ""]
            try:
                subprocess.run([*gpg, "--quick-generate-key", "test archive", "ed25519", "sign", "never"],
                               check=True, capture_output=True)
                key.write_bytes(subprocess.run([*gpg, "--armor", "--export-secret-keys"], check=True,
                                               capture_output=True).stdout)
                keyring.write_bytes(subprocess.run([*gpg, "--export"], check=True, capture_output=True).stdout)
            finally:
                subprocess.run(["gpgconf", "--homedir", str(home), "--kill", "gpg-agent"], capture_output=True)
            # A real package, built by dpkg-deb.
            (tmp / "p" / "DEBIAN").mkdir(parents=True)
            (tmp / "p" / "DEBIAN" / "control").write_text(
                "Package: corvane-client\nVersion: 9.0\nArchitecture: amd64\nMaintainer: T <t@example.org>\n"
                "Description: test\n")
            deb = tmp / "corvane-client_9.0_amd64.deb"
            subprocess.run(["dpkg-deb", "--root-owner-group", "-b", str(tmp / "p"), str(deb)], check=True,
                           capture_output=True)
            port = self.start("--apt-package", str(deb), "--apt-key", str(key))

            def verifies(*files):
                for name, data in files:
                    (tmp / name).write_bytes(data)
                return subprocess.run(["gpgv", "--keyring", str(keyring), *(str(tmp / n) for n, _ in files)],
                                      capture_output=True).returncode == 0

            suite = "/apt/dists/stable/"
            status, in_release = raw_request(port, "GET", suite + "InRelease")
            self.assertEqual(status, 200)
            release = raw_request(port, "GET", suite + "Release")[1]
            self.assertTrue(verifies(("InRelease", in_release)))
            self.assertTrue(verifies(("Release.gpg", raw_request(port, "GET", suite + "Release.gpg")[1]),
                                     ("Release", release)))
            header = dict(line.split(": ", 1) for line in release.decode().splitlines() if ": " in line)
            self.assertEqual({k: header[k] for k in ("Origin", "Suite", "Components", "Architectures")},
                             {"Origin": "Drovessa", "Suite": "stable", "Components": "main", "Architectures": "amd64"})
            # The chain apt follows: Release's hash of Packages, Packages' hash of the package.
            packages = raw_request(port, "GET", suite + "main/binary-amd64/Packages")[1]
            digest = hashlib.sha256(packages).hexdigest().encode()
            self.assertRegex(release, rb" " + digest + rb" +\d+ main/binary-amd64/Packages\n")
            fields = dict(line.split(": ", 1) for line in packages.decode().splitlines() if ": " in line)
            self.assertEqual((fields["Package"], fields["Version"]), ("corvane-client", "9.0"))
            self.assertEqual(raw_request(port, "GET", "/apt/" + fields["Filename"]), (200, deb.read_bytes()))
            self.assertEqual(fields["SHA256"], hashlib.sha256(deb.read_bytes()).hexdigest())
            self.assertEqual(raw_request(port, "GET", "/apt/../demo_service.py")[0], 404)
            self.assertEqual(raw_request(port, "GET", "/apt/pool/main")[0], 404)
            # Changed after signing: neither signature verifies, and only the token may ask for it.
            self.assertEqual(raw_request(port, "GET", "/_demo/apt-release?changed=1", token=None)[0], 403)
            self.assertTrue(verifies(("InRelease", raw_request(port, "GET", suite + "InRelease")[1])))
            self.assertEqual(raw_request(port, "GET", "/_demo/apt-release?changed=1")[0], 200)
            changed = raw_request(port, "GET", suite + "Release")[1]
            self.assertNotEqual(changed, release)
            self.assertFalse(verifies(("InRelease", raw_request(port, "GET", suite + "InRelease")[1])))
            self.assertFalse(verifies(("Release.gpg", raw_request(port, "GET", suite + "Release.gpg")[1]),
                                      ("Release", changed)))
            self.assertEqual(raw_request(port, "GET", "/_demo/apt-release?changed=0")[0], 200)
            self.assertEqual(raw_request(port, "GET", suite + "Release")[1], release)

    def test_no_update_by_default(self):
        port = self.start()
        _, doc = raw_request(port, "GET", "/update/Version.aspx")
        self.assertEqual(json.loads(doc)["type"], 0)


if __name__ == "__main__":
    unittest.main()
