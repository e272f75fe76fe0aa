#!/usr/bin/env python3
"""Builds the Debian package, unpacks it into a throw-away root as a package
install would put it, and runs the unpacked program and its login reminder
for a new user whose program folder is read-only: the chosen card type must
land in the user's own settings.ini (~/.local/share/harovan) and nothing may
be written under the root. Started again, a hit on that card type must play atari.wav through the
sound server of Debian's desktops (PipeWire with its PulseAudio service),
whose only output is a null sink that the test records. Also runs the
validators a software centre and Debian apply to what the package installs.

Exit status: 0 passed, 1 failed, 77 skipped (no X server could be started, or
the sound server cannot run here at all).
"""

import argparse
import array
import os
import stat
import subprocess
import sys
import threading
import time
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from binaries import elf_binaries, search_path_problems  # noqa: E402
from e2e import (SKIP, NORMAL_TITLE, Failure, Session, check, log, missing_tool,  # noqa: E402
                 settings_file_name, wait_until)

PACKAGE = "harovan_2.20.1_amd64.deb"
TOOLS = {"dpkg-deb": "dpkg", "desktop-file-validate": "desktop-file-utils", "appstreamcli": "appstream",
         "lintian": "lintian", "xdotool": "xdotool", "openbox": "openbox", "xprop": "x11-utils",
         "dbus-daemon": "dbus-daemon", "pipewire": "pipewire", "wireplumber": "wireplumber",
         "pipewire-pulse": "pipewire-pulse", "pactl": "pulseaudio-utils", "parec": "pulseaudio-utils"}
# The address the package's metadata used to give, which does not exist.
PLACEHOLDER = "://harovan.example.jp"


def run(command, what):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise Failure(f"{what} failed:\n{result.stdout}{result.stderr}")
    return result.stdout


def build_package(cpack, build, out):
    run([cpack, "-G", "DEB", "--config", str(build / "CPackConfig.cmake"), "-B", str(out)], "cpack")
    deb = out / PACKAGE
    check(deb.is_file(), f"cpack made {PACKAGE}")
    def names(field):
        """The packages a relationship field names, alternatives included, in order."""
        text = run(["dpkg-deb", "--field", str(deb), field], "dpkg-deb --field").strip()
        return [alternative.split()[0] for entry in text.split(",") if entry.strip()
                for alternative in entry.split("|")]

    depends = names("Depends")
    check(len(depends) == len(set(depends)), f"Depends names each package once: {depends}")
    # The X11 platform plugin is in libqt6gui6; the chime plays through libqt6multimedia6's libpulse; the
    # login reminder's notification goes through libqt6dbus6; the book of won cards is kept with libsqlite3-0.
    for name in ("fonts-ipafont-gothic", "libqt6gui6", "libqt6widgets6", "libqt6svg6", "libqt6multimedia6",
                 "libsqlite3-0", "libqt6dbus6", "libxml2"):
        check(name in depends, f"the package depends on {name}")
    recommends = names("Recommends")
    for name in ("xdg-utils", "pipewire-pulse", "pulseaudio"):
        check(name in recommends, f"the package recommends {name}")
    check(PLACEHOLDER not in run(["dpkg-deb", "--info", str(deb)], "dpkg-deb --info"),
          "the package names no home page that does not exist")
    return deb


def validate(deb, root):
    for name in ("usr/lib/harovan/harovan", "usr/lib/harovan/harovan-remind",
                 "usr/lib/harovan/modules/harovan_sound.so",
                 "usr/lib/harovan/modules/harovan_network.so", "usr/lib/harovan/modules/harovan_localchannel.so",
                 "usr/lib/harovan/data/tousen1.2.xsd",
                 "usr/lib/harovan/atari.wav",
                 "usr/lib/harovan/ReadMe.html", "usr/lib/harovan/harovan.svg",
                 "usr/share/icons/hicolor/scalable/apps/harovan.svg", "usr/share/doc/harovan/copyright"):
        check((root / name).is_file(), f"the package installs /{name}")
    check(os.readlink(root / "usr/bin/harovan") == "../lib/harovan/harovan", "/usr/bin/harovan starts the program")
    problems = [problem for path in elf_binaries(root) for problem in search_path_problems(path)]
    check(not problems, "no packaged binary has an empty or relative library search path" + "".join(
        "\n  " + problem for problem in problems))
    # The login reminder starts only once the user has said yes, from the user's own autostart folder.
    started = [str(path.relative_to(root)) for path in root.rglob("*") if "autostart" in path.name]
    check(not started, f"the package installs nothing that starts by itself: {started}")
    entry = root / "usr/share/applications/harovan.desktop"
    check("Exec=/usr/lib/harovan/harovan\n" in entry.read_text(encoding="utf-8"),
          "the desktop entry starts /usr/lib/harovan/harovan")
    run(["desktop-file-validate", str(entry)], "desktop-file-validate")
    log("ok: desktop-file-validate")
    for name in ("usr/share/metainfo/jp.example.harovan.metainfo.xml", "usr/share/doc/harovan/copyright",
                 "usr/lib/harovan/ReadMe.html"):
        check(PLACEHOLDER not in (root / name).read_text(encoding="utf-8"),
              f"/{name} links no address that does not exist")
    run(["appstreamcli", "validate-tree", "--no-net", str(root)], "appstreamcli validate-tree")
    log("ok: appstreamcli validate-tree")
    run(["lintian", "--fail-on", "error,warning", str(deb)], "lintian")
    log("ok: lintian finds no error or warning")


