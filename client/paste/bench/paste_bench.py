#!/usr/bin/python3
"""Pasting a screenshot into a rich-text editor: the Linux edition against Debian's Chromium
(--app) and surf, in the same run.

  /usr/bin/python3 client/paste/bench/paste_bench.py [--client build/linux/bin/corvane-client]
      [--rounds 5] [--only corvane,chromium,surf] [--before OLD/corvane-client]

The page is Quill 2.0.3 (from the npm registry, fetched by `bash tools/bootstrap.sh --bench`
into /var/cache/corvane-deps/npm, never into the repository), served by a loopback server of
ours. Two desktop-like screenshots (1920x1080 and 3840x2160, text, panels and a photo-like
area, drawn with PIL) are offered on the clipboard as image/png by xclip. Each round starts each
browser once, fresh profile, in an order that rotates from round to round; in each start, after
one untimed warm-up paste of a small picture, each screenshot is pasted once:
  paste     from `xdotool key ctrl+v` to the moment the editor reports the picture in its
            content (Quill's text-change, posted to our server), split at the page's paste
            event: before it the browser's own work (reading the clipboard, for this client
            also the conversion), after it the page's (Quill reads the event and inserts)
  bytes     whether the picture's data: URI decodes to exactly the clipboard's PNG bytes (else
            whether its pixels are the same)
  peak      the largest proportional set size (PSS) of the browser's whole process tree,
            sampled every 25 ms from the key until the picture arrived, for the 4K paste
Prints each paste (total = to the paste event + in the page) and the medians. Goal: both sizes at or below Chromium's median.

It needs an X display, a window manager and a session bus; without a display it runs itself
again under Xvfb with openbox and a private bus. Everything listens on 127.0.0.1 only.
"""
import argparse
import base64
import http.server
import io
import json
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

from PIL import Image, ImageDraw, ImageFilter

ROOT = Path(__file__).resolve().parents[3]
sys.path.insert(0, str(ROOT / "client" / "browser" / "webkit" / "bench"))
from browser_bench import (QuietHandler, browsers, fresh_profile_env, rerun_under_xvfb, stop,  # noqa: E402
                           tree_pss_kib)

QUILL = Path(os.environ.get("CORVANE_DEPS", "/var/cache/corvane-deps")) / "npm" / "quill-2.0.3" / "package" / "dist"

# The editor fills the window; every change that brings a picture is reported, then the picture
# itself (for the byte check), then the editor is emptied for the next paste.
EDITOR_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>Editor</title>
<link href="/quill.snow.css" rel="stylesheet">
<style>html, body { margin: 0; height: 100%; } #editor { height: calc(100% - 44px); }</style></head>
<body><div id="editor"></div><script src="/quill.js"></script><script>
var quill = new Quill('#editor', {theme: 'snow'});
// Wall-clock moments (ms) of the paste event and of the change, for the time breakdown.
function now() { return performance.timeOrigin + performance.now(); }
var pasteAt = 0;
document.addEventListener('paste', function () { pasteAt = now(); }, true);
quill.on('text-change', function () {
  var img = quill.root.querySelector('img');
  if (!img) return;
  var moments = JSON.stringify({paste: pasteAt, change: now()});
  fetch('/_bench/arrived', {method: 'POST', cache: 'no-store', body: moments}).then(function () {
    return fetch('/_bench/picture', {method: 'POST', cache: 'no-store', body: img.src});
  }).then(function () { quill.setContents([]); quill.focus(); });
});
addEventListener('load', function () {
  quill.focus();
  fetch('/_bench/loaded', {method: 'POST', cache: 'no-store'});
});
</script></body></html>"""


class EditorServer:
    """The editor page, Quill's files, and the moments and pictures the page reports."""

    def __init__(self):
        self.changed = threading.Condition()
        self.events = []  # (kind, monotonic time, body)
        server = self

        class Handler(QuietHandler):
            def do_GET(self):
                if self.path == "/":
                    return self._reply(200, EDITOR_PAGE.encode("utf-8"))
                if self.path in ("/quill.js", "/quill.snow.css"):
                    kind = "text/javascript" if self.path.endswith(".js") else "text/css"
                    return self._reply(200, (QUILL / self.path[1:]).read_bytes(), kind)
                return self._reply(404)

            def do_POST(self):
                now = time.monotonic()
                body = self.rfile.read(int(self.headers.get("Content-Length", "0") or 0))
                with server.changed:
                    server.events.append((self.path.rsplit("/", 1)[-1], now, body))
                    server.changed.notify_all()
                return self._reply(204)

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def wait_for(self, kind, after, timeout):
        """(time, body) of the first `kind` report later than `after`, or None."""
        deadline = time.monotonic() + timeout
        with self.changed:
            while True:
                for event in self.events:
                    if event[0] == kind and event[1] > after:
                        return event[1], event[2]
                left = deadline - time.monotonic()
                if left <= 0:
                    return None
                self.changed.wait(left)


