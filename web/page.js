// What the C++ side asks of the page in JavaScript: to listen to events, to find where lines
// start (a few dozen layout queries a line, so done here, without a call across from
// WebAssembly for each), and what an engine may lack, with a way round it. Should start-up fail
// all the same, the page says so where the window would be.

// Says why the window could not be built, in words, instead of leaving a dead page.
const failToStart = (reason) => {
  if (document.body.hasAttribute('data-ready') || document.getElementById('startFailure')) {
    return;
  }
  const words = document.createElement('p');
  words.id = 'startFailure';
  words.setAttribute('role', 'alert');
  words.textContent = `Zentrovax could not start in this browser (${reason}). ` +
      'It needs a current Firefox, Chrome, Edge or Safari, with JavaScript and WebAssembly on.';
  document.body.replaceChildren(words);
};
Module['onAbort'] = (what) => failToStart(String(what));
addEventListener('error', (event) => failToStart(event.message || 'an error'));
addEventListener('unhandledrejection', (event) => failToStart(String(event.reason)));
if (typeof WebAssembly !== 'object') {
  addEventListener('DOMContentLoaded', () => failToStart('no WebAssembly'));
}

// Each `type` event of `target` goes to one function the program exports by name.
// The program's listener numbered `listener` hears every `type` event of `target`.
Module['listen'] = (target, type, listener) =>
    target.addEventListener(type, (event) => Module['zentrovaxEvent'](listener, event));

// The listener hears once, when the page is next idle: after the input and the frames waiting,
// where the engine can put a task behind them.
Module['later'] = (listener) => {
  const hear = () => Module['zentrovaxEvent'](listener, null);
  if (typeof scheduler === 'object' && typeof scheduler.postTask === 'function') {
    scheduler.postTask(hear, {priority: 'background'});
  } else {
    setTimeout(hear, 0);
  }
};

// Whether a person's input waits for the page, where the engine can tell (Chromium).
Module['inputPending'] = navigator.scheduling && navigator.scheduling.isInputPending ?
    () => navigator.scheduling.isInputPending() : () => false;

// The output's line height in CSS pixels, as its style has it now: with it fixed, line k of a
// block starts k line heights below the block's top, so lines are counted without walking them.
Module['lineHeight'] = 0;

// The listener hears whenever where the text of `element` wraps may have changed: the page's zoom
// (its device pixels per CSS pixel), the element's width or its line height (the touch layout
// comes and goes with the pointer); and when Module.relaidOut() is called. Browsers tell of a
// zoom in different ways: by a media query's change, by a resize, or by a change of the
// element's size in device pixels. A change of its height alone (a phone's keyboard opening)
// changes no wrap and is let be.
Module['onRelayout'] = (element, listener) => {
  const lineHeightNow = () => parseFloat(getComputedStyle(element).lineHeight);
  Module['lineHeight'] = lineHeightNow();
  Module['relaidOut'] = () => Module['zentrovaxEvent'](listener, null);
  let ratio = devicePixelRatio;
  let width = element.clientWidth;
  const check = () => {
    const line = lineHeightNow();
    if (devicePixelRatio === ratio && element.clientWidth === width &&
        line === Module['lineHeight']) {
      return;
    }
    if (devicePixelRatio !== ratio) {
      ratio = devicePixelRatio;
      watch();
    }
    width = element.clientWidth;
    Module['lineHeight'] = line;
    Module['relaidOut']();
  };
  const watch = () => matchMedia(`(resolution: ${ratio}dppx)`)
      .addEventListener('change', check, {once: true});
  watch();
  addEventListener('resize', check);
  // WebKit has no device-pixel box; there the media query and the resize tell of a zoom.
  const observer = new ResizeObserver(check);
  try {
    observer.observe(element, {box: 'device-pixel-content-box'});
  } catch {
    observer.observe(element);
  }
};