def login_reminder(folder, home):
    """The login reminder for the new user, who has no book yet: harovan-remind, and harovan --remind as the
    autostart entry of an earlier version runs it, end at once without a word."""
    env = dict(os.environ, HOME=str(home))
    for command in ([folder / "harovan-remind"], [folder / "harovan", "--remind"]):
        result = subprocess.run([str(part) for part in command], env=env, capture_output=True, text=True, timeout=20)
        shown = " ".join([command[0].name, *command[1:]])
        check(result.returncode == 0 and not result.stdout and not result.stderr,
              f"{shown} ends silently: {result.returncode} {result.stdout}{result.stderr}")


def listing(root):
    """Every path below root with its type, size, mode and modification time."""
    entries = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = Path(folder) / name
            info = path.lstat()
            entries[str(path.relative_to(root))] = (stat.S_IFMT(info.st_mode), info.st_size, info.st_mode,
                                                    info.st_mtime_ns)
    return entries


def make_read_only(folder):
    for path in [folder, *folder.rglob("*")]:
        if not path.is_symlink():
            path.chmod(path.stat().st_mode & ~0o222)


def make_writable(tree):
    for path in tree.rglob("*"):
        if path.is_dir() and not path.is_symlink():
            path.chmod(path.stat().st_mode | 0o200)


def scenario(program, data_folder, home):
    main = program.wait_window(NORMAL_TITLE)
    log("ok: the main window is shown")
    program.activate(main)
    program.keys("alt+m", "f")
    program.wait_window("はがきの種類を選択")
    program.keys("Down", "Return")
    check(program.wait_window_gone("はがきの種類を選択"), "a card type was chosen")
    program.quit_through_menu(main)
    user_folder = home / ".local/share/harovan"
    # Whichever entry comes first in the list: the user's file names a bundled data file.
    chosen = settings_file_name(user_folder) if (user_folder / "settings.ini").is_file() else None
    check(chosen in {p.name for p in data_folder.glob("*.xml")}, f"the user's settings.ini remembers {chosen}")
    return chosen


