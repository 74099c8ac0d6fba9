"""pravtweak keeps the organ file whole: text beside the rank section's
tags, odd files, links, permissions, races, faults at every step of the
replacement, and bad names."""

import os
import re
import resource
import signal
import stat
import subprocess
import tempfile
import unittest

import harness
from harness import INI, WINDOWS, Pravtweak, ScratchTestCase, expected, organ

POSIX_ONLY = unittest.skipIf(WINDOWS, "a POSIX file-system feature")


def stamp_free(text):
    """The organ text with its generated date stamp made constant."""
    return re.sub(rb"ranks [^>]*-->", b"ranks -->", text)


class SafetyCase(ScratchTestCase):
    def edit(self, *args, ini=INI, **kw):
        self.write("e.ini", ini)
        return self.run_program("pravtweak", *args, "e.ini", **kw)

    def temp_files(self, directory=None):
        return [n for n in os.listdir(directory or self.dir) if n.endswith(".Q~V")]

    def edited(self, original):
        """What a clean run makes of original, date stamp aside."""
        self.write("reference/organ.xml", original)
        self.write("reference/e.ini", INI)
        r = harness.run("pravtweak", ["e.ini"], self.path("reference"))
        self.assertEqual(r.status, Pravtweak.REPLACED, r)
        with open(self.path("reference/organ.xml"), "rb") as f:
            return stamp_free(f.read())


class TextBesideTags(SafetyCase):
    def test_text_outside_the_section_is_kept_on_its_own_line(self):
        rows = [
            # before <ranks>, after </ranks>, line end, what is kept before and after
            (b"<organ>", b"</organ>", b"\r\n", b"<organ>\r\n", b"</organ>\r\n"),
            (b"  <organ> ", b"</organ>  ", b"\n", b"  <organ> \n", b"</organ>  \n"),
            (b" \t", b"\t ", b"\r\n", b"", b""),
            (b"", b"</organ>", b"", b"", b"</organ>"),
        ]
        for before, after, eol, kept_before, kept_after in rows:
            lines = organ(before=(), after=()).encode().split(b"\r\n")[:-1]
            own_lines = self.edited(b"".join(line + (eol or b"\r\n") for line in lines))
            lines[0] = before + b"<ranks>"
            lines[-1] = b"\t</ranks>" + after
            self.write("organ.xml", b"".join(line + (eol or b"\r\n") for line in lines[:-1]) +
                       lines[-1] + eol)
            self.assertEqual(self.edit().status, Pravtweak.REPLACED)
            self.assertEqual(stamp_free(self.read("organ.xml")), kept_before + own_lines +
                             kept_after, (before, after, eol))


class OddFiles(SafetyCase):
    def test_only_a_regular_file_is_an_organ_file(self):
        names = ["NUL"] if WINDOWS else ["fifo", "null", "/dev/zero", "dir"]
        if not WINDOWS:
            os.mkfifo(self.path("fifo"))
            os.mkdir(self.path("dir"))
            try:
                os.mknod(self.path("null"), stat.S_IFCHR | 0o666, os.makedev(1, 3))
            except OSError:
                names.remove("null")
        for name in names:
            r = self.edit(ini=INI.replace("organ.xml", name))
            self.assertEqual((r.status, r.stderr), (Pravtweak.CANNOT_OPEN,
                                                    f"couldn't open {name} for r.".encode()), name)
        if "null" in names:
            self.assertTrue(stat.S_ISCHR(os.stat(self.path("null")).st_mode))

    @POSIX_ONLY
    def test_an_ini_file_that_is_no_regular_file_is_read_as_missing(self):
        os.mkfifo(self.path("fifo.ini"))
        r = self.run_program("pravtweak", "fifo.ini")
        self.assertEqual((r.status, r.stderr), (Pravtweak.USAGE, b'pravtweak 0:pipravox "" unknown!\n'))


