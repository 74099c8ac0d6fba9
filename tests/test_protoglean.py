"""End-to-end cases for protoglean: marked C sources in, header text out."""

import os
import re
import resource
import shutil
import signal
import stat
import subprocess
import unittest

import harness
from harness import WINDOWS, Protoglean, ScratchTestCase, expected

HELP_TEXT = (
    'protoglean afn [:afn] [[+]outfile]  ("&" works for ":" but probably not in XP)\n'
    "where afn is (are) C file(s), with _f in FIRST COLUMN of lines where functions\n"
    "in prototype form start. Token is _f. Produces outfile with prototypes\n"
    'terminated at first encountered {, which is replaced by a ";". Sticks a little\n'
    "file header in. Provides similar treatment for variables with leading _v;\n"
    "prefaces the phrase with extern and then emits everything until and including\n"
    ";. If an equals sign is encountered it will take that as the end of the\n"
    "variable, so inited _v variables should be typed separately. //Actually now it\n"
    "figgers _v/_f so either'll do. If +, *appends* to outfile. _copy on a line by\n"
    "itself copies *next* lines until a line consisting of _uncopy. (w32)\n"
)

UNIMPRESSED = "Unimpressed with %s.\nMissing token?\a\n"


def header(name):
    return "/* FILE: %s *****************************/\n" % name


class ProtogleanCase(ScratchTestCase):
    def glean(self, *args):
        return self.run_program("protoglean", *args)

    def assertOutput(self, result, stdout, stderr="", status=Protoglean.SUCCESS):
        self.assertEqual((result.status, result.stdout, result.stderr),
                         (status, expected(stdout), expected(stderr)))

    def assertHelp(self, result):
        self.assertEqual(result.status, Protoglean.USAGE)
        self.assertEqual(result.stdout, b"")
        banner, _, rest = result.stderr.partition(expected("\n"))
        self.assertRegex(banner.decode("latin-1"),
                         r"^usage\.cpp {6}[A-Z][a-z]{2} [ \d]\d \d{4}$")
        self.assertEqual(rest, expected(HELP_TEXT))


