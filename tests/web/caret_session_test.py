#!/usr/bin/python3
"""Where the caret and the selection land in the paused output, at any length: wherever a key
puts them, as in a plain <textarea> holding the same text in the same engine (the mouse's are
mouse_session_test.py's).
Usage: caret_session_test.py ENGINE SITE_DIR SCREENSHOT_DIR (ZENTROVAX_SEED=N for another
random session than the default one)"""
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from session import (Keys, block_starts, chord, click, clipboard, copied, js, keys,  # noqa: E402
                     load, only, output, paste, place_caret, run, selection, set_clipboard,
                     set_output, shifted)

WORDS = ["leet ", "speak ", "1337 ", "5|O34|< ", "||=||3110 ", "\\/\\/0|21|)) ", "mmmmmmmm "]


def text_of(size, rng, newlines=True):
    out, n = [], 0
    while n < size:
        word = rng.choice(WORDS) if not newlines or rng.random() > 0.01 else "\n"
        out.append(word)
        n += len(word)
    return "".join(out)[:size]


def paused_with(d, text):
    set_output(d, text)
    click(d, "cmdPause")


# A plain <textarea> in place of the page, where the output was, as wide and high, in its font.
TWIN = """
    const box = document.getElementById('txtLeet');
    const style = getComputedStyle(box);
    const twin = document.createElement('textarea');
    // Where the output lay, to the fraction of a pixel, which a caret's column may depend on.
    const place = box.getBoundingClientRect();
    twin.style.position = 'fixed';
    twin.style.margin = '0';
    twin.style.left = place.left + 'px';
    twin.style.top = place.top + 'px';
    for (const p of ['font-family', 'font-size', 'line-height', 'padding', 'border', 'width',
                     'height', 'box-sizing', 'white-space', 'overflow-wrap']) {
        twin.style.setProperty(p, style.getPropertyValue(p));
    }
    twin.style.resize = 'none';
    document.body.replaceChildren(twin);
    twin.value = arguments[0];
    twin.focus();
    twin.setSelectionRange(arguments[1], arguments[1]);"""
TWIN_STATE = """
    const t = document.querySelector('textarea');
    const [s, e] = [t.selectionStart, t.selectionEnd];
    return [t.value, t.selectionDirection === 'backward' ? [e, s] : [s, e]];"""


def steps(rng, count):
    """A person's keys: moves of every kind, each also with Shift, and edits."""
    moves = [Keys.LEFT, Keys.RIGHT, Keys.UP, Keys.DOWN, Keys.HOME, Keys.END, Keys.PAGE_UP,
             Keys.PAGE_DOWN]
    chosen = []
    for _ in range(count):
        kind = rng.choice(["move", "move", "move", "shift", "ctrl", "type", "backspace",
                           "delete", "enter", "cut_paste"])
        if kind in ("move", "shift"):
            chosen.append((kind, rng.choice(moves), rng.randint(1, 4)))
        elif kind == "ctrl":
            chosen.append((kind, rng.choice([Keys.HOME, Keys.END, Keys.LEFT, Keys.RIGHT]),
                           rng.random() < 0.5))
        else:
            chosen.append((kind, rng.choice(["x", "wide words ", "q q"]), rng.randint(1, 3)))
    return chosen


def press(d, step):
    kind, key, count = step
    if kind == "move":
        keys(d, *[key] * count)
    elif kind == "shift":
        shifted(d, *[key] * count)
    elif kind == "ctrl":
        chord(d, key, shift=count)
    elif kind == "type":
        keys(d, key)
    elif kind == "backspace":
        keys(d, *[Keys.BACKSPACE] * count)
    elif kind == "delete":
        keys(d, *[Keys.DELETE] * count)
    elif kind == "enter":
        keys(d, Keys.ENTER)
    elif kind == "paste":
        set_clipboard(key)
        paste(d)
    else:  # cut what is selected, if anything, and paste it back twice
        if js(d, "const box = document.activeElement; return box.tagName === 'TEXTAREA' ? "
                 "box.selectionEnd > box.selectionStart : !getSelection().isCollapsed"):
            copied(d, lambda: chord(d, "x"))  # once the clipboard has it, as a person waits
        paste(d)
        paste(d)


def when_keys_move_and_edit_then_the_caret_lands_as_in_a_textarea(d):
    seed = int(os.environ.get("ZENTROVAX_SEED", "22"))
    print(f"  {sys.argv[1]}: seed {seed} (ZENTROVAX_SEED={seed} replays it)", flush=True)
    rng = random.Random(seed)
    text = text_of(100_000, rng)
    start = rng.randrange(len(text))
    chosen = steps(rng, 60)

    set_clipboard("from elsewhere")
    paused_with(d, text)
    as_in_a_textarea(d, text, start, chosen, f"seed {seed}")


