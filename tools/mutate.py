#!/usr/bin/python3
"""Mutation testing: small faults put into the sources, one at a time, to see
whether the tests notice.

    tools/mutate.py [--count N] [--seed S] [--build DIR] [--timeout SECONDS]
                    [--sanitize] [--tests REGEX] [--equivalent FILE] [FOLDER ...]

Copies the tracked files of the work tree into DIR/src (the work tree itself
is never changed), builds DIR/src/build from that copy (with --sanitize, under
AddressSanitizer and UndefinedBehaviorSanitizer), checks that the tests
pass there, then for each of N faults chosen at random (with the seed, so a
run can be repeated) among the lines of the FOLDERs: changes one place of
one source, rebuilds the targets the tests need, runs the tests (stopping at
the first failure, each test with the timeout) and puts the source back.

A fault is killed when a test fails, a test times out, or the whole suite
takes three times as long as unchanged (a fault that loops),
survives when every test passes. A fault that does not compile is not
counted; another one is drawn in its place. A survivor listed in the
equivalent file (lines "FILE:LINE: MUTATION", as this script prints them,
then optionally " -- why") is counted as equivalent: it changes no
behaviour, so no test can catch it. The summary gives per folder the
killed, surviving and equivalent faults, and each survivor's place.
"""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from collections import defaultdict

# Each operator: a pattern, and what a match becomes. Applied to the code of
# one line, outside string and character literals and comments.
OPERATORS = [
    # Spaced, as comparisons are written here (so not <<, ->, nor template <...>).
    ("relational", re.compile(r"(?<=\s)(<=|>=|<|>)(?=\s)"), {"<=": "<", ">=": ">", "<": "<=", ">": ">="}),
    ("equality", re.compile(r"(==|!=)"), {"==": "!=", "!=": "=="}),
    ("logical", re.compile(r"(&&|\|\|)"), {"&&": "||", "||": "&&"}),
    ("off-by-one", re.compile(r"(?<![\w.])(\d+)(?![\w.])"), None),
    ("boolean", re.compile(r"\b(true|false)\b"), {"true": "false", "false": "true"}),
    ("negation", re.compile(r"(?<![!=<>])(!)(?!=)"), {"!": ""}),
    ("arithmetic", re.compile(r"(?<=\s)(\+|-)(?=\s)"), {"+": "-", "-": "+"}),
]

LITERAL = re.compile(r'"(?:[^"\\]|\\.)*"|\'(?:[^\'\\]|\\.)*\'')


def code_spans(line):
    """The parts of `line` that are code: [start, end) outside literals and
    a // comment."""
    spans, at = [], 0
    comment = line.find("//")
    end_of_code = len(line) if comment < 0 else comment
    for m in LITERAL.finditer(line):
        if m.start() >= end_of_code:
            break
        spans.append((at, m.start()))
        at = m.end()
    spans.append((at, end_of_code))
    return [(a, b) for a, b in spans if b > a]


def is_code_line(line):
    s = line.strip()
    return bool(s) and not s.startswith(("#", "//", "/*", "*")) and "static_assert" not in s \
        and "template" not in s and not s.startswith("using ")


def candidates(root, folders):
    """Every place a fault could go: (file, line number, column, old, new, kind)."""
    found = []
    for folder in folders:
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root)
                with open(path, encoding="utf-8", errors="replace") as f:
                    lines = f.read().split("\n")
                in_block_comment = False
                for number, line in enumerate(lines, 1):
                    if in_block_comment:
                        if "*/" in line:
                            in_block_comment = False
                        continue
                    if line.strip().startswith("/*") and "*/" not in line:
                        in_block_comment = True
                        continue
                    if not is_code_line(line):
                        continue
                    for a, b in code_spans(line):
                        for kind, pattern, replacements in OPERATORS:
                            if kind == "arithmetic" and '"' in line:
                                continue  # most likely strings joined, which do not subtract
                            for m in pattern.finditer(line, a, b):
                                old = m.group(1)
                                new = replacements[old] if replacements else str(int(old) + 1)
                                found.append((rel, number, m.start(1), old, new, kind))
                    # A dropped statement: a line that is one call or assignment.
                    s = line.strip()
                    if s.endswith(";") and not s.startswith(("return", "break", "continue", "throw")) and \
                            re.match(r"^[\w:.\->\[\]()*&]+(\(.*\)|\s*[-+*/|&]?=\s*.+|\+\+|--);$", s) and \
                            not re.match(r"^(const\s+)?[\w:<>]+\s+\w+\s*=", s):
                        found.append((rel, number, 0, s, "", "dropped statement"))
    return found