class Declarations(ProtogleanCase):
    def test_examples(self):
        self.write("a.c",
                   "_f int add(int a, int b) {\n"
                   "    return a + b;\n"
                   "}\n"
                   "_v int table[10] = { 1, 2 };\n"
                   "_f int add2(int a, int b)\n"
                   "{\n"
                   "}\n"
                   "_v int x; _v int y;\n"
                   "_v int n = 3;\n"
                   "_f void draw(int width = 80) {}\n"
                   "_v char a[b[1]];\n"
                   "_v int p;_v int q;\n"
                   "_f static const char *name(struct s *p,\n"
                   "\tint n)   {\n")
        self.assertOutput(self.glean("a.c"),
                          header("a.c") +
                          "int add(int a, int b);\n"
                          "extern int table[];\n"
                          "int add2(int a, int b)\n;\n"
                          "extern int x;\n"
                          "extern int y;\n"
                          "extern int n;\n"
                          "void draw(int width = 80);\n"
                          "extern char a[];\n"
                          "extern int p;\n"
                          "static const char *name(struct s *p,\n\tint n);\n")

    def test_the_header_compiles(self):
        # Arrays of several dimensions, attributes, nested brackets and
        # parameters declared "[static N]", as real code bases write them;
        # the header is appended to its own source, which compiles as C
        # because the markers are defined away. A dropped first dimension
        # is meant (-Wall's -Warray-parameter=2 and -Wvla-parameter warn
        # about it); a dropped "[static N]" would be a fault (level 1).
        compiler = shutil.which("cc") or shutil.which("gcc")
        if not compiler:
            self.skipTest("no C compiler")
        self.write("decls.c",
                   "#define _f\n#define _v\n#define N 4\n"
                   "_v int grid[3][N] = {{0}};\n"
                   "_v [[maybe_unused]] int unused = 1;\n"
                   "_v const char *names[2][3][N + 1];\n"
                   "_v char digits[sizeof(int[2][3])] = \"0\";\n"
                   "_v [[deprecated(\"use grid\")]] int old_grid[2][2];\n"
                   "_f [[nodiscard]] int first(int m[3][N], int v[static 2]) {\n"
                   "    return m[0][0] + v[grid[0][1]];\n}\n"
                   "_f int sum(int n, int a[n][n])\n{\n    return a[0][0] + n;\n}\n"
                   "_f double mean(const double values[restrict static 1], int n[const]) {\n"
                   "    return values[0] / *n;\n}\n")
        self.assertOutput(self.glean("decls.c", "decls.h"), "")
        with open(self.path("all.c"), "wb") as f:
            f.write(self.read("decls.c") + self.read("decls.h"))
        done = subprocess.run([compiler, "-std=c2x", "-Wall", "-Werror", "-Warray-parameter=1",
                               "-Wno-vla-parameter", "-fsyntax-only", "all.c"], cwd=self.dir,
                              capture_output=True)
        self.assertEqual(done.returncode, 0, (self.read("decls.h"), done.stderr))

    def test_what_is_no_marker(self):
        self.write("a.c",
                   "int plain(void) {}\n"
                   "  \t_f int indented(void) {\n"
                   "_F int upper(void) {\n"
                   "_V int upper;\n"
                   "_fint glued(void) {\n"
                   "_f(int) paren;\n"
                   "_f\n"
                   "_f\tint tab;\n")
        self.assertOutput(self.glean("a.c"),
                          header("a.c") + "int indented(void);\nextern int tab;\n")

    def test_declaration_that_never_ends_is_reported_and_left_out(self):
        self.write("a.c", "_v int ok;\n_f int f(int a,\n  int b)   ")
        self.assertOutput(self.glean("a.c"), header("a.c") + "extern int ok;\n",
                          UNIMPRESSED % "int f(int a,\n  int b)")
        # A zero byte ends a declaration as the end of the file does; the
        # line after it is read as usual.
        self.write("z.c", b"_v int z\0;\n_v int w;\n")
        self.assertOutput(self.glean("z.c"), header("z.c") + "extern int w;\n",
                          UNIMPRESSED % "int z")

    def test_long_declaration_is_cut_at_999_characters(self):
        self.write("a.c", "_f int f(" + "int a, " * 1000 + "int z) {\n_v int after;\n")
        out = self.glean("a.c")
        text = ("int f(" + "int a, " * 1000)[:999]
        self.assertOutput(out, header("a.c") + text + ";\nextern int after;\n")

    def test_crlf_source_gives_the_same_output_as_lf(self):
        source = ("_f int f(int a,\n    int b)\n{\n}\n_copy\n  kept\rx\n_uncopy\n"
                  "_v int x\r= 1;\n")
        self.write("lf.c", source)
        self.write("crlf.c", source.replace("\n", "\r\n"))
        lf = self.glean("lf.c")
        crlf = self.glean("crlf.c")
        body = "int f(int a,\n    int b)\n;\n  kept\rx\nextern int x\r;\n"
        self.assertOutput(lf, header("lf.c") + body)
        self.assertOutput(crlf, header("crlf.c") + body)


class CopyBlocks(ProtogleanCase):
    def test_lines_between_copy_and_uncopy_are_written_exactly(self):
        long_line = "".join(chr(ord("a") + i % 26) for i in range(450))
        self.write("a.c",
                   "_copy\n"
                   "  #define A 1\n"
                   "_f int not_a_prototype(void) {\n"
                   " _uncopy\n"
                   "_uncopy \n"
                   + long_line + "\n"
                   "_uncopy\n"
                   " _copy\n"
                   "_copy \n"
                   "int hidden;\n")
        self.assertOutput(self.glean("a.c"),
                          header("a.c") +
                          "  #define A 1\n"
                          "_f int not_a_prototype(void) {\n"
                          " _uncopy\n"
                          "_uncopy \n"
                          + long_line + "\n")

    def test_copied_lines_go_out_whole_however_long(self):
        letters = "".join(chr(ord("a") + i % 26) for i in range(100000))
        lines = [letters[:200], letters[:1000], letters, "x" * 199 + "_uncopy", "zero\0byte"]
        for eol in ("\n", "\r\n"):
            self.write("a.c", eol.join(["_copy"] + lines + ["_uncopy", "_v int after;", ""]))
            self.assertOutput(self.glean("a.c"),
                              header("a.c") + "\n".join(lines) + "\nextern int after;\n")

    def test_copy_mode_and_nesting_carry_over_files_of_one_argument_only(self):
        self.write("a1.c", "_f int open(;\n_copy\nfrom a1\n")
        self.write("a2.c", "from a2\n_uncopy\n_v int x = 1;\n")
        self.write("b.c", "_v int x = 1;\n")
        self.write("c.c", "_copy\nfrom c")  # ends inside the block, without an LF
        self.assertOutput(self.glean("a?.c", ":c.c", ":b.c"),
                          header("a1.c") + "extern int open(;\nfrom a1\n" +
                          header("a2.c") + "from a2\nextern int x = 1;\n" +
                          header("c.c") + "from c\n" +
                          header("b.c") + "extern int x;\n")


