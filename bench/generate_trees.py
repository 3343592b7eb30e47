#!/usr/bin/env python3
"""Writes the benchmark's folders (flat, large, deep, empty) below one root, the same every time.

Each folder is made from a fixed seed, so two runs give the same names in the same places. Beside
them, expected.tsv says per folder how many entries a walk finds within the listings' limit (a
relative prefix of at most 258 UTF-16 code units), the longest relative path's length in code
units, and how many of the longest paths there are (1 means the longest path is unambiguous).

    generate_trees.py ROOT [--only NAME...]
"""

import argparse
import os
import random
import sys

# A relative prefix ("" or ending in "\") of at most this many code units can still be listed:
# the search text has room for 261 characters, "*.*" included.
PREFIX_LIMIT = 258

# Name characters. Windows forbids \ / : * ? " < > | and control characters; "~" is left out so
# that no name looks like a generated 8.3 alias. Spaces and dots are fine inside a name.
ASCII = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
PUNCTUATION = " -_.()+,;=[]{}!#$%&'@^"
OTHER_BMP = "äöüßéñçøåЖжЯяαβΩ中文字日本語한국ﬁ€"
# Outside the Basic Multilingual Plane: two UTF-16 code units each, four UTF-8 bytes.
NON_BMP = "😀🎉🐍𝄞𠀀𝔸🌍🚀𐐷𝟘"

# Device names that Windows resolves in any folder, with or without an extension.
RESERVED = {"con", "prn", "aux", "nul"} | {f"com{i}" for i in range(10)} | {
    f"lpt{i}" for i in range(10)}


def units(text):
    """Length in UTF-16 code units, the unit every length here is counted in."""
    return len(text) + sum(1 for c in text if ord(c) > 0xFFFF)


def acceptable(name):
    if name[0] == " " or name[-1] in " .":
        return False  # Windows trims these, so such a name could not be reached by its own text
    return name.split(".")[0].strip().lower() not in RESERVED


def random_name(rng, length):
    """A name of exactly `length` UTF-16 code units drawn from every kind of character."""
    while True:
        chars = []
        left = length
        while left > 0:
            pick = rng.random()
            if pick < 0.06 and left >= 2:
                chars.append(rng.choice(NON_BMP))
                left -= 2
                continue
            if pick < 0.14:
                chars.append(rng.choice(OTHER_BMP))
            elif pick < 0.24:
                chars.append(rng.choice(PUNCTUATION))
            else:
                chars.append(rng.choice(ASCII))
            left -= 1
        name = "".join(chars)
        if acceptable(name):
            return name


class Folder:
    """A folder of the plan: its entries in the order they are made, and their folded names."""

    __slots__ = ("entries", "names")

    def __init__(self):
        self.entries = []  # (name, Folder for a folder or None for a file)
        self.names = set()  # case-folded: Windows names differ by more than case

    def add(self, name, folder=None):
        """Adds the entry; False when the name is taken already."""
        key = name.casefold()
        if key in self.names:
            return False
        self.names.add(key)
        self.entries.append((name, folder))
        return True


def plan_flat(rng):
    """100,000 files in 500 folders of 200 files each."""
    del rng  # the names are fixed
    top = Folder()
    for d in range(500):
        folder = Folder()
        for f in range(200):
            folder.add(f"file {f:03d}.dat")
        top.add(f"folder {d:03d}", folder)
    return top


def plan_large(rng):
    """300,000 files and folders, 1 to 12 levels deep, names of 1 to 40 code units.

    Each entry first draws its depth (most land in the middle levels) and then a folder one level
    up to hold it. A folder whose prefix would pass the listings' limit gets no entries, so the
    walk reaches every entry made here.
    """
    total = 300_000
    depth_weights = [1, 3, 6, 9, 11, 12, 12, 11, 10, 8, 6, 4]  # entries at depth 1 to 12
    top = Folder()
    # The folders that may still receive entries, with their relative prefix lengths, by the
    # depth of the entries they hold.
    holders = {1: [(top, 0)]}
    made = 0
    while made < total:
        depth = rng.choices(range(1, 13), depth_weights)[0]
        while depth not in holders:
            depth -= 1  # early on, the deeper levels have no folder yet
        parent, prefix = rng.choice(holders[depth])
        name = random_name(rng, rng.randint(1, 40))
        child = Folder() if depth < 12 and rng.random() < 0.1 else None
        if not parent.add(name, child):
            continue
        made += 1
        entry_length = prefix + units(name)
        if child is not None and entry_length + 1 <= PREFIX_LIMIT:
            holders.setdefault(depth + 1, []).append((child, entry_length + 1))
    return top


def plan_deep(rng):
    """A chain of 40 folders whose prefixes pass the limit, with three files in each.

    Every folder name holds a non-BMP character, so the code-unit limit falls elsewhere than a
    count of characters or of UTF-8 bytes would put it. Entries past the limit are made but can
    never be listed.
    """
    top = Folder()
    parent, prefix = top, 0
    edges_made = False
    for level in range(40):
        parent.add(f"file {level:02d}")
        parent.add(f"file {level:02d} " + random_name(rng, 8))
        parent.add(f"notes {level:02d} " + random_name(rng, 20))
        if not edges_made and PREFIX_LIMIT - prefix - 1 in range(12, 29):
            add_limit_edges(parent, prefix, rng)
            edges_made = True
        child = Folder()
        name = f"level {level:02d} 𝔸" + random_name(rng, 4)
        parent.add(name, child)
        parent, prefix = child, prefix + units(name) + 1
    return top