def as_in_a_textarea(d, text, start, chosen, what):
    """Presses the keys `chosen` in the output, paused with `text`, from `start`, then in a
    textarea holding the same text, and compares the text and the selection after each."""
    place_caret(d, start)
    ours = []
    for step in chosen:
        press(d, step)
        ours.append((output(d), selection(d)))
    url = d.current_url
    set_clipboard("from elsewhere")
    js(d, TWIN, text, start)
    for number, step in enumerate(chosen):
        press(d, step)
        plain, plain_selection = js(d, TWIN_STATE)
        got, got_selection = ours[number]
        if got != plain or got_selection != plain_selection:
            first = next((i for i, (a, b) in enumerate(zip(got, plain)) if a != b),
                         min(len(got), len(plain)))
            raise AssertionError(
                f"{what}, step {number} {step[:2]!r}: the output's selection "
                f"{got_selection}, the textarea's {plain_selection}"
                + ("" if got == plain else f"; texts differ from {first}: "
                   f"{got[first - 10:first + 30]!r} / {plain[first - 10:first + 30]!r}"))
    d.get(url)


def when_left_and_right_cross_a_cut_then_the_caret_stops_as_in_a_textarea(d):
    """A cut is where a line wraps: a caret that stops twice there in the engine's text box
    (Firefox's) stops twice there too, one that stops once (Chromium's, WebKit's) once."""
    for text in ("leet speak " * 2000, "|<" * 10000):
        load(d, d.current_url)
        paused_with(d, text)
        start = block_starts(d)[1] + 2
        chosen = [("move", Keys.LEFT, 1)] * 4 + [("move", Keys.RIGHT, 1)] * 4 + [
            ("shift", Keys.LEFT, 3), ("shift", Keys.RIGHT, 1), ("type", "x", 1)]
        as_in_a_textarea(d, text, start, chosen, f"crossing a cut in {text[:6]!r}...")


def when_the_box_places_the_caret_then_up_and_down_aim_from_there(d):
    """After the box put the caret somewhere itself (Ctrl+Home, Ctrl+End, an edit), Up and Down
    go on from its new column, as in a textarea, not from the column of a move before."""
    text = text_of(40_000, random.Random(1), newlines=False)
    for chosen in ([("move", Keys.UP, 1), ("ctrl", Keys.HOME, False), ("move", Keys.DOWN, 1)],
                   [("move", Keys.UP, 1), ("backspace", "", 3), ("move", Keys.DOWN, 1)],
                   [("move", Keys.DOWN, 1), ("ctrl", Keys.END, False), ("move", Keys.UP, 1)]):
        load(d, d.current_url)
        paused_with(d, text)
        as_in_a_textarea(d, text, 20_030, chosen, f"{chosen[1][:2]!r} between Up and Down")


def when_a_move_by_lines_lands_on_a_cut_then_the_caret_shows_as_in_a_textarea(d):
    """Where a move by lines or pages lands on a cut, a text box shows the caret where it shows
    it at any wrap: at the end of the line above (Chromium's after PageUp, Chromium's and
    WebKit's after Shift+Down and Shift+PageDown) or at the start of the next. End tells which."""
    text = text_of(20_000, random.Random(5), newlines=False)
    paused_with(d, text)
    cut = block_starts(d)[2]

    def line_start(*moves):
        place_caret(d, cut + 2)
        keys(d, *moves, Keys.HOME)
        return selection(d)[1]

    home = ("move", Keys.HOME, 1)
    starts = {Keys.DOWN: cut - 3, Keys.UP: line_start(Keys.DOWN) + 3,
              Keys.PAGE_DOWN: line_start(Keys.PAGE_UP) + 3,
              Keys.PAGE_UP: line_start(Keys.PAGE_DOWN) + 3}
    for key, start in starts.items():
        for kind in ("move", "shift"):
            load(d, d.current_url)
            paused_with(d, text)
            as_in_a_textarea(d, text, start, [home, (kind, key, 1), (kind, Keys.END, 1)],
                             f"{kind} {key!r} onto the cut at {cut}")


