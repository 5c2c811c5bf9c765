#!/usr/bin/env python3
"""The Debian package as a user gets it: its files and dependencies, installed with apt-get,
listed with xscreensaver by its one documented step (drevanti --register), run by the real
xscreensaver daemon by its bare name, and purged without a trace. Changes the machine it runs on
(it installs and removes the package), so it runs as root, from scripts/test.sh.

usage: package_e2e.py --deb drevanti_VERSION_ARCH.deb --probe BIN --shots DIR
"""

import os
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from e2e.hosts import ThrowawayUser, xscreensaver_runs  # noqa: E402
from e2e.processes import run  # noqa: E402
from e2e.report import check, log, main  # noqa: E402
from e2e.scene import load_layout  # noqa: E402
from e2e.screens import XServer  # noqa: E402

FILES = {
    "/usr/bin/drevanti",
    "/usr/bin/drevanti-solve",
    "/usr/libexec/xscreensaver/drevanti",
    "/usr/share/xscreensaver/config/drevanti.xml",
    "/usr/share/applications/screensavers/drevanti.desktop",
    "/usr/share/man/man6/drevanti.6.gz",
    "/usr/share/man/man1/drevanti-solve.1.gz",
    "/usr/share/doc/drevanti/README.md",
    "/usr/share/doc/drevanti/copyright",
    "/usr/share/doc/drevanti/changelog.gz",
    "/usr/share/lintian/overrides/drevanti",
}
# What the programs link, and the font the status line is drawn in.
NEEDED = ["libc6", "libstdc++6", "libsdl2-2.0-0", "libsdl2-ttf-2.0-0", "libfontconfig1",
          "libx11-6", "libxrandr2", "libwayland-client0", "libglib2.0-0", "fonts-dejavu-core"]


def succeed(*command):
    code, out, error = run(command, dict(os.environ, DEBIAN_FRONTEND="noninteractive"), 600)
    check(code == 0, f"{' '.join(command)}: {out}{error}")
    return out


def installed():
    return run(["dpkg", "-s", "drevanti"])[0] == 0


def check_package(deb):
    listed = {line.split(None, 5)[5].lstrip(".").split(" -> ")[0]
              for line in succeed("dpkg-deb", "-c", deb).splitlines() if not line.startswith("d")}
    check(listed == FILES, f"the package holds {sorted(listed)}")
    depends = succeed("dpkg-deb", "-f", deb, "Depends")
    names = [part.split()[0] for part in depends.split(",")]
    for needed in NEEDED:
        check(needed in names, f"Depends lacks {needed}: {depends.strip()}")
    log(f"{os.path.basename(deb)}: {os.path.getsize(deb)} bytes, {len(listed)} files; "
        f"Depends: {depends.strip()}")


def run_under_xscreensaver(args):
    with XServer(probe=args.probe) as server, ThrowawayUser("deb") as user:
        env = {"DISPLAY": server.env["DISPLAY"], "PATH": "/usr/bin:/bin"}
        log(user.succeed(["drevanti", "--register"], env).strip())
        again = user.succeed(["drevanti", "--register"], env)
        check("listed already" in again, f"a second --register: {again}")
        xscreensaver_runs(server, user, env, [(0, 0, 1280, 720)],
                          "/usr/libexec/xscreensaver/drevanti",
                          "package-xscreensaver")


def case_package(args):
    check(os.geteuid() == 0, "installs a package: run it as root")
    check_package(args.deb)
    if installed():
        succeed("apt-get", "purge", "-y", "drevanti")
    succeed("apt-get", "install", "-y", args.deb)
    try:
        check(succeed("drevanti", "--version").startswith("drevanti "), "drevanti --version")
        check(succeed("drevanti-solve", "--version").startswith("drevanti-solve "),
              "drevanti-solve --version")
        config = ElementTree.parse("/usr/share/xscreensaver/config/drevanti.xml").getroot()
        check(config.get("name") == "drevanti" and config.get("_label") == "Drevanti",
              "drevanti.xml names another screen saver")
        check(config.find("command").get("arg") == "--root", "drevanti.xml: no --root")
        run_under_xscreensaver(args)
    finally:
        succeed("apt-get", "purge", "-y", "drevanti")
    left = sorted(path for path in FILES | {"/usr/share/doc/drevanti"} if os.path.lexists(path))
    check(not left and not installed(), f"left after purge: {left}")
    log("purged: nothing left")


if __name__ == "__main__":
    main({"package": case_package}, "--deb", "--probe", "--shots",
         setup=lambda args: load_layout([args.probe, "layout"]))
