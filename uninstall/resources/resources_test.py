#!/usr/bin/env python3
"""Reads the resources and the import table back out of the built
PellmoorUninst.exe and checks them: the GUI subsystem, system DLLs only, the
icon, the version block's strings and the application manifest.

  resources_test.py build/windows/PellmoorUninst.exe

Needs wrestool (icoutils) and x86_64-w64-mingw32-objdump."""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

EXE = None

SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'advapi32.dll', 'msvcrt.dll', 'gdi32.dll', 'shell32.dll',
               'comctl32.dll', 'ntdll.dll'}


def resource(kind, name=None):
    args = ['wrestool', '-x', '--raw', '--type=%s' % kind]
    if name is not None:
        args.append('--name=%s' % name)
    return subprocess.run(args + [EXE], check=True, stdout=subprocess.PIPE).stdout


def version_strings(block):
    """The StringFileInfo values of a VS_VERSIONINFO block, as a dict."""
    values = {}

    def walk(offset, end):
        while offset < end:
            length, value_length, kind = struct.unpack_from('<HHH', block, offset)
            if length == 0:
                break
            key_start = offset + 6
            key_end = block.index(b'\0\0', key_start)
            while (key_end - key_start) % 2:
                key_end = block.index(b'\0\0', key_end + 1)
            key = block[key_start:key_end].decode('utf-16-le')
            value_start = (key_end + 2 + 3) & ~3
            if kind == 1 and value_length:
                text = block[value_start:value_start + value_length * 2].decode('utf-16-le').rstrip('\0')
                values[key] = text
            children = value_start + (value_length * (2 if kind == 1 else 1))
            children = (children + 3) & ~3
            if key in ('VS_VERSION_INFO', 'StringFileInfo') or re.fullmatch('[0-9a-fA-F]{8}', key):
                walk(children, offset + length)
            offset = (offset + length + 3) & ~3

    walk(0, len(block))
    return values


class Resources(unittest.TestCase):
    def test_gui_subsystem_and_system_dlls_only(self):
        dump = subprocess.run(['x86_64-w64-mingw32-objdump', '-p', EXE], check=True,
                              stdout=subprocess.PIPE, text=True).stdout
        self.assertIn('PE32+', dump)
        self.assertRegex(dump, r'Subsystem\s+00000002\s+\(Windows GUI\)')
        dlls = {m.lower() for m in re.findall(r'DLL Name: (\S+)', dump)}
        self.assertTrue(dlls)
        self.assertLessEqual(dlls, SYSTEM_DLLS, 'imports beyond system DLLs: %s' % (dlls - SYSTEM_DLLS))

    def test_one_application_icon(self):
        group = resource(14)
        reserved, kind, count = struct.unpack_from('<HHH', group)
        self.assertEqual((reserved, kind), (0, 1))
        sizes = sorted(struct.unpack_from('<B', group, 6 + 14 * i)[0] or 256 for i in range(count))
        self.assertEqual(sizes, [16, 32, 48, 256])
        listing = subprocess.run(['wrestool', '-l', '--type=14', EXE], check=True, stdout=subprocess.PIPE,
                                 text=True).stdout
        self.assertEqual(len(listing.strip().splitlines()), 1)

    def test_version_block(self):
        strings = version_strings(resource(16))
        self.assertEqual(strings.get('FileVersion'), '0.001')
        self.assertEqual(strings.get('ProductVersion'), '0.001')
        self.assertEqual(strings.get('FileDescription'), 'Pellmoor Uninst')

    def test_application_manifest(self):
        manifest = resource(24, 1).decode('utf-8')
        self.assertRegex(manifest, r'requestedExecutionLevel\s+level="requireAdministrator"')
        self.assertIn('Microsoft.Windows.Common-Controls', manifest)
        self.assertIn('version="6.0.0.0"', manifest)
        self.assertIn('{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}', manifest)  # Windows 10 and 11
        self.assertIn('PerMonitorV2', manifest)
        listing = subprocess.run(['wrestool', '-l', '--type=24', EXE], check=True, stdout=subprocess.PIPE,
                                 text=True).stdout
        self.assertEqual(len(listing.strip().splitlines()), 1, 'exactly one manifest')


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    EXE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
