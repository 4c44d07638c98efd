#!/usr/bin/env python3
"""The project's own mutation test: plants one small fault at a time in a copy of the tree, builds
it and runs the native tests, and says how many faults the tests caught.

Faults go at random lines of the production code (platform/, config/, text/, wrap/, check/, app/
and include/, without tests and without the Windows implementations, which a Linux build does
not compile), spread by size: every line is as likely as any other. The kinds: a flipped
comparison, a constant changed by one, && and || swapped, a negated condition, a deleted
statement, an early return. With the same seed and the same tree, the same faults.

Each fault is killed (a test failed, or ran out of time), survived (every test passed) or not
built (the compiler refused it: another fault is drawn in its place). N faults are judged. The
last line:
    mutation score: K killed of M (P %)
and before it the survivors, with file, line and change.
    mutate.py [--count N] [--seed S] [--jobs J] [--keep DIR]
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
PRODUCTION = ("platform/", "config/", "text/", "wrap/", "check/", "app/", "include/")
# The tests that judge a fault, quickest first, and how many random headers the check's judge
# draws (the full test command draws 300).
TESTS = "^(unit|client|end_to_end|faults|header_check)$"
RANDOM_HEADERS = "40"


def production_files(tree):
    listed = subprocess.run(["git", "ls-files"], cwd=TOP, capture_output=True, text=True,
                            check=True).stdout.split()
    return sorted(f for f in listed
                  if f.startswith(PRODUCTION) and f.endswith((".cpp", ".h"))
                  and "_test" not in f and "_win32" not in f and os.path.isfile(os.path.join(tree, f)))


def code_part(line):
    """The line with string and character literals blanked and a // comment cut off, so that
    faults go only into code."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(" " if c != quote else c)
            if c == quote:
                quote = None
        elif c in "\"'" and not (c == "'" and i > 0 and line[i - 1].isalnum()):
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def is_statement(line, code):
    stripped = code.strip()
    return (line.startswith("  ") and stripped.endswith(";") and "{" not in stripped
            and "}" not in stripped and not stripped.startswith(("return", "case", "//", "#"))
            and re.search(r"\(|=|\+\+|--|\bbreak\b|\bcontinue\b", stripped) is not None)


def matching_paren(code, open_at):
    depth = 0
    for i in range(open_at, len(code)):
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def candidates(line):
    """Every fault that can go on this line: (kind, mutated line)."""
    code = code_part(line)
    if code.lstrip().startswith("#") or not code.strip():
        return []
    found = []
    for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", code):
        op = m.group(1)
        for new in {"<": ("<=", ">"), "<=": ("<", ">"), ">": (">=", "<"), ">=": (">", "<"),
                    "==": ("!=",), "!=": ("==",)}[op]:
            found.append(("comparison %s -> %s" % (op, new),
                          line[:m.start()] + new + line[m.end():]))
    for m in re.finditer(r"(?<![\w.'])(0[xX][0-9a-fA-F']+|\d[\d']*)([uUlL]*)(?![\w.'])", code):
        digits = m.group(1).replace("'", "")
        value = int(digits, 16) if digits[:2].lower() == "0x" else int(digits)
        for new in {value + 1, max(value - 1, 0)} - {value}:
            text = (hex(new) if digits[:2].lower() == "0x" else str(new)) + m.group(2)
            found.append(("constant %s -> %s" % (m.group(0), text),
                          line[:m.start()] + text + line[m.end():]))
    for m in re.finditer(r"&&|\|\|", code):
        new = "||" if m.group(0) == "&&" else "&&"
        found.append(("%s -> %s" % (m.group(0), new), line[:m.start()] + new + line[m.end():]))
    for m in re.finditer(r"\b(if|while) \(", code):
        close = matching_paren(code, m.end() - 1)
        if close > 0:
            found.append(("condition negated", line[:m.end()] + "!(" +
                          line[m.end():close] + ")" + line[close:]))
    if is_statement(line, code):
        indent = line[:len(line) - len(line.lstrip())]
        found.append(("statement deleted", indent + "// " + line.lstrip()))
        found.append(("early return", indent + "return {}; " + line.lstrip()))
    return found


