#!/usr/bin/python3
"""The browser program as a person uses it: keys to whatever has the focus, clicks, the real
clipboard. Usage: web_session_test.py SITE_DIR SCREENSHOT_DIR"""
import os
import random
import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from browser import chromium, load, served

sys.path.insert(0, os.path.dirname(__file__))
HELP_TITLE = "How to use Zentrovax"
HELP_PROMPT_START = "This program allows you to type regularly, yet have your text"


def keys(driver, *sequence):
    ActionChains(driver).send_keys(*sequence).perform()


def chord(driver, *sequence):
    """Keys pressed with Control held down."""
    ActionChains(driver).key_down(Keys.CONTROL).send_keys(*sequence).key_up(
        Keys.CONTROL).perform()


def js(driver, script, *args):
    return driver.execute_script(script, *args)


def output(driver):
    return js(driver, "return document.getElementById('txtLeet').textContent")


def focused(driver):
    return js(driver, "return document.activeElement.id")


def clipboard(driver):
    return driver.execute_async_script(
        "navigator.clipboard.readText().then(arguments[0], e => arguments[0]('ERR ' + e))")


def eventually(check, what):
    """Waits for what a browser does a task later, such as a dialog's close event."""
    for _ in range(50):
        if check():
            return
        time.sleep(0.02)
    raise AssertionError(what)


def click(driver, name):
    driver.find_element(By.ID, name).click()


def when_typing_then_the_output_shows_leet(d):
    keys(d, "leet speak")
    assert output(d) == "1337 5|O34|<", output(d)
    assert js(d, "return document.getElementById('txtCapture').value") == ""


def when_unmapped_keys_are_typed_then_nothing_is_added(d):
    keys(d, "ABC!1é\u4e2d")
    assert output(d) == "", output(d)


def when_an_input_method_commits_then_its_characters_are_typed(d):
    d.execute_cdp_cmd("Input.imeSetComposition",
                      {"text": "hi", "selectionStart": 2, "selectionEnd": 2})
    assert output(d) == "", "a composition still being made types nothing"
    d.execute_cdp_cmd("Input.insertText", {"text": "hi"})
    assert output(d) == "||=||!", output(d)
    assert js(d, "return document.getElementById('txtCapture').value") == ""


def when_the_output_gets_the_focus_while_typing_then_it_goes_back(d):
    ActionChains(d).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()
    eventually(lambda: focused(d) == "txtCapture", focused(d))
    click(d, "txtLeet")
    assert focused(d) == "txtCapture", focused(d)
    keys(d, "a")
    assert output(d) == "4"
    keys(d, Keys.TAB)
    assert focused(d) == "cmdPause", focused(d)


def when_paused_then_the_output_is_edited_copied_and_resume_appends(d):
    keys(d, "abc")
    click(d, "cmdPause")
    assert js(d, "return document.getElementById('txtCapture').disabled")
    click(d, "txtLeet")
    assert focused(d) == "txtLeet", focused(d)
    chord(d, Keys.END)
    keys(d, Keys.BACKSPACE, "x", Keys.ENTER, "y")
    assert output(d) == "48(x\ny", repr(output(d))
    # As in a plain text box, undo takes back the run of typing at once, then the deletion.
    chord(d, "z")
    assert output(d) == "48(", "undo: " + repr(output(d))
    chord(d, "z")
    assert output(d) == "48((", "undo: " + repr(output(d))
    chord(d, "y")
    ActionChains(d).key_down(Keys.CONTROL).key_down(Keys.SHIFT).send_keys("z").key_up(
        Keys.SHIFT).key_up(Keys.CONTROL).perform()
    assert output(d) == "48(x\ny", "redo: " + repr(output(d))
    chord(d, "a")
    chord(d, "c")
    assert clipboard(d) == output(d), (clipboard(d), output(d))
    click(d, "cmdResume")
    assert focused(d) == "txtCapture"
    before = output(d)
    keys(d, "d")
    assert output(d) == before + "|))", repr(output(d))


