#!/usr/bin/env python3
"""The header check against the compiler: for every header of the corpus (tests/headers/),
protowrap must warn exactly when the wrap header it writes fails to compile in a client with the
definitions the README documents (both forms), and exactly on the lines that the header marks
with "expect-warning". The output bytes and the result lines stay those of the reference."""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
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

# Where a compiler puts an error, or a note on one (a macro's expansion), in the wrap header.
BLAMED = re.compile(r"Protocol_CG\.WRAP\.h:(\d+):\d+: (?:fatal error|error|note)")
LINUX = re.compile(r"^(.*):(\d+):(\d+): warning: (.+) \[PW(\d{3})\]$")
MSBUILD = re.compile(r"^(.*)\((\d+),(\d+)\): warning PW(\d{3}): (.+)$")


class HeaderCheckTest(unittest.TestCase):
    def test_warnings_exactly_where_the_wrap_header_does_not_compile(self):
        names = sorted(n for n in os.listdir(ARGS.headers) if n.endswith(".h"))
        self.assertGreater(len(names), 15)
        kinds = set()
        for name in names:
            with self.subTest(header=name):
                kinds |= self.check(name)
        # Every kind of warning has a header that shows it.
        self.assertEqual({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19}, kinds)

    def test_random_headers_warn_exactly_when_they_do_not_compile(self):
        rng = random.Random(ARGS.variant)
        checked = 0
        for i in range(ARGS.random):
            name = "random%d.h" % i
            source = random_header(rng)
            with self.subTest(variant=ARGS.variant, header=i, source=source.decode()):
                work = tempfile.mkdtemp(prefix="protowrap-check-")
                try:
                    with open(os.path.join(work, name), "wb") as f:
                        f.write(source)
                    if self.compiles(work, name, "", wrap_header=False).returncode != 0:
                        continue  # not C++ to begin with
                    checked += 1
                    self.check(name, work, marked=False)
                finally:
                    shutil.rmtree(work, ignore_errors=True)
        self.assertGreater(checked, ARGS.random // 2)

    def check(self, name, work=None, marked=True):
        if work is None:
            work = tempfile.mkdtemp(prefix="protowrap-check-")
            shutil.copy(os.path.join(ARGS.headers, name), work)
        try:
            return self.convert_and_judge(name, work, marked)
        finally:
            shutil.rmtree(work, ignore_errors=True)

    def convert_and_judge(self, name, work, marked):
        if True:
            with open(os.path.join(work, "empty.h"), "wb"):
                pass
            with open(os.path.join(work, "Talvenor.ini"), "wb") as f:
                f.write(b"[CONFIG]\r\nCG_FILE_PATH=./%s\r\nCW_FILE_PATH=empty.h\r\n" % name.encode())
            done = subprocess.run(ARGS.emulator + [ARGS.protowrap], cwd=work, capture_output=True,
                                  stdin=subprocess.DEVNULL, timeout=120)
            self.assertEqual(0, done.returncode)
            self.assertEqual(b"Completed\nCompleted\n", done.stdout.replace(b"\r\n", b"\n"))
            with open(os.path.join(work, name), "rb") as f:
                source = f.read()
            with open(os.path.join(work, "Protocol_CG.WRAP.h"), "rb") as f:
                self.assertEqual(wrap(source), f.read())  # the check changes nothing

            warnings = self.parse(done.stderr.decode("utf-8").replace("\r\n", "\n"))
            for path, _, _, _, _ in warnings:
                self.assertEqual("./" + name, path)
            lines = sorted(line for _, line, _, _, _ in warnings)
            expected = [i + 1 for i, text in enumerate(source.splitlines())
                        if b"expect-warning" in text]
            if marked:
                self.assertEqual(expected, lines, done.stderr.decode("utf-8"))
            blamed, gave_up = set(), False
            for cxx in ARGS.cxx:
                for client, definitions in CLIENTS.items():
                    compiled = self.compiles(work, name, definitions, cxx=cxx)
                    self.assertEqual(not warnings, compiled.returncode == 0,
                                     "%s, %s client: %s" % (cxx, client, compiled.stderr[-2000:]))
                    # Lines of the wrap header are those of the header.
                    blamed |= {int(m) for m in BLAMED.findall(compiled.stderr)}
                    gave_up = gave_up or "unterminated" in compiled.stderr
            # Each warning stands on a line that a compiler blames. After an unterminated macro
            # invocation, which runs to the end of the file, the compilers see no further cause:
            # then only the first warning can be held to it.
            for _, line, _, code, _ in sorted(warnings, key=lambda w: w[1])[:1 if gave_up else None]:
                self.assertIn(line, blamed, "PW%03d on line %d; the compilers blame %s"
                              % (code, line, sorted(blamed)))
            return {code for _, _, _, code, _ in warnings}

    def parse(self, stderr):
        warnings = []
        for line in stderr.splitlines():
            if ARGS.msbuild:
                m = MSBUILD.match(line)
                self.assertIsNotNone(m, line)
                warnings.append((m[1], int(m[2]), int(m[3]), int(m[4]), m[5]))
            else:
                m = LINUX.match(line)
                self.assertIsNotNone(m, line)
                warnings.append((m[1], int(m[2]), int(m[3]), int(m[5]), m[4]))
        return warnings

    def compiles(self, work, name, definitions, wrap_header=True, cxx=None):
        with open(os.path.join(work, "client.cpp"), "w") as f:
            f.write(definitions + '#include "%s"\n' % name)
            if wrap_header:
                f.write('#include "Protocol_CG.WRAP.h"\n')
            f.write("int main() { return 0; }\n")
        limit = ["-ferror-limit=0"] if "clang" in os.path.basename(cxx or ARGS.cxx[0]) else []
        return subprocess.run([cxx or ARGS.cxx[0], "-std=c++20", "-fsyntax-only"] + limit + [
                               "-I", os.path.join(ARGS.headers, "include"), "client.cpp"],
                              cwd=work, capture_output=True, text=True, timeout=120)


def random_header(rng):
    """A header of ordinary C++ as people write protocol headers: well written, or with one of
    the ways of straying from the rules (one, so that two causes cannot cancel each other out)."""
    counter = iter(range(1, 10 ** 6))
    enums = []
    for _ in range(rng.randrange(1, 5)):
        family = rng.choice(["CG", "CW"])
        names = ["%s_N%d" % (family, next(counter)) for _ in range(rng.randrange(5))]
        values = [rng.choice(["", "", "", " = %d" % rng.randrange(1000), " = 0x%x" % rng.randrange(99),
                              " = (1 << %d)" % rng.randrange(9), " = 'x'", " =3"]) for _ in names]
        comments = [rng.choice(["", "", " // a, b = c", " /* x, y */", " // CG_OLD = 1, #2",
                                "\t// };"]) for _ in names]
        enums.append({"head": "enum e%s_T%d_PROTOCOL" % (family, next(counter)), "names": names,
                      "values": values, "comments": comments, "commas": [","] * len(names),
                      "close": rng.choice(["};"] * 6 + ["} ;", "}\n;"]),
                      "one_line": rng.randrange(4) == 0, "family": family})
    extra = []
    mutation = rng.randrange(28)
    target = rng.choice(enums)
    if target["names"]:
        k = rng.randrange(len(target["names"]))
        if mutation == 0:
            target["commas"][k] = ""
        elif mutation == 1 and any(e["names"] for e in enums if e is not target):
            other = rng.choice([e for e in enums if e is not target and e["names"]])
            if enums.index(other) < enums.index(target):
                target["values"][k] = " = %s + 1" % other["names"][0]
        elif mutation == 2:
            target["values"][k] = " = MAKE_CODE(%d, %d)" % (rng.randrange(9), rng.randrange(9))
        elif mutation == 3:
            target["names"][k] = "X_N%d" % next(counter)
        elif mutation == 4:
            target["names"][k] = target["family"] + "_PROTOCOL_N%d" % next(counter)
    if mutation == 5:
        target["head"] += " : unsigned short"
    elif mutation == 6:
        target["head"] = target["head"].replace("_PROTOCOL", "_R")
    elif mutation == 7:
        target["head"] += "_EX"
    elif mutation == 8:
        target["head"] = target["head"].replace("enum e", "enum ")
    elif mutation == 9:
        extra.append(rng.choice(["struct D%d { int a; };", "const int K%d = 1;", "void G%d(int, int);",
                                 "int V%d;"]) % next(counter))
    elif mutation == 10:
        extra.append('#include "CG_types.h"')
    elif mutation == 13:
        extra.append(rng.choice(['static_assert(sizeof(int) > 1 && R"(a "quoted" word)");',
                                 'static_assert(sizeof(int) > 1 && R"x(a lone " and )" inside)x");',
                                 "#define API%d\nclass API%d Table%d;"]).replace("%d", str(next(counter))))
    elif mutation == 14:
        extra.append(rng.choice(["enum { kLimit%d = 1 };", "enum : int { CG_LIMIT%d = 1, };"])
                     % next(counter))
    elif mutation == 15 and target["names"]:
        k = rng.randrange(len(target["names"]))
        target["values"][k] = rng.choice([" = 0x80000000", " = 1LL << 40", " = 0x7FFFFFFF",
                                          " = -2147483647 - 1", " = 1u << 31", " = ~0u"])
    elif mutation == 16:
        target["head"] = target["head"].replace("enum e", rng.choice(["enum\te", "enum  e", "enum\ne"]))
    elif mutation == 11:
        extra.append(rng.choice(["struct S%d;", "void F%d(int);", "typedef int T%d;",
                                 "extern int E%d;", "//#include \"CG_x%d.h\"",
                                 "#define CG_MAX%d 5"]) % next(counter))

    def render(e):
        lines = ["\t" + n + v + c + m for n, v, c, m in
                 zip(e["names"], e["values"], e["commas"], e["comments"])]
        if e["one_line"]:
            body = " ".join(l.strip() for l in lines if "//" not in l)
            return e["head"] + " { " + body + " " + e["close"]
        return e["head"] + "\n{\n" + "".join(l + "\n" for l in lines) + e["close"]

    parts = ["#pragma once", '#include "protocol_common.h"'] + extra
    for e in enums:
        if mutation == 12 and e is target:
            parts.append("namespace n%d {\n%s\n};" % (next(counter), render(e)))
        elif mutation == 17 and e is target:
            condition = rng.choice(["#ifdef _DEBUG", "#if 0", "#if 1", "#ifdef __cplusplus",
                                    "#ifndef G%d\n#define G%d" % ((next(counter),) * 2)])
            parts.append("%s\n%s\n#endif" % (condition, render(e)))
        else:
            parts.append(render(e))
    if mutation == 18:
        parts = ["#ifndef HEADER_H", "#define HEADER_H"] + parts + ["#endif  // HEADER_H"]
    newline = rng.choice(["\n", "\r\n", "\r"])
    text = (newline.join(parts) + newline).replace("\n", newline).replace("\r\r", "\r")
    bom = b"\xef\xbb\xbf" if mutation == 19 else b""
    return bom + text.encode()


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--protowrap", required=True)
    parser.add_argument("--headers", required=True)
    parser.add_argument("--cxx", required=True, action="append",
                        help="a compiler that judges; give it again for another")
    parser.add_argument("--emulator", default="")
    parser.add_argument("--msbuild", action="store_true", help="expect MSBuild's warning form")
    parser.add_argument("--random", type=int, default=40, help="random headers to check")
    parser.add_argument("--variant", type=int, default=2026, help="picks the random headers")
    ARGS, rest = parser.parse_known_args()
    ARGS.protowrap = os.path.abspath(ARGS.protowrap)
    ARGS.headers = os.path.abspath(ARGS.headers)
    ARGS.emulator = ARGS.emulator.split(";") if ARGS.emulator else []
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
