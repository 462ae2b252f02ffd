r"""The plan-equals-run check of the end-to-end scenarios: `rmptool plan`
runs before the real uninstaller, must change nothing in the tree, and its
`delete` and `remove` lines must name exactly what the real run then
deletes.

"Nothing changed" compares, for every path under the scenario root, its
kind, mode, size, inode, link count, modification and change times (in
nanoseconds), and its content (or a link's target). Access times are left
out on purpose: reading a manifest or listing a directory updates them
under the usual relatime mount option (for the uninstaller too), Wine opens
files without O_NOATIME, and putting them back with utime() would itself
move the change time. The change time is the stronger witness: any write,
chmod, rename, link or unlink bumps it."""
import hashlib
import json
import os
import posixpath
import stat


def _describe(path):
    """What the path is: kind, mode, size, inode, links, modification and
    change times, and its content (a file's digest, a link's target)."""
    st = os.lstat(path)
    if stat.S_ISLNK(st.st_mode):
        content = 'link ' + os.readlink(path)
    elif stat.S_ISREG(st.st_mode):
        with open(path, 'rb') as f:
            content = hashlib.sha256(f.read()).hexdigest()
    else:
        content = ''
    return (stat.S_IFMT(st.st_mode), stat.S_IMODE(st.st_mode), st.st_size, st.st_ino, st.st_nlink,
            st.st_mtime_ns, st.st_ctime_ns, content)


def tree_state(root):
    """{relative path: _describe(path)} for `root` and everything under it,
    links never followed."""
    state = {'.': _describe(root)}
    for dirpath, dirnames, filenames in os.walk(root, followlinks=False):
        for name in dirnames + filenames:
            full = os.path.join(dirpath, name)
            state[os.path.relpath(full, root)] = _describe(full)
    return state


def state_changes(before, after):
    """Lines saying how `after` differs from `before`."""
    changes = []
    for path in sorted(set(before) | set(after)):
        if before.get(path) != after.get(path):
            changes.append('%s: %r -> %r' % (path, before.get(path), after.get(path)))
    return changes


def parse_plan(stdout):
    """The JSON document `rmptool plan --json` printed."""
    return json.loads(stdout)


def _snapshot_path(windows_path, root, renames, spelled):
    """The snapshot form (relative, '/', directories ending in '/') of a
    Windows path the plan names, spelled as on disk; None when it lies
    outside `root` or names nothing that was there."""
    for short, long_form in renames.items():
        if windows_path.lower().startswith(short.lower()):
            windows_path = long_form + windows_path[len(short):]
    is_directory = windows_path.endswith('\\') or windows_path.endswith('/')
    if windows_path[:2].upper() != 'Z:':
        return None
    posix = posixpath.normpath(windows_path[2:].replace('\\', '/'))
    relative = posixpath.relpath(posix, root)
    if relative == '.' or relative.startswith('../'):
        return None
    key = relative.lower() + ('/' if is_directory else '')
    return spelled.get(key)


def planned_deletions(plan, root, renames, before):
    """The paths the plan's delete and remove lines name, in snapshot form,
    and the lines that name nothing of the tree."""
    spelled = {path.lower(): path for path in before}
    planned, strays = set(), []
    for action in plan['actions']:
        if action['verb'] not in ('delete', 'remove'):
            continue
        path = _snapshot_path(action['path'], root, renames, spelled)
        if path is None:
            strays.append('%s %s' % (action['verb'], action['path']))
        else:
            planned.add(path)
    return planned, strays


def compare(plan, root, renames, before, gone, known):
    """Problems, if the plan's deletions are not exactly `gone` (what the real
    run deleted), leaving out `known` (paths a platform is known to treat
    otherwise, see the scenario's may_go)."""
    planned, strays = planned_deletions(plan, root, renames, before)
    problems = ['the plan names what the tree did not hold: %s' % line for line in strays]
    planned -= known
    gone = gone - known
    if planned - gone:
        problems.append('planned but not deleted: %s' % sorted(planned - gone))
    if gone - planned:
        problems.append('deleted but not planned: %s' % sorted(gone - planned))
    return problems
