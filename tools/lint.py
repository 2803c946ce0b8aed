#!/usr/bin/env python3
"""The checks tools/lint.sh runs; see there."""
import json
import os
import shlex
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
VERSION = "14"
ARCHES = ("x86_64", "i686")
# Analysis reads the code once, for one target; its compiler warnings count as findings,
# so for that target it is also the second compiler.
TIDY_ARCH = "x86_64"
PRODUCT = ("app", "model", "ui", "framework", "plugin", "plenkit")
# The settings host under plenkit/ is a stand-in, not product: compiled, not analysed.
NOT_ANALYSED = ("plenkit/host/",)
FORMATTED = PRODUCT + ("res", "tests", "sim", "bench")
JOBS = 2


def run(command):
    done = subprocess.run(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode, done.stdout


def tracked(folders, suffixes):
    out = subprocess.run(["git", "ls-files", "--", *folders], cwd=ROOT, stdout=subprocess.PIPE, text=True,
                         check=True).stdout
    return [f for f in out.split() if f.endswith(suffixes)]


def gcc_headers(triple):
    """GCC's C++ library headers for the cross compiler: clang finds MinGW's C headers itself."""
    libgcc = subprocess.run([f"{triple}-g++-posix", "-print-libgcc-file-name"], stdout=subprocess.PIPE, text=True,
                            check=True).stdout.strip()
    base = os.path.join(os.path.dirname(libgcc), "include", "c++")
    return ["-isystem", base, "-isystem", os.path.join(base, triple)]


def flags_of(entry):
    """What of the build's command line says what the code means: macros, include folders, standard, warnings."""
    words = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    kept = []
    i = 1
    while i < len(words):
        word = words[i]
        if word in ("-I", "-isystem", "-D", "-include"):
            kept += [word, words[i + 1]]
            i += 2
            continue
        if word.startswith(("-D", "-I", "-std=", "-W")):
            kept.append(word)
        i += 1
    return kept


def database(arch):
    path = os.path.join(ROOT, "build", arch, "compile_commands.json")
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def product_entries(entries):
    chosen = {}
    for entry in entries:
        name = os.path.relpath(os.path.join(entry["directory"], entry["file"]), ROOT)
        if name.split(os.sep)[0] in PRODUCT and name.endswith((".cpp", ".c")):
            chosen[name] = entry  # a file built into two targets is read once
    return chosen


def compile_jobs():
    jobs = []
    for arch in ARCHES:
        triple = f"{arch}-w64-mingw32"
        common = [f"clang++-{VERSION}", f"--target={triple}", "-fsyntax-only", "-Wall", "-Wextra", "-Werror"]
        system = gcc_headers(triple)
        entries = product_entries(database(arch))
        for name, entry in sorted(entries.items()):
            if arch == TIDY_ARCH and analysed(name):
                continue  # clang-tidy compiles it for this target with the same warnings
            language = ["-x", "c"] if name.endswith(".c") else []
            jobs.append((f"clang {arch} {name}", common + system + flags_of(entry) + language + [name]))
        # Resource headers are read by the resource compiler and by C++; C++ must take them alone.
        some = next(iter(entries.values()))
        macros = [w for w in flags_of(some) if w.startswith(("-D", "-std="))]
        for header in tracked(["res"], (".h",)):
            jobs.append((f"clang {arch} {header}", common + system + macros + ["-x", "c++-header", header]))
    return jobs


def analysed(name):
    return not name.startswith(NOT_ANALYSED)


def tidy_jobs():
    triple = f"{TIDY_ARCH}-w64-mingw32"
    extra = [f"--extra-arg-before=--target={triple}"]
    extra += [f"--extra-arg={w}" for w in gcc_headers(triple)]
    entries = product_entries(database(TIDY_ARCH))
    build = os.path.join(ROOT, "build", TIDY_ARCH)
    return [(f"clang-tidy {name}", [f"clang-tidy-{VERSION}", "--quiet", "-p", build] + extra + [name])
            for name in sorted(entries) if analysed(name)]


def format_files():
    return tracked(list(FORMATTED), (".cpp", ".h", ".c"))


def run_all(jobs):
    failures = []
    with ThreadPoolExecutor(JOBS) as pool:
        for (title, _), (code, text) in zip(jobs, pool.map(lambda job: run(job[1]), jobs)):
            # clang-tidy prints a count of the warnings it hid in other files; that is not a finding.
            text = "\n".join(l for l in text.splitlines() if "warnings generated" not in l
                             and "Suppressed" not in l and "Use -header-filter" not in l
                             and "Use -system-headers" not in l)
            if code != 0 or text.strip():
                failures.append(f"{title}:\n{text.strip()}")
    return failures


def main(args):
    if args == ["--fix-format"]:
        files = format_files()
        code, text = run([f"clang-format-{VERSION}", "-i", *files])
        print(text, end="")
        return code
    if args:
        print("lint: usage: tools/lint.sh [--fix-format]", file=sys.stderr)
        return 2
    failed = False
    for title, make in (("second compiler", compile_jobs), ("static analysis", tidy_jobs),
                        ("format", lambda: [("clang-format", [f"clang-format-{VERSION}", "--dry-run", "--Werror",
                                                              *format_files()])])):
        start = time.monotonic()
        jobs = make()
        failures = run_all(jobs)
        seconds = time.monotonic() - start
        print(f"lint: {title}: {len(jobs)} runs, {len(failures)} with findings, {seconds:.0f} s", file=sys.stderr)
        for failure in failures:
            print(failure, file=sys.stderr)
        failed = failed or bool(failures)
    if failed:
        print("lint: failed (a format finding is fixed by tools/lint.sh --fix-format)", file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