class SoundServer:
    """PipeWire with WirePlumber and its PulseAudio service on a D-Bus session
    of their own, as a Debian 12 desktop runs them for its user, with a null
    sink as the one output. The program finds it as any program of the
    session does, through XDG_RUNTIME_DIR."""

    SINK = "harovan_null"
    RATE = 8000  # samples a second recorded from the sink's monitor

    def __init__(self, workdir):
        self.workdir = workdir
        self.processes = []
        self.recorder = None
        self.samples = array.array("h")
        self.env = dict(os.environ, HOME=str(workdir / "home"), XDG_RUNTIME_DIR=str(workdir / "runtime"))
        for name in ("PULSE_SERVER", "PIPEWIRE_REMOTE", "DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)

    def spawn(self, command, **options):
        process = subprocess.Popen(command, env=self.env, stderr=open(self.workdir / f"{command[0]}.log", "wb"),
                                   **options)
        self.processes.append(process)
        return process

    def pactl(self, *arguments):
        return subprocess.run(["pactl", *arguments], env=self.env, capture_output=True, text=True, timeout=10)

    def start(self):
        """None, or why the server cannot run here."""
        (self.workdir / "home").mkdir(exist_ok=True)
        (self.workdir / "runtime").mkdir(mode=0o700, exist_ok=True)
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE)
        address = bus.stdout.readline().decode().strip()
        if not address:
            return "no D-Bus session could be started"
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        server = self.spawn(["pipewire"], stdout=subprocess.DEVNULL)
        socket = self.workdir / "runtime/pipewire-0"
        if not wait_until(lambda: socket.exists() or server.poll() is not None, 10) or not socket.exists():
            return "pipewire did not start: " + (self.workdir / "pipewire.log").read_text(errors="replace")[-300:]
        self.spawn(["wireplumber"], stdout=subprocess.DEVNULL)
        self.spawn(["pipewire-pulse"], stdout=subprocess.DEVNULL)
        if not wait_until(lambda: self.pactl("info").returncode == 0, 10):
            return "pipewire-pulse did not answer"
        loaded = self.pactl("load-module", "module-null-sink", f"sink_name={self.SINK}")
        if loaded.returncode != 0:
            raise Failure("the null sink could not be made: " + loaded.stderr)
        # The sink is there once the server lists it, and can be made the default once WirePlumber keeps the
        # session's defaults: on a busy machine each is a moment after the sink was made.
        check(wait_until(lambda: self.SINK in self.pactl("list", "short", "sinks").stdout, 10),
              "the null sink appears")
        made_default = wait_until(lambda: self.pactl("set-default-sink", self.SINK).returncode == 0
                                  and self.pactl("get-default-sink").stdout.strip() == self.SINK, 10)
        check(made_default, "the null sink is the only output")
        return None

    def record(self):
        """Records the null sink's monitor from now on."""
        self.recorder = self.spawn(["parec", "-d", self.SINK + ".monitor", "--format=s16le", "--channels=1",
                                    f"--rate={self.RATE}", "--latency-msec=50"], stdout=subprocess.PIPE)

        def read():
            while chunk := self.recorder.stdout.read(1600):
                self.samples.frombytes(chunk[:len(chunk) // 2 * 2])

        threading.Thread(target=read, daemon=True).start()

    def sounding_seconds(self):
        """How long the recording has been louder than a thirtieth of full scale."""
        return sum(1 for sample in self.samples if abs(sample) > 1000) / self.RATE

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()


def two_digit_winner(data_file):
    """A winning number of two digits that no longer number of the file ends
    with, so that it wins as soon as it is typed."""
    numbers = [element.text.strip() for element in
               ElementTree.parse(data_file).getroot().iterfind("{urn:tousen}toukyu/{urn:tousen}number")]
    return next(number for number in numbers if len(number) == 2
                and not any(len(other) > 2 and other.endswith(number) for other in numbers))


def chime(session, sound, folder, chosen):
    """Starts the program again on the card type it remembers and types a
    winning card: atari.wav must reach the sound server."""
    program = session.start_program(folder / "harovan")
    main = program.wait_window(NORMAL_TITLE)
    program.activate(main)
    sound.record()
    time.sleep(0.5)
    check(sound.sounding_seconds() == 0, "the null sink is silent before the hit")
    number = two_digit_winner(folder / "data" / chosen)
    program.keys(*number)
    # atari.wav sounds for about a second; the flash of the caption may delay it.
    check(wait_until(lambda: sound.sounding_seconds() > 0.2, 10), f"the hit on {number} played atari.wav")
    program.quit_through_menu(main)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, type=Path, help="the build folder to package")
    parser.add_argument("--cpack", default="cpack")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    args = parser.parse_args()

    if missing_tool(TOOLS):
        return 1

    def body(session):
        workdir = session.workdir
        deb = build_package(args.cpack, args.build, workdir / "out")
        root = workdir / "root"
        run(["dpkg-deb", "-x", str(deb), str(root)], "dpkg-deb -x")
        validate(deb, root)
        folder = root / "usr/lib/harovan"
        make_read_only(folder)
        # The read-only folders must be writable again to be removed.
        session.cleanups.append(lambda: make_writable(workdir))
        before = listing(root)

        if not session.start_desktop():
            return SKIP
        # A new user of the machine: an empty home, the XDG folders as they default.
        os.environ.pop("XDG_DATA_HOME", None)
        os.environ.pop("PULSE_SERVER", None)
        chosen = scenario(session.start_program(folder / "harovan"), folder / "data", workdir / "home")
        login_reminder(folder, workdir / "home")
        check(listing(root) == before, "nothing was written under the unpacked root")

        sound = SoundServer(workdir)
        session.cleanups.append(sound.stop)
        problem = sound.start()
        if problem:
            log(f"SKIP: the sound server cannot run here ({problem}); everything else passed")
            return SKIP
        chime(session, sound, folder, chosen)
        return 0

    return Session("harovan-package-", args.keep).run(body)


if __name__ == "__main__":
    sys.exit(main())
