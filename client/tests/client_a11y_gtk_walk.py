#!/usr/bin/env python3
"""corvane-client read and driven through AT-SPI, as Orca does, in one walk.

The toolbar's four buttons with names, actions and tooltips (their descriptions); back
insensitive without history and sensitive after following the page's link (activated through
WebKit's own accessible); back's action goes back; F6 brings the focus to the toolbar; the
menu opened through its button's action, named 菜单, its entries named; the settings dialog,
named by its title, with two radio buttons, one checked, switched and switched back through
their actions; the close prompt's buttons and check box named, the box checked through its
action, the prompt answered with 退出程序 through its action, which ends the program with 0.
The focused and checked state-changed events must have arrived.

Run on a private session bus (dbus-run-session), which starts the accessibility bus.
Usage: client_a11y_gtk_walk.py PROGRAM DEMO_SERVICE_STATE
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

program, state_file = sys.argv[1:3]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)
    return condition


def pump(seconds=0.0):
    """Lets AT-SPI deliver events for `seconds`."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.05)


def wait_for(probe, timeout=20.0):
    """The first true answer of `probe` within `timeout` seconds, else None."""
    end = time.monotonic() + timeout
    while True:
        pump()
        try:
            value = probe()
        except Exception:  # an object that went away while we looked
            value = None
        if value:
            return value
        if time.monotonic() >= end:
            return None
        time.sleep(0.1)


def children(obj):
    return [obj.getChildAtIndex(i) for i in range(obj.childCount)]


def find(obj, predicate, depth=8):
    """Breadth-first: the first descendant (or obj) that satisfies predicate."""
    level = [obj]
    for _ in range(depth):
        following = []
        for o in level:
            if o is None:
                continue
            if predicate(o):
                return o
            following.extend(children(o))
        level = following
    return None


def role(obj):
    return obj.getRoleName()


def states(obj):
    return obj.getState()


def sensitive(obj):
    return states(obj).contains(pyatspi.STATE_SENSITIVE)


def checked(obj):
    return states(obj).contains(pyatspi.STATE_CHECKED)


def act(obj):
    action = obj.queryAction()
    check(action.nActions == 1 and action.getName(0) == "click", f"{obj.name}: actions")
    return action.doAction(0)


def named(parent, names):
    return {o.name: o for o in children(parent) if o.name in names}


events = []


def on_event(event):
    try:
        events.append((event.type, event.source.name, event.detail1))
    except Exception:
        pass


def seen(kind, name, value=1):
    return any(t == kind and n == name and d == value for t, n, d in events)


def toplevels(app, predicate):
    return [w for w in children(app) if predicate(w)]


def new_window(app, name):
    return wait_for(lambda: next(iter(toplevels(app, lambda w: w.name == name and w.childCount > 0)), None))


def visible_windows(pid):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", "."],
                          capture_output=True, text=True).stdout.split()


def press(pid, window, keys):
    """Keys to the main window once it is the only one left on screen and active."""
    wait_for(lambda: visible_windows(pid) == [window], 10)
    subprocess.run(["xdotool", "windowactivate", "--sync", window], check=False)
    subprocess.run(["xdotool", "key", keys], check=False)


def main():
    port = token = None
    with open(state_file) as f:
        for line in f:
            key, _, value = line.strip().partition(" ")
            port = value if key == "port" else port
            token = value if key == "token" else token
    home = tempfile.mkdtemp()
    os.chmod(home, 0o700)
    env = dict(os.environ, CORVANE_SERVICE_HOST=f"127.0.0.1:{port}", XDG_RUNTIME_DIR=f"{home}/run",
               XDG_CONFIG_HOME=f"{home}/config", XDG_CACHE_HOME=f"{home}/cache", XDG_DATA_HOME=f"{home}/data",
               XDG_STATE_HOME=f"{home}/state")
    env.pop("NO_AT_BRIDGE", None)
    os.makedirs(f"{home}/run", mode=0o700)
    os.makedirs(f"{home}/config/corvane")
    # Closing asks, and minimises by default: the settings' first choice is checked.
    with open(f"{home}/config/corvane/CorvaneClient.ini", "w") as f:
        f.write("[setting]\nclose_prompt=1\nmin_close=0\n")

    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:focused", "object:state-changed:checked")
    client = subprocess.Popen([program], env=env)
    try:
        walk(client)
    finally:
        if client.poll() is None:
            client.terminate()
            client.wait(10)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


