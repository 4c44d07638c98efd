#!/usr/bin/env python3
"""The header check against the compilers.

protowrap may warn about a header only where its wrap header fails to compile in some build
configuration in which the header itself compiles, and must warn wherever it does (but for the
constructs that it leaves alone on purpose). The judges are the compilers given with --cxx, each
in four configurations (its defaults, a Debug build, a build for the other platform, and that
platform's Debug build), with both client forms that the README documents. Every warning must
stand on a line that a compiler blames.

The corpus (tests/headers/) says on which lines it expects warnings ("expect-warning"); random
headers (random_headers.py) are judged by the compilers alone. PROTOWRAP_RANDOM_HEADERS sets how
many random headers run (the test command runs a bounded number; run 20,000 after changing the
check), PROTOWRAP_RANDOM_VARIANT which ones, and PROTOWRAP_KEEP_DISAGREEMENTS a directory that
receives every header on which protowrap and the compilers disagree. The output bytes and the
result lines stay those of the reference."""
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
from random_headers import random_header  # noqa: E402
from reference_rules import wrap  # noqa: E402

ARGS = None

# The client definitions of the README: the one-file form and the form any number of source
# files can include.
CLIENTS = {
    "struct": """
struct PROTOCOL_STRUCT { const char* name; int value; };
#define MAKE_PROTOCOL_INFO(name, ...) { #name, name }
#define MAKE_PROTOCOL_INFO_EOR() { nullptr, 0 }
""",
    "inline": """
struct ProtocolEntry { const char* name; int value; };
#define PROTOCOL_STRUCT inline constexpr ProtocolEntry
#define MAKE_PROTOCOL_INFO(name, ...) { #name, name }
#define MAKE_PROTOCOL_INFO_EOR() { nullptr, 0 }
""",
}

# The platforms' own macros, as the compilers predefine them.
LINUX_MACROS = ["__linux__", "__linux", "__unix__", "__unix", "__gnu_linux__", "linux", "unix"]
WINDOWS_MACROS = ["_WIN32", "_WIN64", "__WIN32__", "__WIN64__", "__WIN32", "__WIN64", "WIN32",
                  "WIN64", "__WINNT", "__WINNT__", "WINNT"]
# System headers are read before the platform's macros are swapped: they are the platform's own.
PRELUDE = "#include <stdint.h>\n#include <stddef.h>\n#include <cstddef>\n#include <cstdint>\n"
DEBUG = ["-D_DEBUG", "-DDEBUG"]

LINUX = re.compile(r"^(.*):(\d+):(\d+): warning: (.+) \[PW(\d{3})\]$")
MSBUILD = re.compile(r"^(.*)\((\d+),(\d+)\): warning PW(\d{3}): (.+)$")


class Judge:
    """One compiler in its four configurations."""

    def __init__(self, cxx, work):
        self.cxx = cxx
        predefined = subprocess.run([cxx, "-std=c++20", "-dM", "-E", "-x", "c++", os.devnull],
                                    capture_output=True, text=True, check=True).stdout
        windows = "#define _WIN32 " in predefined
        swap = ["#undef %s" % m for m in (WINDOWS_MACROS if windows else LINUX_MACROS)]
        swap += ["#define %s 1" % m for m in (LINUX_MACROS[:5] if windows else WINDOWS_MACROS[:2])]
        self.preludes = {}
        for name, text in (("native", PRELUDE), ("other", PRELUDE + "\n".join(swap) + "\n")):
            path = os.path.join(work, "prelude-%s-%d.h" % (name, id(self)))
            with open(path, "w") as f:
                f.write(text)
            self.preludes[name] = path
        self.configurations = {
            "default": ["-include", self.preludes["native"]],
            "debug": DEBUG + ["-include", self.preludes["native"]],
            "other platform": ["-include", self.preludes["other"]],
            "other platform, debug": DEBUG + ["-include", self.preludes["other"]],
        }
        self.limit = ["-ferror-limit=0"] if "clang" in os.path.basename(cxx) else []

    def compile(self, work, name, client, configuration, wrap_header):
        source = os.path.join(work, "client-%s-%s.cpp" % (client, "wrap" if wrap_header else "h"))
        if not os.path.exists(source):
            with open(source, "w") as f:
                f.write(CLIENTS[client] + '#include "%s"\n' % name)
                if wrap_header:
                    f.write('#include "Protocol_CG.WRAP.h"\n')
                f.write("int main() { return 0; }\n")
        return subprocess.run([self.cxx, "-std=c++20", "-fsyntax-only"] + self.limit +
                              self.configurations[configuration] +
                              ["-I", os.path.join(ARGS.headers, "include"), source],
                              cwd=work, capture_output=True, text=True, timeout=120)


