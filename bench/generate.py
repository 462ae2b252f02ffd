#!/usr/bin/env python3
r"""Synthetic installations for the benchmark: N small files (0 to 4 KiB)
spread over D directories a few levels deep, listed by M manifests (half
gzip, half plain), and a few player files that no manifest lists. The same
seed gives the same tree, byte for byte.

Layout under the installation directory:

    base.rmp, patch01.rmp, ...    the root manifests; each owns its own
                                  top-level directories (data01\, ...) and a
                                  few files beside it; base.rmp also lists
                                  addons\ and every addons\packNN\
    addons\packNN\packNN.rmp      one manifest per add-on pack, listing the
                                  pack's own subtree

A manifest lists each of its directories before what lies inside it and the
files of a directory after that directory, so the replay removes them
innermost first. Plain manifests have CR LF line ends, gzip ones LF.

The replay order is simulated exactly (the file search lists names sorted
without regard to case, a subdirectory's manifests before its parent's), so
the plan knows which paths the replay deletes, in order (`deletions`), and
what is left afterwards (`leftover`).

    generate.py --files 10000 --out /dev/shm/x/inst --list /dev/shm/x/deletions.txt
"""
import argparse
import gzip
import os
import random
import sys
from dataclasses import dataclass, field
from typing import Dict, List, Set

RESERVED = ["CON", "PRN", "AUX", "CLOCK$", "NUL"] + ["COM%d" % i for i in range(1, 10)] + \
    ["LPT%d" % i for i in range(1, 10)]

# Directory and file words of a racing game; none holds a reserved device
# name, so no manifest path changes under the disk name encoding.
DIR_WORDS = ["data", "cars", "tracks", "textures", "sounds", "models", "shaders", "menus",
             "fonts", "maps", "physics", "engines", "tyres", "skins", "cockpit", "lights",
             "music", "voices", "movies", "scripts", "locale", "setups", "weather", "crowd"]
FILE_WORDS = ["body", "wheel", "road", "kerb", "tree", "stand", "sky", "brake", "gear",
              "track", "hud", "font", "logo", "flag", "tyre", "smoke", "spark", "rain"]
EXTENSIONS = ["dds", "tga", "wav", "ogg", "mdl", "fx", "ini", "txt", "bin", "dat", "lua"]
UNLISTED_NAMES = ["profile", "savegame", "setup", "replay", "options"]
UNLISTED_EXTENSIONS = ["sav", "cfg", "rpy"]

MAX_DEPTH = 6          # directories below the installation directory
MAX_ENTRY_PATH = 200   # longest POSIX path of anything written


@dataclass
class Manifest:
    path: str                    # relative, '/'-separated
    gzip: bool
    lines: List[str] = field(default_factory=list)   # entries, Windows form
    files: List[str] = field(default_factory=list)   # relative paths listed as files
    dirs: List[str] = field(default_factory=list)    # relative paths listed as directories

    def data(self) -> bytes:
        end = "\n" if self.gzip else "\r\n"
        text = "".join(line + end for line in self.lines).encode("ascii")
        return gzip.compress(text, compresslevel=6, mtime=0) if self.gzip else text


@dataclass
class Plan:
    files: int
    dirs: List[str]                  # relative, parents before children
    sizes: Dict[str, int]            # every file written, manifests aside: its size
    manifests: List[Manifest]        # in the order the replay takes them
    unlisted: List[str]
    deletions: List[str]             # what the replay deletes, in order; dirs end in '/'
    leftover: Set[str]               # what stays, as snapshot() shows it
    seed: int


def _sort_key(name: str):
    """The order of the file search: letters folded, then bytes."""
    return (name.upper(), name)


def _has_reserved_name(path: str) -> bool:
    """Whether the disk name encoding would change `path`: a reserved device
    name standing anywhere, ended by a separator, a dot or the end."""
    upper = path.upper()
    for i in range(len(upper)):
        end = i
        while end < len(upper) and upper[end] not in "./\\:":
            end += 1
        if upper[i:end] in RESERVED:
            return True
    return False


