#!/usr/bin/env python3
"""Makes the release archive of a build with cpack (.tar.gz on Linux, .zip for Windows) and checks
what it holds: the program, the manual page, the README, the licence and the CMake package."""
import argparse
import glob
import os
import subprocess
import sys
import tarfile
import zipfile

EXPECTED = ["bin/{program}", "share/man/man1/protowrap.1", "share/doc/protowrap/README.md",
            "share/doc/protowrap/LICENSE", "lib/cmake/protowrap/protowrapConfig.cmake",
            "lib/cmake/protowrap/protowrap-generate.cmake"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--program", required=True)
    args = parser.parse_args()
    out = os.path.join(args.build, "release")
    for old in glob.glob(os.path.join(out, "protowrap-*")):
        if os.path.isfile(old):
            os.remove(old)
    subprocess.run([args.cpack, "--config", os.path.join(args.build, "CPackConfig.cmake"),
                    "-B", out], check=True, stdout=subprocess.DEVNULL)
    archives = glob.glob(os.path.join(out, "protowrap-*.tar.gz")) + \
        glob.glob(os.path.join(out, "protowrap-*.zip"))
    if len(archives) != 1:
        sys.exit("expected one archive, found %s" % archives)
    archive = archives[0]
    if archive.endswith(".zip"):
        with zipfile.ZipFile(archive) as z:
            names = z.namelist()
    else:
        with tarfile.open(archive) as t:
            names = [m.name for m in t.getmembers() if m.isfile()]
    print(os.path.basename(archive))
    for name in sorted(names):
        print("  " + name)
    # Entries sit in one top directory named after the package.
    stripped = {name.split("/", 1)[1] for name in names if "/" in name}
    missing = [e.format(program=args.program) for e in EXPECTED
               if e.format(program=args.program) not in stripped]
    if missing:
        sys.exit("missing from the archive: %s" % missing)


if __name__ == "__main__":
    main()
