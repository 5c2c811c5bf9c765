#!/usr/bin/env python3
"""The Windows zip as a user gets it: the saver, the tool and the instructions, both programs
single files that need no DLL beside them, and the saver run once from the unpacked zip under
wine (saver_e2e.py's fullscreen_scene: its full-screen scene, ended by a key).

usage: zip_e2e.py --zip drevanti-VERSION-windows-x86_64.zip --helpers DIR --prefix PREFIX --shots DIR
"""

import os
import re
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", ".."))
from e2e.processes import run  # noqa: E402
from e2e.report import check, log, main  # noqa: E402

CONTENTS = {"drevanti.scr", "drevanti-solve.exe", "INSTALL.txt", "README.md", "LICENSE"}
# What Windows itself provides; anything else would have to be shipped beside the programs.
SYSTEM_DLLS = re.compile(r"^(kernel32|user32|gdi32|shell32|shcore|advapi32|msvcrt|ucrtbase|ws2_32|"
                         r"api-ms-win-.*)\.dll$", re.IGNORECASE)


def check_zip(args, unpacked):
    """The zip's contents, and its saver under wine, unpacked into the given folder."""
    with zipfile.ZipFile(args.zip) as archive:
        names = archive.namelist()
        archive.extractall(unpacked)
    top = {name.split("/")[0] for name in names}
    check(len(top) == 1, f"the zip has no folder of its own: {sorted(top)}")
    folder = os.path.join(unpacked, top.pop())
    files = {name.split("/", 1)[1] for name in names if not name.endswith("/")}
    check(files == CONTENTS, f"the zip holds {sorted(files)}")
    for program in ("drevanti.scr", "drevanti-solve.exe"):
        path = os.path.join(folder, program)
        dlls = re.findall(r"DLL Name: (\S+)", run(["x86_64-w64-mingw32-objdump", "-p", path])[1])
        foreign = [dll for dll in dlls if not SYSTEM_DLLS.match(dll)]
        check(dlls and not foreign, f"{program} imports {dlls}, needing {foreign} beside it")
        log(f"{program}: {os.path.getsize(path)} bytes, imports only {', '.join(sorted(dlls))}")
    with open(os.path.join(folder, "INSTALL.txt"), "rb") as text:
        check(b"Right-click drevanti.scr" in text.read(), "INSTALL.txt says nothing of Install")
    log(f"{os.path.basename(args.zip)}: {os.path.getsize(args.zip)} bytes")
    for case in ("prepare", "fullscreen_scene"):
        saver = run([sys.executable, os.path.join(HERE, "saver_e2e.py"), case, "--saver",
                     os.path.join(folder, "drevanti.scr"), "--helpers", args.helpers, "--prefix",
                     args.prefix, "--shots", args.shots], timeout=600)
        log(saver[1].strip())
        check(saver[0] == 0, f"saver_e2e.py {case} on the unpacked saver failed: {saver[2]}")


def case_zip(args):
    with tempfile.TemporaryDirectory(prefix="drevanti-zip-") as unpacked:
        check_zip(args, unpacked)


if __name__ == "__main__":
    main({"zip": case_zip}, "--zip", "--helpers", "--prefix", "--shots")
