#!/usr/bin/env python3
"""Tests of the benchmark's folder generator: the limit rule its expectations follow, and names
that Windows (and Wine's mapping of Linux names) will show exactly as they were made."""

import os
import random
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import generate_trees as gen  # noqa: E402  (found through the path set just above)

FORBIDDEN = set('\\/:*?"<>|') | {chr(c) for c in range(32)}


def chain(*names_and_files):
    """A plan of nested folders; each item is (folder name, [file names]) one level deeper."""
    top = gen.Folder()
    parent = top
    for name, files in names_and_files:
        child = gen.Folder()
        for file_name in files:
            child.add(file_name)
        parent.add(name, child)
        parent = child
    return top


class ExpectTest(unittest.TestCase):
    def test_limit_rule(self):
        non_bmp = "\U0001D538"
        cases = [
            # (why, plan, entries, longest, number of longest)
            ("an empty folder", gen.Folder(), 0, 0, 0),
            ("a folder's entries are listed when its prefix is exactly 258",
             chain(("a" * 257, ["x"])), 2, 259, 1),
            ("a prefix of 259 is not listed; the folder itself still counts",
             chain(("a" * 258, ["x"])), 1, 258, 1),
            ("a non-BMP character counts two units: 257 characters make a prefix of 259",
             chain(("a" * 256 + non_bmp, ["x"])), 1, 258, 1),
            ("below the limit a whole chain is walked",
             chain(("a", ["bb", "c"]), ("d", ["eee"])), 5, 7, 1),
            ("equally long paths are all counted as longest",
             chain(("a", ["bb", "cc"])), 3, 4, 2),
        ]
        for why, plan, entries, longest, count in cases:
            with self.subTest(why):
                self.assertEqual(gen.expect(plan), (entries, longest, count))

    def test_units_counts_surrogate_pairs(self):
        self.assertEqual(gen.units("a\U0001F600b"), 4)
        self.assertEqual(gen.units("\u00e9\u4e2d"), 2)


class PlanTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.plans = {tree: plan(random.Random(f"farthom-bench-{tree}"))
                     for tree, plan in gen.PLANS.items()}

    def walk(self, folder, depth=1):
        for name, child in folder.entries:
            yield name, depth, folder
            if child is not None:
                yield from self.walk(child, depth + 1)

    def test_sizes(self):
        self.assertEqual(gen.expect(self.plans["flat"])[0], 100_500)
        self.assertEqual(gen.expect(self.plans["large"])[0], 300_000)
        self.assertEqual(gen.expect(self.plans["empty"]), (0, 0, 0))
        deepest = max(depth for _, depth, _ in self.walk(self.plans["large"]))
        self.assertEqual(deepest, 12)

    def test_deep_passes_the_limit_with_its_longest_path_unambiguous(self):
        entries, longest, count = gen.expect(self.plans["deep"])
        made = sum(1 for _ in self.walk(self.plans["deep"]))
        self.assertLess(entries, made)
        self.assertEqual(count, 1)
        self.assertGreater(longest, gen.PREFIX_LIMIT)

    def test_names_survive_windows(self):
        kinds = {"space": False, "non-BMP": False}
        for tree in ("large", "deep"):
            for name, _, _ in self.walk(self.plans[tree]):
                self.assertFalse(FORBIDDEN & set(name), name)
                self.assertNotIn(name[-1], " .", name)
                self.assertNotEqual(name[0], " ", name)
                self.assertNotIn(name.split(".")[0].strip().lower(), gen.RESERVED, name)
                if tree == "large":
                    self.assertTrue(1 <= gen.units(name) <= 40, name)
                kinds["space"] |= " " in name
                kinds["non-BMP"] |= any(ord(c) > 0xFFFF for c in name)
        self.assertEqual(kinds, {"space": True, "non-BMP": True})

    def test_names_differ_by_more_than_case(self):
        for tree in ("large", "deep"):
            folders = {id(f): f for _, _, f in self.walk(self.plans[tree])}
            for folder in folders.values():
                folded = {name.casefold() for name, _ in folder.entries}
                self.assertEqual(len(folded), len(folder.entries))

if __name__ == "__main__":
    unittest.main()
