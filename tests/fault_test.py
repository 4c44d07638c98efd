#!/usr/bin/env python3
"""Fault tests of the protowrap program: hostile configuration, unreadable and oversized inputs,
exhausted memory, and a soak of many runs. Each checks the result lines, the exit status (0) and
what became of the files. Takes the same options as e2e_test.py."""
import os
import random
import shutil
import subprocess
import time

import e2e_test
from e2e_test import CG_OUT, CW_OUT, ProtowrapCase, random_text, reference

NOBODY = ("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups")


def heavy(test):
    """Skips a test that needs much memory or time under sanitizers, valgrind or Wine."""
    args = e2e_test.ARGS
    if args.sanitized or args.valgrind or args.emulator:
        test.skipTest("too heavy under sanitizers, valgrind or Wine")


class FaultTest(ProtowrapCase):
    def test_configuration_of_every_shape(self):
        self.put("cg.h", b"CG_A,")
        cases = [
            (b"", "Can't open \nCan't open \n"),
            (bytes((i * 131 + 7) % 256 for i in range(4096)).replace(b"[", b"{"),
             "Can't open \nCan't open \n"),
            (b"CG_FILE_PATH=" + b"x" * (1 << 20), "Can't open \nCan't open \n"),
            (b"[CONFIG]" + b" " * (1 << 20) + b"\nCG_FILE_PATH=cg.h", "Completed\nCan't open \n"),
            ("\ufeff[CONFIG]\r\nCG_FILE_PATH=cg.h\r\n".encode("utf-16-le"),
             "Completed\nCan't open \n"),
        ]
        for ini, lines in cases:
            self.put("Talvenor.ini", ini)
            self.assertEqual(lines, self.run_protowrap(), ini[:40])

    def test_configured_paths_of_511_and_512_bytes(self):
        self.posix()  # Windows paths end at 260 characters
        deep = "d" * 250 + "/" + "e" * 250
        os.makedirs(self.path(deep))
        name = (deep + "/" + "x" * 7 + ".h").encode()
        self.assertEqual(511, len(name))
        self.put(name.decode(), b"CW_B,\n")
        self.configure(name, name + b"Z")  # 511 bytes, and 512 bytes cut to the same 511
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        self.assertEqual(b"MAKE_PROTOCOL_INFO(CW_B), \n", self.get(CW_OUT))

    def test_unreadable_input(self):
        self.posix()
        os.chmod(self.dir, 0o777)
        self.put("cg.h", b"CG_A,")
        self.put("cw.h", b"CW_A,")
        os.chmod(self.path("cg.h"), 0)
        self.configure(b"cg.h", b"cw.h")
        prefix = NOBODY if os.geteuid() == 0 else ()  # root reads anything
        # A copy of the program in the open scratch directory: the build directory may lie
        # where nobody cannot reach.
        binary = shutil.copy(e2e_test.ARGS.protowrap, self.path("protowrap-copy"))
        self.assertEqual("Can't open cg.h\nCompleted\n",
                         self.run_protowrap(prefix=prefix, binary=binary))
        self.assertFalse(os.path.exists(self.path(CG_OUT)))

    def test_rewriting_without_enough_memory(self):
        # The input fits, but its first rewrite (sevenfold) does not: either a clear line and no
        # output, or a complete, correct output; never a signal.
        self.posix()
        heavy(self)
        data = b"CG_" * (32 << 20)
        self.put("cg.h", data)
        self.put("cw.h", b"CW_A,")
        self.put(CG_OUT, b"kept")
        self.configure(b"cg.h", b"cw.h")
        lines = self.run_protowrap(limit_memory=512 << 20)
        if lines.startswith("Completed"):
            self.assertEqual(reference(data), self.get(CG_OUT))
        else:
            self.assertEqual("Out Of Memory cg.h\nCompleted\n", lines)
            self.assertEqual(b"kept", self.get(CG_OUT))

    def test_rewriting_past_the_32_bit_length(self):
        # 100 million CG_ would grow to 2.2 GB, past the largest text a 32-bit length can hold.
        self.posix()
        heavy(self)
        self.put("cg.h", b"CG_" * 100_000_000)
        self.put(CG_OUT, b"kept")
        self.configure(b"cg.h", None)
        self.assertEqual("File Too Large cg.h\nCan't open \n", self.run_protowrap())
        self.assertEqual(b"kept", self.get(CG_OUT))

    def test_a_thousand_runs_in_a_row(self):
        """A soak: every run on fresh random inputs gives exactly the reference output."""
        rng = random.Random(1000)
        deadline = time.monotonic() + 60
        runs = 0
        while runs < 1000 and time.monotonic() < deadline:
            cg, cw = random_text(rng, rng.randrange(0, 300)), random_text(rng, rng.randrange(0, 30))
            self.put("cg.h", cg)
            self.put("cw.h", cw)
            if runs == 0:
                self.configure(b"cg.h", b"cw.h")
            self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
            self.assertEqual(reference(cg), self.get(CG_OUT))
            self.assertEqual(reference(cw), self.get(CW_OUT))
            runs += 1
        self.assertGreaterEqual(runs, 20 if e2e_test.ARGS.valgrind else 100)
        print("%d runs" % runs)


if __name__ == "__main__":
    e2e_test.main(module="__main__")