def run(command, cwd, env=None, timeout=None):
    try:
        return subprocess.run(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--count", type=int, default=120)
    parser.add_argument("--seed", type=int, default=2026)
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--keep", default="", help="keep the copy of the tree here")
    args = parser.parse_args()

    tree = args.keep or tempfile.mkdtemp(prefix="protowrap-mutate-")
    if args.keep:
        os.makedirs(tree, exist_ok=True)
    # A copy of what git tracks, as it stands in the working tree (changes not yet committed too).
    listed = subprocess.run(["git", "ls-files", "-z"], cwd=TOP, capture_output=True,
                            check=True).stdout.split(b"\0")
    for name in filter(None, (n.decode() for n in listed)):
        source = os.path.join(TOP, name)
        if os.path.isfile(source):
            os.makedirs(os.path.dirname(os.path.join(tree, name)), exist_ok=True)
            shutil.copy2(source, os.path.join(tree, name))
    build = os.path.join(tree, "build", "mutate")
    env = dict(os.environ, PROTOWRAP_RANDOM_HEADERS=RANDOM_HEADERS,
               CMAKE_BUILD_PARALLEL_LEVEL=str(args.jobs))
    configure = ["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                 "-DPROTOWRAP_BUILD_BENCHMARKS=OFF", "-DPROTOWRAP_INSTALL=OFF"]
    build_command = ["cmake", "--build", build]
    test_command = ["ctest", "--test-dir", build, "-R", TESTS, "--stop-on-failure",
                    "--timeout", "300", "-j", "1"]
    if run(configure, tree, env) != 0 or run(build_command, tree, env) != 0:
        sys.exit("the tree does not build as it stands")
    if run(test_command, tree, env) != 0:
        sys.exit("the tests fail on the tree as it stands: mend them first")

    files = production_files(tree)
    lines = [(f, i) for f in files
             for i, _ in enumerate(open(os.path.join(tree, f), encoding="utf-8").readlines())]
    rng = random.Random(args.seed)
    killed, survived, unbuilt = 0, [], 0
    while killed + len(survived) < args.count:
        while True:
            name, index = lines[rng.randrange(len(lines))]
            path = os.path.join(tree, name)
            with open(path, encoding="utf-8") as f:
                original = f.read()
            text = original.splitlines(keepends=True)
            faults = candidates(text[index].rstrip("\n"))
            if faults:
                break
        kind, mutated = faults[rng.randrange(len(faults))]
        tries = [mutated]
        if kind == "early return":  # in a function that returns nothing
            tries.append(mutated.replace("return {}; ", "return; ", 1))
        start = time.time()
        verdict = "not built"
        try:
            for attempt in tries:
                text[index] = attempt + "\n"
                with open(path, "w", encoding="utf-8") as f:
                    f.write("".join(text))
                if run(build_command, tree, env) == 0:
                    verdict = "killed" if run(test_command, tree, env, timeout=3600) != 0 else "SURVIVED"
                    break
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        if verdict == "killed":
            killed += 1
        elif verdict == "SURVIVED":
            survived.append("%s:%d: %s: %s" % (name, index + 1, kind, text[index].strip()))
        else:
            unbuilt += 1
        print("%3d/%d %-9s %s:%d %s (%.0f s)" % (killed + len(survived), args.count, verdict, name,
                                                index + 1, kind, time.time() - start), flush=True)
    run(build_command, tree, env)
    if not args.keep:
        shutil.rmtree(tree, ignore_errors=True)
    judged = killed + len(survived)
    print("survivors:" if survived else "no survivors")
    for s in survived:
        print("  " + s)
    print("not built: %d" % unbuilt)
    print("mutation score: %d killed of %d (%.1f %%)" % (killed, judged,
                                                         100.0 * killed / max(judged, 1)))


if __name__ == "__main__":
    main()
