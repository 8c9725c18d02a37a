// What the browser's layout says of a block <div> holding one text node: how many lines it has
// and where they start, read with the block laid out even while it is off screen (page.js).
// Offsets count UTF-16 units, as the DOM does.
#pragma once

#include <emscripten/val.h>

#include <vector>

#include "output/cut_plan.h"

namespace zentrovax {

[[nodiscard]] int LinesOf(const emscripten::val& block);
// Where its lines kLinesPerBlock, 2 * kLinesPerBlock, ... start: where it would be cut.
[[nodiscard]] std::vector<int> BlockStartsOf(const emscripten::val& block);
[[nodiscard]] int LastLineStartOf(const emscripten::val& block);
// Whether a line of the block starts at `offset`; at its very start or end, one does.
[[nodiscard]] bool StartsLine(const emscripten::val& block, int offset);
// Whether the block's first word (output/line_breaks.h) ends before `offset`: an edit from there
// on leaves the line before the block as it was.
[[nodiscard]] bool FirstWordEndsBefore(const emscripten::val& block, int offset);

// A block laid out on its own, `length` units of `text` from `start`: its lines, and where its
// lines kLinesPerBlock, 2 * kLinesPerBlock, ... start. `measure` is a block in the flow, as wide
// as the others.
[[nodiscard]] BlockLines Measure(emscripten::val measure, const emscripten::val& text, int start,
                                 int length);

}  // namespace zentrovax
