#!/usr/bin/python3
"""Screenshots of KWin's outputs for the end-to-end tests, through KWin's own D-Bus interface
(org.kde.KWin.ScreenShot2, open to every client when KWin runs with
KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1). Runs with Debian's python3 and python3-gi.

usage: kwin_screens.py BUS_ADDRESS DIR OUTPUT...
For each line read, writes DIR/OUTPUT.ppm for every output, in its device pixels, and answers
"ok", or "error: ..." when KWin would not take one."""

import os
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402


def capture(bus, output):
    """The output's picture as PPM bytes."""
    read_end, write_end = os.pipe()
    fds = Gio.UnixFDList.new()
    fds.append(write_end)
    os.close(write_end)
    reply, _ = bus.call_with_unix_fd_list_sync(
        "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureScreen",
        GLib.Variant("(sa{sv}h)", (output, {"native-resolution": GLib.Variant("b", True)}, 0)),
        GLib.VariantType("(a{sv})"),
        Gio.DBusCallFlags.NONE, 10000, fds, None)
    # KWin writes into the pipe and closes its end; the copy this process sent must go too.
    for fd in fds.steal_fds():
        os.close(fd)
    with os.fdopen(read_end, "rb") as pipe:
        data = pipe.read()
    meta = reply.unpack()[0]
    width, height, stride = meta["width"], meta["height"], meta["stride"]
    # 32-bit pixels, B G R A in memory (QImage's ARGB32 formats on a little-endian machine).
    rows = []
    for y in range(height):
        row = data[y * stride:y * stride + width * 4]
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::4], row[1::4], row[0::4]
        rows.append(bytes(rgb))
    return b"P6\n%d %d\n255\n" % (width, height) + b"".join(rows)


def main():
    address, folder, outputs = sys.argv[1], sys.argv[2], sys.argv[3:]
    bus = Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
        Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
    for _ in sys.stdin:
        try:
            for output in outputs:
                with open(os.path.join(folder, f"{output}.ppm"), "wb") as out:
                    out.write(capture(bus, output))
            print("ok", flush=True)
        except GLib.Error as error:
            print(f"error: {error.message}", flush=True)


if __name__ == "__main__":
    main()