class Verdict:
    """What the compilers say of a header: in which configurations its wrap header fails while
    the header compiles, and which lines they blame there."""

    def __init__(self):
        self.failing = set()      # configurations
        self.compiling = set()    # configurations in which the header compiles
        self.blamed = set()
        self.errors_from = None   # the first line of the headers with an error
        self.errors = []


def judge(work, name):
    verdict = Verdict()
    with open(os.path.join(work, "Protocol_CG.WRAP.h"), "rb") as f:
        last_line = len(f.read().replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n"))
    blame = re.compile(r"(?:Protocol_CG\.WRAP\.h|%s):(\d+):\d+: (?:fatal error|error|note)"
                       % re.escape(name))
    # Errors that name their cause ("expected ..." errors stand where the parser gave up, which
    # may be before a cause that swallowed the rest of the file).
    errors = re.compile(r"(?:Protocol_CG\.WRAP\.h|%s):(\d+):\d+: (?:fatal error|error): "
                        r"(?!expected)" % re.escape(name))
    for judge_ in ARGS.judges:
        for configuration in judge_.configurations:
            for client in CLIENTS:
                done = judge_.compile(work, name, client, configuration, True)
                if done.returncode == 0:
                    verdict.compiling.add(configuration)
                    continue
                if judge_.compile(work, name, client, configuration, False).returncode != 0:
                    continue  # not C++ here to begin with
                verdict.compiling.add(configuration)
                verdict.failing.add(configuration)
                verdict.blamed |= {int(m) for m in blame.findall(done.stderr)}
                first = [int(m) for m in errors.findall(done.stderr)]
                if first:
                    verdict.errors_from = min(first + ([verdict.errors_from]
                                                       if verdict.errors_from else []))
                if re.search(r"client-\w+-wrap\.cpp:\d+:\d+: (?:fatal error|error)", done.stderr):
                    verdict.blamed.add(last_line)  # the wrap header left something open
                verdict.errors.append("%s, %s, %s client:\n%s" % (
                    os.path.basename(judge_.cxx), configuration, client, done.stderr[-1500:]))
    return verdict


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


def convert(test, work, name):
    """Runs protowrap on the header; checks its bytes and result lines; returns its warnings."""
    with open(os.path.join(work, "empty.h"), "wb"):
        pass
    with open(os.path.join(work, "Talvenor.ini"), "wb") as f:
        f.write(b"[CONFIG]\r\nCG_FILE_PATH=./%s\r\nCW_FILE_PATH=empty.h\r\n" % name.encode())
    done = subprocess.run(ARGS.emulator + [ARGS.protowrap], cwd=work, capture_output=True,
                          stdin=subprocess.DEVNULL, timeout=120)
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
    if not warnings:
        return None
    lines = sorted(line for _, line, _, _, _ in warnings)
    if not set(lines) & verdict.blamed:
        return "no warning on a line that a compiler blames (%s)" % sorted(verdict.blamed)
    if modeled and len(lines) == 1 and verdict.errors_from is not None and \
            lines[0] > verdict.errors_from:
        return "the first warning (line %d) comes after the first error (line %d)" % (
            lines[0], verdict.errors_from)
    return None


class Tally:
    """False warnings and misses, in all and per configuration."""

    def __init__(self):
        self.judged = 0
        self.false = {}
        self.missed = {}
        self.allowed_misses = 0
        self.disagreements = []

    def count(self, table, key):
        table[key] = table.get(key, 0) + 1

    def report(self, variant):
        lines = ["%d random headers judged (variant %d), per thousand:" % (self.judged, variant)]
        keys = ["any"] + list(ARGS.judges[0].configurations)
        for key in keys:
            lines.append("  %-22s false warnings %6.1f   misses %6.1f" % (
                key, 1000.0 * self.false.get(key, 0) / max(self.judged, 1),
                1000.0 * self.missed.get(key, 0) / max(self.judged, 1)))
        lines.append("  misses of constructs the check leaves alone on purpose: %.1f" %
                     (1000.0 * self.allowed_misses / max(self.judged, 1)))
        return "\n".join(lines)


class HeaderCheckTest(unittest.TestCase):
    def test_corpus_warns_exactly_where_marked_and_the_compilers_agree(self):
        names = sorted(n for n in os.listdir(ARGS.headers) if n.endswith(".h"))
        self.assertGreater(len(names), 15)
        kinds = set()

        def one(name):
            work = tempfile.mkdtemp(prefix="protowrap-check-")
            try:
                shutil.copy(os.path.join(ARGS.headers, name), work)
                source, warnings = convert(self, work, name)
                return source, warnings, judge(work, name)
            finally:
                shutil.rmtree(work, ignore_errors=True)

        with concurrent.futures.ThreadPoolExecutor(ARGS.jobs) as pool:
            results = list(pool.map(one, names))
        for name, (source, warnings, verdict) in zip(names, results):
            with self.subTest(header=name):
                expected = [i + 1 for i, text in enumerate(source.splitlines())
                            if b"expect-warning" in text]
                self.assertEqual(expected, sorted(w[1] for w in warnings),
                                 "\n".join(map(str, warnings)))
                self.assertEqual(bool(verdict.failing), bool(warnings),
                                 "\n".join(verdict.errors) or "the compilers see no failure")
                self.assertIsNone(misplaced(warnings, verdict), "\n".join(verdict.errors))
                kinds |= {code for _, _, _, code, _ in warnings}
        # Every kind of warning has a header that shows it.
        self.assertEqual({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21,
                          22, 99}, kinds)

    def test_random_headers_warn_exactly_when_they_fail_to_compile(self):
        rng = random.Random(ARGS.variant)
        headers = [random_header(rng) for _ in range(ARGS.random)]
        tally = Tally()

        def one(i):
            source, unmodeled = headers[i]
            name = "random%d.h" % i
            work = tempfile.mkdtemp(prefix="protowrap-check-")
            try:
                with open(os.path.join(work, name), "wb") as f:
                    f.write(source)
                _, warnings = convert(self, work, name)
                return warnings, judge(work, name)
            finally:
                shutil.rmtree(work, ignore_errors=True)

        with concurrent.futures.ThreadPoolExecutor(ARGS.jobs) as pool:
            results = list(pool.map(one, range(len(headers))))
        for i, (warnings, verdict) in enumerate(results):
            source, unmodeled = headers[i]
            if not verdict.compiling:
                continue  # not C++ in any configuration
            tally.judged += 1
            why = None
            if warnings and not verdict.failing:
                why = "a false warning"
                tally.count(tally.false, "any")
                for configuration in verdict.compiling:
                    tally.count(tally.false, configuration)
            elif verdict.failing and not warnings:
                if unmodeled:
                    tally.allowed_misses += 1
                else:
                    why = "a miss"
                    tally.count(tally.missed, "any")
                    for configuration in verdict.failing:
                        tally.count(tally.missed, configuration)
            elif misplaced(warnings, verdict, not unmodeled):
                why = misplaced(warnings, verdict, not unmodeled)
            if why is not None:
                tally.disagreements.append((i, why, source, warnings, verdict))
        print("\n" + tally.report(ARGS.variant), file=sys.stderr)
        if ARGS.keep:
            os.makedirs(ARGS.keep, exist_ok=True)
            for i, why, source, warnings, verdict in tally.disagreements:
                base = os.path.join(ARGS.keep, "variant%d-%d" % (ARGS.variant, i))
                with open(base + ".h", "wb") as f:
                    f.write(source)
                with open(base + ".txt", "w") as f:
                    f.write("%s\nwarnings: %s\nfailing: %s\n%s\n" % (
                        why, warnings, sorted(verdict.failing), "\n".join(verdict.errors)))
        self.assertGreater(tally.judged, ARGS.random // 2)
        self.assertEqual([], [
            "header %d: %s\n%s\nwarnings: %s\ncompilers:\n%s" % (
                i, why, source.decode("utf-8", "replace"), warnings,
                "\n".join(verdict.errors)[:3000])
            for i, why, source, warnings, verdict in tally.disagreements[:3]])


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--protowrap", required=True)
    parser.add_argument("--headers", required=True)
    parser.add_argument("--cxx", required=True, action="append",
                        help="a compiler that judges; give it again for another")
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
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ARGS, rest = parser.parse_known_args()
    ARGS.random = int(os.environ.get("PROTOWRAP_RANDOM_HEADERS", ARGS.random))
    ARGS.protowrap = os.path.abspath(ARGS.protowrap)
    ARGS.headers = os.path.abspath(ARGS.headers)
    ARGS.emulator = ARGS.emulator.split(";") if ARGS.emulator else []
    scratch = tempfile.mkdtemp(prefix="protowrap-judges-")
    try:
        ARGS.judges = [Judge(cxx, scratch) for cxx in ARGS.cxx]
        unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
