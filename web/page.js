// What the C++ side asks of the page in JavaScript: to listen to events, and to find where lines
// start, which takes a few dozen layout queries a line and so is done here, without a call
// across from WebAssembly for each.

// Each `type` event of `target` goes to one function the program exports by name.
Module['listen'] = (target, type, handler) =>
    target.addEventListener(type, (event) => Module[handler](event));

// Calls the function the program exports as `handler` whenever the page's zoom (its device
// pixels per CSS pixel) changes. Browsers tell it in different ways: by a media query's change,
// by a resize, or by a change of `element`'s size in device pixels.
Module['onZoom'] = (element, handler) => {
  let ratio = devicePixelRatio;
  const check = () => {
    if (devicePixelRatio !== ratio) {
      ratio = devicePixelRatio;
      watch();
      Module[handler]();
    }
  };
  const watch = () => matchMedia(`(resolution: ${ratio}dppx)`)
      .addEventListener('change', check, {once: true});
  watch();
  addEventListener('resize', check);
  new ResizeObserver(check).observe(element, {box: 'device-pixel-content-box'});
};

// The layout of a block's text, read through ranges: a block off screen keeps an assumed size,
// but its text is laid out when asked where it lies.
const textLayout = (block) => {
  const text = block.firstChild;
  const range = document.createRange();
  // What the block shows: its text, and the empty line a <br> after a final newline makes.
  range.selectNodeContents(block);
  const whole = range.getBoundingClientRect();
  const character = (at) => {
    range.setStart(text, at);
    range.setEnd(text, at + 1);
    return range.getBoundingClientRect();
  };
  // The first offset in [low, high] whose character's `edge` lies at or below `y`, or high.
  const firstAt = (y, low, high, edge = 'top') => {
    while (low < high) {
      const middle = low + ((high - low) >> 1);
      if (character(middle)[edge] < y) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    return low;
  };
  return {text, whole, character, firstAt};
};

// Where each line of a laid-out block's text starts, from 0. The first character of line k is
// the first whose top lies below the middle of line k - 1; the tops never go up. Lines are much
// alike, so each search starts where the last line's length says and widens from there.
Module['lineStarts'] = (block, lineHeight) => {
  const {text, whole, character, firstAt} = textLayout(block);
  const lines = Math.round(whole.height / lineHeight);
  const starts = [0];
  for (let line = 1; line < lines; ++line) {
    const wanted = whole.top + (line - 0.5) * lineHeight;
    const last = starts[starts.length - 1];
    const guess = last + (starts.length > 1 ? last - starts[starts.length - 2] : 48);
    // The start lies in [low, high]; a few probes around the guess usually bracket it.
    let low = last + 1;
    let high = text.length;
    for (let reach = 4; low < high; reach *= 4) {
      const below = Math.min(Math.max(low, guess - reach), high);
      const above = Math.max(Math.min(high, guess + reach), below);
      if (below > low && character(below - 1).top >= wanted) {
        high = below - 1;
      } else if (above < high && character(above).top < wanted) {
        low = above + 1;
      } else {
        low = below;
        high = above;
        break;
      }
    }
    const start = firstAt(wanted, low, high);
    if (start >= text.length) {
      break;  // a last line that holds only a newline's end
    }
    starts.push(start);
  }
  return starts;
};

// How many lines a laid-out block has, and where every `every`-th line starts: all a plan of
// cuts needs, for a few probes a cut rather than a few a line.
Module['blockLines'] = (block, lineHeight, every) => {
  const {text, whole, firstAt} = textLayout(block);
  const lines = Math.round(whole.height / lineHeight);
  const starts = [];
  for (let line = every; line < lines; line += every) {
    const wanted = whole.top + (line - 0.5) * lineHeight;
    starts.push(firstAt(wanted, starts.length ? starts[starts.length - 1] : 0, text.length));
  }
  return {lines, starts};
};

// Where the last line of a laid-out block's text starts: its first character whose bottom lies
// below the middle of that line.
Module['lastLineStart'] = (block, lineHeight) => {
  const {text, firstAt} = textLayout(block);
  const range = document.createRange();
  range.selectNodeContents(text);
  return firstAt(range.getBoundingClientRect().bottom - lineHeight / 2, 0, text.length, 'bottom');
};

// Where the character (grapheme cluster) before or after `at` in `text` begins or ends.
const graphemes = new Intl.Segmenter(undefined, {granularity: 'grapheme'});
Module['characterEdge'] = (text, at, before) => {
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
