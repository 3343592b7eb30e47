#!/usr/bin/env python3
"""Farthom against the tools Windows users reach for instead, on NTFS: the right answer, then speed.

On Windows itself (the CI workflow's windows job), from the repository's root, as an administrator
(it sets LongPathsEnabled to 0 for a while and restores it):

    python bench/windows_bench.py --staged STAGED --work DIR --out DIR [--summary FILE]
                                  [--rounds 5] [--minutes 13]

STAGED is what scripts/stage-windows-tests made (farthom.exe, the harness and the floor). DIR for
--work must not exist: the trees are made there and left for a closer look. --out gets
results.md, the table also appended to --summary (the job summary), and runs.tsv, every run.

    python bench/windows_bench.py --trees-only --work DIR

makes the trees by extended-length paths and checks them against the script's own walk, on any
system. A time never fails the script; a Farthom or floor answer that is not the walk's does.
"""

import argparse
import os
import platform
import random
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import generate_trees as gen  # noqa: E402  (found through the path set just above)
import report  # noqa: E402  (the harness's run lines have their one reader there)

units = gen.units
PEER_LIMIT_SECONDS = 90
# The harness gives a program 120 s to show its box and 30 s to exit after OK.
HARNESS_LIMIT_SECONDS = 180
DEEP_DROPPED_LENGTH = 150
# Every folder of the deep tree stays within this many characters of the dropped folder, well
# inside the 258 that the walk reaches; its files reach 249, so full paths reach about 400.
DEEP_FOLDER_REACH = 225
DEEP_FILE_REACH = 249
STOPPED = f"stopped after {PEER_LIMIT_SECONDS} s"
HIDDEN, SYSTEM = 0x2, 0x4
LONG_PATHS_KEY = r"SYSTEM\CurrentControlSet\Control\FileSystem"
# Names for the deep tree: letters and digits with a few characters of other scripts and one
# outside the Basic Multilingual Plane per folder. No bracket or other wildcard character, so the
# tree asks about long paths and nothing else.
NAME_CHARACTERS = "abcdefghijklmnopqrstuvwxyz0123456789 -_äöéñЖжαβ中文"


class Answer:
    """A tool's figures: entries below the dropped folder and the longest full path's length
    (None without entries), and what it said beside them (an error, an exit code)."""

    def __init__(self, entries, longest, note=""):
        self.entries = entries
        self.longest = longest if entries else None
        self.note = note

    def agrees(self, expected):
        return (self.entries, self.longest) == (expected.entries, expected.longest)

    def figures(self):
        if self.entries is None:
            return "no figures"
        longest = "—" if self.longest is None else str(self.longest)
        return f"{self.entries:,} entries, longest {longest}"


# ---- Reading each tool's output.

def decode(data):
    """A peer's output as text: UTF-16 where it wrote Unicode (with or without a byte-order
    mark), else the console's code page."""
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le", errors="replace")
    zeros = data[1::2].count(0)
    if zeros and zeros >= len(data) // 4:
        return data.decode("utf-16-le", errors="replace")
    return data.decode("oem" if os.name == "nt" else "utf-8", errors="replace")


def first_line(text):
    lines = [line.strip() for line in text.splitlines() if line.strip()]
    return lines[0][:200] if lines else ""


def parse_powershell(out, err):
    """The last line "COUNT LENGTH" (LENGTH empty when nothing was found); errors from stderr."""
    for line in reversed(out.splitlines()):
        fields = line.split()
        if fields and all(field.isdigit() for field in fields) and len(fields) <= 2:
            return Answer(int(fields[0]), int(fields[1]) if len(fields) == 2 else None,
                          first_line(err))
    return Answer(None, None, first_line(err) or first_line(out) or "no count printed")


def measure_paths(lines, root):
    """Entries and the longest length among full paths below `root` (a folder ends in "\\")."""
    entries, longest = 0, None
    for path in lines:
        path = path.rstrip("\\")
        if path.startswith(root + "\\"):
            entries += 1
            longest = max(longest or 0, units(path))
    return entries, longest


def parse_dir(out, err, root):
    """dir /s /b: one full path per line, folders and files alike."""
    entries, longest = measure_paths(out.splitlines(), root)
    return Answer(entries, longest, first_line(err))


