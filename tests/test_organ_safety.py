"""pravtweak keeps the organ file whole: text beside the rank section's
tags, odd files, links, permissions, races, faults at every step of the
replacement, and bad names."""

import contextlib
import fcntl
import os
import re
import resource
import shutil
import signal
import stat
import struct
import subprocess
import tempfile
import time
import unittest

import harness
from harness import INI, WINDOWS, Pravtweak, ScratchTestCase, expected, organ

POSIX_ONLY = unittest.skipIf(WINDOWS, "a POSIX file-system feature")
# Wine gives a program on a pseudo-terminal a console of its own, where a
# failing run waits for a key before its window would close.
CLOSE_WINDOW = [(b"Press a key to close this window.", b"x")] if WINDOWS else []


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

    @POSIX_ONLY
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
                harness.run("pravtweak", ["o.ini"], self.path("other")))), b"y"] + CLOSE_WINDOW)
        self.assertEqual(second[0].status, Pravtweak.REPLACED)
        self.assertEqual(status, Pravtweak.NOT_REPLACED)
        self.assertIn(harness.terminal_words(b"organ.xml changed during the edit."),
                      harness.terminal_words(seen))
        self.assertEqual(stamp_free(self.read("organ.xml")), self.edited(original))
        self.assertEqual(self.read("organ.b~k"), original)
        self.assertEqual(self.temp_files() + self.temp_files(self.path("other")), [])

    def test_a_change_that_sets_the_modification_time_back_is_caught(self):
        original = organ().encode()
        self.write("organ.xml", original)
        self.write("e.ini", INI + "[volume]\nno such rank=3\n")
        changed = original.replace(b"<pan>64</pan>", b"<pan>65</pan>", 1)

        def change_behind_its_back():
            before = os.stat(self.path("organ.xml"))
            with open(self.path("organ.xml"), "r+b") as f:
                f.write(changed)
            os.utime(self.path("organ.xml"), ns=(before.st_atime_ns, before.st_mtime_ns))

        status, seen = harness.run_on_terminal("pravtweak", ["e.ini"], self.dir, [
            (b"mutilation", change_behind_its_back), b"y"] + CLOSE_WINDOW)
        self.assertEqual(status, Pravtweak.NOT_REPLACED)
        self.assertIn(harness.terminal_words(b"organ.xml changed during the edit."),
                      harness.terminal_words(seen))
        self.assertEqual((self.read("organ.xml"), self.temp_files()), (changed, []))

    def test_runs_started_together_never_lose_an_edit(self):
        # Each run sets the volume of one rank; whatever the timing, the
        # file ends with the edits of exactly the runs that ended with 0,
        # and every other run says why it changed nothing.
        ranks = ["Flute", "Trumpet", "Salicional", "Vox Humana", "Tibia Clausa", "Cathedral",
                 "Xylophone", "Glockenspiel", "Unknown", "Traps"]
        runs, rounds = (3, 3) if WINDOWS else (10, 5)
        for _ in range(rounds):
            self.write("organ.xml", organ())
            for k in range(runs):
                self.write(f"e{k}.ini", INI + f"[volume]\n{ranks[k]}=m{101 + k}\n")
            command = ([harness.EMULATOR] if harness.EMULATOR else []) + [
                harness.program("pravtweak")]
            started = [subprocess.Popen(command + [f"e{k}.ini"], cwd=self.dir,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=harness.program_environment())
                       for k in range(runs)]
            ended = [(p.wait(timeout=120), p.stderr.read()) for p in started]
            for p in started:
                p.stdout.close()
                p.stderr.close()
            volumes = re.findall(rb"<volume>(\d+)</volume>", self.read("organ.xml"))
            replaced = {k for k, (status, _) in enumerate(ended) if status == Pravtweak.REPLACED}
            self.assertTrue(replaced, ended)
            self.assertEqual({k for k in range(runs) if volumes[k] == b"%d" % (101 + k)},
                             replaced, ended)
            for k, (status, stderr) in enumerate(ended):
                if k not in replaced:
                    self.assertEqual((status, stderr), (Pravtweak.NOT_REPLACED, expected(
                        "organ.xml changed during the edit.\n")))
            self.assertEqual(self.temp_files(), [])


