"""Tests of winehost and note_reader.exe under Wine, with note_probe.exe as
the program under test.

ctest runs this in the prefix of its `wine` fixture (WINEPREFIX) and names
the executables in PELLMOOR_NOTE_READER and PELLMOOR_NOTE_PROBE. Run by
hand, it makes a prefix of its own and looks for them in build/windows.
"""

import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import winehost  # noqa: E402
from winehost import Note, WineHostError, WinePrefix, parse_report, reg_sz, windows_path  # noqa: E402

BUILD = os.path.join(winehost.SOURCE_DIR, "build", "windows")
NOTE_READER = os.environ.get("PELLMOOR_NOTE_READER") or os.path.join(BUILD, "note_reader.exe")
PROBE = os.environ.get("PELLMOOR_NOTE_PROBE") or os.path.join(BUILD, "tests", "wine", "note_probe.exe")

# The status of a process that ended on an access violation (0xC0000005),
# as a signed 32-bit number.
ACCESS_VIOLATION = 0xC0000005 - (1 << 32)
MB_OK, MB_YESNOCANCEL, MB_ICONHAND, MB_ICONQUESTION = 0x0, 0x3, 0x10, 0x20

prefix = None


def setUpModule():
    global prefix
    prefix = WinePrefix.attach_or_create(os.environ.get("WINEPREFIX"), note_reader=NOTE_READER)


def tearDownModule():
    if prefix is not None:
        prefix.destroy()


def probe(end, *boxes, timeout=30.0):
    """Runs note_probe ending with `end` after showing each (text, caption,
    style) box in `boxes`."""
    args = [str(end)]
    for text, caption, style in boxes:
        args += [text, caption, str(style)]
    return prefix.run(PROBE, args, timeout=timeout)


class NoteReaderTest(unittest.TestCase):
    def test_texts_come_back_exactly(self):
        texts = [
            "plain",
            "100% sure, %s and %%",
            "two blanks.  Then more",
            "long " + "x" * 300 + " end",
            "lines\r\nand\ttabs\n",
            'quotes "inside" and a path C:\\Games\\Pellmoor\\',
            'a trailing backslash before a quote \\" and at the end\\\\',
            " leading and trailing blanks ",
        ]
        for text in texts:
            with self.subTest(text=text):
                result = probe(0, (text, "Note:", MB_OK))
                self.assertEqual(result.exit_code, 0)
                self.assertEqual(len(result.notes), 1)
                self.assertEqual(result.notes[0].caption, "Note:")
                self.assertEqual(result.notes[0].text, text)

    def test_buttons_and_icon(self):
        rows = [
            (MB_OK, ["OK"], ["OK"], False),
            (MB_OK | MB_ICONHAND, ["OK"], ["OK"], True),
            (MB_YESNOCANCEL | MB_ICONQUESTION, ["YES", "NO", "CANCEL"], ["&Yes", "&No", "Cancel"], True),
            (MB_YESNOCANCEL, ["YES", "NO", "CANCEL"], ["&Yes", "&No", "Cancel"], False),
        ]
        for style, buttons, texts, icon in rows:
            with self.subTest(style=style):
                note = probe(3, ("text", "caption", style)).notes[0]
                self.assertEqual(note.buttons, buttons)
                self.assertEqual(note.button_texts, texts)
                self.assertEqual(note.icon, icon)

    def test_exit_codes_are_signed_and_exact(self):
        for code in (0, 1, -1, 255, 2147483647, -2147483648):
            with self.subTest(code=code):
                result = probe(code)
                self.assertEqual(result.exit_code, code)
                self.assertFalse(result.timed_out)

    def test_no_note(self):
        result = probe(-1)
        self.assertEqual(result.notes, [])
        self.assertEqual(result.exit_code, -1)

    def test_every_note_is_reported_in_order(self):
        result = probe(0, ("first", "Note:", MB_OK), ("second", "Other", MB_OK))
        self.assertEqual([(n.caption, n.text) for n in result.notes],
                         [("Note:", "first"), ("Other", "second")])
        self.assertEqual(result.exit_code, 0)

    def test_a_crash_ends_the_run(self):
        # Without the prefix's AeDebug setting a debugger would block here
        # until the timeout.
        result = probe("crash", ("before", "Note:", MB_OK))
        self.assertFalse(result.timed_out)
        self.assertEqual(result.exit_code, ACCESS_VIOLATION)
        self.assertEqual([n.text for n in result.notes], ["before"])

    def test_a_program_that_never_ends_times_out(self):
        result = probe("hang", ("shown", "Note:", MB_OK), timeout=2)
        self.assertTrue(result.timed_out)
        self.assertIsNone(result.exit_code)
        self.assertEqual([n.text for n in result.notes], ["shown"])

    def test_a_missing_program_is_an_error(self):
        with self.assertRaises(WineHostError):
            prefix.run("/nonexistent/program.exe")