def parse_robocopy(out, err, root, exit_code):
    """robocopy /L /FP /NS /NC: each line of a folder or file ends in its full path; an error line
    ("... ERROR 3 (0x00000003) ...") names a path too and is not an entry."""
    paths, errors = [], []
    for line in out.splitlines():
        if " ERROR " in line and "(0x" in line:
            errors.append(line.strip())
            continue
        at = line.find(root)
        if at >= 0:
            paths.append(line[at:].rstrip())
    entries, longest = measure_paths(paths, root)
    notes = [f"exit code {exit_code}"] if exit_code >= 8 else []
    notes += errors[:1] + ([first_line(err)] if err.strip() else [])
    return Answer(entries, longest, "; ".join(notes)[:300])


def parse_harness(out, program, dropped):
    """One run line of bench_harness --once: farthom reports full lengths, the floor relative
    ones; farthom on a folder with nothing in it shows the folder's own length only."""
    for run in filter(None, map(report.run_of, out.splitlines())):
        ms, entries, length, exit_code = run["ms"], run["entries"], run["length"], run["exit"]
        failure = run["failure"]
        if not run["ok"] or exit_code != 0:
            return ms, Answer(None, None, failure or f"exit code {exit_code}")
        if program == "floor":
            return ms, Answer(entries, units(dropped) + 1 + length)
        if entries < 0 and length == units(dropped):
            return ms, Answer(0, None)
        return ms, Answer(entries, length)
    return None, Answer(None, None, "the harness printed no run")


# ---- The tools, each as it is run.

def powershell_quoted(text):
    return "'" + text.replace("'", "''") + "'"


def peer_commands(root, destination):
    """Each peer's command on the folder `root`, in its fair form (docs/benchmarks-windows.md)."""
    literal = powershell_quoted(root)
    gci = (f"$all = @(Get-ChildItem -LiteralPath {literal} -Recurse -Force); "
           "$longest = $all | Sort-Object { $_.FullName.Length } -Descending | "
           "Select-Object -First 1; "
           "'{0} {1}' -f $all.Count, $longest.FullName.Length")
    dotnet = ("$options = [IO.EnumerationOptions]::new(); $options.RecurseSubdirectories = $true; "
              "$options.AttributesToSkip = 0; $count = 0; $longest = 0; "
              f"foreach ($path in [IO.Directory]::EnumerateFileSystemEntries({literal}, '*', "
              "$options)) { $count++; if ($path.Length -gt $longest) { $longest = $path.Length } }; "
              "'{0} {1}' -f $count, $longest")
    return {
        "gci": ["powershell.exe", "-NoProfile", "-NonInteractive", "-Command", gci],
        "dotnet": ["pwsh.exe", "-NoProfile", "-NonInteractive", "-Command", dotnet],
        "robocopy": ["robocopy.exe", root, destination, "/L", "/E", "/FP", "/NS", "/NC", "/NJH",
                     "/NJS", "/NP", "/R:0", "/W:0", "/UNICODE"],
        # A string: cmd /c takes the rest of its command line as it stands.
        "dir": f'cmd.exe /u /c dir /s /b /a "{root}"',
    }


TOOLS = [  # (key, label, how it is timed)
    ("farthom", "Farthom /n", "its dialog"),
    ("floor", "Floor", "its dialog"),
    ("gci", "Get-ChildItem -Recurse -Force, PowerShell 5.1", "its exit"),
    ("dotnet", "EnumerateFileSystemEntries, PowerShell 7", "its exit"),
    ("robocopy", "robocopy /L /E /UNICODE", "its exit"),
    ("dir", "cmd /u /c dir /s /b /a", "its exit"),
]
LABELS = {key: label for key, label, _ in TOOLS}


def peer_environment(key):
    """Windows PowerShell started under PowerShell 7 would inherit 7's module path and fail to
    load its own cmdlets; without the variable it builds its default path, as when a user starts
    it."""
    # Matched without regard to case: a copy of Windows' environment has its names in capitals.
    return {name: value for name, value in environment_of().items()
            if key != "gci" or name.upper() != "PSMODULEPATH"}


def environment_of():
    return dict(os.environ)


def run_command(command, limit, environment=None):
    """(milliseconds, stdout, stderr, exit code, stopped): the command timed to its exit, and
    ended once `limit` seconds have passed."""
    flags = subprocess.CREATE_NO_WINDOW if os.name == "nt" else 0
    start = time.perf_counter()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, env=environment, creationflags=flags)
    try:
        out, err = process.communicate(timeout=limit)
        stopped = False
    except subprocess.TimeoutExpired:
        process.kill()
        out, err = process.communicate()
        stopped = True
    return (time.perf_counter() - start) * 1000, out, err, process.returncode, stopped


