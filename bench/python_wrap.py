#!/usr/bin/env python3
"""The obvious alternative to protowrap: the same fourteen rules with bytes.replace.
   python_wrap.py CG_HEADER CW_HEADER   (writes Protocol_CG.WRAP.h and Protocol_CW.WRAP.h here)"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from reference_rules import RULES  # noqa: E402  (the rules, as the tests know them)


def main():
    for source, target in zip(sys.argv[1:3], ("Protocol_CG.WRAP.h", "Protocol_CW.WRAP.h")):
        with open(source, "rb") as f:
            text = f.read().split(b"\0", 1)[0]
        for pattern, replacement in RULES:
            text = text.replace(pattern, replacement)
        with open(target, "wb") as f:
            f.write(text)
        print("Completed")


if __name__ == "__main__":
    main()
