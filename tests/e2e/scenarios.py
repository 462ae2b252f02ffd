r"""The end-to-end scenarios: registry values, a tree, and what the run must
leave behind. Paths in trees are relative to the scenario root, with '/';
directories in `gone` end in '/'. In registry values '{root}' is the
scenario root's Windows form (no trailing backslash). The values 'long127'
and 'long128' stand for an installation directory of exactly that many
characters, whose last component is the tree's 'LONG' directory; a value
'short:PATH' is the short (8.3) form of PATH, which only Wine has."""
import gzip

from fixture import Dword, Expand, Gzip

NOTE_WITH_PATH = ('Certain files, including player profiles, saved games, car setups and replays will be '
                  'left on your hard drive at %s .  You may delete these files at your discretion after '
                  'this uninstall process has finished.')
NOTE_WITHOUT_PATH = ('Certain files, including player profiles, saved games, car setups and replays will be '
                     'left on your hard drive in the Pellmoor installation folder.  You may delete these '
                     'files at your discretion after this uninstall process has finished.')

SHORTCUTS = ['Play Pellmoor Online with GameSpy Arcade.url', '3D Setup.lnk', 'Pellmoor Dedicated Server.lnk']

STANDARD = {'Install Dir': r'{root}\Game', 'Folder': r'{root}\Menu'}


def menu(folder='Menu'):
    return {folder + '/' + name: '' for name in SHORTCUTS}


def menu_gone(folder='Menu'):
    return {folder + '/' + name for name in SHORTCUTS}


class Scenario:
    def __init__(self, name, registry=STANDARD, keys=('Software', 'Quendrix', 'Pellmoor'), files=None,
                 dirs=(), links=None, readonly=(), exit=0, note='path', note_path=r'{root}\Game' + '\\',
                 gone=(), platforms=('native', 'wine')):
        self.name = name
        self.registry = registry
        self.keys = keys
        self.files = files or {}
        self.dirs = dirs
        self.links = links or {}
        self.readonly = readonly
        self.exit = exit
        self.note = note            # 'path', 'folder' or None (no note at all)
        self.note_path = note_path  # the long form the 'path' note shows
        self.gone = set(gone)
        self.platforms = platforms


# A realistic installation: base game and an add-on, gzip and plain
# manifests, nested directories, player files that stay.
FULL_FILES = {
    'Game/base.rmp': Gzip('data\\\ndata\\cars\\\ndata\\tracks\\\nsave\\\n'
                          'data\\cars\\gt1.car\r\ndata\\cars\\gt2.car\r\ndata\\tracks\\ring.trk\r\n'
                          'Pellmoor.exe\r\nsave\\default.prf\r\n'),
    'Game/addon/addon.rmp': 'cars\\\ncars\\gt3.car\nreadme.txt\n',
    'Game/addon/cars/gt3.car': 'c3',
    'Game/addon/readme.txt': 'r',
    'Game/data/cars/gt1.car': 'c1',
    'Game/data/cars/gt2.car': 'c2',
    'Game/data/tracks/ring.trk': 't',
    'Game/Pellmoor.exe': 'MZ',
    'Game/save/default.prf': 'p',
    'Game/save/player1.prf': 'mine',          # a player's profile: stays
    'Game/replays/race1.rpl': 'mine',         # never listed: stays
    'Game/sysinfo.txt': 'info',
    'Outside/keep.txt': 'canary',
}
FULL_GONE = {
    'Game/base.rmp', 'Game/addon/addon.rmp', 'Game/addon/cars/gt3.car', 'Game/addon/readme.txt',
    'Game/addon/cars/', 'Game/data/cars/gt1.car', 'Game/data/cars/gt2.car', 'Game/data/tracks/ring.trk',
    'Game/data/cars/', 'Game/data/tracks/', 'Game/data/', 'Game/Pellmoor.exe', 'Game/save/default.prf',
    'Game/sysinfo.txt',
}


