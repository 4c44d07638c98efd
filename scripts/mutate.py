#!/usr/bin/env python3
"""The project's own mutation test: plants one small fault at a time in a copy of the tree, builds
it and runs the tests that might see it, and says how many faults the tests caught.

Faults go at random lines of the production code (platform/, config/, text/, wrap/, check/, app/
and include/, without tests and without the Windows implementations, which a Linux build does
not compile), spread by size: every line is as likely as any other. The kinds: a flipped
comparison, a constant changed by one, && and || swapped, a negated condition, a deleted
statement, an early return. The same sample number and the same tree give the same faults.

Two copies of the tree are built side by side (--jobs), each judging its own fault. A fault is
judged by the unit tests and the tests that run the program on what it touches: the client header
by the client test; the header check by the end-to-end tests and the check's corpus and 40 random
headers, whose compiler verdicts are computed once, before the first fault, and kept (a fault in
the check changes no wrap header); the entry by those and the fault tests; the rest by the
end-to-end, fault and client tests, which hold every output to the reference. Each fault is killed
(a test failed, or its tests ran past 60 s, or past twice their time on the tree as it stands where
that is longer), survived (every test passed), not built (the compiler refused it) or the same
code (every object file came out as the tree's own: the fault changed nothing the program does,
such as a buffer's spare byte or a bound the optimiser proves anyway). For the last two another
fault is drawn in its place, and the same-code faults are listed at the end. The running score
is printed as faults are judged; the last line:
    mutation score: K killed of M (P %)
and before it the survivors, with file, line and change.
    mutate.py [--count N] [--sample S] [--jobs J] [--keep DIR]
"""
import argparse
import concurrent.futures
import hashlib
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
PRODUCTION = ("platform/", "config/", "text/", "wrap/", "check/", "app/", "include/")
RANDOM_HEADERS = "40"
TIME_LIMIT = 60  # seconds of tests; a fault whose tests take longer is killed ...
MARGIN = 2  # ... or, for tests that take most of that anyway, twice their time on the tree as is
# A fault that does not build, or builds to the machine code of the tree as it stands, is no fault
# the tests could see: another is drawn in its place.
DRAWN_AGAIN = ("not built", "same code")


def tests_for(name):
    """The tests that might see a fault in `name`, quickest first. The fault test (files that
    fail, little memory, kills and soaks) runs the whole program on inputs the check has nothing
    to find in, so a fault in the check alone does not rerun it."""
    if name.startswith("include/"):
        return ("unit", "client")
    if name.startswith("check/"):
        return ("unit", "end_to_end", "header_check")
    if name.startswith("app/"):
        return ("unit", "end_to_end", "faults", "header_check")
    return ("unit", "end_to_end", "faults", "client")


def time_limit(tests, seconds):
    """How long a fault's tests may run: TIME_LIMIT, unless the tests take that long as it is."""
    return max(TIME_LIMIT, MARGIN * sum(seconds.get(t, TIME_LIMIT) for t in tests))


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
            and not stripped.endswith(("= delete;", "= default;"))  # declarations, no statements
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
    """The command's status, or -1 when it ran past `timeout`: then it is killed with everything it
    started (a test caught in a loop by its fault would otherwise go on spinning)."""
    with subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, start_new_session=True) as process:
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            return -1


def copy_tree(tree):
    """A copy of what git tracks, as it stands in the working tree (changes not yet committed
    too)."""
    listed = subprocess.run(["git", "ls-files", "-z"], cwd=TOP, capture_output=True,
                            check=True).stdout.split(b"\0")
    for name in filter(None, (n.decode() for n in listed)):
        source = os.path.join(TOP, name)
        if os.path.isfile(source):
            os.makedirs(os.path.dirname(os.path.join(tree, name)), exist_ok=True)
            shutil.copy2(source, os.path.join(tree, name))


