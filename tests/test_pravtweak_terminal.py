"""pravtweak's questions answered on a pseudo-terminal (POSIX build only)."""

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


if __name__ == "__main__":
    unittest.main()