class OutputIsNeverAnInput(ProtogleanCase):
    SOURCE = "_v int a;\n_copy\ncopied\n_uncopy\n"
    SECTION = "extern int a;\ncopied\n"

    def glean_to(self, name, *args):
        """Runs protoglean with standard output appended to the file name,
        redirected as a user's shell does it (cmd on Windows)."""
        exe = harness.program("protoglean")
        env = dict(os.environ, WINEDEBUG="-all")
        if WINDOWS:
            if harness.EMULATOR:  # Wine sees the file system as drive Z:
                exe = "Z:" + os.path.abspath(exe).replace("/", "\\")
            command = [harness.EMULATOR] if harness.EMULATOR else []
            command += ["cmd", "/c", " ".join([exe, *args, ">>", name])]
            done = subprocess.run(command, cwd=self.dir, capture_output=True, timeout=60, env=env)
        else:
            with open(self.path(name), "ab") as out:
                done = subprocess.run([exe, *args], cwd=self.dir, stdout=out,
                                      stderr=subprocess.PIPE, timeout=60, env=env)
        return harness.Result(done.returncode, done.stdout or b"", done.stderr)

    def test_an_input_named_outright_that_is_the_output_ends_the_run(self):
        os.link(self.write("a.c", self.SOURCE), self.path("link.c"))
        self.write("b.c", "_v int b;\n")
        other = ["A.C", "a.c"] if WINDOWS else ["sym.c", "+a.c"]
        if not WINDOWS:
            os.symlink("a.c", self.path("sym.c"))
        runs = [(["a.c", "a.c"], "a.c"), (["a.c", "+./a.c"], "a.c"),
                (["b.c", "a.c", ":link.c"], "link.c"), (other, other[0])]
        for args, name in runs:
            self.assertOutput(self.glean(*args), "", "%s is the output file.\n" % name,
                              Protoglean.CANNOT_OPEN)
        # Standard output appended to the input is the output too.
        self.assertOutput(self.glean_to("a.c", "b.c", ":a.c"), "", "a.c is the output file.\n",
                          Protoglean.CANNOT_OPEN)
        self.assertEqual(self.read("a.c"), self.SOURCE.encode())
        self.assertEqual(self.read("b.c"), b"_v int b;\n")

    def test_a_wildcard_leaves_the_output_out(self):
        old = "old\n_copy\nold copy\n_uncopy\n"
        self.write("src/a.c", self.SOURCE)
        self.write("src/all.c", old)
        section = expected(header("src/a.c") + self.SECTION)
        self.assertOutput(self.glean("src/*.c", "+src/all.c"), "")
        self.assertEqual(self.read("src/all.c"), old.encode() + section)
        self.assertOutput(self.glean_to("src/all.c", "src/*.c"), "")
        self.assertEqual(self.read("src/all.c"), old.encode() + section * 2)
        # An output that the run creates is left out as well.
        self.write("new/a.c", self.SOURCE)
        self.assertOutput(self.glean("new/*.c", "new/all.c"), "")
        self.assertEqual(self.read("new/all.c"), expected(header("new/a.c") + self.SECTION))


