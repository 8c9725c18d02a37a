#!/usr/bin/python3
"""How long a person waits for each key, in each engine: from the key's event to the next paint,
with real key events through the driver, on output built as a person builds it: typed (appended
piece by piece), or pasted while paused, in one paragraph or in many; at 1 KB, 1 MB, 4 MB and
10 MB. Edits at the start, in the middle and at the end of the text. Also the page's load until
the window takes keys.
Usage: benchmark.py SITE_DIR [ENGINE...]   (ZENTROVAX_BENCH_SIZES=1KB,4MB picks sizes)"""
import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import ENGINES, engine, load, served, x_display  # noqa: E402
from session import Keys, chord, click, js, keys, paste, place_caret, set_clipboard  # noqa: E402

SIZES = {"1KB": 1 << 10, "1MB": 1 << 20, "4MB": 4 << 20, "10MB": 10 << 20}
KEYS = 9
# From each key's own time stamp to after the frame that shows what it did: a frame callback,
# then a task after it, which runs once the frame's style, layout and paint are done. Where the
# engine has the Event Timing API, its longest entry for the key's events too (it reports only
# those of 16 ms and more, in steps of 8). A script of the page's own: Firefox runs each of the
# driver's scripts in a sandbox, where a message channel never delivers; the times are kept in
# the DOM, which both see.
CLOCK = """
const body = document.body;
body.dataset.waits = '[]';
body.dataset.timings = '[]';
const push = (name, value) => {
  const all = JSON.parse(body.dataset[name]);
  all.push(value);
  body.dataset[name] = JSON.stringify(all);
};
// The program's own handlers, between a listener before them and one after them, for each event
// a key brings.
body.dataset.handlers = '[]';
let handled = 0;
for (const type of ['keydown', 'beforeinput', 'input']) {
  let began = 0;
  document.addEventListener(type, () => { began = performance.now(); }, true);
  addEventListener(type, () => { handled += performance.now() - began; });
}
document.addEventListener('keydown', (event) => {
  if (['Control', 'Shift', 'Alt', 'Meta'].includes(event.key)) {
    return;  // the key of a chord is timed
  }
  handled = 0;
  setTimeout(() => push('handlers', handled), 0);
  const start = event.timeStamp;
  requestAnimationFrame(() => {
    const after = new MessageChannel();
    after.port1.onmessage = () => push('waits', performance.now() - start);
    after.port2.postMessage(null);
  });
}, true);
if (PerformanceObserver.supportedEntryTypes?.includes('event')) {
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) push('timings', [entry.startTime, entry.duration]);
  }).observe({type: 'event', durationThreshold: 16});
}
"""
WAIT_FOR_FRAME = """const [count, done] = arguments;
const check = () => JSON.parse(document.body.dataset.waits).length >= count ?
    setTimeout(done, 30) : setTimeout(check, 5);
check();"""


def text_of(size, paragraphs):
    """Leet words, one paragraph or a newline every few lines."""
    words = ["1337", "5|O34|<", "||=||3110", "\\/\\/0|21|))", "|=00", "84|2"]
    out, n = [], 0
    while n < size:
        word = words[len(out) % len(words)] + ("\n" if paragraphs and len(out) % 40 == 39 else " ")
        out.append(word)
        n += len(word)
    return "".join(out)[:size]


# Typing: a few pieces at a time, with the frames between them that keys have, in which the
# browser learns what of the output it may skip.
TYPE = """
const [text, done] = arguments;
let at = 0;
const type = () => {
  for (const end = Math.min(text.length, at + 16384); at < end; at += 64) {
    Module.zentrovaxAppendOutput(text.substring(at, at + 64));
  }
  at < text.length ? requestAnimationFrame(type) : done();
};
type();"""


