#!/usr/bin/env python3
r"""A demonstration run of the real uninstaller: lays out a realistic
installation (several manifests, gzip and plain, nested directories, player
files that must stay, a start-menu folder with the three shortcuts,
sysinfo.txt), registers it, runs the program, and shows the tree before and
after and the closing note.

Under Wine (the default) the note is read off the real message box, and a
picture of it as Windows draws it is saved. With --native the Linux build
runs instead, the registry coming from a .reg file (HKLM_REG_FILE)."""
import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, 'tests', 'e2e'))

import fixture  # noqa: E402
from fixture import Gzip  # noqa: E402

SHORTCUTS = ['Play Pellmoor Online with GameSpy Arcade.url', '3D Setup.lnk', 'Pellmoor Dedicated Server.lnk']

# Relative to the demo root: the game under Games\Pellmoor, its start-menu
# folder, and a document elsewhere that nothing may touch.
TREE = {
    # The base game: a gzip manifest, CR LF line ends, directories listed
    # before the directories inside them.
    'Games/Pellmoor/pellmoor.rmp': Gzip(
        'data\\\r\ndata\\cars\\\r\ndata\\tracks\\\r\nsave\\\r\nsave\\profiles\\\r\nreplays\\\r\n'
        'Pellmoor.exe\r\nPellmoorDS.exe\r\ndata\\cars\\gt1.car\r\ndata\\cars\\gt2.car\r\n'
        'data\\tracks\\ring.trk\r\ndata\\tracks\\coast.trk\r\nsave\\profiles\\default.prf\r\n'),
    'Games/Pellmoor/Pellmoor.exe': 'MZ game',
    'Games/Pellmoor/PellmoorDS.exe': 'MZ server',
    'Games/Pellmoor/data/cars/gt1.car': 'car 1',
    'Games/Pellmoor/data/cars/gt2.car': 'car 2',
    'Games/Pellmoor/data/tracks/ring.trk': 'track 1',
    'Games/Pellmoor/data/tracks/coast.trk': 'track 2',
    'Games/Pellmoor/save/profiles/default.prf': 'default profile',
    # An add-on in its own folder, with a plain manifest of its own.
    'Games/Pellmoor/addons/rally/rally.rmp': 'cars\\\ntracks\\\ncars\\rally1.car\ntracks\\forest.trk\nreadme.txt\n',
    'Games/Pellmoor/addons/rally/cars/rally1.car': 'rally car',
    'Games/Pellmoor/addons/rally/tracks/forest.trk': 'forest',
    'Games/Pellmoor/addons/rally/readme.txt': 'read me',
    # The patch lists the add-on folders it made (a third manifest, gzip).
    'Games/Pellmoor/patch.rmp': Gzip('addons\\\naddons\\rally\\\nPatchNotes.txt\n'),
    'Games/Pellmoor/PatchNotes.txt': 'notes',
    'Games/Pellmoor/sysinfo.txt': 'system information',
    # What the player made: no manifest lists it, so it stays.
    'Games/Pellmoor/save/profiles/Alice.prf': 'Alice',
    'Games/Pellmoor/save/setups/gt1-ring.set': 'setup',
    'Games/Pellmoor/replays/ring-record.rpl': 'replay',
    # The start-menu folder with the three shortcuts.
    **{'Start Menu/Pellmoor/' + name: '' for name in SHORTCUTS},
    'Documents/letter.txt': 'not the game',
}


def show_tree(root, title):
    print('--- %s' % title)
    for path in sorted(fixture.snapshot(root)):
        depth = path.rstrip('/').count('/')
        print('  ' + '    ' * depth + os.path.basename(path.rstrip('/')) + ('/' if path.endswith('/') else ''))


def run_wine(args, root, reg_path):
    import notepicture
    import winehost
    note_reader = os.path.join(args.build, 'note_reader.exe')
    program = os.path.join(args.build, 'PellmoorUninst.exe')
    with winehost.WinePrefix.create(note_reader=note_reader) as prefix:
        prefix.import_reg(reg_path)
        result = notepicture.take_picture(prefix, program, args.picture)
    notes = [(n.caption, n.text) for n in result.notes]
    return result.exit_code, notes


def run_native(args, root, reg_path):
    program = os.path.join(args.build, 'PellmoorUninst')
    proc = subprocess.run([program], env=dict(os.environ, HKLM_REG_FILE=reg_path), cwd=root,
                          stdout=subprocess.PIPE, timeout=120)
    lines = proc.stdout.decode('latin-1').splitlines()
    notes = [(lines[i], lines[i + 1]) for i in range(0, len(lines) - 1, 2)]
    code = proc.returncode - 256 if proc.returncode > 127 else proc.returncode
    return code, notes


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--native', action='store_true', help='run the Linux build instead of the exe under Wine')
    parser.add_argument('--build', help='the build directory (default: build/windows or build/native)')
    parser.add_argument('--picture', default=os.path.join(SOURCE, 'build', 'demo', 'note.png'),
                        help='where to save the picture of the note (Wine only)')
    parser.add_argument('--keep', action='store_true', help='keep the demo tree afterwards')
    args = parser.parse_args()
    args.build = args.build or os.path.join(SOURCE, 'build', 'native' if args.native else 'windows')
    os.makedirs(os.path.dirname(os.path.abspath(args.picture)), exist_ok=True)

    root = tempfile.mkdtemp(prefix='pellmoor-demo-', dir='/tmp')
    try:
        fixture.build_tree(root, TREE)
        root_windows = fixture.windows_path(root)
        values = {'Install Dir': r'{root}\Games\Pellmoor', 'Folder': r'{root}\Start Menu\Pellmoor'}
        os.makedirs(os.path.join(root, 'registry'))
        reg_path = os.path.join(root, 'registry', 'pellmoor.reg')
        with open(reg_path, 'w', newline='') as f:
            f.write(fixture.registry_file(values, root_windows))

        print('Demo installation under %s (%s)' % (root, root_windows))
        print('Registry: HKLM\\Software\\Quendrix\\Pellmoor')
        print('  "Install Dir" = %s' % values['Install Dir'].replace('{root}', root_windows))
        print('  "Folder"      = %s' % values['Folder'].replace('{root}', root_windows))
        show_tree(root, 'before')
        if args.native:
            code, notes = run_native(args, root, reg_path)
        else:
            code, notes = run_wine(args, root, reg_path)
        show_tree(root, 'after')
        print('--- exit code %d' % code)
        for caption, text in notes:
            print('--- note, caption "%s"' % caption)
            print(text)
        if not args.native:
            print('--- picture of the note: %s' % os.path.abspath(args.picture))
        return 0 if code == 0 and len(notes) == 1 else 1
    finally:
        if args.keep:
            print('demo tree kept under %s' % root)
        else:
            fixture.remove_tree(root)


if __name__ == '__main__':
    sys.exit(main())
