#!/usr/bin/env python3
"""Start-up and memory of the Linux edition against Debian's Chromium (--app) and surf, on the
same page in the same run.

  python3 client/browser/webkit/bench/browser_bench.py [--client build/linux/bin/corvane-client]
      [--rounds 5] [--settle 10] [--only corvane,chromium,surf]

Each round starts each browser once, in an order that rotates from round to round, with a fresh
profile (so every start is a cold start for every browser). It measures:
  start-up  from the spawn to the moment the page's load event reaches our loopback server
  memory    the proportional set size (PSS) of the whole process tree (the browser and every
            process it started: WebKit's web and network processes, Chromium's zygotes and
            renderers), `--settle` seconds after that load event
and prints each run and the medians. Goals: memory at most half of Chromium's, start-up at most
1.1x surf's.

It needs an X display, a window manager and a session bus; without a display it runs itself
again under Xvfb with openbox and a private bus, as tools/run.sh does. Install the two other
browsers with `bash tools/bootstrap.sh --bench`. Everything listens on 127.0.0.1 only.
"""
import argparse
import http.server
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[4]
sys.path.insert(0, str(ROOT / "tools" / "demo_service"))
import demo_service  # noqa: E402  (the home page the client shows)

# Posts to our server once the page's load event has fired; the same bytes for every browser.
LOAD_BEACON = ("<script>addEventListener('load', function () {"
               " fetch('/_bench/loaded', {method: 'POST', cache: 'no-store'}); });</script>")


class QuietHandler(http.server.BaseHTTPRequestHandler):
    """Logs nothing; `_reply` answers uncached."""

    def log_message(self, *args):
        pass

    def _reply(self, status, body=b"", kind="text/html; charset=utf-8"):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)


def fresh_profile_env(profile_home, port):
    """The environment of a browser started with a profile of its own under `profile_home`,
    the client's service at our server on `port`."""
    env = dict(os.environ)
    env.update({
        "HOME": profile_home,
        "XDG_CONFIG_HOME": f"{profile_home}/.config",
        "XDG_DATA_HOME": f"{profile_home}/.local/share",
        "XDG_CACHE_HOME": f"{profile_home}/.cache",
        "XDG_STATE_HOME": f"{profile_home}/.local/state",
        "CORVANE_SERVICE_HOST": f"127.0.0.1:{port}",
    })
    return env


class LoadServer:
    """The demo home page with a load beacon, and the moments the beacon arrives."""

    def __init__(self):
        self.loaded = threading.Condition()
        self.arrivals = []
        server = self

        class Handler(QuietHandler):
            def do_GET(self):
                if self.path == "/":
                    page = demo_service.HOME_PAGE.format(host=self.headers.get("Host", ""))
                    page = page.replace("</body>", LOAD_BEACON + "</body>")
                    return self._reply(200, page.encode("utf-8"))
                return self._reply(404)

            def do_POST(self):
                if self.path == "/_bench/loaded":
                    with server.loaded:
                        server.arrivals.append(time.monotonic())
                        server.loaded.notify_all()
                return self._reply(204)

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def wait_for_load(self, after, timeout):
        """The first arrival later than `after`, or None."""
        deadline = time.monotonic() + timeout
        with self.loaded:
            while True:
                later = [t for t in self.arrivals if t > after]
                if later:
                    return later[0]
                left = deadline - time.monotonic()
                if left <= 0:
                    return None
                self.loaded.wait(left)


def process_tree(root_pid):
    """The pid and every live descendant of it."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        ppid = int(stat[stat.rindex(")") + 2:].split()[1])
        children.setdefault(ppid, []).append(int(entry))
    tree, todo = [], [root_pid]
    while todo:
        pid = todo.pop()
        tree.append(pid)
        todo.extend(children.get(pid, []))
    return tree


def tree_pss_kib(root_pid):
    """Total PSS and (name, PSS) of each process."""
    total, names = 0, []
    for pid in process_tree(root_pid):
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                pss = next(int(line.split()[1]) for line in f if line.startswith("Pss:"))
            with open(f"/proc/{pid}/comm") as f:
                names.append((f.read().strip(), pss))
        except (OSError, StopIteration):
            continue
        total += pss
    return total, names


# Engine libraries whose pages, when other processes map them too, would be shared with those
# processes and lower the tree's PSS: a reading is fair only when nobody else maps them.
SHARED_ENGINES = ("libwebkit2gtk", "libLLVM", "/chromium/chromium")


def other_engine_users(tree):
    """Processes outside `tree` that map one of the engines' libraries."""
    users = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in tree:
            continue
        try:
            with open(f"/proc/{entry}/maps") as f:
                mapped = any(engine in line for line in f for engine in SHARED_ENGINES)
            with open(f"/proc/{entry}/comm") as c:
                name = c.read().strip()
            # The X server maps Mesa for GLX in every run alike.
            if mapped and name not in ("Xvfb", "Xorg", "Xwayland"):
                users.append(f"{name}[{entry}]")
        except OSError:
            continue
    return users


def rerun_under_xvfb(screen):
    """Runs this benchmark again under Xvfb with openbox and a private session bus; its exit code."""
    print("bench: no display; running under Xvfb with openbox and a private session bus", flush=True)
    inner = [sys.executable, *sys.argv]
    return subprocess.call(["xvfb-run", "-a", "-s", f"-screen 0 {screen}x24", "dbus-run-session", "--",
                            "bash", str(ROOT / "tools" / "with_window_manager.sh"), *inner])


