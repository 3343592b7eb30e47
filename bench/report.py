#!/usr/bin/env python3
"""Turns the harness's runs into the benchmark's figures: prints them and writes a Markdown page.

Checks on the way what the figures rest on: every run showed its box and exited with 0, farthom
and the floor walked the same number of entries and found the same longest length, both agree with
what the generator made, and the path farthom reports exists on disk with the expected length
(so names outside the Basic Multilingual Plane made the trip from UTF-8 to UTF-16 and back).
"""

import argparse
import datetime
import os
import platform
import re
import statistics
import subprocess
import sys

TREES = ["flat", "large", "deep", "empty"]
RATIO_TARGET = 1.10
MEMORY_TARGET = 1.10


def units(text):
    """Length in UTF-16 code units."""
    return len(text) + sum(1 for c in text if ord(c) > 0xFFFF)


def run_of(line):
    """One run line of the harness as a dict; None for any other line."""
    fields = line.rstrip("\r\n").split("\t")
    if fields[0] != "run" or len(fields) < 12:
        return None
    tree, program, run, status, ms, entries, length, peak, exit_code, failure, text = fields[1:12]
    return {"tree": tree, "program": program, "run": int(run), "ok": status == "ok",
            "ms": float(ms), "entries": int(entries), "length": int(length), "peak": int(peak),
            "exit": int(exit_code), "failure": failure, "text": text}


def read_runs(path):
    with open(path, encoding="utf-8") as lines:
        return [run for run in map(run_of, lines) if run is not None]


def read_expected(path):
    expected = {}
    with open(path, encoding="utf-8") as lines:
        next(lines)
        for line in lines:
            tree, entries, longest, count = line.rstrip("\n").split("\t")
            expected[tree] = {"entries": int(entries), "longest": int(longest),
                              "longest_count": int(count)}
    return expected


def reported_path(text):
    """The full path in farthom's box; the harness wrote each line break as "|"."""
    match = re.search(r"paths:\|\|(.*)\|\|\d+ characters", text)
    if not match:
        match = re.match(r"(.*)\|\|\d+ characters", text)  # a measured path has no heading
    # A "|" cannot occur in a Windows name, so every one here is a break after a "\".
    return match.group(1).replace("|", "") if match else None


def machine():
    model = "unknown"
    with open("/proc/cpuinfo", encoding="utf-8") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    try:
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True,
                              check=False).stdout.strip()
    except OSError:
        wine = "unknown"
    return {"cores": os.cpu_count(), "model": model, "wine": wine,
            "system": f"{platform.system()} {platform.release()}"}


def summary(values):
    return statistics.median(values), min(values), max(values)


def mib(value):
    return f"{value / (1 << 20):.1f} MiB"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--results", required=True)
    parser.add_argument("--trees", required=True, help="the generator's root folder (Linux)")
    parser.add_argument("--windows-trees", required=True, help="the same folder as Wine names it")
    parser.add_argument("--farthom-exe", required=True)
    parser.add_argument("--command", required=True)
    parser.add_argument("--load-before", required=True)
    parser.add_argument("--seconds", type=float, required=True, help="time taken so far")
    parser.add_argument("--output", required=True)
    options = parser.parse_args()

    runs = read_runs(options.results)
    expected = read_expected(os.path.join(options.trees, "expected.tsv"))
    problems = []
    rows = {}
    for tree in TREES:
        figures = {}
        for program in ("farthom", "floor"):
            mine = [r for r in runs if r["tree"] == tree and r["program"] == program]
            bad = [r for r in mine if not r["ok"] or r["exit"] != 0]
            for r in bad:
                problems.append(f"{tree}: {program} run {r['run']}: "
                                f"{r['failure'] or 'exit code ' + str(r['exit'])}")
            counted = [r for r in mine if r["run"] > 0 and r["ok"]]
            if not counted:
                problems.append(f"{tree}: no counted run of {program}")
                continue
            figures[program] = {
                "ms": summary([r["ms"] for r in counted]),
                "peak": summary([r["peak"] for r in counted]),
                "runs": len(counted),
                "entries": {r["entries"] for r in counted},
                "length": {r["length"] for r in counted},
                "texts": {r["text"] for r in counted},
            }
        if len(figures) < 2:
            continue
        rows[tree] = figures
        check_tree(tree, figures, expected.get(tree), options, problems)

    farthom_size = os.path.getsize(options.farthom_exe)
    elapsed = options.seconds
    page = render(rows, expected, farthom_size, machine(), options, problems, elapsed)
    sys.stdout.write(page)
    os.makedirs(os.path.dirname(options.output) or ".", exist_ok=True)
    with open(options.output, "w", encoding="utf-8") as out:
        out.write(page)
    return 1 if problems else 0