def add_limit_edges(parent, prefix, rng):
    """Two folders beside the chain whose prefixes are exactly at the limit and one past it.

    The second ends in a non-BMP character: counted in characters its prefix would still fit.
    Each holds one file, which a walk finds in the first and must not find in the second.
    """
    fits = f"edge {PREFIX_LIMIT} " + random_name(rng, PREFIX_LIMIT - prefix - 1 - 9)
    past = f"edge {PREFIX_LIMIT + 1} " + random_name(rng, PREFIX_LIMIT - prefix - 9 - 2) + "𝔸"
    for name in (fits, past):
        folder = Folder()
        folder.add("x")
        parent.add(name, folder)
    assert prefix + units(fits) + 1 == PREFIX_LIMIT
    assert prefix + units(past) + 1 == PREFIX_LIMIT + 1


def plan_empty(rng):
    del rng
    return Folder()


PLANS = {"flat": plan_flat, "large": plan_large, "deep": plan_deep, "empty": plan_empty}


def expect(folder, prefix=0):
    """(entries, longest length, number of longest paths) that a walk within the limit finds."""
    entries, longest, count = 0, 0, 0
    for name, child in folder.entries:
        length = prefix + units(name)
        found = [(1, length, 1)]
        if child is not None and length + 1 <= PREFIX_LIMIT:
            found.append(expect(child, length + 1))
        for more, more_longest, more_count in found:
            entries += more
            if more_longest > longest:
                longest, count = more_longest, more_count
            elif more_longest == longest and more:
                count += more_count
    return entries, longest, count


def write(folder, directory_fd):
    """Makes the folder's entries inside the open directory, then fills its folders.

    Relative to an open directory, so that no path grows with the depth; where the system has no
    such calls (Windows), write_at() makes the same tree by paths.
    """
    for name, child in folder.entries:
        if child is None:
            os.close(os.open(name, os.O_CREAT | os.O_EXCL | os.O_WRONLY, 0o644,
                             dir_fd=directory_fd))
        else:
            os.mkdir(name, dir_fd=directory_fd)
    for name, child in folder.entries:
        if child is not None:
            child_fd = os.open(name, os.O_RDONLY | os.O_DIRECTORY, dir_fd=directory_fd)
            try:
                write(child, child_fd)
            finally:
                os.close(child_fd)


def extended(path):
    """The path as the system should take it at any length: on Windows, the absolute path in the
    extended-length form ("\\\\?\\"), which has no MAX_PATH limit and takes every name as it is."""
    if os.name != "nt" or path.startswith("\\\\?\\"):
        return path
    path = os.path.abspath(path)
    if path.startswith("\\\\"):
        return "\\\\?\\UNC\\" + path[2:]
    return "\\\\?\\" + path


def write_at(folder, path):
    """Makes the folder's entries below `path`, an existing directory, then fills its folders.

    By paths, the same tree as write(); give `path` in the form extended() makes, so that every
    path below it can be reached whatever its length.
    """
    for name, child in folder.entries:
        entry = os.path.join(path, name)
        if child is None:
            os.close(os.open(entry, os.O_CREAT | os.O_EXCL | os.O_WRONLY, 0o644))
        else:
            os.mkdir(entry)
    for name, child in folder.entries:
        if child is not None:
            write_at(child, os.path.join(path, name))


def write_tree(plan, path):
    """Makes the plan's entries below `path`, an existing directory, in whichever way the system
    offers: relative to open directories where it can, by extended-length paths elsewhere."""
    if os.open in os.supports_dir_fd and os.mkdir in os.supports_dir_fd:
        folder_fd = os.open(path, os.O_RDONLY | os.O_DIRECTORY)
        try:
            write(plan, folder_fd)
        finally:
            os.close(folder_fd)
    else:
        write_at(plan, extended(path))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root")
    parser.add_argument("--only", nargs="*", default=list(PLANS))
    options = parser.parse_args()
    os.makedirs(options.root, exist_ok=True)
    with open(os.path.join(options.root, "expected.tsv"), "w", encoding="utf-8") as out:
        out.write("tree\tentries\tlongest\tlongest_count\n")
        for tree in options.only:
            if tree not in PLANS:
                sys.exit(f"unknown tree {tree}")
            plan = PLANS[tree](random.Random(f"farthom-bench-{tree}"))
            folder = os.path.join(options.root, tree)
            os.mkdir(folder)  # a folder left from an earlier run might not be the same tree
            write_tree(plan, folder)
            entries, longest, count = expect(plan)
            out.write(f"{tree}\t{entries}\t{longest}\t{count}\n")
            print(f"{tree}: {entries} entries, longest {longest} code units", file=sys.stderr)


if __name__ == "__main__":
    main()
