"""pravtweak -u: the last replacement undone, and undone again, through the
same guarded replacement as an edit."""

import os
import stat
import unittest

from harness import INI, WINDOWS, Pravtweak, ScratchTestCase, expected, organ

SETTINGS = "[volume]\nflute=m100\n"


class Undo(ScratchTestCase):
    def test_undo_restores_the_original_and_undo_again_redoes(self):
        original = organ().encode()
        # The organ path as a file, and as a symbolic link to one elsewhere.
        for organ_path, real in (("organ.xml", "organ.xml"), ("link.xml", "real/organ.xml")):
            self.write(real, original)
            if organ_path != real:
                os.symlink(real, self.path(organ_path))
            os.chmod(self.path(real), 0o640)
            backup = real.replace(".xml", ".b~k")
            self.write("e.ini", INI.replace("organ.xml", organ_path) + SETTINGS)
            self.assertEqual(self.run_program("pravtweak", "e.ini").status, Pravtweak.REPLACED)
            edited = self.read(real)

            r = self.run_program("pravtweak", "-u", "-v", "e.ini")
            self.assertEqual((r.status, r.stdout, r.stderr), (Pravtweak.REPLACED, expected(
                "Flute: volume 100 -> 90\n1 of 10 ranks changed.\n"), b""), organ_path)
            self.assertEqual((self.read(real), self.read(backup)), (original, edited))
            r = self.run_program("pravtweak", "/u", "e.ini")
            self.assertEqual((r.status, r.stdout), (Pravtweak.REPLACED, b""))
            self.assertEqual((self.read(real), self.read(backup)), (edited, original))
            if not WINDOWS:
                self.assertEqual(stat.S_IMODE(os.stat(self.path(real)).st_mode), 0o640)
            if organ_path != real:
                self.assertEqual(os.readlink(self.path(organ_path)), real)
            self.assertEqual([n for n in self.files() if n.endswith(".Q~V")], [])

    def test_nothing_to_undo_and_options_that_edit(self):
        self.write("organ.xml", organ())
        self.write("e.ini", INI)
        rows = [
            # arguments, status, standard error
            (["-u"], Pravtweak.CANNOT_OPEN, "organ.b~k not found, nothing to undo.\n"),
            (["-u", "-d"], Pravtweak.USAGE, ""),
            (["-d", "-u"], Pravtweak.USAGE, ""),
            (["-u", "-r"], Pravtweak.USAGE, ""),
            (["/u", "/d"], Pravtweak.USAGE, ""),
        ]
        for args, status, stderr in rows:
            r = self.run_program("pravtweak", *args, "e.ini")
            self.assertEqual((r.status, r.stderr), (status, expected(stderr)), args)
            self.assertEqual(self.files(), ["e.ini", "organ.xml"], args)
            self.assertEqual(self.read("organ.xml"), organ().encode())


if __name__ == "__main__":
    unittest.main()
