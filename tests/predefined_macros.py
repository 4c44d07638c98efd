#!/usr/bin/env python3
"""The macros that the compilers of each target predefine, as the header check models them.

A target is a platform and the compilers that build for it: Linux x86-64 (g++ and clang) and
Windows x86-64 (MinGW-w64's g++, clang for the Microsoft ABI, and the Microsoft compiler, whose
macros come from its documented list). For each target a name is
  - known:   every compiler defines it, with one replacement, in every build mode tried;
  - opaque:  every compiler defines it, with replacements that differ;
  - unknown: some compilers or modes define it and others do not;
  - absent:  no compiler defines it (not in the table).
Names that the standard library's headers define (which a client includes before the header)
are unknown too: those measured here, and those of LIBRARY_PREFIXES.

  predefined_macros.py --write DIR    writes the tables that check/ compiles in
  predefined_macros.py --check DIR    fails unless they are what --write would write

The same functions give the test of the check the compilers of each target."""
import argparse
import glob
import os
import re
import shutil
import subprocess
import sys

STANDARD = "-std=c++20"
# Build modes whose macros a build may have or not: a name that only some of them define, or
# that they define differently, is unknown (or opaque).
MODES = [[], ["-std=gnu++20"], ["-O2"], ["-fno-pic"], ["-fPIC"], ["-pthread"], ["-g"]]

# The Microsoft compiler, from its documentation ("Predefined macros"): what a default x64 C++
# build defines, with the value where the documentation fixes it (None: it depends on the
# version or the options), and what other options define (but _DEBUG: the Debug build's).
MSVC_DEFAULT = {
    "_WIN32": "1", "_WIN64": "1", "_M_X64": "100", "_M_AMD64": "100",
    "_INTEGRAL_MAX_BITS": "64", "__STDC_HOSTED__": "1", "_MSC_VER": None, "_MSC_FULL_VER": None,
    "_MSC_BUILD": None, "_MSC_EXTENSIONS": None, "_MSVC_LANG": None, "__cplusplus": None,
    "_MT": None, "_CPPRTTI": None, "_CPPUNWIND": None, "_NATIVE_WCHAR_T_DEFINED": None,
    "_WCHAR_T_DEFINED": None, "_MSVC_TRADITIONAL": None, "_ISO_VOLATILE": None,
    "_M_FP_PRECISE": None, "__STDCPP_DEFAULT_NEW_ALIGNMENT__": None, "__STDCPP_THREADS__": None,
    "__DATE__": None, "__TIME__": None, "__FILE__": None, "__LINE__": None, "__COUNTER__": None,
    "__TIMESTAMP__": None, "__FUNCTION__": None, "__FUNCDNAME__": None, "__FUNCSIG__": None,
}
MSVC_OPTIONAL = [
    "__ATOM__", "__AVX__", "__AVX2__", "__AVX512BW__", "__AVX512CD__", "__AVX512DQ__",
    "__AVX512F__", "__AVX512VL__", "__AVX10_VER__", "_CHAR_UNSIGNED", "__CLR_VER",
    "_CONTROL_FLOW_GUARD", "__cplusplus_cli", "__cplusplus_winrt", "_DLL",
    "__INTELLISENSE__", "_KERNEL_MODE", "_M_ARM64EC", "_M_CEE", "_M_CEE_PURE", "_M_CEE_SAFE",
    "_M_FP_CONTRACT", "_M_FP_EXCEPT", "_M_FP_FAST", "_M_FP_STRICT", "_MANAGED",
    "__MSVC_RUNTIME_CHECKS", "_OPENMP", "_PREFAST_", "__SANITIZE_ADDRESS__", "_VC_NODEFAULTLIB",
    "_WINRT_DLL", "_ATL_VER", "_MFC_VER", "__STDC__", "__STDC_VERSION__", "__STDC_NO_ATOMICS__",
    "__STDC_NO_COMPLEX__", "__STDC_NO_THREADS__", "__STDC_NO_VLA__",
]

# What the standard library defines, beyond the names that its headers define here (measured,
# in the table): reserved names of the libraries that are not on this machine (Microsoft's STL
# and CRT, libc++).
LIBRARY_PREFIXES = ["_MSVC_STL", "_STL_", "_HAS_", "_CRT", "_VCRT", "_UCRT", "_INC_", "_LIBCPP"]
# The headers a client includes before the protocol header: the client header's and the
# usual C ones.
PRELUDE = ["stdint.h", "stddef.h", "cstddef", "cstdint", "string_view"]


def is_library_name(name, measured):
    """Whether the standard library may define `name` (`measured`: library_names())."""
    return name in measured or any(name.startswith(p) for p in LIBRARY_PREFIXES)


def mingw_libstdcxx():
    """MinGW-w64's libstdc++ headers: (C++ directory, its target directory), or None."""
    for base in sorted(glob.glob("/usr/lib/gcc/x86_64-w64-mingw32/*posix*/include/c++")) + \
            sorted(glob.glob("/usr/lib/gcc/x86_64-w64-mingw32/*/include/c++")):
        target = os.path.join(base, "x86_64-w64-mingw32")
        if os.path.isdir(target):
            return base, target
    return None


