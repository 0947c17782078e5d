#!/usr/bin/env python3
"""Plants faults in the plug-in's code, one at a time, and counts those the native tests catch.

A fault is a flipped comparison, an integer constant off by one, a swapped sign or a dropped status
check, planted in a copy of the committed tree (a git worktree), never in the working tree. Each one
is built and the test program run until its first failure; a fault that does not build is left out
of the count. Each candidate in src/ (the native build's files) is taken or not by a hash of the
seed, its file, its line and the fault, so two runs with the same seed plant the same faults in
the lines that are the same, however the code around them changed.

    python3 scripts/plant_faults.py [--share 0.015] [--seed 1] [--rev HEAD] [--tests-from REV] [--sanitize]

--which-tests FILE runs every test on each fault (not only up to the first failure) and writes, a
JSON line per fault, the tests that failed; at the end it names the tests that were alone in
catching a fault, which a smaller test suite must keep (or replace).

The tree is built in Release (a test run takes seconds); --sanitize builds it as CI does, with
AddressSanitizer, which also catches faults that only corrupt memory, at several times the cost.

--tests-from takes tests/ from another commit: the same faults against an older set of tests.
"""
import argparse
import hashlib
import json
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

COMPARISONS = {"<": ">=", ">": "<=", "<=": ">", ">=": "<", "==": "!=", "!=": "=="}
COMPARISON = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)")
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
SIGN = re.compile(r"(?<=\s)([+-])(?=\s)")
STATUS_CHECK = re.compile(r"\bif \((.*(?:!= kNoError|== kNoError).*)\)")


def code_part(line):
    """The line up to a comment, with string and character literals blanked out."""
    out, quote, i = [], None, 0
    while i < len(line):
        ch = line[i]
        if quote:
            if ch == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(" " if ch != quote else ch)
            if ch == quote:
                quote = None
        elif ch in "\"'":
            quote = ch
            out.append(ch)
        elif line.startswith("//", i):
            break
        else:
            out.append(ch)
        i += 1
    return "".join(out)


def candidates(tree):
    """Every fault that can be planted: (file, line number, kind, old line, new line)."""
    found = []
    for folder, _, files in os.walk(os.path.join(tree, "src")):
        for name in sorted(files):
            if not name.endswith(".cpp") or name.endswith("_win32.cpp"):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, tree)
            with open(path, encoding="utf-8") as source:
                lines = source.read().split("\n")
            for number, line in enumerate(lines, 1):
                stripped = line.strip()
                if stripped.startswith(("#", "//", "*", "/*", "template")):
                    continue
                code = code_part(line)
                status = STATUS_CHECK.search(code)
                if status:
                    start, end = status.span(1)
                    found.append((relative, number, "dropped status check",
                                  line, line[:start] + "(" + line[start:end] + ") && false" + line[end:]))
                    continue
                for match in COMPARISON.finditer(code):
                    op = match.group(1)
                    new = line[:match.start()] + COMPARISONS[op] + line[match.end():]
                    found.append((relative, number, "flipped comparison " + op, line, new))
                for match in INTEGER.finditer(code):
                    value = int(match.group(1))
                    new = line[:match.start()] + str(value + 1) + line[match.end():]
                    found.append((relative, number, "constant %d off by one" % value, line, new))
                for match in SIGN.finditer(code):
                    op = match.group(1)
                    new = line[:match.start()] + ("-" if op == "+" else "+") + line[match.end():]
                    found.append((relative, number, "swapped sign " + op, line, new))
    return sorted(found)


def chosen(fault, seed, share):
    relative, _, kind, old, new = fault
    key = "\0".join([str(seed), relative, kind, old.strip(), new.strip()]).encode()
    weight = 5 if kind == "dropped status check" else 1  # rarer than the others, and as telling
    return int(hashlib.sha1(key).hexdigest()[:12], 16) < weight * share * 16**12