class OutputInABuild(ProtogleanCase):
    """The output named without "+" is written beside it and renamed in at
    the end: never half written, never emptied by a failed run, and never
    touched when its text stays the same."""

    def test_an_unchanged_output_is_not_touched(self):
        self.write("a.c", "_v int a;\n")
        self.assertOutput(self.glean("a.c", "out.h"), "")
        os.utime(self.path("out.h"), ns=(1, 1000000000))
        before = os.stat(self.path("out.h"))
        self.assertOutput(self.glean("a.c", "out.h"), "")
        after = os.stat(self.path("out.h"))
        self.assertEqual((after.st_ino, after.st_mtime_ns), (before.st_ino, before.st_mtime_ns))
        self.write("a.c", "_v int b;\n")
        self.assertOutput(self.glean("a.c", "out.h"), "")
        self.assertEqual(self.read("out.h"), expected(header("a.c") + "extern int b;\n"))
        self.assertEqual(self.files(), ["a.c", "out.h"])

    def test_a_long_output_gets_its_new_text_wherever_it_changes(self):
        # The output is compared as the new text comes, in pieces much
        # smaller than this text; the bytes before the first difference are
        # taken from the output itself.
        lines = ["#define VALUE_%d %d" % (i, i) for i in range(20000)]
        runs = [(lines, True), (lines[:-1] + ["#define LAST 0"], True), (lines[:15000], True),
                (lines[:15000], False), (["#define FIRST 1"] + lines[1:15000], True)]
        for text, anew in runs:
            self.write("a.c", "_copy\n" + "\n".join(text) + "\n_uncopy\n_v int a;\n")
            before = os.stat(self.path("out.h")) if os.path.exists(self.path("out.h")) else None
            self.assertOutput(self.glean("a.c", "out.h"), "")
            after = os.stat(self.path("out.h"))
            want = expected(header("a.c") + "\n".join(text) + "\nextern int a;\n")
            self.assertTrue(self.read("out.h") == want, len(text))
            self.assertEqual(self.files(), ["a.c", "out.h"])
            if before:
                self.assertEqual(after.st_ino != before.st_ino, anew, len(text))

    def test_a_write_error_leaves_the_output_as_it_was(self):
        self.write("a.c", "_copy\n" + "x" * 200000 + "\n_uncopy\n")
        self.write("out.h", "old\n")

        def small_disk():
            if WINDOWS:
                signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (65536, 65536))

        command = ([harness.EMULATOR] if harness.EMULATOR else []) + [
            harness.program("protoglean"), "a.c", "out.h"]
        done = subprocess.run(command, cwd=self.dir, capture_output=True, preexec_fn=small_disk,
                              env=harness.program_environment(), timeout=120)
        self.assertEqual(done.returncode, Protoglean.NOT_WRITTEN, done)
        self.assertTrue(done.stderr.startswith(expected("couldn't write out.h.\n")), done)
        self.assertEqual((self.read("out.h"), self.files()), (b"old\n", ["a.c", "out.h"]))

    @unittest.skipIf(WINDOWS, "modes and symbolic links of the POSIX build")
    def test_mode_and_link_are_kept_and_a_new_output_gets_the_usual_mode(self):
        self.write("a.c", "_v int a;\n")
        self.write("real/out.h", "old\n")
        os.chmod(self.path("real/out.h"), 0o640)
        os.symlink("real/out.h", self.path("out.h"))
        self.assertOutput(self.glean("a.c", "out.h"), "")
        self.assertEqual(os.readlink(self.path("out.h")), "real/out.h")
        self.assertEqual(stat.S_IMODE(os.stat(self.path("real/out.h")).st_mode), 0o640)
        self.assertEqual(self.read("real/out.h"), header("a.c").encode() + b"extern int a;\n")
        self.assertOutput(self.glean("a.c", "new.h"), "")
        umask = os.umask(0)
        os.umask(umask)
        self.assertEqual(stat.S_IMODE(os.stat(self.path("new.h")).st_mode), 0o666 & ~umask)


