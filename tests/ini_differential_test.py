#!/usr/bin/env python3
"""Asks Windows' GetPrivateProfileStringA (the probe built for Windows, under Wine) and the POSIX
lookup (the same probe built for Linux) for the same keys of every INI file of the corpus, and
fails on any difference."""
import argparse
import os
import subprocess
import sys


def probe(command, corpus, names):
    done = subprocess.run(command + ["./" + name for name in names], cwd=corpus,
                          capture_output=True, check=True, timeout=600)
    return done.stdout.replace(b"\r\n", b"\n").decode("latin-1").splitlines()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--native-probe", required=True)
    parser.add_argument("--windows-probe", required=True)
    parser.add_argument("--emulator", default="")
    parser.add_argument("--corpus", required=True)
    args = parser.parse_args()
    names = sorted(n for n in os.listdir(args.corpus) if n.endswith(".ini"))
    emulator = args.emulator.split(";") if args.emulator else []
    posix = probe([os.path.abspath(args.native_probe)], args.corpus, names)
    windows = probe(emulator + [os.path.abspath(args.windows_probe)], args.corpus, names)
    if len(posix) != 2 * len(names) or len(windows) != len(posix):
        print("probes answered %d and %d lines for %d files" % (len(posix), len(windows), len(names)))
        return 1
    differences = [(p, w) for p, w in zip(posix, windows) if p != w]
    for p, w in differences:
        print("POSIX:   " + p)
        print("Windows: " + w)
    print("%d files, %d keys, %d differences" % (len(names), len(posix), len(differences)))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
