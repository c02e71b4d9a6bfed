#!/usr/bin/env python3
"""The desktop portal's RemoteDesktop interface, as the real one answers a program
(Request objects and their Response signals, a session handle, a restore token handed out
at every Start), in front of GNOME's own org.gnome.Mutter.RemoteDesktop: the keys and the
pointer go on to the compositor. Stands in for the consent dialog: a Start whose
SelectDevices brought the token of the last Start is "restored", any other "asked".
Every call is logged as one JSON line to LOG.
Usage: fake_portal.py LOG"""
import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
LOG = open(sys.argv[1], "a", buffering=1)
PATH = "/org/freedesktop/portal/desktop"
RD = "org.freedesktop.portal.RemoteDesktop"
MUTTER = "org.gnome.Mutter.RemoteDesktop"


def log(**entry):
    LOG.write(json.dumps(entry) + "\n")


def plain(value):
    if isinstance(value, dbus.Dictionary):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.String, dbus.ObjectPath)):
        return str(value)
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.UInt32, dbus.Int32, dbus.UInt64, dbus.Int64, dbus.Byte)):
        return int(value)
    return value


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass


class Session(dbus.service.Object):
    def __init__(self, path, mutter):
        super().__init__(bus, path)
        self.mutter = mutter

    @dbus.service.method("org.freedesktop.portal.Session")
    def Close(self):
        log(call="Close")
        self.mutter.Stop(ignore_reply=True)

    @dbus.service.signal("org.freedesktop.portal.Session")
    def Closed(self):
        pass


class Portal(dbus.service.Object):
    def __init__(self):
        super().__init__(bus, PATH)
        self.sessions = {}
        self.selected = {}
        self.issued = None
        self.count = 0

    def respond(self, sender, options, results):
        token = str(options.get("handle_token", "t%d" % self.count))
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), token)
        request = Request(bus, path)
        GLib.idle_add(lambda: (request.Response(dbus.UInt32(0), results), False)[1])
        return dbus.ObjectPath(path)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return {"AvailableDeviceTypes": dbus.UInt32(3), "version": dbus.UInt32(2)}[name]

    @dbus.service.method(RD, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender):
        self.count += 1
        log(call="CreateSession", options=plain(options))
        mutter = bus.get_object(MUTTER, "/org/gnome/Mutter/RemoteDesktop")
        mpath = mutter.CreateSession(dbus_interface=MUTTER)
        msession = dbus.Interface(bus.get_object(MUTTER, mpath), MUTTER + ".Session")
        handle = "%s/session/%s/%s" % (PATH, sender[1:].replace(".", "_"),
                                       options.get("session_handle_token", "s%d" % self.count))
        self.sessions[handle] = Session(handle, msession)
        return self.respond(sender, options, {"session_handle": handle})

    @dbus.service.method(RD, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def SelectDevices(self, session, options, sender):
        log(call="SelectDevices", options=plain(options))
        self.selected[str(session)] = plain(options)
        return self.respond(sender, options, {})

    @dbus.service.method(RD, in_signature="osa{sv}", out_signature="o", sender_keyword="sender")
    def Start(self, session, parent, options, sender):
        chosen = self.selected.get(str(session), {})
        restored = self.issued is not None and chosen.get("restore_token") == self.issued
        self.sessions[str(session)].mutter.Start()
        self.issued = "vexil-test-token-%d" % self.count
        log(call="Start", consent="restored" if restored else "asked", token=self.issued)
        return self.respond(sender, options, {"devices": dbus.UInt32(3),
                                              "restore_token": self.issued})

    def mutter(self, session):
        return self.sessions[str(session)].mutter

    @dbus.service.method(RD, in_signature="oa{sv}iu")
    def NotifyKeyboardKeycode(self, session, options, keycode, state):
        self.mutter(session).NotifyKeyboardKeycode(dbus.UInt32(keycode), bool(state),
                                                   ignore_reply=True)

    @dbus.service.method(RD, in_signature="oa{sv}dd")
    def NotifyPointerMotion(self, session, options, dx, dy):
        self.mutter(session).NotifyPointerMotionRelative(dx, dy, ignore_reply=True)

    @dbus.service.method(RD, in_signature="oa{sv}iu")
    def NotifyPointerButton(self, session, options, button, state):
        self.mutter(session).NotifyPointerButton(button, bool(state), ignore_reply=True)


portal = Portal()
name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
print("ready", flush=True)
GLib.MainLoop().run()