def apply(root, mutation):
    rel, number, column, old, new, kind = mutation
    path = os.path.join(root, rel)
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        original = f.read()
    lines = original.split("\n")
    line = lines[number - 1]
    if kind == "dropped statement":
        lines[number - 1] = line[:len(line) - len(line.lstrip())] + ";  // dropped"
    else:
        assert line[column:column + len(old)] == old, (rel, number, line)
        lines[number - 1] = line[:column] + new + line[column + len(old):]
    with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write("\n".join(lines))
    return path, original


def describe(mutation):
    rel, number, column, old, new, kind = mutation
    if kind == "dropped statement":
        return f"{rel}:{number}: {kind} '{old}'"
    return f"{rel}:{number}:{column + 1}: {kind} '{old}' -> '{new}'"


def equivalent_key(text):
    """FILE:LINE:COLUMN: KIND 'OLD' -> 'NEW' (the why after ' -- ' dropped)."""
    return text.split(" -- ")[0].strip()


def run(command, cwd=None, timeout=None):
    # In a session of its own, so that a timeout ends the tests it started too.
    with subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", start_new_session=True) as process:
        try:
            out, _ = process.communicate(timeout=timeout)
            return process.returncode, out
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            out, _ = process.communicate()
            return "timeout", out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    project = os.path.dirname(here)
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folders", nargs="*", default=["inspect", "answers", "check", "report", "gwinspect"])
    parser.add_argument("--count", type=int, default=40, help="faults to run (default 40)")
    parser.add_argument("--seed", type=int, default=22, help="of the random choice (default 22)")
    parser.add_argument("--build", default=os.path.join(project, "build-mutation"))
    parser.add_argument("--timeout", type=int, default=600, help="seconds per test (default 600)")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--targets", default="gwinspect test_programs",
                        help="built for each fault (default: gwinspect and the test programs: every "
                             "test binary and fuzz replay)")
    parser.add_argument("--sanitize", action="store_true",
                        help="build with AddressSanitizer and UndefinedBehaviorSanitizer (Debug), as "
                             "make test-sanitize does: a read past an array's end is then caught too")
    parser.add_argument("--tests", default="", help="ctest -R: the tests run (default: all)")
    parser.add_argument("--exclude", default="report_in_chromium|manual_page",
                        help="ctest -E: tests left out (default: the browser test, the manual pages)")
    parser.add_argument("--equivalent", default=os.path.join(here, "mutation-equivalent.txt"),
                        help="survivors judged equivalent, one a line")
    args = parser.parse_args()

    source = os.path.join(os.path.abspath(args.build), "src")
    # Laid out as the work tree and its build/, so that a shared ccache with a
    # base_dir finds the objects it already has.
    build = os.path.join(source, "build")
    tracked = subprocess.run(["git", "ls-files", "-z"], cwd=project, stdout=subprocess.PIPE,
                             check=True).stdout.decode().split("\0")
    for rel in filter(None, tracked):
        target = os.path.join(source, rel)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if not os.path.exists(target) or open(os.path.join(project, rel), "rb").read() != open(target, "rb").read():
            shutil.copy2(os.path.join(project, rel), target)

    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    kind = ["-DCMAKE_BUILD_TYPE=Debug", "-DBUILDERS_SANITIZE=ON"] if args.sanitize else \
        ["-DCMAKE_BUILD_TYPE=Release", "-DBUILDERS_SANITIZE=OFF"]
    if args.sanitize:
        os.environ["ASAN_OPTIONS"] = "detect_leaks=1:abort_on_error=1"
        os.environ["UBSAN_OPTIONS"] = "print_stacktrace=1"
    # Warnings stop the build as in CI: a fault that draws one does not compile.
    status, out = run(["cmake", "-S", source, "-B", build, "-DBUILDERS_WERROR=ON"] + kind + launcher)
    if status != 0:
        sys.exit("configure failed:\n" + out)
    build_command = ["cmake", "--build", build, "-j", str(args.jobs), "--target"] + args.targets.split()
    test_command = ["ctest", "--test-dir", build, "--stop-on-failure", "--timeout", str(args.timeout),
                    "-j", str(args.jobs), "-E", args.exclude] + (["-R", args.tests] if args.tests else [])
    print("Building and testing the sources as they are...", flush=True)
    status, out = run(build_command)
    if status != 0:
        sys.exit("the sources as they are do not build:\n" + out[-4000:])
    started = time.time()
    status, out = run(test_command)
    if status != 0:
        sys.exit("the tests fail on the sources as they are; no fault can be judged:\n" + out[-4000:])
    # A fault that makes a program loop would otherwise hold the run for the
    # longest test's own timeout (900 s for the Python tests): the whole
    # suite taking three times as long as it does unchanged counts as a fail.
    suite_limit = 3 * (time.time() - started) + 60

    equivalent = set()
    if os.path.exists(args.equivalent):
        with open(args.equivalent) as f:
            equivalent = {equivalent_key(l) for l in f if l.strip() and not l.startswith("#")}

    places = candidates(source, args.folders)
    random.Random(args.seed).shuffle(places)
    print(f"{len(places)} places for a fault in {', '.join(args.folders)}; running {args.count} "
          f"(seed {args.seed})", flush=True)
    results = defaultdict(lambda: defaultdict(list))  # folder -> outcome -> descriptions
    not_built = 0
    ran = 0
    for mutation in places:
        if ran == args.count:
            break
        path, original = apply(source, mutation)
        try:
            started = time.time()
            status, out = run(build_command)
            if status != 0:
                not_built += 1
                continue
            ran += 1
            status, out = run(test_command, timeout=suite_limit)
            text = describe(mutation)
            if status == "timeout":
                out += "\n  0 - (the suite ran past its limit)"
            if status != 0:
                outcome = "killed"
            elif equivalent_key(text) in equivalent:
                outcome = "equivalent"
            else:
                outcome = "survived"
            failed = re.search(r"^\s*\d+ - (\S+)", out, re.M) if outcome == "killed" else None
            print(f"[{ran}/{args.count}] {outcome:10} {text}"
                  + (f"  (by {failed.group(1)})" if failed else "")
                  + f"  {time.time() - started:.0f} s", flush=True)
            results[mutation[0].split("/")[0]][outcome].append(text)
        finally:
            with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write(original)
    # The copy built as it is again, so that the next run starts clean.
    run(build_command)

    print(f"\n{ran} faults run, {not_built} more did not compile and were replaced")
    print(f"{'folder':12} {'killed':>7} {'survived':>9} {'equivalent':>11} {'killed of those that change behaviour':>40}")
    totals = defaultdict(int)
    for folder in args.folders:
        r = results[folder]
        k, s, e = len(r["killed"]), len(r["survived"]), len(r["equivalent"])
        for name, n in (("killed", k), ("survived", s), ("equivalent", e)):
            totals[name] += n
        rate = f"{100 * k / (k + s):.0f} %" if k + s else "-"
        print(f"{folder:12} {k:7} {s:9} {e:11} {rate:>40}")
    k, s = totals["killed"], totals["survived"]
    print(f"{'all':12} {k:7} {s:9} {totals['equivalent']:11} "
          f"{(f'{100 * k / (k + s):.0f} %' if k + s else '-'):>40}")
    survivors = [t for folder in args.folders for t in results[folder]["survived"]]
    if survivors:
        print("\nSurvivors (a test is missing, or the fault is equivalent: then list it in "
              f"{os.path.relpath(args.equivalent, project)} with why):")
        for t in survivors:
            print("  " + t)


if __name__ == "__main__":
    main()