# ---- The trees and the script's own walk.

def deep_name(rng, length, non_bmp=False):
    """A name of exactly `length` UTF-16 code units, neither starting nor ending in a blank."""
    middle = "".join(rng.choice(NAME_CHARACTERS) for _ in range(length - 2 - (2 if non_bmp else 0)))
    return rng.choice("abcdefgh") + middle + ("𝔸" if non_bmp else "") + rng.choice("xyz0123")


def plan_deep():
    """Six chains of folders of 25 characters each, 40 files at each level, within
    DEEP_FOLDER_REACH of the top; the deepest folder of each chain holds one longer file, and
    chain 0's is the one longest path. Some folders and files are hidden or system, and each chain
    has an empty folder. Returns the plan and the attributes to set, as (relative path, bits)."""
    rng = random.Random("farthom-bench-windows-deep")
    top, marks = gen.Folder(), []
    for chain in range(6):
        parent, prefix, parts = top, 0, []
        level = 0
        while prefix + 26 <= DEEP_FOLDER_REACH:
            for number in range(40):
                # Every file short of the chains' last files, which end at DEEP_FILE_REACH - chain.
                length = min(rng.randint(6, 40), DEEP_FILE_REACH - 9 - prefix - 3)
                name = f"{number:02d} " + deep_name(rng, length)
                parent.add(name)
                if (chain == 3 and number % 5 == 0) or (chain == 4 and number % 7 == 0):
                    marks.append((parts + [name], HIDDEN if chain == 3 else SYSTEM | HIDDEN))
            if level == 4:
                parent.add(f"empty {chain}", gen.Folder())
            child = gen.Folder()
            # "c.l " cannot begin a file's name, so that no folder ever meets a name taken.
            name = f"{chain}.{level} " + deep_name(rng, 21, non_bmp=True)
            parent.add(name, child)
            parts = parts + [name]
            if (chain, level) in ((1, 2), (2, 4)):
                marks.append((parts, HIDDEN if chain == 1 else SYSTEM | HIDDEN))
            parent, prefix, level = child, prefix + units(name) + 1, level + 1
        parent.add("end " + deep_name(rng, DEEP_FILE_REACH - chain - prefix - 4))
    return top, marks


def walk(path):
    """(entries, longest relative length) of everything below `path`, hidden and system entries
    included, links not followed: the right answer, found without any limit on the length."""
    entries, longest, stack = 0, 0, [(path, 0)]
    while stack:
        directory, prefix = stack.pop()
        with os.scandir(directory) as listing:
            for entry in listing:
                entries += 1
                length = prefix + units(entry.name)
                longest = max(longest, length)
                if entry.is_dir(follow_symlinks=False):
                    stack.append((entry.path, length + 1))
    return entries, longest


def file_system(path):
    """The file system of the volume that holds `path` (NTFS on the runner)."""
    import ctypes  # Windows only

    name = ctypes.create_unicode_buffer(64)
    root = os.path.splitdrive(os.path.realpath(path))[0] + "\\"
    if not ctypes.windll.kernel32.GetVolumeInformationW(root, None, 0, None, None, None, name, 64):
        return "unknown"
    return name.value


def versions():
    """Each PowerShell's version, asked once before the rounds, as its peer is started."""
    found = []
    for program, key in (("powershell.exe", "gci"), ("pwsh.exe", "dotnet")):
        command = [program, "-NoProfile", "-Command", "$PSVersionTable.PSVersion.ToString()"]
        try:
            out = run_command(command, 60, peer_environment(key))[1]
            found.append(f"{program} {decode(out).strip()}")
        except OSError as error:
            found.append(f"{program}: {error}")
    return "; ".join(found)


def set_attributes(path, bits):
    import ctypes  # Windows only, like the attributes themselves

    if not ctypes.windll.kernel32.SetFileAttributesW(path, bits):
        raise ctypes.WinError()


def padded_folder(work, name, length):
    """`work`\\`name`, its name lengthened with digits so that the whole path has `length` units
    where it can."""
    short = os.path.join(work, name)
    more = length - units(short)
    return short + " " + "".join(str(i % 10) for i in range(more - 1)) if more > 1 else short


