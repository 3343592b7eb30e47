#!/usr/bin/env python3
"""Tests of the Windows benchmark's host side: each tool's output read into figures, the agreement
with the walk, the page's tables, and the deep tree's plan."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import windows_bench as wb  # noqa: E402  (found through the path set just above)

ROOT = "D:\\a\\_temp\\fb\\deep 0123"
A = "\U0001D538"  # two UTF-16 code units


def utf16(text, bom=False):
    return (b"\xff\xfe" if bom else b"") + text.encode("utf-16-le")


class ParseTest(unittest.TestCase):
    def test_outputs(self):
        file = f"{ROOT}\\b{A}\\c.txt"
        # /NC leaves out each line's class ("New Dir", "New File"), /NS the files' sizes.
        robocopy = (f"\t                   2\t{ROOT}\\\r\n"
                    f"\t                   1\t{ROOT}\\b{A}\\\r\n"
                    f"\t\t\t\t{file}\r\n"
                    f"2024/05/01 10:00:00 ERROR 3 (0x00000003) Scanning Source Directory "
                    f"{ROOT}\\b{A}\\deeper\\\r\nThe system cannot find the path specified.\r\n")
        cases = [
            # (why, answer, entries, longest, words in the note)
            ("PowerShell prints count and length",
             wb.parse_powershell("2226 400\r\n", ""), 2226, 400, ""),
            ("PowerShell on an empty folder leaves the length out",
             wb.parse_powershell("0 \r\n", ""), 0, None, ""),
            ("PowerShell's error is kept beside what it printed",
             wb.parse_powershell("1200 259\r\n", "Get-ChildItem : Could not find a part\r\n"),
             1200, 259, "Could not find"),
            ("PowerShell that printed nothing gives no figures",
             wb.parse_powershell("", "The term 'x' is not recognized\r\n"), None, None,
             "not recognized"),
            ("dir /s /b in UTF-16 counts code units, a non-BMP character as two",
             wb.parse_dir(wb.decode(utf16(f"{ROOT}\\b{A}\r\n{file}\r\n")), "", ROOT),
             2, wb.units(file), ""),
            ("dir on an empty folder finds nothing",
             wb.parse_dir("", "File Not Found\r\n", ROOT), 0, None, "File Not Found"),
            ("robocopy: the source itself and error lines are no entries; the error is noted",
             wb.parse_robocopy(wb.decode(utf16(robocopy, bom=True)), "", ROOT, 1),
             2, wb.units(file), "ERROR 3 (0x00000003) Scanning"),
            ("robocopy's exit code 8 or more is a failure",
             wb.parse_robocopy(robocopy, "", ROOT, 8), 2, wb.units(file), "exit code 8; "),
        ]
        for why, answer, entries, longest, note in cases:
            with self.subTest(why):
                self.assertEqual((answer.entries, answer.longest), (entries, longest))
                self.assertIn(note, answer.note)
                self.assertEqual(bool(note), bool(answer.note))

    def test_windows_powershell_loses_the_module_path_whatever_its_case(self):
        # Windows' environment reaches Python with its names in capitals.
        wb.environment_of = lambda: {"PSMODULEPATH": "C:\\7\\Modules", "PATH": "C:\\bin"}
        self.assertEqual(wb.peer_environment("gci"), {"PATH": "C:\\bin"})
        self.assertIn("PSMODULEPATH", wb.peer_environment("dotnet"))

    def test_harness_lines(self):
        def line(program, status, entries, length, failure=""):
            return (f"columns\ttree\t...\nrun\tdeep\t{program}\t1\t{status}\t812.5\t{entries}\t"
                    f"{length}\t1000\t0\t{failure}\ttext\n")

        cases = [
            ("farthom's length is the full path's", "farthom", line("farthom", "ok", 9, 400),
             (812.5, 9, 400)),
            ("the floor's is relative to the folder", "floor", line("floor", "ok", 9, 249),
             (812.5, 9, wb.units(ROOT) + 1 + 249)),
            ("farthom on an empty folder shows its own length only", "farthom",
             line("farthom", "ok", -1, wb.units(ROOT)), (812.5, 0, None)),
            ("a run that showed no box has no figures", "floor",
             line("floor", "failed", -1, -1, "no message box appeared"), (812.5, None, None)),
            ("no run line at all", "farthom", "usage: bench_harness\n", (None, None, None)),
        ]
        for why, program, out, figures in cases:
            with self.subTest(why):
                ms, answer = wb.parse_harness(out, program, ROOT)
                self.assertEqual((ms, answer.entries, answer.longest), figures)

    def test_decode_falls_back_to_the_code_page(self):
        self.assertEqual(wb.decode(b"12 40\r\n"), "12 40\r\n")
        self.assertEqual(wb.decode(b"0 \n"), "0 \n")
        self.assertEqual(wb.decode(utf16("12 40")), "12 40")

    def test_agreement(self):
        walk = wb.Answer(2226, 400)
        self.assertTrue(wb.Answer(2226, 400, "a warning").agrees(walk))
        self.assertFalse(wb.Answer(2226, 399).agrees(walk))
        self.assertFalse(wb.Answer(1200, 400).agrees(walk))
        self.assertFalse(wb.Answer(None, None).agrees(walk))
        self.assertTrue(wb.Answer(0, 0).agrees(wb.Answer(0, None)))


class PageTest(unittest.TestCase):
    def test_tables_and_failures(self):
        cases = [("deep1", "deep"), ("empty", "empty")]
        expected = {"deep1": wb.Answer(10, 400), "empty": wb.Answer(0, None)}
        right, wrong = wb.Answer(10, 400), wb.Answer(4, 259, "Could not find a part")
        runs = []
        for round_number, (farthom, dotnet, empty) in enumerate(
                [(900, 10, 50), (300, 100, 50), (200, 400, 70), (250, 1000, 60)]):
            runs += [wb.Run("deep1", "farthom", round_number, farthom, right),
                     wb.Run("deep1", "dotnet", round_number, dotnet, right),
                     wb.Run("deep1", "gci", round_number, 5000, wrong),
                     wb.Run("empty", "farthom", round_number, empty, wb.Answer(0, None)),
                     wb.Run("empty", "dotnet", round_number, 40, wb.Answer(0, 0))]
        runs += [wb.Run("deep1", "robocopy", 0, 90000, wb.Answer(None, None),
                        wb.STOPPED),
                 wb.Run("deep1", "floor", 1, 100, wb.Answer(10, 401))]
        page = wb.render({"image": "windows-2025", "lines": [("Rounds", "3")]}, cases, expected,
                         runs)
        lines = page.splitlines()

        def row(label, after=""):
            return next(line for line in lines if line.startswith(f"| {label} | {after}"))

        self.assertEqual(row(wb.LABELS["gci"]), f"| {wb.LABELS['gci']} | **wrong**: 4 entries, "
                         "longest 259; Could not find a part | not run |")
        self.assertIn("stopped after 90 s", page)
        # Timed rounds 1 to 3 only: Farthom 250 ms, net of its empty median 60 ms; the pairs
        # 300/100, 200/400 and 250/1000 have the median 0.5.
        self.assertTrue(row(wb.LABELS["farthom"], "its dialog").endswith(
            "| right | 250 ms | 190 ms | — | 3 |"))
        self.assertTrue(row(wb.LABELS["dotnet"], "its exit").endswith(
            "| right | 400 ms | 360 ms | 0.500 | 3 |"))
        problems = wb.problems_of(cases, expected, runs)
        self.assertEqual(len(problems), 1)
        self.assertIn("Floor, round 1: 10 entries, longest 401", problems[0])


class DeepPlanTest(unittest.TestCase):
    def test_shape(self):
        plan, marks = wb.plan_deep()
        folders, lengths = {}, []

        def visit(folder, prefix, parts):
            for name, child in folder.entries:
                self.assertNotIn(name[-1], " .", name)
                lengths.append(prefix + wb.units(name))
                if child is not None:
                    folders[tuple(parts + [name])] = prefix + wb.units(name) + 1
                    visit(child, prefix + wb.units(name) + 1, parts + [name])

        visit(plan, 0, [])
        self.assertLessEqual(max(folders.values()), wb.DEEP_FOLDER_REACH)
        self.assertEqual(sorted(lengths)[-2:], [wb.DEEP_FILE_REACH - 1, wb.DEEP_FILE_REACH])
        # Past 259 full-path characters below a dropped folder of 150: most of the tree.
        self.assertGreater(sum(1 for length in lengths if 150 + 1 + length > 259),
                           len(lengths) // 2)
        bits = {bits for _, bits in marks}
        self.assertEqual(bits, {wb.HIDDEN, wb.HIDDEN | wb.SYSTEM})
        # Folders too, so that a tool that skips hidden ones misses what lies below them.
        self.assertTrue(any(tuple(parts) in folders for parts, _ in marks))


if __name__ == "__main__":
    unittest.main()
