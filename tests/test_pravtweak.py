"""pravtweak end to end: command line, help text, the editing cycle, its
questions and exit statuses, and the safety of the organ file."""

import os
import re
import unittest

from harness import INI, Pravtweak, ScratchTestCase, expected, organ

class CommandLine(ScratchTestCase):
    def test_help_on_bad_command_lines(self):
        for args in ([], ["-D"], ["a.ini", "b.ini"], ["/d", "-x"]):
            r = self.run_program("pravtweak", *args)
            self.assertEqual(r.status, Pravtweak.USAGE, args)
            self.assertTrue(r.stdout.startswith(b"pravtweak mutilate Pipravox40.xml   "), args)
            self.assertIn(expected(";Also [volume]..[volume3]; likewise"), r.stdout)
            self.assertNotIn(b"::::", r.stdout)
            self.assertEqual(self.files(), [])

    def test_listing(self):
        r = self.run_program("pravtweak", "x.ini", "/r")
        self.assertEqual(r.status, Pravtweak.LISTING)
        lines = r.stdout.split(expected("\n"))[:-1]
        self.assertEqual(len(lines), 69)
        self.assertEqual(lines[:2], [b"Pipravox40X", b"  Flute"])

    def test_unknown_model(self):
        r = self.run_program("pravtweak", "missing.ini")
        self.assertEqual(r.status, Pravtweak.USAGE)
        self.assertEqual(r.stderr, expected('pravtweak 0:pipravox "" unknown!\n'))


