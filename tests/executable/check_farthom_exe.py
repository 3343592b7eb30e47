#!/usr/bin/env python3
"""Checks the built farthom.exe from outside: its headers, resources and imports.

    check_farthom_exe.py FARTHOM_EXE RESOURCES_DIR

Reads the file as the Windows loader would, with the Python 3 standard library only.
"""
import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ElementTree

EXE = None
RESOURCES = None

RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24
US_ENGLISH = 1033
# The system DLLs farthom.exe may load; the C runtime is the one that ships with Windows.
ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "shell32.dll", "comctl32.dll", "msvcrt.dll"}


class PortableExecutable:
    """The parts of a PE image these checks look at."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, self.pe + 4)
        optional = self.pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directory_count = struct.unpack_from("<I", data, optional + 92)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i)
                            for i in range(directory_count)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, virtual_size, address, raw_size, raw_offset = struct.unpack_from(
                "<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), address,
                                  max(virtual_size, raw_size), raw_offset))

    def offset(self, rva):
        for _, address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return raw_offset + rva - address
        raise ValueError(f"RVA {rva:#x} is in no section")

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def resources(self):
        """Every resource as (type, id, language) -> bytes; names instead of IDs are kept."""
        rva, _ = self.directories[2]
        if rva == 0:
            return {}
        base = self.offset(rva)
        found = {}

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if key & 0x80000000:
                    at = base + (key & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield key, target

        for kind, kind_target in entries(0):
            for name, name_target in entries(kind_target & 0x7FFFFFFF):
                for language, data_target in entries(name_target & 0x7FFFFFFF):
                    data_rva, size, _, _ = struct.unpack_from("<IIII", self.data,
                                                              base + data_target)
                    start = self.offset(data_rva)
                    found[(kind, name, language)] = self.data[start:start + size]
        return found

    def imports(self):
        """Each imported DLL (lower case) with the names of the functions taken from it."""
        rva, _ = self.directories[1]
        found = {}
        at = self.offset(rva)
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, at)
            if name == 0:
                break
            functions = found.setdefault(self.text(name).lower(), set())
            thunk = self.offset(lookup or first)
            while True:
                entry = struct.unpack_from("<I", self.data, thunk)[0]
                if entry == 0:
                    break
                functions.add(f"#{entry & 0xFFFF}" if entry & 0x80000000
                              else self.text(entry + 2))
                thunk += 4
            at += 20
        return found


def icon_file_images(path):
    """The images of a .ico file, in its order."""
    with open(path, "rb") as source:
        data = source.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1, "not an icon file"
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        images.append(data[offset:offset + size])
    return images


def decode_icon(image):
    """An icon image as rows (top first) of palette indices, None where the mask is set."""
    (_, width, double_height, planes, bits, compression) = struct.unpack_from("<IiiHHI", image, 0)
    height = double_height // 2
    assert (planes, bits, compression) == (1, 4, 0)
    colour_stride = ((width * 4 + 31) // 32) * 4
    mask_stride = ((width + 31) // 32) * 4
    colours = 40 + 64
    mask = colours + colour_stride * height
    rows = []
    for row in range(height):
        stored = height - 1 - row  # rows are kept bottom-up
        pixels = []
        for x in range(width):
            byte = image[colours + stored * colour_stride + x // 2]
            index = byte >> 4 if x % 2 == 0 else byte & 0x0F
            transparent = image[mask + stored * mask_stride + x // 8] >> (7 - x % 8) & 1
            pixels.append(None if transparent else index)
        rows.append(pixels)
    return rows


class Executable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(EXE, "rb") as source:
            cls.image = PortableExecutable(source.read())
        cls.found = cls.image.resources()

    def test_is_a_32_bit_x86_gui_program(self):
        self.assertEqual(self.image.machine, 0x14C, "i386")
        self.assertEqual(self.image.magic, 0x10B, "PE32, not PE32+")
        self.assertTrue(self.image.characteristics & 0x0002, "executable image")
        self.assertEqual(self.image.subsystem, 2, "the Windows GUI subsystem: no console")

    def test_imports_only_windows_system_dlls(self):
        imports = self.image.imports()
        self.assertLessEqual(set(imports), ALLOWED_DLLS,
                             "no MinGW runtime DLL (libstdc++, libgcc, libwinpthread) and no other")
        # The calls the program is made of, each from the DLL the system provides it in.
        for dll, function in [("comctl32.dll", "InitCommonControls"),
                              ("kernel32.dll", "GetCommandLineW"),
                              ("kernel32.dll", "FindFirstFileW"),
                              ("kernel32.dll", "GetFileAttributesW"),
                              ("kernel32.dll", "SetCurrentDirectoryW"),
                              ("kernel32.dll", "GlobalAlloc"),
                              ("user32.dll", "SetClipboardData"),
                              ("user32.dll", "MessageBoxW"),
                              ("user32.dll", "CharLowerW"),
                              ("shell32.dll", "ShellExecuteW")]:
            self.assertIn(function, imports.get(dll, set()), dll)
        self.assertEqual(self.image.directories[13], (0, 0), "no delay-loaded imports")

    def test_has_exactly_the_manifest_and_the_icon_in_us_english(self):
        sizes = {key: len(data) for key, data in self.found.items()}
        with open(os.path.join(RESOURCES, "farthom.manifest"), "rb") as source:
            manifest_size = len(source.read())
        self.assertEqual(sizes, {
            (RT_MANIFEST, 1, US_ENGLISH): manifest_size,
            (RT_GROUP_ICON, 1, US_ENGLISH): 6 + 2 * 14,
            (RT_ICON, 1, US_ENGLISH): 744,
            (RT_ICON, 2, US_ENGLISH): 296,
        })

    def test_icon_group_lists_both_images(self):
        group = self.found[(RT_GROUP_ICON, 1, US_ENGLISH)]
        self.assertEqual(struct.unpack_from("<HHH", group, 0), (0, 1, 2))
        entries = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(2)]
        self.assertEqual(entries, [(32, 32, 16, 0, 1, 4, 744, 1), (16, 16, 16, 0, 1, 4, 296, 2)])

    def test_icons_are_the_committed_images_and_show_the_pixel_maps(self):
        committed = icon_file_images(os.path.join(RESOURCES, "farthom.ico"))
        self.assertEqual(self.found[(RT_ICON, 1, US_ENGLISH)], committed[0])
        self.assertEqual(self.found[(RT_ICON, 2, US_ENGLISH)], committed[1])

        # Read back independently of the tool that wrote them.
        sys.path.insert(0, RESOURCES)
        import make_icon
        letters, maps = make_icon.read_maps(os.path.join(RESOURCES, "icon_pixels.txt"))
        for icon_id, (size, rows) in zip((1, 2), maps):
            image = self.found[(RT_ICON, icon_id, US_ENGLISH)]
            expected = [[None if char == "." else letters[char] for char in row] for row in rows]
            self.assertEqual(decode_icon(image), expected, f"icon {icon_id}")
            palette = [tuple(image[40 + 4 * i:43 + 4 * i]) for i in range(16)]
            self.assertEqual(palette[0], (0, 0, 0))
            self.assertEqual(palette[9], (0, 0, 0xFF), "red, stored blue-green-red")
            self.assertEqual(palette[14], (0xFF, 0xFF, 0), "cyan")
            self.assertEqual(palette[15], (0xFF, 0xFF, 0xFF))

    def test_manifest_binds_common_controls_6_and_nothing_else(self):
        data = self.found[(RT_MANIFEST, 1, US_ENGLISH)]
        with open(os.path.join(RESOURCES, "farthom.manifest"), "rb") as source:
            self.assertEqual(data, source.read())
        self.assertTrue(data.startswith(
            b'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'))
        v1 = "{urn:schemas-microsoft-com:asm.v1}"
        root = ElementTree.fromstring(data)
        self.assertEqual(root.tag, v1 + "assembly")
        self.assertEqual(root.get("manifestVersion"), "1.0")
        self.assertEqual([child.tag for child in root],
                         [v1 + "assemblyIdentity", v1 + "description", v1 + "dependency"],
                         "no trust, compatibility or DPI section")
        identity = root.find(v1 + "assemblyIdentity")
        self.assertEqual(
            {k: v for k, v in identity.attrib.items() if k != "name"},
            {"version": "1.0.0.0", "processorArchitecture": "X86", "type": "win32"})
        self.assertIn("name", identity.attrib)
        self.assertEqual(root.find(v1 + "description").text or "", "")
        dependencies = root.findall(f"{v1}dependency/{v1}dependentAssembly/{v1}assemblyIdentity")
        self.assertEqual(len(dependencies), 1)
        self.assertEqual(dependencies[0].attrib, {
            "type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
            "processorArchitecture": "X86", "publicKeyToken": "6595b64144ccf1df",
            "language": "*"})


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    EXE, RESOURCES = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