// The part of the page a phone's keyboard leaves visible, for the touch layout to stay in: the
// visual viewport, where an engine keeps the page's layout behind the keyboard (WebKit); where it
// resizes the page instead (Chromium, told to by the viewport's interactive-widget), the two are
// the same.
if (window.visualViewport) {
  const visible = () => {
    const style = document.documentElement.style;
    style.setProperty('--visible-top', `${visualViewport.offsetTop}px`);
    style.setProperty('--visible-height', `${visualViewport.height}px`);
  };
  visualViewport.addEventListener('resize', visible);
  visualViewport.addEventListener('scroll', visible);
  visible();
}

// An editable box that takes plain text only, where the engine has that; elsewhere a rich one,
// into which the output box lets nothing but plain text all the same.
Module['plainTextEditing'] = (() => {
  try {
    document.createElement('div').contentEditable = 'plaintext-only';
    return 'plaintext-only';
  } catch {
    return 'true';
  }
})();

// Shows `dialog` as a message box: on top, the only thing that takes the mouse and the keys,
// its one button focused; Enter, Space, Escape or a click on the button dismiss it, and a
// 'dismiss' event tells so while it still shows, so that the focus goes straight from its button
// to where the program gives it. Not by showModal: that makes the rest of the page inert at once,
// which takes the focused box out of a screen reader's sight, and the reader then moves into the
// dialog without reading it (Orca, in Chromium and Firefox); nor by the dialog's own close,
// between which and the program's focus a reader would find the focus nowhere and stop
// sending keys to the page. aria-modal tells a reader that nothing else counts meanwhile.
Module['showMessage'] = (dialog) => {
  if (!dialog.zvShade) {
    const shade = document.createElement('div');
    shade.className = 'shade';
    shade.hidden = true;
    shade.addEventListener('mousedown', (event) => event.preventDefault());
    dialog.before(shade);
    dialog.zvShade = shade;
    const dismiss = (event) => {
      event.preventDefault();
      dialog.dispatchEvent(new Event('dismiss'));
      shade.hidden = true;
      dialog.removeAttribute('open');
    };
    dialog.addEventListener('submit', dismiss);
    dialog.addEventListener('keydown', (event) => {
      if (event.key === 'Escape') {
        dismiss(event);
      } else if (event.key === 'Tab') {
        event.preventDefault();  // the button is the only place the focus may go
      }
    });
  }
  dialog.zvShade.hidden = false;
  dialog.setAttribute('open', '');  // as dialog.show() does, in engines without <dialog> too
  dialog.querySelector('button').focus();
};

// How tall a section or a chapter of the output is taken to be while it is skipped: what it
// measured when it was last laid out (contain-intrinsic-block-size: auto), or, never laid out,
// the lines it is made with. A group whose text changed while it was skipped would keep its old
// measure, 0 where it was made empty: each group whose text changed is laid out once more, a
// few at a time, its chapter with it, so that the browser measures it anew.
const changedGroups = new Set();
const measuring = [];
const kGroupsMeasuredAtOnce = 16;
const measureChanged = () => {
  measuring.splice(0).forEach((group) => group.classList.remove('measured'));
  for (const section of changedGroups) {
    if (measuring.length >= kGroupsMeasuredAtOnce) {
      break;
    }
    changedGroups.delete(section);
    if (section.isConnected) {
      for (const group of [section, section.parentNode]) {
        if (!group.classList.contains('measured')) {
          group.classList.add('measured');
          measuring.push(group);
        }
      }
    }
  }
  // Laid out in the frame to come; let be again in the one after.
  if (measuring.length) {
    requestAnimationFrame(measureChanged);
  }
};
Module['remeasure'] = (section) => {
  if (!changedGroups.size && !measuring.length) {
    requestAnimationFrame(measureChanged);
  }
  changedGroups.add(section);
};
// For the tests: whether every group changed has been measured anew.
Module['measured'] = () => !changedGroups.size && !measuring.length;

