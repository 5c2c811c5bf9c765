#!/usr/bin/env python3
"""The Debian package as a user gets it: its files and dependencies, installed with apt-get,
listed with xscreensaver by its one documented step (drevanti --register), run by the real
xscreensaver daemon by its bare name, and purged without a trace. Changes the machine it runs on
(it installs and removes the package), so it runs as root, from scripts/test.sh.

usage: package_e2e.py --deb drevanti_VERSION_ARCH.deb --probe BIN --shots DIR
"""

import argparse
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

import saver_e2e
from hosts_e2e import (MARKER, ONE_MONITOR, STOP_LIMIT, ThrowawayUser, XServer, command_line_of,
                       log, start_first_saver, usage, wait_for_scenes, wait_gone)
from saver_e2e import Failure, check

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
# Settings for the test only: start the first saver of the list at once, without locking.
TEST_SETTINGS = "mode: one\nselected: 0\nlock: False\nsplash: False\nfade: False\nunfade: False\n" \
                "dpmsEnabled: False\ntimeout: 0:30:00\n"


def run(command, **kwargs):
    result = subprocess.run(command, capture_output=True, text=True, timeout=600, **kwargs)
    check(result.returncode == 0, f"{' '.join(command)}: {result.stdout}{result.stderr}")
    return result.stdout


def installed():
    return subprocess.run(["dpkg", "-s", "drevanti"], capture_output=True).returncode == 0


def check_package(deb):
    listed = {line.split(None, 5)[5].lstrip(".").split(" -> ")[0]
              for line in run(["dpkg-deb", "-c", deb]).splitlines()
              if not line.startswith("d")}
    check(listed == FILES, f"the package holds {sorted(listed)}")
    depends = run(["dpkg-deb", "-f", deb, "Depends"])
    names = [part.split()[0] for part in depends.split(",")]
    for needed in NEEDED:
        check(needed in names, f"Depends lacks {needed}: {depends.strip()}")
    log(f"{os.path.basename(deb)}: {os.path.getsize(deb)} bytes, {len(listed)} files; "
        f"Depends: {depends.strip()}")


def run_under_xscreensaver(args):
    with XServer() as server, ThrowawayUser("drevanti-deb") as user:
        server.run(["xhost", f"+si:localuser:{user.name}"])
        server.run(["xsetroot", "-solid", MARKER])
        env = {"DISPLAY": server.env["DISPLAY"], "PATH": "/usr/bin:/bin"}
        registered = user.run(["drevanti", "--register"], env)
        check(registered.returncode == 0, f"drevanti --register: {registered.stderr}")
        log(registered.stdout.strip())
        again = user.run(["drevanti", "--register"], env)
        check("listed already" in again.stdout, f"a second --register: {again.stdout}")
        settings = os.path.join(user.home, ".xscreensaver")
        with open(settings, "a") as out:
            out.write(TEST_SETTINGS)
        alive, _, _ = start_first_saver(user, env, tempfile.TemporaryFile(), server)
        shot, seconds = wait_for_scenes(server.screenshot, ONE_MONITOR, alive, "xscreensaver")
        shot.save_png(os.path.join(args.shots, "package-xscreensaver.png"))
        savers = user.savers()
        check(len(savers) == 1, f"{len(savers)} saver processes")
        check(os.path.realpath(f"/proc/{savers[0]}/exe") == "/usr/libexec/xscreensaver/drevanti",
              "xscreensaver did not run the installed saver")
        check(command_line_of(savers[0]) == ["drevanti", "--root"],
              f"started as {command_line_of(savers[0])}")
        cpu, rss = usage(savers[0])
        log(f"installed saver under xscreensaver: drawn {seconds:.2f} s after -select, "
            f"CPU {cpu:.1f} %, {rss:.1f} MB")
        check(user.run(["xscreensaver-command", "-deactivate"], env).returncode == 0,
              "xscreensaver-command -deactivate failed")
        wait_gone(savers, STOP_LIMIT, "after -deactivate")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    deb = os.path.abspath(args.deb)
    os.makedirs(args.shots, exist_ok=True)
    saver_e2e.load_layout(args.probe)
    saver_e2e.FAILURE_SHOT = os.path.join(args.shots, "failed-package.png")
    try:
        check(os.geteuid() == 0, "installs a package: run it as root")
        check_package(deb)
        if installed():
            run(["apt-get", "purge", "-y", "drevanti"])
        run(["apt-get", "install", "-y", deb], env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        try:
            check(run(["drevanti", "--version"]).startswith("drevanti "), "drevanti --version")
            check(run(["drevanti-solve", "--version"]).startswith("drevanti-solve "),
                  "drevanti-solve --version")
            config = ElementTree.parse("/usr/share/xscreensaver/config/drevanti.xml").getroot()
            check(config.get("name") == "drevanti" and config.get("_label") == "Drevanti",
                  "drevanti.xml names another screen saver")
            check(config.find("command").get("arg") == "--root", "drevanti.xml: no --root")
            run_under_xscreensaver(args)
        finally:
            run(["apt-get", "purge", "-y", "drevanti"])
        left = sorted(path for path in FILES | {"/usr/share/doc/drevanti"}
                      if os.path.lexists(path))
        check(not left and not installed(), f"left after purge: {left}")
        log("purged: nothing left")
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
