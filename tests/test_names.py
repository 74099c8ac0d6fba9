"""Names and paths as users type them: absolute paths on the POSIX command
line, names in any script, paths longer than 260 characters, and INI files
with a byte-order mark or a control character before CR LF."""

import os
import re
import unittest

from harness import INI, WINDOWS, Pravtweak, Protoglean, ScratchTestCase, expected, organ

# Latin accents, Greek, CJK, and emoji, one beyond 16 bits (a surrogate pair).
NAMES = ["Orgue Cavaillé-Coll ❄", "Όργανο", "管风琴", "🎹 organ"]


def ini_for(xml, encoding="utf-8"):
    return INI.replace("organ.xml", xml).encode(encoding)


class Names(ScratchTestCase):
    def edit(self, ini_name, ini, status=Pravtweak.REPLACED, stderr=b""):
        self.write(ini_name, ini)
        r = self.run_program("pravtweak", ini_name)
        self.assertEqual((r.status, r.stderr), (status, stderr), ini_name)

    @unittest.skipIf(WINDOWS or os.path.exists("/r") or os.path.exists("/D"),
                     "options on Windows; paths where /r or /D exist")
    def test_absolute_paths_are_names_and_slash_options_stay_options(self):
        self.write("organ.xml", organ())
        ini = self.write("e.ini", ini_for(self.path("organ.xml")))
        top = "/" + ini.split("/")[1]  # one slash, an existing directory
        unknown = b'pravtweak 0:pipravox "" unknown!'  # the directory read as an INI file
        for args, status, stderr in (([ini, "-d"], Pravtweak.DEBUG_STOP, b"pravtweak 94, -d"),
                                     ([top, "-d"], Pravtweak.USAGE, unknown),
                                     ([ini, "/r"], Pravtweak.LISTING, b""),
                                     (["/D", ini], Pravtweak.USAGE, b"")):
            r = self.run_program("pravtweak", *args)
            self.assertEqual((r.status, r.stderr[:len(stderr)]), (status, stderr), args)

    def test_names_in_any_script_on_the_command_line_and_in_the_ini_file(self):
        for name in NAMES:
            self.write(name + ".xml", organ())
            self.edit(name + ".ini", ini_for(name + ".xml"))
            self.assertEqual(self.read(name + ".b~k"), organ().encode())
        missing = "missing " + " ".join(NAMES)
        self.edit("m.ini", ini_for(missing), Pravtweak.CANNOT_OPEN,
                  b"couldn't open %s for r." % missing.encode())

    @unittest.skipUnless(WINDOWS, "POSIX passes a name's bytes on unchanged")
    def test_ini_file_in_the_ansi_code_page(self):
        # The harness gives Wine the ANSI code page 1252, which spells é as
        # Latin-1 does.
        self.write("café.xml", organ())
        self.edit("e.ini", ini_for("café.xml", "latin-1"))
        self.assertEqual(self.read("café.b~k"), organ().encode())
        self.edit("e.ini", ini_for("cafés", "latin-1"), Pravtweak.CANNOT_OPEN,
                  b"couldn't open caf\xe9s for r.")

    def test_protoglean_wildcard_over_names_in_any_script(self):
        files = [name + ".c" for name in NAMES] + ["dir é/ü.c"]
        for name in files:
            self.write(name, "_v int x;\n")
        r = self.run_program("protoglean", "*.c", ":dir é/*.c", "out ❄.h")
        self.assertEqual((r.status, r.stderr), (Protoglean.SUCCESS, b""))
        want = [expected(b"/* FILE: %s *****************************/\nextern int x;\n"
                         % name.encode()) for name in files]
        self.assertEqual(sorted(re.split(rb"(?=/\* FILE)", self.read("out ❄.h"))[1:]),
                         sorted(want))

    def test_organ_path_longer_than_260_characters(self):
        deep = "/".join(c * 100 for c in "abc") + "/organ"
        self.write(deep + ".xml", organ())
        self.edit(deep + ".ini", ini_for(deep + ".xml"))
        self.assertEqual(self.read(deep + ".b~k"), organ().encode())

    def test_ini_with_byte_order_mark_or_control_character_before_crlf(self):
        for name, ini in (("bom.ini", b"\xef\xbb\xbf" + INI.replace("\n", "\r\n").encode()),
                          ("bel.ini", b"[prav]\r\npipravox=pipravox10\r\nxml=organ.xml\a\r\n")):
            self.write("organ.xml", organ())
            self.edit(name, ini)
            self.assertEqual(self.read("organ.b~k"), organ().encode())

if __name__ == "__main__":
    unittest.main()
