#!/usr/bin/python3
"""Stand-ins for the services of a desktop session that the idle watcher's tests need besides the
compositor, on the session bus at ADDRESS (Debian's python3 with python3-gi):
  --session-manager       org.gnome.SessionManager, enough for mutter's idle monitor: Inhibit,
                          Uninhibit, IsInhibited, Setenv, and the property InhibitedActions (the
                          OR of the live inhibitors' flags; 8 = idle) with PropertiesChanged; an
                          inhibitor also goes when its caller leaves the bus, as in gnome-session
  --screen-saver NAME     the desktop's screen saver (org.gnome.ScreenSaver,
                          org.freedesktop.ScreenSaver), off at first: a line "active" read turns
                          it on, as when the desktop's fade or lock comes on, "inactive" off
                          again, each with ActiveChanged; GetActive tells
Prints "ready" once it owns every name, answers each line with "ok", and ends at the end of its
input.

usage: fake_desktop_services.py ADDRESS [--session-manager] [--screen-saver NAME]..."""

import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

SESSION_MANAGER = """<node><interface name="org.gnome.SessionManager">
  <method name="Setenv"><arg type="s" direction="in"/><arg type="s" direction="in"/></method>
  <method name="Inhibit"><arg type="s" direction="in"/><arg type="u" direction="in"/>
    <arg type="s" direction="in"/><arg type="u" direction="in"/>
    <arg type="u" direction="out"/></method>
  <method name="Uninhibit"><arg type="u" direction="in"/></method>
  <method name="IsInhibited"><arg type="u" direction="in"/><arg type="b" direction="out"/></method>
  <property name="InhibitedActions" type="u" access="read"/>
</interface></node>"""
SCREEN_SAVER = """<node><interface name="{name}">
  <method name="GetActive"><arg type="b" direction="out"/></method>
  <signal name="ActiveChanged"><arg type="b"/></signal>
</interface></node>"""
SCREEN_SAVER_PATHS = {"org.gnome.ScreenSaver": "/org/gnome/ScreenSaver",
                      "org.freedesktop.ScreenSaver": "/ScreenSaver"}
MANAGER_PATH = "/org/gnome/SessionManager"


class SessionManager:
    def __init__(self, bus):
        self.bus, self.inhibitors, self.next_cookie = bus, {}, 1
        info = Gio.DBusNodeInfo.new_for_xml(SESSION_MANAGER).interfaces[0]
        bus.register_object(MANAGER_PATH, info, self.method,
                            lambda *_: GLib.Variant("u", self.actions()), None)
        bus.signal_subscribe("org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
                             "/org/freedesktop/DBus", None, Gio.DBusSignalFlags.NONE,
                             self.owner_changed)

    def actions(self):
        flags = 0
        for _, f in self.inhibitors.values():
            flags |= f
        return flags

    def changed(self):
        self.bus.emit_signal(None, MANAGER_PATH, "org.freedesktop.DBus.Properties",
                             "PropertiesChanged",
                             GLib.Variant("(sa{sv}as)", ("org.gnome.SessionManager", {
                                 "InhibitedActions": GLib.Variant("u", self.actions())}, [])))

    def method(self, bus, sender, path, interface, name, arguments, invocation):
        if name == "Inhibit":
            cookie, self.next_cookie = self.next_cookie, self.next_cookie + 1
            self.inhibitors[cookie] = (sender, arguments.unpack()[3])
            invocation.return_value(GLib.Variant("(u)", (cookie,)))
            self.changed()
        elif name == "Uninhibit":
            self.inhibitors.pop(arguments.unpack()[0], None)
            invocation.return_value(None)
            self.changed()
        elif name == "IsInhibited":
            invocation.return_value(
                GLib.Variant("(b)", (bool(self.actions() & arguments.unpack()[0]),)))
        else:
            invocation.return_value(None)

    def owner_changed(self, bus, sender, path, interface, signal, parameters):
        name, _, new_owner = parameters.unpack()
        gone = [c for c, (s, _) in self.inhibitors.items() if s == name and not new_owner]
        for cookie in gone:
            del self.inhibitors[cookie]
        if gone:
            self.changed()


def main():
    address, options = sys.argv[1], sys.argv[2:]
    bus = Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
        Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
    names, screen_savers, active = [], [], [False]
    if "--session-manager" in options:
        SessionManager(bus)
        names.append("org.gnome.SessionManager")
    for i, option in enumerate(options):
        if option == "--screen-saver":
            name = options[i + 1]
            info = Gio.DBusNodeInfo.new_for_xml(SCREEN_SAVER.format(name=name)).interfaces[0]
            bus.register_object(SCREEN_SAVER_PATHS[name], info,
                                lambda *a: a[-1].return_value(GLib.Variant("(b)", (active[0],))),
                                None, None)
            names.append(name)
            screen_savers.append(name)
    for name in names:
        reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "RequestName",
                              GLib.Variant("(su)", (name, 4)), GLib.VariantType("(u)"),
                              Gio.DBusCallFlags.NONE, 5000, None)
        if reply.unpack()[0] != 1:
            sys.exit(f"{name} is taken on the bus")
    print("ready", flush=True)
    loop = GLib.MainLoop()

    def line(channel, condition):
        text = sys.stdin.readline()
        if not text:
            loop.quit()
            return False
        if text.strip() in ("active", "inactive"):
            active[0] = text.strip() == "active"
            for name in screen_savers:
                bus.emit_signal(None, SCREEN_SAVER_PATHS[name], name, "ActiveChanged",
                                GLib.Variant("(b)", (active[0],)))
            bus.flush_sync(None)
        print("ok", flush=True)
        return True

    GLib.io_add_watch(sys.stdin.fileno(), GLib.IO_IN | GLib.IO_HUP, line)
    loop.run()


if __name__ == "__main__":
    main()
