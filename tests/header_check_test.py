#!/usr/bin/env python3
"""The header check against the compilers.

protowrap may warn about a header only where its wrap header fails to compile in some build
configuration in which the header itself compiles, and must warn wherever it does (but where the
check cannot read what decides: an include that does not exist). The judges (judges.py) are two
compilers for each target, Linux and Windows, in each configuration: the target's defaults, its
Debug build, and a build that defines one of the header's own switches; both compilers must agree
that a configuration fails. Every warning must stand on a line that a compiler blames.

The corpus (tests/headers/) says on which lines and columns it expects which warnings
("expect-warning PW017:2"); the files of tests/headers/beside/ stand next to each corpus header,
those of tests/headers/include/ are found by the compilers only. Random headers
(random_headers.py), with the files they include, are judged by the compilers alone.
PROTOWRAP_RANDOM_HEADERS sets how many random headers run (the test command runs a bounded
number; run 20,000 after changing the check),
PROTOWRAP_RANDOM_VARIANT which ones, PROTOWRAP_KEEP_DISAGREEMENTS a directory that receives
every header on which protowrap and the compilers disagree, and PROTOWRAP_REFERENCE an earlier
build of protowrap whose catches this one must keep. The output bytes and the result lines stay
those of the reference rules."""
import argparse
import concurrent.futures
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import judges  # noqa: E402
from random_headers import random_header  # noqa: E402
from reference_rules import wrap  # noqa: E402

ARGS = None

LINUX = re.compile(r"^(.*):(\d+):(\d+): warning: (.+) \[PW(\d{3})\]$")
MSBUILD = re.compile(r"^(.*)\((\d+),(\d+)\): warning PW(\d{3}): (.+)$")
BESIDE = "beside"  # tests/headers/beside/: files next to every corpus header
# The codes that the corpus shows.
CODES = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
         99]


def parse_warnings(test, stderr):
    warnings = []
    for line in stderr.splitlines():
        if ARGS.msbuild:
            m = MSBUILD.match(line)
            test.assertIsNotNone(m, line)
            warnings.append((m[1], int(m[2]), int(m[3]), int(m[4]), m[5]))
        else:
            m = LINUX.match(line)
            test.assertIsNotNone(m, line)
            warnings.append((m[1], int(m[2]), int(m[3]), int(m[5]), m[4]))
    return warnings


def convert(test, work, name, protowrap=None):
    """Runs protowrap on the header; checks its bytes and result lines; returns its warnings."""
    with open(os.path.join(work, "empty.h"), "wb"):
        pass
    with open(os.path.join(work, "Talvenor.ini"), "wb") as f:
        f.write(b"[CONFIG]\r\nCG_FILE_PATH=./%s\r\nCW_FILE_PATH=empty.h\r\n" % name.encode())
    done = subprocess.run(ARGS.emulator + [protowrap or ARGS.protowrap, "--warning-limit=0"],
                          cwd=work, capture_output=True, stdin=subprocess.DEVNULL, timeout=120)
    test.assertEqual(0, done.returncode)
    test.assertEqual(b"Completed\nCompleted\n", done.stdout.replace(b"\r\n", b"\n"))
    with open(os.path.join(work, name), "rb") as f:
        source = f.read()
    with open(os.path.join(work, "Protocol_CG.WRAP.h"), "rb") as f:
        test.assertEqual(wrap(source), f.read())  # the check changes nothing
    warnings = parse_warnings(test, done.stderr.decode("utf-8").replace("\r\n", "\n"))
    for path, _, _, _, _ in warnings:
        test.assertEqual("./" + name, path)
    return source, warnings


def misplaced(warnings, verdict, modeled=True):
    """Why the warnings do not stand where the compilers see errors, or None. Some warning must
    stand on a line that a compiler blames, and a single warning in a header of constructs that
    the check models (`modeled`) may not come after the compilers' first error. (Compilers
    recover from an error by skipping what follows it, the rest of a table or of the file, and
    skip the checks of meaning, such as a value's range, in a declaration that does not parse,
    while one cause may make them blame other lines first, such as every use of a name: so a
    cause may go unblamed.)"""
    if not warnings or not verdict.failing:
        return None
    lines = sorted(line for _, line, _, _, _ in warnings)
    if not set(lines) & verdict.blamed:
        return "no warning on a line that a compiler blames (%s)" % sorted(verdict.blamed)
    if modeled and len(lines) == 1 and verdict.errors_from is not None and \
            lines[0] > verdict.errors_from:
        return "the first warning (line %d) comes after the first error (line %d)" % (
            lines[0], verdict.errors_from)
    return None


def split(warnings):
    """The warnings of compile failures, and those of tables that compile but are wrong at run
    time."""
    runtime = [w for w in warnings if w[3] in judges.RUNTIME_CODES]
    return [w for w in warnings if w[3] not in judges.RUNTIME_CODES], runtime


def kind_of(configuration):
    """A configuration's kind, for the tally: the target, its Debug build, or a switch's build."""
    return configuration.split(",")[0] + (", a switch" if "," in configuration else "")