def when_text_spans_blocks_then_edges_are_invisible(d):
    text = "".join("leet speak " if i % 7 else "hello world " for i in range(3000))
    js(d, "Module.zentrovaxSetOutput(arguments[0])", text)
    assert js(d, "return document.querySelectorAll('#txtLeet .block').length") > 3
    assert output(d) == text
    blocks_wrap_as_one_paragraph(d)
    click(d, "cmdPause")
    # Backspace at the start of the second block takes the last character of the first.
    js(d, """const second = document.querySelectorAll('#txtLeet .block')[1];
             second.scrollIntoView(); document.getElementById('txtLeet').focus();
             getSelection().collapse(second.firstChild, 0);""")
    first_len = js(d, "return document.querySelector('#txtLeet .block').textContent.length")
    keys(d, Keys.BACKSPACE)
    assert output(d) == text[:first_len - 1] + text[first_len:], "Backspace at a block edge"
    keys(d, Keys.DELETE)
    assert output(d) == text[:first_len - 1] + text[first_len + 1:], "Delete at a block edge"
    chord(d, "z")
    chord(d, "z")
    assert output(d) == text, "undo restores both"
    chord(d, "a")
    chord(d, "c")
    assert clipboard(d) == text, "no line break where a block ends"
    click(d, "cmdResume")
    keys(d, "a")
    assert output(d) == text + "4"


def blocks_wrap_as_one_paragraph(d):
    """Blocks cut where the paragraph wraps wrap exactly as the one paragraph does, each one a
    single non-empty text node."""
    lines, shapes = js(d, """
        const box = document.getElementById('txtLeet');
        const one = document.createElement('div');
        one.className = 'block measure'; one.textContent = box.textContent; box.append(one);
        if (one.textContent.endsWith('\\n')) one.append(document.createElement('br'));
        const blocks = [...box.querySelectorAll('.block:not(.measure)')];
        const sections = [...box.querySelectorAll('.section')];
        [...sections, ...blocks].forEach(b => b.style.contentVisibility = 'visible');
        const sum = blocks.reduce((n, b) => n + b.offsetHeight, 0);
        const whole = one.offsetHeight;
        // And every block starts where a line of the one paragraph starts.
        const range = document.createRange();
        const top = (at) => { range.setStart(one.firstChild, at); range.setEnd(one.firstChild, at + 1);
                              return range.getBoundingClientRect().top; };
        let at = 0, misplaced = 0;
        for (const b of blocks.slice(0, -1)) {
            at += b.firstChild.length;
            if (box.textContent[at - 1] !== '\\n' && !(top(at) > top(at - 1))) misplaced++;
        }
        one.remove();
        [...sections, ...blocks].forEach(b => b.style.contentVisibility = '');
        // The last block ends in a <br> when the text ends in a newline, to show that line.
        const shapes = blocks.filter((b, i) =>
            b.childNodes.length !== 1 + (i === blocks.length - 1 && box.textContent.endsWith('\\n'))
            || b.firstChild.nodeType !== 3 || (!b.firstChild.length && blocks.length > 1));
        return [[sum, whole, misplaced], shapes.length];""")
    assert lines[0] == lines[1], f"blocks {lines[0]} px high, one paragraph {lines[1]} px"
    assert lines[2] == 0, f"{lines[2]} blocks start inside a line of the paragraph"
    assert shapes == 0, f"{shapes} blocks are not one non-empty text node"


PLACE = """
    let offset = arguments[0];
    const blocks = [...document.querySelectorAll('#txtLeet .block')];
    for (const [i, b] of blocks.entries()) {
        const n = b.firstChild;
        // At an edge, the end of one block or the start of the next, as the test asks.
        if (offset < n.length || (offset === n.length && (arguments[1] || i === blocks.length - 1))) {
            b.scrollIntoView({block: 'center'});
            getSelection().collapse(n, offset); return;
        }
        offset -= n.length;
    }"""


