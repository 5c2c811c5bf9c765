#!/usr/bin/env python3
"""The Windows installer as an administrator runs it, under wine in a fresh prefix: a broken
package is refused and changes nothing; a previous version (built here) is upgraded in place to
one entry under Settings, Apps; the files lie where they belong and the saver run from System32
draws its scene, previews and shows its settings (saver_e2e.py's cases); the user's screen saver is
left as it was; running the package again repairs; removal leaves no file and no key of ours.

usage: msi_e2e.py --msi drevanti-VERSION-windows-x86_64.msi --build DIR --helpers DIR
                  --prefix PREFIX --shots DIR
"""

import os
import re
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", ".."))
from e2e.processes import run  # noqa: E402
from e2e.report import check, log, main  # noqa: E402
from saver_e2e import wine, wine_env, wineserver  # noqa: E402

SAVER = "windows/system32/drevanti.scr"
FOLDER = "Program Files/Drevanti"
INSTALLED = {SAVER, FOLDER, *(f"{FOLDER}/{name}" for name in
                              ("drevanti-solve.exe", "README.md", "LICENSE"))}
UNINSTALL = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
# The installer service's own keys and cache folder: made by the first package a prefix installs
# (any Windows has them), left empty when it is removed.
SERVICE_KEYS = ("Software\\Classes\\Installer\\",
                "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\")
SERVICE_FOLDER = "windows/Installer"


class Snapshot:
    """A wine prefix's registry values and keys ((hive, key, line) and (hive, key)) and the
    files and folders of its C: drive, once wine has saved them."""

    def __init__(self, args):
        wineserver(wine_env(args), "-w")
        self.registry = set()
        for hive in ("system.reg", "user.reg", "userdef.reg"):
            with open(os.path.join(args.prefix, hive), encoding="utf-8", errors="replace") as file:
                lines = file.read().replace("\\\n", "").splitlines()
            key = None
            for line in lines:
                if line.startswith("["):
                    key = line[1:line.rindex("]")].replace("\\\\", "\\")
                    self.registry.add((hive, key))
                elif key and line[:1] in ('"', "@"):
                    self.registry.add((hive, key, line))
        drive = os.path.join(args.prefix, "drive_c")
        self.files = {os.path.relpath(os.path.join(folder, name), drive)
                      for folder, folders, files in os.walk(drive) for name in folders + files}

    def values(self, key):
        """The values of a key of system.reg: {name: data}."""
        return dict(entry[2].split("=", 1) for entry in self.registry
                    if len(entry) == 3 and entry[:2] == ("system.reg", key))

    def entries(self):
        """The keys under Uninstall named Drevanti, with their values."""
        keys = {entry[1] for entry in self.registry if entry[1].startswith(UNINSTALL)}
        return {key: self.values(key) for key in keys
                if self.values(key).get('"DisplayName"') == '"Drevanti"'}


def msiexec(args, action, package, *properties):
    """msiexec run silently on a package; its exit code (wine passes on its low byte)."""
    code, output = wine(wine_env(args), "msiexec", action, "Z:" + package.replace("/", "\\"),
                        "/qn", *properties, timeout=300)
    log(" ".join(["msiexec", action, os.path.basename(package), *properties]) +
        f": exit {code} {output}".rstrip())
    return code


def changes(before, after, noise):
    """What a step added to and took from the prefix, apart from the keys wine itself rewrites."""
    def kept(entries, other):
        # wine saves a key without values only while it has no subkeys: one that gained or lost
        # its last subkey is still there.
        keys = {entry[1] for entry in other.registry}
        return {entry for entry in entries if entry[1] not in noise and
                not (len(entry) == 2 and any(key.startswith(entry[1] + "\\") for key in keys))}

    return (kept(after.registry - before.registry, before),
            kept(before.registry - after.registry, after),
            after.files - before.files, before.files - after.files)


def one_entry(snapshot, version):
    """The one Drevanti entry under Settings, Apps, of the given version; its values."""
    entries = snapshot.entries()
    check(len(entries) == 1, f"{len(entries)} Drevanti entries: {sorted(entries)}")
    (key, values), = entries.items()
    check(values.get('"DisplayVersion"') == f'"{version}"', f"{key}: {values}")
    return key, values


def older_package(args, version, folder):
    """The same files packed as a lower version, by cpack in the build folder."""
    older = ".".join(map(str, lower_version(version)))
    name = f"drevanti-{older}-windows-x86_64"
    code, _, errors = run(["cpack", "-G", "External", "--config",
                           os.path.join(args.build, "CPackConfig.cmake"), "-B", folder,
                           "-D", f"CPACK_PACKAGE_VERSION={older}",
                           "-D", f"CPACK_PACKAGE_FILE_NAME={name}"], timeout=600)
    check(code == 0, f"cpack made no {name}.msi: {errors}")
    return older, os.path.join(folder, name + ".msi")


def lower_version(version):
    """0.1.0 gives 0.0.99: the last field above zero one lower, the later ones 99."""
    fields = [int(field) for field in version.split(".")]
    last = max(i for i, field in enumerate(fields) if field)
    return fields[:last] + [fields[last] - 1] + [99] * (len(fields) - last - 1)


def run_saver(args, *cases):
    """saver_e2e.py's cases on the installed saver (wine runs it as C:\\windows\\system32\\...)."""
    for case in cases:
        saver = run([sys.executable, os.path.join(HERE, "saver_e2e.py"), case, "--saver",
                     os.path.join(args.prefix, "drive_c", SAVER), "--helpers", args.helpers,
                     "--prefix", args.prefix, "--shots", args.shots], timeout=600)
        log(saver[1].strip())
        check(saver[0] == 0, f"saver_e2e.py {case} on the installed saver failed: {saver[2]}")


def case_msi(args):
    version = re.fullmatch(r"drevanti-([0-9.]+)-windows-x86_64\.msi",
                           os.path.basename(args.msi)).group(1)
    log(f"{os.path.basename(args.msi)}: {os.path.getsize(args.msi)} bytes")
    shutil.rmtree(args.prefix, ignore_errors=True)
    run_saver(args, "prepare")
    # What wine rewrites in every session (the devices it finds) is no change of ours.
    before = Snapshot(args)
    wine(wine_env(args), "wineboot")
    noise = {entry[1] for entry in before.registry ^ Snapshot(args).registry}
    log(f"keys wine rewrites each session, left out: {sorted(noise)}")
    before = Snapshot(args)

    with tempfile.TemporaryDirectory(prefix="drevanti-msi-") as folder:
        broken = os.path.join(folder, "broken.msi")
        with open(args.msi, "rb") as whole, open(broken, "wb") as half:
            half.write(whole.read(os.path.getsize(args.msi) // 2))
        check(msiexec(args, "/i", broken) != 0, "a truncated package was installed")
        check(changes(before, Snapshot(args), noise) == (set(), set(), set(), set()),
              f"a refused package changed the prefix: {changes(before, Snapshot(args), noise)}")

        older, older_msi = older_package(args, version, folder)
        check(msiexec(args, "/i", older_msi) == 0, f"{older} did not install")
        one_entry(Snapshot(args), older)
        check(msiexec(args, "/i", args.msi) == 0, f"{version} did not install over {older}")
        one_entry(Snapshot(args), version)
        check(msiexec(args, "/i", older_msi) != 0, f"{older} installed over {version}")
    installed = Snapshot(args)
    key, values = one_entry(installed, version)
    log(f"{older}, then {version}, then {older} again: one entry, {key}")

    added, taken, new_files, gone_files = changes(before, installed, noise)
    check(not taken and not gone_files, f"installing took {sorted(taken)} {sorted(gone_files)}")
    ours = {path for path in new_files if not path.startswith(SERVICE_FOLDER)}
    check(ours == INSTALLED, f"installed files: {sorted(ours)}")
    check(values.get('"Publisher"') == '"Drevanti team"', f"the entry's publisher: {values}")
    product = key[len(UNINSTALL):]
    icon = next((entry[2] for entry in added
                 if entry[2:] and entry[2].startswith('"ProductIcon"=')), "")
    check(f"{product}\\\\drevanti.ico" in icon and f"{SERVICE_FOLDER}/{product}/drevanti.ico" in
          new_files, f"the entry's icon: {icon or 'none'}")
    desktop = ("user.reg", "Control Panel\\Desktop")
    check(not any(entry[:2] == desktop for entry in added | taken),
          f"the desktop's settings changed: {sorted(e for e in added | taken if e[:2] == desktop)}")
    log("added files: " + ", ".join(sorted(new_files)))
    log("added keys with values:\n  " + "\n  ".join(
        sorted({entry[1] for entry in added if len(entry) == 3})))

    # Running the package again, as it is or to repair (what /f asks for, which wine's msiexec
    # lacks): a lost file comes back, and there is still one entry.
    os.remove(os.path.join(args.prefix, "drive_c", SAVER))
    check(msiexec(args, "/i", args.msi) == 0, "running the package again failed")
    check(msiexec(args, "/i", args.msi, "REINSTALL=ALL", "REINSTALLMODE=omus") == 0,
          "the repair failed")
    check(os.path.exists(os.path.join(args.prefix, "drive_c", SAVER)), "the repair lost the saver")
    one_entry(Snapshot(args), version)

    run_saver(args, "fullscreen_scene", "preview", "settings_form")

    check(msiexec(args, "/x", args.msi) == 0, "removal failed")
    added, taken, new_files, gone_files = changes(before, Snapshot(args), noise)
    left = {entry for entry in added if len(entry) == 3 or not entry[1].startswith(SERVICE_KEYS)}
    check(not left and not taken, f"removal left {sorted(left)} and took {sorted(taken)}")
    check(new_files <= {SERVICE_FOLDER} and not gone_files,
          f"removal left {sorted(new_files)} and took {sorted(gone_files)}")
    log("after removal, as before the install but for the installer service's own empty keys "
        f"({len(added)}) and folder: {sorted(new_files)}")


if __name__ == "__main__":
    main({"msi": case_msi}, "--msi", "--build", "--helpers", "--prefix", "--shots")