def run(command, cwd, timeout=None):
    try:
        return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def failed_tests(report):
    """The tests a gtest JSON report lists as failed; None when the run left no report (a crash)."""
    try:
        with open(report, encoding="utf-8") as source:
            suites = json.load(source)["testsuites"]
    except (OSError, ValueError, KeyError):
        return None
    return [suite["name"] + "." + test["name"]
            for suite in suites for test in suite.get("testsuite", []) if test.get("failures")]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--share", type=float, default=0.015, help="the share of candidates planted")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--rev", default="HEAD")
    parser.add_argument("--tests-from")
    parser.add_argument("--sanitize", action="store_true")
    parser.add_argument("--which-tests", metavar="FILE")
    parser.add_argument("--jobs", default=str(os.cpu_count() or 2))
    args = parser.parse_args()

    tree = tempfile.mkdtemp(prefix="kelvane-faults-")
    subprocess.run(["git", "worktree", "add", "--detach", tree, args.rev], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if args.tests_from:
            subprocess.run(["git", "rm", "-rq", "tests"], cwd=tree, check=True)
            subprocess.run(["git", "checkout", args.tests_from, "--", "tests"], cwd=tree, check=True)
        build = os.path.join(tree, "build")
        configure = ["cmake", "-S", tree, "-B", build,
                     "-DKELVANE_SANITIZE=ON" if args.sanitize else "-DCMAKE_BUILD_TYPE=Release"]
        make = ["cmake", "--build", build, "-j", args.jobs, "--target", "kelvane_tests"]
        if run(configure, tree) != 0 or run(make, tree) != 0:
            sys.exit("plant_faults: the unchanged tree does not build")
        tests = [os.path.join(build, "tests", "kelvane_tests"), "--gtest_fail_fast", "--gtest_brief=1"]
        if run(tests, tree, timeout=900) != 0:
            sys.exit("plant_faults: the tests fail on the unchanged tree")

        everything = candidates(tree)
        sample = [fault for fault in everything if chosen(fault, args.seed, args.share)]
        caught = survived = unbuilt = 0
        records = []
        for relative, number, kind, old, new in sample:
            path = os.path.join(tree, relative)
            with open(path, encoding="utf-8") as source:
                text = source.read()
            lines = text.split("\n")
            lines[number - 1] = new
            with open(path, "w", encoding="utf-8") as planted:
                planted.write("\n".join(lines))
            try:
                if run(make, tree) != 0:
                    outcome = "does not build"
                    unbuilt += 1
                elif not args.which_tests:
                    outcome = "caught" if run(tests, tree, timeout=300) != 0 else "SURVIVED"
                else:
                    report = os.path.join(tree, "report.json")
                    if os.path.exists(report):
                        os.remove(report)
                    status = run([tests[0], "--gtest_brief=1", "--gtest_output=json:" + report], tree, timeout=900)
                    failed = failed_tests(report)
                    if failed is None or (status != 0 and not failed):
                        failed = ["(the test program ended: %s)" % status]
                    outcome = "caught" if failed else "SURVIVED"
                    records.append({"fault": "%s:%d %s: %s" % (relative, number, kind, new.strip()), "failed": failed})
                    with open(args.which_tests, "w", encoding="utf-8") as out:
                        out.write("".join(json.dumps(record) + "\n" for record in records))
                if outcome == "caught":
                    caught += 1
                elif outcome == "SURVIVED":
                    survived += 1
            finally:
                with open(path, "w", encoding="utf-8") as restored:
                    restored.write(text)
            print("%-14s %s:%d %s: %s" % (outcome, relative, number, kind, new.strip()), flush=True)
        run(make, tree)
        counted = caught + survived
        print("plant_faults: %d of %d candidates planted; %d caught, %d survived, %d did not build: %.0f %% caught"
              % (len(sample), len(everything), caught, survived, unbuilt, 100.0 * caught / max(counted, 1)))
        alone = {}
        for record in records:
            if len(record["failed"]) == 1:
                alone.setdefault(record["failed"][0], []).append(record["fault"])
        for test, faults in sorted(alone.items(), key=lambda item: -len(item[1])):
            print("alone in catching %d: %s" % (len(faults), test))
    finally:
        subprocess.run(["git", "worktree", "remove", "--force", tree], cwd=ROOT,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
