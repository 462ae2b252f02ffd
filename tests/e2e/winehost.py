"""Runs Windows programs for real under Wine, for the end-to-end tests and
the demo: a throwaway prefix, its registry, and runs through note_reader.exe,
which reads and closes the message boxes a program shows.

    from winehost import WinePrefix, reg_sz, windows_path

    with WinePrefix.create(note_reader="build/windows/note_reader.exe") as prefix:
        prefix.apply_reg('[HKEY_LOCAL_MACHINE\\Software\\Quendrix\\Pellmoor]\n'
                         '"Install Dir"=' + reg_sz(windows_path(game_dir)) + '\n',
                         clear=['HKEY_LOCAL_MACHINE\\Software\\Quendrix'])
        result = prefix.run("build/windows/PellmoorUninst.exe")
        assert result.exit_code == 0 and result.notes[0].caption == "Note:"

Every Wine call runs with its standard input from /dev/null and its output
into unnamed temporary files, never into a pipe: a Wine server or desktop
process that a call starts inherits the call's descriptors and lives on, and
a harness reading a pipe would wait for it forever. The prefix's server is
started first, on its own, for the same reason and so that it stays up
between calls. Every call has a timeout.
"""

import os
import shutil
import subprocess
import tempfile
import time
import urllib.parse
from dataclasses import dataclass, field
from typing import List, Optional, Sequence

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
PREFIX_SCRIPT = os.path.join(SOURCE_DIR, "cmake", "wine-prefix.sh")

WINE_DIR = "/usr/lib/wine"
WINE = os.environ.get("PELLMOOR_WINE") or os.path.join(WINE_DIR, "wine64")
WINESERVER = os.environ.get("PELLMOOR_WINESERVER") or (
    os.path.join(WINE_DIR, "wineserver")
    if os.access(os.path.join(WINE_DIR, "wineserver"), os.X_OK)
    else os.path.join(WINE_DIR, "wineserver64"))

# Seconds allowed for a plain Wine call (regedit, reg) and for prefix set-up.
CALL_TIMEOUT = 60
PREFIX_TIMEOUT = 180
# Seconds a run through note_reader may take beyond its own timeout before
# the harness gives up on note_reader itself (Wine start-up and shut-down).
READER_MARGIN = 30


class WineHostError(Exception):
    """A Wine call failed, hung, or note_reader reported nonsense."""


@dataclass
class Note:
    """One message box as note_reader saw it."""
    caption: str
    text: str
    buttons: List[str] = field(default_factory=list)       # ids by name: "OK", "YES"...
    button_texts: List[str] = field(default_factory=list)  # as drawn: "OK", "&Yes"...
    icon: bool = False


@dataclass
class RunResult:
    """What a program did when run through note_reader."""
    exit_code: Optional[int]  # signed 32-bit; None after a timeout
    notes: List[Note]
    timed_out: bool
    seconds: float            # wall time of the whole run, Wine start-up included
    output: str               # note_reader's own report, for messages


def windows_path(posix_path: str) -> str:
    """The Z: form of a POSIX path (Wine maps drive Z: to /), made absolute;
    a trailing slash is kept as a trailing backslash."""
    absolute = os.path.abspath(posix_path)
    if posix_path.endswith("/") and absolute != "/":
        absolute += "/"
    return "Z:" + absolute.replace("/", "\\")


def reg_sz(value: str) -> str:
    """`value` as a quoted string for a .reg file: backslashes and quotes
    escaped."""
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def parse_report(output: str) -> RunResult:
    """The RunResult that note_reader's report `output` describes (seconds 0);
    raises WineHostError when the report is incomplete."""
    notes: List[Note] = []
    count = exit_code = None
    timed_out = False
    for line in output.split("\n"):
        word, _, rest = line.partition(" ")
        value = urllib.parse.unquote(rest, errors="strict")
        if word == "note":
            notes.append(Note(caption="", text=""))
        elif word in ("caption", "text", "buttons", "button", "icon") and not notes:
            raise WineHostError("note_reader: %r before any note:\n%s" % (line, output))
        elif word == "caption":
            notes[-1].caption = value
        elif word == "text":
            notes[-1].text = value
        elif word == "buttons":
            notes[-1].buttons = rest.split()
        elif word == "button":
            notes[-1].button_texts.append(value.partition(" ")[2])
        elif word == "icon":
            notes[-1].icon = rest == "shown"
        elif word == "notes":
            count = int(rest)
        elif word == "exit":
            exit_code = int(rest)
        elif word == "timeout":
            timed_out = True
    if count != len(notes) or (exit_code is None) == (not timed_out):
        raise WineHostError("note_reader's report is incomplete:\n" + output)
    return RunResult(exit_code, notes, timed_out, 0.0, output)


