#!/usr/bin/env python3
"""End-to-end tests of the protowrap program: real files, real runs, exact bytes.

Every output is compared with an independent reference: the fourteen rules written out again in
reference_rules.py and applied with Python's bytes.replace, one after the other.
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from reference_rules import wrap  # noqa: E402

CG_OUT = "Protocol_CG.WRAP.h"
CW_OUT = "Protocol_CW.WRAP.h"

ARGS = None  # set in main


def reference(data):
    """What protowrap must write for an input: the text up to its first NUL, rewritten."""
    return wrap(data)


# Fragments that make the rules fire, overlap and interact.
FRAGMENTS = [b"CG_", b"CW_", b"enum e", b"enum eCG_", b"CATEGORY", b"_PROTOCOL", b"_PACK", b",",
             b"=", b"==", b"};", b"}", b"#", b"#include", b"//", b"//#include", b" ", b"\t",
             b"\r\n", b"\n", b"\r", b"[] =", b"MAKE_PROTOCOL", b"_INFO(", b"PROTOCOL_STRUCT s",
             b"a", b"Z9", b"\xff", b"\x80", b"C", b"G", b"_"]


def windows():
    """Whether the program under test is a Windows one (run under Wine)."""
    return any("wine" in part for part in ARGS.emulator)


def random_text(rng, pieces):
    return b"".join(rng.choice(FRAGMENTS) for _ in range(pieces))


class ProtowrapCase(unittest.TestCase):
    """A scratch directory to run protowrap in, and helpers to fill and read it."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="protowrap-e2e-")

    def tearDown(self):
        subprocess.run(["chmod", "-R", "u+rwx", self.dir], check=False)
        shutil.rmtree(self.dir, ignore_errors=True)

    # -- helpers ---------------------------------------------------------------------------------

    def path(self, name):
        return os.path.join(self.dir, name)

    def put(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def get(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def configure(self, cg=None, cw=None):
        lines = [b"[CONFIG]"]
        if cg is not None:
            lines.append(b"CG_FILE_PATH=" + cg)
        if cw is not None:
            lines.append(b"CW_FILE_PATH=" + cw)
        self.put("Talvenor.ini", b"\r\n".join(lines) + b"\r\n")

    def command(self, binary=None):
        """The command line that runs the program under test."""
        return ARGS.emulator + [binary or ARGS.protowrap]

    def run_protowrap(self, timeout=60, limit_memory=None, program=None, prefix=(), binary=None,
                      args=(), limits=(), stdout=subprocess.PIPE):
        """Runs protowrap in the scratch directory; checks exit status 0 (and, under valgrind,
        no error, leak or open file); returns its standard output with line ends as LF. Its
        standard error is left in self.stderr. `limits` are (resource, value) pairs."""
        import resource
        limits = list(limits) + ([(resource.RLIMIT_AS, limit_memory)] if limit_memory else [])

        def limit():
            for which, value in limits:
                resource.setrlimit(which, (value, value))

        command = [program] if program else self.command(binary)
        log = os.path.join(tempfile.gettempdir(), "protowrap-valgrind-%d.log" % os.getpid())
        if ARGS.valgrind and not program:
            command = ["valgrind", "--error-exitcode=99", "--leak-check=full",
                       "--errors-for-leak-kinds=all", "--track-fds=yes", "--log-file=" + log,
                       ] + command
            timeout *= 10
        elif ARGS.instrumented:
            timeout *= 5
        done = subprocess.run(list(prefix) + command + list(args), cwd=self.dir, stdout=stdout,
                              stderr=subprocess.PIPE, timeout=timeout, stdin=subprocess.DEVNULL,
                              preexec_fn=limit if limits else None)
        self.stderr = done.stderr.replace(b"\r\n", b"\n").decode("latin-1")
        if ARGS.valgrind and not program:
            with open(log) as f:
                report = f.read()
            os.remove(log)
            self.assertNotEqual(99, done.returncode, report)
            self.assertIn("FILE DESCRIPTORS:", report)
            # Every descriptor open at exit, but for the standard ones and those the program
            # inherited (valgrind's log among them), is one the program left open.
            lines = report.splitlines() + [""]
            left_open = [line for line, after in zip(lines, lines[1:])
                         if "Open file descriptor" in line and "inherited from parent" not in after]
            self.assertEqual([], left_open, report)
        self.assertEqual(0, done.returncode, done.stderr)
        return (done.stdout or b"").replace(b"\r\n", b"\n").decode("latin-1")

    def convert(self, cg_data, cw_data):
        """Runs protowrap on two inputs and checks both outputs against the reference."""
        self.put("cg.h", cg_data)
        self.put("cw.h", cw_data)
        self.configure(b"cg.h", b"./cw.h")
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        self.assertEqual(reference(cg_data), self.get(CG_OUT))
        self.assertEqual(reference(cw_data), self.get(CW_OUT))

    def posix(self):
        if windows():
            self.skipTest("POSIX special files")


class ConversionTest(ProtowrapCase):
    # -- conversions -----------------------------------------------------------------------------

    def test_examples_convert_to_the_reference(self):
        for name in ("Talvenor.ini", "Protocol_CG.h", "Protocol_CW.h"):
            shutil.copy(os.path.join(ARGS.examples, name), self.dir)
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        for family in ("CG", "CW"):
            with open(os.path.join(ARGS.examples, "Protocol_%s.h" % family), "rb") as f:
                source = f.read()
            self.assertEqual(reference(source), self.get("Protocol_%s.WRAP.h" % family))
        self.assertIn(b"\r\n", self.get(CW_OUT))
        # A second run truncates and rewrites: the same bytes again.
        first = self.get(CG_OUT)
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        self.assertEqual(first, self.get(CG_OUT))

    def test_random_inputs_match_the_reference(self):
        rng = random.Random(20261208)
        for _ in range(40):
            self.convert(random_text(rng, rng.randrange(0, 400)),
                         random_text(rng, rng.randrange(0, 400)))

    def test_empty_input_nul_bytes_and_long_inputs(self):
        self.convert(b"", b"CW_A,\0CW_B,")
        self.assertEqual(b"", self.get(CG_OUT))
        self.assertEqual(b"MAKE_PROTOCOL_INFO(CW_A), ", self.get(CW_OUT))
        rng = random.Random(7)
        self.convert(random_text(rng, 300000), b"plain text\0CW_")

    def test_paths_are_used_exactly_as_written(self):
        os.mkdir(self.path("sub dir"))
        self.put("sub dir/cg header.h", b"CG_A = 1,\n")
        self.put("cw.h", b"CW_B,\n")
        self.configure(b"  'sub dir/cg header.h'  ", b"./cw.h ")
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        self.assertEqual(b"MAKE_PROTOCOL_INFO(CG_A , 1), \n", self.get(CG_OUT))
        self.assertEqual(b"MAKE_PROTOCOL_INFO(CW_B), \n", self.get(CW_OUT))

    def test_configured_paths_are_cut_to_511_bytes(self):
        # Past Windows' 260 characters too: protowrap.exe takes long paths.
        deep = "d" * 200 + "/" + "e" * 200 + "/" + "f" * 105
        os.makedirs(self.path(deep))
        name = (deep + "/x.h").encode()
        self.assertEqual(511, len(name))
        self.put(deep + "/x.h", b"CW_B,\n")
        self.configure(name + b"IGNORED", name + b"I")
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        self.assertEqual(b"MAKE_PROTOCOL_INFO(CW_B), \n", self.get(CW_OUT))

    def test_same_bytes_and_lines_as_the_native_build(self):
        if not ARGS.native:
            self.skipTest("no native build to compare with")
        rng = random.Random(99)
        cases = [(random_text(rng, rng.randrange(0, 2000)), random_text(rng, 50)) for _ in range(10)]
        for cg_data, cw_data in cases + [(b"", b"\0"), (b"CG_,\r\n" * 1000, b"")]:
            self.put("cg.h", cg_data)
            self.put("cw.h", cw_data)
            self.configure(b"cg.h", b"missing.h")
            ours = self.run_protowrap(), self.get(CG_OUT)
            os.remove(self.path(CG_OUT))
            native = self.run_protowrap(program=os.path.abspath(ARGS.native)), self.get(CG_OUT)
            self.assertEqual(native, ours)

    def test_help_and_version_touch_nothing_and_other_arguments_are_ignored(self):
        self.put("cg.h", b"enum eCG_A_PROTOCOL { CG_A, };")
        self.put("cw.h", b"enum eCW_B_PROTOCOL { CW_B = 2, };")
        self.configure(b"cg.h", b"cw.h")
        helps = ["--help", "-h"] + (["/?"] if windows() else [])
        for args in [[h] for h in helps] + [["--version"], ["--version", "--help"]]:
            out = self.run_protowrap(args=args)
            if "--help" in args or "-h" in args or "/?" in args:
                self.assertIn("Usage: protowrap", out, args)
                self.assertIn("Talvenor.ini", out, args)
            else:
                self.assertRegex(out, r"^protowrap \d+\.\d+\.\d+\n$")
            self.assertEqual("", self.stderr)
            self.assertEqual(["Talvenor.ini", "cg.h", "cw.h"], sorted(os.listdir(self.dir)), args)
        # Anything else is ignored, as it always was, with a warning that names it.
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap(args=["--frobnicate", "x"]))
        self.assertIn("--frobnicate", self.stderr)
        self.assertEqual(2, len(self.stderr.splitlines()))
        self.assertEqual(reference(b"enum eCG_A_PROTOCOL { CG_A, };"), self.get(CG_OUT))
        self.assertEqual(reference(b"enum eCW_B_PROTOCOL { CW_B = 2, };"), self.get(CW_OUT))

    def test_warnings_are_capped_and_hostile_headers_complete(self):
        # 30 enumerators without CG_: the first 20 warnings, then one line that counts the rest.
        strays = b"enum eCG_S_PROTOCOL {\n" + b"".join(b"X%d,\n" % i for i in range(30)) + b"};\n"
        self.put("cg.h", strays)
        self.put("cw.h", b"")
        self.configure(b"cg.h", b"cw.h")
        for args, shown in (([], 20), (["--warning-limit=0"], 30), (["--warning-limit=5"], 5),
                            (["--warning-limit=2147483648"], 30),
                            (["--warning-limit=99999999999999999999"], 30),
                            (["--warning-limit=007"], 7)):
            self.assertEqual("Completed\nCompleted\n", self.run_protowrap(args=args))
            lines = self.stderr.replace("\r\n", "\n").splitlines()
            self.assertEqual(shown, sum("PW008" in line and "note:" not in line for line in lines), args)
            if shown < 30:
                self.assertEqual(shown + 1, len(lines))
                self.assertIn("%d more warnings not shown (PW008 x%d)" % (30 - shown, 30 - shown),
                              lines[-1])
        # Digits only: a sign, or anything else, is an argument that is ignored.
        for bad in ("x", "-0", "+3", "", " 3", "3 "):
            self.run_protowrap(args=["--warning-limit=" + bad])
            self.assertIn("ignoring argument '--warning-limit=%s'" % bad, self.stderr)
            self.assertEqual(22, len(self.stderr.replace("\r\n", "\n").splitlines()), bad)
        # Nesting deeper than any stack, CR-only line ends and one long line of strays: both jobs
        # complete with the reference's bytes (and the check, linear in each, says what it must).
        deep = b"namespace a{" * 60000 + b"\nenum eCG_D_PROTOCOL { CG_D, };\n" + b"}" * 60000
        cr_only = b"// a comment\renum eCW_R_PROTOCOL\r{\r\tCW_R = 1, // one\r};\r" * 20000
        long_line = b"".join(b"int a%d;" % i for i in range(100000))  # defined again
        # Shapes that once cost time by the square of their size: a long macro read again and
        # again, a macro of macros, directives that each open a block comment.
        long_macro = b"#define A 1 /*" + b"x" * 800000 + b"*/\n" + b"#if A\n#endif\n" * 40000
        macros = b"".join(b"#define B%d (A + A)\n" % i for i in range(20000)) + \
            b"#define A (" + b" + ".join(b"B%d" % i for i in range(20000)) + b")\n" + \
            b"#if A\n#endif\n" * 20000
        openers = b"#define X 1 /*\n" * 50000
        for cg, cw in ((deep, cr_only), (long_line, deep), (long_macro, macros), (openers, b"")):
            self.put("cg.h", cg)
            self.put("cw.h", cw)
            self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
            self.assertEqual(reference(cg), self.get(CG_OUT))
            self.assertEqual(reference(cw), self.get(CW_OUT))
            self.assertEqual(cg == long_line, "PW010" in self.stderr)
            if cg == long_macro:
                self.assertEqual("", self.stderr)

    def test_utf8_configuration_names_non_ascii_paths_everywhere(self):
        # Talvenor.ini in UTF-8, as the MSBuild targets and protowrap_generate write it: the
        # paths open on Linux, and on Windows too, where protowrap's manifest makes UTF-8 its
        # code page (Windows 10 1903 and later, and Wine).
        os.mkdir(self.path("dé€"))
        self.put(os.path.join("dé€", "cg.h"), b"enum eCG_U_PROTOCOL { CG_U, };")
        self.put("cw.h", b"")
        self.put("Talvenor.ini", "[CONFIG]\r\nCG_FILE_PATH=dé€/cg.h\r\nCW_FILE_PATH=cw.h\r\n".encode())
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        self.assertEqual(reference(b"enum eCG_U_PROTOCOL { CG_U, };"), self.get(CG_OUT))

    def test_utf16_configuration_names_non_ascii_paths(self):
        # As Windows PowerShell 5 writes it: UTF-16 LE with its mark. The names must arrive in
        # UTF-8, never as '?', even where a file of the '?' name exists.
        self.posix()
        cg, cw = "é.h", "дир/ü€\U0001F600.h"
        os.mkdir(self.path("дир"))
        self.put(cg, b"CG_RIGHT,")
        self.put(cw, b"CW_RIGHT,")
        self.put("?.h", b"CG_WRONG,")
        ini = "\ufeff[CONFIG]\r\nCG_FILE_PATH=./%s\r\nCW_FILE_PATH=%s\r\n" % (cg, cw)
        self.put("Talvenor.ini", ini.encode("utf-16-le"))
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        self.assertEqual(reference(b"CG_RIGHT,"), self.get(CG_OUT))
        self.assertEqual(reference(b"CW_RIGHT,"), self.get(CW_OUT))
        # A value that cannot be converted (an unpaired surrogate) is missing, not a '?' path.
        bad = "\ufeff[CONFIG]\r\nCG_FILE_PATH=./".encode("utf-16-le") + b"\x00\xd8" + \
            ".h\r\nCW_FILE_PATH=./é.h\r\n".encode("utf-16-le")
        self.put("Talvenor.ini", bad)
        self.assertEqual("Can't open \nCompleted\n", self.run_protowrap())

    # -- configuration ---------------------------------------------------------------------------

    def test_missing_configuration_creates_nothing(self):
        self.assertEqual("Can't open \nCan't open \n", self.run_protowrap())
        self.assertEqual(["Talvenor.ini"] if os.path.exists(self.path("Talvenor.ini")) else [],
                         os.listdir(self.dir))

    def test_each_family_runs_whatever_the_other_did(self):
        self.put("cw.h", b"CW_X,")
        self.configure(b"missing.h", b"cw.h")
        self.assertEqual("Can't open missing.h\nCompleted\n", self.run_protowrap())
        self.assertFalse(os.path.exists(self.path(CG_OUT)))
        self.assertEqual(b"MAKE_PROTOCOL_INFO(CW_X), ", self.get(CW_OUT))
        self.put("cg.h", b"CG_Y,")
        self.configure(b"cg.h", None)
        self.assertEqual("Completed\nCan't open \n", self.run_protowrap())
        self.assertEqual(b"MAKE_PROTOCOL_INFO(CW_X), ", self.get(CW_OUT))  # left as it was

    # -- failures of files -----------------------------------------------------------------------

    def test_outputs_that_cannot_be_created_are_left_alone(self):
        self.put("cg.h", b"CG_A,")
        self.put("cw.h", b"CW_A,")
        self.configure(b"cg.h", b"cw.h")
        os.mkdir(self.path(CG_OUT))
        self.assertEqual("Can't Create File ./Protocol_CG.WRAP.h\nCompleted\n",
                         self.run_protowrap())
        self.assertTrue(os.path.isdir(self.path(CG_OUT)))

    def test_inputs_that_are_not_files(self):
        os.mkdir(self.path("dir.h"))
        self.configure(b"dir.h", b"dir.h/missing.h")
        self.assertEqual("Can't open dir.h\nCan't open dir.h/missing.h\n", self.run_protowrap())

    def test_full_disk_is_not_reported_as_success(self):
        self.posix()
        self.put("cg.h", b"CG_A,")
        self.put("cw.h", b"CW_A,")
        self.configure(b"cg.h", b"cw.h")
        os.symlink("/dev/full", self.path(CG_OUT))
        os.symlink(self.path("no/such/dir/x.h"), self.path(CW_OUT))
        self.assertEqual("Can't Write File ./Protocol_CG.WRAP.h\n"
                         "Can't Create File ./Protocol_CW.WRAP.h\n", self.run_protowrap())

    def test_fifo_and_device_inputs_never_hang(self):
        self.posix()
        os.mkfifo(self.path("fifo.h"))
        self.configure(b"fifo.h", b"/dev/zero")
        self.assertEqual("Can't open fifo.h\nCan't open /dev/zero\n", self.run_protowrap(10))

    def test_files_locked_by_another_process(self):
        self.posix()
        self.put("cg.h", b"CG_A,")
        self.put("cw.h", b"CW_A,")
        self.put(CW_OUT, b"kept")
        self.configure(b"cg.h", b"cw.h")
        holders = [subprocess.Popen(["flock", "--exclusive", self.path(name), "sleep", "30"],
                                    stdout=subprocess.DEVNULL, start_new_session=True)
                   for name in ("cg.h", CW_OUT)]
        try:
            # Wait until both locks are held.
            for name in ("cg.h", CW_OUT):
                while subprocess.run(["flock", "--nonblock", self.path(name), "true"]).returncode == 0:
                    pass
            self.assertEqual("Can't open cg.h\nCan't Create File ./Protocol_CW.WRAP.h\n",
                             self.run_protowrap())
            self.assertEqual(b"kept", self.get(CW_OUT))
            self.assertFalse(os.path.exists(self.path(CG_OUT)))
        finally:
            for holder in holders:
                os.killpg(holder.pid, signal.SIGKILL)
                holder.wait()

    def test_inputs_too_large_for_32_bit_lengths(self):
        # One byte over the longest text, just over 2 GiB, and over 4 GiB (where a 32-bit size
        # would wrap to a small one). Sparse: no disk is used.
        self.put(CG_OUT, b"kept")
        for cg_size, cw_size in ((2147483647, (2 << 30) + 1), (2147483647, (4 << 30) + 5)):
            for name, size in (("cg.h", cg_size), ("cw.h", cw_size)):
                with open(self.path(name), "wb") as f:
                    f.truncate(size)
            self.configure(b"cg.h", b"cw.h")
            self.assertEqual("File Too Large cg.h\nFile Too Large cw.h\n", self.run_protowrap())
            self.assertEqual(b"kept", self.get(CG_OUT))
            self.assertFalse(os.path.exists(self.path(CW_OUT)))

    def test_out_of_memory_is_reported_and_writes_nothing(self):
        self.posix()
        if ARGS.sanitized or ARGS.valgrind or ARGS.emulator:
            self.skipTest("sanitizers, valgrind and emulators need more address space than the limit")
        with open(self.path("big.h"), "wb") as f:
            f.truncate(1 << 30)  # sparse; 1 GiB block cannot be had under a 256 MiB limit
        self.put("cw.h", b"CW_A,")
        self.put(CG_OUT, b"kept")
        self.configure(b"big.h", b"cw.h")
        self.assertEqual("Out Of Memory big.h\nCompleted\n",
                         self.run_protowrap(limit_memory=256 << 20))
        self.assertEqual(b"kept", self.get(CG_OUT))


def main(module="__main__"):
    """Runs the tests of `module` with the command line's options."""
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--protowrap", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--emulator", default="", help="runs the program, e.g. wine")
    parser.add_argument("--sanitized", action="store_true")
    parser.add_argument("--instrumented", action="store_true",
                        help="a build instrumented for line coverage, some five times slower")
    parser.add_argument("--valgrind", action="store_true",
                        help="run protowrap under valgrind: no error, no leak, no open file")
    parser.add_argument("--native", default="", help="a native protowrap to compare with")
    ARGS, rest = parser.parse_known_args()
    ARGS.protowrap = os.path.abspath(ARGS.protowrap)
    ARGS.emulator = ARGS.emulator.split(";") if ARGS.emulator else []
    unittest.main(module=module, argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
