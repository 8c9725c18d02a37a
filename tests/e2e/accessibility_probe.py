"""What a screen reader learns from the running program over AT-SPI: the window's role and
name, the boxes' names, where the focus is announced, and the output's text. Prints one line per
finding as `key=value`; the session script checks them.
   accessibility_probe.py start|type TEXT-EXPECTED-IN-OUTPUT"""
import sys
import time

import pyatspi
from gi.repository import GLib

focus_events = []


def on_focus(event):
    if event.type.startswith("object:state-changed:focused") and event.detail1 == 1:
        focus_events.append(event.source.name)


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def find_app():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "zentrovax":
                return app
        time.sleep(0.1)
    raise SystemExit("zentrovax not found on the accessibility bus")


def find(node, predicate):
    if predicate(node):
        return node
    for child in node:
        if child is not None:
            found = find(child, predicate)
            if found is not None:
                return found
    return None


def main():
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    app = find_app()
    frame = app[0]
    print(f"window={frame.getRoleName()}:{frame.name}")
    print(f"description={bool(frame.description)}")
    for role in ("Leet output", "Typing"):
        box = find(frame, lambda n, role=role: n.name == role)
        print(f"box:{role}={box is not None and bool(box.description)}")
    sys.stdout.flush()
    # The session types and clicks now; report what was announced meanwhile.
    pump(float(sys.argv[1]))
    print("focused=" + "|".join(focus_events))
    output = find(frame, lambda n: n.name == "Leet output")
    text = output.queryText()
    print("output=" + text.getText(0, text.characterCount))
    focused = find(frame, lambda n: n.getState().contains(pyatspi.STATE_FOCUSED))
    print(f"focused_now={focused.name if focused else ''}")


main()
