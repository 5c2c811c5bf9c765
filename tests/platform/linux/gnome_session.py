#!/usr/bin/python3
"""The rest of a GNOME session for the idle watcher's cases, beside a running GNOME Shell on the
session bus at ADDRESS (Debian's python3 with python3-gi). It stands in for the NAMEs given:
org.gnome.SessionManager (its InhibitedActions, which mutter's idle monitor follows: 8 holds
idleness back) and org.gnome.ScreenSaver, GNOME's own screen saver (GetActive, ActiveChanged; off
at first).
It drives the shell through the shell's own interfaces. Prints "ready" once it owns its names, then
answers each line read with "ok", or "error: ..." when the shell refuses:
  warm-up            mutter makes its virtual keyboard and pointer on their first use, and a client
                     already running misses that first event: this makes both (it is input)
  key CODE           press and release an evdev key (30 = KEY_A) (org.gnome.Mutter.RemoteDesktop)
  motion DX DY       move the pointer by (DX, DY)
  shot PNG [cursor]  the whole stage through org.gnome.Shell.Screenshot, which answers only the
                     owner of org.gnome.Screenshot (as this program is); "cursor" draws the pointer
  inhibit, uninhibit an application holds idleness back (as a playing video does), or lets go
  active, inactive   GNOME's own screen saver comes on, or goes off

usage: gnome_session.py ADDRESS NAME..."""

import sys
import threading

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

REMOTE = "org.gnome.Mutter.RemoteDesktop"
INTERFACES = {
    "org.gnome.SessionManager": ("/org/gnome/SessionManager", """
      <method name="Setenv"><arg type="s" direction="in"/><arg type="s" direction="in"/></method>
      <property name="InhibitedActions" type="u" access="read"/>"""),
    "org.gnome.ScreenSaver": ("/org/gnome/ScreenSaver", """
      <method name="GetActive"><arg type="b" direction="out"/></method>
      <signal name="ActiveChanged"><arg type="b"/></signal>"""),
}


class Session:
    def __init__(self, address, names):
        self.bus = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
            Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        self.remote, self.inhibited, self.active = None, 0, False
        for name, (path, members) in INTERFACES.items():
            xml = f'<node><interface name="{name}">{members}</interface></node>'
            self.bus.register_object(path, Gio.DBusNodeInfo.new_for_xml(xml).interfaces[0],
                                     self.method, lambda *_: GLib.Variant("u", self.inhibited),
                                     None)
        for name in ["org.gnome.Screenshot", *names]:
            owned = self.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "RequestName",
                              GLib.Variant("(su)", (name, 4)), "(u)")
            if owned[0] != 1:
                raise RuntimeError(f"{name} is taken on the bus")

    def method(self, bus, sender, path, interface, name, arguments, invocation):
        answer = GLib.Variant("(b)", (self.active,)) if name == "GetActive" else None
        invocation.return_value(answer)

    def call(self, name, path, interface, method, arguments=None, reply=None):
        return self.bus.call_sync(name, path, interface, method, arguments,
                                  GLib.VariantType(reply) if reply else None,
                                  Gio.DBusCallFlags.NONE, 10000, None).unpack()

    def remote_desktop(self, method, arguments):
        if self.remote is None:
            self.remote = self.call(REMOTE, "/org/gnome/Mutter/RemoteDesktop", REMOTE,
                                    "CreateSession", None, "(o)")[0]
            self.call(REMOTE, self.remote, REMOTE + ".Session", "Start")
        self.call(REMOTE, self.remote, REMOTE + ".Session", method, arguments)

    def key(self, code):
        for pressed in (True, False):
            self.remote_desktop("NotifyKeyboardKeycode", GLib.Variant("(ub)", (code, pressed)))

    def motion(self, dx, dy):
        self.remote_desktop("NotifyPointerMotionRelative", GLib.Variant("(dd)", (dx, dy)))

    def emit(self, name, signal, arguments):
        self.bus.emit_signal(None, INTERFACES[name][0], *signal, arguments)
        self.bus.flush_sync(None)

    def run(self, word, *rest):
        if word == "warm-up":
            self.key(42)  # left shift: types nothing
            self.motion(0, 0)
        elif word == "key":
            self.key(int(rest[0]))
        elif word == "motion":
            self.motion(float(rest[0]), float(rest[1]))
        elif word == "shot":
            done, _ = self.call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                                "org.gnome.Shell.Screenshot", "Screenshot",
                                GLib.Variant("(bbs)", (rest[1:] == ("cursor",), False, rest[0])),
                                "(bs)")
            if not done:
                raise RuntimeError("the shell took no screenshot")
        elif word in ("inhibit", "uninhibit"):
            self.inhibited = 8 if word == "inhibit" else 0
            self.emit("org.gnome.SessionManager", ("org.freedesktop.DBus.Properties",
                                                   "PropertiesChanged"),
                      GLib.Variant("(sa{sv}as)", ("org.gnome.SessionManager", {
                          "InhibitedActions": GLib.Variant("u", self.inhibited)}, [])))
        elif word in ("active", "inactive"):
            self.active = word == "active"
            self.emit("org.gnome.ScreenSaver", ("org.gnome.ScreenSaver", "ActiveChanged"),
                      GLib.Variant("(b)", (self.active,)))
        else:
            raise ValueError(f"unknown command {word}")


def main():
    # The stand-ins answer on a thread of their own: the shell may ask them something while this
    # one waits for the shell.
    ready = threading.Event()

    def serve():
        context = GLib.MainContext.new()
        context.push_thread_default()
        try:
            serve.session = Session(sys.argv[1], sys.argv[2:])
        finally:
            ready.set()
        GLib.MainLoop(context).run()

    threading.Thread(target=serve, daemon=True).start()
    ready.wait()
    if not hasattr(serve, "session"):
        sys.exit(1)
    print("ready", flush=True)
    for line in sys.stdin:
        try:
            serve.session.run(*line.split())
            print("ok", flush=True)
        except (GLib.Error, RuntimeError, ValueError, IndexError) as error:
            print(f"error: {error}", flush=True)


if __name__ == "__main__":
    main()
