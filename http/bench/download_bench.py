#!/usr/bin/env python3
"""Download benchmark: a 128 MiB body from the loopback test server, fetched by http_probe (the
engine with libcurl) and by the curl command in the same run, alternating; then, if given, by
the Windows build of http_probe under Wine.

  python3 http/bench/download_bench.py --probe build/bench/bin/http_probe \
      [--win-probe build/win32/bin/http_probe.exe] [--rounds 5]

Reports the median transfer rate of each and the peak resident memory of each native process
against the body size. Goals: ours at least half of curl's rate, peak RSS at most 1.5x the body.
For context it also reports curl keeping the body in memory (a file on /dev/shm), which pays
for fresh pages as the engine's in-memory body does and curl writing to /dev/null does not.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

BODY = 128 * 1024 * 1024
HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "tests", "http_test_server.py")


def run_measured(command):
    """Runs a command; returns (wall seconds, peak RSS bytes, stdout)."""
    start = time.monotonic()
    child = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = child.stdout.read().decode(errors="replace")
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(command)}\n{out}")
    return wall, usage.ru_maxrss * 1024, out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--probe", required=True)
    parser.add_argument("--win-probe")
    parser.add_argument("--rounds", type=int, default=5)
    opts = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        state = os.path.join(tmp, "server.txt")
        subprocess.run([sys.executable, SERVER, "--start", state], check=True, stdout=subprocess.DEVNULL)
        try:
            port = dict(l.split() for l in open(state) if l.strip())["port"]
            url = f"http://127.0.0.1:{port}/len/{BODY}"
            ours, theirs, kept, our_rss, their_rss = [], [], [], [], []
            shm = "/dev/shm" if os.path.isdir("/dev/shm") else tmp
            for _ in range(opts.rounds):
                _, rss, out = run_measured([opts.probe, url])
                if "complete: yes" not in out:
                    sys.exit("http_probe did not get the whole body:\n" + out)
                ours.append(float(re.search(r"mib-per-second: ([\d.]+)", out).group(1)))
                our_rss.append(rss)
                _, rss, out = run_measured(["curl", "-s", "-o", "/dev/null", "-w", "%{speed_download}", url])
                theirs.append(float(out) / (1024 * 1024))
                their_rss.append(rss)
                with tempfile.NamedTemporaryFile(dir=shm) as kept_file:
                    _, _, out = run_measured(["curl", "-s", "-o", kept_file.name, "-w", "%{speed_download}", url])
                kept.append(float(out) / (1024 * 1024))
            mib = BODY / (1024 * 1024)
            ours_rate, curl_rate = statistics.median(ours), statistics.median(theirs)
            print(f"body: {mib:.0f} MiB, {opts.rounds} rounds each, medians")
            print(f"http_probe (engine + libcurl): {ours_rate:8.1f} MiB/s, peak RSS {max(our_rss) / 2**20:6.1f} MiB"
                  f" = {max(our_rss) / BODY:.2f}x body")
            print(f"curl -o /dev/null:             {curl_rate:8.1f} MiB/s, peak RSS {max(their_rss) / 2**20:6.1f} MiB")
            print(f"curl -o (file in memory):      {statistics.median(kept):8.1f} MiB/s (for context)")
            print(f"ratio ours/curl: {ours_rate / curl_rate:.2f} (goal >= 0.50); "
                  f"RSS goal <= 1.50x body: {'met' if max(our_rss) <= 1.5 * BODY else 'MISSED'}")
            if opts.win_probe:
                # The project's runner picks the Wine loader this machine can run.
                wine = [os.path.join(HERE, "..", "..", "cmake", "wine-run.sh")]
                _, _, out = run_measured(["xvfb-run", "-a", *wine, opts.win_probe, url]) if not os.environ.get("DISPLAY") \
                    else run_measured([*wine, opts.win_probe, url])
                rate = re.search(r"mib-per-second: ([\d.]+)", out)
                print(f"http_probe.exe under Wine (WinINet): {float(rate.group(1)) if rate else 0:8.1f} MiB/s"
                      f" ({'complete' if 'complete: yes' in out else 'INCOMPLETE'})")
        finally:
            subprocess.run([sys.executable, SERVER, "--stop", state], check=False)


if __name__ == "__main__":
    main()
