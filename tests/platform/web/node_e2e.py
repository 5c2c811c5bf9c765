#!/usr/bin/python3
"""drevanti-solve built with emscripten (clang, libc++) and run under node gives byte for byte the
lines of the native tool (g++, libstdc++): demo on a few seeds and screens, and solve on the tool's
fixtures (answers, trees and messages alike).

    node_e2e.py --tool build-web/tools/drevanti-solve.js --solve build/tools/drevanti-solve \\
        --fixtures tests/fixtures/tools
"""

import argparse
import glob
import os
import subprocess
import sys

SEEDS = [1, 2, 4294967295]
SCREENS = ["1920x1080", "64x48", "800x600", "3840x2160"]
INSTANCES = 12
# Node 18 and later fetch through an experimental API that emscripten's output trips over.
NODE = ["node", "--no-experimental-fetch"]


def run(command):
    done = subprocess.run(command, capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--solve", required=True)
    parser.add_argument("--fixtures", required=True)
    args = parser.parse_args()
    for needed in (args.tool, args.solve):
        if not os.path.isfile(needed):
            sys.exit(f"node_e2e: {needed} is missing (build it first)")

    runs = [["demo", "--seed", str(seed), "--screen", screen, "--instances", str(INSTANCES)]
            for seed in SEEDS for screen in SCREENS]
    runs += [["solve", "--tree", path]
             for path in sorted(glob.glob(os.path.join(args.fixtures, "*.txt")))]
    failed = 0
    for arguments in runs:
        native = run([args.solve] + arguments)
        node = run(NODE + [args.tool] + arguments)
        # The same exit code, output and messages, and something to compare.
        same = native == node and bool(native[1] or native[2])
        print(("same  " if same else "DIFF  ") + " ".join(arguments), flush=True)
        if not same:
            failed += 1
            print(f"      native: {native}\n      node:   {node}")
    print(f"{len(runs) - failed} of {len(runs)} runs byte-identical under node")
    if failed:
        sys.exit(1)


if __name__ == "__main__":
    main()