def when_edited_anywhere_then_the_blocks_still_wrap_as_one_paragraph(d):
    rng = random.Random(int(os.environ.get("WEB_SESSION_SEED", "18")))
    words = ["leet ", "speak ", "1337 ", "5|O34|< ", "||=||3110 ", "\\/\\/0|21|)) "]
    text = "".join(rng.choice(words) for _ in range(3000))
    original = text
    js(d, "Module.zentrovaxSetOutput(arguments[0])", text)
    click(d, "cmdPause")
    for step in range(60):
        action = rng.choice(["type", "backspace", "delete", "select", "paste", "enter", "edge"])
        at = rng.randrange(len(text) + 1)
        if action == "edge":
            # The first words of a block, which may then fit on the line before it.
            starts = js(d, "let n = 0; return [...document.querySelectorAll('#txtLeet .block')]"
                           ".map(b => (n += b.firstChild.length) - b.firstChild.length)")
            at = rng.choice(starts[1:] or [0])
            action = "delete"
        js(d, "document.getElementById('txtLeet').focus()")
        js(d, PLACE, at, rng.random() < 0.5)
        if action == "type":
            word = rng.choice(["x", "wide words ", "mmmmmmmmmmmmmmmmmmmm"])
            keys(d, word)
            text = text[:at] + word + text[at:]
        elif action == "backspace":
            n = rng.randint(1, 12)
            keys(d, *[Keys.BACKSPACE] * n)
            text = text[:max(at - n, 0)] + text[at:]
        elif action == "delete":
            n = rng.randint(1, 12)
            keys(d, *[Keys.DELETE] * n)
            text = text[:at] + text[at + n:]
        elif action == "select":
            n = rng.randint(1, 300)
            ActionChains(d).key_down(Keys.SHIFT).send_keys(*[Keys.RIGHT] * n).key_up(
                Keys.SHIFT).perform()
            keys(d, "z")
            text = text[:at] + "z" + text[at + n:]
        elif action == "paste":
            pasted = "pasted\r\nlines " * rng.randint(1, 200)
            d.execute_async_script(
                "navigator.clipboard.writeText(arguments[0]).then(arguments[1])", pasted)
            chord(d, "v")
            text = text[:at] + pasted.replace("\r\n", "\n") + text[at:]
        else:
            keys(d, Keys.ENTER)
            text = text[:at] + "\n" + text[at:]
        got = output(d)
        if got != text:
            first = next(i for i in range(min(len(got), len(text)) + 1)
                         if i == min(len(got), len(text)) or got[i] != text[i])
            raise AssertionError(f"step {step}, {action} at {at}: from {first} the output has "
                                 f"{got[first - 20:first + 40]!r}, not {text[first - 20:first + 40]!r}")
        if step % 10 == 9:
            blocks_wrap_as_one_paragraph(d)
    blocks_wrap_as_one_paragraph(d)
    final = text
    for _ in range(80):
        chord(d, "z")
    assert output(d) == original, "undo takes every edit back"
    for _ in range(80):
        chord(d, "y")
    assert output(d) == final, "redo makes every edit again"
    blocks_wrap_as_one_paragraph(d)
    chord(d, "a")
    chord(d, "c")
    assert clipboard(d) == final, "copy gives the text"


def when_a_blocks_first_word_shrinks_then_it_may_move_up_a_line(d):
    js(d, "Module.zentrovaxSetOutput(arguments[0])", "||=||3110 \\/\\/0|21|)) 1337 " * 400)
    click(d, "cmdPause")
    for block in range(1, 6):
        # Delete at the start of the block until its first word is one character long.
        word = js(d, """const b = document.querySelectorAll('#txtLeet .block')[arguments[0]];
                        b.scrollIntoView(); document.getElementById('txtLeet').focus();
                        getSelection().collapse(b.firstChild, 0);
                        return b.firstChild.data.split(' ')[0].length""", block)
        keys(d, *[Keys.DELETE] * (word - 1))
    blocks_wrap_as_one_paragraph(d)


