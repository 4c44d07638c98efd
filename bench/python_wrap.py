#!/usr/bin/env python3
"""The obvious alternative to protowrap: the same fourteen rules with bytes.replace.
   python_wrap.py CG_HEADER CW_HEADER   (writes Protocol_CG.WRAP.h and Protocol_CW.WRAP.h here)"""
import sys

RULES = [
    (b"CG_", b"MAKE_PROTOCOL_INFO(CG_"),
    (b"CW_", b"MAKE_PROTOCOL_INFO(CW_"),
    (b"enum eMAKE_PROTOCOL_INFO(", b"enum e"),
    (b",", b"), "),
    (b"=", b","),
    (b"enum e", b"PROTOCOL_STRUCT s"),
    (b"_PROTOCOL", b"_PROTOCOL[] = "),
    (b"};", b"MAKE_PROTOCOL_INFO_EOR() };"),
    (b"#", b"//#"),
    (b"//#include", b"#include"),
    (b"PROTOCOL_STRUCT sCG_CATEGORY", b"PROTOCOL_STRUCT sCG_CATEGORY[] ="),
    (b"PROTOCOL_STRUCT sCW_CATEGORY", b"PROTOCOL_STRUCT sCW_CATEGORY[] ="),
    (b"[] =_PACK", b"_PACK[] ="),
    (b"MAKE_PROTOCOL[] = _INFO(", b"MAKE_PROTOCOL_INFO("),
]


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