class CommandLine(ProtogleanCase):
    def test_help_for_no_input_or_two_outputs_or_when_asked(self):
        self.assertHelp(self.glean())
        self.write("a.c", "_v int a;\n")
        self.assertHelp(self.glean("a.c", "x.h", "y.h"))
        for args in (["--help"], ["a.c", "--help"], ["-h"], ["a.c", "-?", "out.h"], ["/?"]):
            self.assertHelp(self.glean(*args))
        self.assertEqual(self.files(), ["a.c"])

    def test_version_for_both_programs(self):
        for name, args in (("protoglean", ["--version"]), ("protoglean", ["a.c", "--version"]),
                           ("pravtweak", ["--version"]), ("pravtweak", ["-r", "--version"])):
            self.assertOutput(self.run_program(name, *args), f"{name} 1.0.0\n")
        self.assertEqual(self.files(), [])

    def test_a_c_source_is_never_an_output(self):
        self.write("a.c", "_v int a;\n")
        self.write("b.c", "int b;\n")
        self.write("B.C", "int b;\n")
        self.write("notes.txt", "  _f int hidden(void);\n")
        self.write("copy.h", "_copy\n")
        self.write("made.h", header("a.c") + "_copy\n_v int x;\n")
        for output in ("b.c", "B.C", "notes.txt", "copy.h"):
            self.assertOutput(self.glean("a.c", output), "",
                              f"{output} is a C source, not an output.\n", Protoglean.CANNOT_OPEN)
        self.assertOutput(self.glean("a.c", "a.c"), "", "a.c is the output file.\n",
                          Protoglean.CANNOT_OPEN)
        self.assertEqual([self.read(n) for n in ("b.c", "copy.h")], [b"int b;\n", b"_copy\n"])
        want = header("a.c") + "extern int a;\n"
        for output in ("+b.c", "made.h", "new.c"):
            self.assertOutput(self.glean("a.c", output), "")
        self.assertEqual(self.read("made.h"), expected(want))
        self.assertEqual(self.read("new.c"), expected(want))
        self.assertEqual(self.read("b.c"), b"int b;\n" + expected(want))

    @unittest.skipIf(WINDOWS, "Windows names hold no \"*\"")
    def test_a_name_holding_the_end_of_a_comment_keeps_the_header_a_comment(self):
        self.write("src*/q.c", "_v int q;\n")
        self.assertOutput(self.glean("src*/q.c"), "/* FILE: src* /q.c " + "*" * 29 + "/\n"
                          "extern int q;\n")

    def test_inputs_in_command_line_order_wherever_the_output_stands(self):
        self.write("a.c", "_v int a;\n")
        self.write("b.c", "_v int b;\n")
        self.write("c.c", "_v int c;\n")
        want = expected(header("a.c") + "extern int a;\n" + header("b.c") + "extern int b;\n" +
                        header("c.c") + "extern int c;\n")
        for args in (["a.c", ":b.c", "out.h", "&c.c"], ["a.c", "out.h", ":b.c", "&c.c"]):
            self.write("out.h", "old content\n")
            self.assertOutput(self.glean(*args), "")
            self.assertEqual(self.read("out.h"), want, args)

    def test_plus_appends_to_the_output(self):
        self.write("a.c", "_v int a;\n")
        self.write("out.h", expected("old\n"))
        self.assertOutput(self.glean("a.c", "+out.h"), "")
        self.assertEqual(self.read("out.h"), expected("old\n" + header("a.c") + "extern int a;\n"))
        self.assertOutput(self.glean("a.c", "+new.h"), "")
        self.assertEqual(self.read("new.h"), expected(header("a.c") + "extern int a;\n"))

    def test_empty_input_arguments_yield_no_file(self):
        self.write("a.c", "_v int a;\n")
        self.assertOutput(self.glean("", ":", "&", ":a.c"), header("a.c") + "extern int a;\n")

    def test_output_that_cannot_be_opened(self):
        os.mkdir(self.path("dir"))
        self.write("a.c", "_v int a;\n")
        self.assertOutput(self.glean("a.c", "dir"), "", "couldn't open dir for w.", Protoglean.CANNOT_OPEN)
        self.assertOutput(self.glean("a.c", "+dir"), "", "couldn't open dir for a.", Protoglean.CANNOT_OPEN)

    def test_input_that_cannot_be_opened_leaves_the_output_as_it_was(self):
        self.write("a.c", "_v int a;\n")
        os.mkdir(self.path("d.c"))
        self.write("out.h", "old\n")
        self.assertOutput(self.glean("nothing*.c", "out.h"), "", "couldn't open nothing*.c for r.", Protoglean.CANNOT_OPEN)
        self.assertOutput(self.glean("a.c", ":d.c", "out.h"), "", "couldn't open d.c for r.", Protoglean.CANNOT_OPEN)
        self.assertOutput(self.glean("a.c", ":d.c", "new.h"), "", "couldn't open d.c for r.", Protoglean.CANNOT_OPEN)
        self.assertEqual(self.files(), ["a.c", "d.c", "out.h"])
        self.assertEqual(self.read("out.h"), b"old\n")

    @unittest.skipIf(WINDOWS, "/dev/full is a POSIX device")
    def test_output_that_cannot_be_written_is_no_success(self):
        self.write("a.c", "_v int a;\n")
        self.assertOutput(self.glean("a.c", "/dev/full"), "", "couldn't write /dev/full.\n", 13)


