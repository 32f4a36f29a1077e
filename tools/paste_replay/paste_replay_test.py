"""paste_replay on real files: local pictures inlined as the client would, the bitmap paragraph,
output to a file, and one-line errors with non-zero exit codes for bad input."""
import base64
import os
import subprocess
import tempfile
import unittest

TOOL = os.environ.get("PASTE_REPLAY", "paste_replay")
PNG = bytes.fromhex("89504e470d0a1a0a0000000d4948445200000001000000010103000000"
                    "25db56ca00000003504c5445ff000019e20937")


def cf_html(fragment: bytes) -> bytes:
    layout = "Version:0.9\r\nStartHTML:%08d\r\nEndHTML:%08d\r\nStartFragment:%08d\r\nEndFragment:%08d\r\n"
    before, after = b"<html><body><!--StartFragment-->", b"<!--EndFragment--></body></html>"
    header_length = len(layout % (0, 0, 0, 0))
    start = header_length + len(before)
    end = start + len(fragment)
    header = layout % (header_length, end + len(after), start, end)
    return header.encode() + before + fragment + after


def fragment_of(entry: bytes) -> bytes:
    values = {}
    for line in entry.split(b"\r\n")[:20]:
        key, _, value = line.partition(b":")
        values[key] = value
    return entry[int(values[b"StartFragment"]):int(values[b"EndFragment"])]


class PasteReplayTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def write(self, name, data: bytes):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def run_tool(self, *args):
        return subprocess.run([TOOL, *args], capture_output=True, timeout=60)

    def test_local_pictures_are_inlined_and_other_files_are_not(self):
        png = self.write("pic.png", PNG)
        text = self.write("secret.txt", b"password=hunter2\n")
        entry = self.write("entry.cfhtml", cf_html(
            b'<img src="file://' + png.encode() + b'"> and <img src="file://' + text.encode() + b'">'))
        result = self.run_tool(entry)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(result.stdout.startswith(b"Version:1.0\r\nStartHTML:0000000105\r\n"))
        self.assertEqual(fragment_of(result.stdout),
                         b'<img src="data:image/png;base64,' + base64.b64encode(PNG) +
                         b'"> and <img src="data:image/png;base64,">')

    def test_a_bitmap_replaces_the_fragment_and_output_goes_to_a_file(self):
        bmp = self.write("clip.bmp", b"BM:\0\0\0\0\0\0\0" + b"6\0\0\0" + b"(\0\0\0" + bytes(40))
        entry = self.write("entry.cfhtml", cf_html(b"<p>text</p>"))
        out = self.path("out.cfhtml")
        result = self.run_tool(entry, "--bitmap", bmp, "--output", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, b"")
        with open(out, "rb") as f, open(bmp, "rb") as b:
            self.assertEqual(fragment_of(f.read()),
                             b'<p><img src = "data:image/bmp;base64,' + base64.b64encode(b.read()) +
                             b'"> </img></p>')

    def assert_one_line_error(self, result, code, words):
        self.assertEqual(result.returncode, code)
        self.assertEqual(result.stdout, b"")
        last = result.stderr.decode().strip().splitlines()[-1]
        self.assertTrue(last.startswith("paste_replay: "), last)
        self.assertIn(words, last)

    def test_bad_input_gets_a_one_line_error(self):
        entry = self.write("entry.cfhtml", cf_html(b"<p>x</p>"))
        self.assert_one_line_error(self.run_tool(self.path("missing.cfhtml")), 1, "cannot read")
        self.assert_one_line_error(self.run_tool(entry, "--bitmap", entry), 1, "not a BMP file")
        self.assert_one_line_error(self.run_tool(entry, "--bitmap", self.path("none.bmp")), 1, "cannot read")
        self.assert_one_line_error(self.run_tool(), 1, "no entry file")
        self.assert_one_line_error(self.run_tool(entry, "--frobnicate"), 1, "unexpected argument")
        self.assert_one_line_error(self.run_tool("--live"), 1, "Windows build")
        broken = self.write("broken.cfhtml", b"StartHTML:-1\r\nEndHTML:99999999999\r\n\0")
        self.assert_one_line_error(self.run_tool(broken), 2, "nothing would be written")
        garbage = self.write("garbage.bin", os.urandom(4096))
        self.assertIn(self.run_tool(garbage).returncode, (0, 2))


if __name__ == "__main__":
    unittest.main()