class Faults(SafetyCase):
    def test_a_write_error_leaves_the_organ_file_and_no_temporary_file(self):
        big = organ(before=("<!--" + "x" * 200000 + "-->",)).encode()
        self.write("organ.xml", big)
        self.write("e.ini", INI)

        def small_disk():
            # The Windows build runs in Wine, which cannot ignore the signal
            # for it; pravtweak ignores it itself.
            if WINDOWS:
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
        # The organ file is locked before the check, the new file before it
        # takes the organ name, until the previous content is the backup.
        self.assertEqual(calls, [["fsync", "file"], ["flock"], ["link", "organ.xml", "AAAAAAB~.Q~V"],
                                 ["flock"], ["rename", "AAAAAAA~.Q~V", "organ.xml"],
                                 ["fsync", "directory"], ["rename", "AAAAAAB~.Q~V", "organ.b~k"],
                                 ["fsync", "directory"]])

    @POSIX_ONLY
    def test_a_kill_at_any_step_leaves_the_old_or_the_new_file(self):
        other_fs = tempfile.mkdtemp(prefix="e2e-", dir="/dev/shm") if os.path.isdir(
            "/dev/shm") else None
        if other_fs:
            self.addCleanup(subprocess.run, ["rm", "-rf", other_fs])
        original = organ().encode()
        new = self.edited(original)
        # Where the run starts, which calls are refused (protected hard
        # links refuse link(), and the previous content is copied instead),
        # and what it does: an edit, or an undo, which swaps the organ file
        # and its backup.
        rows = [(self.dir, "", []), (self.dir, "link", []), (self.dir, "", ["-u"]),
                (self.dir, "link", ["-u"])] + ([(other_fs, "", [])] if other_fs else [])
        for where, refuse, args in rows:
            before = (original, b"old backup") if not args else (new, original)
            after = (new, original) if not args else (original, new)
            steps = 0
            while True:
                steps += 1
                self.write("organ.xml", before[0])
                self.write("organ.b~k", before[1])
                self.write("e.ini", INI.replace("organ.xml", self.path("organ.xml")))
                r = harness.run("pravtweak", args + [os.path.relpath(self.path("e.ini"), where)],
                                where, env={"FAULT_SHIM_KILL_AT": str(steps),
                                            "FAULT_SHIM_REFUSE": refuse, **self.preload()})
                now = stamp_free(self.read("organ.xml"))
                self.assertIn(now, (before[0], after[0]), (where, refuse, args, steps))
                if now == before[0]:
                    self.assertEqual(self.read("organ.b~k"), before[1])
                else:  # the previous content is the backup or under a temporary name
                    kept = [self.read("organ.b~k")] + [self.read(n) for n in self.temp_files()]
                    self.assertIn(before[0], [stamp_free(k) for k in kept])
                if r.status != -signal.SIGKILL:
                    break
            self.assertEqual((r.status, now, stamp_free(self.read("organ.b~k"))),
                             (Pravtweak.REPLACED, after[0], after[1]), (where, refuse, args))
            self.assertGreater(steps, 5, (where, refuse, args))
            for directory in {where, self.dir}:
                for name in self.temp_files(directory):
                    os.remove(os.path.join(directory, name))

    def preload(self):
        """The environment that preloads the fault shim."""
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


def posix_acl(*entries):
    """The system.posix_acl_access value of (tag, permissions, id) entries."""
    return struct.pack("<I", 2) + b"".join(struct.pack("<HHI", *e) for e in entries)


