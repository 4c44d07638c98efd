#!/usr/bin/env python3
"""protowrap against the obvious Python script (python_wrap.py) and two floors, side by side.

For each size it generates a CG and a CW header, checks that protowrap and the script write
identical bytes, then runs all four programs alternately (A B C D A B C D ...) and prints the
medians of wall time and peak memory and protowrap's ratio to each. The floors: startup_floor, a
program that does nothing (linked as protowrap is), and io_floor, which reads both inputs whole
with read(2) and writes two outputs of the final sizes with write(2), with no conversion and no
copy of the text: the least any program doing the job must do.
   side_by_side.py --build DIR [--runs N] [--sizes 200K,1M,8M,64M]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests"))
from reference_rules import wrap  # noqa: E402  (to know the outputs' sizes)


def parse_size(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    return int(text[:-1]) * units[text[-1]] if text[-1] in units else int(text)


def measure(command, cwd):
    """Runs a command twice; returns (wall seconds, peak resident KiB). The wall time is taken
    around a plain start of the command; the peak comes from a second run under GNU time, which
    reports the command's own peak (a child forked from this large script would inherit the
    script's high-water mark) but adds its own start-up to the wall time."""
    os.sync()  # earlier runs' outputs go to disk now, not during this run
    start = time.perf_counter()
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    timed = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, cwd=cwd,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if done.returncode != 0 or timed.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), timed.stderr.decode()))
    return wall, int(timed.stderr.split()[-1])


def output_size(path):
    with open(path, "rb") as f:
        return len(wrap(f.read()))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="native build directory")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="200K,1M,8M,64M")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    protowrap = os.path.join(build, "protowrap")
    generate = os.path.join(build, "bench", "generate_header")
    startup = os.path.join(build, "bench", "startup_floor")
    io_floor = os.path.join(build, "bench", "io_floor")
    script = os.path.join(HERE, "python_wrap.py")

    print("%-6s %-10s %12s %12s %12s %16s %10s" %
          ("size", "program", "wall ms", "ms per MiB", "peak MiB", "protowrap / it", "x peak"))
    for size_text in args.sizes.split(","):
        size = parse_size(size_text)
        work = tempfile.mkdtemp(prefix="protowrap-bench-")
        try:
            for family, eol in (("CG", "lf"), ("CW", "crlf")):
                with open(os.path.join(work, "Protocol_%s.h" % family), "wb") as out:
                    subprocess.run([generate, family, str(size), eol], stdout=out, check=True)
            with open(os.path.join(work, "Talvenor.ini"), "w") as ini:
                ini.write("[CONFIG]\nCG_FILE_PATH=Protocol_CG.h\nCW_FILE_PATH=Protocol_CW.h\n")
            inputs = [os.path.join(work, "Protocol_%s.h" % f) for f in ("CG", "CW")]
            total_mib = sum(os.path.getsize(p) for p in inputs) / (1 << 20)
            sizes = [str(output_size(p)) for p in inputs]
            commands = {
                "protowrap": [protowrap],
                "python": [sys.executable, script] + inputs,
                "startup": [startup],
                "io": [io_floor, inputs[0], "floor_0.h", sizes[0], inputs[1], "floor_1.h",
                       sizes[1]],
            }
            # Same bytes from both, or the comparison means nothing.
            outputs = {}
            for name in ("protowrap", "python"):
                measure(commands[name], work)
                outputs[name] = [open(os.path.join(work, "Protocol_%s.WRAP.h" % f), "rb").read()
                                 for f in ("CG", "CW")]
            if outputs["protowrap"] != outputs["python"]:
                sys.exit("protowrap and the Python script disagree at %s" % size_text)

            results = {name: [] for name in commands}
            for _ in range(args.runs):  # alternate, so drifts of the machine hit all alike
                for name, command in commands.items():
                    results[name].append(measure(command, work))
            medians = {name: (statistics.median(w for w, _ in runs),
                              statistics.median(m for _, m in runs) / 1024)
                       for name, runs in results.items()}
            base_wall, base_peak = medians["protowrap"]
            for name in ("protowrap", "python", "startup", "io"):
                wall, peak = medians[name]
                print("%-6s %-10s %12.2f %12.2f %12.1f %16.2f %10.2f" %
                      (size_text, name, wall * 1000, wall * 1000 / total_mib, peak,
                       base_wall / wall, peak / base_peak))
        finally:
            shutil.rmtree(work, ignore_errors=True)
    print("protowrap / it: protowrap's median wall time over the program's (below 1: protowrap is "
          "faster); x peak: the program's peak over protowrap's")


if __name__ == "__main__":
    main()