def when_an_edit_moves_every_later_wrap_then_the_rest_is_repaired_while_idle(d):
    text = "|<" * 40000  # no spaces: one character more moves every later line
    js(d, "Module.zentrovaxSetOutput(arguments[0])", text)
    click(d, "cmdPause")
    js(d, """document.getElementById('txtLeet').focus();
             getSelection().collapse(document.querySelector('#txtLeet .block').firstChild, 3)""")
    keys(d, "x")
    for _ in range(100):  # the repairs go on in slices between the user's keys
        try:
            blocks_wrap_as_one_paragraph(d)
            break
        except AssertionError:
            time.sleep(0.1)
    blocks_wrap_as_one_paragraph(d)
    keys(d, "y")
    assert output(d) == text[:3] + "xy" + text[3:], "the caret stayed where the user typed"


def when_the_zoom_changes_then_the_blocks_are_cut_again_around_the_caret(d):
    text = "".join(("leet speak " if i % 5 else "||=||3110 ") for i in range(8000))
    js(d, "Module.zentrovaxSetOutput(arguments[0])", text)
    click(d, "cmdPause")
    js(d, """const b = document.querySelectorAll('#txtLeet .block')[3]; b.zvOld = true;
             b.scrollIntoView(); document.getElementById('txtLeet').focus();
             getSelection().collapse(b.firstChild, 7)""")
    at = js(d, "let n = 0; const bs = [...document.querySelectorAll('#txtLeet .block')];"
               "for (const b of bs.slice(0, 3)) n += b.firstChild.length; return n + 7")
    # What a change of zoom calls. Headless Chromium tells a page of an emulated zoom only at
    # times, so the test calls it itself.
    js(d, "Module.zentrovaxZoomed()")
    assert js(d, "return !document.querySelector('#txtLeet .block').zvOld && "
                 "![...document.querySelectorAll('#txtLeet .block')][3].zvOld"), "not cut again"
    blocks_wrap_as_one_paragraph(d)
    keys(d, "q")
    assert output(d) == text[:at] + "q" + text[at:], "the caret stayed on the same text"


def when_an_input_method_composes_in_the_paused_output_then_it_is_an_edit_like_any(d):
    keys(d, "abc")
    click(d, "cmdPause")
    js(d, """document.getElementById('txtLeet').focus();
             getSelection().collapse(document.querySelector('#txtLeet .block').firstChild, 2)""")
    for composing in ["e", "\u00e9"]:
        d.execute_cdp_cmd("Input.imeSetComposition",
                          {"text": composing, "selectionStart": 1, "selectionEnd": 1})
    d.execute_cdp_cmd("Input.insertText", {"text": "\u00e9"})
    keys(d, "z")
    assert output(d) == "48\u00e9z((", repr(output(d))
    chord(d, "z")
    chord(d, "z")
    assert output(d) == "48((", "undo takes back the typing, then the composition"


def when_help_is_clicked_then_a_modal_message_shows_and_closes(d):
    click(d, "cmdHelp")
    assert js(d, "return document.getElementById('help').open")
    assert js(d, "return document.getElementById('helpTitle').textContent") == HELP_TITLE
    assert js(d, "return document.getElementById('helpPrompt').textContent").startswith(
        HELP_PROMPT_START)
    assert js(d, "return document.activeElement.textContent") == "OK"
    dialog = [n for n in d.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
              if n.get("role", {}).get("value") == "alertdialog"]
    assert dialog and dialog[0]["name"]["value"] == HELP_TITLE, dialog
    assert dialog[0]["description"]["value"].startswith(HELP_PROMPT_START), dialog
    keys(d, Keys.ENTER)
    assert not js(d, "return document.getElementById('help').open")
    eventually(lambda: focused(d) == "txtCapture", "focus after Enter: " + focused(d))
    click(d, "cmdHelp")
    keys(d, Keys.ESCAPE)
    assert not js(d, "return document.getElementById('help').open")
    eventually(lambda: focused(d) == "txtCapture", "focus after Escape: " + focused(d))
    keys(d, "b")
    assert output(d) == "8"


