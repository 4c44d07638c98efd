"""Random protocol headers drawn from a grammar of what real headers hold, for the compiler-judged
test of the header check.

Swarm testing: every header turns on a random subset of the features below, so that rare
combinations come up without every header being crowded by all of them. Within a feature, forms
are drawn at random: declarations of every kind at namespace scope, typed and scoped
enumerations, attributes, conditional blocks with expressions, include guards of every form, line
splices, comments in the gaps between tokens, pragmas, macros in values, NUL bytes and every
line-end style, and the ways of straying from the rules.

The names that the rules rewrite (CG_, CW_, _PROTOCOL, '#', ',', '=') are drawn into every form
of declaration, template and parameter list, namespace and class name, comment and directive,
where real headers break most; the header's own switches are drawn with and without a leading
underscore; includes exist next to the header (empty, defining a switch, including another) or
only where the compilers find them (tests/headers/include/, which protowrap does not read).

random_header(rng) returns the header's bytes, the set of reasons why the check may miss a
failure in it (it cannot read what decides: a macro of the include that protowrap does not find),
and the files next to it ({name: bytes}). A false warning is never allowed."""

import random

FEATURES = [
    "guard", "pragma_once", "includes", "declarations", "definitions", "conditionals",
    "conditional_enums", "defines", "splices", "comments", "macro_values", "nul", "line_ends",
    "typed_enums", "attributes", "namespaces", "client_macros", "strays", "errors", "pragmas",
    "bom", "one_line", "category", "external", "directive_comments", "rule_names",
    "comment_hashes", "switches", "beside", "team_macros",
]

# Macros whose state every build configuration knows: the compiler's platform and build macros.
PLATFORM_MACROS = ["_WIN32", "_WIN64", "__linux__", "__unix__"]
BUILD_MACROS = ["_DEBUG", "DEBUG", "NDEBUG"]
# Defined by tests/headers/include/protocol_common.h, which only the compilers find (-I).
EXTERNAL_MACROS = ["PROTOCOL_CATEGORY_SHIFT", "PROTOCOL_COMMON_LEVEL"]
EXTERNAL_INCLUDE = '#include "protocol_common.h"'
# The compilers' own: they differ from compiler to compiler.
COMPILER_MACROS = ["__GNUC__", "__clang__", "_MSC_VER", "__MINGW32__", "_MSVC_LANG"]
# A project's own switches, which some builds set with -D.
SWITCHES = ["_DEV_SERVER", "_SERVER_BUILD", "_CHINA", "SERVER_BUILD", "CLIENT_BUILD",
            "USE_OLD_LOGIN", "__TEST_BUILD"]