def make_trees(work):
    """Makes flat, deep and empty below `work` and checks each against the walk; returns
    {tree: (dropped folder, Answer)} with the walk's answers, or exits."""
    os.makedirs(work)
    work = os.path.realpath(work)
    deep_plan, marks = plan_deep()
    plans = {"flat": (os.path.join(work, "flat"), gen.plan_flat(None)),
             "deep": (padded_folder(work, "deep", DEEP_DROPPED_LENGTH), deep_plan),
             "empty": (os.path.join(work, "empty"), gen.Folder())}
    answers = {}
    for tree, (folder, plan) in plans.items():
        started = time.monotonic()
        os.mkdir(gen.extended(folder))
        gen.write_at(plan, gen.extended(folder))
        if tree == "deep" and os.name == "nt":
            for parts, bits in marks:
                set_attributes(gen.extended(os.path.join(folder, *parts)), bits)
        entries, longest = walk(gen.extended(folder))
        planned = gen.expect(plan)
        answer = Answer(entries, units(folder) + 1 + longest)
        print(f"{tree}: {folder} ({units(folder)} characters): {answer.figures()} "
              f"({time.monotonic() - started:.0f} s)", flush=True)
        if (entries, longest) != planned[:2]:
            sys.exit(f"{tree}: the walk found {entries} entries, longest {longest}; the plan "
                     f"made {planned[0]}, longest {planned[1]}")
        answers[tree] = (folder, answer)
    return answers


# ---- LongPathsEnabled.

def long_paths(value=None, remove=False):
    """Reads the setting (None when it is not set), or writes `value`, or removes it."""
    import winreg  # Windows only

    access = winreg.KEY_QUERY_VALUE | winreg.KEY_SET_VALUE
    with winreg.OpenKey(winreg.HKEY_LOCAL_MACHINE, LONG_PATHS_KEY, 0, access) as key:
        if remove:
            winreg.DeleteValue(key, "LongPathsEnabled")
        elif value is not None:
            winreg.SetValueEx(key, "LongPathsEnabled", 0, winreg.REG_DWORD, value)
        else:
            try:
                return winreg.QueryValueEx(key, "LongPathsEnabled")[0]
            except FileNotFoundError:
                return None
    return value


# ---- The figures.

class Run:
    """One run of one tool on one case: its time, its answer, and whether it ran to the end."""

    def __init__(self, case, tool, round_number, ms, answer, state="done"):
        self.case, self.tool, self.round = case, tool, round_number
        self.ms, self.answer, self.state = ms, answer, state


def verdict(runs, expected):
    """'right', or what was wrong: the first answer that is not the walk's, or why none came."""
    if not runs:
        return "not run"
    done = [run for run in runs if run.state == "done"]
    if not done:
        note = runs[0].answer.note
        return runs[0].state + (f": {note}" if note else "")
    for run in done:
        if not run.answer.agrees(expected):
            note = f"; {run.answer.note}" if run.answer.note else ""
            return f"**wrong**: {run.answer.figures()}{note}"
    return "right"


def timed(runs):
    return [run for run in runs if run.round > 0 and run.state == "done"]


def median_ms(runs):
    values = [run.ms for run in timed(runs)]
    return statistics.median(values) if values else None


def pair_ratio(farthom_runs, tool_runs):
    """The median over rounds of Farthom's time divided by the tool's, same case and round."""
    theirs = {run.round: run.ms for run in timed(tool_runs)}
    ratios = [run.ms / theirs[run.round] for run in timed(farthom_runs) if run.round in theirs]
    return statistics.median(ratios) if ratios else None


def cell(text):
    return str(text).replace("|", "\\|").replace("\n", " ")