def compilers():
    """The compilers of each target that this machine has: {target: [(name, argv), ...]}.
    clang for the Microsoft ABI reads MinGW-w64's C and C++ headers (there is no MSVC here);
    __STRICT_ANSI__ keeps libstdc++ from the GNU-only types that clang rejects there."""
    found = {"Linux": [], "Windows": []}
    for name in ("g++", "clang++"):
        if shutil.which(name):
            found["Linux"].append((name, [name]))
    mingw = shutil.which("x86_64-w64-mingw32-g++-posix") or \
        shutil.which("x86_64-w64-mingw32-g++")
    if mingw:
        found["Windows"].append(("x86_64-w64-mingw32-g++", [mingw]))
    headers = mingw_libstdcxx()
    if shutil.which("clang++") and headers:
        found["Windows"].append((
            "clang++ --target=x86_64-pc-windows-msvc",
            ["clang++", "--target=x86_64-pc-windows-msvc", "-nostdinc++", "-isystem", headers[0],
             "-isystem", headers[1], "-isystem", "/usr/x86_64-w64-mingw32/include",
             "-D__STRICT_ANSI__"]))
    return found


def defines(argv, flags, source=None):
    """{name: replacement} of what the compiler defines, as -dM -E prints it."""
    args = argv + [STANDARD] + flags + ["-dM", "-E"]
    args += [source] if source else ["-x", "c++", os.devnull]
    out = subprocess.run(args, capture_output=True, text=True, check=True).stdout
    result = {}
    for line in out.splitlines():
        m = re.match(r"#define (\w+)(\([^)]*\))? ?(.*)$", line)
        if m:
            result[m.group(1)] = ("(" if m.group(2) else "") + m.group(3)
    return result


def classify(views):
    """{name: ("known", value) | ("opaque",) | ("unknown",)} from several views (dicts of
    name -> replacement, None for a replacement that is not fixed)."""
    names = set().union(*views)
    table = {}
    for name in sorted(names):
        values = [v.get(name, KeyError) for v in views]
        if any(v is KeyError for v in values):
            table[name] = ("unknown",)
        elif any(v is None for v in values) or len(set(values)) > 1:
            table[name] = ("opaque",)
        else:
            table[name] = ("known", values[0])
    return table


def target_tables(found=None):
    """The table of each target, from its compilers in every mode (and MSVC's documentation)."""
    found = found or compilers()
    tables = {}
    for target, members in found.items():
        views = []
        for _, argv in members:
            for mode in MODES:
                try:
                    views.append(defines(argv, mode))
                except subprocess.CalledProcessError:
                    pass  # a mode this compiler does not have (-fPIC for Windows)
        if target == "Windows":
            views.append(dict(MSVC_DEFAULT))
        table = classify(views)
        if target == "Windows":
            for name in MSVC_OPTIONAL:
                table.setdefault(name, ("unknown",))
        tables[target] = table
    return tables


def library_names(found=None):
    """Names that the prelude's standard headers define beyond the predefined ones, by target."""
    found = found or compilers()
    source = os.path.join(os.environ.get("TMPDIR", "/tmp"), "protowrap-prelude-%d.cpp" % os.getpid())
    with open(source, "w") as f:
        f.write("".join("#include <%s>\n" % h for h in PRELUDE))
    try:
        names = {}
        for target, members in found.items():
            names[target] = set()
            for _, argv in members:
                names[target] |= set(defines(argv, [], source)) - set(defines(argv, []))
        return names
    finally:
        os.remove(source)


def quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def packed(items, indent="   "):
    """Lines of at most 100 columns holding `items` (each ending in a comma)."""
    lines, row = [], indent
    for item in items:
        if len(row) + 1 + len(item) > 100:
            lines.append(row)
            row = indent
        row += " " + item
    return lines + [row]


HEADER = ["// Written by tests/predefined_macros.py --write (do not edit): what the compilers of each",
          "// target predefine, and the names that the standard headers define.",
          "// clang-format off"]


def render(tables, library):
    """The C++ texts: the predefined macros of each target (kK known, with the replacement when it
    is an integer literal; kO defined, replacement not known; kU perhaps defined), and the
    library's names."""
    texts = []
    for target in ("Linux", "Windows"):
        lines = HEADER + ["inline constexpr PredefinedMacro k%sMacros[] = {" % target]
        items = []
        for name, entry in sorted(tables[target].items()):
            if entry[0] == "known" and re.fullmatch(r"-?\w+", entry[1]) and entry[1][-1:] != "F":
                items.append("{%s, kK, %s}," % (quote(name), quote(entry[1])))
            else:
                kind = "kU" if entry[0] == "unknown" else "kO"
                items.append("{%s, %s, {}}," % (quote(name), kind))
        texts.append("\n".join(lines + packed(items) + ["};", "// clang-format on"]) + "\n")
    lines = HEADER + ["inline constexpr std::string_view kLibraryNames[] = {"]
    lines += packed(quote(n) + "," for n in sorted(set().union(*library.values())))
    lines += ["};", "inline constexpr std::string_view kLibraryPrefixes[] = {"]
    lines += packed(quote(p) + "," for p in LIBRARY_PREFIXES)
    texts.append("\n".join(lines + ["};", "// clang-format on"]) + "\n")
    return texts


FILES = ("linux_macros.inc", "windows_macros.inc", "library_macros.inc")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--write", metavar="DIR", help="writes %s there" % " and ".join(FILES))
    parser.add_argument("--check", metavar="DIR", help="fails unless they are what --write writes")
    args = parser.parse_args()
    found = compilers()
    if [t for t, members in found.items() if len(members) < 2]:
        sys.exit("predefined_macros.py: needs g++, clang++ and MinGW-w64's g++ "
                 "(bash scripts/install-deps.sh native)")
    texts = render(target_tables(found), library_names(found))
    for name, text in zip(FILES, texts):
        if args.write:
            with open(os.path.join(args.write, name), "w") as f:
                f.write(text)
        if args.check:
            with open(os.path.join(args.check, name)) as f:
                if f.read() != text:
                    sys.exit("%s differs from what the compilers define: run "
                             "tests/predefined_macros.py --write %s" % (name, args.check))
    if args.check:
        print("the tables match what the compilers and their standard headers define")


if __name__ == "__main__":
    main()