class OtherUsersAndAttributes(SafetyCase):
    """Faults that need a second user (uid 1234, through setpriv) or
    extended attributes; root cannot bypass what is checked here."""

    def setUp(self):
        super().setUp()
        if WINDOWS:
            self.skipTest("a POSIX file-system feature")

    def watch(self, directory, mode, arg):
        """Starts tests/watcher.c as uid 1234 on directory."""
        missing = [t for t in ("cc", "setpriv") if not shutil.which(t)]
        if missing or os.geteuid() != 0:
            self.skipTest(f"needs root, cc and setpriv (missing: {missing or 'root'})")
        watcher = self.path("watcher")
        subprocess.run(["cc", "-O2", "-o", watcher, os.path.join(os.path.dirname(__file__),
                        "watcher.c")], check=True)
        proc = subprocess.Popen(["setpriv", "--reuid=1234", "--regid=1234", "--clear-groups",
                                 watcher, directory, mode, arg], stdout=subprocess.PIPE)
        self.addCleanup(proc.wait)
        self.addCleanup(proc.kill)
        self.assertEqual(proc.stdout.readline(), b"ready\n")

    def shared(self, name):
        """A directory where uid 1234 may rename entries, in one it may enter."""
        os.chmod(self.dir, 0o755)
        shared = self.path(name)
        os.mkdir(shared)
        os.chmod(shared, 0o777)
        return shared

    def test_another_user_can_neither_take_over_nor_read_the_temporary_file(self):
        original = organ().encode()
        for mode in ("swap", "read"):
            shared = self.shared(mode)
            victim = self.write("secret", b"root only")
            os.chmod(victim, 0o600)
            self.watch(shared, mode, victim if mode == "swap" else os.path.join(shared, "log"))
            self.write(f"{mode}/e.ini", INI)
            for _ in range(20):
                organ_path = self.write(f"{mode}/organ.xml", original)
                os.chmod(organ_path, 0o600)
                r = harness.run("pravtweak", ["e.ini"], shared)
                # The edit is in place, or the run changed nothing; only the
                # previous content's name taken over may fail after the edit
                # is in, and the message then names no file that lost it.
                self.assertFalse(os.path.islink(organ_path), mode)
                now = stamp_free(self.read(organ_path))
                if r.status == Pravtweak.NOT_REPLACED and now != original:
                    self.assertRegex(r.stderr, rb"^(couldn't move \S+ to organ.b~k.|couldn't keep "
                                     rb"the previous content of organ.xml.)\n$")
                    moved = re.match(rb"couldn't move (\S+) to", r.stderr)
                    if moved:
                        self.assertEqual(self.read(f"{mode}/{moved[1].decode()}"), original)
                self.assertIn((r.status, now), [(Pravtweak.REPLACED, self.edited(original)), (
                    Pravtweak.NOT_REPLACED, original), (Pravtweak.NOT_REPLACED,
                                                        self.edited(original))], r)
            self.assertEqual((self.read("secret"), stat.S_IMODE(os.stat(victim).st_mode)),
                             (b"root only", 0o600))
            if mode == "swap":
                self.assertTrue(any(n.endswith(".away") for n in os.listdir(shared)))
            else:
                log = self.read(f"{mode}/log").split(b"\n")
                self.assertTrue(any(line.startswith(b"seen") for line in log))
                self.assertFalse([line for line in log if line.startswith(b"read")])

    def test_a_temporary_file_left_behind_stays_private(self):
        self.write("organ.xml", organ())
        os.chmod(self.path("organ.xml"), 0o644)
        self.assertEqual(self.edit("-d").status, Pravtweak.DEBUG_STOP)
        self.assertEqual(stat.S_IMODE(os.stat(self.path(self.temp_files()[0])).st_mode), 0o600)

    def test_acl_and_user_attributes_are_carried_over_or_nothing_changes(self):
        # user::rw- user:1234:rw- group::r-- mask::rw- other::---
        acl = posix_acl((1, 6, 0xFFFFFFFF), (2, 6, 1234), (4, 4, 0xFFFFFFFF),
                        (0x10, 6, 0xFFFFFFFF), (0x20, 0, 0xFFFFFFFF))
        original = organ().encode()
        for refuse, status in (("", Pravtweak.REPLACED), ("fsetxattr", Pravtweak.NOT_REPLACED)):
            path = self.write("organ.xml", original)
            self.write("organ.b~k", "old backup")
            try:
                os.setxattr(path, "system.posix_acl_access", acl)
                os.setxattr(path, "user.note", b"kept")
            except OSError as e:
                self.skipTest(f"no ACLs or user attributes here: {e}")
            mode = os.stat(path).st_mode
            r = self.edit(env={"FAULT_SHIM_REFUSE": refuse, **Faults.preload(self)})
            self.assertEqual(r.status, status, r)
            self.assertEqual((os.getxattr(path, "system.posix_acl_access"),
                              os.getxattr(path, "user.note"), os.stat(path).st_mode),
                             (acl, b"kept", mode), refuse)
            if refuse:
                self.assertEqual(r.stderr, b"couldn't move AAAAAAA~.Q~V to organ.xml.\n")
                self.assertEqual((self.read("organ.xml"), self.read("organ.b~k")),
                                 (original, b"old backup"))
            self.assertEqual(self.temp_files(), [])


