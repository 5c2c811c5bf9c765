#!/usr/bin/env python3
"""Checks the include rule of README.md (Architecture): which folder may include which.

    check_includes.py [SOURCE_ROOT]

The core folders (app, geometry, steiner, render) include no window system, no platform backend
and nothing of the tools; geometry, steiner and render take from app only the record they work on
(the solver state, the random source, the screen size); each platform backend and the tools may
use the whole core, the tools the headless backend besides, and the web page the tools' demo
line. Exits 1, listing every include that breaks the rule."""

import os
import re
import sys

CORE = {"app", "geometry", "steiner", "render"}
RECORD = {"app/solver_state.h", "app/random_source.h", "app/screen_size.h"}
# Folder -> the folders its files may include from (a file in its own folder always).
ALLOWED = {
    "geometry": set(),
    "steiner": {"geometry"},
    "render": set(),
    "app": {"geometry", "steiner", "render"},
    "platform/headless": CORE,
    "platform/linux": CORE | {"platform/wayland", "platform/idle"},
    "platform/wayland": CORE | {"platform/linux"},
    "platform/windows": CORE,
    # The idle watcher starts the saver as a program of its own: it needs no backend.
    "platform/idle": CORE,
    # The page writes the tool's demo lines to the browser's console.
    "platform/web": CORE | {"tools"},
    "tools": CORE | {"platform/headless"},
}
# Window systems and operating-system interfaces, which the core must not see.
SYSTEM = re.compile(r"^(SDL|X11/|fontconfig/|windows\.h|windowsx\.h|shellapi\.h|unistd\.h|"
                    r"signal\.h|fcntl\.h)", re.IGNORECASE)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path):
    parts = path.split("/")
    return "/".join(parts[:2]) if parts[0] == "platform" else parts[0]


def target_folder(include):
    """The folder an include names ("app/x.h" -> app, "platform/headless/x.h" -> platform/headless);
    None for a file of the including folder, named without one."""
    if "/" not in include:
        return None
    return folder_of(include)


def problems(root):
    found = []
    for base in ("src", "tools"):
        for directory, _, files in os.walk(os.path.join(root, base)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, os.path.join(root, "src" if base == "src" else ""))
                folder = "tools" if base == "tools" else folder_of(relative)
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
                        target = target_folder(include)
                        if target is None or target == folder:
                            continue
                        allowed = ALLOWED.get(folder, set())
                        if target in allowed or (target == "app" and include in RECORD):
                            continue
                        # version.h is generated into app/ for the programs' --version.
                        if include == "app/version.h" and folder not in CORE:
                            continue
                        found.append(f"{where}: {folder} may not include from {target}")
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(__file__))
    found = problems(os.path.abspath(root))
    for problem in found:
        print(problem)
    if found:
        print(f"{len(found)} include(s) break the rule (README.md, Architecture)")
        return 1
    print("every include keeps the rule")
    return 0


if __name__ == "__main__":
    sys.exit(main())
