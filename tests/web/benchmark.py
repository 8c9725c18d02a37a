#!/usr/bin/python3
"""Times one keystroke and one paused edit at several lengths of output, against a plain
<textarea> holding the same text, and the page's load until the window takes keys.
Usage: benchmark.py SITE_DIR"""
import statistics
import sys

from browser import chromium, load, served, x_display

SIZES = [("1 KB", 1 << 10), ("100 KB", 100 << 10), ("1 MB", 1 << 20), ("4 MB", 4 << 20)]
KEYS = 40
# The clock starts when the key's input reaches the page and stops once what it changed is laid
# out again: the handler, the style and the layout it costs, and a paint if one falls between.
HARNESS = """
window.zvTimes = [];
document.addEventListener('beforeinput', () => {
  const t0 = performance.now();
  setTimeout(() => { document.body.offsetHeight; zvTimes.push(performance.now() - t0); });
}, true);
"""
TEXTAREA = """
document.body.innerHTML = '';
const box = document.createElement('textarea');
box.style.cssText = 'width:297px;height:145px;font:12px "DejaVu Sans";line-height:15px';
box.value = arguments[0]; document.body.append(box); box.focus();
box.setSelectionRange(arguments[1], arguments[1]);
"""


def text_of(size):
    words = ["1337", "5|O34|<", "||=||3110", "\\/\\/0|21|))", "|=00", "84|2"]
    out, n = [], 0
    while n < size:
        word = words[len(out) % len(words)] + " "
        out.append(word)
        n += len(word)
    return "".join(out)[:size]


def median_of_keys(d):
    d.execute_script(HARNESS)
    for _ in range(KEYS):
        d.execute_cdp_cmd("Input.insertText", {"text": "a"})
        d.execute_async_script("requestAnimationFrame(() => setTimeout(arguments[0], 0))")
    times = d.execute_script("return zvTimes")
    return statistics.median(times[5:])  # the first keys warm the caches


def main():
    rows = []
    with x_display(), served(sys.argv[1]) as (url, _), chromium() as d:
        loads = []
        for _ in range(5):
            load(d, url)
            loads.append(d.execute_script(
                "return performance.getEntriesByName('zentrovax-ready')[0].startTime"))
        for label, size in SIZES:
            text = text_of(size)
            load(d, url)
            d.execute_script("Module.zentrovaxSetOutput(arguments[0])", text)
            key = median_of_keys(d)
            d.execute_script("""document.getElementById('cmdPause').click();
                const blocks = document.querySelectorAll('#txtLeet .block');
                const middle = blocks[blocks.length >> 1];
                middle.scrollIntoView(); document.getElementById('txtLeet').focus();
                getSelection().collapse(middle.firstChild, 10);""")
            edit = median_of_keys(d)
            d.get("about:blank")
            d.execute_script(TEXTAREA, text, len(text))
            plain_key = median_of_keys(d)
            d.execute_script(TEXTAREA, text, len(text) // 2)
            plain_edit = median_of_keys(d)
            rows.append((label, key, plain_key, edit, plain_edit))
    print("| output | keystroke | keystroke, plain `<textarea>` "
          "| paused edit in the middle | edit in the middle, plain `<textarea>` |")
    print("|---|---|---|---|---|")
    for label, *times in rows:
        print(f"| {label} | " + " | ".join(f"{t:.2f} ms" for t in times) + " |")
    print(f"\nPage load until the window takes keys: {statistics.median(loads):.0f} ms"
          " (median of 5)")


if __name__ == "__main__":
    sys.exit(main())
