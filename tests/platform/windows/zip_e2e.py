#!/usr/bin/env python3
"""The Windows zip as a user gets it: the saver, the tool and the instructions, both programs
single files that need no DLL beside them, and the saver run once from the unpacked zip under
wine (its full-screen scene, ended by a key).

usage: zip_e2e.py --zip drevanti-VERSION-windows-x86_64.zip --helpers DIR --prefix WINEPREFIX --out DIR
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import saver_e2e
from saver_e2e import CheckFailed, check, log

CONTENTS = {"drevanti.scr", "drevanti-solve.exe", "INSTALL.txt", "README.md", "LICENSE"}
# What Windows itself provides; anything else would have to be shipped beside the programs.
SYSTEM_DLLS = re.compile(r"^(kernel32|user32|gdi32|shell32|advapi32|msvcrt|ucrtbase|ws2_32|"
                         r"api-ms-win-.*)\.dll$", re.IGNORECASE)


def imported_dlls(program):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", program], capture_output=True,
                          text=True, check=True).stdout
    return re.findall(r"DLL Name: (\S+)", dump)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zip", required=True)
    parser.add_argument("--helpers", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--out", required=True)
    opts = parser.parse_args()
    opts.prefix = os.path.abspath(opts.prefix)
    unpacked = tempfile.mkdtemp(prefix="drevanti-zip-")
    try:
        with zipfile.ZipFile(opts.zip) as archive:
            names = archive.namelist()
            archive.extractall(unpacked)
        top = {name.split("/")[0] for name in names}
        check(len(top) == 1, "the zip has no folder of its own: %s" % sorted(top))
        folder = os.path.join(unpacked, top.pop())
        files = {name.split("/", 1)[1] for name in names if not name.endswith("/")}
        check(files == CONTENTS, "the zip holds %s" % sorted(files))
        for program in ("drevanti.scr", "drevanti-solve.exe"):
            dlls = imported_dlls(os.path.join(folder, program))
            foreign = [dll for dll in dlls if not SYSTEM_DLLS.match(dll)]
            check(not foreign, "%s needs %s beside it" % (program, foreign))
            log("%s: %d bytes, imports only %s" % (
                program, os.path.getsize(os.path.join(folder, program)), ", ".join(sorted(dlls))))
        with open(os.path.join(folder, "INSTALL.txt"), "rb") as text:
            check(b"Right-click drevanti.scr" in text.read(), "INSTALL.txt says nothing of Install")
        log("%s: %d bytes" % (os.path.basename(opts.zip), os.path.getsize(opts.zip)))

        opts.saver = os.path.join(folder, "drevanti.scr")
        saver_e2e.prepare(opts)
        saver_e2e.fullscreen_scene(opts)
    except CheckFailed as failure:
        print("FAILED: %s" % failure, flush=True)
        return 1
    finally:
        shutil.rmtree(unpacked, ignore_errors=True)
    print("zip: passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