class Header:
    def __init__(self, rng, later=False):
        self.rng = rng
        # Draws of the features added later, apart from rng (None: none of them).
        self.later = random.Random(hash(rng.getstate()[1])) if later else None
        self.on = {f for f in FEATURES if rng.random() < 0.45}
        self.counter = 0
        self.lines = []
        self.unmodeled = set()
        self.included = False  # the include only the compilers find: its macros are unknown
        self.beside = {}       # files next to the header
        self.enum_names = []   # the enumerations declared so far
        self.enum_end = False  # the header defines ENUM_END as "};"
        self.defined = {}      # macros the header defines unconditionally: name -> value text
        self.values = []       # header macros usable in values
        self.categories = set()

    # -- small helpers -------------------------------------------------------------------------

    def fresh(self, prefix):
        self.counter += 1
        return "%s%d" % (prefix, self.counter)

    def chance(self, p):
        return self.rng.random() < p

    def pick(self, options):
        return self.rng.choice(options)

    def comment(self):
        """A comment of the kind people leave after code: with the rules' characters in it."""
        if "comments" not in self.on or not self.chance(0.4):
            return ""
        return self.pick([" // a, b = c", " /* x, y */", " // CG_OLD = 1, #2", "\t// };",
                          " // note", " /* = */"])

    def gap(self):
        """What may stand between two tokens: a blank, or a comment."""
        if "comments" in self.on and self.chance(0.15):
            return self.pick([" /* c */ ", " /**/ ", "/* , */"])
        return " "

    def emit(self, *lines):
        self.lines.extend(lines)

    # -- preprocessor expressions --------------------------------------------------------------

    def macro_for_condition(self):
        choices = PLATFORM_MACROS + BUILD_MACROS + ["PROTO_FEATURE_X", "PROTO_FEATURE_Y"]
        choices += list(self.defined)
        if "external" in self.on:
            choices += EXTERNAL_MACROS + COMPILER_MACROS
        if "switches" in self.on:
            choices += SWITCHES * 2
        name = self.pick(choices)
        # An include that protowrap does not find may define any name but the targets' own and
        # _DEBUG (reserved, and the Debug build's).
        if name not in self.defined and name not in PLATFORM_MACROS + ["_DEBUG"] + \
                COMPILER_MACROS and self.included:
            self.unmodeled.add("a condition on a name that the include protowrap does not find "
                               "may define (%s)" % name)
        return name

    def switch_test(self):
        """A condition on a switch, as real headers write them."""
        name = self.pick(SWITCHES)
        if self.included:
            self.unmodeled.add("a switch after the include protowrap does not find (%s)" % name)
        return self.pick(["defined(%s)", "defined %s", "!defined(%s)", "%s >= 2", "%s == 1",
                          "defined(%s) && %s >= 2", "!%s", "(%s)"]).replace("%s", name)

    def atom(self):
        kind = self.rng.randrange(10)
        if kind == 9 and "switches" in self.on:
            return self.switch_test()
        if kind == 0:
            return "defined(%s)" % self.macro_for_condition()
        if kind == 1:
            return "defined %s" % self.macro_for_condition()
        if kind == 2 and self.defined:
            name = self.pick(list(self.defined))
            return "%s %s %s" % (name, self.pick([">=", "<", "==", "!=", ">"]),
                                 self.pick(["1", "2", "3", "0x10"]))
        if kind == 3:
            return self.pick(["0", "1", "(1 + 1 == 2)", "(3 * 4 > 11)", "(1 << 4) == 16",
                              "(7 / 2 == 3)", "(-1 < 0)", "(0xFF & 0x0F) == 15"])
        if kind == 4:
            test = self.pick(["defined(__cplusplus)", "__cplusplus >= 201103L",
                              "__cplusplus", "__cplusplus < 201103L"])
            if "<" in test or ">" in test:
                # The Microsoft compiler gives 199711L, which neither judge for Windows does: the
                # check takes the value for unknown there, and the judges cannot show why.
                self.unmodeled.add("a test of __cplusplus's value, which the Microsoft compiler "
                                   "gives as 199711L")
            return test
        if kind == 5:
            return "!" + self.gap().strip() + "defined(%s)" % self.macro_for_condition()
        return "defined(%s)" % self.macro_for_condition()

    def condition(self, depth=0):
        if depth > 2 or self.chance(0.45):
            return self.atom()
        kind = self.rng.randrange(5)
        if kind == 0:
            return "%s && %s" % (self.condition(depth + 1), self.condition(depth + 1))
        if kind == 1:
            return "%s || %s" % (self.condition(depth + 1), self.condition(depth + 1))
        if kind == 2:
            return "!(%s)" % self.condition(depth + 1)
        if kind == 3:
            return "(%s) ? %s : %s" % (self.condition(depth + 1), self.condition(depth + 1),
                                       self.condition(depth + 1))
        return "(%s)" % self.condition(depth + 1)

    def splice(self, text):
        """Breaks a directive or a comment over lines with backslashes, where the compilers see
        them as one line."""
        if "splices" not in self.on or not self.chance(0.4):
            return [text]
        spaces = [i for i, c in enumerate(text) if c == " "]
        if not spaces:
            return [text]
        at = self.pick(spaces)
        tail = " " if self.chance(0.2) else ""  # a blank after the backslash: still a splice
        return [text[:at] + " \\" + tail, "   " + text[at + 1:]]

    def opening(self):
        """The directive that opens a conditional block."""
        kind = self.rng.randrange(4)
        if kind == 0:
            return "#ifdef " + self.macro_for_condition()
        if kind == 1:
            return "#ifndef " + self.macro_for_condition()
        return "#if " + self.condition()

    def directive_comment(self):
        if "directive_comments" in self.on and self.chance(0.3):
            return self.pick([" // why, and = how", " /* closed */", " /* opens\n   and closes */"])
        return ""

    def conditional(self, branches):
        """Lines of a conditional block whose branches hold the given lists of lines."""
        lines = self.splice(self.opening() + self.directive_comment())
        for i, body in enumerate(branches):
            if i > 0:
                if i == len(branches) - 1 and self.chance(0.6):
                    lines.append("#else" + self.directive_comment())
                else:
                    lines.extend(self.splice("#elif " + self.condition()))
            lines.extend(body)
        lines.append(self.pick(["#endif", "#endif // block", "#endif /* block */"]))
        return lines

    # -- parts of a header ---------------------------------------------------------------------

    def guard(self):
        name = self.pick(["PROTOCOL_%d_H" % self.counter, "_PROTOCOL_%d_H_" % self.counter,
                          "__PROTOCOL_%d_H__" % self.counter])
        head = self.pick(["#ifndef %s", "#if !defined(%s)", "#if !defined %s",
                          "#if !defined( %s )"]) % name
        between = []
        for _ in range(self.rng.randrange(3)):
            between.append(self.pick(["", "// the guard", "/* guard */", "#pragma once"]))
        return [head] + between + ["#define " + name], \
            [self.pick(["#endif", "#endif // " + name, "#endif /* %s */" % name])] + \
            self.pick([[], [""], ["// end of file"], ["/* end */", ""]])

    def includes(self):
        lines = []
        for _ in range(self.rng.randrange(1, 3)):
            form = self.pick([EXTERNAL_INCLUDE, "#include <stdint.h>", "#include <cstddef>",
                              EXTERNAL_INCLUDE + " // shared", "#  include <stdint.h>",
                              EXTERNAL_INCLUDE + " /* a, b */"])
            if form.startswith(EXTERNAL_INCLUDE) and "external" not in self.on:
                form = "#include <cstdint>"
            lines.append(form)
            self.included = self.included or form.startswith(EXTERNAL_INCLUDE)
        if "beside" in self.on:
            lines += self.beside_include()
        if "directive_comments" in self.on and self.chance(0.3):
            lines.append("#include <stdint.h> /* a comment that opens here")
            lines.append("   and closes on a later line */")
        return lines

    def beside_include(self):
        """An include that exists next to the header, which protowrap reads as the compilers do."""
        name = "beside%s.h" % self.fresh("")
        kind = self.rng.randrange(5)
        if kind == 0:
            text = "#pragma once\n"
        elif kind == 1:
            switch = self.pick(SWITCHES)
            text = "#pragma once\n#define %s %s\n" % (switch, self.pick(["1", "2", ""]))
            self.defined[switch] = "?"
        elif kind == 2:
            switch = self.pick(SWITCHES)
            text = "#pragma once\n#ifdef _WIN32\n#define %s 1\n#endif\n" % switch
            self.defined[switch] = "?"
        elif kind == 3:
            inner = "beside%s.h" % self.fresh("")
            switch = self.pick(SWITCHES)
            self.beside[inner] = b"#define %s 3\n" % switch.encode()
            self.defined[switch] = "?"
            text = '#ifndef BESIDE_H\n#define BESIDE_H\n#include "%s"\n#endif\n' % inner
        else:
            text = "#define PROTO_BESIDE_BASE 0x300\n"
            self.defined["PROTO_BESIDE_BASE"] = "0x300"
            self.values.append("PROTO_BESIDE_BASE")
        self.beside[name] = text.encode()
        return ['#include "%s"' % name]

    def defines(self):
        lines = []
        version = self.rng.randrange(1, 4)
        lines += self.splice("#define PROTO_VERSION %d" % version)
        self.defined["PROTO_VERSION"] = str(version)
        base = self.pick(["0x100", "256", "0x7FFFFF00", "(1 << 8)", "0x4000"])
        lines += self.splice("#define PROTO_BASE %s" % base)
        self.defined["PROTO_BASE"] = base
        self.values.append("PROTO_BASE")
        if self.chance(0.5):
            lines.append("#define PROTO_NEXT (PROTO_BASE + 1)")
            self.defined["PROTO_NEXT"] = "(PROTO_BASE + 1)"
            self.values.append("PROTO_NEXT")
        if self.chance(0.5):
            # A macro whose value depends on the build.
            lines += ["#ifdef _DEBUG", "#define PROTO_DEBUG 1", "#else", "#define PROTO_DEBUG 0",
                      "#endif"]
            self.defined["PROTO_DEBUG"] = "?"
        if self.chance(0.4):
            lines += ["#if defined(_WIN64)", "#define PROTO_WIDE 0x80000000", "#else",
                      "#define PROTO_WIDE 0x7FFF", "#endif"]
            self.defined["PROTO_WIDE"] = "?"
            self.values.append("PROTO_WIDE")
        if self.chance(0.3):
            lines += ["#define PROTO_GONE 1", "#undef PROTO_GONE"]
        if self.chance(0.3):
            lines.append("#define PROTO_API")
            self.defined["PROTO_API"] = ""
        return lines

    def declaration(self):
        """A declaration that may be repeated: the wrap header repeats it harmlessly."""
        n = self.fresh("")
        forms = ["struct S%s;", "class C%s;", "union U%s;", "void F%s(int);", "int G%s() noexcept;",
                 "auto H%s() -> int;", "[[nodiscard]] int K%s();", "extern \"C\" void E%s(void);",
                 "template <typename T> void T%s(T);", "extern int gX%s;",
                 "extern const char* gY%s;", "typedef unsigned short Code%s;",
                 "typedef struct S%s S%s;", "static_assert(sizeof(int) >= 4);",
                 "using namespace std;", "_Pragma(\"once\")", "enum class Opaque%s : int;",
                 "int Overload%s(char); int Overload%s(long);", "[[deprecated]] void Old%s();",
                 "inline namespace v%s {}", "namespace ns%s {}", "struct D%s; struct D%s;",
                 "constexpr int Twice%s(int);", "extern int gArr%s[];"]
        if "PROTO_API" in self.defined:
            forms.append("class PROTO_API Exported%s;")
        if self.included:
            forms.append("void Dispatch%s(ProtocolCode code);")
            forms.append("using std::size_t;")
        form = self.pick(forms)
        if form == "using std::size_t;":
            return ["#include <cstddef>", form]
        return [form.replace("%s", n)]

    def definition(self):
        """A declaration that defines something, or holds a ',' or '=': the wrap header breaks."""
        n = self.fresh("")
        form = self.pick(["struct Def%s { int a; };", "const int kMax%s = 5;", "int gCount%s;",
                          "inline int Code%s() { return 1; }", "enum Direction%s { kIn%s, kOut%s };",
                          "void Pair%s(int a, int b);", "using Alias%s = int;",
                          "static_assert(sizeof(int) == 4);", "namespace alias%s = std;",
                          "typedef int A%s, B%s;", "void Default%s(int a = 1);",
                          "struct Inline%s { void f() {} };", "union Un%s { int a; char b; };",
                          "extern int gInit%s = 1;", "constexpr int kC%s{5};"])
        return [form.replace("%s", n)]

    def value(self, family, earlier):
        """An enumerator's value, as text after '=' (empty for none)."""
        kind = self.rng.randrange(14)
        if kind < 5:
            return ""
        if kind == 5:
            return " = %d" % self.rng.randrange(1000)
        if kind == 6:
            return " = 0x%X" % self.rng.randrange(0x10000)
        if kind == 7:
            return self.pick([" = (1 << %d)" % self.rng.randrange(12), " = 'x'", " =3",
                              " = (9 << 8) | 1", " = 1'000", " = 0b101", " = 07",
                              " = (1 == 1)", " = -1", " = 10u"])
        if kind == 8 and "macro_values" in self.on and self.values:
            name = self.pick(self.values)
            return self.pick([" = %s", " = %s + 1", " = (%s) + 2", " = %s << 1"]) % name
        if kind == 9 and "splices" in self.on:
            return " = \\\n\t\t%d" % self.rng.randrange(100)
        if kind == 10 and "external" in self.on and self.included:
            self.unmodeled.add("a value from an included file's macro")
            return self.pick([" = PROTOCOL_CATEGORY_SHIFT", " = (2 << PROTOCOL_CATEGORY_SHIFT)"])
        if kind == 11 and "strays" in self.on:
            return self.pick([" = 0x80000000", " = 1LL << 40", " = 0x7FFFFFFF", " = 2147483648",
                              " = -2147483647 - 1", " = 1u << 31", " = ~0u", " = 0xffffffff"])
        if kind == 12 and "strays" in self.on:
            if earlier:
                return " = %s + 1" % self.pick(earlier)
            return " = MAKE_CODE(%d, %d)" % (self.rng.randrange(9), self.rng.randrange(9)) \
                if self.included else ""
        return ""

    def entry(self, family, earlier, name=None):
        """One enumerator's line, and its name."""
        if name is None:
            name = self.fresh(family + "_N")
            if "strays" in self.on and self.chance(0.04):
                name = self.fresh("X_N")  # no prefix
                if self.included:
                    self.unmodeled.add("a name without prefix, which the include protowrap does "
                                       "not find may define as a macro that opens the entry")
            elif "strays" in self.on and self.chance(0.04):
                name = self.fresh(family + "_PROTOCOL_N")
        value = self.value(family, earlier)
        if value and "comments" in self.on and self.chance(0.3):
            value = value.replace(" = ", self.gap() + "=" + self.gap(), 1)
        attribute = " [[deprecated]]" if "attributes" in self.on and self.chance(0.1) else ""
        comma = "" if "strays" in self.on and self.chance(0.04) else ","
        return name, "\t%s%s%s%s%s" % (name, attribute, value, comma, self.comment())

    def enumeration(self, family, name=None, names=None):
        """An enumeration of protocol codes: its lines, its name and its enumerators' names."""
        if name is None:
            if "category" in self.on and family not in self.categories and self.chance(0.4):
                self.categories.add(family)
                name = "e%s_CATEGORY" % family + ("_PACK" if self.chance(0.3) else "")
            else:
                name = "e%s_T%s_PROTOCOL" % (family, self.fresh(""))
        head = "enum " + name
        if "strays" in self.on and self.chance(0.1):
            head = self.pick(["enum %s : unsigned short" % name, "enum class %s" % name,
                              "enum %s" % name.replace("_PROTOCOL", "_R"),
                              "enum %s_EX" % name, "enum %s" % name[1:],
                              "enum\t%s" % name, "enum  %s" % name, "enum\n%s" % name,
                              "typedef enum %s" % name, "enum /* c */ %s" % name])
        elif "typed_enums" in self.on and self.chance(0.3):
            head = self.pick(["enum %s : int" % name, "enum class %s : short" % name,
                              "enum struct %s" % name])
        elif "attributes" in self.on and self.chance(0.2):
            head = self.pick(["enum [[deprecated]] %s" % name, "enum %s [[deprecated]]" % name])
        earlier = []
        body = []
        count = self.rng.randrange(6) if names is None else len(names)
        for i in range(count):
            entry_name, line = self.entry(family, earlier, None if names is None else names[i])
            earlier.append(entry_name)
            body.append(line)
        if "conditionals" in self.on and body and self.chance(0.5):
            body = self.conditional_entries(family, body, earlier)
        close = self.pick(["};"] * 6 + ["} ;", "}\n;"])
        if self.enum_end and self.chance(0.5):
            close = "ENUM_END"
        if head.startswith("typedef"):
            close = "} Alias%s;" % self.fresh("")
        if "one_line" in self.on and self.chance(0.3) and not any("\\" in b or "//" in b or "#"
                                                                   in b for b in body):
            return [head + " { " + " ".join(b.strip() for b in body) + " " + close], name, earlier
        if self.chance(0.3):
            return [head + self.pick(["", " "]) + "{"] + body + [close], name, earlier
        return [head, "{"] + body + [close], name, earlier

    def conditional_entries(self, family, body, names):
        """Puts a run of an enumeration's entries inside a conditional block."""
        start = self.rng.randrange(len(body))
        end = self.rng.randrange(start, len(body)) + 1
        run = body[start:end]
        branches = [run]
        for _ in range(self.rng.randrange(3)):
            shape = self.rng.randrange(3)
            if shape == 0:
                branches.append(list(run))  # the same names, declared in every branch
            elif shape == 1:
                branches.append([self.entry(family, [])[1] for _ in range(self.rng.randrange(3))])
            else:
                branches.append([])
        return body[:start] + self.conditional(branches) + body[end:]

    def client_macros(self):
        lines = self.pick([
            ["#undef MAKE_PROTOCOL_INFO"],
            ["#undef MAKE_PROTOCOL_INFO_EOR"],
            ["#undef PROTOCOL_STRUCT"],
            ["#ifndef PROTOCOL_STRUCT", "#define PROTOCOL_STRUCT struct ProtocolInfo", "#endif"],
            ["#define MAKE_PROTOCOL_INFO(category, number) ((category) << 8 | (number))"],
            ["#define MAKE_PROTOCOL_INFO_EOR(a, b) 0"],
            ["#ifdef MAKE_PROTOCOL_INFO", "#define PROTO_WRAPPED 1", "#endif"],
        ])
        if lines[0] == "#ifndef PROTOCOL_STRUCT":
            self.unmodeled.add("a condition on PROTOCOL_STRUCT, a macro in one client form only")
        if lines[0].startswith("#define MAKE_PROTOCOL_INFO("):
            self.unmodeled.add("a MAKE_PROTOCOL_INFO of the header's, whose replacement the check "
                               "does not judge")
        return lines

    def errors(self):
        lines = self.pick([
            ["#if defined(_WIN32) && defined(__linux__)", "#error \"two platforms at once\"",
             "#endif"],
            ["#ifdef _WIN64", "#error \"not for Windows\"", "#endif"],
            ["#if !defined(__cplusplus)", "#error C++ only", "#endif"],
            ["#if defined(_DEBUG) && defined(NDEBUG)", "#error \"both\"", "#endif"],
        ])
        if "NDEBUG" in lines[0] and self.included:
            self.unmodeled.add("NDEBUG after an include, which may define it")
        return lines

    def pragmas(self):
        return self.pick([["#pragma pack(push, 1)"], ["#pragma pack(pop)"],
                          ["#pragma warning(disable: 4100)"], ["#pragma GCC diagnostic push"],
                          ["_Pragma(\"GCC diagnostic push\")"]])

    def wrap_namespace(self, lines):
        kind = self.rng.randrange(6)
        if kind == 5 and "rule_names" in self.on:
            return ["namespace %s%s {" % (self.pick(["CG_Packet", "Net_CW_", "CG_"]),
                                          self.fresh(""))] + lines + ["}"]
        if kind == 0:
            return ["namespace net%s {" % self.fresh("")] + lines + \
                [self.pick(["}", "}  // namespace", "};"])]
        if kind == 1:
            return ["namespace game::net%s {" % self.fresh("")] + lines + ["}"]
        if kind == 2:
            return ["extern \"C\" {"] + lines + ["}"]
        if kind == 3:
            return ["inline namespace v%s {" % self.fresh("")] + lines + ["}"]
        return ["#ifdef __cplusplus", "extern \"C\" {", "#endif"] + lines + \
            ["#ifdef __cplusplus", "}", "#endif"]

    def names_again(self, family, names):
        """An enumeration of the same names in a namespace of its own: a table sees the names of
        its own namespace and those around it, not another's."""
        rng = self.rng
        self.rng = self.later
        try:
            lines, _, _ = self.enumeration(family, names=names)
        finally:
            self.rng = rng
        return ["namespace again%s {" % self.fresh("")] + lines + ["}"]

    def rule_name_declaration(self, enums):
        """A declaration that holds what the rules rewrite (CG_, CW_, _PROTOCOL, '#'): most no
        longer compile in the wrap header, some still do. `enums`: enumerations declared before."""
        n = self.fresh("")
        enum = self.pick(enums) if enums and self.chance(0.7) else None
        forms = ["struct MSG_CG_LOGIN_SYN%s;", "class CCW_Handler%s;", "struct LOGIN_PROTOCOL%s;",
                 "typedef int LOGIN_PROTOCOL_ID%s;", "int Max%s(int count_PROTOCOL);",
                 "void Send%s(int cg_code);", "class CGX%s;", "using CG_Code%s = int;",
                 "extern int kCW_Limit%s;", "void Reset%s(); // CG_ in a comment",
                 "template <typename T_PROTOCOL> struct Codec%s;", "int Max_PROTOCOLS%s();",
                 "struct Handler%s { void OnCG_Login(); };", "extern const char* kName%s; /* # */",
                 "static const char* kText%s = \"CG_ # _PROTOCOL\";"]
        if enum:
            forms += ["typedef %E Alias%s;", "void OnPacket%s(%E eProtocol);", "extern %E g%s;",
                      "template <%E Category> class CCategoryHandler%s;",
                      "struct Packet%s { %E code; };", "static_assert(sizeof(%E) >= 1);",
                      "%E Next%s(%E code);", "void Pair%s(%E a, %E b);"]
        form = self.pick(forms).replace("%E", enum or "").replace("%s", n)
        if self.included:
            self.unmodeled.add("a declaration whose names the include protowrap does not find may "
                               "define as macros")
        return [form]

    def comment_hash(self):
        """A comment with a '#' in it: after '*' in a block comment the rules end the comment."""
        return self.pick([
            ["/**#pragma pack(1)**/"],
            ["/**", " * Login flow:", " *#define USE_OLD_LOGIN", " */"],
            ["/* see *#12 */"],
            ["/* #if 0 */"], ["// #define PROTO_OFF 1"], ["/**", " * #define USE_OLD_LOGIN", " */"],
            ["/* see #12 */"], ["/*#define PROTO_OFF*/"], ["/** # **/"],
        ])

    def include_macro(self):
        """An include of a macro, with a name that the rules rewrite or not."""
        name = "beside%s.h" % self.fresh("")
        self.beside[name] = b"#pragma once\n"
        macro = self.pick(["CG_CONFIG_HEADER", "CONFIG_HEADER", "PROTOCOL_HEADER", "NET_HEADER"])
        return ['#define %s "%s"' % (macro, name), "#include " + macro]

    def team_macros(self, parts):
        """The team's own macros, which the compilers expand in the wrap header too."""
        kind = self.rng.randrange(6)
        n = self.fresh("")
        if kind == 0:
            return ["#define PROTO_ENUM(...)", "PROTO_ENUM(login)"]
        if kind == 1:
            return ["#define DECLARE_PACKET(type) struct type;", "DECLARE_PACKET(Login%s)" % n]
        if kind == 2:
            return ["#define DECLARE_PACKET(id, type) struct type",
                    "DECLARE_PACKET(1, MSG_LOGIN%s);" % n]
        if kind == 3:
            return ["#define PROTO_EXPORT", "class PROTO_EXPORT Session%s;" % n]
        if kind == 4:
            return ["#define FORWARD(name) struct name", "FORWARD(Session%s);" % n]
        self.enum_end = True
        return ["#define ENUM_END };"]

    # -- the whole header ----------------------------------------------------------------------

    def build(self):
        on = self.on
        if "comments" in on:
            self.emit("// Protocol codes, generated for a test: a, b = c; };")
        if "pragma_once" in on:
            self.emit("#pragma once")
        guard_close = []
        if "guard" in on:
            opened, guard_close = self.guard()
            self.emit(*opened)
        if "includes" in on:
            self.emit(*self.includes())
        if "defines" in on:
            self.emit(*self.defines())
        if "client_macros" in on and self.chance(0.5):
            self.emit(*self.client_macros())
        if "errors" in on:
            self.emit(*self.errors())
        parts = []
        again = []
        for _ in range(self.rng.randrange(0, 3) if "declarations" in on else 0):
            parts.append(self.declaration())
        if "definitions" in on and self.chance(0.3):
            parts.append(self.definition())
        if "pragmas" in on:
            parts.append(self.pragmas())
        if "strays" in on and self.chance(0.1):
            parts.append(['#include "CG_types.h"'])
        for _ in range(self.rng.randrange(1, 5)):
            family = self.pick(["CG", "CW"])
            lines, name, names = self.enumeration(family)
            if "conditional_enums" in on and self.chance(0.4):
                if self.chance(0.5):
                    # The same enumeration in two branches: two tables of one name.
                    other, _, _ = self.enumeration(family, name=name, names=names)
                    lines = self.conditional([lines, other])
                else:
                    lines = self.conditional([lines] + ([] if self.chance(0.5) else [[]]))
            if "namespaces" in on and self.chance(0.4):
                lines = self.wrap_namespace(lines)
            if not lines[0].startswith("namespace") and name not in self.enum_names:
                self.enum_names.append(name)  # visible where the declarations after it stand
            parts.append(lines)
            if self.later and "namespaces" in on and self.later.random() < 0.2:
                again.append(self.names_again(family, names))
        if "comment_hashes" in on:
            parts.append(self.comment_hash())
        if "rule_names" in on and self.chance(0.3):
            parts.append(self.include_macro())
        self.rng.shuffle(parts)
        if "team_macros" in on:
            parts.insert(0, self.team_macros(parts))
        for lines in again:
            parts.insert(self.later.randrange(1 if "team_macros" in on else 0, len(parts) + 1),
                         lines)
        for part in parts:
            self.emit(*part)
        # Declarations that name the enumerations come after them.
        for _ in range(self.rng.randrange(1, 4) if "rule_names" in on else 0):
            self.emit(*self.rule_name_declaration(self.enum_names))
        if guard_close:
            self.emit(*guard_close)

    def render(self):
        ends = self.pick(["\n", "\r\n", "\r"])
        text = ""
        for line in self.lines:
            for piece in line.split("\n"):
                end = self.pick(["\n", "\r\n", "\r"]) if "line_ends" in self.on and \
                    self.chance(0.2) else ends
                text += piece + end
        data = text.encode()
        if "nul" in self.on and self.chance(0.5):
            at = self.rng.randrange(len(data) + 1)
            data = data[:at] + b"\0" + data[at:]
            if b"CG_" in data[at + 1:] or b"CW_" in data[at + 1:]:
                self.unmodeled.add("a NUL byte with names of enumerators after it, which the "
                                   "header may declare there again")
        if "bom" in self.on:
            data = b"\xef\xbb\xbf" + data
        return data


def random_header(rng):
    """A random header (bytes), the reasons why a miss is allowed in it (a set), and the files
    next to it ({name: bytes})."""
    # Drawn twice from the same start: the first draw, without what came later, leaves rng where
    # it always did, so that every header after this one stays as it was; the second one is the
    # header.
    again = random.Random()
    again.setstate(rng.getstate())
    first = Header(rng)
    first.build()
    first.render()
    header = Header(again, later=True)
    header.build()
    return header.render(), header.unmodeled, header.beside