def browsers(client, url):
    """name -> (argv, extra environment) for one fresh start."""
    chromium = ["chromium", f"--app={url}", "--user-data-dir={profile}/chromium", "--no-first-run",
                "--no-default-browser-check", "--password-store=basic"]
    if os.geteuid() == 0:
        chromium.append("--no-sandbox")  # Chromium refuses to start as root with its sandbox
    return {
        "corvane": ([str(client)], {}),
        "chromium": (chromium, {}),
        "surf": (["surf", url], {}),
    }


def run_once(name, argv, extra_env, server, settle, timeout):
    profile_home = tempfile.mkdtemp(prefix=f"bench-{name}-")
    env = fresh_profile_env(profile_home, server.port)
    env.update(extra_env)
    argv = [a.replace("{profile}", profile_home) for a in argv]
    started = time.monotonic()
    proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    try:
        loaded = server.wait_for_load(started, timeout)
        if loaded is None:
            return None
        time.sleep(settle)
        pss, names = tree_pss_kib(proc.pid)
        others = other_engine_users(set(process_tree(proc.pid)))
        if others:
            print(f"    warning: {', '.join(others[:4])} map the same engine libraries; "
                  "the PSS reading is too low", flush=True)
        return {"startup": loaded - started, "pss_mib": pss / 1024, "processes": len(names),
                "breakdown": ", ".join(f"{n} {k / 1024:.0f}" for n, k in sorted(names, key=lambda x: -x[1]))}
    finally:
        stop(proc)
        shutil.rmtree(profile_home, ignore_errors=True)


def stop(proc):
    """Ends the browser's whole session (its process group), which we started."""
    for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            break
        try:
            proc.wait(wait)
            break
        except subprocess.TimeoutExpired:
            continue
    # Helpers that outlive the leader (Chromium's zygotes) are in the same group.
    deadline = time.monotonic() + 5
    while time.monotonic() < deadline:
        try:
            os.killpg(proc.pid, 0)
        except ProcessLookupError:
            return
        time.sleep(0.1)
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            return


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--client", type=Path, default=ROOT / "build" / "linux" / "bin" / "corvane-client")
    p.add_argument("--rounds", type=int, default=5)
    p.add_argument("--settle", type=float, default=10.0, help="seconds from load to the memory reading")
    p.add_argument("--timeout", type=float, default=60.0, help="seconds to wait for a load event")
    p.add_argument("--only", default="corvane,chromium,surf")
    p.add_argument("--client-env", action="append", default=[], metavar="NAME=VALUE",
                   help="extra environment for the client only (to try engine settings)")
    p.add_argument("--verbose", action="store_true", help="also each process's PSS")
    args = p.parse_args()

    if not os.environ.get("DISPLAY"):
        return rerun_under_xvfb("1600x1000")

    wanted = [name for name in args.only.split(",") if name]
    missing = [name for name in wanted if name != "corvane" and shutil.which(name) is None]
    if missing:
        sys.exit(f"bench: {', '.join(missing)} not installed; run: bash tools/bootstrap.sh --bench")
    if "corvane" in wanted and not os.access(args.client, os.X_OK):
        sys.exit(f"bench: no client at {args.client}; build the linux tree first")

    server = LoadServer()
    url = f"http://127.0.0.1:{server.port}/"
    results = {name: [] for name in wanted}
    for round_index in range(args.rounds):
        order = wanted[round_index % len(wanted):] + wanted[:round_index % len(wanted)]
        for name in order:
            argv, extra_env = browsers(args.client, url)[name]
            if name == "corvane":
                extra_env = dict(item.split("=", 1) for item in args.client_env)
            result = run_once(name, argv, extra_env, server, args.settle, args.timeout)
            if result is None:
                print(f"round {round_index + 1} {name:9s} no load event within {args.timeout:.0f} s", flush=True)
                continue
            results[name].append(result)
            print(f"round {round_index + 1} {name:9s} start-up {result['startup'] * 1000:7.0f} ms   "
                  f"PSS {result['pss_mib']:6.1f} MiB in {result['processes']} processes", flush=True)
            if args.verbose:
                print(f"    MiB by process: {result['breakdown']}", flush=True)

    medians = {}
    print("\nmedians")
    for name, runs in results.items():
        if not runs:
            continue
        medians[name] = (statistics.median(r["startup"] for r in runs), statistics.median(r["pss_mib"] for r in runs))
        print(f"  {name:9s} start-up {medians[name][0] * 1000:7.0f} ms   PSS {medians[name][1]:6.1f} MiB   ({len(runs)} runs)")
    if "corvane" in medians and "chromium" in medians:
        ratio = medians["corvane"][1] / medians["chromium"][1]
        print(f"memory: corvane / chromium = {ratio:.2f} (goal <= 0.50) {'met' if ratio <= 0.5 else 'NOT met'}")
    if "corvane" in medians and "surf" in medians:
        ratio = medians["corvane"][0] / medians["surf"][0]
        print(f"start-up: corvane / surf = {ratio:.2f} (goal <= 1.10) {'met' if ratio <= 1.1 else 'NOT met'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
