#!/usr/bin/python3
"""Times one keystroke and one paused edit, until painted, at several lengths of output, against a
plain <textarea>, and the page's load until the window can be typed into.
Usage: benchmark.py SITE_DIR"""
import statistics
import sys

from browser import chromium, load, served

SIZES = [("1 KB", 1 << 10), ("100 KB", 100 << 10), ("1 MB", 1 << 20), ("4 MB", 4 << 20)]
KEYS = 60
# Starts the clock when the input reaches the page, stops it once the next frame is painted.
HARNESS = """
window.zvTimes = [];
document.addEventListener('beforeinput', () => {
  const t0 = performance.now();
  requestAnimationFrame(() => setTimeout(() => zvTimes.push(performance.now() - t0)));
}, true);
"""
TEXTAREA = """
document.body.innerHTML = '';
const box = document.createElement('textarea');
box.style.cssText = 'width:297px;height:145px;font:12px "DejaVu Sans";line-height:15px';
box.value = arguments[0]; document.body.append(box); box.focus();
window.zvBox = box;
"""


def text_of(size):
    words = ["1337", "5|O34|<", "||=||3110", "\\/\\/0|21|))", "|=00", "84|2"]
    out, n = [], 0
    while n < size:
        w = words[n % len(words)] + " "
        out.append(w)
        n += len(w)
    return "".join(out)[:size]


def median_of_keys(d, press):
    d.execute_script(HARNESS)
    for _ in range(KEYS):
        press()
        d.execute_async_script("requestAnimationFrame(() => setTimeout(arguments[0], 0))")
    times = d.execute_script("return zvTimes")
    return statistics.median(times[5:])  # the first keys warm the caches


def insert(d):
    d.execute_cdp_cmd("Input.insertText", {"text": "a"})


def main():
    rows = []
    with served(sys.argv[1]) as (url, _), chromium() as d:
        loads = []
        for _ in range(5):
            load(d, url)
            loads.append(d.execute_script(
                "return performance.getEntriesByName('zentrovax-ready')[0].startTime"))
        for label, size in SIZES:
            text = text_of(size)
            load(d, url)
            d.execute_script("Module.zentrovaxSetOutput(arguments[0])", text)
            key = median_of_keys(d, lambda: insert(d))
            d.execute_script("""document.getElementById('cmdPause').click();
                const blocks = document.querySelectorAll('#txtLeet > .block');
                const middle = blocks[blocks.length >> 1];
                middle.scrollIntoView(); document.getElementById('txtLeet').focus();
                getSelection().collapse(middle.firstChild, 10);""")
            edit = median_of_keys(d, lambda: insert(d))
            d.get("about:blank")
            d.execute_script(TEXTAREA, text)
            plain_key = median_of_keys(d, lambda: d.execute_script(
                "zvBox.dispatchEvent(new InputEvent('beforeinput'));"
                "zvBox.setRangeText('4', zvBox.value.length, zvBox.value.length, 'end');"))
            d.execute_script("zvBox.setSelectionRange(zvBox.value.length >> 1,"
                             " zvBox.value.length >> 1)")
            plain_edit = median_of_keys(d, lambda: insert(d))
            rows.append((label, key, plain_key, edit, plain_edit))
    print("| output | keystroke, Zentrovax | keystroke, plain <textarea> "
          "| paused edit, Zentrovax | edit, plain <textarea> |")
    print("|---|---|---|---|---|")
    for label, *times in rows:
        print(f"| {label} | " + " | ".join(f"{t:.1f} ms" for t in times) + " |")
    print(f"\nPage load until the window takes keys: {statistics.median(loads):.0f} ms"
          " (median of 5)")


if __name__ == "__main__":
    sys.exit(main())
