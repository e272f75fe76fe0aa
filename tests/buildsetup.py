#!/usr/bin/env python3
"""The test command's own setup, where a slip passes silently or breaks only
on another Debian release: the packages name no numbered clang (Debian 13 has
none of Debian 12's clang-14), the Debian 13 root's package set is part of the
whole, every test build treats warnings as errors, the ThreadSanitizer build
makes every test it runs, the Debian 13 run and the Windows build leave out
only tests that exist (the Windows build saying why), and clang-tidy reads
every header of the tree and none that moc or uic write.

Usage: buildsetup.py SOURCE_DIR
Exit status: 0 passed, 1 failed.
"""
import json
import re
import subprocess
import sys
from pathlib import Path

source = Path(sys.argv[1])
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def packages(*options):
    script = source / "scripts" / "install-deps.sh"
    result = subprocess.run(["bash", str(script), "--list", *options], capture_output=True, text=True, check=True)
    return result.stdout.split()


# Packages and compilers of one release only.
numbered = re.compile(r"\b(clang|clang\+\+|clang-tidy|clang-format|llvm|libclang-rt)-[0-9]+")
everything = packages()
for name in everything:
    check(not numbered.search(name), f"install-deps.sh names {name}")
for name in ["scripts/test.sh", "scripts/tidy.sh", "CMakePresets.json"]:
    found = numbered.search((source / name).read_text())
    check(not found, f"{name} names {found and found.group(0)}")
check(set(packages("--plain")) < set(everything), "the --plain packages are a part of the whole list")

# The presets.
presets = json.loads((source / "CMakePresets.json").read_text())
configure = {p["name"]: p for p in presets["configurePresets"]}


def cache_variable(name, variable):
    preset = configure[name]
    value = preset.get("cacheVariables", {}).get(variable)
    if value is None and "inherits" in preset:
        return cache_variable(preset["inherits"], variable)
    return value


for name in configure:
    if name.startswith("test-") and name != "test-fuzz":
        check(cache_variable(name, "HAROVAN_WARNINGS_AS_ERRORS") == "ON", f"{name} treats warnings as errors")

tests = set(re.findall(r"harovan_add_test\((\w+)", (source / "tests/CMakeLists.txt").read_text()))
tests |= set(re.findall(r"add_test\(NAME (\w+)", (source / "tests/CMakeLists.txt").read_text()))
build = {p["name"]: p for p in presets["buildPresets"]}
test = {p["name"]: p for p in presets["testPresets"]}
tsan_runs = re.findall(r"\w+", test["test-tsan"]["filter"]["include"]["name"])
check(sorted(tsan_runs) == sorted(build["test-tsan"]["targets"]), "test-tsan builds exactly the tests it runs")
check(set(tsan_runs) <= tests, f"test-tsan runs tests that exist: {sorted(set(tsan_runs) - tests)}")
left_out = re.findall(r"\w+", test["test-debian13"]["filter"]["exclude"]["name"])
check(set(left_out) <= tests, f"test-debian13 leaves out tests that exist: {sorted(set(left_out) - tests)}")
not_on_windows = re.search(r"set\(HAROVAN_NOT_ON_WINDOWS\n(.*?)\n\)", (source / "tests/CMakeLists.txt").read_text(), re.S)
not_on_windows = re.findall(r"^\s*(\w+) # \S", not_on_windows.group(1), re.M) if not_on_windows else []
check(not_on_windows, "tests/CMakeLists.txt says which tests the Windows build leaves out, each with its reason")
check(set(not_on_windows) <= tests, f"the Windows build leaves out tests that exist: {sorted(set(not_on_windows) - tests)}")

# clang-tidy's header filter.
header_filter = re.search(r"^HeaderFilterRegex: '(.*)'$", (source / ".clang-tidy").read_text(), re.M).group(1)
every = (p.relative_to(source) for p in source.rglob("*.h"))
headers = [str(p) for p in every if not p.parts[0].startswith(("build", "."))]
check(headers, "the tree has headers")
for header in headers:
    check(re.search(header_filter, f"{source}/{header}"), f"clang-tidy reads {header}")
for generated in ["build-test-plain/src/harovan_ui_autogen/include/ui_frmMain.h",
                  "build-test-plain/tests/tst_frmmain_autogen/moc_predefs.h"]:
    check(not re.search(header_filter, f"{source}/{generated}"), f"clang-tidy skips {generated}")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