class EditingCycle(ScratchTestCase):
    def test_clean_run_replaces_file_and_keeps_backup(self):
        original = organ()
        self.write("organ.xml", original)
        self.write("e.ini", INI)
        r = self.run_program("pravtweak", "e.ini")
        self.assertEqual((r.status, r.stdout, r.stderr), (Pravtweak.REPLACED, b"", b""))
        self.assertEqual(self.read("organ.b~k"), original.encode())
        out = self.read("organ.xml").decode()
        self.assertTrue(out.startswith("<organ>\r\n\t<ranks>\r\n\t<!-- pravtweak ranks "))
        self.assertEqual(out.count("\r\n"), 2 + 3 + 9 * 10)
        self.assertIn("\t\t\t<device>Pipravox Fluidsynth</device>\r\n", out)
        # A second run would change nothing but the date stamp: the organ
        # file is not touched, and the backup stays the original.
        before = os.stat(self.path("organ.xml"))
        r = self.run_program("pravtweak", "-v", "e.ini")
        self.assertEqual((r.status, r.stdout), (Pravtweak.REPLACED, expected(
            "0 of 10 ranks changed; organ.xml left as it was.\n")))
        after = os.stat(self.path("organ.xml"))
        self.assertEqual((after.st_ino, after.st_mtime_ns), (before.st_ino, before.st_mtime_ns))
        self.assertEqual((self.read("organ.xml"), self.read("organ.b~k")),
                         (out.encode(), original.encode()))
        self.assertEqual(self.files(), ["e.ini", "organ.b~k", "organ.xml"])

    def test_only_a_text_that_differs_beyond_the_date_stamp_is_written(self):
        self.write("organ.xml", organ())
        self.write("e.ini", INI)
        self.assertEqual(self.run_program("pravtweak", "e.ini").status, Pravtweak.REPLACED)
        own = re.sub(rb"ranks [^>]*-->", b"ranks %s -->", self.read("organ.xml"))
        rows = [
            # the organ file, whether the run writes it
            (own % b"Monday 1/2/03 4:05 am", False),
            (b"<organ/>\r\n", False),
            (own % b"Monday 1/2/03 4:05 am tuned", True),
            (own.replace(b"Pipravox Fluidsynth", b"Console", 1) % b"Monday 1/2/03 4:05 am", True),
        ]
        for text, written in rows:
            self.write("organ.xml", text)
            if os.path.exists(self.path("organ.b~k")):
                os.remove(self.path("organ.b~k"))
            self.assertEqual(self.run_program("pravtweak", "e.ini").status, Pravtweak.REPLACED)
            self.assertEqual((os.path.exists(self.path("organ.b~k")),
                              self.read("organ.xml") == text), (written, not written), text[:40])

    def test_lf_file_and_nul_bytes_copied_byte_for_byte(self):
        text = organ(eol="\n", before=("a\0b\x1a\xff", "x" * 3000), after=("tail\0",))
        self.write("organ.xml", text)
        self.write("e.ini", INI)
        self.assertEqual(self.run_program("pravtweak", "e.ini").status, Pravtweak.REPLACED)
        out = self.read("organ.xml")
        self.assertTrue(out.startswith(b"a\0b\x1a\xff\n" + b"x" * 3000 + b"\n\t<ranks>\n"))
        self.assertTrue(out.endswith(b"\t</ranks>\ntail\0\n"))

    def test_errors_without_terminal_end_with_12(self):
        original = organ(ids=range(9))
        self.write("organ.xml", original)
        self.write("e.ini", INI)
        r = self.run_program("pravtweak", "e.ini")
        self.assertEqual(r.status, Pravtweak.DECLINED)
        self.assertEqual(r.stderr, expected(
            "pravtweak 84:rank Traps wasn't read!\n"
            "pravtweak 1 errors: continue mutilation of\n\"organ.xml\"?\n"))
        self.assertEqual(r.stdout, expected("\n"))
        self.assertEqual(self.read("organ.xml"), original.encode())
        self.assertIn("AAAAAAA~.Q~V", self.files())

    def test_debug_stop_and_premature_end(self):
        self.write("organ.xml", organ())
        self.write("e.ini", INI)
        r = self.run_program("pravtweak", "-d", "e.ini")
        self.assertEqual(r.status, Pravtweak.DEBUG_STOP)
        self.assertEqual(r.stderr, expected("pravtweak 94, -d debug (0 errors) (press a key)\n"))
        self.assertNotIn("organ.b~k", self.files())
        self.write("organ.xml", "<organ>\n<ranks>\n<rank id=\"0\">\n")
        r = self.run_program("pravtweak", "e.ini")
        self.assertEqual(r.status, Pravtweak.PREMATURE_END)
        self.assertEqual(r.stderr, expected("pravtweak 3:premature end of <ranks>\n"))

    def test_missing_or_directory_organ_file(self):
        os.mkdir(self.path("organ.xml"))
        self.write("e.ini", INI)
        r = self.run_program("pravtweak", "e.ini")
        self.assertEqual(r.status, Pravtweak.CANNOT_OPEN)
        self.assertEqual(r.stderr, b"couldn't open organ.xml for r.")

    def test_backup_named_file_is_never_its_own_backup(self):
        self.write("organ.b~k", organ())
        self.write("e.ini", INI.replace("organ.xml", "organ.b~k"))
        r = self.run_program("pravtweak", "e.ini")
        self.assertEqual(r.status, Pravtweak.NOT_REPLACED)
        self.assertEqual(r.stderr, expected("couldn't move organ.b~k to organ.b~k.\n"))
        self.assertEqual(self.read("organ.b~k"), organ().encode())

    def test_old_backup_directory_is_not_deleted(self):
        self.write("organ.xml", organ())
        os.mkdir(self.path("organ.b~k"))
        self.write("e.ini", INI)
        r = self.run_program("pravtweak", "e.ini")
        self.assertEqual(r.status, Pravtweak.NOT_REPLACED)
        self.assertTrue(r.stderr.startswith(b"couldn't move organ.xml to organ.b~k."))
        self.assertEqual(self.read("organ.xml"), organ().encode())
        self.assertTrue(os.path.isdir(self.path("organ.b~k")))


if __name__ == "__main__":
    unittest.main()
