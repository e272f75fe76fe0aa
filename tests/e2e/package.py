#!/usr/bin/env python3
"""Builds the Debian package, unpacks it into a throw-away root as a package
install would put it, and runs the unpacked program for a new user whose
program folder is read-only: the chosen card type must land in the user's own
settings.ini (~/.local/share/harovan) and nothing may be written under the
root. Also runs the validators a software centre and Debian apply to what the
package installs.

Exit status: 0 passed, 1 failed, 77 skipped (no X server could be started).
"""

import argparse
import os
import stat
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from e2e import SKIP, NORMAL_TITLE, Failure, Session, check, log, missing_tool, settings_file_name  # noqa: E402

PACKAGE = "harovan_2.20.1_amd64.deb"
TOOLS = {"dpkg-deb": "dpkg", "desktop-file-validate": "desktop-file-utils", "appstreamcli": "appstream",
         "lintian": "lintian", "xdotool": "xdotool", "openbox": "openbox", "xprop": "x11-utils"}


def run(command, what):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise Failure(f"{what} failed:\n{result.stdout}{result.stderr}")
    return result.stdout


def build_package(cpack, build, out):
    run([cpack, "-G", "DEB", "--config", str(build / "CPackConfig.cmake"), "-B", str(out)], "cpack")
    deb = out / PACKAGE
    check(deb.is_file(), f"cpack made {PACKAGE}")
    fields = run(["dpkg-deb", "--field", str(deb), "Depends"], "dpkg-deb --field")
    for name in ("fonts-ipafont-gothic", "libqt6widgets6", "libqt6svg6", "libqt6multimedia6", "libxml2"):
        check(name in fields, f"the package depends on {name}")
    return deb


def validate(deb, root):
    for name in ("usr/lib/harovan/harovan", "usr/lib/harovan/modules/harovan_sound.so",
                 "usr/lib/harovan/modules/harovan_network.so", "usr/lib/harovan/data/tousen1.2.xsd",
                 "usr/lib/harovan/atari.wav",
                 "usr/lib/harovan/ReadMe.html", "usr/lib/harovan/harovan.svg",
                 "usr/share/icons/hicolor/scalable/apps/harovan.svg", "usr/share/doc/harovan/copyright"):
        check((root / name).is_file(), f"the package installs /{name}")
    check(os.readlink(root / "usr/bin/harovan") == "../lib/harovan/harovan", "/usr/bin/harovan starts the program")
    entry = root / "usr/share/applications/harovan.desktop"
    check("Exec=/usr/lib/harovan/harovan\n" in entry.read_text(encoding="utf-8"),
          "the desktop entry starts /usr/lib/harovan/harovan")
    run(["desktop-file-validate", str(entry)], "desktop-file-validate")
    log("ok: desktop-file-validate")
    run(["appstreamcli", "validate-tree", "--no-net", str(root)], "appstreamcli validate-tree")
    log("ok: appstreamcli validate-tree")
    run(["lintian", "--fail-on", "error,warning", str(deb)], "lintian")
    log("ok: lintian finds no error or warning")


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
        scenario(session.start_program(folder / "harovan"), folder / "data", workdir / "home")
        check(listing(root) == before, "nothing was written under the unpacked root")
        return 0

    return Session("harovan-package-", args.keep).run(body)


if __name__ == "__main__":
    sys.exit(main())
