"""The compilers that judge the header check: which build configurations a header has, and whether
its wrap header compiles in each of them.

A configuration is a target (Linux x86-64, Windows x86-64) built with its compilers' defaults, a
Debug build of it (-D_DEBUG -DDEBUG), or a build that defines one of the header's own switches:
a name that the header's conditions test and that neither the header, its includes next to it,
nor any compiler defines (the first eight). Each target has two compilers (g++ and clang for
Linux; MinGW-w64's g++ and clang for the Microsoft ABI for Windows): a configuration fails only
where both agree that the wrap header fails while the header compiles, and passes only where
both agree that it compiles. Every compile reads the client definitions of one of the README's
client forms, then the header, then (for the wrap header) its wrap header."""
import hashlib
import os
import pickle
import re
import subprocess

import predefined_macros

# The client definitions of the README: the one-file form and the form any number of source
# files can include.
CLIENTS = {
    "struct": """
struct PROTOCOL_STRUCT { const char* name; int value; };
#define MAKE_PROTOCOL_INFO(name, ...) { #name, name }
#define MAKE_PROTOCOL_INFO_EOR() { nullptr, 0 }
""",
    "inline": """
struct ProtocolEntry { const char* name; int value; };
#define PROTOCOL_STRUCT inline constexpr ProtocolEntry
#define MAKE_PROTOCOL_INFO(name, ...) { #name, name }
#define MAKE_PROTOCOL_INFO_EOR() { nullptr, 0 }
""",
}
# What each compile includes first, as a client's source may: the C headers only, which cost little
# to compile (the check takes every name that the standard headers may define as unknown).
PRELUDE = "#include <stdint.h>\n#include <stddef.h>\n"
DEBUG = ["-D_DEBUG", "-DDEBUG"]
MAX_SWITCHES = 8
# Words of conditions that are no macro names.
NOT_MACROS = {"defined", "true", "false", "__has_include", "__has_include_next",
              "__has_cpp_attribute", "__has_builtin", "__has_attribute", "__has_feature",
              "__has_extension", "__has_warning", "__VA_ARGS__", "__VA_OPT__"}
CLIENT_NAMES = {"MAKE_PROTOCOL_INFO", "MAKE_PROTOCOL_INFO_EOR", "PROTOCOL_STRUCT"}
WORD = re.compile(rb"[A-Za-z_$\x80-\xff][\w$\x80-\xff]*")
# A preprocessing number or an identifier (a number's letters are no names).
TOKEN = re.compile(rb"\.?\d(?:[eEpP][+-]|[\w.'$\x80-\xff])*|[A-Za-z_$\x80-\xff][\w$\x80-\xff]*")
LITERAL = re.compile(rb"'(?:\\.|[^'\\\n])*'|\"(?:\\.|[^\"\\\n])*\"")
# The operand of __has_include: a header's name, whose words name no macro.
HAS_INCLUDE = re.compile(rb"__has_include(?:_next)?\s*\([^)]*\)")


def directives(text):
    """The directives of a header (bytes), in order: (name, operand) with splices joined and
    comments removed."""
    text = re.sub(rb"\\[ \t\f\v]*(?:\r\n|\r|\n)", b"", text)
    out = bytearray()
    i = 0
    n = len(text)
    while i < n:  # comments out, literals kept
        c = text[i:i + 1]
        if text.startswith(b"//", i):
            while i < n and text[i:i + 1] not in (b"\n", b"\r"):
                i += 1
        elif text.startswith(b"/*", i):
            end = text.find(b"*/", i + 2)
            lines = text[i:end if end >= 0 else n]
            out += b" " + b"\n" * (lines.count(b"\n") + lines.count(b"\r") - lines.count(b"\r\n"))
            i = n if end < 0 else end + 2
        elif c in (b"'", b'"'):
            m = LITERAL.match(text, i)
            end = m.end() if m else i + 1
            out += text[i:end]
            i = end
        else:
            out += c
            i += 1
    for line in re.split(rb"\r\n|\r|\n", bytes(out)):
        m = re.match(rb"[ \t\f\v]*(?:#|%:)[ \t\f\v]*(\w*)(.*)", line)
        if m:
            yield m.group(1).decode("latin-1"), m.group(2)


def defined_names(texts):
    """Names that any of the texts #defines."""
    names = set()
    for text in texts:
        for name, operand in directives(text):
            if name == "define":
                m = WORD.search(operand)
                if m:
                    names.add(m.group(0).decode("latin-1"))
    return names


class Target:
    def __init__(self, name, members):
        self.name = name
        self.compilers = members  # [(name, argv)]


