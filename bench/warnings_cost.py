#!/usr/bin/env python3
"""What warnings cost a run: protowrap on a header that fits and on one of the same size with a
stray enumerator (PW008) in every enumeration, with standard error on /dev/null, a file and a pipe.
Runs the two alternately and prints the medians and the ratio (the target: at most 2x).
   warnings_cost.py --build DIR [--runs N] [--sizes 1M,16M]
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time


def parse_size(text):
    units = {"K": 1 << 10, "M": 1 << 20}
    return int(text[:-1]) * units[text[-1]] if text[-1] in units else int(text)


def run(program, cwd, sink):
    """Wall seconds of one run with standard error on `sink`: "null", "file" or "pipe"."""
    start = time.perf_counter()
    if sink == "pipe":
        done = subprocess.run([program], cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    else:
        target = os.devnull if sink == "null" else os.path.join(cwd, "stderr.txt")
        with open(target, "wb") as err:
            done = subprocess.run([program], cwd=cwd, stdout=subprocess.DEVNULL, stderr=err)
    if done.returncode != 0:
        sys.exit("protowrap failed")
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="1M,16M")
    args = parser.parse_args()
    program = os.path.abspath(os.path.join(args.build, "protowrap"))
    generate = os.path.abspath(os.path.join(args.build, "bench", "generate_header"))
    print("| header | stderr | fits | a warning in every enumeration | warnings | ratio |")
    print("|---|---|---|---|---|---|")
    for size_text in args.sizes.split(","):
        size = parse_size(size_text)
        clean = subprocess.run([generate, "CG", str(size), "crlf"], check=True,
                               capture_output=True).stdout
        # The same header with its last enumerator's prefix taken away in every enumeration, so
        # the size stays the same.
        stray = re.sub(rb"CG_(\w+),(\r\n)\}", rb"XX\1,\2}", clean)
        counts = {}
        with tempfile.TemporaryDirectory(prefix="protowrap-warnings-") as work:
            for name, text in (("clean", clean), ("stray", stray)):
                os.mkdir(os.path.join(work, name))
                with open(os.path.join(work, name, "cg.h"), "wb") as f:
                    f.write(text)
                with open(os.path.join(work, name, "Talvenor.ini"), "wb") as f:
                    f.write(b"[CONFIG]\r\nCG_FILE_PATH=cg.h\r\nCW_FILE_PATH=cg.h\r\n")
            all_warnings = subprocess.run([program, "--warning-limit=0"],
                                          cwd=os.path.join(work, "stray"),
                                          capture_output=True).stderr.count(b"PW008")
            for sink in ("null", "file", "pipe"):
                times = {"clean": [], "stray": []}
                for _ in range(args.runs):
                    for name in times:
                        times[name].append(run(program, os.path.join(work, name), sink))
                fits = statistics.median(times["clean"])
                strays = statistics.median(times["stray"])
                print("| 2 x %s | %s | %.1f ms | %.1f ms | %d | %.2fx |"
                      % (size_text, sink, fits * 1e3, strays * 1e3, all_warnings, strays / fits))


if __name__ == "__main__":
    main()
