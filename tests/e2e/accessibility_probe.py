"""What a screen reader learns from the running program over AT-SPI, listening as Orca would:
the window's role and name, the boxes' names, where the focus is announced, the text changes
each box reports and the output's text. Runs until DONE-FILE exists, then prints one finding
per line as key=value for the session script to check.
   accessibility_probe.py DONE-FILE"""
import os
import sys
import time

import pyatspi
from gi.repository import GLib

focused = []
inserted = {"Leet output": [], "Typing": []}
deleted = {"Leet output": 0, "Typing": 0}
carets = []


def on_event(event):
    name = event.source.name
    if event.type.startswith("object:state-changed:focused"):
        if event.detail1 == 1:
            focused.append(name)
    elif event.type.startswith("object:text-changed:insert") and name in inserted:
        inserted[name].append((event.detail1, event.any_data))
    elif event.type.startswith("object:text-changed:delete") and name in deleted:
        deleted[name] += 1
    elif event.type.startswith("object:text-caret-moved") and name == "Leet output":
        carets.append(event.detail1)


def pump_until(path, limit):
    context = GLib.MainContext.default()
    end = time.monotonic() + limit
    while time.monotonic() < end and not os.path.exists(path):
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)
    while context.pending():
        context.iteration(False)


def find_app():
    for _ in range(200):
        for app in pyatspi.Registry.getDesktop(0):
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
    for kind in ("object:state-changed:focused", "object:text-changed",
                 "object:text-caret-moved"):
        pyatspi.Registry.registerEventListener(on_event, kind)
    print("listening", flush=True)
    app = find_app()
    frame = app[0]
    print(f"window={frame.getRoleName()}:{frame.name}")
    print(f"description={bool(frame.description)}")
    for role in ("Leet output", "Typing"):
        box = find(frame, lambda n, role=role: n.name == role)
        print(f"box:{role}={box is not None and bool(box.description)}")
    sys.stdout.flush()
    pump_until(sys.argv[1], 180)

    print("focused=" + "|".join(sorted(set(focused))))
    output = find(frame, lambda n: n.name == "Leet output")
    text = output.queryText()
    print("output=" + text.getText(0, -1))
    print(f"characters={text.characterCount}")
    # Every insert into the output should land at its visible end, one per piece or edit.
    running = ""
    at_end = True
    for offset, piece in inserted["Leet output"]:
        at_end = at_end and offset == len(running)
        running += piece
    print("output_inserted=" + running)
    print(f"output_inserts_at_end={at_end}")
    print(f"output_inserts={len(inserted['Leet output'])}")
    print(f"output_deletes={deleted['Leet output']}")
    print(f"max_caret={max(carets) if carets else -1}")
    print("capture_inserted=" + "".join(piece for _, piece in inserted["Typing"]))
    now = find(frame, lambda n: n.getState().contains(pyatspi.STATE_FOCUSED))
    print(f"focused_now={now.name if now else ''}")


main()
