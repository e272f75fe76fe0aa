#!/usr/bin/env python3
"""Reads the built binaries as the dynamic loader will. No program or module
of the build folder has a library search path (RUNPATH or RPATH) with an empty
or relative entry: an empty one is the current folder, and a library planted
wherever the program is started would run inside it. (Entries that start with
$ORIGIN count as relative too: the program links only the system's libraries
and needs none.) Each module links only what it uses: the network module needs
neither libxml2 nor a copy of the platform core; no module carries any of the
core's definitions. The program links neither Qt Network nor Qt Multimedia, which
its modules load; the login reminder, harovan-remind, links none of the
window system's libraries.

Usage: binaries.py --build DIR --core LIBHAROVAN_PLATFORM_CORE.a
Exit status: 0 passed, 1 failed.
"""

import argparse
import re
import subprocess
import sys
from pathlib import Path


def output(command):
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout


def dynamic_entries(path, tag):
    """The values of one tag (NEEDED, RUNPATH, RPATH) of an ELF file's dynamic section."""
    values = []
    for line in output(["readelf", "-d", "-W", str(path)]).splitlines():
        if f"({tag})" in line and "[" in line:
            values.append(line[line.index("[") + 1:line.rindex("]")])
    return values


def elf_binaries(root):
    """The programs and shared objects below root (not the object files)."""
    for path in sorted(root.rglob("*")):
        if path.is_file() and not path.is_symlink():
            with open(path, "rb") as file:
                header = file.read(18)
            # e_type, little-endian: 2 a program, 3 a shared object or position-independent program.
            if header[:4] == b"\x7fELF" and len(header) == 18 and header[16] in (2, 3):
                yield path


def search_path_problems(path):
    """What is wrong with the library search paths of one ELF file."""
    problems = []
    for tag in ("RUNPATH", "RPATH"):
        for value in dynamic_entries(path, tag):
            unsafe = [entry for entry in value.split(":") if not entry.startswith("/")]
            if unsafe:
                kind = "an empty entry, the current folder" if not unsafe[0] else f"the relative entry {unsafe[0]}"
                problems.append(f"{path}: its {tag} [{value}] has {kind}")
    return problems


def defined_symbols(path, kinds=None):
    """Mangled names that path defines (an archive: of all its members), of the nm kinds given."""
    names = set()
    for line in output(["nm", "--defined-only", str(path)]).splitlines():
        fields = line.split()
        if len(fields) == 3 and (kinds is None or fields[1] in kinds):
            names.add(fields[2])
    return names


def check_modules(build, core):
    problems = []
    core_definitions = defined_symbols(core, kinds={"T", "D", "B", "R"})
    for name in ("harovan_network.so", "harovan_sound.so", "harovan_localchannel.so"):
        module = build / "modules" / name
        for library in dynamic_entries(module, "NEEDED"):
            if library.startswith("libxml2"):
                problems.append(f"{name} links {library}, which it never calls")
        copied = sorted(defined_symbols(module) & core_definitions)
        if copied:
            names = output(["c++filt"] + copied[:5]).split("\n")
            problems.append(f"{name} has its own copy of the platform core: " + "; ".join(filter(None, names)))
    return problems


def check_login_reminder(build):
    """The login reminder runs at every login without the window system's libraries, Qt's SQL driver or Qt's
    network library."""
    unwanted = r"libQt6(Widgets|Gui|PrintSupport|Multimedia|Sql|Network)\.|libX11\.|libxcb\."
    found = [library for library in dynamic_entries(build / "harovan-remind", "NEEDED") if re.match(unwanted, library)]
    return [f"harovan-remind links {', '.join(found)}, which the login reminder never needs"] if found else []


def check_program(build):
    """The program's start waits for neither Qt Network nor Qt Multimedia: their modules load them later."""
    found = [library for library in dynamic_entries(build / "harovan", "NEEDED")
             if re.match(r"libQt6(Network|Multimedia)\.", library)]
    return [f"harovan links {', '.join(found)}, which its modules load when first needed"] if found else []


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, type=Path)
    parser.add_argument("--core", required=True, type=Path, help="the platform core's static library")
    args = parser.parse_args()
    problems = [problem for path in elf_binaries(args.build) for problem in search_path_problems(path)]
    problems += check_modules(args.build, args.core)
    problems += check_login_reminder(args.build)
    problems += check_program(args.build)
    for problem in problems:
        print("FAIL: " + problem)
    if not problems:
        print("PASS")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
