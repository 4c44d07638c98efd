"""The reference that the tests (and the benchmarks) check protowrap against: the fourteen rules
typed out independently of the program's table, applied with Python's bytes.replace, one after
the other."""

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


def wrap(data):
    """What protowrap must write for an input: the text up to its first NUL, rewritten."""
    text = data.split(b"\0", 1)[0]
    for pattern, replacement in RULES:
        text = text.replace(pattern, replacement)
    return text
