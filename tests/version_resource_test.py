#!/usr/bin/env python3
"""Checks that protowrap.exe carries its version resource: product name, file description and
the project's version, as Windows shows them in the file's properties."""
import sys


def main():
    program, version = sys.argv[1], sys.argv[2]
    with open(program, "rb") as f:
        data = f.read()
    wanted = {"ProductName": "protowrap", "ProductVersion": version, "FileVersion": version,
              "FileDescription": "protowrap: "}
    missing = []
    for key, value in wanted.items():
        # A string of a VERSIONINFO block: the key, then its value, both UTF-16, NUL-padded.
        at = data.find(key.encode("utf-16-le"))
        window = data[at:at + 200] if at >= 0 else b""
        if value.encode("utf-16-le") not in window:
            missing.append("%s=%s" % (key, value))
    if missing:
        sys.exit("not in the version resource: %s" % ", ".join(missing))
    print("version resource holds %s" % ", ".join(wanted))


if __name__ == "__main__":
    main()
