#!/usr/bin/env python3
"""The NuGet package in an MSBuild project, built with Mono's xbuild: the package is unpacked as
NuGet does, its targets are imported into a small project whose stand-in for C++ compilation
compiles a client of two source files against the wrap headers and the package's client header,
and the project is built again and again: the first build generates both wrap headers, a second
changes nothing, a touched header regenerates them, a header warning is shown with a path that
leads to the header, the warnings-as-errors switch fails the build (and the next build runs
protowrap again), a missing header fails the build with protowrap's line, a path that the
configuration lookup would misread is refused (by its bytes of UTF-8), a missing program, one that
cannot run and captured lines that cannot be replaced fail the build by name and never pass on an
earlier run's lines, paths with ';', '%', '$' and characters beyond ASCII reach Talvenor.ini as
they are (a project in a directory with ';' too, one with '$(' is refused), and Clean removes what
the targets wrote. Each program given runs the whole scenario (protowrap natively, and
protowrap.exe under Wine through a small launcher, where its manifest makes UTF-8 its code
page)."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

from reference_rules import wrap

PROJECT = """<Project DefaultTargets="Build" ToolsVersion="4.0"
         xmlns="http://schemas.microsoft.com/developer/msbuild/2003">
  <PropertyGroup>
    <IntDir>obj\\Debug\\</IntDir>
    <ProtowrapCGHeader>src\\Protocol_CG.h</ProtowrapCGHeader>
    <ProtowrapCWHeader>src\\Protocol_CW.h</ProtowrapCWHeader>
  </PropertyGroup>
  <ItemGroup>
    <ClCompile Include="{client}\client_header.cpp" />
    <ClCompile Include="{client}\lookup.cpp" />
  </ItemGroup>
  <!-- xbuild has no C++ tool set: this stands in for its compile target. It applies no item
       definitions either, so it names the two directories that the targets add to
       AdditionalIncludeDirectories by their properties. -->
  <Target Name="ClCompile">
    <Exec Condition="'$(Compile)' != 'false'" Command="&quot;{cxx}&quot; -std=c++17 -fsyntax-only -I src -I &quot;$(ProtowrapIncludeDir)&quot; -I &quot;$(ProtowrapClientIncludeDir)&quot; @(ClCompile->'&quot;%(FullPath)&quot;', ' ')" />
  </Target>
  <Target Name="Build" DependsOnTargets="ClCompile" />
  <Target Name="ShowProgram">
    <Message Text="program: $(ProtowrapExe) exists: $([System.IO.File]::Exists('$(ProtowrapExe)'))" />
  </Target>
  <Target Name="Clean" />
  <Import Project="..\\packages\\protowrap.{version}\\build\\native\\protowrap.targets"
          Condition="Exists('..\\packages\\protowrap.{version}\\build\\native\\protowrap.targets')" />
