#!/usr/bin/env python3
r"""Runs the end-to-end scenarios against the real uninstaller: the native
build (registry from HKLM_REG_FILE, the note on standard output) or the
Windows build under Wine (registry imported into the prefix, the note read
from the real message box by note_reader.exe). The same fixture serves both.

With --rmptool, `rmptool plan --json` of the same build runs first, in the
same registry: it must change nothing in the tree, end as the uninstaller
ends (0, or 1 where the uninstaller gives -1), show the same note, and its
delete and remove lines must name exactly what the real run then deletes
(see plan_check.py).

  run_e2e.py --native build/native/PellmoorUninst --rmptool build/native/rmptool
  run_e2e.py --native build/native/PellmoorUninst --wrapper 'valgrind -q --error-exitcode=99'
  run_e2e.py --wine build/windows/PellmoorUninst.exe --note-reader build/windows/note_reader.exe \
             --rmptool build/windows/rmptool.exe
"""
import argparse
import os
import shlex
import subprocess
import sys
import tempfile
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import adversarial  # noqa: E402
import fixture  # noqa: E402
import plan_check  # noqa: E402
import scenarios  # noqa: E402


class Outcome:
    def __init__(self, exit_code, notes):
        self.exit_code = exit_code
        self.notes = notes  # list of (caption, text)


class PlanOutcome:
    def __init__(self, exit_code, stdout, stderr):
        self.exit_code = exit_code
        self.stdout = stdout
        self.stderr = stderr