def render(info, cases, expected, runs):
    """The Markdown page: the right answer per tool and case first, then the speed per case.
    `cases` is [(key, title)], `expected` {case key: Answer}, `runs` every Run."""
    by = {}
    for run in runs:
        by.setdefault((run.case, run.tool), []).append(run)
    out = [f"# Farthom against the tools Windows users reach for ({info['image']})", ""]
    out += [f"- {name}: {value}" for name, value in info["lines"]]
    out += ["", "## The right answer", "",
            "The script's own walk through `\\\\?\\` paths, every entry included: " +
            "; ".join(f"{title}: {expected[key].figures()}" for key, title in cases) + ".", "",
            "| Tool | " + " | ".join(title for _, title in cases) + " |",
            "|---|" + "---|" * len(cases)]
    for key, label, _ in TOOLS:
        out.append(f"| {label} | " + " | ".join(
            cell(verdict(by.get((case, key), []), expected[case])) for case, _ in cases) + " |")
    for case, title in cases:
        empty = "empty" if case != "empty" else None
        out += ["", f"## Speed: {title}", "",
                "| Tool | Timed to | Answer | Median | Net of the empty folder | "
                "Farthom ÷ tool, median of pairs | Timed runs |", "|---|---|---|---:|---:|---:|---:|"]
        for key, label, how in TOOLS:
            mine = by.get((case, key), [])
            middle = median_ms(mine)
            start_up = median_ms(by.get((empty, key), [])) if empty else None
            net = f"{middle - start_up:.0f} ms" if middle is not None and start_up is not None \
                else "—"
            ratio = pair_ratio(by.get((case, "farthom"), []), mine) if key != "farthom" else None
            answer = verdict(mine, expected[case]).split(":")[0].replace("**", "")
            out.append(f"| {label} | {how} | {answer} | "
                       f"{'—' if middle is None else f'{middle:.0f} ms'} | {net} | "
                       f"{'—' if ratio is None else f'{ratio:.3f}'} | {len(timed(mine))} |")
    out += ["", "A ratio below 1 means Farthom took less time. The net time takes from a tool's "
            "median its own median on the empty folder, which is mostly its start-up.", ""]
    return "\n".join(out)


def problems_of(cases, expected, runs):
    """Farthom's and the floor's failures and wrong answers: the ones that fail the script."""
    problems = []
    for run in runs:
        if run.tool in ("farthom", "floor") and (
                run.state != "done" or not run.answer.agrees(expected[run.case])):
            problems.append(f"{dict(cases)[run.case]}: {LABELS[run.tool]}, round {run.round}: "
                            f"{run.answer.figures()} {run.answer.note}".strip())
    return problems


# The cases, each a tree with LongPathsEnabled as found (None) or set: (key, tree, setting, title).
CASES = [("flat", "flat", None, "flat"),
         ("deep1", "deep", 1, "deep, LongPathsEnabled 1"),
         ("deep0", "deep", 0, "deep, LongPathsEnabled 0"),
         ("empty", "empty", None, "empty")]


# ---- The run on Windows.