class RegistryTest(unittest.TestCase):
    KEY = "HKEY_LOCAL_MACHINE\\Software\\PellmoorHarnessTest"

    def tearDown(self):
        prefix.delete_key(self.KEY)

    def test_apply_clears_what_an_earlier_scenario_left(self):
        prefix.apply_reg("[%s\\Sub]\n\"Old\"=\"1\"\n" % self.KEY)
        self.assertTrue(prefix.has_value(self.KEY + "\\Sub", "Old"))
        prefix.apply_reg("[%s\\Sub]\n\"New\"=%s\n" % (self.KEY, reg_sz('C:\\a "b"\\')), clear=[self.KEY])
        self.assertFalse(prefix.has_value(self.KEY + "\\Sub", "Old"))
        query = prefix.wine(["reg", "query", self.KEY + "\\Sub", "/v", "New"]).stdout
        self.assertIn('C:\\a "b"\\', query)

    def test_delete_key(self):
        prefix.apply_reg("[%s\\Deeper\\Still]\n\"Value\"=\"x\"\n" % self.KEY)
        prefix.delete_key(self.KEY)
        self.assertFalse(prefix.has_value(self.KEY))
        # A missing key is no error.
        prefix.delete_key(self.KEY)


class PathAndReportTest(unittest.TestCase):
    def test_windows_path(self):
        rows = [
            ("/", "Z:\\"),
            ("/tmp/game dir", "Z:\\tmp\\game dir"),
            ("/tmp/game/", "Z:\\tmp\\game\\"),
            ("/tmp//a/./b/../c", "Z:\\tmp\\a\\c"),
        ]
        for posix, windows in rows:
            with self.subTest(posix=posix):
                self.assertEqual(windows_path(posix), windows)

    def test_report_parsing(self):
        result = parse_report("note 1\ncaption Note:\ntext a%0Ab%25\nbuttons OK\nbutton OK OK\n"
                              "icon none\nnotes 1\nexit -1\n")
        self.assertEqual(result.notes, [Note("Note:", "a\nb%", ["OK"], ["OK"], False)])
        self.assertEqual(result.exit_code, -1)
        self.assertFalse(result.timed_out)

    def test_incomplete_reports_are_rejected(self):
        for output in ["", "notes 0\n", "exit 0\n", "note 1\nnotes 2\nexit 0\n", "text x\nnotes 0\nexit 0\n"]:
            with self.subTest(output=output):
                with self.assertRaises(WineHostError):
                    parse_report(output)


class PrefixLifeCycleTest(unittest.TestCase):
    def test_template_clone_run_destroy(self):
        scratch = tempfile.mkdtemp(prefix="pellmoor-wine-test-")
        self.addCleanup(shutil.rmtree, scratch, ignore_errors=True)
        template = os.path.join(scratch, "template")
        WinePrefix.make_template(template)
        self.addCleanup(WinePrefix(template).destroy)
        clone = WinePrefix.clone(template, os.path.join(scratch, "clone"), note_reader=NOTE_READER)
        try:
            # The clone has the template's null graphics driver: the box
            # exists and blocks without a display.
            result = clone.run(PROBE, ["5", "in the clone", "Note:", "0"])
            self.assertEqual([n.text for n in result.notes], ["in the clone"])
            self.assertEqual(result.exit_code, 5)
        finally:
            clone.destroy()
        self.assertFalse(os.path.exists(clone.path))


if __name__ == "__main__":
    unittest.main()