class NativeRunner:
    name = 'native'

    def __init__(self, program, rmptool=None, wrapper=()):
        self.program = os.path.abspath(program)
        self.rmptool = os.path.abspath(rmptool) if rmptool else None
        # A command the program runs under, such as valgrind: anything it
        # reports on standard error fails the scenario, and so does its own
        # exit code, which then stands in for the program's.
        self.wrapper = list(wrapper)
        self.reg_path = None

    def load_registry(self, reg_path):
        self.reg_path = reg_path

    def plan(self):
        env = dict(os.environ, HKLM_REG_FILE=self.reg_path)
        proc = subprocess.run([self.rmptool, 'plan', '--json'], env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        return PlanOutcome(proc.returncode, proc.stdout.decode('ascii'), proc.stderr.decode('latin-1'))

    def run(self, cwd):
        env = dict(os.environ, HKLM_REG_FILE=self.reg_path)
        proc = subprocess.run(self.wrapper + [self.program], cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=600)
        if proc.stderr:
            raise AssertionError('unexpected standard error: %s' % proc.stderr[:4000].decode('latin-1'))
        lines = proc.stdout.decode('latin-1').split('\n')
        if lines and lines[-1] == '':
            lines.pop()
        if len(lines) % 2:
            raise AssertionError('output is not caption/text pairs: %r' % lines)
        notes = [(lines[i], lines[i + 1]) for i in range(0, len(lines), 2)]
        # The process's exit status is the low byte of WinMain's result.
        code = proc.returncode - 256 if proc.returncode > 127 else proc.returncode
        return Outcome(code, notes)


class WineRunner:
    name = 'wine'

    def __init__(self, program, note_reader, prefix, rmptool=None):
        import winehost
        self.program = os.path.abspath(program)
        self.rmptool = os.path.abspath(rmptool) if rmptool else None
        self.prefix = winehost.WinePrefix.attach(prefix, note_reader=os.path.abspath(note_reader))
        # short_path.exe is built beside note_reader.exe.
        self.short_path_tool = os.path.join(os.path.dirname(os.path.abspath(note_reader)), 'short_path.exe')

    def short_path(self, windows_path):
        """The short (8.3) form Wine gives an existing path."""
        done = self.prefix.wine([self.short_path_tool, windows_path])
        short = done.stdout.strip()
        if not short:
            raise AssertionError('no short form for %s' % windows_path)
        return short

    def load_registry(self, reg_path):
        self.prefix.import_reg(reg_path)

    def plan(self):
        # A console program: its output comes back through winehost's
        # temporary files, never a pipe a Wine process could hold open.
        command = [self.rmptool, 'plan', '--json']
        done = self.prefix.wine(command, timeout=120, check=False)
        if not done.stdout.strip():
            # The plan always prints its document, so no output at all means
            # Wine did not run it: about one wine64 call of a console program
            # in 500 ends at once with exit 1 and prints nothing here
            # (short_path.exe does it too). It is said, and tried once more.
            print('     (rmptool.exe gave no output, exit %d, %r: tried again)'
                  % (done.returncode, done.stderr.strip()[:300]))
            done = self.prefix.wine(command, timeout=120, check=False)
        return PlanOutcome(done.returncode, done.stdout, done.stderr)

    def run(self, cwd):
        result = self.prefix.run(self.program, cwd=cwd, timeout=60)
        if result.timed_out:
            raise AssertionError('timed out:\n' + result.output)
        for note in result.notes:
            # One OK button and no icon (MB_OK).
            if note.buttons != ['OK'] or note.icon:
                raise AssertionError('the note has buttons %s and icon %s' % (note.buttons, note.icon))
        return Outcome(result.exit_code, [(n.caption, n.text) for n in result.notes])


def fill_long_names(scenario, root_windows):
    """Resolves the 'long127'/'long128' registry placeholders: the directory
    name 'LONG' in the tree is stretched so that root\\LONG has that length."""
    values = scenario.registry
    if not values:
        return values, {}
    out = dict(values)
    rename = {}
    for name, value in values.items():
        if value in ('long127', 'long128'):
            length = int(value[4:])
            stretched = 'L' * (length - len(root_windows) - 1)
            out[name] = root_windows + '\\' + stretched
            rename['LONG'] = stretched
    return out, rename


def renamed(paths, rename):
    out = type(paths)() if not isinstance(paths, dict) else {}
    for path in paths:
        first, sep, rest = path.partition('/')
        new = rename.get(first, first) + sep + rest
        if isinstance(paths, dict):
            out[new] = paths[path]
        else:
            out.add(new) if isinstance(out, set) else out.append(new)
    return out


def run_scenario(runner, scenario, base, index):
    root = os.path.join(base, '%02d' % index)
    root_windows = fixture.windows_path(root)
    values, rename = fill_long_names(scenario, root_windows)
    files = renamed(scenario.files, rename)
    gone = renamed(scenario.gone, rename)
    fixture.build_tree(root, files, scenario.dirs, scenario.links, renamed(list(scenario.readonly), rename))
    manifest = getattr(scenario, 'templated_manifest', None)
    if manifest:
        # Entries may name the scenario root: '{root}' with its drive,
        # '{rootpath}' without.
        path = os.path.join(root, manifest)
        with open(path, 'rb') as f:
            text = f.read().decode('latin-1')
        text = text.replace('{root}', root_windows).replace('{rootpath}', root_windows[2:])
        with open(path, 'wb') as f:
            f.write(text.encode('latin-1'))
    renames = {}  # short form -> long form, to read the plan's paths
    for name, value in list((values or {}).items()):
        # 'short:PATH' registers the short (8.3) form of an existing path.
        if isinstance(value, str) and value.startswith('short:'):
            long_form = value[len('short:'):].replace('{root}', root_windows)
            values[name] = runner.short_path(long_form)
            renames[values[name]] = long_form
    reg_path = os.path.join(base, '%02d.reg' % index)
    with open(reg_path, 'w', newline='') as f:
        f.write(fixture.registry_file(values, root_windows, scenario.keys))
    before = fixture.snapshot(root)
    missing = gone - before
    if missing:
        raise AssertionError('scenario lists paths it never made: %s' % sorted(missing))

    problems = []
    runner.load_registry(reg_path)
    plan = None
    if runner.rmptool:
        state = plan_check.tree_state(root)
        planned = runner.plan()
        changes = plan_check.state_changes(state, plan_check.tree_state(root))
        if changes:
            problems.append('the plan changed the tree: %s' % changes[:5])
        try:
            plan = plan_check.parse_plan(planned.stdout)
        except ValueError:
            plan = None
        # Exit 1 is the uninstaller's -1: no installation directory.
        expected_exit = 0 if plan and plan['runs'] else 1
        if plan is None or planned.exit_code != expected_exit:
            raise AssertionError('rmptool plan: exit %d, output %r, errors %r'
                                 % (planned.exit_code, planned.stdout[:300], planned.stderr[:300]))

    outcome = runner.run(root)
    if outcome.exit_code != scenario.exit:
        problems.append('exit code %d, expected %d' % (outcome.exit_code, scenario.exit))
    if scenario.note is None:
        expected_notes = []
    elif scenario.note == 'path':
        note_path = scenario.note_path.replace('{root}', root_windows)
        if note_path.startswith('long'):
            note_path = values['Install Dir'] + '\\'
        expected_notes = [('Note:', scenarios.NOTE_WITH_PATH % note_path)]
    else:
        expected_notes = [('Note:', scenarios.NOTE_WITHOUT_PATH)]
    if outcome.notes != expected_notes:
        problems.append('notes %r, expected %r' % (outcome.notes, expected_notes))
    after = fixture.snapshot(root)
    expected_after = before - gone
    # Paths a platform is known to delete although they should stay.
    known = getattr(scenario, 'may_go', {}).get(runner.name, set())
    if plan is not None:
        problems += ['plan: ' + p for p in plan_check.compare(plan, root, renames, before, before - after, known)]
        if (planned.exit_code == 0) != (outcome.exit_code == 0):
            problems.append('plan: exit %d, the uninstaller %d' % (planned.exit_code, outcome.exit_code))
        if plan['runs'] and [('Note:', plan['note'])] != outcome.notes:
            problems.append('plan: note %r, the uninstaller showed %r' % (plan['note'], outcome.notes))
    after |= expected_after & known
    if after != expected_after:
        extra = sorted(after - expected_after)
        lost = sorted(expected_after - after)
        if extra:
            problems.append('left behind, expected gone: %s' % extra)
        if lost:
            problems.append('deleted, expected kept: %s' % lost)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--native', metavar='PROGRAM', help='the native PellmoorUninst')
    parser.add_argument('--wine', metavar='PROGRAM', help='PellmoorUninst.exe, run under Wine')
    parser.add_argument('--note-reader', metavar='EXE', help='note_reader.exe (with --wine)')
    parser.add_argument('--rmptool', metavar='PROGRAM',
                        help='rmptool of the same build: its plan is checked against each run')
    parser.add_argument('--prefix', help='Wine prefix to use (default: $WINEPREFIX)')
    parser.add_argument('--wrapper', metavar='COMMAND',
                        help='with --native: run the program under this command (e.g. valgrind and its options)')
    parser.add_argument('--only', help='run only scenarios whose name holds this text')
    parser.add_argument('--keep', action='store_true', help='keep the scenario trees')
    args = parser.parse_args()
    if bool(args.native) == bool(args.wine):
        parser.error('give exactly one of --native and --wine')
    if args.wrapper and not args.native:
        parser.error('--wrapper goes with --native')
    if args.native:
        runner = NativeRunner(args.native, args.rmptool, shlex.split(args.wrapper or ''))
    else:
        prefix = args.prefix or os.environ.get('WINEPREFIX')
        if not args.note_reader or not prefix:
            parser.error('--wine needs --note-reader and a prefix (--prefix or WINEPREFIX)')
        runner = WineRunner(args.wine, args.note_reader, prefix, args.rmptool)

    base = tempfile.mkdtemp(prefix='pellmoor-e2e-', dir='/tmp')
    failures = 0
    count = 0
    try:
        for index, scenario in enumerate(scenarios.SCENARIOS + adversarial.ADVERSARIAL):
            if args.only and args.only not in scenario.name:
                continue
            if runner.name not in scenario.platforms:
                print('SKIP %s (%s only)' % (scenario.name, ', '.join(scenario.platforms)))
                continue
            count += 1
            try:
                problems = run_scenario(runner, scenario, base, index)
            except Exception:  # a broken scenario is a failure, not a crash of the run
                problems = [traceback.format_exc()]
            if problems:
                failures += 1
                print('FAIL %s' % scenario.name)
                for problem in problems:
                    print('     ' + problem)
            else:
                print('ok   %s' % scenario.name)
    finally:
        if not args.keep:
            fixture.remove_tree(base)
        else:
            print('trees kept under %s' % base)
    print('%d of %d scenarios passed (%s%s)' % (count - failures, count, runner.name,
                                                ', each plan equal to its run' if runner.rmptool else ''))
    return 1 if failures or count == 0 else 0


if __name__ == '__main__':
    sys.exit(main())