def check_tree(tree, figures, expect, options, problems):
    farthom, floor = figures["farthom"], figures["floor"]
    for program, data in figures.items():
        if len(data["entries"]) != 1 or len(data["length"]) != 1:
            problems.append(f"{tree}: {program} gave different figures from run to run")
    target = options.windows_trees.rstrip("\\") + "\\" + tree
    # farthom counts the target folder and its separator in; the floor measures relative paths.
    farthom_entries = max(farthom["entries"], default=-1)
    floor_entries = max(floor["entries"])
    if tree == "empty":
        farthom_entries = 0 if farthom_entries == -1 else farthom_entries
        farthom_relative = 0
    else:
        farthom_relative = max(farthom["length"]) - units(target) - 1
    farthom["relative"] = farthom_relative
    farthom["walked"] = farthom_entries
    if farthom_entries != floor_entries or farthom_relative != max(floor["length"]):
        problems.append(f"{tree}: farthom walked {farthom_entries} entries, longest "
                        f"{farthom_relative}; the floor {floor_entries}, longest "
                        f"{max(floor['length'])}")
    if expect and (floor_entries != expect["entries"] or max(floor["length"]) != expect["longest"]):
        problems.append(f"{tree}: the generator made {expect['entries']} reachable entries, "
                        f"longest {expect['longest']}; the walks found {floor_entries}, "
                        f"longest {max(floor['length'])}")
    if tree == "empty":
        return
    # The reported path must name a real entry whose length is the reported one.
    for text in farthom["texts"]:
        path = reported_path(text)
        if path is None or not path.startswith(target + "\\"):
            problems.append(f"{tree}: cannot read a path below {target} in farthom's box")
            continue
        relative = path[len(target) + 1:]
        on_disk = os.path.join(options.trees, tree, *relative.split("\\"))
        if not os.path.lexists(on_disk):
            problems.append(f"{tree}: farthom's path {relative!r} is not on disk")
        elif units(relative) != farthom_relative:
            problems.append(f"{tree}: farthom's path {relative!r} is not {farthom_relative} "
                            "code units long")


def verdict(met):
    return "met" if met else "**missed**"