# Where the second line of the output's first block starts.
SECOND_LINE = """
    const text = document.querySelector('#txtLeet .block').firstChild;
    const range = document.createRange();
    const top = (at) => {
        range.setStart(text, at);
        range.setEnd(text, at + 1);
        return [...range.getClientRects()].reduce((w, b) => (b.width > w.width ? b : w)).top;
    };
    let at = 1;
    while (top(at) < top(0) + 7) ++at;
    return at;"""


def when_typing_ends_where_a_line_wraps_then_the_caret_shows_as_in_a_textarea(d):
    """At the end of the line typed on, or at the start of the next: engines differ, from typing
    to pasting too, and Home and Shift+Down tell which."""
    for text in ("aaaa " * 200, "m" * 1000, "|<" * 500):
        for how in ("type", "paste"):
            load(d, d.current_url)
            paused_with(d, text)
            wrap = js(d, SECOND_LINE)
            chosen = [("backspace", "", 2), (how, text[wrap - 2:wrap], 1), ("move", Keys.HOME, 1),
                      ("move", Keys.END, 1), ("shift", Keys.DOWN, 1)]
            as_in_a_textarea(d, text, wrap, chosen, f"{how} up to the wrap in {text[:6]!r}...")


def when_blocks_end_in_newlines_then_the_caret_crosses_them_as_in_a_textarea(d):
    # Paragraphs of a line or less: every cut follows a newline.
    text = "".join(f"line {i} of the list{' with more words' * (i % 4)}\n" for i in range(600))
    paused_with(d, text)
    start = block_starts(d)[3] + 4
    chosen = [("move", Keys.UP, 1), ("move", Keys.DOWN, 1), ("move", Keys.UP, 2),
              ("move", Keys.DOWN, 3), ("move", Keys.PAGE_UP, 2), ("move", Keys.PAGE_DOWN, 3),
              ("shift", Keys.UP, 3), ("shift", Keys.PAGE_DOWN, 1), ("move", Keys.HOME, 1),
              ("ctrl", Keys.LEFT, True), ("ctrl", Keys.LEFT, False), ("ctrl", Keys.RIGHT, False),
              ("move", Keys.HOME, 1), ("move", Keys.LEFT, 2), ("move", Keys.RIGHT, 3),
              ("shift", Keys.LEFT, 2),
              ("backspace", "", 1), ("type", "q q", 1), ("move", Keys.UP, 1),
              # Ctrl+Left from the start of a paragraph, and of an empty one.
              ("enter", "", 1), ("enter", "", 1), ("ctrl", Keys.LEFT, True),
              ("move", Keys.UP, 1), ("ctrl", Keys.LEFT, False)]
    as_in_a_textarea(d, text, start, chosen, "cuts after newlines")
    # What is copied across such a cut holds its newline, once.
    load(d, d.current_url)
    paused_with(d, text)
    cut = block_starts(d)[3]
    place_caret(d, cut - 4)
    shifted(d, *[Keys.RIGHT] * 8)
    assert copied(d, lambda: chord(d, "c")) == text[cut - 4:cut + 4], clipboard()
    chord(d, "a")
    assert copied(d, lambda: chord(d, "c")) == text, "select all and copy"


def when_ctrl_end_follows_ctrl_home_then_it_lands_at_the_very_end(d):
    rng = random.Random(22)
    for size in (4_000, 40_000, 4 << 20):
        text = text_of(size, rng, newlines=False)
        load(d, d.current_url)
        paused_with(d, text)
        place_caret(d, 0)
        chord(d, Keys.END)
        assert selection(d) == [len(text)] * 2, f"{size}: Ctrl+End to {selection(d)}"
        chord(d, Keys.HOME)
        assert selection(d) == [0, 0], f"{size}: Ctrl+Home to {selection(d)}"
        got = copied(d, lambda: (chord(d, Keys.END, shift=True), chord(d, "c")))
        assert got == text, f"{size}: Ctrl+Shift+End copied {len(got)} of {len(text)}"
        chord(d, Keys.END)
        keys(d, "Q")
        assert output(d) == text + "Q", f"{size}: typed after Ctrl+End, not at the end"


def when_a_long_paste_ends_the_text_then_typing_goes_on_after_it(d):
    paused_with(d, "leet ")
    place_caret(d, 5)
    for size in (5_000, 10_000):
        pasted = text_of(size, random.Random(size), newlines=False)
        set_clipboard(pasted)
        chord(d, Keys.END)
        paste(d)
        keys(d, "Q")
        assert output(d).endswith(pasted + "Q"), f"after a paste of {size}: {selection(d)}"