class Worker:
    """One copy of the tree and its build, judging one fault at a time."""

    def __init__(self, tree, env):
        self.tree, self.env = tree, env
        self.build = os.path.join(tree, "build", "mutate")

    def prepare(self):
        # -O1: each fault rebuilds, and at -O1 the build takes less of a fault's time than the
        # tests do; the tests hold the same behaviour at any level. Assertions stay on: a wrong
        # one is a fault like any other.
        configure = ["cmake", "-S", self.tree, "-B", self.build, "-DCMAKE_BUILD_TYPE=Release",
                     "-DCMAKE_CXX_FLAGS_RELEASE=-O1",
                     "-DPROTOWRAP_BUILD_BENCHMARKS=OFF", "-DPROTOWRAP_INSTALL=OFF"]
        if run(configure, self.tree, self.env) != 0 or not self.compile():
            sys.exit("the tree does not build as it stands")
        self.unchanged = self.machine_code()

    def compile(self):
        return run(["cmake", "--build", self.build], self.tree, self.env) == 0

    def machine_code(self):
        """A digest of every object file of the build: a fault that leaves them all as they were
        compiled to the same machine code as the tree as it stands, and no test can see it."""
        digest = hashlib.sha256()
        for folder, _, names in sorted(os.walk(self.build)):
            for name in sorted(n for n in names if n.endswith(".o")):
                with open(os.path.join(folder, name), "rb") as f:
                    digest.update(name.encode() + b"\0" + hashlib.sha256(f.read()).digest())
        return digest.hexdigest()

    def ctest(self, tests):
        return ["ctest", "--test-dir", self.build, "-R", "^(%s)$" % "|".join(tests), "-j", "1"]

    def test(self, tests, timeout=None):
        return run(self.ctest(tests) + ["--stop-on-failure"], self.tree, self.env, timeout)

    def times(self, tests):
        """Runs the tests on the tree as it stands: their times in seconds, or None if one
        fails."""
        done = subprocess.run(self.ctest(tests), cwd=self.tree, env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if done.returncode != 0:
            return None
        return {m.group(1): float(m.group(2)) for m in re.finditer(
            r"Test +#\d+: (\S+) \.+ +Passed +([\d.]+) sec", done.stdout)}

    def judge(self, name, index, tries, seconds):
        """Plants each try in turn until one builds: "killed", "SURVIVED", "not built" or "same
        code" (it built to the machine code of the tree as it stands)."""
        path = os.path.join(self.tree, name)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        text = original.splitlines(keepends=True)
        verdict = "not built"
        try:
            for attempt in tries:
                text[index] = attempt + "\n"
                with open(path, "w", encoding="utf-8") as f:
                    f.write("".join(text))
                if self.compile():
                    if self.machine_code() == self.unchanged:
                        verdict = "same code"
                        break
                    tests = tests_for(name)
                    status = self.test(tests, timeout=time_limit(tests, seconds))
                    verdict = "killed" if status != 0 else "SURVIVED"
                    break
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        return verdict


def draw(lines, tree, rng):
    """The next fault of the sample: (file, line index, kind, tries)."""
    while True:
        name, index = lines[rng.randrange(len(lines))]
        with open(os.path.join(tree, name), encoding="utf-8") as f:
            text = f.read().splitlines()
        faults = candidates(text[index])
        if faults:
            kind, mutated = faults[rng.randrange(len(faults))]
            tries = [mutated]
            if kind == "early return":  # in a function that returns nothing
                tries.append(mutated.replace("return {}; ", "return; ", 1))
            return name, index, kind, tries


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--count", type=int, default=120)
    parser.add_argument("--sample", type=int, default=2026, help="which faults (a number)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2,
                        help="copies of the tree judged side by side")
    parser.add_argument("--keep", default="", help="keep the copies of the tree here")
    args = parser.parse_args()

    base = args.keep or tempfile.mkdtemp(prefix="protowrap-mutate-")
    env = dict(os.environ, PROTOWRAP_RANDOM_HEADERS=RANDOM_HEADERS, CMAKE_BUILD_PARALLEL_LEVEL="1",
               PROTOWRAP_JUDGE_CACHE=os.path.join(base, "verdicts"))
    workers = []
    for j in range(max(args.jobs, 1)):
        tree = os.path.join(base, "tree%d" % j)
        os.makedirs(tree, exist_ok=True)
        copy_tree(tree)
        workers.append(Worker(tree, env))
    with concurrent.futures.ThreadPoolExecutor(len(workers)) as pool:
        list(pool.map(Worker.prepare, workers))
    # Every test of every kind of fault passes on the tree as it stands; the first run also
    # computes the compilers' verdicts on the random headers, the second takes the tests' times.
    every = ("unit", "client", "end_to_end", "faults", "header_check")
    seconds = workers[0].times(every) and workers[0].times(every)
    if seconds is None:
        sys.exit("the tests fail on the tree as it stands: mend them first")
    print("the tests' times on the tree as it stands: " +
          ", ".join("%s %.0f s" % (t, seconds.get(t, 0)) for t in every), flush=True)

    files = production_files(workers[0].tree)
    lines = [(f, i) for f in files
             for i, _ in enumerate(open(os.path.join(workers[0].tree, f), encoding="utf-8"))]
    rng = random.Random(args.sample)
    lock = threading.Lock()
    results = {}  # fault number -> (verdict, description)
    next_fault = [0]
    faults = []
    started = time.time()

    def judged():
        return sum(1 for v, _ in results.values() if v not in DRAWN_AGAIN)

    def work(worker):
        while True:
            with lock:
                if judged() + sum(1 for n in range(len(faults)) if n not in results) >= args.count:
                    return
                number = next_fault[0]
                next_fault[0] += 1
                faults.append(draw(lines, worker.tree, rng))
                name, index, kind, tries = faults[number]
            start = time.time()
            verdict = worker.judge(name, index, tries, seconds)
            with lock:
                results[number] = (verdict, "%s:%d: %s: %s" % (name, index + 1, kind,
                                                               tries[0].strip()))
                done = judged()
                killed = sum(1 for v, _ in results.values() if v == "killed")
                print("%3d/%d %-9s %s:%d %s (%.0f s)   score so far: %d of %d (%.1f %%)" % (
                    done, args.count, verdict, name, index + 1, kind, time.time() - start,
                    killed, done, 100.0 * killed / max(done, 1)), flush=True)

    with concurrent.futures.ThreadPoolExecutor(len(workers)) as pool:
        list(pool.map(work, workers))
    # The sample is the first `count` faults that built, in the order they were drawn.
    sample = [results[n] for n in sorted(results) if results[n][0] not in DRAWN_AGAIN][:args.count]
    unbuilt = sum(1 for v, _ in results.values() if v == "not built")
    same = [d for n, (v, d) in sorted(results.items()) if v == "same code"]
    survived = [d for v, d in sample if v == "SURVIVED"]
    killed = len(sample) - len(survived)
    if not args.keep:
        shutil.rmtree(base, ignore_errors=True)
    print("survivors:" if survived else "no survivors")
    for s in survived:
        print("  " + s)
    print("same machine code (drawn again: no test can see them): %d" % len(same))
    for s in same:
        print("  " + s)
    print("not built: %d; %.0f s in all, %.0f s a fault" % (
        unbuilt, time.time() - started, (time.time() - started) / max(len(results), 1)))
    print("mutation score: %d killed of %d (%.1f %%)" % (killed, len(sample),
                                                         100.0 * killed / max(len(sample), 1)))


if __name__ == "__main__":
    main()
