#!/usr/bin/python3
"""The rest of a GNOME session beside a running GNOME Shell, on the session bus at ADDRESS
(Debian's python3 with python3-gi): stands in for the NAMEs given, org.gnome.SessionManager (its
InhibitedActions, which mutter's idle monitor follows) and org.gnome.ScreenSaver (GNOME's own
screen saver, off at first), and drives the shell through its own interfaces. Prints "ready", then
answers each line with "ok", or "error: ..." when the shell refuses:
  warm-up              mutter makes its virtual keyboard and pointer on their first use, and a
                       client already running misses that first event: this makes both
  key CODE, motion DX DY   an evdev key pressed and released, the pointer moved (RemoteDesktop)
  shot PNG [cursor]    the whole stage (org.gnome.Shell.Screenshot answers only the owner of
                       org.gnome.Screenshot, as this program is), the pointer drawn in or not
  inhibit FLAGS        the session manager's InhibitedActions (8: a playing video holds idleness)
  active 1|0           GNOME's own screen saver comes on, or goes off
  scales S...          the monitors side by side in their order, each at its scale, as the display
                       settings apply them (org.gnome.Mutter.DisplayConfig, for this session);
                       what mutter offers each is written on standard error

usage: gnome_session.py ADDRESS NAME..."""

import sys
import threading

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

REMOTE = "org.gnome.Mutter.RemoteDesktop"
DISPLAY_CONFIG = "org.gnome.Mutter.DisplayConfig"
MANAGER, SCREEN_SAVER = "org.gnome.SessionManager", "org.gnome.ScreenSaver"
INTERFACES = {
    MANAGER: ("/org/gnome/SessionManager",
              '<property name="InhibitedActions" type="u" access="read"/>'),
    SCREEN_SAVER: ("/org/gnome/ScreenSaver",
                   '<method name="GetActive"><arg type="b" direction="out"/></method>'
                   '<signal name="ActiveChanged"><arg type="b"/></signal>'),
}


class Session:
    def __init__(self, address, names):
        self.bus = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
            Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        self.remote, self.inhibited, self.on = None, 0, False
        for name, (path, members) in INTERFACES.items():
            xml = f'<node><interface name="{name}">{members}</interface></node>'
            self.bus.register_object(
                path, Gio.DBusNodeInfo.new_for_xml(xml).interfaces[0],
                lambda *call: call[-1].return_value(GLib.Variant("(b)", (self.on,))),
                lambda *_: GLib.Variant("u", self.inhibited), None)
        for name in ["org.gnome.Screenshot", *names]:
            if self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "RequestName",
                         GLib.Variant("(su)", (name, 4)), "(u)")[0] != 1:
                raise RuntimeError(f"{name} is taken on the bus")

    def call(self, name, path, method, arguments=None, reply=None, interface=None):
        return self.bus.call_sync(name, path, interface or name, method, arguments,
                                  GLib.VariantType(reply) if reply else None,
                                  Gio.DBusCallFlags.NONE, 10000, None).unpack()

    def remote_desktop(self, method, arguments):
        if self.remote is None:
            self.remote = self.call(REMOTE, "/org/gnome/Mutter/RemoteDesktop", "CreateSession",
                                    None, "(o)")[0]
            self.call(REMOTE, self.remote, "Start", interface=REMOTE + ".Session")
        self.call(REMOTE, self.remote, method, arguments, interface=REMOTE + ".Session")

    def warm_up(self):
        self.key(42)  # left shift: types nothing
        self.motion(0, 0)

    def key(self, code):
        for pressed in (True, False):
            self.remote_desktop("NotifyKeyboardKeycode",
                                GLib.Variant("(ub)", (int(code), pressed)))

    def motion(self, dx, dy):
        self.remote_desktop("NotifyPointerMotionRelative",
                            GLib.Variant("(dd)", (float(dx), float(dy))))

    def shot(self, png, *cursor):
        arguments = GLib.Variant("(bbs)", (cursor == ("cursor",), False, png))
        done, _ = self.call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                            "Screenshot", arguments, "(bs)")
        if not done:
            raise RuntimeError("the shell took no screenshot")

    def inhibit(self, flags):
        self.inhibited = int(flags)
        self.emit(MANAGER, "org.freedesktop.DBus.Properties", "PropertiesChanged", GLib.Variant(
            "(sa{sv}as)", (MANAGER, {"InhibitedActions": GLib.Variant("u", self.inhibited)}, [])))

    def active(self, on):
        self.on = on == "1"
        self.emit(SCREEN_SAVER, SCREEN_SAVER, "ActiveChanged", GLib.Variant("(b)", (self.on,)))

    def scales(self, *scales):
        path = "/org/gnome/Mutter/DisplayConfig"
        serial, monitors, _, properties = self.call(
            DISPLAY_CONFIG, path, "GetCurrentState", None,
            "(ua((ssss)a(siiddada{sv})a{sv})a(iiduba(ssss)a{sv})a{sv})")
        # Logical monitors are placed in logical pixels, or in the devices' (mutter's default).
        physical = properties.get("layout-mode") == 2
        placed, x = [], 0
        for ((connector, *_), modes, _), scale in zip(monitors, scales):
            mode, width, height, _, _, offered, _ = next(m for m in modes if m[6].get("is-current"))
            print(f"{connector}: {width}x{height}, scales offered {offered}, layout in "
                  f"{'device' if physical else 'logical'} pixels", file=sys.stderr, flush=True)
            placed.append((x, 0, float(scale), 0, x == 0, [(connector, mode, {})]))
            x += width if physical else round(width / float(scale))
        self.call(DISPLAY_CONFIG, path, "ApplyMonitorsConfig",
                  GLib.Variant("(uua(iiduba(ssa{sv}))a{sv})", (serial, 1, placed, {})))

    def emit(self, name, interface, signal, arguments):
        self.bus.emit_signal(None, INTERFACES[name][0], interface, signal, arguments)
        self.bus.flush_sync(None)


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
        word, *rest = line.split()
        try:
            getattr(serve.session, word.replace("-", "_"))(*rest)
            print("ok", flush=True)
        except (GLib.Error, RuntimeError, AttributeError, TypeError, ValueError) as error:
            print(f"error: {error}", flush=True)


if __name__ == "__main__":
    main()
