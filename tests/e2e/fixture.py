"""Scenario fixtures for the end-to-end tests: a tree under a scenario root,
the registry values as a .reg file, and what the tree looks like afterwards.

One fixture drives both builds: drive Z: is the POSIX root under Wine and in
the native platform layer alike, so a root /tmp/x is Z:\\tmp\\x for both."""
import gzip
import os
import stat

REG_KEY = r'HKEY_LOCAL_MACHINE\Software\Quendrix\Pellmoor'


def windows_path(posix_path):
    """The Z: form of an absolute POSIX path."""
    return 'Z:' + posix_path.replace('/', '\\')


class Gzip:
    """File content stored gzip-compressed."""

    def __init__(self, text):
        self.data = text.encode('latin-1') if isinstance(text, str) else text


class Expand:
    """A REG_EXPAND_SZ registry value."""

    def __init__(self, text):
        self.text = text


class Dword:
    """A REG_DWORD registry value."""

    def __init__(self, number):
        self.number = number


def _reg_string(text):
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'


def registry_file(values, root_windows, keys=('Software', 'Quendrix', 'Pellmoor')):
    """The text of a .reg file that first deletes HKLM\\Software\\Quendrix and
    then creates the key path `keys` with `values` ({name: value}; str is
    REG_SZ, with '{root}' standing for the scenario root's Windows form).
    `values` None creates no key below Software at all."""
    lines = ['Windows Registry Editor Version 5.00', '',
             r'[-HKEY_LOCAL_MACHINE\Software\Quendrix]', '']
    if values is None:
        return '\r\n'.join(lines) + '\r\n'
    lines.append('[HKEY_LOCAL_MACHINE\\' + '\\'.join(keys) + ']')
    for name, value in values.items():
        if isinstance(value, str):
            lines.append(_reg_string(name) + '=' + _reg_string(value.replace('{root}', root_windows)))
        elif isinstance(value, Expand):
            data = (value.text.replace('{root}', root_windows) + '\0').encode('utf-16-le')
            lines.append(_reg_string(name) + '=hex(2):' + ','.join('%02x' % b for b in data))
        elif isinstance(value, Dword):
            lines.append(_reg_string(name) + '=dword:%08x' % value.number)
        else:
            raise TypeError('unknown registry value %r' % (value,))
    return '\r\n'.join(lines) + '\r\n'


def build_tree(root, files, dirs=(), links=None, readonly=()):
    """Lays out a scenario under `root`. `files` maps relative POSIX paths to
    content (str, bytes or Gzip); `dirs` are extra empty directories; `links`
    maps a link's relative path to its target (relative to root, or
    absolute); `readonly` lists files whose write permission is taken away."""
    os.makedirs(root, exist_ok=True)
    for rel in dirs:
        os.makedirs(os.path.join(root, rel), exist_ok=True)
    for rel, content in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if isinstance(content, Gzip):
            data = gzip.compress(content.data, mtime=0)
        elif isinstance(content, str):
            data = content.encode('latin-1')
        else:
            data = content
        with open(path, 'wb') as f:
            f.write(data)
    for rel, target in (links or {}).items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        os.symlink(target if os.path.isabs(target) else os.path.join(root, target), path)
    for rel in readonly:
        path = os.path.join(root, rel)
        os.chmod(path, os.stat(path).st_mode & ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH))


def snapshot(root):
    """Every path under `root` (files, directories and links, never followed),
    relative and with '/' separators; directories end in '/'."""
    found = set()
    for dirpath, dirnames, filenames in os.walk(root, followlinks=False):
        rel_dir = os.path.relpath(dirpath, root)
        for name in dirnames:
            rel = os.path.normpath(os.path.join(rel_dir, name))
            full = os.path.join(dirpath, name)
            found.add(rel if os.path.islink(full) else rel + '/')
        for name in filenames:
            found.add(os.path.normpath(os.path.join(rel_dir, name)))
    return found


def remove_tree(root):
    """Deletes `root` entirely, restoring write permission where needed."""
    if not os.path.lexists(root):
        return
    for dirpath, dirnames, filenames in os.walk(root, followlinks=False):
        os.chmod(dirpath, 0o755)
    for dirpath, dirnames, filenames in os.walk(root, topdown=False, followlinks=False):
        for name in filenames:
            os.unlink(os.path.join(dirpath, name))
        for name in dirnames:
            full = os.path.join(dirpath, name)
            if os.path.islink(full):
                os.unlink(full)
            else:
                os.rmdir(full)
    os.rmdir(root)