class Judges:
    """Every target's compilers, and the names they and their standard headers define."""

    def __init__(self):
        found = predefined_macros.compilers()
        self.targets = [Target(name, members) for name, members in found.items() if members]
        self.predefined = set()
        for table in predefined_macros.target_tables(found).values():
            self.predefined |= set(table)
        self.library = set().union(*predefined_macros.library_names(found).values())
        self.predefined |= set(predefined_macros.MSVC_DEFAULT) | set(
            predefined_macros.MSVC_OPTIONAL) | {"_DEBUG", "DEBUG"}

    def complete(self):
        return len(self.targets) == 2 and all(len(t.compilers) == 2 for t in self.targets)

    def switches(self, header, includes):
        """The header's own switches, in order of their first test: at most eight."""
        defined = defined_names([header] + list(includes))
        found = []
        for name, operand in directives(header):
            if name not in ("if", "elif", "ifdef", "ifndef", "elifdef", "elifndef"):
                continue
            for word in TOKEN.findall(HAS_INCLUDE.sub(b" ", LITERAL.sub(b" ", operand))):
                word = word.decode("latin-1")
                if word[0].isdigit() or word[0] == "." or word in NOT_MACROS or \
                        word in CLIENT_NAMES or word in defined or word in self.predefined or \
                        word in found or predefined_macros.is_library_name(word, self.library):
                    continue
                found.append(word)
        return found[:MAX_SWITCHES]

    def configurations(self, switches):
        """[(label, target, flags)] of a header with these switches."""
        result = []
        for target in self.targets:
            result.append((target.name, target, []))
            result.append((target.name + " debug", target, DEBUG))
        for switch in switches:
            for target in self.targets:
                result.append(("%s, %s" % (target.name, switch), target, ["-D" + switch]))
        return result


class Verdict:
    """What the compilers say of a header: in which configurations its wrap header fails while
    the header compiles (both compilers agreeing), where they disagree, which lines they blame;
    and the run-time codes that its tables show where the wrap header compiles."""

    def __init__(self):
        self.runtime = set()      # run-time codes, where some configuration compiles the wrap
        self.passing = set()      # configurations that compile the wrap header
        self.failing = set()      # configurations
        self.disputed = set()     # the compilers of a target disagree there
        self.compiling = set()    # configurations in which the header compiles
        self.blamed = set()
        self.errors_from = None   # the first line of the headers with an error
        self.errors = []


# The codes of tables that compile but are wrong at run time, and what the wrap header's text must
# show for each: a table without its closing entry, a name that a table lists twice.
RUNTIME_CODES = (24, 25)
TABLE = re.compile(rb"PROTOCOL_STRUCT\s+s\w+\s*\[\s*\]\s*=\s*\{")
ENTRY = re.compile(rb"MAKE_PROTOCOL_INFO\s*\(\s*(\w+)")


def runtime_problems(wrap):
    """The run-time codes that the wrap header's tables show, read from its text: each table from
    its "PROTOCOL_STRUCT s...[] = {" to the '}' that closes it, outside comments and literals."""
    # A macro of the header's that closes a table ("#define ENUM_END };", which the wrap header
    # shows commented out and rewritten, but the header defines before it) closes it as the
    # compilers expand it.
    closing = re.findall(rb"#[ \t]*define[ \t]+(\w+)[ \t]+(?:MAKE_PROTOCOL_INFO_EOR\(\) )?\};",
                         wrap)
    text = re.sub(rb"//[^\r\n]*|/\*.*?\*/", b" ", wrap, flags=re.S)
    text = LITERAL.sub(b'""', text)
    for name in closing:
        text = re.sub(rb"\b%s\b" % re.escape(name), b"};", text)
    codes = set()
    for m in TABLE.finditer(text):
        depth, at = 1, m.end()
        while at < len(text) and depth > 0:
            depth += {ord("{"): 1, ord("}"): -1}.get(text[at], 0)
            at += 1
        body = text[m.end():at - 1]
        names = ENTRY.findall(body)
        if names and depth == 0 and not body.rstrip().endswith(b"MAKE_PROTOCOL_INFO_EOR()"):
            codes.add(24)
        if len(set(names)) < len(names):
            codes.add(25)
    return codes


def compile_one(argv, work, name, client, flags, wrap_header, include_dir):
    source = os.path.join(work, "client-%s-%s.cpp" % (client, "wrap" if wrap_header else "h"))
    if not os.path.exists(source):
        with open(source, "w") as f:
            f.write(PRELUDE + CLIENTS[client] + '#include "%s"\n' % name)
            if wrap_header:
                f.write('#include "Protocol_CG.WRAP.h"\n')
            f.write("int main() { return 0; }\n")
    limit = ["-ferror-limit=0"] if "clang" in argv[0] else []
    include = ["-I", include_dir] if include_dir else []
    return subprocess.run(argv + ["-std=c++20", "-fsyntax-only"] + limit + flags + include +
                          [source], cwd=work, capture_output=True, text=True, timeout=120)


