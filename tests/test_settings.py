"""End-to-end runs of pravtweak whose INI files hold volume, pan and
soundfont sections over several map numbers."""

import re
import unittest

from harness import Pravtweak, ScratchTestCase, expected

# Pipravox10 in rank-id order, with the pan each rank has in the organ file.
RANKS = [
    ("Flute", 16), ("Trumpet", 112), ("Salicional", 16), ("Vox Humana", 112),
    ("Tibia Clausa", 64), ("Cathedral Chimes", 112), ("Xylophone", 16),
    ("Glockenspiel/Bells", 112), ("The Unknown Flute", 40), ("Traps", 64),
]
FIELDS = ("volume", "pan", "bank", "patch1", "patch2")


def organ_file():
    """An organ file holding every rank of Pipravox10; the line number of
    its </ranks> line."""
    lines = ["<?xml version=\"1.0\"?>", "<organ>", "\t<ranks>"]
    for rank_id, (name, pan) in enumerate(RANKS):
        lines += [f"\t\t<rank id=\"{rank_id}\">", f"\t\t\t<!-- {name} -->",
                  f"\t\t\t<channel>{rank_id}</channel>", "\t\t\t<volume>100</volume>",
                  f"\t\t\t<pan>{pan}</pan>", "\t\t\t<bank>25</bank>",
                  f"\t\t\t<patch1>{rank_id}</patch1>", f"\t\t\t<patch2>{rank_id + 50}</patch2>",
                  "\t\t</rank>"]
    lines.append("\t</ranks>")
    ranks_end = len(lines)
    lines.append("</organ>")
    return "\n".join(lines) + "\n", ranks_end


def written_ranks(xml):
    """Rank name -> dict of the values the generated section holds."""
    ranks = {}
    for block in re.findall(rb"<rank id=\"(\d+)\">(.*?)</rank>", xml, re.S):
        values = {f: int(re.search(rb"<" + f.encode() + rb">(-?\d+)<", block[1]).group(1))
                  for f in FIELDS}
        ranks[RANKS[int(block[0])][0]] = values
    return ranks


class SettingsRunTest(ScratchTestCase):
    def run_ini(self, sections, mapnumber=2):
        organ, ranks_end = organ_file()
        self.write("organ.xml", organ)
        self.write("x.ini", f"[pravtweak]\nmapnumber={mapnumber}\n[prav]\n"
                            f"pipravox=Pipravox10\nxml=organ.xml\n{sections}")
        return self.run_program("pravtweak", "x.ini"), organ.encode(), ranks_end

    def test_sections_of_every_kind_change_the_organ_file(self):
        result, organ, _ = self.run_ini(
            "[volume]\nelse=6      ; the default\ntraps=16\nsalicional=m0\n"
            "[volume2]\nflute=m99999999999\n"
            "[pan]\nelse=7\nTrumpet=L4\nXylophone = R 3\nunknown=m8\n"
            "[pan2]\nright=2\n"
            "[soundfont]\nbank=30\ntrumpet=50,0\nxylophone=29,94,44\nvox=1,2\n"
            "[soundfont2]\nbank=7\nchimes= 3 , 4\n")
        self.assertEqual((result.status, result.stderr), (Pravtweak.REPLACED, b""), result)
        self.assertEqual(self.read("organ.b~k"), organ)
        ranks = written_ranks(self.read("organ.xml"))
        self.assertEqual(len(ranks), 10)
        expect = {
            # name: volume, pan, bank, patch1, patch2
            "Flute": (127, 8, 25, 0, 50),
            "Trumpet": (47, 32, 30, 50, 0),
            "Salicional": (0, 8, 25, 2, 52),
            "Vox Humana": (47, 80, 30, 1, 2),
            "Tibia Clausa": (47, 64, 25, 4, 54),
            "Cathedral Chimes": (47, 80, 7, 3, 4),
            "Xylophone": (47, 80, 29, 94, 44),
            "Glockenspiel/Bells": (47, 80, 25, 7, 57),
            "The Unknown Flute": (47, 0, 25, 8, 58),
            "Traps": (127, 64, 25, 9, 59),
        }
        for name, values in expect.items():
            self.assertEqual(tuple(ranks[name][f] for f in FIELDS), values, name)

    def test_bad_values_are_reported_and_the_organ_file_is_kept(self):
        result, organ, line = self.run_ini(
            "[volume]\nelse=foo\nFlute 8=3\nElse=6\n"
            "[volume2]\nclarinet=loud\ntraps=m\n"
            "[pan]\nLeft=2\nelse=bad\nTuba=3\ntrumpet=L9\nflute=R\n"
            "[pan2]\nvox=X4\n"
            "[soundfont]\nbank=30\nBank=31\ntraps=50\nflute=50,-1\n"
            "[soundfont2]\ntrumpet=50,0\ntibia=,\n"
            "[soundfont3]\ntrumpet=rubbish\n")
        self.assertEqual(result.status, Pravtweak.DECLINED, result)
        self.assertEqual(self.read("organ.xml"), organ)
        self.assertEqual(result.stdout, expected("\n"))
        messages = [
            "[volume]: bad else volume (foo).",
            "[volume]: didn't find rank Else.",
            "[volume]: didn't find rank Flute 8.",
            "[volume2]: didn't find rank clarinet.",
            "[volume2]: bad traps volume (m).",
            "[pan]: didn't find rank Tuba.",
            "[pan]; bad spec for \"Flute\": \"R\".",
            "[pan]; bad spec for \"Trumpet\": \"L9\".",
            "[pan2]; bad spec for \"Vox Humana\": \"X4\".",
            "[soundfont]: something wrong in \"flute=50,-1\"",
            "[soundfont]: something wrong in \"traps=50\"",
            "[soundfont2]: something wrong in \"tibia=,\"",
            "[soundfont2]: missing bank= for Trumpet=",
        ]
        text = "".join(f"pravtweak {line} {m}\n" for m in messages)
        text += f"pravtweak {len(messages)} errors: continue mutilation of\n\"organ.xml\"?\n"
        self.assertEqual(result.stderr, expected(text))

    def test_sections_above_the_map_number_are_not_read(self):
        result, _, _ = self.run_ini(
            "[volume]\ntraps=16\n[volume2]\nelse=foo\n[pan2]\nflute=?\n"
            "[soundfont2]\ntrumpet=50,0\n", mapnumber=1)
        self.assertEqual((result.status, result.stderr), (Pravtweak.REPLACED, b""), result)
        ranks = written_ranks(self.read("organ.xml"))
        self.assertEqual(ranks["Traps"]["volume"], 127)
        self.assertEqual(ranks["Flute"]["volume"], 100)
        self.assertEqual(ranks["Trumpet"]["patch1"], 1)


if __name__ == "__main__":
    unittest.main()
