"""What the browser sessions share: keys to whatever has the focus, the page's state read back,
the real X clipboard, and a runner that loads the page afresh for each case and counts.
A case is a function of the driver; one that needs one engine's own tools says so with
@only("chromium")."""
import os
import subprocess
import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from browser import engine, load, served, x_display

HELP_TITLE = "How to use Zentrovax"
HELP_PROMPT_START = "This program allows you to type regularly, yet have your text"


def keys(driver, *sequence):
    ActionChains(driver).send_keys(*sequence).perform()


def chord(driver, *sequence, shift=False):
    """Keys pressed with Control (and Shift) held down."""
    actions = ActionChains(driver).key_down(Keys.CONTROL)
    if shift:
        actions.key_down(Keys.SHIFT)
    actions.send_keys(*sequence)
    if shift:
        actions.key_up(Keys.SHIFT)
    actions.key_up(Keys.CONTROL).perform()


def shifted(driver, *sequence):
    ActionChains(driver).key_down(Keys.SHIFT).send_keys(*sequence).key_up(Keys.SHIFT).perform()


def js(driver, script, *args):
    return driver.execute_script(script, *args)


def output(driver):
    return js(driver, "return document.getElementById('txtLeet').textContent")


def set_output(driver, text):
    """Output of any length without typing it key by key."""
    js(driver, "Module.zentrovaxSetOutput(arguments[0])", text)


def focused(driver):
    return js(driver, "return document.activeElement.id")


def click(driver, name):
    driver.find_element(By.ID, name).click()


def clipboard():
    """What a person would paste elsewhere: the X clipboard."""
    # As bytes: text mode would read a pasted CR LF as LF.
    return subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                          check=False).stdout.decode()


def set_clipboard(text):
    """Puts text on the X clipboard, as copying it in another program would."""
    subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=text, text=True,
                   check=True)
    # A browser learns of the clipboard's new owner through an X event of its own.
    eventually(lambda: clipboard() == text, "the clipboard never took the text")
    time.sleep(0.1)


def paste(driver):
    """Ctrl+V, and the wait for the browser to have the clipboard's text from X and insert it."""
    # Noted in the DOM: Firefox runs each script of the driver in a sandbox of its own.
    js(driver, "delete document.body.dataset.pasted; addEventListener('paste', () => "
               "setTimeout(() => { document.body.dataset.pasted = ''; }), "
               "{capture: true, once: true})")
    chord(driver, "v")
    eventually(lambda: js(driver, "return 'pasted' in document.body.dataset"),
               "the paste never came")


def copied(driver, copy):
    """Runs `copy` (which copies from the page) and returns the new clipboard."""
    set_clipboard("\u2205")
    copy()
    eventually(lambda: clipboard() != "\u2205", "nothing was copied")
    return clipboard()


def eventually(check, what):
    """Waits for what a browser does a task later, such as a dialog's close event: a little on
    an idle machine, seconds on a busy one."""
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        if check():
            return
        time.sleep(0.02)
    raise AssertionError(what() if callable(what) else what)


# The offsets in the output's text of the selection's anchor and focus, counted through the
# blocks' text nodes as the text reads.
SELECTION = """
    const box = document.getElementById('txtLeet');
    const s = getSelection();
    if (!s.rangeCount || !box.contains(s.anchorNode)) return null;
    const at = (node, offset) => {
        const range = document.createRange();
        range.selectNodeContents(box);
        range.setEnd(node, offset);
        return range.toString().length;
    };
    return [at(s.anchorNode, s.anchorOffset), at(s.focusNode, s.focusOffset)];"""


def selection(driver):
    return js(driver, SELECTION)


# Scrolls the output, and only the output, so that a block's middle shows in its middle.
SHOW_BLOCK = """
    const showBlock = (box, block) => {
        const o = box.getBoundingClientRect(), b = block.getBoundingClientRect();
        box.scrollTop += (b.top + b.height / 2) - (o.top + o.height / 2);
    };"""
PLACE_CARET = SHOW_BLOCK + """
    const [wanted, upstream, done] = arguments;
    const box = document.getElementById('txtLeet');
    const blocks = [...box.querySelectorAll('.block')];
    let offset = wanted;
    for (const [i, b] of blocks.entries()) {
        const n = b.firstChild;
        // A newline that ends a block may be kept out of its text node, and is what the caret
        // passes between the two: the cut itself is then the start of the next block.
        const length = b.textContent.length;
        // At a cut: the end of one block when `upstream`, else the start of the next.
        if (offset < length || (offset === length && length === n.length
                                && (upstream || i === blocks.length - 1))) {
            showBlock(box, b);
            box.focus();
            // Once laid out, as the text a person clicks on is.
            requestAnimationFrame(() => requestAnimationFrame(() => {
                getSelection().collapse(n, offset);
                done();
            }));
            return;
        }
        offset -= length;
    }
    done();"""


def place_caret(driver, offset, upstream=False):
    """Puts the caret at an offset of the paused output, in view."""
    driver.execute_async_script(PLACE_CARET, offset, upstream)


def block_starts(driver):
    return js(driver, "let n = 0; return [...document.querySelectorAll('#txtLeet .block')]"
                      ".map(b => (n += b.textContent.length) - b.textContent.length)")


def axe_findings(d):
    """What axe-core finds on the page as it stands: every rule, best practices included."""
    source = os.path.join(os.environ["ZENTROVAX_NPM"], "node_modules/axe-core/axe.min.js")
    with open(source, encoding="utf-8") as script:
        js(d, script.read())
    found = d.execute_async_script(
        "axe.run(document).then(r => arguments[0](r.violations.map(v => v.id + ': ' + "
        "v.nodes.map(n => n.target.join(' ')).join(', '))))")
    return found


def only(*engines):
    """Marks a case that needs one engine's own tools (Chromium's DevTools protocol, say)."""
    def mark(case):
        case.engines = engines
        return case
    return mark


def run(cases, after=None, chromium_flags=()):
    """Runs each case on a freshly loaded page in the engine named on the command line:
    session.py ENGINE SITE_DIR SCREENSHOT_DIR. ZENTROVAX_CASE=PART runs only the cases whose
    names hold PART. Chromium starts with `chromium_flags` besides its own. `after(driver, url,
    server, shots)` may add cases of its own at the end; it returns how many failed of how many."""
    name, site, shots = sys.argv[1:4]
    os.makedirs(shots, exist_ok=True)
    failures = total = 0
    with x_display(), served(site) as (url, server), \
            engine(name, chromium_flags) as driver:
        for case in cases:
            if name not in getattr(case, "engines", (name,)) or \
                    os.environ.get("ZENTROVAX_CASE", "") not in case.__name__:
                continue
            total += 1
            load(driver, url)
            try:
                case(driver)
                print("PASS", name, case.__name__, flush=True)
            except Exception as error:  # noqa: BLE001 - every failure is reported, then counted
                failures += 1
                print("FAIL", name, case.__name__, repr(error)[:900], flush=True)
                driver.save_screenshot(os.path.join(shots, f"{name}-{case.__name__}.png"))
        if after:
            failed, ran = after(driver, url, server, shots)
            failures += failed
            total += ran
    print(f"{total - failures} passed, {failures} failed")
    return 1 if failures else 0