def measure(options):
    staged = os.path.realpath(options.staged)
    harness = os.path.join(staged, "build", "bench", "bench_harness.exe")
    programs = {"farthom": os.path.join(staged, "build", "app", "farthom.exe"),
                "floor": os.path.join(staged, "build", "bench", "bench_floor.exe")}
    started = time.monotonic()
    deadline = started + options.minutes * 60
    try:
        found = long_paths()
    except PermissionError:
        sys.exit("LongPathsEnabled cannot be changed here: run as an administrator")
    trees = make_trees(options.work)
    tool_versions = versions()
    cases = [(key, title) for key, _, _, title in CASES]
    tree_of = {key: tree for key, tree, _, _ in CASES}
    expected = {key: trees[tree][1] for key, tree, _, _ in CASES}
    destination = os.path.join(os.path.realpath(options.work), "robocopy destination")
    runs, stopped, round_seconds = [], set(), []

    def apply(setting):
        if setting is None:
            long_paths(remove=True)
        else:
            long_paths(setting)

    def one(case, key, round_number):
        tree = tree_of[case]
        folder = trees[tree][0]
        if key in programs:
            command = [harness, "--once", str(round_number), key, programs[key], f"{tree}={folder}"]
            try:
                _, out, err, _, was_stopped = run_command(command, HARNESS_LIMIT_SECONDS)
            except OSError as error:
                return Run(case, key, round_number, 0, Answer(None, None, str(error)), "failed")
            ms, answer = parse_harness(out.decode("utf-8", errors="replace"), key, folder)
            state = "failed" if ms is None or was_stopped or answer.entries is None else "done"
            return Run(case, key, round_number, ms or 0, answer, state)
        if (case, key) in stopped:
            return Run(case, key, round_number, 0, Answer(None, None), STOPPED)
        if time.monotonic() + PEER_LIMIT_SECONDS > deadline:
            return Run(case, key, round_number, 0, Answer(None, None), "not run: out of time")
        command = peer_commands(folder, destination)[key]
        try:
            ms, out, err, code, was_stopped = run_command(command, PEER_LIMIT_SECONDS,
                                                          peer_environment(key))
        except OSError as error:
            return Run(case, key, round_number, 0, Answer(None, None, str(error)), "failed")
        if was_stopped:
            stopped.add((case, key))
            return Run(case, key, round_number, ms, Answer(None, None), STOPPED)
        out, err = decode(out), decode(err)
        answer = (parse_robocopy(out, err, folder, code) if key == "robocopy" else
                  parse_dir(out, err, folder) if key == "dir" else parse_powershell(out, err))
        return Run(case, key, round_number, ms, answer)

    current = found
    try:
        for round_number in range(options.rounds + 1):
            # A round that would not end in time is not started; the warm-up always is.
            if round_number > 0 and time.monotonic() + max(round_seconds) > deadline:
                print(f"Out of time after {round_number - 1} timed rounds", flush=True)
                break
            round_start = time.monotonic()
            for index, (case, _, setting, title) in enumerate(CASES):
                wanted = found if setting is None else setting
                if wanted != current:
                    apply(wanted)
                    current = wanted
                # Each tool takes its turn first, so that none always meets caches another warmed.
                turn = (round_number + index) % len(TOOLS)
                for key, _, _ in TOOLS[turn:] + TOOLS[:turn]:
                    run = one(case, key, round_number)
                    runs.append(run)
                    print(f"round {round_number}, {title}, {key}: {run.state} {run.ms:.0f} ms, "
                          f"{run.answer.figures()} {run.answer.note}", flush=True)
            round_seconds.append(time.monotonic() - round_start)
    finally:
        if current != found:
            apply(found)
    restored = long_paths()

    timed_rounds = max((run.round for run in runs), default=0)
    info = {"image": options.image, "lines": [
        ("Runner image", f"{os.environ.get('ImageOS', '?')} {os.environ.get('ImageVersion', '')}"),
        ("Windows", platform.platform()),
        ("Processor", f"{os.cpu_count()} logical, {os.environ.get('PROCESSOR_IDENTIFIER', '?')}"),
        ("File system of the trees", file_system(options.work)),
        ("LongPathsEnabled", f"found {found}; flat and empty as found, deep with 1 and with 0; "
                             f"{restored} afterwards"),
        ("Rounds", f"1 warm-up, then {timed_rounds} timed of {options.rounds}; a peer is stopped "
                   f"after {PEER_LIMIT_SECONDS} s"),
        ("Tools", ", ".join(f"{name}: {shutil.which(name) or 'not found'}" for name in
                            ("powershell.exe", "pwsh.exe", "robocopy.exe", "cmd.exe"))),
        ("PowerShell versions", tool_versions),
        ("Took", f"{(time.monotonic() - started) / 60:.1f} minutes")]}
    page = render(info, cases, expected, runs)
    problems = problems_of(cases, expected, runs)
    if restored != found:
        problems.append(f"LongPathsEnabled is {restored}, not {found} as found")
    if problems:
        page += "\n## Failures\n\n" + "\n".join(f"- {cell(problem)}" for problem in problems) + "\n"
    os.makedirs(options.out, exist_ok=True)
    with open(os.path.join(options.out, "results.md"), "w", encoding="utf-8") as out:
        out.write(page)
    with open(os.path.join(options.out, "runs.tsv"), "w", encoding="utf-8") as out:
        out.write("case\ttool\tround\tstate\tms\tentries\tlongest\tnote\n")
        for run in runs:
            out.write(f"{run.case}\t{run.tool}\t{run.round}\t{run.state}\t{run.ms:.1f}\t"
                      f"{run.answer.entries}\t{run.answer.longest}\t{cell(run.answer.note)}\n")
    if options.summary:
        with open(options.summary, "a", encoding="utf-8") as out:
            out.write(page)
    print(page)
    return 1 if problems else 0


def main():
    for stream in (sys.stdout, sys.stderr):
        stream.reconfigure(errors="backslashreplace")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--work", required=True, help="a folder to make; the trees go there")
    parser.add_argument("--trees-only", action="store_true")
    parser.add_argument("--staged")
    parser.add_argument("--out")
    parser.add_argument("--summary")
    parser.add_argument("--image", default=os.environ.get("ImageOS", "Windows"),
                        help="the runner image, for the page's title")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--minutes", type=float, default=13)
    options = parser.parse_args()
    if options.trees_only:
        make_trees(options.work)
        return 0
    if os.name != "nt" or not options.staged or not options.out:
        parser.error("measuring needs Windows, --staged and --out")
    return measure(options)


if __name__ == "__main__":
    sys.exit(main())