@POSIX_ONLY
class Links(SafetyCase):
    def test_a_link_is_followed_and_stays(self):
        original = organ().encode()
        self.write("real/organ.xml", original)
        os.symlink("real/organ.xml", self.path("hop"))
        os.symlink("hop", self.path("organ.xml"))
        self.assertEqual(self.edit().status, Pravtweak.REPLACED)
        self.assertEqual(os.readlink(self.path("organ.xml")), "hop")
        self.assertEqual(self.read("real/organ.b~k"), original)
        self.assertEqual(stamp_free(self.read("real/organ.xml")), self.edited(original))
        self.assertFalse(os.path.lexists(self.path("organ.b~k")))

    def test_broken_links_fail_like_a_missing_file(self):
        os.symlink("nowhere.xml", self.path("organ.xml"))
        os.symlink("loop2", self.path("loop1"))
        os.symlink("loop1", self.path("loop2"))
        for name in ("organ.xml", "loop1"):
            r = self.edit(ini=INI.replace("organ.xml", name))
            self.assertEqual((r.status, r.stderr),
                             (Pravtweak.CANNOT_OPEN, f"couldn't open {name} for r.".encode()))


class Permissions(SafetyCase):
    @POSIX_ONLY
    def test_mode_owner_and_group_are_kept(self):
        for mode, owner in ((0o640, 1234), (0o600, None), (0o444, None)):
            self.write("organ.xml", organ())
            os.chmod(self.path("organ.xml"), mode)
            if owner is not None and os.geteuid() == 0:
                os.chown(self.path("organ.xml"), owner, owner)
            before = os.stat(self.path("organ.xml"))
            self.assertEqual(self.edit().status, Pravtweak.REPLACED)
            after = os.stat(self.path("organ.xml"))
            self.assertEqual((stat.S_IMODE(after.st_mode), after.st_uid, after.st_gid),
                             (mode, before.st_uid, before.st_gid), oct(mode))

    def test_a_read_only_file_stays_read_only(self):
        self.write("organ.xml", organ())
        os.chmod(self.path("organ.xml"), 0o444)
        self.assertEqual(self.edit().status, Pravtweak.REPLACED)
        self.assertFalse(os.stat(self.path("organ.xml")).st_mode & 0o222)
        self.assertNotEqual(self.read("organ.xml"), organ().encode())


class Races(SafetyCase):
    def test_a_run_that_finds_the_file_changed_changes_nothing(self):
        # The first run waits for its answer while a second run edits the
        # same organ file; the first then must not replace the second's work.
        original = organ().encode()
        self.write("organ.xml", original)
        self.write("e.ini", INI + "[volume]\nno such rank=3\n")
        self.write("other/o.ini", INI.replace("organ.xml", "../organ.xml"))
        second = []
        status, seen = harness.run_on_terminal("pravtweak", ["e.ini"], self.dir, [
            (b"mutilation", lambda: second.append(
                harness.run("pravtweak", ["o.ini"], self.path("other")))), b"y"])
        self.assertEqual(second[0].status, Pravtweak.REPLACED)
        self.assertEqual(status, Pravtweak.NOT_REPLACED)
        self.assertIn(harness.terminal_words(b"organ.xml changed during the edit."),
                      harness.terminal_words(seen))
        self.assertEqual(stamp_free(self.read("organ.xml")), self.edited(original))
        self.assertEqual(self.read("organ.b~k"), original)
        self.assertEqual(self.temp_files() + self.temp_files(self.path("other")), [])


