#!/usr/bin/python3
"""The browser program as a phone's user holds it: Chromium as a 390x844 touch screen with a
phone's user agent, typed into as a phone's keyboard types (each word composed, then committed),
tapped. Firefox's and WebKit's drivers send no composition: there the page gets a keyboard's
composition events as Chromium sends them. A desktop keeps the window as described.
Usage: phone_session_test.py ENGINE SITE_DIR SCREENSHOT_DIR"""
import contextlib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from session import (Keys, axe_findings, chord, click, copied, eventually,  # noqa: E402
                     focused, js, keys, load, only, output, run, selection, set_output)

PHONE_AGENT = ("Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) "
               "Chrome/156.0.0.0 Mobile Safari/537.36")
# What the phone layout promises: no text a phone would zoom into, captions a thumb's length
# away can read, and targets of Apple's and Google's 44 px.
LEAST_TEXT, LEAST_CAPTION, LEAST_TARGET = 16, 14, 44
# The window as described, in CSS pixels: (left, top, width, height), font size.
DESKTOP = {"frmZentrovax": ((None, None, 314, 186), None),
           "txtLeet": ((8, 8, 297, 145), 12),
           "cmdPause": ((72, 160, 49, 17), 11),
           "cmdResume": ((128, 160, 49, 17), 11),
           "cmdHelp": ((184, 160, 49, 17), 11)}
BUTTONS = ["cmdPause", "cmdResume", "cmdHelp"]

RECTS = """return Object.fromEntries(arguments[0].map(id => {
    const e = document.getElementById(id), r = e.getBoundingClientRect();
    return [id, [[r.left, r.top, r.width, r.height], parseFloat(getComputedStyle(e).fontSize)]];
}));"""


@contextlib.contextmanager
def phone(d, height=844):
    """The page loaded afresh on a phone whose keyboard leaves `height` pixels visible: Chromium
    resizes the page for its keyboard, as the page's viewport asks."""
    d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                      {"width": 390, "height": height, "deviceScaleFactor": 3, "mobile": True})
    d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    d.execute_cdp_cmd("Emulation.setUserAgentOverride", {"userAgent": PHONE_AGENT})
    try:
        load(d, d.current_url)
        yield
    finally:
        d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})
        d.execute_cdp_cmd("Emulation.setUserAgentOverride", {"userAgent": ""})


@contextlib.contextmanager
def finger(d):
    """Mouse events become a finger's touches, through Chromium's own touch emulation, which
    makes taps and long presses of them as a phone does."""
    d.execute_cdp_cmd("Emulation.setEmitTouchEventsForMouse",
                      {"enabled": True, "configuration": "mobile"})
    try:
        yield lambda kind, x, y: d.execute_cdp_cmd("Input.emulateTouchFromMouseEvent", {
            "type": kind, "x": int(x), "y": int(y), "button": "left", "clickCount": 1})
    finally:
        d.execute_cdp_cmd("Emulation.setEmitTouchEventsForMouse", {"enabled": False})


