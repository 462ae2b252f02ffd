#!/usr/bin/env python3
"""Reads the PE header and import table of the built rmptool.exe: a console
program (not GUI) that needs nothing but system DLLs, as the uninstaller.

  exe_test.py build/windows/rmptool.exe

Needs x86_64-w64-mingw32-objdump."""
import os
import re
import subprocess
import sys
import unittest

EXE = None

SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'advapi32.dll', 'msvcrt.dll', 'gdi32.dll', 'shell32.dll',
               'comctl32.dll', 'ntdll.dll'}


class Executable(unittest.TestCase):
    def test_console_subsystem_and_system_dlls_only(self):
        dump = subprocess.run(['x86_64-w64-mingw32-objdump', '-p', EXE], check=True,
                              stdout=subprocess.PIPE, text=True).stdout
        self.assertIn('PE32+', dump)
        self.assertRegex(dump, r'Subsystem\s+00000003\s+\(Windows CUI\)')
        dlls = {m.lower() for m in re.findall(r'DLL Name: (\S+)', dump)}
        self.assertTrue(dlls)
        self.assertLessEqual(dlls, SYSTEM_DLLS, 'imports beyond system DLLs: %s' % (dlls - SYSTEM_DLLS))


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    EXE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