class Tally:
    """False warnings and misses, in all and per kind of configuration."""

    def __init__(self):
        self.judged = 0
        self.false = {}
        self.missed = {}
        self.allowed_misses = 0
        self.disputed = 0
        self.disagreements = []

    def count(self, table, configurations):
        table["any"] = table.get("any", 0) + 1
        for key in {kind_of(c) for c in configurations}:
            table[key] = table.get(key, 0) + 1

    def report(self, variant):
        lines = ["%d random headers judged (variant %d), per thousand:" % (self.judged, variant)]
        keys = ["any"] + ["%s%s" % (t.name, kind) for t in ARGS.judges.targets
                          for kind in ("", " debug", ", a switch")]
        for key in keys:
            lines.append("  %-22s false warnings %6.1f   misses %6.1f" % (
                key, 1000.0 * self.false.get(key, 0) / max(self.judged, 1),
                1000.0 * self.missed.get(key, 0) / max(self.judged, 1)))
        lines.append("  misses where the check cannot read what decides (an include that does "
                     "not exist): %.1f" % (1000.0 * self.allowed_misses / max(self.judged, 1)))
        lines.append("  headers on which a target's compilers disagree: %.1f" %
                     (1000.0 * self.disputed / max(self.judged, 1)))
        return "\n".join(lines)


def expected_warnings(source):
    """The warnings a corpus header marks: (line, column, code) for each "PWnnn:column" after
    "expect-warning" on a line. A mark without a code or a column is an error in the corpus."""
    expected = []
    for number, text in enumerate(source.splitlines(), 1):
        mark = re.search(rb"expect-warning((?: PW\d{3}(?::\d+)?)*)", text)
        if mark:
            marks = mark[1].decode().split()
            assert marks, "line %d: expect-warning names no code" % number
            for one in marks:
                code, _, column = one.partition(":")
                assert column, "line %d: %s names no column" % (number, code)
                expected.append((number, int(column), code))
    return sorted(expected)


def prepare(work, name, source, beside):
    with open(os.path.join(work, name), "wb") as f:
        f.write(source)
    for other, text in beside.items():
        with open(os.path.join(work, other), "wb") as f:
            f.write(text)