def tap(d, name):
    x, y = js(d, "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                 "addEventListener('click', () => { document.body.dataset.tapped = ''; },"
                 "                 {capture: true, once: true});"
                 "return [r.left + r.width / 2, r.top + r.height / 2]", name)
    with finger(d) as touch:
        touch("mousePressed", x, y)
        touch("mouseReleased", x, y)
        # The tap is made of the touches later, and only while they still come from the mouse.
        eventually(lambda: js(d, "return 'tapped' in document.body.dataset"), "no tap")
    js(d, "delete document.body.dataset.tapped")


# A keyboard's composition events on the capture box, as Chromium sends them for an input
# method: start, an update with the whole composition at each change, and at the commit (or the
# cancel, with nothing) an update and the end.
SYNTHETIC_COMPOSITION = """
    const [type, data] = arguments, box = document.getElementById('txtCapture');
    const send = (name) => box.dispatchEvent(new CompositionEvent(name, {data, bubbles: true}));
    if (!('composing' in box.dataset)) { send('compositionstart'); box.dataset.composing = ''; }
    send('compositionupdate');
    if (type === 'end') { send('compositionend'); delete box.dataset.composing; }"""


def compose(d, text):
    """The keyboard's composition as it stands now; empty cancels it."""
    if sys.argv[1] == "chromium":
        d.execute_cdp_cmd("Input.imeSetComposition",
                          {"text": text, "selectionStart": len(text), "selectionEnd": len(text)})
    else:
        js(d, SYNTHETIC_COMPOSITION, "end" if not text else "update", text)


def commit(d, text):
    if sys.argv[1] == "chromium":
        d.execute_cdp_cmd("Input.insertText", {"text": text})
    else:
        js(d, SYNTHETIC_COMPOSITION, "end", text)


def composing(d):
    """What the output shows as still composing after its text, and whether it is marked so.
    An engine may give the style's content as the attribute it shows, not its words."""
    return js(d, """
        const last = [...document.querySelectorAll('#txtLeet .block')].pop();
        const after = getComputedStyle(last, '::after');
        return after.content === 'none' || !last.hasAttribute('data-composing') ? '' :
            [last.getAttribute('data-composing'), after.textDecorationLine === 'underline'];""")


# Kept in the DOM: Firefox runs each script of the driver in a sandbox of its own.
def listen_to_screen_reader(d):
    """From now on, what the live region says, each time it changes."""
    js(d, """document.body.dataset.heard = '[]';
        const region = document.querySelector('[aria-live]');
        new MutationObserver(() => {
            const said = JSON.parse(document.body.dataset.heard);
            said.push(region.textContent.replaceAll('\\u00a0', ''));
            document.body.dataset.heard = JSON.stringify(said);
        }).observe(region, {childList: true, subtree: true, characterData: true});""")


def heard(d):
    return js(d, "const said = JSON.parse(document.body.dataset.heard);"
                 "document.body.dataset.heard = '[]'; return said")


# A word composed key by key, corrected, taken as a suggestion, then a space (a plain key); a
# correction inside the next word; a cancelled one. Each step: what the keyboard does, the
# output's text, what shows composing, what a screen reader hears.
COMPOSING_SESSION = [
    ("compose", "h", "", "||=||", ["||=||"]),
    ("compose", "he", "", "||=||3", ["3"]),
    ("compose", "hel", "", "||=||31", ["1"]),
    ("compose", "helo", "", "||=||310", ["0"]),
    ("commit", "hello", "||=||3110", "", ["10"]),
    ("commit", " ", "||=||3110 ", "", [" "]),
    ("compose", "w", "||=||3110 ", "\\/\\/", ["\\/\\/"]),
    ("compose", "wor", "||=||3110 ", "\\/\\/0|2", ["0|2"]),
    ("compose", "wo", "||=||3110 ", "\\/\\/0", []),
    ("compose", "wi", "||=||3110 ", "\\/\\/!", ["!"]),
    ("commit", "wi", "||=||3110 \\/\\/!", "", []),
    ("compose", "Ab", "||=||3110 \\/\\/!", "8", ["8"]),
    ("compose", "", "||=||3110 \\/\\/!", "", []),
]


def when_a_keyboard_composes_then_each_key_shows_its_piece_at_once(d):
    listen_to_screen_reader(d)
    for step, text, typed, shown, said in COMPOSING_SESSION:
        (compose if step == "compose" else commit)(d, text)
        where = f"after {step} {text!r}"
        assert output(d) == typed, (where, output(d))
        assert composing(d) == ([shown, True] if shown else ""), (where, composing(d))
        assert heard(d) == said, where
    assert js(d, "return document.getElementById('txtCapture').value") == ""
    # Paused, nothing shows composing; the keyboard commits what it composed as its box loses
    # the focus (Chromium), or never does (the events sent here), and either way it is typed once.
    compose(d, "hi")
    click(d, "cmdPause")
    assert composing(d) == "", composing(d)
    assert output(d) in ("||=||3110 \\/\\/!", "||=||3110 \\/\\/!||=||!"), output(d)


def the_keyboards_helpers_are_off_where_they_would_change_what_is_typed(d):
    helpers = """return ['autocapitalize', 'autocorrect', 'spellcheck', 'autocomplete'].map(
        name => document.getElementById(arguments[0]).getAttribute(name))"""
    assert js(d, helpers, "txtCapture") == ["none", "off", "false", "off"]
    assert js(d, helpers, "txtLeet") == ["none", "off", "false", None]


def on_a_desktop_the_window_is_as_described(d):
    rects = js(d, RECTS, list(DESKTOP))
    for name, ((left, top, width, height), size) in DESKTOP.items():
        (x, y, w, h), font = rects[name]
        client_x, client_y = rects["frmZentrovax"][0][:2]
        assert (w, h) == (width, height), (name, rects[name])
        if left is not None:
            assert (x - client_x, y - client_y, font) == (left, top, size), (name, rects[name])
    assert not js(d, "return document.querySelector('.first-touch').checkVisibility()")


def in_view(d, height):
    """Every control whole inside the visible part of a phone's screen, none scrolled or zoomed
    there, and the output above the buttons, in a row in their order."""
    rects = js(d, RECTS, ["txtLeet", *BUTTONS])
    for name, ((x, y, w, h), _) in rects.items():
        assert 0 <= x and x + w <= 390 and 0 <= y and y + h <= height, (name, rects[name])
    output_rect = rects["txtLeet"][0]
    assert output_rect[2] >= 390 - 2 * 10, f"the output fills the width: {output_rect}"
    lefts = [rects[name][0][0] for name in BUTTONS]
    assert lefts == sorted(lefts), lefts
    assert all(rects[name][0][1] >= output_rect[1] + output_rect[3] for name in BUTTONS)
    assert js(d, "return [scrollX, scrollY, visualViewport.scale, "
                 "document.documentElement.scrollWidth]") == [0, 0, 1, 390]
    return rects


@only("chromium")
def on_a_phone_the_window_is_sized_for_a_finger_and_the_eye_and_stays_in_view(d):
    shots = sys.argv[3]
    with phone(d):
        rects = in_view(d, 844)
        assert rects["txtLeet"][1] >= LEAST_TEXT, rects
        assert js(d, "return parseFloat(getComputedStyle(document.getElementById('txtCapture'))"
                     ".fontSize)") >= LEAST_TEXT, "a phone zooms into a box of smaller text"
        for name in BUTTONS:
            (_, _, w, h), font = rects[name]
            assert w >= LEAST_TARGET and h >= LEAST_TARGET and font >= LEAST_CAPTION, rects[name]
        assert axe_findings(d) == [], "the phone layout"
        compose(d, "leet")
        d.save_screenshot(os.path.join(shots, "phone-composing.png"))
        click(d, "cmdHelp")
        sizes = js(d, """const help = document.getElementById('help').getBoundingClientRect();
            const ok = document.querySelector('#help button').getBoundingClientRect();
            const prompt = document.getElementById('helpPrompt');
            return [help.left, help.right, help.top, help.bottom, ok.width, ok.height,
                    parseFloat(getComputedStyle(prompt).fontSize)]""")
        assert sizes[0] >= 0 and sizes[1] <= 390 and sizes[2] >= 0 and sizes[3] <= 844, sizes
        assert min(sizes[4:6]) >= LEAST_TARGET and sizes[6] >= LEAST_TEXT, sizes
        d.save_screenshot(os.path.join(shots, "phone-help.png"))
    with phone(d, height=500):  # the keyboard up
        tap(d, "txtLeet")
        eventually(lambda: focused(d) == "txtCapture", "the tap gave the keys back")
        commit(d, "hi")
        in_view(d, 500)
        d.save_screenshot(os.path.join(shots, "phone-keyboard-up.png"))


@only("chromium")
def on_a_phone_a_line_says_how_to_begin_until_the_first_key_and_taps_work(d):
    with phone(d):
        hint = "return document.querySelector('.first-touch')?.checkVisibility() ?? false"
        assert js(d, hint), "a touch user is told how to begin"
        first_line = js(d, "return [document.querySelector('.first-touch'), "
                           "document.getElementById('txtLeet')].map(e => "
                           "e.getBoundingClientRect().top)")
        assert 0 < first_line[0] - first_line[1] < 16, f"on the output's first line: {first_line}"
        js(d, "document.activeElement.blur()")
        tap(d, "txtLeet")
        eventually(lambda: focused(d) == "txtCapture", "a tap on the output gives the keys back")
        commit(d, "A")  # a key, even one that types nothing
        assert not js(d, hint)
        commit(d, "leet")
        tap(d, "cmdPause")
        eventually(lambda: js(d, "return document.getElementById('txtCapture').disabled"),
                   "paused by a tap")
        tap(d, "txtLeet")
        eventually(lambda: focused(d) == "txtLeet", "paused, the tap puts the keys in the output")
        text = copied(d, lambda: (chord(d, "a"), chord(d, "c")))
        assert text == "1337", repr(text)
        tap(d, "cmdResume")
        commit(d, "a")
        assert output(d) == "13374"
        keys(d, Keys.TAB)  # the keyboard of a tablet


def long_press(d, x, y):
    """A finger held on the screen until Chromium selects what is under it."""
    with finger(d) as touch:
        touch("mousePressed", x, y)
        eventually(lambda: js(d, "return !getSelection().isCollapsed"), "the long press selected")
        touch("mouseReleased", x, y)


def touch_selection_handles(d):
    """Chromium shows the handles of a selection only once a touch of the protocol's own (with
    synthetic pointer actions) reached its touch selection, as on a phone every touch does."""
    d.execute_cdp_cmd("Input.dispatchTouchEvent",
                      {"type": "touchStart", "touchPoints": [{"x": 1, "y": 1}]})
    d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


def drag_end_handle(d, lines, line_height):
    """Drags the handle under the selection's end `lines` lines down."""
    x, y = js(d, "const r = [...getSelection().getRangeAt(0).getClientRects()].pop();"
                 "return [r.right + 4, r.bottom + 12]")
    d.execute_cdp_cmd("Input.dispatchTouchEvent",
                      {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
    for step in range(1, 9):
        d.execute_cdp_cmd("Input.dispatchTouchEvent", {
            "type": "touchMove",
            "touchPoints": [{"x": x, "y": y + lines * line_height * step / 8}]})
    d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


@only("chromium")
def paused_on_a_phone_a_long_press_and_the_handles_select_what_is_copied(d):
    text = "leet speak " * 40000
    with phone(d):
        set_output(d, text)
        tap(d, "cmdPause")
        # Deep in the text, where sections out of view are skipped.
        js(d, "const box = document.getElementById('txtLeet');"
              "box.scrollTop = box.scrollHeight / 2")
        tap(d, "txtLeet")
        touch_selection_handles(d)
        eventually(lambda: focused(d) == "txtLeet", "paused, the tap puts the keys in the output")
        x, y = js(d, "const r = document.getElementById('txtLeet').getBoundingClientRect();"
                     "return [r.left + 40, r.top + r.height / 3]")
        long_press(d, x, y)
        start, end = selection(d)
        assert text[start:end] in ("leet", "speak"), (start, end, text[start:end])
        drag_end_handle(d, 4, js(d, "return Module.lineHeight"))
        eventually(lambda: selection(d)[1] > end + 100, "the handle took the selection on")
        start, end = selection(d)
        d.save_screenshot(os.path.join(sys.argv[3], "phone-selection.png"))
        copied_text = copied(d, lambda: chord(d, "c"))
        assert copied_text == text[start:end], (start, end, len(copied_text))


if __name__ == "__main__":
    sys.exit(run([
        when_a_keyboard_composes_then_each_key_shows_its_piece_at_once,
        the_keyboards_helpers_are_off_where_they_would_change_what_is_typed,
        on_a_desktop_the_window_is_as_described,
        on_a_phone_the_window_is_sized_for_a_finger_and_the_eye_and_stays_in_view,
        on_a_phone_a_line_says_how_to_begin_until_the_first_key_and_taps_work,
        paused_on_a_phone_a_long_press_and_the_handles_select_what_is_copied,
    ], chromium_flags=["--enable-features=SyntheticPointerActions"]))
