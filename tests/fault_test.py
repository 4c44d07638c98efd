#!/usr/bin/env python3
"""Fault tests of the protowrap program: hostile configuration, unreadable and oversized inputs,
exhausted memory, and a soak of many runs. Each checks the result lines, the exit status (0) and
what became of the files. Takes the same options as e2e_test.py."""
import os
import random
import resource
import shutil
import signal
import subprocess
import time

import e2e_test
from e2e_test import CG_OUT, CW_OUT, ProtowrapCase, random_text, reference

NOBODY = ("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups")


def heavy(test):
    """Skips a test that needs much memory or time under sanitizers, valgrind or Wine."""
    args = e2e_test.ARGS
    if args.sanitized or args.valgrind or args.emulator:
        test.skipTest("too heavy under sanitizers, valgrind or an emulator")


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

    def test_runs_at_once_share_their_inputs(self):
        """Builds that read the same headers at the same moment all complete, with the right
        bytes; a writer still keeps readers out."""
        args = e2e_test.ARGS
        slow = args.emulator or args.valgrind or args.sanitized or args.instrumented
        at_once, rounds, size = (2, 3, 2 << 20) if slow else (6, 5, 16 << 20)
        rng = random.Random(6)
        block = random_text(rng, 20000)
        cg = block * (size // len(block))
        cw = cg.replace(b"CG_", b"CW_")
        self.put("cg.h", cg)
        self.put("cw.h", cw)
        expected = reference(cg), reference(cw)
        dirs = []
        for i in range(at_once):
            dirs.append(self.path("build%d" % i))
            os.mkdir(dirs[-1])
            with open(os.path.join(dirs[-1], "Talvenor.ini"), "wb") as f:
                f.write(b"[CONFIG]\nCG_FILE_PATH=../cg.h\nCW_FILE_PATH=../cw.h\n")
        for _ in range(rounds):
            runs = [subprocess.Popen(self.command(), cwd=d, stdout=subprocess.PIPE,
                                     stdin=subprocess.DEVNULL) for d in dirs]
            lines = [run.communicate(timeout=300)[0].replace(b"\r\n", b"\n") for run in runs]
            self.assertEqual([b"Completed\nCompleted\n"] * at_once, lines)
            self.assertEqual([0] * at_once, [run.returncode for run in runs])
            for d in dirs:
                for name, want in zip((CG_OUT, CW_OUT), expected):
                    with open(os.path.join(d, name), "rb") as f:
                        self.assertTrue(f.read() == want, name)
        if not e2e_test.windows():
            # A writer's lock (flock FILE -c ...) keeps every reader out, as before.
            self.configure(b"cg.h", b"cw.h")
            # Held far longer than any run takes (under valgrind, on a busy machine, the run
            # converts cg.h first for half a minute or more); it is killed when the run ends.
            holder = subprocess.Popen(["flock", "--exclusive", self.path("cw.h"), "sleep", "600"],
                                      stdout=subprocess.DEVNULL, start_new_session=True)
            try:
                while subprocess.run(["flock", "--nonblock", "--shared", self.path("cw.h"),
                                      "true"]).returncode == 0:
                    pass
                self.assertEqual("Completed\nCan't open cw.h\n", self.run_protowrap())
            finally:
                os.killpg(holder.pid, signal.SIGKILL)
                holder.wait()

    def test_a_closed_output_or_a_file_size_limit_never_cuts_a_run_short(self):
        self.put("cg.h", b"CG_A,\n" * 2000)
        self.put("cw.h", b"CW_B,")
        self.configure(b"cg.h", b"cw.h")
        # Nobody reads the result lines: both jobs still run, and the status is still 0.
        read_end, write_end = os.pipe()
        os.close(read_end)
        try:
            self.run_protowrap(stdout=write_end)
        finally:
            os.close(write_end)
        self.assertEqual(reference(b"CG_A,\n" * 2000), self.get(CG_OUT))
        self.assertEqual(reference(b"CW_B,"), self.get(CW_OUT))
        # A file-size limit (a full disk) fails the write that exceeds it, and only that one; the
        # previous wrap header stays whole, and nothing is left beside it.
        self.posix()
        os.remove(self.path(CW_OUT))
        self.put(CG_OUT, b"previous")
        lines = self.run_protowrap(limits=[(resource.RLIMIT_FSIZE, 4096)])
        self.assertEqual("Can't Write File ./Protocol_CG.WRAP.h\nCompleted\n", lines)
        self.assertEqual(b"previous", self.get(CG_OUT))
        self.assertEqual(reference(b"CW_B,"), self.get(CW_OUT))
        self.assertEqual([], self.leftovers())

    def leftovers(self):
        return sorted(n for n in os.listdir(self.dir) if ".protowrap-" in n)

    def test_a_killed_run_leaves_the_previous_wrap_header_whole(self):
        """kill -9 while a large wrap header is written: the previous one stays whole, and the next
        run removes what the killed one left."""
        self.posix()
        heavy(self)
        data = b"CG_A,\n" * (8 << 20)  # 48 MiB in, 250 MiB out
        self.put("cg.h", data)
        self.put("cw.h", b"CW_B,")
        self.put(CG_OUT, b"previous")
        self.configure(b"cg.h", b"cw.h")
        run = subprocess.Popen(e2e_test.ARGS.emulator + [e2e_test.ARGS.protowrap], cwd=self.dir,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 60
        while not self.leftovers() and run.poll() is None and time.monotonic() < deadline:
            time.sleep(0.001)
        run.kill()
        run.wait()
        self.assertEqual(b"previous", self.get(CG_OUT))
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
        self.assertEqual(reference(data), self.get(CG_OUT))
        self.assertEqual([], self.leftovers())

    def test_two_runs_at_once_both_complete(self):
        self.posix()
        data = b"CG_A,\nCG_B = 2,\n" * 50000
        self.put("cg.h", data)
        self.put("cw.h", b"CW_B,")
        self.put(CG_OUT, b"previous")
        os.chmod(self.path(CG_OUT), 0o640)
        self.configure(b"cg.h", b"cw.h")
        runs = [subprocess.Popen(e2e_test.ARGS.emulator + [e2e_test.ARGS.protowrap], cwd=self.dir,
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
                for _ in range(2)]
        for run in runs:
            out, _ = run.communicate(timeout=120)
            self.assertEqual(b"Completed\nCompleted\n", out)
        self.assertEqual(reference(data), self.get(CG_OUT))
        self.assertEqual(0o640, os.stat(self.path(CG_OUT)).st_mode & 0o777)  # its permissions
        self.assertEqual([], self.leftovers())

    def test_a_huge_configuration_in_little_memory(self):
        """400 MB of configuration, with lines of 200 MB before [CONFIG], under a 300 MB
        address-space limit (sparse: no disk is used)."""
        self.posix()
        heavy(self)
        self.put("cg.h", b"CG_A,")
        self.put("cw.h", b"CW_A,")
        hole = 200 << 20
        with open(self.path("Talvenor.ini"), "wb") as f:
            f.write(b"[")  # a '[' line without ']': no section, read to its end
            f.seek(hole, os.SEEK_CUR)
            f.write(b"\n")
            f.seek(hole, os.SEEK_CUR)  # a line of NULs
            f.write(b"\n[CONFIG]\nCG_FILE_PATH=cg.h\nCW_FILE_PATH = 'cw.h'\n")
        self.assertGreater(os.path.getsize(self.path("Talvenor.ini")), 400 << 20)
        self.assertEqual("Completed\nCompleted\n", self.run_protowrap(limit_memory=300 << 20))

    def test_a_thousand_runs_in_a_row(self):
        """A soak: every run on fresh random inputs gives exactly the reference output (at least
        100 runs, 20 under valgrind, and on for up to a minute, to 1000)."""
        rng = random.Random(1000)
        least = 20 if e2e_test.ARGS.valgrind else 100
        deadline = time.monotonic() + 60
        runs = 0
        while runs < least or (runs < 1000 and time.monotonic() < deadline):
            cg, cw = random_text(rng, rng.randrange(0, 300)), random_text(rng, rng.randrange(0, 30))
            self.put("cg.h", cg)
            self.put("cw.h", cw)
            if runs == 0:
                self.configure(b"cg.h", b"cw.h")
            self.assertEqual("Completed\nCompleted\n", self.run_protowrap())
            self.assertEqual(reference(cg), self.get(CG_OUT))
            self.assertEqual(reference(cw), self.get(CW_OUT))
            runs += 1
        print("%d runs" % runs)


if __name__ == "__main__":
    e2e_test.main(module="__main__")
