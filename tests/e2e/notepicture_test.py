"""Tests of notepicture under Xvfb and Wine's X11 driver, with note_probe.exe
as the program; run like winehost_test.py (ctest's `wine` fixture, or a
prefix of its own)."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import notepicture  # noqa: E402
from winehost import WineHostError, WinePrefix  # noqa: E402
from winehost_test import NOTE_READER, PROBE  # noqa: E402

NOTE = ("Certain files, including player profiles, saved games, car setups and replays will be left "
        "on your hard drive at C:\\Games\\Pellmoor\\ .  You may delete these files at your discretion "
        "after this uninstall process has finished.")

prefix = None


def setUpModule():
    global prefix
    prefix = WinePrefix.attach_or_create(os.environ.get("WINEPREFIX"), note_reader=NOTE_READER)


def tearDownModule():
    if prefix is not None:
        prefix.destroy()


def png_size(path):
    """(width, height) from a PNG's header; fails the test for anything else."""
    with open(path, "rb") as picture:
        head = picture.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", path
    return struct.unpack(">II", head[16:24])


def colour_count(path):
    return int(subprocess.run(["identify", "-format", "%k", path], capture_output=True, text=True,
                              timeout=30, check=True).stdout)


class NotePictureTest(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="pellmoor-picture-test-")
        self.addCleanup(scratch.cleanup)
        self.png = os.path.join(scratch.name, "note.png")

    def test_picture_of_the_box_and_the_prefix_restored(self):
        result = notepicture.take_picture(prefix, PROBE, self.png, ["0", NOTE, "Note:", "0"])
        self.assertEqual([(n.caption, n.text) for n in result.notes], [("Note:", NOTE)])
        self.assertEqual(result.exit_code, 0)
        # Cropped to the box: smaller than the desktop, larger than a button,
        # and more than a blank area.
        width, height = png_size(self.png)
        self.assertTrue(100 < width < notepicture.WIDTH and 50 < height < notepicture.HEIGHT,
                        (width, height))
        self.assertGreater(colour_count(self.png), 4)
        # Back on the null driver: without a display the box still exists
        # and blocks until note_reader closes it.
        after = prefix.run(PROBE, ["7", "after", "Note:", "0"])
        self.assertEqual([n.text for n in after.notes], ["after"])
        self.assertEqual(after.exit_code, 7)

    def test_whole_desktop_and_every_box_closed(self):
        result = notepicture.take_picture(prefix, PROBE, self.png,
                                          ["3", "first", "Note:", "0", "second", "Note:", "0"], crop=False)
        self.assertEqual(png_size(self.png), (notepicture.WIDTH, notepicture.HEIGHT))
        self.assertEqual([n.text for n in result.notes], ["first", "second"])
        self.assertEqual(result.exit_code, 3)

    def test_no_box_no_picture(self):
        with self.assertRaises(WineHostError):
            notepicture.take_picture(prefix, PROBE, self.png, ["-1"])
        self.assertFalse(os.path.exists(self.png))


if __name__ == "__main__":
    unittest.main()
