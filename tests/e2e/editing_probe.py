"""A screen reader that follows the output box's text through its events alone, as a braille
display or an assistive tool that never reads the whole text again does: each insertion and
deletion applied to the text it holds, each deletion checked against what it says it took away.
Runs until DONE-FILE exists, then prints as key=value the text it rebuilt, the box's accessible
text, and the first deletion that named text that was not there.
   editing_probe.py DONE-FILE"""
import os
import sys
import time

import pyatspi
from gi.repository import GLib

rebuilt = []
misheard = []


def on_event(event):
    if event.source is None or event.source.name != "Leet output":
        return
    text = "".join(rebuilt)
    offset, length, data = event.detail1, event.detail2, event.any_data or ""
    if event.type.startswith("object:text-changed:insert"):
        text = text[:offset] + data + text[offset:]
    elif event.type.startswith("object:text-changed:delete"):
        if text[offset:offset + length] != data and not misheard:
            misheard.append(f"{data[:20]!r} at {offset} where the text holds "
                            f"{text[offset:offset + min(length, 20)]!r}")
        text = text[:offset] + text[offset + length:]
    else:
        return
    rebuilt[:] = [text]


def main():
    pyatspi.Registry.registerEventListener(on_event, "object:text-changed")
    print("listening", flush=True)
    context = GLib.MainContext.default()
    end = time.monotonic() + 240
    while time.monotonic() < end and not os.path.exists(sys.argv[1]):
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)
    app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "zentrovax")
    stack = [app]
    output = None
    while stack and output is None:
        node = stack.pop()
        if node is not None and node.name == "Leet output":
            output = node
        elif node is not None:
            stack.extend(node)
    # The last events may still be on their way: until they have come, or long past it.
    end = time.monotonic() + 5
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        if "".join(rebuilt) == output.queryText().getText(0, -1):
            break
        time.sleep(0.05)
    print("rebuilt=" + "".join(rebuilt).replace("\n", "\\n"))
    print("accessible=" + output.queryText().getText(0, -1).replace("\n", "\\n"))
    print("misheard=" + (misheard[0] if misheard else ""))


main()