def screenshot(width, height, seed, photo):
    """A desktop-like PNG: a title bar and panels, lines of text, a photo-like area `photo`
    (width, height) pixels large, which decides most of the file's size."""
    rng = random.Random(seed)
    img = Image.new("RGB", (width, height), (236, 239, 244))
    draw = ImageDraw.Draw(img)
    scale = width / 1920
    draw.rectangle([0, 0, width, int(36 * scale)], fill=(45, 52, 64))
    draw.rectangle([0, int(36 * scale), int(300 * scale), height], fill=(216, 222, 233))
    for i in range(40):
        y = int((60 + i * 24) * scale)
        draw.text((int(16 * scale), y), f"Folder {i}: homework {rng.randint(1, 999)}", fill=(46, 52, 64))
    words = "the quick brown fox jumps over the lazy dog homework class grade teacher".split()
    for i in range(int(height / (18 * scale)) - 4):
        line = " ".join(rng.choice(words) for _ in range(rng.randint(6, 22)))
        draw.text((int(330 * scale), int((50 + i * 18) * scale)), line, fill=(30, 30, 30))
    # The photo: smooth colour fields with fine grain, as a camera picture has.
    pw, ph = photo
    base = Image.effect_noise((pw // 8, ph // 8), 90).convert("RGB").resize((pw, ph), Image.BICUBIC)
    tint = Image.new("RGB", (pw, ph), (rng.randint(60, 200), rng.randint(60, 200), rng.randint(60, 200)))
    photo = Image.blend(base, tint, 0.5)
    grain = Image.effect_noise((pw, ph), 24).convert("RGB")
    photo = Image.blend(photo, grain, 0.18).filter(ImageFilter.SMOOTH)
    img.paste(photo, (width - pw - int(40 * scale), int(60 * scale)))
    out = io.BytesIO()
    img.save(out, "PNG")
    return out.getvalue()


def offer_png(path):
    """xclip owns the clipboard with the PNG; returns once it answers."""
    proc = subprocess.Popen(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", str(path)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        targets = subprocess.run(["xclip", "-selection", "clipboard", "-o", "-t", "TARGETS"],
                                 capture_output=True, timeout=5).stdout
        if b"image/png" in targets:
            return proc
        time.sleep(0.02)
    return proc


def same_picture(data_uri, png):
    """'bytes' when the data: URI holds exactly `png`, 'pixels' when only the pixels agree."""
    head, _, payload = data_uri.partition(b",")
    if not head.startswith(b"data:"):
        return "no data: URI"
    landed = base64.b64decode(payload)
    if landed == png:
        return "bytes"
    a, b = Image.open(io.BytesIO(landed)).convert("RGBA"), Image.open(io.BytesIO(png)).convert("RGBA")
    return "pixels" if a.size == b.size and a.tobytes() == b.tobytes() else "DIFFERENT"


class PeakPss:
    """The largest PSS of a process tree, sampled in a thread until stopped."""

    def __init__(self, pid):
        self.pid, self.peak, self.running = pid, 0, True
        self.thread = threading.Thread(target=self._sample, daemon=True)
        self.thread.start()

    def _sample(self):
        while self.running:
            self.peak = max(self.peak, tree_pss_kib(self.pid)[0])
            time.sleep(0.025)

    def stop(self):
        self.running = False
        self.thread.join()
        return self.peak / 1024


def click_into_editor(pid):
    """Activates the browser's largest visible window (by its process) and clicks its middle."""
    for _ in range(100):
        windows = []
        for window in subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                                     capture_output=True, text=True).stdout.split():
            geometry = dict(line.split("=", 1) for line in subprocess.run(
                ["xdotool", "getwindowgeometry", "--shell", window], capture_output=True, text=True).stdout.split())
            windows.append((int(geometry["WIDTH"]) * int(geometry["HEIGHT"]), window, geometry))
        if windows:
            _, window, geometry = max(windows)
            subprocess.run(["xdotool", "windowactivate", "--sync", window], capture_output=True)
            x, y = int(geometry["X"]) + int(geometry["WIDTH"]) // 2, int(geometry["Y"]) + int(geometry["HEIGHT"]) // 2
            subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], capture_output=True)
            return True
        time.sleep(0.1)
    return False


