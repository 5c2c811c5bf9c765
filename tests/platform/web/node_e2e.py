#!/usr/bin/python3
"""drevanti-solve built with emscripten (clang, libc++) and run under node gives byte for byte the
lines of the native tool (g++, libstdc++): demo on a few seeds and screens, and solve on the tool's
fixtures (answers, trees and messages alike).

    node_e2e.py --tool build-web/tools/drevanti-solve.js --solve build/tools/drevanti-solve \\
        --fixtures tests/fixtures/tools
"""

import glob
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from e2e.processes import run  # noqa: E402
from e2e.report import check, log, main  # noqa: E402

SEEDS = [1, 2, 4294967295]
SCREENS = ["1920x1080", "64x48", "800x600", "3840x2160"]
INSTANCES = 12
# Node 18 and later fetch through an experimental API that emscripten's output trips over.
NODE = ["node", "--no-experimental-fetch"]


def case_node_tool(args):
    for needed in (args.tool, args.solve):
        check(os.path.isfile(needed), f"{needed} is missing (build it first)")
    runs = [["demo", "--seed", str(seed), "--screen", screen, "--instances", str(INSTANCES)]
            for seed in SEEDS for screen in SCREENS]
    runs += [["solve", "--tree", path]
             for path in sorted(glob.glob(os.path.join(args.fixtures, "*.txt")))]
    differ = []
    for arguments in runs:
        native = run([args.solve] + arguments, timeout=120)
        node = run(NODE + [args.tool] + arguments, timeout=120)
        # The same exit code, output and messages, and something to compare.
        if native != node or not (native[1] or native[2]):
            differ.append(f"{' '.join(arguments)}:\n  native: {native}\n  node:   {node}")
    log(f"{len(runs) - len(differ)} of {len(runs)} runs byte-identical under node")
    check(not differ, "\n".join(differ))


if __name__ == "__main__":
    main({"node_tool": case_node_tool}, "--tool", "--solve", "--fixtures")