def walk(client):
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for(lambda: next((a for a in children(desktop) if a and a.name == "corvane-client"), None), 30)
    if not check(app is not None, "the client never appeared on the accessibility bus"):
        return
    frame = wait_for(lambda: next(iter(toplevels(app, lambda w: w.name == "Drovessa老师端")), None))
    if not check(frame is not None, "no main window"):
        return
    toolbar = wait_for(lambda: find(frame, lambda o: role(o) == "tool bar"))
    if not check(toolbar is not None, "no toolbar under the main window"):
        return
    print("main window:", role(frame), repr(frame.name), flush=True)
    print("  toolbar:", role(toolbar), repr(toolbar.name), flush=True)
    for c in children(toolbar):
        print("   ", role(c), repr(c.name), flush=True)
    buttons = named(toolbar, {"后退", "前进", "刷新", "菜单"})
    check([c.name for c in children(toolbar)] == ["后退", "前进", "刷新", "菜单"], "the toolbar's names")
    check(all(role(b) == "push button" for b in buttons.values()), "the toolbar's roles")
    check(all(b.queryAction().getName(0) == "click" for b in buttons.values()), "the toolbar's actions")
    back, forward = buttons["后退"], buttons["前进"]
    check(buttons["菜单"].queryComponent().getExtents(pyatspi.DESKTOP_COORDS).width > 0, "the menu button's extents")

    # An icon-only button's tooltip is its description, as GTK's own widgets give theirs.
    check(buttons["刷新"].description == "刷新" and buttons["菜单"].description == "", "the toolbar's descriptions")

    # The home page, as WebKit exposes it; no history yet.
    link = wait_for(lambda: find(frame, lambda o: role(o) == "link" and "常见问题" in (o.name or ""), 14), 30)
    check(wait_for(lambda: not sensitive(back), 10), "back is sensitive without history")
    if check(link is not None, "the page's link is not exposed"):
        link.queryAction().doAction(0)
        check(wait_for(lambda: sensitive(back)), "back stays insensitive after a navigation")
        check(act(back), "back's action refused")
        check(wait_for(lambda: sensitive(forward) and not sensitive(back)), "back's action did not go back")

    # F6: from the page to the toolbar's first usable button, which speaks its focus.
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(client.pid), "--name", "Drovessa"],
                            capture_output=True, text=True).stdout.split()
    if check(window, "no X window"):
        press(client.pid, window[0], "F6")
        check(wait_for(lambda: seen("object:state-changed:focused", "前进"), 10), "F6 gave the toolbar no focus")
        check(states(forward).contains(pyatspi.STATE_FOCUSED), "前进 is not focused after F6")

    # The menu, opened by its button's action; 设置 from it opens the settings.
    act(buttons["菜单"])
    menu = wait_for(lambda: next(iter(toplevels(app, lambda w: w.childCount >= 4 and
                                               {"设置", "帮助", "关于Drovessa", "退出"} <= {c.name for c in children(w)})),
                                 None))
    if check(menu is not None, "the menu's entries are not named"):
        check(menu.name == "菜单", f"the menu window is named {menu.name!r}")
        check(all(role(c) == "push button" for c in children(menu)), "the menu's roles")
        act(named(menu, {"设置"})["设置"])
        settings = new_window(app, "设置")
        if check(settings is not None, "no settings dialog"):
            radios = [c for c in children(settings) if role(c) == "radio button"]
            check([r.name for r in radios] == ["最小化窗口，不退出程序", "退出程序"], "the settings' radio buttons")
            check([checked(r) for r in radios] == [True, False], "not exactly the first choice checked")
            act(radios[1])
            check(wait_for(lambda: [checked(r) for r in radios] == [False, True]), "the second choice's action")
            act(radios[0])
            check(wait_for(lambda: [checked(r) for r in radios] == [True, False]), "the first choice's action")
            check(seen("object:state-changed:checked", "退出程序"), "no checked event")
            act(named(settings, {"关闭"})["关闭"])
            check(wait_for(lambda: settings not in children(app) or not settings.childCount), "settings stay open")

    # The close prompt: the window manager's close on the main window.
    if window:
        press(client.pid, window[0], "alt+F4")
    prompt = new_window(app, "关闭提示")
    if check(prompt is not None, f"no close prompt: {[(role(w), w.name) for w in children(app)]}"):
        parts = named(prompt, {"最小化", "退出程序", "关闭", "不再提示"})
        check(sorted(parts) == sorted(["最小化", "退出程序", "关闭", "不再提示"]), f"the prompt's names: {sorted(parts)}")
        check(role(parts.get("不再提示", prompt)) == "check box", "不再提示 is no check box")
        if "不再提示" in parts:
            box = parts["不再提示"]
            check(not checked(box), "不再提示 starts checked")
            act(box)
            check(wait_for(lambda: checked(box)), "the check box's action did not check it")
            check(wait_for(lambda: seen("object:state-changed:checked", "不再提示"), 5), "no checked event")
        if "退出程序" in parts:
            act(parts["退出程序"])
            try:
                code = client.wait(20)
            except subprocess.TimeoutExpired:
                code = None
            check(code == 0, f"退出程序 ended the program with {code}")


if __name__ == "__main__":
    sys.exit(main())