def run_start(name, argv, server, pictures, warmup, timeout, paste_timeout):
    profile_home = tempfile.mkdtemp(prefix=f"paste-bench-{name}-")
    env = fresh_profile_env(profile_home, server.port)
    argv = [a.replace("{profile}", profile_home) for a in argv]
    started = time.monotonic()
    proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    results = {}
    try:
        if server.wait_for("loaded", started, timeout) is None or not click_into_editor(proc.pid):
            return None
        time.sleep(1.0)  # let start-up work settle before the first key
        for label, path, png in [("warm-up", *warmup)] + pictures:
            owner = offer_png(path)
            sampler = PeakPss(proc.pid)
            pressed, pressed_wall = time.monotonic(), time.time() * 1000
            subprocess.run(["xdotool", "key", "ctrl+v"], check=True)
            arrived = server.wait_for("arrived", pressed, paste_timeout)
            peak = sampler.stop()
            picture = server.wait_for("picture", pressed, paste_timeout) if arrived else None
            stop(owner) if owner.poll() is None else None
            if arrived is None or picture is None:
                results[label] = None
                continue
            moments = json.loads(arrived[1] or b"{}")
            results[label] = {"ms": (arrived[0] - pressed) * 1000, "peak": peak,
                              "check": same_picture(picture[1], png),
                              "to_event": moments.get("paste", 0) - pressed_wall,
                              "in_page": moments.get("change", 0) - moments.get("paste", 0)}
            time.sleep(0.5)
        return results
    finally:
        stop(proc)
        shutil.rmtree(profile_home, ignore_errors=True)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--client", type=Path, default=ROOT / "build" / "linux" / "bin" / "corvane-client")
    p.add_argument("--rounds", type=int, default=5)
    p.add_argument("--timeout", type=float, default=60.0, help="seconds to wait for the editor to load")
    p.add_argument("--paste-timeout", type=float, default=10.0, help="seconds to wait for a picture")
    p.add_argument("--only", default="corvane,chromium,surf")
    p.add_argument("--before", type=Path, help="another build of the client, run as 'before' in the same rounds")
    args = p.parse_args()

    if not os.environ.get("DISPLAY"):
        return rerun_under_xvfb("1920x1200")

    wanted = [name for name in args.only.split(",") if name] + (["before"] if args.before else [])
    missing = [name for name in wanted if name not in ("corvane", "before") and shutil.which(name) is None]
    if missing or not (QUILL / "quill.js").exists():
        sys.exit("bench: browsers or Quill missing; run: bash tools/bootstrap.sh --bench")
    if "corvane" in wanted and not os.access(args.client, os.X_OK):
        sys.exit(f"bench: no client at {args.client}; build the linux tree first")

    scratch = Path(tempfile.mkdtemp(prefix="paste-bench-"))
    pictures = []
    # Photo areas chosen so that the files weigh what real screenshots of these sizes did
    # (1.2 MB and 3.0 MB).
    for label, (w, h), photo in (("1080p", (1920, 1080), (1030, 830)), ("4K", (3840, 2160), (1760, 1240))):
        png = screenshot(w, h, w, photo)
        (scratch / f"{label}.png").write_bytes(png)
        pictures.append((label, scratch / f"{label}.png", png))
        print(f"{label}: {w}x{h}, {len(png) / 1e6:.2f} MB PNG", flush=True)
    small = screenshot(320, 200, 1, (100, 80))
    (scratch / "warm.png").write_bytes(small)

    server = EditorServer()
    url = f"http://127.0.0.1:{server.port}/"
    results = {name: {label: [] for label, _, _ in pictures} for name in wanted}
    splits = {name: {label: [] for label, _, _ in pictures} for name in wanted}
    peaks = {name: [] for name in wanted}
    try:
        for round_index in range(args.rounds):
            order = wanted[round_index % len(wanted):] + wanted[:round_index % len(wanted)]
            for name in order:
                argv = [str(args.before)] if name == "before" else browsers(args.client, url)[name][0]
                start = run_start(name, argv, server, pictures, (scratch / "warm.png", small), args.timeout,
                                  args.paste_timeout)
                if start is None:
                    print(f"round {round_index + 1} {name:9s} the editor did not load", flush=True)
                    continue
                line = []
                for label, _, _ in pictures:
                    r = start.get(label)
                    if r is None:
                        line.append(f"{label} no picture")
                        continue
                    results[name][label].append(r["ms"])
                    splits[name][label].append((r["to_event"], r["in_page"]))
                    line.append(f"{label} {r['ms']:6.0f} ms = {r['to_event']:4.0f} + {r['in_page']:4.0f} ({r['check']})")
                    if label == "4K":
                        peaks[name].append(r["peak"])
                        line.append(f"peak PSS {r['peak']:6.1f} MiB")
                print(f"round {round_index + 1} {name:9s} " + "   ".join(line), flush=True)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    print("\nmedians")
    for name in wanted:
        cells = [f"{label} {statistics.median(v):6.0f} ms (to the paste event "
                 f"{statistics.median(a for a, _ in splits[name][label]):.0f}, page "
                 f"{statistics.median(b for _, b in splits[name][label]):.0f})"
                 for label, v in results[name].items() if v]
        if peaks[name]:
            cells.append(f"4K peak PSS {statistics.median(peaks[name]):6.1f} MiB")
        print(f"  {name:9s} " + "   ".join(cells) + f"   ({len(results[name]['4K'])} runs)")
    if "corvane" in wanted and "chromium" in wanted:
        for label in results["corvane"]:
            ours, theirs = results["corvane"][label], results["chromium"][label]
            if ours and theirs:
                met = statistics.median(ours) <= statistics.median(theirs)
                print(f"{label}: corvane {statistics.median(ours):.0f} ms vs chromium "
                      f"{statistics.median(theirs):.0f} ms: goal {'met' if met else 'NOT met'}")
    print(f"load: {os.getloadavg()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
