#!/usr/bin/env python3
"""systemd's org.freedesktop.locale1 with one keyboard layout, on the bus in
DBUS_SYSTEM_BUS_ADDRESS: GNOME's compositor without its shell takes its keyboard layout
from there (X11Layout), so a private bus gives a headless one any layout.
Usage: fake_locale1.py LAYOUT"""
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SystemBus()
LAYOUT = sys.argv[1]


class Locale(dbus.service.Object):
    def props(self):
        return {"Locale": dbus.Array(["LANG=C.UTF-8"], signature="s"), "X11Layout": LAYOUT,
                "X11Model": "pc105", "X11Variant": "", "X11Options": "",
                "VConsoleKeymap": "", "VConsoleKeymapToggle": ""}

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.props()[name]

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.props()


Locale(bus, "/org/freedesktop/locale1")
name = dbus.service.BusName("org.freedesktop.locale1", bus)
print("ready", flush=True)
GLib.MainLoop().run()