def when_tabbing_then_the_capture_box_never_shows(d):
    for _ in range(6):
        keys(d, Keys.TAB)
        assert js(d, "return [scrollX, scrollY, document.getElementById('frmZentrovax')"
                     ".scrollLeft]") == [0, 0, 0]
    client = js(d, "return document.getElementById('frmZentrovax').getBoundingClientRect()"
                   ".toJSON()")
    assert (client["width"], client["height"]) == (314, 186), client
    capture = js(d, "return document.getElementById('txtCapture').getBoundingClientRect()"
                    ".toJSON()")
    assert capture["left"] >= client["right"], (capture, client)


def the_accessibility_tree_names_the_boxes(d):
    keys(d, "h")
    nodes = d.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]

    def find(name):
        return [n for n in nodes if n.get("name", {}).get("value") == name]
    leet = find("Leet output")
    typing = find("Typing")
    assert leet and leet[0]["role"]["value"] == "textbox", leet
    assert typing and typing[0]["role"]["value"] == "textbox", typing
    assert any(p.get("name") == "description" and "editable while paused" in
               str(p) for p in leet[0].get("properties", [])) or \
        "editable while paused" in str(leet[0].get("description")), leet[0]
    live = js(d, "const l = document.querySelector('[aria-live]');"
                 "return [l.getAttribute('aria-live'), l.textContent]")
    assert live == ["polite", "||=||"], live
    keys(d, "h")
    assert js(d, "return document.querySelector('[aria-live]').children.length") == 1


def when_offline_then_the_page_still_works(d, server):
    d.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
    server.kill()
    server.wait()
    d.refresh()
    load_ready = js(d, "return document.body.hasAttribute('data-ready')")
    for _ in range(100):
        if load_ready:
            break
        time.sleep(0.05)
        load_ready = js(d, "return document.body.hasAttribute('data-ready')")
    assert load_ready, "no window offline"
    keys(d, "leet")
    assert output(d) == "1337", output(d)


def main():
    site, shots = sys.argv[1], sys.argv[2]
    os.makedirs(shots, exist_ok=True)
    tests = [when_typing_then_the_output_shows_leet,
             when_unmapped_keys_are_typed_then_nothing_is_added,
             when_an_input_method_commits_then_its_characters_are_typed,
             when_the_output_gets_the_focus_while_typing_then_it_goes_back,
             when_paused_then_the_output_is_edited_copied_and_resume_appends,
             when_text_spans_blocks_then_edges_are_invisible,
             when_edited_anywhere_then_the_blocks_still_wrap_as_one_paragraph,
             when_a_blocks_first_word_shrinks_then_it_may_move_up_a_line,
             when_an_edit_moves_every_later_wrap_then_the_rest_is_repaired_while_idle,
             when_the_zoom_changes_then_the_blocks_are_cut_again_around_the_caret,
             when_an_input_method_composes_in_the_paused_output_then_it_is_an_edit_like_any,
             when_help_is_clicked_then_a_modal_message_shows_and_closes,
             when_tabbing_then_the_capture_box_never_shows,
             the_accessibility_tree_names_the_boxes]
    failures = 0
    with served(site) as (url, server), chromium() as driver:
        for test in tests:
            load(driver, url)
            try:
                test(driver)
                print("PASS", test.__name__)
            except Exception as error:  # noqa: BLE001 - every failure is reported, then counted
                failures += 1
                print("FAIL", test.__name__, repr(error)[:600])
        load(driver, url)
        keys(driver, "hello world leet speak")
        driver.save_screenshot(os.path.join(shots, "web.png"))
        try:
            when_offline_then_the_page_still_works(driver, server)
            print("PASS offline")
        except Exception as error:  # noqa: BLE001
            failures += 1
            print("FAIL offline", repr(error)[:600])
    print(f"{len(tests) + 1 - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
