#!/usr/bin/python3
"""Times one keystroke and one paused edit in the middle of the text, at several lengths of
output, in each engine, and the page's load until the window takes keys.
Usage: benchmark.py SITE_DIR [ENGINE...]"""
import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import ENGINES, engine, load, served, x_display  # noqa: E402
from session import click, keys, place_caret, set_output  # noqa: E402

SIZES = [("1 KB", 1 << 10), ("1 MB", 1 << 20), ("4 MB", 4 << 20), ("10 MB", 10 << 20)]
KEYS = 60
# The clock starts as the key's input reaches the page and stops once what it changed is laid
# out: the handler (on the box, between the two listeners) and the style and layout it costs,
# without the wait for a timer or a frame, whose length depends on the engine's scheduling.
# The times are kept in the DOM: Firefox runs each of the driver's scripts in a sandbox.
HARNESS = """
document.body.dataset.times = '';
let start = 0;
document.addEventListener('beforeinput', () => { start = performance.now(); }, true);
addEventListener('beforeinput', () => {
  document.body.offsetHeight;
  document.body.dataset.times += (performance.now() - start) + ' ';
});
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
        keys(d, "a")
        d.execute_async_script("requestAnimationFrame(() => setTimeout(arguments[0], 0))")
    times = [float(t) for t in d.execute_script("return document.body.dataset.times").split()]
    # The first keys warm the caches. WebKit gives whole milliseconds, of which a median is one
    # too: the mean of the middle half sees below that, and as little as a median of the rest.
    kept = sorted(times[5:])
    return statistics.mean(kept[len(kept) // 4:len(kept) * 3 // 4])


def measure(name, url):
    rows = {}
    with engine(name) as d:
        loads = []
        for _ in range(5):
            load(d, url)
            loads.append(d.execute_script(
                "return performance.getEntriesByName('zentrovax-ready')[0].startTime"))
        for label, size in SIZES:
            text = text_of(size)
            load(d, url)
            set_output(d, text)
            d.execute_script("const b = document.getElementById('txtLeet');"
                             "b.scrollTop = b.scrollHeight")
            key = median_of_keys(d)
            click(d, "cmdPause")
            place_caret(d, size // 2)
            rows[label] = (key, median_of_keys(d))
    return rows, statistics.median(loads)


def main():
    engines = sys.argv[2:] or list(ENGINES)
    results = {}
    with x_display(), served(sys.argv[1]) as (url, _):
        for name in engines:
            results[name] = measure(name, url)
    print("| output | " + " | ".join(f"{n}: keystroke | {n}: paused edit" for n in engines) + " |")
    print("|---|" + "---|---|" * len(engines))
    for label, _ in SIZES:
        cells = []
        for name in engines:
            key, edit = results[name][0].get(label, (None, None))
            cells += ["" if key is None else f"{key:.1f} ms", "" if edit is None else f"{edit:.1f} ms"]
        print(f"| {label} | " + " | ".join(cells) + " |")
    print()
    for name in engines:
        print(f"{name}: page load until the window takes keys {results[name][1]:.0f} ms "
              "(median of 5)")


if __name__ == "__main__":
    sys.exit(main())