def damaged_gzip():
    """A gzip manifest cut at three quarters: d\, then d\f0.dat ... d\f2999.dat."""
    body = 'd\\\n' + ''.join('d\\f%d.dat\n' % i for i in range(3000))
    packed = gzip.compress(body.encode('ascii'), mtime=0)
    return packed[:len(packed) * 3 // 4]


SCENARIOS = [
    Scenario('full installation', files={**FULL_FILES, **menu()}, gone=FULL_GONE | menu_gone()),
    # The registry decides whether anything happens at all.
    Scenario('no product key', registry=None, files={**FULL_FILES, **menu()}, exit=-1, note=None),
    Scenario('no Pellmoor key under Quendrix', registry={}, keys=('Software', 'Quendrix'),
             files={**FULL_FILES, **menu()}, exit=-1, note=None),
    Scenario('Install Dir missing', registry={'Folder': r'{root}\Menu'}, files={**FULL_FILES, **menu()},
             exit=-1, note=None),
    Scenario('Install Dir empty', registry={'Install Dir': '', 'Folder': r'{root}\Menu'},
             files={**FULL_FILES, **menu()}, exit=-1, note=None),
    Scenario('Install Dir of type REG_EXPAND_SZ', registry={'Install Dir': Expand(r'{root}\Game'),
                                                            'Folder': r'{root}\Menu'},
             files={**FULL_FILES, **menu()}, exit=-1, note=None),
    Scenario('Install Dir of type REG_DWORD', registry={'Install Dir': Dword(1), 'Folder': r'{root}\Menu'},
             files={**FULL_FILES, **menu()}, exit=-1, note=None),
    Scenario('Install Dir of 128 characters', registry={'Install Dir': 'long128', 'Folder': r'{root}\Menu'},
             files={**FULL_FILES, **menu()}, exit=-1, note=None),
    Scenario('Install Dir of 127 characters', registry={'Install Dir': 'long127', 'Folder': r'{root}\Menu'},
             files={'LONG/m.rmp': 'a.dat\n', 'LONG/a.dat': 'a', 'LONG/sysinfo.txt': 'i', **menu()},
             note_path='long127\\', gone={'LONG/m.rmp', 'LONG/a.dat', 'LONG/sysinfo.txt'} | menu_gone()),
    Scenario('Install Dir with its own trailing backslash', registry={'Install Dir': r'{root}\Game' + '\\',
                                                                      'Folder': r'{root}\Menu'},
             files={'Game/m.rmp': 'a.dat\n', 'Game/a.dat': 'a', 'Game/sysinfo.txt': 'i'},
             gone={'Game/m.rmp', 'Game/a.dat', 'Game/sysinfo.txt'}),
    # The start-menu folder.
    Scenario('Folder ending in a backslash', registry={'Install Dir': r'{root}\Game',
                                                       'Folder': r'{root}\Menu' + '\\'},
             files={'Game/sysinfo.txt': 'i', **menu()}, gone={'Game/sysinfo.txt'} | menu_gone()),
    Scenario('Folder missing: no shortcut is touched', registry={'Install Dir': r'{root}\Game'},
             files={'Game/sysinfo.txt': 'i', **menu()}, gone={'Game/sysinfo.txt'}),
    Scenario('Folder of another type', registry={'Install Dir': r'{root}\Game', 'Folder': Dword(7)},
             files={'Game/sysinfo.txt': 'i', **menu()}, gone={'Game/sysinfo.txt'}),
    # The run and the note without any manifest.
    Scenario('no manifest: leftovers and note all the same', files={'Game/sysinfo.txt': 'i',
                                                                    'Game/data.bin': 'x', **menu()},
             gone={'Game/sysinfo.txt'} | menu_gone()),
    Scenario('nothing to delete at all', files={'Game/keep.txt': 'k'}),
    Scenario('installation directory gone: the note without a path', registry={'Install Dir': r'{root}\Gone',
                                                                               'Folder': r'{root}\Menu'},
             files={**menu()}, note='folder', gone=menu_gone()),
    # Manifest replay behaviour, seen whole.
    Scenario('a manifest deleted by an earlier one is never applied',
             files={'Game/sub/first.rmp': '..\\second.rmp\n', 'Game/second.rmp': 'keep.dat\n',
                    'Game/keep.dat': 'k'},
             gone={'Game/sub/first.rmp', 'Game/second.rmp'}),
    Scenario('CR-only line ends apply the first entry of each piece',
             files={'Game/m.rmp': 'a.dat\rb.dat\r', 'Game/a.dat': 'a', 'Game/b.dat': 'b'},
             gone={'Game/m.rmp', 'Game/a.dat'}),
    Scenario('read-only files and non-empty directories stay',
             files={'Game/m.rmp': 'd\\\nd\\ro.dat\nd\\rw.dat\n', 'Game/d/ro.dat': 'r', 'Game/d/rw.dat': 'w'},
             readonly=['Game/d/ro.dat'], gone={'Game/m.rmp', 'Game/d/rw.dat'}),
    Scenario('a manifest under a directory named Icon is opened as I+~63on and not found',
             files={'Game/Icon/m.rmp': 'x.dat\n', 'Game/Icon/x.dat': 'x'}),
    Scenario('a damaged gzip manifest applies what was read before the damage',
             files={'Game/m.rmp': damaged_gzip(), 'Game/d/f0.dat': '0', 'Game/d/f2999.dat': 'last'},
             gone={'Game/m.rmp', 'Game/d/f0.dat'}),
    Scenario('every directory level is removed when the tree empties',
             files={'Game/m.rmp': 'a\\\na\\b\\\na\\b\\c\\\na\\b\\c\\f.dat\n', 'Game/a/b/c/f.dat': 'f'},
             gone={'Game/m.rmp', 'Game/a/', 'Game/a/b/', 'Game/a/b/c/', 'Game/a/b/c/f.dat'}),
    # Linux has no short names, so this one runs under Wine only.
    Scenario('Install Dir as a short (8.3) name: used as read, the note shows the long form',
             registry={'Install Dir': r'short:{root}\Pellmoor Racing Game', 'Folder': r'{root}\Menu'},
             files={'Pellmoor Racing Game/m.rmp': Gzip('cars\\\ncars\\a.car\n'),
                    'Pellmoor Racing Game/cars/a.car': 'a', 'Pellmoor Racing Game/sysinfo.txt': 'i',
                    'Pellmoor Racing Game/save.prf': 'mine', **menu()},
             note_path=r'{root}\Pellmoor Racing Game' + '\\',
             gone={'Pellmoor Racing Game/m.rmp', 'Pellmoor Racing Game/cars/', 'Pellmoor Racing Game/cars/a.car',
                   'Pellmoor Racing Game/sysinfo.txt'} | menu_gone(),
             platforms=('wine',)),
]