</Project>
"""


class Scenario:
    def __init__(self, args, work, exe, name):
        self.work, self.name, self.headers, self.exe = work, name, args.headers, exe
        self.examples = args.examples
        self.app = os.path.join(work, "app")
        self.src = os.path.join(self.app, "src")
        self.out = os.path.join(self.app, "obj", "Debug", "protowrap")
        os.makedirs(self.src)
        for family in ("CG", "CW"):
            shutil.copy(os.path.join(args.examples, "Protocol_%s.h" % family), self.src)
        with open(os.path.join(self.app, "app.proj"), "w") as f:
            f.write(PROJECT.format(cxx=args.cxx, version=args.version,
                                   client=args.client))

    def build(self, *extra, ok=True, program=True, app=None):
        if program:
            extra = ("/p:ProtowrapExe=" + self.exe,) + extra
        done = subprocess.run(["xbuild", "/nologo", "/v:normal", "app.proj"] + list(extra),
                              cwd=app or self.app, capture_output=True, text=True)
        if (done.returncode == 0) != ok:
            self.fail("the build should have %s:\n%s%s" % (
                "succeeded" if ok else "failed", done.stdout, done.stderr))
        return done.stdout

    def fail(self, why):
        sys.exit("%s: %s" % (self.name, why))

    def outputs(self):
        return [os.path.join(self.out, "Protocol_%s.WRAP.h" % f) for f in ("CG", "CW")]

    def stamps(self):
        return [os.stat(p).st_mtime_ns for p in self.outputs()]

    def expect_reference_outputs(self):
        for family, path in zip(("CG", "CW"), self.outputs()):
            with open(os.path.join(self.src, "Protocol_%s.h" % family), "rb") as f:
                expected = wrap(f.read())
            with open(path, "rb") as f:
                if f.read() != expected:
                    self.fail("%s differs from the reference" % path)

    def touch(self, path):
        """Makes a header newer than the wrap headers, and only it, as an edit would."""
        os.utime(path, None)
        if os.stat(path).st_mtime_ns <= max(self.stamps()):
            self.fail("the clock did not move on since the last build")
        return self.stamps()

    def run(self):
        # Without ProtowrapExe, the targets run the program that came with them.
        log = self.build("/t:ShowProgram", program=False)
        if not re.search(r"program: .*[/\\]bin[/\\]protowrap\.exe exists: True", log):
            self.fail("the targets do not find the package's program:\n" + log)

        log = self.build()
        self.expect_reference_outputs()
        if "-fsyntax-only" not in log:
            self.fail("the stand-in compile did not run:\n" + log)
        first = self.stamps()

        self.build()
        if self.stamps() != first:
            self.fail("a build with nothing changed ran protowrap again")

        cw = os.path.join(self.src, "Protocol_CW.h")
        touched = self.touch(cw)
        self.build()
        if self.stamps()[1] == touched[1]:
            self.fail("a touched header did not regenerate its wrap header")

        # A header with a warning (which does not compile: the stand-in compile stays out): the
        # warning is shown, with a path that leads to the header.
        shutil.copy(os.path.join(self.headers, "pw001_missing_comma.h"), cw)
        self.touch(cw)
        log = self.build("/p:Compile=false")
        shown = [line.strip() for line in log.splitlines() if "PW001" in line]
        paths = [re.match(r"(.*?)(?::\d+:\d+: |\(\d+,\d+\): )warning", line) for line in shown]
        if not shown or not all(m and os.path.samefile(m.group(1), cw) for m in paths):
            self.fail("the warnings do not lead to the header:\n" + log)

        log = self.build("/p:Compile=false", "/p:ProtowrapWarningsAsErrors=true", ok=False)
        if "ProtowrapWarningsAsErrors" not in log:
            self.fail("the switch failed the build without saying why:\n" + log)
        log = self.build("/p:Compile=false")
        if "PW001" not in log:
            self.fail("the build after a refused one did not run protowrap again:\n" + log)

        os.remove(cw)
        log = self.build(ok=False)
        relative = os.path.relpath(cw, self.out)
        if "Can't open %s" % relative not in log or any(map(os.path.exists, self.outputs())):
            self.fail("a missing header did not fail with protowrap's line, or left output:\n" + log)

        log = self.build("/p:ProtowrapCGHeader=" + "d/" * 260 + "Protocol_CG.h", ok=False)
        if "cannot be named in Talvenor.ini" not in log:
            self.fail("a value longer than 511 bytes was not refused:\n" + log)
        # 314 characters, 600 bytes of UTF-8: the lookup would cut it, so it is refused too.
        log = self.build("/p:ProtowrapCGHeader=" + "\u00e9" * 300 + "/Protocol_CG.h", ok=False)
        value = "../../../" + "\u00e9" * 300 + "/Protocol_CG.h"  # relative to the output
        if "cannot be named in Talvenor.ini" not in log or \
                "(%d bytes)" % len(value.encode()) not in log:
            self.fail("a value of 600 bytes in fewer characters was not refused:\n" + log)

        shutil.copy(os.path.join(self.examples, "Protocol_CW.h"), cw)
        self.failures_are_never_passed_over(cw)
        self.paths_arrive_as_they_are()
        self.programs_and_paths(cw)

        self.build("/t:Clean")
        if os.path.exists(self.out):
            self.fail("Clean left %s: %s" % (self.out, os.listdir(self.out)))
        self.clean_never_runs_a_shell()

    def programs_and_paths(self, cw):
        """A header renamed in its case only reaches Talvenor.ini; ProtowrapExe relative to the
        project's directory runs, a bare command's name is refused by name; a header's path of 300
        bytes works (protowrap.exe takes long paths)."""
        lower = os.path.join(self.src, "protocol_cw.h")
        os.rename(cw, lower)
        self.build("/p:Compile=false", "/p:ProtowrapCWHeader=src\\protocol_cw.h")
        with open(os.path.join(self.out, "Talvenor.ini"), "rb") as f:
            if b"protocol_cw.h" not in f.read():
                self.fail("a header renamed in its case only did not reach Talvenor.ini")
        os.rename(lower, cw)
        self.build()

        tools = os.path.join(self.app, "tools")
        os.makedirs(tools)
        shutil.copy(self.exe, tools)
        self.touch(cw)
        self.build("/p:ProtowrapExe=tools/" + os.path.basename(self.exe), program=False)
        self.expect_reference_outputs()
        log = self.build("/p:ProtowrapExe=protowrap", program=False, ok=False)
        if "do not search PATH" not in log:
            self.fail("a bare command's name was not refused by name:\n" + log)
        shutil.rmtree(tools)

        deep = os.path.join(self.src, *(["d" * 60] * 4))
        os.makedirs(deep)
        for family in ("CG", "CW"):
            shutil.copy(os.path.join(self.src, "Protocol_%s.h" % family), deep)
        value = os.path.relpath(os.path.join(deep, "Protocol_CG.h"), self.out)
        if len(value) < 260:
            self.fail("the long path is only %d bytes" % len(value))
        relative = os.path.relpath(deep, self.app)
        self.build("/p:ProtowrapCGHeader=%s/Protocol_CG.h" % relative,
                   "/p:ProtowrapCWHeader=%s/Protocol_CW.h" % relative)
        self.expect_reference_outputs()
        shutil.rmtree(os.path.join(self.src, "d" * 60))
        self.build()

    def clean_never_runs_a_shell(self):
        """Clean in directories whose names a shell would read: it removes what the targets wrote,
        and runs nothing."""
        for name in ("o'brien", "q'`touch PWNED`'x", "semi;colon dir", "dollar$(Nothing)y",
                     "sp ace$HOME"):
            app = os.path.join(self.work, name)
            shutil.copytree(self.app, app, ignore=shutil.ignore_patterns("obj"))
            out = os.path.join(app, "obj", "Debug", "protowrap")
            if "$(" not in name:
                # Without the stand-in compile, whose command line holds the directory's name.
                self.build("/p:Compile=false", app=app)
                if not os.path.exists(os.path.join(out, "Protocol_CG.WRAP.h")):
                    self.fail("a project in %s did not get its wrap headers" % name)
            self.build("/t:Clean", app=app)
            if os.path.exists(out):
                self.fail("Clean left %s: %s" % (out, os.listdir(out)))
            for where in (self.work, app, os.getcwd()):
                if os.path.exists(os.path.join(where, "PWNED")):
                    self.fail("Clean in %s ran a command" % name)


    def failures_are_never_passed_over(self, cw):
        """A build that cannot run protowrap, or capture its lines, fails and says why; it never
        passes on the lines of an earlier run."""
        self.build()
        missing = os.path.join(self.work, "nowhere", "protowrap.exe")
        log = self.build("/p:ProtowrapExe=" + missing, ok=False, program=False)
        if "protowrap was not found" not in log or missing not in log:
            self.fail("a missing program did not fail the build by name:\n" + log)

        # A program that cannot run (no execute permission, which even root needs): the previous
        # run's "Completed" lines are there, and must not be read.
        stuck = os.path.join(self.work, "stuck", os.path.basename(self.exe))
        os.makedirs(os.path.dirname(stuck))
        shutil.copy(self.exe, stuck)
        os.chmod(stuck, 0o644)
        self.touch(cw)
        log = self.build("/p:ProtowrapExe=" + stuck, ok=False, program=False)
        if "protowrap did not run, or its result lines could not be captured" not in log or \
                any(map(os.path.exists, self.outputs())):
            self.fail("a program that cannot run passed, or left the wrap headers:\n" + log)

        # Output that cannot be replaced (here a directory where the captured lines go).
        self.build()
        os.remove(os.path.join(self.out, "protowrap.out"))
        os.makedirs(os.path.join(self.out, "protowrap.out", "kept"))
        self.touch(cw)
        log = self.build(ok=False)
        if "cannot remove the previous run's output" not in log:
            self.fail("output that could not be replaced did not fail the build:\n" + log)
        shutil.rmtree(os.path.join(self.out, "protowrap.out"))
        self.build()

    def paths_arrive_as_they_are(self):
        """';', '%', '$' and non-ASCII characters in the headers' paths and in the project's
        directory reach Talvenor.ini as they are (in UTF-8), or the build is refused by name."""
        odd = os.path.join(self.src, "a;b%c$d \u00e9\u20ac")
        os.makedirs(odd)
        for family in ("CG", "CW"):
            shutil.copy(os.path.join(self.src, "Protocol_%s.h" % family), odd)
        # On a command line, MSBuild's escapes stand for the characters.
        log = self.build("/p:ProtowrapCGHeader=src/a%3Bb%25c%24d \u00e9\u20ac/Protocol_CG.h",
                         "/p:ProtowrapCWHeader=src/a%3Bb%25c%24d \u00e9\u20ac/Protocol_CW.h")
        with open(os.path.join(self.out, "Talvenor.ini"), "rb") as f:
            ini = f.read().decode("utf-8")
        if "CG_FILE_PATH=../../../src/a;b%c$d \u00e9\u20ac/Protocol_CG.h" not in ini.replace("\\", "/"):
            self.fail("the path did not reach Talvenor.ini as it is:\n%s\n%s" % (ini, log))
        self.expect_reference_outputs()

        # A project in a directory with ';': built as anywhere else.
        for name in ("semi;colon", "dollar$(Nothing)x"):
            app = os.path.join(self.work, name)
            shutil.copytree(self.app, app, ignore=shutil.ignore_patterns("obj"))
            before = set(os.listdir(self.work))
            if "$(" in name:
                # MSBuild reads '$(' in the project's own path as a property: refused by name,
                # with nothing written anywhere.
                log = self.build(ok=False, app=app)
                if "the project's path reads as" not in log or \
                        os.path.exists(os.path.join(app, "obj")) or \
                        set(os.listdir(self.work)) != before:
                    self.fail("a '$(' in the project's directory was not refused:\n" + log)
            else:
                self.build(app=app)
                for family in ("CG", "CW"):
                    if not os.path.exists(os.path.join(app, "obj", "Debug", "protowrap",
                                                       "Protocol_%s.WRAP.h" % family)):
                        self.fail("a project in %s did not get its wrap headers" % name)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--package", required=True, help="the .nupkg")
    parser.add_argument("--version", required=True)
    parser.add_argument("--native", default="", help="a protowrap for this machine")
    parser.add_argument("--emulator", default="", help="runs the package's protowrap.exe")
    parser.add_argument("--cxx", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--client", required=True)
    parser.add_argument("--headers", required=True, help="the header check's corpus")
    args = parser.parse_args()

    root = tempfile.mkdtemp(prefix="protowrap-msbuild-")
    try:
        package = os.path.join(root, "packages", "protowrap." + args.version)
        with zipfile.ZipFile(args.package) as z:
            z.extractall(package)
        packaged = os.path.join(package, "bin", "protowrap.exe")
        programs = []
        if args.native:
            programs.append(("native", args.native))
        if args.emulator:
            launcher = os.path.join(root, "protowrap-wine")
            with open(launcher, "w") as f:
                f.write('#!/bin/sh\nexec "%s" "%s" "$@"\n' % (args.emulator, packaged))
            os.chmod(launcher, 0o755)
            programs.append(("protowrap.exe under Wine", launcher))
        for name, exe in programs:
            work = os.path.join(root, name.split()[0])
            shutil.copytree(os.path.join(package, ".."), os.path.join(work, "packages"))
            Scenario(args, work, exe, name).run()
            print("%s: every build did what it should" % name)
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