class Faults(SafetyCase):
    def test_a_write_error_leaves_the_organ_file_and_no_temporary_file(self):
        big = organ(before=("<!--" + "x" * 200000 + "-->",)).encode()
        self.write("organ.xml", big)
        self.write("e.ini", INI)

        def small_disk():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (65536, 65536))

        command = ([harness.EMULATOR] if harness.EMULATOR else []) + [
            harness.program("pravtweak"), "e.ini"]
        done = subprocess.run(command, cwd=self.dir, capture_output=True, preexec_fn=small_disk,
                              env=harness.program_environment(), timeout=120)
        self.assertEqual(done.returncode, Pravtweak.NOT_REPLACED, done)
        # A Wine server started by this run inherits the limit and may add
        # its own complaint.
        self.assertTrue(done.stderr.startswith(expected("couldn't write AAAAAAA~.Q~V.\n")), done)
        self.assertEqual(self.read("organ.xml"), big)
        self.assertEqual(self.temp_files(), [])

    @POSIX_ONLY
    def test_the_replacement_syncs_links_and_renames_in_order(self):
        self.write("organ.xml", organ())
        self.write("organ.b~k", "old backup")
        log = self.path("calls.log")
        r = self.edit(env={"FAULT_SHIM_LOG": log, **self.preload()})
        self.assertEqual(r.status, Pravtweak.REPLACED, r)
        with open(log) as f:
            calls = [line.split() for line in f]
        self.assertEqual(calls, [["fsync", "file"], ["unlink", "organ.b~k"],
                                 ["link", "organ.xml", "organ.b~k"],
                                 ["rename", "AAAAAAA~.Q~V", "organ.xml"], ["fsync", "directory"]])

    @POSIX_ONLY
    def test_a_kill_at_any_step_leaves_the_old_or_the_new_file(self):
        other_fs = tempfile.mkdtemp(prefix="e2e-", dir="/dev/shm") if os.path.isdir(
            "/dev/shm") else None
        if other_fs:
            self.addCleanup(subprocess.run, ["rm", "-rf", other_fs])
        original = organ().encode()
        new = self.edited(original)
        for where in [self.dir] + ([other_fs] if other_fs else []):
            steps = 0
            while True:
                steps += 1
                self.write("organ.xml", original)
                self.write("e.ini", INI.replace("organ.xml", self.path("organ.xml")))
                r = harness.run("pravtweak", [os.path.relpath(self.path("e.ini"), where)], where,
                                env={"FAULT_SHIM_KILL_AT": str(steps), **self.preload()})
                now = stamp_free(self.read("organ.xml"))
                self.assertIn(now, (original, new), (where, steps))
                if r.status != -signal.SIGKILL:
                    break
            self.assertEqual((r.status, now), (Pravtweak.REPLACED, new))
            self.assertGreater(steps, 4, where)
            for directory in {where, self.dir}:
                for name in self.temp_files(directory):
                    os.remove(os.path.join(directory, name))

    def preload(self):
        shim = os.environ.get("FAULT_SHIM")
        if not shim:
            self.skipTest("the fault shim is not built")
        return {"LD_PRELOAD": shim, "ASAN_OPTIONS": "verify_asan_link_order=0:" +
                os.environ.get("ASAN_OPTIONS", "")}

    @POSIX_ONLY
    def test_temporary_file_on_another_file_system_is_copied_beside(self):
        if not os.path.isdir("/dev/shm"):
            self.skipTest("no /dev/shm")
        work = tempfile.mkdtemp(prefix="e2e-", dir="/dev/shm")
        self.addCleanup(subprocess.run, ["rm", "-rf", work])
        if os.stat(work).st_dev == os.stat(self.dir).st_dev:
            self.skipTest("/dev/shm is on the same file system")
        original = organ().encode()
        self.write("organ.xml", original)
        self.write("e.ini", INI.replace("organ.xml", self.path("organ.xml")))
        r = harness.run("pravtweak", [os.path.relpath(self.path("e.ini"), work)], work)
        self.assertEqual(r.status, Pravtweak.REPLACED, r)
        self.assertEqual(self.read("organ.b~k"), original)
        self.assertEqual((os.listdir(work), self.temp_files()), ([], []))


class BadInput(SafetyCase):
    def test_long_names_and_long_lines(self):
        for name in ("n" * 300 + ".xml", "d/" * 2500 + "o.xml"):
            r = self.edit(ini=INI.replace("organ.xml", name))
            self.assertEqual((r.status, r.stderr), (Pravtweak.CANNOT_OPEN,
                                                    f"couldn't open {name} for r.".encode()))
        original = organ(before=("<o>" + "x" * 3000000 + "<ranks>",)).encode()
        self.write("organ.xml", original)
        r = self.edit()
        self.assertEqual(r.status, Pravtweak.REPLACED)
        self.assertEqual(self.read("organ.b~k"), original)

    @POSIX_ONLY
    def test_a_link_into_a_directory_that_cannot_change(self):
        original = organ().encode()
        self.write("locked/organ.xml", original)
        os.symlink("locked/organ.xml", self.path("organ.xml"))
        if subprocess.run(["chattr", "+i", self.path("locked")], capture_output=True).returncode:
            self.skipTest("chattr +i is not available here")
        self.addCleanup(subprocess.run, ["chattr", "-i", self.path("locked")])
        r = self.edit()
        self.assertEqual((r.status, r.stderr), (
            Pravtweak.NOT_REPLACED, b"couldn't move locked/organ.xml to locked/organ.b~k.\n"))
        self.assertEqual(self.read("locked/organ.xml"), original)
        self.assertEqual(self.temp_files(), [])


if __name__ == "__main__":
    unittest.main()
