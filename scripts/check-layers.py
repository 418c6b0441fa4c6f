#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer it may not use.

Usage: scripts/check-layers.py [ROOT]   (ROOT: the checkout, default: this script's)

Every quoted #include is resolved the way the build resolves it (beside the
including file, then from the checkout's root, then from platform/include/)
and the folder it lands in must be the including file's own layer or one
the layer may use. Includes that resolve nowhere are generated headers of
the build and are not checked. Every folder holding sources must belong to
a layer, so a new folder is placed before its first file goes in.
Prints one line per broken include and exits with 1; silent and 0 when the
layers hold.
"""
import os
import re
import sys

# The layers, bottom first: a name, the folders that form it (the longest
# matching folder decides) and the layers it may use besides its own. The
# README's layout section says the same in words; keep both in step.
LAYERS = [
    ("platform", ["platform/"], []),
    ("foundation", ["foundation/"], ["platform"]),
    # The native playlist file's layout and re-basing rule, shared by the
    # player and the burner.
    ("playlistformat", ["playlistformat/"], ["platform"]),
    ("pluginabi", ["pluginhost/abi/"], ["platform"]),
    ("skins", ["skins/"], ["foundation", "platform"]),
    ("display", ["display/"], ["skins", "pluginabi", "foundation", "platform"]),
    # The plug-in host and playback use each other: the host's adapters are
    # playback's players and streams, and playback runs plug-in objects.
    ("playback+pluginhost", ["playback/", "pluginhost/"], ["display", "skins", "pluginabi", "playlistformat", "foundation", "platform"]),
    ("app", ["app/"], ["playback+pluginhost", "display", "skins", "pluginabi", "playlistformat", "foundation", "platform"]),
    ("windows", ["windows/"], ["app", "playback+pluginhost", "display", "skins", "pluginabi", "playlistformat", "foundation", "platform"]),
    ("kilnar", ["kilnar/"], ["playlistformat", "platform"]),
    ("plugins", ["plugins/"], ["pluginabi", "foundation", "platform"]),
    # The program's entry, the tools, the tests, benchmarks and fuzzers may
    # use any layer.
    ("top", ["app/program/", "tools/", "tests/", "bench/", "fuzz/", "resources/", "samples/", "scripts/"], None),
]

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".inl")
SKIPPED_FOLDERS = {".git", "build", ".ci", "cmake"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def layer_of(relative_path):
    """The layer a path of the checkout belongs to, or None."""
    best, best_length = None, -1
    for name, folders, _ in LAYERS:
        for folder in folders:
            if relative_path.startswith(folder) and len(folder) > best_length:
                best, best_length = name, len(folder)
    return best


def may_use(user, used):
    if user == used:
        return True
    for name, _, uses in LAYERS:
        if name == user:
            return uses is None or used in uses
    return False


def resolve(root, including_folder, include):
    """The checkout-relative path the include lands on, or None."""
    for base in (including_folder, "", "platform/include"):
        candidate = os.path.normpath(os.path.join(base, include))
        if not candidate.startswith("..") and os.path.isfile(os.path.join(root, candidate)):
            return candidate.replace(os.sep, "/")
    return None


def source_files(root):
    for folder, subfolders, files in os.walk(root):
        relative_folder = os.path.relpath(folder, root)
        if relative_folder == ".":
            subfolders[:] = [name for name in subfolders if name not in SKIPPED_FOLDERS and not name.startswith(".")]
            continue
        subfolders.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(relative_folder, name).replace(os.sep, "/")


def check(root):
    """The broken includes as printable lines."""
    problems = []
    for path in source_files(root):
        user = layer_of(path)
        if user is None:
            problems.append(f"{path}: folder belongs to no layer (add it to scripts/check-layers.py and the README)")
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = resolve(root, os.path.dirname(path), match.group(1))
                if target is None:
                    continue
                used = layer_of(target)
                if used is not None and not may_use(user, used):
                    problems.append(f"{path}:{number}: {user} may not include \"{match.group(1)}\" ({used})")
    return problems


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    problems = check(root)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
