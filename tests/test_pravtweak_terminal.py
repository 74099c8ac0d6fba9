"""pravtweak's questions answered on a pseudo-terminal, and on the Windows
build (under Wine) a console window of its own."""

import os
import unittest

import harness
from harness import INI, Pravtweak, ScratchTestCase, WINDOWS, organ


def run_on_terminal(args, cwd, keys):
    return harness.run_on_terminal("pravtweak", args, cwd, keys)


@unittest.skipIf(WINDOWS, "pseudo-terminals are a POSIX test device")
class Terminal(ScratchTestCase):
    def test_question_answered_y_Y_and_n(self):
        for key, status in ((b"y", Pravtweak.REPLACED), (b"Y", Pravtweak.REPLACED),
                            (b"n", Pravtweak.DECLINED)):
            self.write("organ.xml", organ(ids=range(9)))
            self.write("e.ini", INI)
            code, seen = run_on_terminal(["e.ini"], self.dir, [key])
            self.assertEqual(code, status, key)
            self.assertEqual(os.path.exists(self.path("organ.b~k")), status == Pravtweak.REPLACED)
            for name in os.listdir(self.dir):
                os.remove(self.path(name))

    def test_pager(self):
        code, seen = run_on_terminal([], self.dir, [b"y", b"n"])
        self.assertEqual(code, Pravtweak.USAGE)
        self.assertIn(b":" * 66, seen)
        self.assertIn(b'(You can redirect this information to a file, i.e. "pravtweak >file~".)',
                      seen)
        self.assertIn(b"More? (Y/): N\x08", seen)
        self.assertIn(b"\r" + b" " * 21 + b"\r", seen)
        self.assertIn(b"Harmonic Tuba=R 3", seen)
        self.assertNotIn(b"[soundfont]", seen)
        code, seen = run_on_terminal([], self.dir, [b"\r"])
        self.assertEqual(code, Pravtweak.USAGE)
        self.assertNotIn(b"[pan]", seen)


@unittest.skipUnless(WINDOWS, "a console window of its own is a Windows habit")
class ConsoleOfItsOwn(ScratchTestCase):
    """Wine gives a program on a pseudo-terminal a console of its own, as
    Windows does for an INI file dropped on pravtweak.exe."""

    def test_the_ini_files_folder_is_the_current_one_and_failures_wait(self):
        self.write("organs/organ.xml", organ())
        self.write("organs/e.ini", INI)
        code, seen = run_on_terminal(["organs/e.ini"], self.dir, [])
        self.assertEqual(code, Pravtweak.REPLACED, seen)
        self.assertEqual(sorted(os.listdir(self.path("organs"))),
                         ["e.ini", "organ.b~k", "organ.xml"])
        self.write("organs/e.ini", INI.replace("organ.xml", "missing.xml"))
        code, seen = run_on_terminal(["organs/e.ini"], self.dir, [
            (b"Press a key to close this window.", b"x")])
        self.assertEqual(code, Pravtweak.CANNOT_OPEN, seen)
        self.assertIn(harness.terminal_words(b"couldn't open missing.xml for r."),
                      harness.terminal_words(seen))
        self.assertEqual(self.files(), ["organs"])
        # A bad command line too: the help's pager asks first.
        code, seen = run_on_terminal(["-x"], self.dir, [
            (b"More?", b"n"), (b"Press a key to close this window.", b"x")])
        self.assertEqual(code, Pravtweak.USAGE, seen)


if __name__ == "__main__":
    unittest.main()