def build(d, url, how, text):
    """The output as a person gets it: typed, or a paste into the paused output."""
    load(d, url)
    if how == "typed":
        d.set_script_timeout(600)
        d.execute_async_script(TYPE, text)
        click(d, "cmdPause")
    else:
        keys(d, "abc")
        click(d, "cmdPause")
        click(d, "txtLeet")
        chord(d, Keys.END)
        set_clipboard(text)
        paste(d)
    click(d, "txtLeet")


def timed(d, press):
    """Runs `press` (one key or chord) KEYS times; the median wait, the median time in the
    program's handlers, and the longest Event Timing duration of the keys (None where the
    engine has none or all were under 16 ms)."""
    js(d, "for (const name of ['waits', 'timings', 'handlers']) document.body.dataset[name] = '[]'")
    for count in range(1, KEYS + 1):
        press()
        d.execute_async_script(WAIT_FOR_FRAME, count)
    waits, handlers, timings = (js(d, f"return JSON.parse(document.body.dataset.{name})")
                                for name in ("waits", "handlers", "timings"))
    return (statistics.median(waits), statistics.median(handlers),
            max((t[1] for t in timings), default=None))


# Each edit; undo and redo take back and bring back the pastes just before them.
EDITS = {
    "typing": lambda d: keys(d, "x"),
    "Backspace": lambda d: keys(d, Keys.BACKSPACE),
    "Delete": lambda d: keys(d, Keys.DELETE),
    "Enter": lambda d: keys(d, Keys.ENTER),
    "paste": lambda d: chord(d, "v"),
    "undo": lambda d: chord(d, "z"),
    "redo": lambda d: chord(d, "y"),
}


def measure(d, url, size, how, paragraphs):
    text = text_of(size, paragraphs)
    build(d, url, how, text)
    js(d, "const clock = document.createElement('script'); clock.textContent = arguments[0];"
          "document.head.append(clock)", CLOCK)
    set_clipboard("1337 ")
    rows = {}
    for place, offset in (("start", 0), ("middle", len(text) // 2), ("end", None)):
        for name, edit in EDITS.items():
            if offset is None:
                chord(d, Keys.END)
            else:
                place_caret(d, offset)
            rows[f"{name}, {place}"] = timed(d, lambda edit=edit: edit(d))
    click(d, "cmdResume")
    rows["capturing"] = timed(d, lambda: keys(d, "x"))
    return rows


def main():
    engines = sys.argv[2:] or list(ENGINES)
    sizes = os.environ.get("ZENTROVAX_BENCH_SIZES", ",".join(SIZES)).split(",")
    shapes = [("typed", False), ("pasted", False), ("pasted", True)]
    with x_display(), served(sys.argv[1]) as (url, _):
        for name in engines:
            with engine(name) as d:
                loads = []
                for _ in range(5):
                    load(d, url)
                    loads.append(js(d, "return performance.getEntriesByName("
                                       "'zentrovax-ready')[0].startTime"))
                print(f"\n{name}: page load until the window takes keys "
                      f"{statistics.median(loads):.0f} ms (median of 5)", flush=True)
                for how, paragraphs in shapes:
                    results = {size: measure(d, url, SIZES[size], how, paragraphs)
                               for size in sizes}
                    shape = "many paragraphs" if paragraphs else "one paragraph"
                    print(f"\n{name}, {how}, {shape}: ms from the key to the next paint, and in "
                          f"the program's handlers (medians of {KEYS}); the longest Event "
                          "Timing duration in brackets")
                    print("| key | " + " | ".join(sizes) + " |")
                    print("|---|" + "---|" * len(sizes))
                    for row in results[sizes[0]]:
                        cells = []
                        for size in sizes:
                            wait, handler, timing = results[size][row]
                            cells.append(f"{wait:.1f} / {handler:.1f}" +
                                         (f" ({timing:.0f})" if timing else ""))
                        print(f"| {row} | " + " | ".join(cells) + " |", flush=True)


if __name__ == "__main__":
    sys.exit(main())