class HeldFiles(SafetyCase):
    def hold(self, held, how, name):
        """Starts tests/holder.cpp holding name, until held (an ExitStack) closes."""
        command = ([harness.EMULATOR] if harness.EMULATOR else []) + [
            harness.program("holder"), how, self.path(name)]
        holder = held.enter_context(subprocess.Popen(
            command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            env=harness.program_environment()))
        self.assertEqual(holder.stdout.readline().strip(), b"holding")

    def test_a_file_held_by_another_program_fails_the_run_soon_and_leaves_one_name(self):
        def shared_lock_of_a_reader(held, name):
            reader = held.enter_context(open(self.path(name), "rb"))
            fcntl.flock(reader, fcntl.LOCK_SH)

        in_use = (Pravtweak.NOT_REPLACED, "organ.xml is in use by another program.\n")
        rows = [
            # how the organ file is held, then what the run ends with
            (lambda held, name: self.hold(held, "lock", name), in_use),
            # Windows cannot replace a file held open without delete sharing.
            (lambda held, name: self.hold(held, "open", name),
             (Pravtweak.NOT_REPLACED, "couldn't move AAAAAAA~.Q~V to organ.xml.\n") if WINDOWS
             else (Pravtweak.REPLACED, "")),
        ] + ([] if WINDOWS else [(shared_lock_of_a_reader, in_use)])
        original = organ().encode()
        for held_by, (status, stderr) in rows:
            self.write("organ.xml", original)
            self.write("organ.b~k", "old backup")
            self.write("e.ini", INI + "[volume]\nflute=m100\n")
            with contextlib.ExitStack() as held:
                held_by(held, "organ.xml")
                started = time.monotonic()
                r = self.run_program("pravtweak", "e.ini")
                self.assertLess(time.monotonic() - started, 15)
            self.assertEqual((r.status, r.stderr), (status, expected(stderr)))
            if status != Pravtweak.REPLACED:
                self.assertEqual((self.read("organ.xml"), self.read("organ.b~k")),
                                 (original, b"old backup"))
            self.assertEqual((self.temp_files(), os.stat(self.path("organ.xml")).st_nlink), ([], 1))

    @POSIX_ONLY
    def test_without_locks_the_check_alone_guards_and_v_says_so(self):
        self.write("organ.xml", organ())
        r = self.edit("-v", env={"FAULT_SHIM_REFUSE": "flock", **Faults.preload(self)})
        self.assertEqual(r.status, Pravtweak.REPLACED, r)
        self.assertEqual(r.stdout.split(b"\n")[-2], b"organ.xml cannot be locked here: only the "
                         b"check that it was unchanged guarded it.")
        self.assertEqual(self.read("organ.b~k"), organ().encode())


class FailedSwap(SafetyCase):
    def test_a_failed_swap_keeps_the_organ_file_and_the_previous_backup(self):
        original = organ().encode()
        for flag in ("+i", "+a"):
            self.write("organ.xml", original)
            self.write("organ.b~k", "old backup")
            if subprocess.run(["chattr", flag, self.path("organ.xml")],
                              capture_output=True).returncode:
                self.skipTest(f"chattr {flag} is not available here")
            try:
                r = self.edit()
            finally:
                subprocess.run(["chattr", flag.replace("+", "-"), self.path("organ.xml")])
            self.assertEqual((r.status, r.stderr[:14]),
                             (Pravtweak.NOT_REPLACED, expected(b"couldn't move ")), flag)
            self.assertEqual((self.read("organ.xml"), self.read("organ.b~k"), self.temp_files()),
                             (original, b"old backup", []), flag)


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
