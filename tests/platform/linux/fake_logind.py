#!/usr/bin/python3
"""Test helper: the part of systemd-logind that xss-lock needs, on the bus that
DBUS_SYSTEM_BUS_ADDRESS names (a private one the test starts). xss-lock asks for its session and
tells the session when the screen is locked and unlocked; without an answer it aborts when the
locker it started ends. Prints "ready" once the name is owned, then serves until killed.

Runs with Debian's python3 and python3-gi (GLib's D-Bus bindings)."""

import sys

from gi.repository import Gio, GLib

SESSION = "/org/freedesktop/login1/session/drevanti"
INTERFACES = Gio.DBusNodeInfo.new_for_xml("""
<node>
  <interface name="org.freedesktop.login1.Manager">
    <method name="GetSessionByPID">
      <arg type="u" direction="in"/><arg type="o" direction="out"/>
    </method>
    <method name="GetSession">
      <arg type="s" direction="in"/><arg type="o" direction="out"/>
    </method>
    <signal name="PrepareForSleep"><arg type="b"/></signal>
  </interface>
  <interface name="org.freedesktop.login1.Session">
    <method name="SetLockedHint"><arg type="b" direction="in"/></method>
    <signal name="Lock"/>
    <signal name="Unlock"/>
  </interface>
</node>""").interfaces


def on_call(connection, sender, path, interface, method, parameters, invocation):
    if method in ("GetSessionByPID", "GetSession"):
        invocation.return_value(GLib.Variant("(o)", (SESSION,)))
    else:
        print(f"{method}{parameters.unpack()}", flush=True)
        invocation.return_value(None)


def on_bus(connection, name):
    connection.register_object("/org/freedesktop/login1", INTERFACES[0], on_call, None, None)
    connection.register_object(SESSION, INTERFACES[1], on_call, None, None)


def on_name(connection, name):
    print("ready", flush=True)


Gio.bus_own_name(Gio.BusType.SYSTEM, "org.freedesktop.login1", Gio.BusNameOwnerFlags.NONE,
                 on_bus, on_name, lambda *a: sys.exit("cannot own org.freedesktop.login1"))
GLib.MainLoop().run()