class Wildcards(ProtogleanCase):
    def sections(self, output):
        """The output's per-file sections, in order on POSIX; sorted on
        Windows, whose directory search has an order of its own."""
        parts = re.split(rb"(?=/\* FILE: )", output)[1:]
        return sorted(parts) if WINDOWS else parts

    def test_patterns_take_plain_files_keeping_the_directory_as_typed(self):
        for name in ("b.c", "a.c", "ab.c", "c.h", "sub/x.c", "sub/y.c"):
            self.write(name, "_v int %s;\n" % name[-3])
        os.mkdir(self.path("dir.c"))
        if not WINDOWS:
            self.write(".hidden.c", "_v int hidden;\n")
        decl = lambda name: expected(header(name) + "extern int %s;\n" % name[-3])
        result = self.glean("*.c")
        self.assertEqual(result.status, Protoglean.SUCCESS)
        self.assertEqual(self.sections(result.stdout), [decl("a.c"), decl("ab.c"), decl("b.c")])
        result = self.glean("?.c", ":sub/*")
        self.assertEqual(self.sections(result.stdout)[-2:], [decl("sub/x.c"), decl("sub/y.c")])
        self.assertEqual(sorted(self.sections(result.stdout)[:2]), [decl("a.c"), decl("b.c")])

    def test_a_name_matching_no_plain_file_is_opened_as_typed(self):
        self.write(".hidden.c", "_v int hidden;\n")
        self.assertOutput(self.glean(".hidden.c"), header(".hidden.c") + "extern int hidden;\n")


class BadInput(ProtogleanCase):
    def test_binary_and_huge_input_neither_crash_nor_grow(self):
        noise = bytes((i * 7919 + i // 13) % 256 for i in range(300000))
        self.write("bin.c", noise + b"\n_v int after_noise;\n")
        self.write("line.c", b"x" * 3000000 + b"\n_v int after_line;\n")
        self.write("decl.c", b"_f int f(" + b"(" * 3000000 + b"{\n_v int after_decl;\n")
        result = self.glean("bin.c", ":line.c", ":decl.c")
        self.assertEqual(result.status, Protoglean.SUCCESS)
        self.assertIn(expected("extern int after_noise;\n"), result.stdout)
        self.assertIn(expected(header("line.c") + "extern int after_line;\n"), result.stdout)
        self.assertIn(expected(header("decl.c") + "int f" + "(" * 994 + ";\n"), result.stdout)
        # The 3000000 parentheses left open make "=" no stop for the rest of
        # decl.c, but ";" still is.
        self.assertTrue(result.stdout.endswith(expected("extern int after_decl;\n")))

    @unittest.skipIf(WINDOWS, "file permissions are POSIX ones")
    def test_unreadable_input(self):
        if os.geteuid() == 0:
            self.skipTest("root reads every file")
        self.write("a.c", "_v int a;\n")
        os.chmod(self.path("a.c"), 0)
        self.assertOutput(self.glean("a.c"), "", "couldn't open a.c for r.", Protoglean.CANNOT_OPEN)


if __name__ == "__main__":
    unittest.main()