def render(rows, expected, farthom_size, info, options, problems, elapsed):
    now = datetime.datetime.now().astimezone()
    load_after = " ".join(f"{value:.2f}" for value in os.getloadavg())
    out = ["# Benchmarks", "",
           "Farthom against the floor: the least a Windows program can do to answer the same "
           "question with `FindFirstFileW`/`FindNextFileW` (`bench/floor.cc`). Both are timed "
           "from `CreateProcessW` until their message box waits for the user, under Wine with a "
           "virtual display, farthom with `/n`. Per tree: one warm-up run of each, then the "
           "counted runs, the two taking turns; the median is quoted with min and max. Peak "
           "working set is read just before the box is answered. The floor has no manifest and "
           "does not start the common controls, which farthom must do, so that start-up shows in "
           "farthom's time; the ratio net of start-up leaves it out.", "",
           f"- Date: {now:%Y-%m-%d %H:%M %Z}",
           f"- Machine: {info['cores']} cores, {info['model']}, {info['system']}",
           f"- Wine: {info['wine']}",
           f"- Load average (1, 5, 15 min) before: {options.load_before}; after: {load_after}",
           f"- Command: `{options.command}` (took {elapsed / 60:.1f} minutes)", ""]

    out += ["| Tree | Entries walked | Farthom median (min–max) | Floor median (min–max) | "
            "Ratio | Entries/s | Peak working set, farthom (floor) | Ratio net of start-up |",
            "|---|---:|---:|---:|---:|---:|---:|---:|"]
    empty = rows.get("empty")
    for tree in TREES:
        if tree not in rows:
            out.append(f"| {tree} | — | failed | failed | — | — | — | — |")
            continue
        farthom, floor = rows[tree]["farthom"], rows[tree]["floor"]
        f_ms, f_min, f_max = farthom["ms"]
        l_ms, l_min, l_max = floor["ms"]
        ratio = f_ms / l_ms
        rows[tree]["ratio"] = ratio
        rate = farthom["walked"] / (f_ms / 1000) if f_ms else 0
        # Less each program's own median on the empty folder: the walk alone, start-up and box
        # taken out, which shows a difference in start-up apart from one in walking.
        net = "—"
        # Only where the walk dwarfs the start-up; on a few entries the difference is noise.
        if empty and tree in ("flat", "large"):
            f_net = f_ms - empty["farthom"]["ms"][0]
            l_net = l_ms - empty["floor"]["ms"][0]
            if f_net > 0 and l_net > 0:
                net = f"{f_net / l_net:.3f}"
        out.append(f"| {tree} | {farthom['walked']:,} | {f_ms:.0f} ms ({f_min:.0f}–{f_max:.0f}) | "
                   f"{l_ms:.0f} ms ({l_min:.0f}–{l_max:.0f}) | {ratio:.3f} | {rate:,.0f} | "
                   f"{mib(farthom['peak'][0])} ({mib(floor['peak'][0])}) | {net} |")
    counted = min((rows[t]["farthom"]["runs"] for t in rows), default=0)
    out += ["", f"Counted runs per program and tree: {counted}. Entries per second are "
            "end to end, start-up and dialog included. The net ratio (flat and large) takes from each "
            "median that program's own median on the empty folder.", ""]

    if "empty" in rows:
        e_ms, e_min, e_max = rows["empty"]["farthom"]["ms"]
        out.append(f"- Time to the dialog on the empty folder: {e_ms:.0f} ms "
                   f"({e_min:.0f}–{e_max:.0f}); the floor: {rows['empty']['floor']['ms'][0]:.0f} ms")
    out.append(f"- Size of farthom.exe: {farthom_size:,} bytes")
    out += ["", "## Targets", ""]
    for tree in ("flat", "large"):
        if tree in rows:
            ratio = rows[tree]["ratio"]
            out.append(f"- Ratio farthom / floor on {tree} ≤ {RATIO_TARGET:.2f}: {ratio:.3f}, "
                       f"{verdict(ratio <= RATIO_TARGET)}")
    if "large" in rows and "empty" in rows:
        large = rows["large"]["farthom"]["peak"][0]
        empty = rows["empty"]["farthom"]["peak"][0]
        out.append(f"- Peak working set on large ≤ {MEMORY_TARGET:.2f} × empty: {mib(large)} / "
                   f"{mib(empty)} = {large / empty:.3f}, {verdict(large <= MEMORY_TARGET * empty)}")
    if "deep" in rows:
        farthom, floor = rows["deep"]["farthom"], rows["deep"]["floor"]
        same = (farthom["walked"] == max(floor["entries"]) and
                farthom["relative"] == max(floor["length"]))
        expect = expected.get("deep", {})
        out.append(f"- deep completes and matches the floor: farthom {farthom['walked']} entries, "
                   f"longest relative path {farthom['relative']}; floor {max(floor['entries'])}, "
                   f"{max(floor['length'])}; generator {expect.get('entries')}, "
                   f"{expect.get('longest')}: {verdict(same)}")
    out += ["", "## Checks", ""]
    if problems:
        out += [f"- {problem}" for problem in problems]
    else:
        out.append("- Every run showed its box and exited with 0; farthom, the floor and the "
                   "generator agree on every tree's entries and longest length; farthom's "
                   "reported path exists on disk with that length.")
    out.append("")
    return "\n".join(out)


if __name__ == "__main__":
    sys.exit(main())
