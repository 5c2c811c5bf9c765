#!/usr/bin/python3
"""What the tests do to a running GNOME Shell, through its own D-Bus interfaces on the session bus
at ADDRESS (Debian's python3 with python3-gi and gir1.2-gdkpixbuf-2.0). Reads one command a line
and answers "ok" (or "ok WxH" for a shot), or "error: ..." when the shell refuses:
  warm-up           mutter makes its virtual keyboard and pointer on their first use, and a
                    client already running misses that first event: this makes both (it is
                    input, so it resets the idle time)
  key CODE          press and release an evdev key (30 = KEY_A) (org.gnome.Mutter.RemoteDesktop)
  motion DX DY      move the pointer by (DX, DY)
  shot PNG PPM [cursor]  the whole stage, every monitor, through org.gnome.Shell.Screenshot (which
                    answers only the owner of org.gnome.Screenshot, as this program becomes); the
                    shell writes PNG, this program PPM from it; with "cursor", the pointer drawn in
  inhibit, uninhibit  hold idleness back, as a video player does, through
                    org.gnome.SessionManager's Inhibit (flag 8), and let it go again
The remote-desktop session, and so the virtual devices, live as long as this program.

usage: gnome_tools.py ADDRESS"""

import sys

import gi

gi.require_version("Gio", "2.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf, Gio, GLib  # noqa: E402

REMOTE = "org.gnome.Mutter.RemoteDesktop"
SESSION = "org.gnome.Mutter.RemoteDesktop.Session"
MANAGER = "org.gnome.SessionManager"
IDLE_FLAG = 8


class Shell:
    def __init__(self, address):
        self.bus = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
            Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        self.remote = None
        self.cookie = None
        owner = self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                          "RequestName", GLib.Variant("(su)", ("org.gnome.Screenshot", 4)), "(u)")
        if owner[0] != 1:
            raise RuntimeError("org.gnome.Screenshot is taken on the bus")

    def call(self, name, path, interface, method, arguments=None, reply=None):
        return self.bus.call_sync(name, path, interface, method, arguments,
                                  GLib.VariantType(reply) if reply else None,
                                  Gio.DBusCallFlags.NONE, 10000, None).unpack()

    def session(self, method, arguments=None):
        if self.remote is None:
            self.remote = self.call(REMOTE, "/org/gnome/Mutter/RemoteDesktop", REMOTE,
                                    "CreateSession", None, "(o)")[0]
            self.call(REMOTE, self.remote, SESSION, "Start")
        self.call(REMOTE, self.remote, SESSION, method, arguments)

    def key(self, code):
        for pressed in (True, False):
            self.session("NotifyKeyboardKeycode", GLib.Variant("(ub)", (code, pressed)))

    def motion(self, dx, dy):
        self.session("NotifyPointerMotionRelative", GLib.Variant("(dd)", (dx, dy)))

    def shot(self, png, ppm, cursor):
        done, _ = self.call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                            "org.gnome.Shell.Screenshot", "Screenshot",
                            GLib.Variant("(bbs)", (cursor, False, png)), "(bs)")
        if not done:
            raise RuntimeError("the shell took no screenshot")
        picture = GdkPixbuf.Pixbuf.new_from_file(png)
        width, height = picture.get_width(), picture.get_height()
        channels, stride = picture.get_n_channels(), picture.get_rowstride()
        data = picture.get_pixels()
        rows = []
        for y in range(height):
            row = data[y * stride:y * stride + width * channels]
            if channels == 4:
                rgb = bytearray(width * 3)
                rgb[0::3], rgb[1::3], rgb[2::3] = row[0::4], row[1::4], row[2::4]
                row = bytes(rgb)
            rows.append(bytes(row))
        with open(ppm, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (width, height) + b"".join(rows))
        return f"{width}x{height}"

    def inhibit(self):
        self.cookie = self.call(MANAGER, "/org/gnome/SessionManager", MANAGER, "Inhibit",
                                GLib.Variant("(susu)", ("video-player", 0, "playing", IDLE_FLAG)),
                                "(u)")[0]

    def uninhibit(self):
        self.call(MANAGER, "/org/gnome/SessionManager", MANAGER, "Uninhibit",
                  GLib.Variant("(u)", (self.cookie,)))

    def run(self, words):
        if words[0] == "warm-up":
            self.key(42)  # left shift: types nothing
            self.motion(0, 0)
        elif words[0] == "key":
            self.key(int(words[1]))
        elif words[0] == "motion":
            self.motion(float(words[1]), float(words[2]))
        elif words[0] == "shot":
            return self.shot(words[1], words[2], words[3:] == ["cursor"])
        elif words[0] == "inhibit":
            self.inhibit()
        elif words[0] == "uninhibit":
            self.uninhibit()
        else:
            raise ValueError(f"unknown command {words[0]}")
        return None


def main():
    shell = Shell(sys.argv[1])
    for line in sys.stdin:
        try:
            said = shell.run(line.split())
            print("ok" + (f" {said}" if said else ""), flush=True)
        except (GLib.Error, RuntimeError, ValueError, IndexError) as error:
            print(f"error: {error}", flush=True)


if __name__ == "__main__":
    main()
