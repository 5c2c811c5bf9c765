#!/usr/bin/env python3
"""Checks the include rule of doc/HACKING.md (Architecture): which folder may include which.

    check_includes.py [SOURCE_ROOT]

The core folders (state, geometry, steiner, render, app) include no window system, no
operating-system interface, no backend and nothing of the tools. The record the solver works on
(state: the solver state, the random source, the screen size) includes nothing of the others;
geometry, steiner and render may include it, steiner geometry besides, and app all four. A backend
may use the whole core, the Linux backends the drawing they share besides; no backend includes
another backend or the tools. The Linux program may use its backends and its idle watcher (which needs
no backend, only what the Linux backends share); the tools the headless backend.

An include written without a folder is resolved as the compiler resolves it: first beside the
including file, then in the folders the build offers as include directories (those whose
CMakeLists.txt gives its own folder to target_include_directories). One that names a file of
several such folders is reported too, since what it reaches depends on the build. Exits 1, listing
every include that breaks the rule."""

import os
import re
import sys

CORE = {"state", "geometry", "steiner", "render", "app"}
LINUX_BACKENDS = {"platform/x11", "platform/wayland"}
# Folder -> the folders its files may include from (a file in its own folder always).
ALLOWED = {
    "state": set(),
    "geometry": {"state"},
    "steiner": {"state", "geometry"},
    "render": {"state"},
    "app": {"state", "geometry", "steiner", "render"},
    "platform/headless": CORE,
    "platform/linux_shared": CORE,
    "platform/x11": CORE | {"platform/linux_shared"},
    "platform/wayland": CORE | {"platform/linux_shared"},
    "platform/windows": CORE,
    "platform/web": CORE,
    # The idle watcher starts the saver as a program of its own: it needs no backend.
    "platform/idle": CORE | {"platform/linux_shared"},
    # The Linux program: its backends, what they share, and its idle watcher.
    "platform/linux": CORE | LINUX_BACKENDS | {"platform/linux_shared", "platform/idle"},
    "tools": CORE | {"platform/headless"},
}
# Window systems and operating-system interfaces, which the core must not see.
SYSTEM = re.compile(r"^(SDL|X11/|fontconfig/|wayland-|windows\.h|windowsx\.h|shellapi\.h|"
                    r"unistd\.h|signal\.h|fcntl\.h|poll\.h|sys/|emscripten)", re.IGNORECASE)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
OWN_INCLUDE_DIRECTORY = re.compile(
    r"target_include_directories\s*\([^)]*\$\{CMAKE_CURRENT_SOURCE_DIR\}", re.DOTALL)


def folder_of(relative):
    """The folder a path below src/ (or tools/) belongs to: platform/NAME, tools, or the first
    part."""
    parts = relative.split("/")
    return "/".join(parts[:2]) if parts[0] == "platform" else parts[0]


def source_files(root):
    """(path, folder) of every C++ file of src/ and tools/."""
    for base in ("src", "tools"):
        for directory, _, files in os.walk(os.path.join(root, base)):
            for name in sorted(files):
                if name.endswith((".h", ".cpp")):
                    path = os.path.join(directory, name)
                    relative = os.path.relpath(path, os.path.join(root, "src"))
                    yield path, "tools" if base == "tools" else folder_of(relative)


def include_directories(root):
    """The source folders the build offers as include directories, as (directory, folder)."""
    found = []
    for path, folder in source_files(root):
        directory = os.path.dirname(path)
        cmake = os.path.join(directory, "CMakeLists.txt")
        if (directory, folder) in found or not os.path.exists(cmake):
            continue
        with open(cmake, encoding="utf-8") as text:
            if OWN_INCLUDE_DIRECTORY.search(text.read()):
                found.append((directory, folder))
    return found


def resolve(include, path, folder, directories):
    """The folder the include reaches (one written with a folder: that folder, though the file be
    generated), None for a bare name the project has no file of (a system or a generated header),
    or a list of folders when a bare name is found in several."""
    if os.path.exists(os.path.join(os.path.dirname(path), include)):
        return folder
    if "/" in include:
        return folder_of(include)
    reached = sorted({f for d, f in directories if os.path.exists(os.path.join(d, include))})
    if not reached:
        return None
    return reached[0] if len(reached) == 1 else reached


def problems(root):
    found = []
    directories = include_directories(root)
    for path, folder in source_files(root):
        with open(path, encoding="utf-8") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                quote, include = match.groups()
                where = f"{os.path.relpath(path, root)}:{number}: {include}"
                if quote == "<":
                    if folder in CORE and SYSTEM.match(include):
                        found.append(f"{where}: a window system or OS interface in the core")
                    continue
                # version.h is generated into app/ for the programs' --version.
                if include == "app/version.h" and folder not in CORE:
                    continue
                target = resolve(include, path, folder, directories)
                if isinstance(target, list):
                    found.append(f"{where}: names a file of {', '.join(target)}: write its folder")
                    continue
                if target is None or target == folder:
                    continue
                if target in ALLOWED.get(folder, set()):
                    continue
                found.append(f"{where}: {folder} may not include from {target}")
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(__file__))
    found = problems(os.path.abspath(root))
    for problem in found:
        print(problem)
    if found:
        print(f"{len(found)} include(s) break the rule (doc/HACKING.md, Architecture)")
        return 1
    print("every include keeps the rule")
    return 0


if __name__ == "__main__":
    sys.exit(main())