// The box of the one character `range` holds: its widest, of equals the last. An engine may add
// an empty box where the line breaks (WebKit, at the end of the line before a line's first
// character, and before the newline of an empty line, itself empty), so the bounding box would
// lie on two lines.
const characterBox = (range) => {
  const boxes = [...range.getClientRects()];
  return boxes.length ? boxes.reduce((widest, box) => (box.width >= widest.width ? box : widest)) :
                        range.getBoundingClientRect();
};

// Reads the layout of `block` with its section and chapter laid out. Firefox does not lay out
// what it skips (content-visibility: auto) when asked where its text lies; Chromium does.
// They stay laid out until the program's task ends: a repair reads a block again after each
// change, and laying out its section anew each time would cost it most of its time.
const reading = new Set();
const laidOut = (block, read) => {
  // What shows in the box is laid out anyway, and toggling its style would cost the typing.
  const shown = block.getBoundingClientRect();
  const view = block.closest('.output').getBoundingClientRect();
  if (shown.bottom <= view.top || shown.top >= view.bottom) {
    if (!reading.size) {
      queueMicrotask(() => {
        reading.forEach((element) => element.classList.remove('read'));
        reading.clear();
      });
    }
    for (const element of [block.parentNode, block.parentNode.parentNode]) {
      if (!element.classList.contains('read')) {
        element.classList.add('read');
        reading.add(element);
      }
    }
  }
  return read();
};

// Whether a line of the laid-out `text` starts at `at`: its character lies a line below the one
// before.
Module['startsLineAt'] = (text, at) => laidOut(text.parentNode, () => {
  const range = document.createRange();
  const top = (offset) => {
    range.setStart(text, offset);
    range.setEnd(text, offset + 1);
    return characterBox(range).top;
  };
  return top(at) > top(at - 1) + Module['lineHeight'] / 2;
});

// How many lines a block shows: the block's own height, which a range over its text would only
// measure again, at a cost that grows with the lines.
Module['lines'] = (block) =>
  laidOut(block, () => Math.round(block.getBoundingClientRect().height / Module['lineHeight']));