# Where the text's end shows, in pixels below the box's content: 0 or less when in view.
END_BELOW_VIEW = """
    const box = document.getElementById('txtLeet');
    const range = document.createRange();
    range.selectNodeContents(box);
    range.collapse(false);
    const end = [...range.getClientRects()].pop() || range.getBoundingClientRect();
    return end.bottom - (box.getBoundingClientRect().bottom - box.clientTop);"""


def when_the_user_scrolled_back_then_typing_keeps_their_place(d):
    set_output(d, text_of(40_000, random.Random(3)))
    box = "document.getElementById('txtLeet')"
    js(d, f"{box}.scrollTop = {box}.scrollHeight")
    keys(d, "a")
    assert js(d, END_BELOW_VIEW) <= 0, "at the end, the view follows the typing"
    js(d, f"{box}.scrollTop = 3000")
    # Where the view settles once the blocks that came into it are laid out.
    frames = "requestAnimationFrame(() => requestAnimationFrame(arguments[0]))"
    before = None
    for _ in range(10):
        d.execute_async_script(frames)
        now = js(d, f"return {box}.scrollTop")
        if now == before:
            break
        before = now
    keys(d, "leet")
    place = js(d, f"return [{box}.scrollTop, {box}.scrollHeight - {box}.clientHeight]")
    assert abs(place[0] - before) < 15 and place[0] < place[1] - 100, \
        f"typing moved the view from {before} to {place}"
    # Back at the end, as a person scrolls there: until what shows is the end.
    for _ in range(10):
        js(d, f"{box}.scrollTop = {box}.scrollHeight")
        d.execute_async_script("requestAnimationFrame(() => requestAnimationFrame(arguments[0]))")
        if js(d, END_BELOW_VIEW) <= 0:
            break
    keys(d, "speak " * 20)
    below = js(d, END_BELOW_VIEW)
    assert below <= 0, f"at the end, the view follows the typing: the end {below} px below it"


# Runs of keys typed after "hello" in "hello world", which an engine's <textarea> takes back in
# steps of its own choosing (see web/edit_history.h).
BS, DEL = Keys.BACKSPACE, Keys.DELETE
UNDO_RUNS = [["ab cd", Keys.ENTER, "ef"], [BS] * 3, [DEL] * 3, ["abc", BS, BS],
             ["ab", Keys.LEFT, "c"],
             [BS, DEL], [DEL, DEL, BS, BS], ["ab", BS, "c"], ["ab", DEL], [DEL, "c"], [BS, "c", BS],
             [BS, "c", DEL], [DEL, BS, "c"]]


# WebKitGTK's MiniBrowser takes no undo in a textarea from WebDriver's keys, so there is nothing
# to compare with there.
@only("chromium", "firefox")
def when_a_run_of_edits_is_undone_then_each_undo_takes_back_what_a_textarea_would(d):
    def undone(read):
        seen = []
        for _ in range(4):
            chord(d, "z")
            seen.append(read())
        return seen

    click(d, "cmdPause")
    ours = []
    for typed in UNDO_RUNS:
        set_output(d, "hello world")
        place_caret(d, 5)
        keys(d, *typed)
        ours.append(undone(lambda: output(d)))
    url = d.current_url
    js(d, TWIN, "", 0)
    for typed, got in zip(UNDO_RUNS, ours):
        js(d, "const t = document.querySelector('textarea'); t.remove(); document.body.append(t);"
              "t.value = 'hello world'; t.focus(); t.setSelectionRange(5, 5)")
        keys(d, *typed)
        plain = undone(lambda: js(d, TWIN_STATE)[0])
        assert got == plain, f"after {typed!r}: the output's undos {got}, the textarea's {plain}"
    d.get(url)


if __name__ == "__main__":
    sys.exit(run([
        when_keys_move_and_edit_then_the_caret_lands_as_in_a_textarea,
        when_blocks_end_in_newlines_then_the_caret_crosses_them_as_in_a_textarea,
        when_left_and_right_cross_a_cut_then_the_caret_stops_as_in_a_textarea,
        when_typing_ends_where_a_line_wraps_then_the_caret_shows_as_in_a_textarea,
        when_the_box_places_the_caret_then_up_and_down_aim_from_there,
        when_a_move_by_lines_lands_on_a_cut_then_the_caret_shows_as_in_a_textarea,
        when_ctrl_end_follows_ctrl_home_then_it_lands_at_the_very_end,
        when_a_long_paste_ends_the_text_then_typing_goes_on_after_it,
        when_the_user_scrolled_back_then_typing_keeps_their_place,
        when_a_run_of_edits_is_undone_then_each_undo_takes_back_what_a_textarea_would,
    ]))