class WinePrefix:
    """A throwaway Wine prefix with the null graphics driver (boxes exist and
    block without a display) and no crash debugger, and its running server.

    Make one with create() (a fresh prefix, 6 to 8 s), clone() (a copy of a
    template made with make_template(), 1 to 2 s) or attach() (a prefix
    someone else made and will destroy, such as the ctest fixture's)."""

    def __init__(self, path: str, note_reader: Optional[str] = None, owned: bool = True,
                 display: Optional[str] = None):
        self.path = os.path.abspath(path)
        self.note_reader = note_reader or os.environ.get("PELLMOOR_NOTE_READER")
        self.owned = owned
        # The X display Wine may use; None keeps Wine off any display.
        self.display = display
        # The temporary directory create() or clone() chose to hold the
        # prefix, removed with it.
        self._scratch: Optional[str] = None

    @classmethod
    def _new(cls, path: Optional[str], kwargs: dict) -> "WinePrefix":
        """An object for a prefix at `path`, or in a new temporary directory."""
        if path:
            return cls(path, **kwargs)
        scratch = tempfile.mkdtemp(prefix=_TEMP_PREFIX)
        prefix = cls(os.path.join(scratch, "prefix"), **kwargs)
        prefix._scratch = scratch
        return prefix

    # --- life cycle -------------------------------------------------------

    @classmethod
    def create(cls, path: Optional[str] = None, **kwargs) -> "WinePrefix":
        """A fresh prefix at `path` (a new temporary directory when None)."""
        prefix = cls._new(path, kwargs)
        _call([PREFIX_SCRIPT, "create", prefix.path], PREFIX_TIMEOUT)
        return prefix

    @classmethod
    def make_template(cls, path: str) -> None:
        """Makes a prefix at `path` to clone() from, its server stopped so that
        its registry files are complete."""
        template = cls.create(path)
        template.stop_server()

    @classmethod
    def clone(cls, template: str, path: Optional[str] = None, **kwargs) -> "WinePrefix":
        """A copy of the template prefix at `template`, its server started."""
        prefix = cls._new(path, kwargs)
        if os.path.exists(prefix.path):
            raise WineHostError("clone: %s exists" % prefix.path)
        _call(["cp", "-a", template, prefix.path], PREFIX_TIMEOUT)
        prefix.start()
        return prefix

    @classmethod
    def attach(cls, path: str, **kwargs) -> "WinePrefix":
        """The existing prefix at `path`; destroy() leaves it alone."""
        prefix = cls(path, owned=False, **kwargs)
        if not os.path.isfile(os.path.join(prefix.path, "system.reg")):
            raise WineHostError("attach: %s is not a Wine prefix" % prefix.path)
        prefix.start()
        return prefix

    @classmethod
    def attach_or_create(cls, path: Optional[str], **kwargs) -> "WinePrefix":
        """The existing prefix at `path` when one is given, else a fresh one."""
        return cls.attach(path, **kwargs) if path else cls.create(**kwargs)

    def destroy(self) -> None:
        """Stops the server and deletes the prefix, if this object made it."""
        if self.owned and os.path.exists(self.path):
            _call([PREFIX_SCRIPT, "destroy", self.path], PREFIX_TIMEOUT)
        if self._scratch:
            shutil.rmtree(self._scratch, ignore_errors=True)
            self._scratch = None

    def __enter__(self) -> "WinePrefix":
        return self

    def __exit__(self, *exc) -> None:
        self.destroy()

    def start_server(self) -> bool:
        """Starts the prefix's persistent server unless it is running; returns
        whether it started one."""
        # The server forks into the background; it exits at once with 2
        # when a server of the prefix is running already.
        done = _call([WINESERVER, "-p"], CALL_TIMEOUT, self.env(), check=False)
        if done.returncode not in (0, 2):
            raise WineHostError("wineserver -p: exit %d\n%s" % (done.returncode, done.stderr))
        return done.returncode == 0

    def start(self) -> None:
        """Starts the server, and with a new server the prefix's services and
        desktop, from here: whatever Wine program first runs in a cold prefix
        starts them, and they keep its descriptors for as long as the server
        lives, so a later caller that reads a Wine program's output through a
        pipe (ctest, for one) would wait forever."""
        if self.start_server():
            self.wine(["wineboot"], PREFIX_TIMEOUT)

    def stop_server(self) -> None:
        """Stops the server and every Wine process of the prefix; the server
        writes the registry to disk as it goes."""
        env = self.env()
        _call([WINESERVER, "-k"], CALL_TIMEOUT, env, check=False)
        _call([WINESERVER, "-w"], CALL_TIMEOUT, env, check=False)

    def restart(self) -> None:
        """Restarts the prefix (see start()), so that settings read at
        start-up, such as the graphics driver, take effect."""
        self.stop_server()
        self.start()

    def env(self) -> dict:
        """The environment for a Wine call in this prefix."""
        env = dict(os.environ)
        env["WINEPREFIX"] = self.path
        env.setdefault("WINEDEBUG", "-all")
        env.pop("DISPLAY", None)
        if self.display:
            env["DISPLAY"] = self.display
        return env

    def wine(self, args: Sequence[str], timeout: float = CALL_TIMEOUT,
             check: bool = True) -> subprocess.CompletedProcess:
        """Runs `wine64 args...` in the prefix; stdout and stderr come back as
        text. Raises WineHostError on a timeout, or on a non-zero exit when
        `check`."""
        # A call that had to start the server would leave one that exits
        # soon after, to be started again by the next call.
        self.start_server()
        return _call([WINE] + list(args), timeout, self.env(), check)

    # --- registry ---------------------------------------------------------

    def import_reg(self, reg_file: str) -> None:
        """Imports a .reg file (REGEDIT4 or version 5, ANSI or UTF-16LE)."""
        self.wine(["regedit", "/S", windows_path(reg_file)])

    def apply_reg(self, body: str, clear: Sequence[str] = ()) -> None:
        """Imports the .reg `body` (sections and values, no header line), after
        deleting each key tree in `clear` (full key names such as
        "HKEY_LOCAL_MACHINE\\Software\\Quendrix"), all in one regedit call, so
        that nothing of an earlier scenario stays behind."""
        text = "Windows Registry Editor Version 5.00\r\n\r\n"
        text += "".join("[-%s]\r\n\r\n" % key for key in clear)
        text += body.replace("\r\n", "\n").replace("\n", "\r\n") + "\r\n"
        with tempfile.TemporaryDirectory(prefix=_TEMP_PREFIX) as scratch:
            reg_file = os.path.join(scratch, "settings.reg")
            with open(reg_file, "wb") as out:
                # UTF-16LE with a byte order mark: any character survives.
                out.write(text.encode("utf-16"))
            self.import_reg(reg_file)

    def delete_key(self, key: str) -> None:
        """Deletes the key tree `key`; a missing key is no error."""
        self.apply_reg("", clear=[key])

    def has_value(self, key: str, name: Optional[str] = None) -> bool:
        """Whether the key (or the value `name` under it) exists."""
        args = ["reg", "query", key] + (["/v", name] if name is not None else [])
        return self.wine(args, check=False).returncode == 0

    # --- running programs -------------------------------------------------

    def run(self, program: str, args: Sequence[str] = (), timeout: float = 30.0,
            cwd: Optional[str] = None, hold_file: Optional[str] = None) -> RunResult:
        """Runs `program` (a POSIX path, or a Windows path as it is) with
        `args` through note_reader, which reads and closes each message box,
        and returns what happened. After `timeout` seconds note_reader ends
        the program and the result says timed_out. `hold_file` (a POSIX path)
        is note_reader's --hold-file."""
        if not self.note_reader or not os.path.isfile(self.note_reader):
            raise WineHostError("note_reader.exe not found: %r (set PELLMOOR_NOTE_READER)"
                                % self.note_reader)
        command = [self.note_reader, "--timeout-ms", str(int(timeout * 1000))]
        if hold_file:
            command += ["--hold-file", windows_path(hold_file)]
        command.append(windows_path(program) if program.startswith("/") else program)
        command += list(args)
        self.start_server()
        started = time.monotonic()
        done = _call([WINE] + command, timeout + READER_MARGIN, self.env(), check=False, cwd=cwd)
        seconds = time.monotonic() - started
        if done.returncode not in (0, 3):
            raise WineHostError("note_reader failed (exit %d): %s%s"
                                % (done.returncode, done.stdout, done.stderr))
        result = parse_report(done.stdout)
        result.seconds = seconds
        return result


_TEMP_PREFIX = "pellmoor-wine-"


def _call(command: Sequence[str], timeout: float, env: Optional[dict] = None,
          check: bool = True, cwd: Optional[str] = None) -> subprocess.CompletedProcess:
    """Runs `command` with stdin from /dev/null and its output into unnamed
    temporary files (see the module's comment); raises WineHostError on a
    timeout, or on a non-zero exit when `check`."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            done = subprocess.run(list(command), stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  env=env, cwd=cwd, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WineHostError("%s: no end after %s s" % (" ".join(command), timeout)) from None
        out.seek(0)
        err.seek(0)
        stdout = out.read().decode("utf-8", errors="replace")
        stderr = err.read().decode("utf-8", errors="replace")
    if check and done.returncode != 0:
        raise WineHostError("%s: exit %d\n%s%s" % (" ".join(command), done.returncode, stdout, stderr))
    return subprocess.CompletedProcess(done.args, done.returncode, stdout, stderr)