def _split(total: int, parts: int) -> List[int]:
    return [total // parts + (1 if i < total % parts else 0) for i in range(parts)]


def make_plan(files: int, dirs: int = 0, manifests: int = 16, unlisted: int = 5,
              seed: int = 1) -> Plan:
    """The installation for `files` listed files over `dirs` directories (0:
    one per 25 files) and `manifests` manifests, with `unlisted` player
    files."""
    if files < 1 or manifests < 2:
        raise ValueError("need at least one file and two manifests")
    dirs = dirs or max(manifests * 2, files // 25)
    rng = random.Random(seed)
    root_count = (manifests + 1) // 2
    pack_count = manifests - root_count

    all_dirs: List[str] = []
    depth: Dict[str, int] = {}
    children: Dict[str, Set[str]] = {"": set()}
    # Directories left to hand out, per manifest.
    dir_share = _split(max(0, dirs - (1 + pack_count if pack_count else 0)), manifests)

    def add_dir(parent: str, word: str) -> str:
        siblings = children[parent]
        number = 1
        while True:
            name = "%s%02d" % (word, number)
            if name not in siblings:
                break
            number += 1
        path = parent + "/" + name if parent else name
        siblings.add(name)
        children[path] = set()
        depth[path] = depth.get(parent, 0) + 1
        all_dirs.append(path)
        return path

    manifest_list: List[Manifest] = []
    areas: List[List[str]] = []      # per manifest: its directories, parents first
    homes: List[str] = []            # per manifest: its directory ("" for the root)
    for j in range(root_count):
        name = "base.rmp" if j == 0 else "patch%02d.rmp" % j
        manifest_list.append(Manifest(name, gzip=(j % 2 == 0)))
        homes.append("")
        areas.append([])
    if pack_count:
        addons = "addons"
        children[addons] = set()
        children[""].add(addons)
        depth[addons] = 1
        all_dirs.append(addons)
        manifest_list[0].lines.append("addons\\")
        manifest_list[0].dirs.append(addons)
    for k in range(pack_count):
        pack = "addons/pack%02d" % (k + 1)
        children["addons"].add("pack%02d" % (k + 1))
        children[pack] = set()
        depth[pack] = 2
        all_dirs.append(pack)
        manifest_list[0].lines.append(pack.replace("/", "\\") + "\\")
        manifest_list[0].dirs.append(pack)
        j = root_count + k
        manifest_list.append(Manifest(pack + "/pack%02d.rmp" % (k + 1), gzip=(j % 2 == 0)))
        homes.append(pack)
        areas.append([])

    # Each manifest's directory tree: a few top-level directories in its
    # home, then each further directory under a random one of its own that
    # is not yet at the deepest level.
    for j, share in enumerate(dir_share):
        home = homes[j]
        tops = min(share, share // 30 + 1)
        for _ in range(tops):
            areas[j].append(add_dir(home, rng.choice(DIR_WORDS)))
        for _ in range(share - tops):
            candidates = [d for d in areas[j] if depth[d] < MAX_DEPTH]
            areas[j].append(add_dir(rng.choice(candidates), rng.choice(DIR_WORDS)))

    # Files: nearly all in the manifest's directories, a few beside it.
    sizes: Dict[str, int] = {}
    # Per manifest and directory: the files it lists there (root manifests
    # share the root as their home).
    files_in: Dict[tuple, List[str]] = {}
    counters: Dict[str, int] = {}

    def new_file(directory: str, words, extensions) -> str:
        counters[directory] = counters.get(directory, 0) + 1
        name = "%s%03d.%s" % (rng.choice(words), counters[directory], rng.choice(extensions))
        path = directory + "/" + name if directory else name
        children.setdefault(directory, set())
        return path

    for j, share in enumerate(_split(files, manifests)):
        for _ in range(share):
            directory = homes[j] if rng.random() < 0.005 or not areas[j] else rng.choice(areas[j])
            path = new_file(directory, FILE_WORDS, EXTENSIONS)
            sizes[path] = rng.randint(0, 4096)
            files_in.setdefault((j, directory), []).append(path)

    # Entries: each directory, then its files; the home's own files first.
    for j, manifest in enumerate(manifest_list):
        home = homes[j]
        prefix = len(home) + 1 if home else 0

        def entry(path: str) -> str:
            return path[prefix:].replace("/", "\\")

        for path in files_in.get((j, home), []):
            manifest.lines.append(entry(path))
            manifest.files.append(path)
        for directory in areas[j]:
            manifest.lines.append(entry(directory) + "\\")
            manifest.dirs.append(directory)
            for path in files_in.get((j, directory), []):
                manifest.lines.append(entry(path))
                manifest.files.append(path)

    # Player files that no manifest lists: they keep their directories.
    unlisted_paths: List[str] = []
    for _ in range(unlisted):
        directory = rng.choice(all_dirs)
        path = new_file(directory, UNLISTED_NAMES, UNLISTED_EXTENSIONS)
        sizes[path] = rng.randint(0, 4096)
        unlisted_paths.append(path)

    for manifest in manifest_list:
        if _has_reserved_name(manifest.path):
            raise AssertionError("manifest path changes on disk: " + manifest.path)

    ordered = _replay_order(manifest_list, all_dirs)
    deletions, leftover = _simulate(ordered, all_dirs, sizes)
    return Plan(files, all_dirs, sizes, ordered, unlisted_paths, deletions, leftover, seed)


def _replay_order(manifests: List[Manifest], all_dirs: List[str]) -> List[Manifest]:
    """The manifests in the order the file finder lists them: within a
    directory, its subdirectories' trees (sorted) before its own files
    (sorted)."""
    subdirs: Dict[str, List[str]] = {"": []}
    for d in all_dirs:
        subdirs.setdefault(d, [])
        parent, _, _ = d.rpartition("/")
        subdirs.setdefault(parent, []).append(d)
    by_dir: Dict[str, List[Manifest]] = {}
    for m in manifests:
        by_dir.setdefault(m.path.rpartition("/")[0], []).append(m)
    order: List[Manifest] = []

    def visit(directory: str) -> None:
        for sub in sorted(subdirs.get(directory, []), key=lambda p: _sort_key(p.rpartition("/")[2])):
            visit(sub)
        order.extend(sorted(by_dir.get(directory, []), key=lambda m: _sort_key(m.path.rpartition("/")[2])))

    visit("")
    return order


def _simulate(manifests: List[Manifest], all_dirs: List[str], sizes: Dict[str, int]):
    """What the replay deletes, in order, and what is left."""
    present: Set[str] = set(all_dirs) | set(sizes) | {m.path for m in manifests}
    inside: Dict[str, int] = {}
    for path in present:
        parent = path.rpartition("/")[0]
        inside[parent] = inside.get(parent, 0) + 1
    deletions: List[str] = []

    def delete(path: str, is_dir: bool) -> None:
        if path not in present or (is_dir and inside.get(path, 0)):
            return
        present.remove(path)
        inside[path.rpartition("/")[0]] -= 1
        deletions.append(path + "/" if is_dir else path)

    for m in manifests:
        if m.path not in present:
            continue   # deleted by an earlier manifest: it no longer opens
        for path in m.files:
            delete(path, False)
        delete(m.path, False)
        for path in reversed(m.dirs):
            delete(path, True)
    dir_set = set(all_dirs)
    leftover = {p + "/" if p in dir_set else p for p in present}
    return deletions, leftover


def write_tree(plan: Plan, root: str) -> None:
    """Writes the installation under `root`, which must not exist."""
    if len(os.path.abspath(root)) + 1 + max(len(p) for p in plan.sizes) > MAX_ENTRY_PATH:
        raise ValueError("%s is too long a place for the tree" % root)
    os.makedirs(root)
    for d in plan.dirs:
        os.mkdir(os.path.join(root, d))
    pool = random.Random(plan.seed).randbytes(8192)
    flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL
    for path, size in plan.sizes.items():
        fd = os.open(os.path.join(root, path), flags, 0o644)
        start = (size * 7919) % 4096
        if size:
            os.write(fd, pool[start:start + size])
        os.close(fd)
    for m in plan.manifests:
        with open(os.path.join(root, m.path), "wb") as out:
            out.write(_manifest_data(m))


_data_cache: Dict[int, bytes] = {}


def _manifest_data(m: Manifest) -> bytes:
    key = id(m)
    if key not in _data_cache:
        _data_cache[key] = m.data()
    return _data_cache[key]


def snapshot(root: str) -> Set[str]:
    """Every path under `root`, relative, '/'-separated; directories end in '/'."""
    found: Set[str] = set()
    for dirpath, dirnames, filenames in os.walk(root):
        rel = os.path.relpath(dirpath, root)
        rel = "" if rel == "." else rel + "/"
        found.update(rel + d + "/" for d in dirnames)
        found.update(rel + f for f in filenames)
    return found


def deletion_list(plan: Plan, root: str, windows: bool) -> str:
    """The floor's input: one absolute path per line, directories with a
    trailing separator; POSIX form, or Windows form on drive Z:."""
    root = os.path.abspath(root)
    lines = [root + "/" + p for p in plan.deletions]
    if windows:
        lines = ["Z:" + p.replace("/", "\\") for p in lines]
    return "\n".join(lines) + "\n"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--files", type=int, required=True, help="files the manifests list")
    parser.add_argument("--dirs", type=int, default=0, help="directories (default: files / 25)")
    parser.add_argument("--manifests", type=int, default=16)
    parser.add_argument("--unlisted", type=int, default=5, help="files no manifest lists")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--out", required=True, help="the installation directory to create")
    parser.add_argument("--list", help="write the replay's deletions here (POSIX paths)")
    parser.add_argument("--windows-list", help="the same in Windows form (Z:\\...)")
    args = parser.parse_args()
    plan = make_plan(args.files, args.dirs, args.manifests, args.unlisted, args.seed)
    write_tree(plan, args.out)
    for name, windows in ((args.list, False), (args.windows_list, True)):
        if name:
            with open(name, "w", newline="\n") as out:
                out.write(deletion_list(plan, args.out, windows))
    print("%d files, %d directories, %d manifests, %d unlisted; %d deletions" % (
        len(plan.sizes) - len(plan.unlisted), len(plan.dirs), len(plan.manifests),
        len(plan.unlisted), len(plan.deletions)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
