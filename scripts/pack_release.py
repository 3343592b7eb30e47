#!/usr/bin/env python3
"""Packs a built farthom.exe into the release: the zip with the user's guide and the licence,
and the checksums. Every byte follows from the inputs and SOURCE_DATE_EPOCH alone.

    pack_release.py --exe FARTHOM_EXE --source SOURCE_DIR --version VERSION --out DIST_DIR

Python's zipfile is used rather than CPack's ZIP generator: that one writes extra fields with
owner ids and times and takes permissions from the umask, while here every field of every entry
is set: entry order, DOS time in UTC, permissions, no extra fields.
"""
import argparse
import hashlib
import os
import re
import sys
import textwrap
import time
import zipfile

COLUMNS = 78
START = "<!-- user guide -->"
END = "<!-- end of user guide -->"


def plain(text):
    """Markdown marks of a line taken out: code spans, emphasis, links."""
    text = re.sub(r"\[([^\]]*)\]\(([^)]*)\)", r"\1", text)
    return text.replace("`", "").replace("**", "")


def user_guide(readme):
    """README.md's user section as plain text for Notepad: lines of at most 78 columns."""
    if START not in readme or END not in readme:
        sys.exit(f"README.md has no user section between {START} and {END}")
    lines = readme.split(START, 1)[1].split(END, 1)[0].strip("\n").split("\n")
    out = []
    block = []  # the lines of one paragraph or list item
    indent = ""  # the hanging indent of a list item

    def flush():
        nonlocal block, indent
        if block:
            out.extend(textwrap.wrap(" ".join(block), COLUMNS, initial_indent=indent,
                                     subsequent_indent=" " * len(indent),
                                     break_long_words=False, break_on_hyphens=False))
        block, indent = [], ""

    for line in lines:
        if line.startswith("!["):
            continue  # the picture; the guide describes the dialog in words
        heading = re.match(r"(#+) (.*)", line)
        item = re.match(r"(\s*)(- |\d+\. )(.*)", line)
        if not line.strip():
            flush()
            if out and out[-1] != "":
                out.append("")
        elif heading:
            flush()
            title = plain(heading.group(2))
            out.extend([title, ("=" if len(heading.group(1)) == 1 else "-") * len(title)])
        elif line.startswith("    ") and not block:
            out.append(plain(line))  # a command, as it is
        elif item:
            flush()
            indent = item.group(1) + item.group(2)
            block = [plain(item.group(3))]
        else:
            block.append(plain(line.strip()))
    flush()
    while out and out[-1] == "":
        out.pop()
    for number, line in enumerate(out, 1):
        if len(line) > COLUMNS:
            sys.exit(f"user guide line {number} is longer than {COLUMNS} columns: {line}")
    return out


def crlf(lines):
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    zip_name = f"farthom-{args.version}-win32.zip"
    with open(os.path.join(args.source, "README.md"), encoding="utf-8") as readme:
        guide = readme.read()
    if zip_name not in guide.split(END, 1)[0]:
        sys.exit(f"README.md's user section does not name {zip_name}")
    with open(os.path.join(args.source, "LICENSE"), encoding="utf-8") as licence:
        licence_lines = licence.read().rstrip("\n").split("\n")
    with open(args.exe, "rb") as exe:
        exe_bytes = exe.read()

    # The commit's time, never the clock's; DOS times know no zone, so UTC is written.
    stamp = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))
    date_time = (max(stamp.tm_year, 1980),) + tuple(stamp[1:6])
    entries = [("farthom.exe", exe_bytes), ("README.txt", crlf(user_guide(guide))),
               ("LICENSE.txt", crlf(licence_lines))]

    os.makedirs(args.out, exist_ok=True)
    zip_path = os.path.join(args.out, zip_name)
    with zipfile.ZipFile(zip_path, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix owner or mode
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Windows' own zips
            archive.writestr(info, data, compresslevel=9)
    with open(os.path.join(args.out, "farthom.exe"), "wb") as exe:
        exe.write(exe_bytes)
    with open(zip_path, "rb") as packed:
        zip_bytes = packed.read()
    with open(os.path.join(args.out, "SHA256SUMS"), "w", encoding="ascii", newline="\n") as sums:
        for name, data in ((zip_name, zip_bytes), ("farthom.exe", exe_bytes)):
            sums.write(f"{hashlib.sha256(data).hexdigest()}  {name}\n")


if __name__ == "__main__":
    main()
