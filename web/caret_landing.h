// Where the caret lands after the keys that move it in the paused output (Linux's is
// qt/caret_landing.h): where the browser's own move would stop
// short in text it skipped, count a cut as a place of its own, or go where the browser's own
// text box would not, the move is made or prepared here; every other move is the browser's.
#pragma once

#include <emscripten/val.h>

#include <utility>

#include "web/block_cuts.h"
#include "web/output_selection.h"
#include "web/text_box_ways.h"

namespace zentrovax {

// For the keydown `event` of an arrow, page, Home or End key, before the browser's own move,
// which does not follow if the move is made here. True when the browser's move is one after
// which its text box shows a caret landed where a line wraps at the end of the line above:
// ShowAtLineEndIfOnCut is then due once the move is made.
[[nodiscard]] bool PrepareCaretMove(const emscripten::val& event, const BlockCuts& blocks,
                                    OutputSelection& selection, const TextBoxWays& ways);

// A caret (or a selection's moving end) at the start of a block that goes on with the line
// before it moves to the end of that line, the same offset in the text. The browser has no
// such place in a single block: there it is the same position with another affinity.
void ShowAtLineEndIfOnCut(const BlockCuts& blocks);

// A move of the browser's own after which ShowAtLineEndIfOnCut is due (PrepareCaretMove says
// which): once the browser has made it, when the page is next idle or at the next key, whichever
// comes first. Whatever places the caret itself (an edit, the mouse, the end of editing) drops it.
class LineEndMove {
  public:
    void Expect() { due_ = true; }
    void Drop() { due_ = false; }
    // Whether it was due; either way it is not any more.
    [[nodiscard]] bool Take() { return std::exchange(due_, false); }

  private:
    bool due_ = false;
};

}  // namespace zentrovax
