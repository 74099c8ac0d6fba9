"""pravtweak keeps the organ file whole: text beside the rank section's
tags, odd files, links, permissions, races and faults at every step."""

import os
import re
import unittest

from harness import INI, Pravtweak, ScratchTestCase, organ


def section_lines(text):
    """The organ text with its generated date stamp made constant."""
    return re.sub(rb"ranks [^>]*-->", b"ranks -->", text)


class TextBesideTags(ScratchTestCase):
    def edit(self, text):
        self.write("organ.xml", text)
        self.write("e.ini", INI)
        r = self.run_program("pravtweak", "e.ini")
        self.assertEqual(r.status, Pravtweak.REPLACED, r)
        return section_lines(self.read("organ.xml"))

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
            own_lines = self.edit(b"".join(line + (eol or b"\r\n") for line in lines))
            lines[0] = before + b"<ranks>"
            lines[-1] = b"\t</ranks>" + after
            text = b"".join(line + (eol or b"\r\n") for line in lines[:-1]) + lines[-1] + eol
            self.assertEqual(self.edit(text), kept_before + own_lines + kept_after,
                             (before, after, eol))


if __name__ == "__main__":
    unittest.main()
