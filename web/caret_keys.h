// The keys that move the caret in the paused output: where the browser's own move would stop
// short in text it skipped, count a cut as a place of its own, or go where the browser's own
// text box would not, the move is made or prepared here; every other move is the browser's.
#pragma once

#include <emscripten/val.h>

#include "web/blocks.h"
#include "web/output_selection.h"

namespace zentrovax {

// For the keydown `event` of an arrow, page, Home or End key, before the browser's own move,
// which does not follow if the move is made here.
void PrepareCaretMove(const emscripten::val& event, const Blocks& blocks,
                      OutputSelection& selection);

}  // namespace zentrovax