// The layout of a laid-out block's text, read through ranges.
const textLayout = (block) => {
  const text = block.firstChild;
  const range = document.createRange();
  // What the block shows: its text, and the empty line a <br> after a final newline makes. The
  // block's own box, as a range's leaves out lines with nothing but a newline.
  const whole = block.getBoundingClientRect();
  const character = (at) => {
    range.setStart(text, at);
    range.setEnd(text, at + 1);
    return characterBox(range);
  };
  // The first offset in [low, high] whose character's `side` lies at or below `y`, or high.
  const firstAt = (y, low, high, side = 'top') => {
    while (low < high) {
      const middle = low + ((high - low) >> 1);
      if (character(middle)[side] < y) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    return low;
  };
  return {text, whole, character, firstAt};
};

// How many lines a laid-out block has, and where every `every`-th line starts: all a plan of
// cuts needs, for a few probes a cut rather than a few a line.
Module['blockLines'] = (block, every) => {
  const lineHeight = Module['lineHeight'];
  const {text, whole, firstAt} = textLayout(block);
  const lines = Math.round(whole.height / lineHeight);
  const starts = [];
  for (let line = every; line < lines; line += every) {
    const wanted = whole.top + (line - 0.5) * lineHeight;
    starts.push(firstAt(wanted, starts.length ? starts[starts.length - 1] : 0, text.length));
  }
  return {lines, starts};
};

// Where every `every`-th line of a block starts, the block laid out even while off screen.
Module['blockStarts'] = (block, every) =>
  laidOut(block, () => Module['blockLines'](block, every).starts);

// Where the last line of a laid-out block's text starts: its first character whose bottom lies
// below the middle of that line.
Module['lastLineStart'] = (block) => laidOut(block, () => {
  const {text, firstAt} = textLayout(block);
  const range = document.createRange();
  range.selectNodeContents(text);
  return firstAt(range.getBoundingClientRect().bottom - Module['lineHeight'] / 2, 0, text.length,
                 'bottom');
});

// The engine, told by what only it has: Gecko's mouse events tell their source, WebKit's carry a
// force. Any other is taken for Blink's kin, as most engines are.
const engine = 'mozInputSource' in MouseEvent.prototype ? 'gecko' :
    'webkitForce' in MouseEvent.prototype ? 'webkit' : 'blink';

// How each engine's own text box behaves where the output must do as it does, and no page can
// find out before a person does it. Each way with its reason, and the case of tests/web that
// shows it; the program reads the row of the engine it runs in (web/text_box_ways.h).
const textBoxWays = {
  // A triple click selects a paragraph with its newline; Gecko's leaves the newline out.
  // mouse_session_test.py, when_the_mouse_clicks_and_drags_at_random_then_it_selects_as_in...
  paragraphTakesNewline: {gecko: false, blink: true, webkit: true},
  // Where typing ends as its line wraps, the caret stays at the end of the line typed on: in
  // Gecko's always, in Blink's after a typed space (which its line keeps), in WebKit's never.
  // caret_session_test.py, when_typing_ends_where_a_line_wraps_then_the_caret_shows_as_in_a...
  caretEndsTypedLine: {gecko: 'always', blink: 'after a typed space', webkit: 'never'},
  // Gecko's caret stops twice where a line wraps: at its end and at the next line's start.
  // caret_session_test.py, when_left_and_right_cross_a_cut_then_the_caret_stops_as_in_a...
  caretStopsTwiceAtWrap: {gecko: true, blink: false, webkit: false},
  // Ctrl+Left at the start of a paragraph, not empty, leaves the caret where it is in Blink's.
  // caret_session_test.py, when_blocks_end_in_newlines_then_the_caret_crosses_them_as_in_a...
  wordLeftStaysAtParagraphStart: {gecko: false, blink: true, webkit: false},
  // The moves after which a caret landed where a line wraps shows at the end of the line above.
  // caret_session_test.py, when_a_move_by_lines_lands_on_a_cut_then_the_caret_shows_as_in_a...
  movesEndingAtLineEnd: {
    gecko: [],
    blink: ['Shift+ArrowDown', 'Shift+PageDown', 'PageUp'],
    webkit: ['Shift+ArrowDown', 'Shift+PageDown'],
  },
  // Gecko keeps the column Up and Down aim for through a selection set by a script.
  // caret_session_test.py, when_the_box_places_the_caret_then_up_and_down_aim_from_there
  scriptCaretKeepsColumn: {gecko: true, blink: false, webkit: false},
  // Gecko's undo takes back typing with typing, and Backspace and Delete together; Blink's and
  // WebKit's let typing and Delete join any run (web/edit_history.h).
  // caret_session_test.py, when_a_run_of_edits_is_undone_then_each_undo_takes_back_what_a...
  undoGroupsByClass: {gecko: true, blink: false, webkit: false},
};
Module['textBoxWays'] = Object.fromEntries(
    Object.entries(textBoxWays).map(([way, byEngine]) => [way, byEngine[engine]]));

// Where the character (grapheme cluster) before or after `at` in `text` begins or ends; null in
// an engine without grapheme segmentation, where the program steps over a code point.
const graphemes = typeof Intl.Segmenter === 'function' ?
    new Intl.Segmenter(undefined, {granularity: 'grapheme'}) : null;
Module['characterBoundary'] = (text, at, before) => {
  if (!graphemes) {
    return null;
  }
  if (before ? at === 0 : at >= text.length) {
    return at;
  }
  const character = graphemes.segment(text).containing(before ? at - 1 : at);
  return before ? character.index : character.index + character.segment.length;
};

// After main: the window is built and the capture box has the focus.
Module['postRun'] = [() => {
  performance.mark('zentrovax-ready');
  document.body.setAttribute('data-ready', '');
}];