def judge(judges, work, name, include_dir=None):
    """Compiles the header in `work` (its wrap header beside it) in every configuration. Where
    PROTOWRAP_JUDGE_CACHE names a directory, a verdict is kept there under the hash of all that
    decides it (the header, the files beside it, the wrap header, this judge), and not computed
    again: the mutation test plants faults in the check, which change no wrap header."""
    with open(os.path.join(work, name), "rb") as f:
        header = f.read()
    includes = []
    for entry in sorted(os.listdir(work)):
        if entry != name and entry.endswith(".h") and entry != "Protocol_CG.WRAP.h":
            with open(os.path.join(work, entry), "rb") as f:
                includes.append((entry, f.read()))
    with open(os.path.join(work, "Protocol_CG.WRAP.h"), "rb") as f:
        wrap = f.read()
    cache = os.environ.get("PROTOWRAP_JUDGE_CACHE", "")
    if not cache:
        return judge_anew(judges, work, name, include_dir, header, [t for _, t in includes], wrap)
    with open(__file__, "rb") as f:
        own = f.read()  # a verdict of another judge is no verdict of this one
    key = hashlib.sha256(repr((name, header, includes, wrap, include_dir, own)).encode()).hexdigest()
    path = os.path.join(cache, key)
    try:
        with open(path, "rb") as f:
            return pickle.load(f)
    except (OSError, EOFError, pickle.UnpicklingError):
        pass
    verdict = judge_anew(judges, work, name, include_dir, header, [t for _, t in includes], wrap)
    os.makedirs(cache, exist_ok=True)
    scratch = "%s.%d" % (path, os.getpid())
    with open(scratch, "wb") as f:
        pickle.dump(verdict, f)
    os.replace(scratch, path)
    return verdict


def judge_anew(judges, work, name, include_dir, header, includes, wrap):
    verdict = Verdict()
    last_line = len(wrap.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n"))
    blame = re.compile(r"(?:Protocol_CG\.WRAP\.h|%s):(\d+):\d+: (?:fatal error|error|note)"
                       % re.escape(name))
    # Errors that name their cause ("expected ..." errors stand where the parser gave up, which
    # may be before a cause that swallowed the rest of the file).
    errors = re.compile(r"(?:Protocol_CG\.WRAP\.h|%s):(\d+):\d+: (?:fatal error|error): "
                        r"(?!expected)" % re.escape(name))
    # A Debug build differs from the defaults only where the header names DEBUG.
    debug_matters = b"DEBUG" in header or any(b"DEBUG" in text for text in includes)
    seen = {}
    for label, target, flags in judges.configurations(judges.switches(header, includes)):
        if not debug_matters and label.endswith(" debug"):
            outcome = seen[target.name]
        else:
            outcome = [judge_compiler(argv, work, name, flags, include_dir, blame, errors,
                                      last_line, "%s, %s" % (cxx, label))
                       for cxx, argv in target.compilers]
            seen.setdefault(label, outcome)
        states = {o[0] for o in outcome}
        if states == {"n/a"}:
            continue
        verdict.compiling.add(label)
        if states == {"fails"}:
            verdict.failing.add(label)
        elif states != {"passes"}:
            verdict.disputed.add(label)
        if states == {"passes"}:
            verdict.passing.add(label)
            verdict.runtime = runtime_problems(wrap)
        for state, blamed, first, text in outcome:
            if state == "fails":
                verdict.errors.append(text)
        if states == {"fails"}:
            # Where the target's compilers agree that it fails, their lines count; its first error
            # is where both have seen one (each may stop first at a macro of its own), and not
            # known where one of them names no cause ("expected ..." only).
            firsts = [first for _, _, first, _ in outcome]
            for _, blamed, _, _ in outcome:
                verdict.blamed |= blamed
            if firsts and None not in firsts:
                verdict.errors_from = min(max(firsts), verdict.errors_from or max(firsts))
    return verdict


def judge_compiler(argv, work, name, flags, include_dir, blame, errors, last_line, label):
    """One compiler in one configuration, with both client forms: ("passes" | "fails" | "n/a",
    blamed lines, first error line, its errors)."""
    state = "n/a"
    blamed = set()
    first = None
    texts = []
    for client in CLIENTS:
        done = compile_one(argv, work, name, client, flags, True, include_dir)
        if done.returncode == 0:
            state = "passes" if state == "n/a" else state
            continue
        if compile_one(argv, work, name, client, flags, False, include_dir).returncode != 0:
            continue  # not C++ here to begin with
        state = "fails"
        blamed |= {int(m) for m in blame.findall(done.stderr)}
        lines = [int(m) for m in errors.findall(done.stderr)]
        if lines:
            first = min(lines + ([first] if first is not None else []))
        if re.search(r"client-\w+-wrap\.cpp:\d+:\d+: (?:fatal error|error)", done.stderr):
            blamed.add(last_line)  # the wrap header left something open
        texts.append("%s, %s client:\n%s" % (label, client, done.stderr[-1500:]))
    return state, blamed, first, "\n".join(texts)
