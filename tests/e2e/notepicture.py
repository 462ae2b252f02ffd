"""Takes a picture of the first message box a program shows, as Windows
draws it: the program runs under Wine's X11 driver on a private Xvfb
display, inside a Wine virtual desktop (which draws Windows-style title bars,
so the caption shows), and note_reader holds the box open while ImageMagick's
`import` takes the screenshot, cropped to the box.

    from winehost import WinePrefix
    from notepicture import take_picture

    result = take_picture(prefix, "build/windows/PellmoorUninst.exe", "note.png")

or, for the demo, from the shell:

    python3 tests/e2e/notepicture.py --note-reader build/windows/note_reader.exe \\
        --reg scenario.reg --out note.png build/windows/PellmoorUninst.exe

Needs the Debian packages xvfb and imagemagick (scripts/setup installs them).
The prefix is switched from the null graphics driver to X11 for the run and
back afterwards, its server restarted each time (the driver is chosen when
the prefix's desktop process starts); its other registry data stays.
"""

import argparse
import os
import select
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from typing import Optional, Sequence

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from winehost import RunResult, WineHostError, WinePrefix  # noqa: E402

WIDTH, HEIGHT = 800, 600

# The X11 driver, no window manager expected ("Managed"="N" spares a 2 s
# wait on every close), and every window of the prefix inside one virtual
# desktop of the screen's size, so that desktop and screen coordinates agree.
X11_SETTINGS = """
[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]
"Graphics"="x11"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="%dx%d"
""" % (WIDTH, HEIGHT)

# Back to what cmake/wine-settings.reg sets up: the null driver, nothing else.
NULL_SETTINGS = """
[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]
"Graphics"="null"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"=-

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"=-

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"=-
"""

# Wine's own fonts (Tahoma for dialogs, Marlett for the close button), which
# Debian's Wine leaves out of a new prefix: without them the box is drawn in
# another face and the close button shows the letter "r".
WINE_FONTS = os.environ.get("PELLMOOR_WINE_FONTS", "/usr/share/wine/fonts")

# Seconds allowed for Xvfb to start, and for the screen to settle after the
# box appeared (Wine's X11 driver copies window contents to the X server a
# little later than the program draws them).
XVFB_START_TIMEOUT = 15
SETTLE_TIMEOUT = 5


def take_picture(prefix: WinePrefix, program: str, png_path: str, args: Sequence[str] = (),
                 timeout: float = 30.0, crop: bool = True) -> RunResult:
    """Runs `program` with `args` in `prefix` (its registry prepared), writes a
    PNG of its first message box (the whole desktop when not `crop`) to
    `png_path`, closes every box and returns the run's result. Raises
    WineHostError when a tool is missing or no box appeared."""
    for tool in ("Xvfb", "import"):
        if shutil.which(tool) is None:
            raise WineHostError("%s not found: install xvfb and imagemagick (scripts/setup)" % tool)
    _install_fonts(prefix)
    with _Xvfb() as display, tempfile.TemporaryDirectory(prefix="pellmoor-picture-") as scratch:
        _switch(prefix, X11_SETTINGS, display)
        try:
            return _run_and_shoot(prefix, program, args, timeout, scratch, png_path, crop)
        finally:
            _switch(prefix, NULL_SETTINGS, None)


def _switch(prefix: WinePrefix, settings: str, display: Optional[str]) -> None:
    """Imports the driver `settings` and restarts the prefix so that they
    take effect, with `display` for its programs."""
    prefix.apply_reg(settings)
    prefix.display = display
    prefix.restart()


def _run_and_shoot(prefix: WinePrefix, program: str, args: Sequence[str], timeout: float,
                   scratch: str, png_path: str, crop: bool) -> RunResult:
    """Runs the program in a thread, holding its boxes open through
    note_reader's hold file; photographs the first and lets the rest go."""
    hold = os.path.join(scratch, "hold")
    outcome = {}

    def run():
        try:
            outcome["result"] = prefix.run(program, args, timeout, hold_file=hold)
        except WineHostError as error:
            outcome["error"] = error

    runner = threading.Thread(target=run, daemon=True)
    runner.start()
    shot = None
    while runner.is_alive():
        rect = _read_rect(hold)
        if rect is None:
            time.sleep(0.05)
            continue
        if shot is None:
            shot = _shoot(scratch, rect if crop else None, prefix.display)
        # note_reader closes the box once the file is gone.
        os.remove(hold)
    runner.join()
    if "error" in outcome:
        raise outcome["error"]
    result = outcome["result"]
    if shot is None:
        raise WineHostError("no message box to take a picture of:\n" + result.output)
    shutil.copyfile(shot, png_path)
    return result


