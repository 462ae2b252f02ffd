r"""Hostile manifests and trees: every case must leave everything outside the
installation directory as it was, while the valid entry of the same
manifest is still applied.

Each case runs in its own scenario root:
  Pellmoor/          the installation directory (registered; no "Folder")
    m.rmp            the manifest: the hostile entry, then "valid.dat"
    valid.dat        listed: must go
    keep.txt         inside, never listed: must stay
  Pellmoor2/x        the sibling whose name starts with the same letters
  Outside/victim.txt, Outside/emptydir/, canary.txt   canaries outside
"""
from scenarios import Scenario

INSTALL = {'Install Dir': r'{root}\Pellmoor'}

BASE_FILES = {
    'Pellmoor/valid.dat': 'v',
    'Pellmoor/keep.txt': 'k',
    'Pellmoor2/x': 'sibling',
    'Outside/victim.txt': 'victim',
    'canary.txt': 'canary',
}
BASE_DIRS = ('Outside/emptydir',)
BASE_GONE = {'Pellmoor/m.rmp', 'Pellmoor/valid.dat'}


def case(name, entries, files=None, links=None, gone=(), may_go=None, manifest='Pellmoor/m.rmp',
         platforms=('native', 'wine'), keep_manifest=False):
    """A case whose manifest lists `entries` (strings with '{root}' for the
    scenario root's Windows form, '{rootpath}' for it without its drive),
    then valid.dat. `may_go` maps a platform to paths it is known to delete
    although they should stay (a documented platform limit)."""
    body = ''.join(e + '\n' for e in entries) + 'valid.dat\n'
    all_files = dict(BASE_FILES)
    all_files.update(files or {})
    all_files[manifest] = body
    expected = set(BASE_GONE) | set(gone)
    if manifest != 'Pellmoor/m.rmp':
        expected.discard('Pellmoor/m.rmp')
    if keep_manifest:
        expected.discard(manifest)
    scenario = Scenario('adversarial: ' + name, registry=INSTALL, files=all_files, dirs=BASE_DIRS, links=links,
                        note_path=r'{root}\Pellmoor' + '\\', gone=expected, platforms=platforms)
    scenario.may_go = may_go or {}
    scenario.templated_manifest = manifest
    return scenario


LONG_HEAD = 'a\\' * 511 + 'b'  # 1023 bytes: read as an entry of its own

ADVERSARIAL = [
    # ".." in its forms.
    case('..\\ climbs to a file outside', ['..\\canary.txt', '..\\Outside\\victim.txt']),
    case('sub\\..\\..\\ climbs out', ['sub\\..\\..\\canary.txt']),
    case('../ with forward slashes', ['../canary.txt', '../Outside/victim.txt']),
    case('mixed separators', ['..\\/canary.txt', 'sub/..\\..\\Outside/victim.txt']),
    case('doubled separators', ['..\\\\canary.txt', '.\\\\..\\\\..\\\\Pellmoor\\\\..\\\\canary.txt']),
    case('.\\..\\ climbs out', ['.\\..\\canary.txt']),
    case('a directory entry climbing out', ['..\\Outside\\emptydir\\', '..\\Outside\\']),
    case('the sibling-prefix trap', ['..\\Pellmoor2\\x', '..\\Pellmoor2\\']),
    # Absolute and rooted forms.
    case('absolute with the drive', ['{root}\\canary.txt', '{root}\\Outside\\emptydir\\']),
    case('rooted without a drive', ['{rootpath}\\canary.txt', '\\canary.txt']),
    case('UNC path', ['\\\\localhost\\share\\canary.txt', '\\\\server\\share\\x']),
    case('\\\\?\\ path', ['\\\\?\\{root}\\canary.txt']),
    case('\\\\.\\ path', ['\\\\.\\{root}\\canary.txt']),
    case('drive-relative Z:x', ['Z:canary.txt', 'Z:..\\canary.txt']),
    # Streams, trailing dots and blanks.
    case('a stream f:s', ['keep.txt:s']),
    case('the main stream f::$DATA', ['keep.txt::$DATA']),
    case('a trailing dot', ['keep.txt.', '..\\canary.txt.']),
    case('a trailing blank', ['keep.txt ', 'Pellmoor \\keep.txt']),
    case('a control character', ['keep\x01.txt', '..\\canary.txt\x07']),
    case('device names as entries', ['CON', 'nul.txt', 'COM1\\x', 'AUX\\']),
    # Case does not matter to containment: this one stays inside and goes.
    case('climbing back in, in capitals', ['..\\PELLMOOR\\keep.txt'], gone={'Pellmoor/keep.txt'}),
    # Links.
    case('a directory link with a manifest behind it',
         [], files={'Outside/linked/evil.rmp': '..\\victim.txt\nvictim.txt\n', 'Outside/linked/victim.txt': 'v'},
         links={'Pellmoor/linked': 'Outside/linked'}),
    case('a directory link as a component of an entry', ['out\\victim.txt', 'out\\emptydir\\'],
         links={'Pellmoor/out': 'Outside'}),
    case('a directory link listed as a directory', ['empty\\'], links={'Pellmoor/empty': 'Outside/emptydir'}),
    case('a link that loops back to the root', [], files={'Pellmoor/sub/s.rmp': 'loop\\\nsub.dat\n',
                                                          'Pellmoor/sub/sub.dat': 's'},
         links={'Pellmoor/sub/loop': 'Pellmoor'}, gone={'Pellmoor/sub/s.rmp', 'Pellmoor/sub/sub.dat'}),
    # A manifest that is itself a link to a file outside. Under Wine a link
    # to a file shows no reparse point and remove() deletes its target (a
    # known platform limit, see the README); real Windows deletes the link.
    case('a manifest that is itself a link', [],
         files={'Outside/list.rmp': 'valid.dat\n'}, links={'Pellmoor/evil.rmp': 'Outside/list.rmp'},
         may_go={'wine': {'Outside/list.rmp', 'Pellmoor/evil.rmp'}}),
    # The search matches 8.3 names too (under Wine): x.rmpx is no manifest.
    case('an 8.3 look-alike manifest', [], files={'Pellmoor/x.rmpx': 'keep.txt\n'}),
    # Over-long entries: never a cut path; the piece after 1023 bytes is an
    # entry of its own.
    case('an over-long entry', [LONG_HEAD + 'valid3.dat', 'x' * 1000 + '\\..\\..\\..\\canary.txt'],
         files={'Pellmoor/valid3.dat': '3'}, gone={'Pellmoor/valid3.dat'}),
]
