#!/usr/bin/env python3
"""Reads the installed Harovan through the accessibility bus (AT-SPI), as a
screen reader such as Orca does: every control of the main window has a
Japanese name, and after the last digit of each card the guidance line shows
itself as a notification, which a screen reader reads out
("３等が当たりました！おめでとうございます。"); the entry boxes carry it as
their description, read with the box the focus goes to.

Prints what a screen reader is told for one card of each kind.

Exit status: 0 passed, 1 failed, 77 skipped (no X server, no session bus or
no AT-SPI for Python).
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from e2e import SKIP, NORMAL_TITLE, Failure, Session, check, install_for_start, log  # noqa: E402

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# With 令和8: 1等 455756, 2等 5037, 3等 73 44 84. Keys, then what the reader
# must hear last.
CARDS = [
    ("loss on the last two digits", "12", "はずれです...次の番号を入力してください"),
    ("upper digits asked for, then a 1等 hit", "564557", "１等が当たりました！おめでとうございます。"),
    ("3等 hit on two digits", "73", "３等が当たりました！おめでとうございます。"),
    ("2等 hit after the upper digits", "370050", "２等が当たりました！おめでとうございます。"),
    ("loss after the upper digits", "370000", "はずれです...当選番号は 5037 でした\n次の番号を入力してください"),
    ("the same loss again", "12", "はずれです...次の番号を入力してください"),
]

# Controls of the main window a screen reader names, by role.
EXPECTED_NAMES = [
    ("text", "下２桁"), ("text", "上４桁"), ("label", "チェック枚数 0枚"), ("label", "調べた番号 ******"),
    ("label", "１等の当選枚数 0枚"), ("label", "３等の当選枚数 0枚"), ("label", "当選枚数の合計 0枚"),
    ("notification", "下２桁を入力してください"), ("menu item", "メニュー(M)"), ("menu item", "はがきの種類を選択(F)..."), ("menu item", "ヘルプ(H)"),
]


def in_session():
    """Runs this script again inside its own session bus, where the
    accessibility bus can be started without touching the user's."""
    if os.environ.get("HAROVAN_A11Y_SESSION"):
        return None
    if not shutil.which("dbus-run-session"):
        return "dbus-run-session is not installed"
    env = dict(os.environ, HAROVAN_A11Y_SESSION="1")
    return subprocess.call(["dbus-run-session", "--", sys.executable] + sys.argv, env=env)


class Reader:
    """Listens on the accessibility bus the way a screen reader does."""

    def __init__(self, atspi, glib):
        self.Atspi = atspi
        self.GLib = glib
        self.heard = []
        self.listener = atspi.EventListener.new(self.on_event)
        self.listener.register("object:state-changed:showing")

    def on_event(self, event):
        # A reader reads out a notification that shows itself.
        try:
            if event.detail1 and event.source.get_role() == self.Atspi.Role.NOTIFICATION:
                self.heard.append(event.source.get_name())
        except Exception:  # an object gone meanwhile
            pass

    def pump(self, seconds):
        context = self.GLib.MainContext.default()
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            while context.pending():
                context.iteration(False)
            time.sleep(0.02)

    def application(self, name, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            desktop = self.Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                if app is not None and app.get_name().lower() == name:
                    return app
            self.pump(0.3)
        raise Failure(f"the application {name} is not on the accessibility bus")

    def controls(self, root):
        found, stack = [], [root]
        while stack:
            node = stack.pop()
            try:
                found.append((node.get_role_name(), node.get_name(), node))
                stack.extend(node.get_child_at_index(i) for i in range(node.get_child_count()))
            except Exception:
                continue
        return found


def stop_bus(bus):
    if bus.poll() is None:
        bus.terminate()
        bus.wait(5)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, type=Path)
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    parser.add_argument("--list", action="store_true", help="print every object of the program the reader finds")
    args = parser.parse_args()

    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, GLib
    except (ImportError, ValueError) as error:
        log(f"SKIP: no AT-SPI for Python ({error}; scripts/install-deps.sh installs python3-pyatspi)")
        return SKIP
    status = in_session()
    if status is not None:
        if isinstance(status, str):
            log(f"SKIP: {status}")
            return SKIP
        return status
    if not os.access(BUS_LAUNCHER, os.X_OK):
        log("SKIP: the accessibility bus (at-spi2-core) is not installed")
        return SKIP

    def body(session):
        folder = install_for_start(args.cmake, args.build, session.workdir)
        if not session.start_desktop():
            return SKIP
        desktop = session.desktop
        bus = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], env=desktop.env(),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        session.cleanups.append(lambda: stop_bus(bus))
        os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        os.environ["DISPLAY"] = desktop.display
        Atspi.init()
        reader = Reader(Atspi, GLib)

        program = session.start_program(folder / "harovan")
        main_window = program.wait_window(NORMAL_TITLE)
        app = reader.application("harovan")
        controls = reader.controls(app)
        names = {(role, name) for role, name, _ in controls}
        if args.list:
            for role, name, _ in controls:
                log(f"  {role}: {name}")
        for role, name in EXPECTED_NAMES:
            check((role, name) in names, f'the reader finds the {role} "{name}"')

        program.activate(main_window)
        reader.pump(0.5)
        log("What a screen reader reads after the last digit of each card:")
        for title, keys, last in CARDS:
            reader.heard.clear()
            for key in keys:
                program.keys(key)
                reader.pump(0.15)
            # A hit flashes the caption first, for up to a second and a half.
            deadline = time.monotonic() + 6
            while time.monotonic() < deadline and not (reader.heard and reader.heard[-1] == last):
                reader.pump(0.1)
            reader.pump(0.3)
            log(f"  {title} ({keys}): " + " / ".join(repr(text) for text in reader.heard))
            check(reader.heard and reader.heard[-1] == last, f"{title}: the reader hears {last!r}")
        described = {node.get_description() for role, _, node in reader.controls(app) if role == "text"}
        check(described == {CARDS[-1][2]}, "the entry boxes are described by the guidance line")
        counts = {name for role, name, _ in reader.controls(app) if role == "label"}
        check("チェック枚数 6枚" in counts and "３等の当選枚数 1枚" in counts, "the counters' names follow the counts")

        program.quit_through_menu(main_window)
        return 0

    return Session("harovan-a11y-", args.keep).run(body)


if __name__ == "__main__":
    sys.exit(main())
