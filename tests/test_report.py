"""pravtweak -v, the report of what a run changes, and INI files as Windows
editors save them."""

import os
import unittest

from harness import INI, Pravtweak, ScratchTestCase, expected, organ

TWO_SECTIONS = organ(after=("</organ>",)) + organ(before=("<more>",), after=("</more>",))


class ChangeReport(ScratchTestCase):
    def test_report_lines_before_the_question_the_debug_stop_and_the_replacement(self):
        flute = "Flute: volume 90 -> 100\n"
        rows = [
            # arguments, INI settings, organ file, standard output, status
            (["-v"], "[volume]\nflute=m100\n", organ(), flute + "1 of 10 ranks changed.\n",
             Pravtweak.REPLACED),
            (["/v"], "", organ(), "0 of 10 ranks changed.\n", Pravtweak.REPLACED),
            (["-v", "-v-"], "[volume]\nflute=m100\n", organ(), "", Pravtweak.REPLACED),
            # Traps is not in the file: the catalogue's values count; the
            # question after the problem is answered no at once.
            (["-v"], "[volume]\ntraps=m100\n[soundfont]\ntrumpet=30,5,6\n", organ(range(9)),
             "Trumpet: bank 25 -> 30, patch1 1 -> 5, patch2 2 -> 6\nTraps: volume 95 -> 100\n"
             "2 of 10 ranks changed.\n\n", Pravtweak.DECLINED),
            (["-d", "-v"], "[volume]\nflute=m100\n", organ(),
             flute + "1 of 10 ranks changed.\nThe edited text is in AAAAAAA~.Q~V.\n\n",
             Pravtweak.DEBUG_STOP),
            (["-d", "-v"], "", "<organ/>\n", "The edited text is in AAAAAAA~.Q~V.\n\n",
             Pravtweak.DEBUG_STOP),
            # The second section held 90 again, whatever the first made.
            (["-v"], "[volume]\nflute=m100\n", TWO_SECTIONS,
             (flute + "1 of 10 ranks changed.\n") * 2, Pravtweak.REPLACED),
        ]
        for args, settings, organ_text, stdout, status in rows:
            for name in self.files():
                os.remove(self.path(name))
            self.write("organ.xml", organ_text)
            self.write("e.ini", INI + settings)
            r = self.run_program("pravtweak", *args, "e.ini")
            self.assertEqual((r.stdout, r.status), (expected(stdout), status), (args, r))


class IniFiles(ScratchTestCase):
    SETTINGS = "[volume]\nflute=m100\n[pan]\nTrumpet=L4\n"

    def edited(self, ini_bytes):
        self.write("organ.xml", organ())
        self.write("e.ini", ini_bytes)
        r = self.run_program("pravtweak", "-v", "e.ini")
        self.assertEqual(r.status, Pravtweak.REPLACED, r)
        return r.stdout

    def test_utf16_with_a_byte_order_mark_reads_like_its_utf8_twin(self):
        text = (INI + self.SETTINGS).replace("\n", "\r\n")
        utf8 = self.edited(text.encode())
        self.assertIn(b"Trumpet: pan 64 -> 32", utf8)
        for bom, encoding in ((b"\xff\xfe", "utf-16-le"), (b"\xfe\xff", "utf-16-be")):
            self.assertEqual(self.edited(bom + text.encode(encoding)), utf8, encoding)

    def test_mapnumber_under_prav_counts_when_pravtweak_gives_none(self):
        rows = [  # the [pravtweak] section, mapnumber under [prav], whether [volume4] counts
            ("", "mapnumber=4\n", True),
            ("[pravtweak]\nmapnumber=\n", "mapnumber=4\n", True),
            ("[pravtweak]\nmapnumber=2\n", "mapnumber=4\n", False),
            ("", "", False),  # three maps by default
        ]
        for pravtweak, prav, third_map_read in rows:
            stdout = self.edited(pravtweak + INI + prav + "[volume4]\nflute=m100\n")
            self.assertEqual(b"Flute: volume 90 -> 100" in stdout, third_map_read, (pravtweak, prav))

if __name__ == "__main__":
    unittest.main()