class HeaderCheckTest(unittest.TestCase):
    def test_corpus_warns_exactly_where_marked_and_the_compilers_agree(self):
        names = sorted(n for n in os.listdir(ARGS.headers) if n.endswith(".h"))
        self.assertGreater(len(names), 15)
        beside_dir = os.path.join(ARGS.headers, BESIDE)
        beside = {}
        for other in sorted(os.listdir(beside_dir)) if os.path.isdir(beside_dir) else []:
            with open(os.path.join(beside_dir, other), "rb") as f:
                beside[other] = f.read()
        kinds = set()

        def one(name):
            work = tempfile.mkdtemp(prefix="protowrap-check-")
            try:
                with open(os.path.join(ARGS.headers, name), "rb") as f:
                    prepare(work, name, f.read(), beside)
                source, warnings = convert(self, work, name)
                return source, warnings, judges.judge(ARGS.judges, work, name, ARGS.include_dir)
            finally:
                shutil.rmtree(work, ignore_errors=True)

        with concurrent.futures.ThreadPoolExecutor(ARGS.jobs) as pool:
            results = list(pool.map(one, names))
        for name, (source, warnings, verdict) in zip(names, results):
            with self.subTest(header=name):
                self.assertEqual(expected_warnings(source),
                                 sorted((w[1], w[2], "PW%03d" % w[3]) for w in warnings),
                                 "\n".join(map(str, warnings)))
                failing, runtime = split(warnings)
                self.assertEqual(bool(verdict.failing), bool(failing),
                                 "\n".join(verdict.errors) or "the compilers see no failure")
                if verdict.passing:
                    self.assertEqual(verdict.runtime, {w[3] for w in runtime})
                self.assertIsNone(misplaced(failing, verdict), "\n".join(verdict.errors))
                for _, line, _, _, text in warnings:
                    switch = re.match(r"in a build that defines (\w+), ", text)
                    if switch:  # the switch's build fails, and so does no build without it
                        self.assertTrue(any(c.endswith(", " + switch[1])
                                            for c in verdict.failing), (line, text))
                # Where a build without a switch fails, some warning is not a switch's alone.
                if any("," not in c for c in verdict.failing):
                    self.assertFalse(failing and all(
                        re.match(r"in a build that defines ", w[4]) for w in failing),
                        sorted(verdict.failing))
                kinds |= {code for _, _, _, code, _ in warnings}
        # Every kind of warning has a header that shows it.
        self.assertEqual(set(ARGS.codes), kinds)

    def test_random_headers_warn_exactly_when_they_fail_to_compile(self):
        if ARGS.random == 0:
            self.skipTest("no random headers in this build (the native build judges them)")
        rng = random.Random(ARGS.variant)
        headers = [random_header(rng) for _ in range(ARGS.random)]
        tally = Tally()

        def one(i):
            source, unmodeled, beside = headers[i]
            name = "random%d.h" % i
            work = tempfile.mkdtemp(prefix="protowrap-check-")
            try:
                prepare(work, name, source, beside)
                _, warnings = convert(self, work, name)
                before = None
                if ARGS.reference:
                    _, before = convert(self, work, name, ARGS.reference)
                return warnings, before, judges.judge(ARGS.judges, work, name, ARGS.include_dir)
            finally:
                shutil.rmtree(work, ignore_errors=True)

        with concurrent.futures.ThreadPoolExecutor(ARGS.jobs) as pool:
            results = list(pool.map(one, range(len(headers))))
        for i, (all_warnings, before, verdict) in enumerate(results):
            source, unmodeled, beside = headers[i]
            if not verdict.compiling:
                continue  # not C++ in any configuration
            tally.judged += 1
            tally.disputed += 1 if verdict.disputed else 0
            why = None
            warnings, runtime = split(all_warnings)
            runtime = {w[3] for w in runtime}
            if warnings and not verdict.failing and not verdict.disputed:
                why = "a false warning"
                tally.count(tally.false, verdict.compiling)
            elif verdict.passing and runtime - verdict.runtime:
                why = "a false warning of a table wrong at run time"
                tally.count(tally.false, verdict.passing)
            elif verdict.passing and verdict.runtime - runtime:
                why = "a miss of a table wrong at run time"
                tally.count(tally.missed, verdict.passing)
            elif verdict.failing and not warnings:
                if unmodeled:
                    tally.allowed_misses += 1
                else:
                    why = "a miss"
                    tally.count(tally.missed, verdict.failing)
            elif misplaced(warnings, verdict, not unmodeled):
                why = misplaced(warnings, verdict, not unmodeled)
            if why is None and before and verdict.failing and not unmodeled and \
                    not {w[1] for w in warnings} & verdict.blamed and \
                    {w[1] for w in before} & verdict.blamed:
                why = "a lost catch: the reference check warned on a line the compilers blame"
            if why is not None:
                tally.disagreements.append((i, why, source, beside, all_warnings, verdict))
        print("\n" + tally.report(ARGS.variant), file=sys.stderr)
        if ARGS.keep:
            os.makedirs(ARGS.keep, exist_ok=True)
            for i, why, source, beside, warnings, verdict in tally.disagreements:
                base = os.path.join(ARGS.keep, "variant%d-%d" % (ARGS.variant, i))
                with open(base + ".h", "wb") as f:
                    f.write(source)
                for other, text in beside.items():
                    with open("%s-%s" % (base, other), "wb") as f:
                        f.write(text)
                with open(base + ".txt", "w") as f:
                    f.write("%s\nwarnings: %s\nfailing: %s\ndisputed: %s\n%s\n" % (
                        why, warnings, sorted(verdict.failing), sorted(verdict.disputed),
                        "\n".join(verdict.errors)))
        self.assertGreater(tally.judged, ARGS.random // 2)
        self.assertEqual([], [
            "header %d: %s\n%s\nwarnings: %s\ncompilers:\n%s" % (
                i, why, source.decode("utf-8", "replace"), warnings,
                "\n".join(verdict.errors)[:3000])
            for i, why, source, beside, warnings, verdict in tally.disagreements[:3]])


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--protowrap", required=True)
    parser.add_argument("--headers", required=True)
    parser.add_argument("--emulator", default="")
    parser.add_argument("--msbuild", action="store_true", help="expect MSBuild's warning form")
    parser.add_argument("--random", type=int, default=60,
                        help="random headers to judge (PROTOWRAP_RANDOM_HEADERS overrides it)")
    parser.add_argument("--variant", type=int,
                        default=int(os.environ.get("PROTOWRAP_RANDOM_VARIANT", "2026")),
                        help="picks the random headers")
    parser.add_argument("--keep", default=os.environ.get("PROTOWRAP_KEEP_DISAGREEMENTS", ""),
                        help="a directory for the headers on which protowrap and the compilers "
                             "disagree")
    parser.add_argument("--reference", default=os.environ.get("PROTOWRAP_REFERENCE", ""),
                        help="another protowrap (an earlier build): a header on which it warned "
                             "where the compilers blame, and this one did not, is a disagreement")
    parser.add_argument("--codes", default="", help="the warning codes the corpus must show")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ARGS, rest = parser.parse_known_args()
    ARGS.random = int(os.environ.get("PROTOWRAP_RANDOM_HEADERS", ARGS.random))
    ARGS.protowrap = os.path.abspath(ARGS.protowrap)
    ARGS.headers = os.path.abspath(ARGS.headers)
    ARGS.include_dir = os.path.join(ARGS.headers, "include")
    ARGS.emulator = ARGS.emulator.split(";") if ARGS.emulator else []
    ARGS.reference = os.path.abspath(ARGS.reference) if ARGS.reference else ""
    ARGS.codes = [int(c) for c in ARGS.codes.split(",")] if ARGS.codes else CODES
    ARGS.judges = judges.Judges()
    if not ARGS.judges.complete():
        sys.exit("the header check's judges need g++, clang++ and MinGW-w64's g++: "
                 "bash scripts/install-deps.sh native")
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
