#!/usr/bin/env python3
"""Makes the release packages of a build with cpack and checks what they hold: the .tar.gz (Linux)
or .zip (Windows) archive, with the program, the client header, the manual page, the README, the
licence and the CMake package; on Linux also the Debian package, unpacked with dpkg-deb into
a scratch root: its files under /usr, its architecture, no dependencies, no error from lintian,
and (when it is the build machine's own) the unpacked program converting the example and a client
compiled against the unpacked header printing the expected tables."""
import argparse
import glob
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile
import zipfile

ARCHIVE = ["bin/{program}", "include/protowrap/protocol_table.h",
           "share/man/man1/protowrap.{man}", "share/doc/protowrap/README.md",
           "share/doc/protowrap/LICENSE", "lib/cmake/protowrap/protowrapConfig.cmake",
           "lib/cmake/protowrap/protowrap-generate.cmake"]
DEB = ["usr/bin/protowrap", "usr/include/protowrap/protocol_table.h",
       "usr/share/man/man1/protowrap.1.gz",
       "usr/share/doc/protowrap/copyright", "usr/share/doc/protowrap/changelog.gz",
       "usr/lib/cmake/protowrap/protowrapConfig.cmake",
       "usr/lib/cmake/protowrap/protowrap-generate.cmake"]


def check_archive(archive, program, windows):
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
    wanted = [e.format(program=program, man="1" if windows else "1.gz") for e in ARCHIVE]
    missing = [e for e in wanted if e not in stripped]
    if missing:
        sys.exit("missing from the archive: %s" % missing)


def check_deb(deb, arch, examples, client, cxx):
    print(os.path.basename(deb))
    fields = subprocess.run(["dpkg-deb", "-f", deb, "Architecture", "Depends"], check=True,
                            capture_output=True, text=True).stdout
    if "Architecture: %s\n" % arch not in fields or "Depends" in fields:
        sys.exit("wrong control fields (want %s, no dependencies):\n%s" % (arch, fields))
    lint = subprocess.run(["lintian", "--no-tag-display-limit", deb], capture_output=True,
                          text=True)
    errors = [line for line in lint.stdout.splitlines() if line.startswith("E:")]
    if errors or lint.returncode not in (0, 1):
        sys.exit("lintian:\n%s%s" % (lint.stdout, lint.stderr))
    root = tempfile.mkdtemp(prefix="protowrap-deb-")
    try:
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
        missing = [e for e in DEB if not os.path.isfile(os.path.join(root, e))]
        if missing:
            sys.exit("missing from the Debian package: %s" % missing)
        if examples:
            work = os.path.join(root, "work")
            shutil.copytree(examples, work)
            done = subprocess.run([os.path.join(root, "usr/bin/protowrap")], cwd=work,
                                  capture_output=True, check=True)
            if done.stdout != b"Completed\nCompleted\n":
                sys.exit("the unpacked program did not convert the example: %r" % done.stdout)
            # A client of the wrap headers through the package's client header, as installed.
            program = os.path.join(work, "client")
            subprocess.run([cxx, "-std=c++17", "-I", os.path.join(root, "usr/include"), "-I", work,
                            os.path.join(client, "client_header.cpp"),
                            os.path.join(client, "lookup.cpp"), "-o", program], check=True)
            with open(os.path.join(client, "expected_header.txt"), "rb") as f:
                expected = f.read()
            printed = subprocess.run([program], capture_output=True, check=True).stdout
            if printed != expected:
                sys.exit("the client of the unpacked header printed:\n%s" % printed.decode())
    finally:
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--deb-arch", default="", help="the Debian architecture expected")
    parser.add_argument("--run-examples", default="",
                        help="the example directory, to run the unpacked program on")
    parser.add_argument("--client", default="", help="the client's sources, with --run-examples")
    parser.add_argument("--cxx", default="c++", help="the compiler of the client")
    args = parser.parse_args()
    out = os.path.join(args.build, "release")
    for old in glob.glob(os.path.join(out, "protowrap*")):
        if os.path.isfile(old):
            os.remove(old)
    subprocess.run([args.cpack, "--config", os.path.join(args.build, "CPackConfig.cmake"),
                    "-B", out], check=True, stdout=subprocess.DEVNULL)
    archives = glob.glob(os.path.join(out, "protowrap-*.tar.gz")) + \
        glob.glob(os.path.join(out, "protowrap-*.zip"))
    if len(archives) != 1:
        sys.exit("expected one archive, found %s" % archives)
    check_archive(archives[0], args.program, archives[0].endswith(".zip"))
    debs = glob.glob(os.path.join(out, "protowrap_*.deb"))
    if args.deb_arch:
        expected = os.path.join(out, "protowrap_1.0.0_%s.deb" % args.deb_arch)
        if debs != [expected]:
            sys.exit("expected %s, found %s" % (expected, debs))
        check_deb(debs[0], args.deb_arch, args.run_examples, args.client, args.cxx)
    elif debs:
        sys.exit("unexpected Debian packages: %s" % debs)


if __name__ == "__main__":
    main()