def _read_rect(path: str):
    """The box rectangle (left, top, right, bottom) in the hold file, or None
    while the file is missing or not completely written."""
    try:
        with open(path) as hold:
            text = hold.read()
    except FileNotFoundError:
        return None
    fields = text.split()
    if not text.endswith("\n") or len(fields) != 4:
        return None
    return tuple(int(field) for field in fields)


def _shoot(scratch: str, rect, display: str) -> str:
    """A PNG of the screen of `display` (cropped to `rect` when given), taken
    again until two pictures in a row agree; returns its path."""
    command = ["import", "-window", "root"]
    if rect is not None:
        left, top = max(rect[0], 0), max(rect[1], 0)
        right, bottom = min(rect[2], WIDTH), min(rect[3], HEIGHT)
        command += ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
    # -strip: no time stamps in the file, so equal pictures are equal bytes.
    command.append("-strip")
    previous = None
    deadline = time.monotonic() + SETTLE_TIMEOUT
    for attempt in range(1000):
        path = os.path.join(scratch, "shot%d.png" % attempt)
        _x_tool(command + [path], display)
        with open(path, "rb") as picture:
            data = picture.read()
        if data == previous or time.monotonic() > deadline:
            return path
        previous = data
        time.sleep(0.1)
    return path


def _x_tool(command: Sequence[str], display: str) -> None:
    """Runs an X client on `display`; raises WineHostError when it fails."""
    env = dict(os.environ, DISPLAY=display)
    try:
        subprocess.run(list(command), env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30, check=True)
    except (subprocess.SubprocessError, OSError) as error:
        raise WineHostError("%s: %s" % (command[0], error)) from None


def _install_fonts(prefix: WinePrefix) -> None:
    """Copies Wine's own fonts into the prefix's Fonts folder, where Wine
    looks for them, unless they are there."""
    fonts = os.path.join(prefix.path, "drive_c", "windows", "Fonts")
    if not os.path.isdir(WINE_FONTS) or not os.path.isdir(fonts):
        return
    for name in os.listdir(WINE_FONTS):
        target = os.path.join(fonts, name)
        if not os.path.exists(target):
            shutil.copyfile(os.path.join(WINE_FONTS, name), target)


class _Xvfb:
    """A private Xvfb server for the duration of a `with` block; its value is
    the display name (":N")."""

    def __enter__(self) -> str:
        # Xvfb picks a free display number itself and writes it to the fd.
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (WIDTH, HEIGHT),
                 "-nolisten", "tcp"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL, start_new_session=True)
        finally:
            os.close(write_end)
        number = b""
        deadline = time.monotonic() + XVFB_START_TIMEOUT
        with os.fdopen(read_end, "rb", buffering=0) as numbers:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                ready, _, _ = select.select([numbers], [], [], 0.2)
                if ready:
                    chunk = numbers.read(16)
                    if not chunk:
                        break
                    number += chunk
        if not number.strip().isdigit():
            self._stop()
            raise WineHostError("Xvfb did not start")
        return ":" + number.strip().decode()

    def __exit__(self, *exc) -> None:
        self._stop()

    def _stop(self) -> None:
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=10)


def main(argv: Sequence[str]) -> int:
    parser = argparse.ArgumentParser(description="Takes a picture of a program's message box under Wine.")
    parser.add_argument("--note-reader", required=True, help="note_reader.exe")
    parser.add_argument("--prefix", help="an existing prefix to use (default: a throwaway one)")
    parser.add_argument("--reg", action="append", default=[], help=".reg file to import first")
    parser.add_argument("--out", required=True, help="the PNG to write")
    parser.add_argument("--whole-desktop", action="store_true", help="do not crop to the box")
    parser.add_argument("program")
    parser.add_argument("args", nargs="*")
    options = parser.parse_args(argv)
    prefix = WinePrefix.attach_or_create(options.prefix, note_reader=options.note_reader)
    try:
        for reg in options.reg:
            prefix.import_reg(reg)
        result = take_picture(prefix, options.program, options.out, options.args,
                              crop=not options.whole_desktop)
    finally:
        prefix.destroy()
    print(result.output, end="")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
