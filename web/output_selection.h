// The page's selection inside the output, as offsets in its text: read from the DOM, and set
// with the text around its ends laid out, so that the browser's own moves from there land as
// in one paragraph. It knows the blocks and nothing of keys or edits.
#pragma once

#include <emscripten/val.h>

#include <optional>
#include <utility>

#include "web/block_cuts.h"
#include "web/text_box_ways.h"

namespace zentrovax {

class OutputSelection {
  public:
    OutputSelection(emscripten::val element, BlockCuts& blocks, const TextBoxWays& ways)
        : element_(std::move(element)), blocks_(blocks), ways_(ways) {}

    // The anchor and the focus, in that order; none when the selection lies elsewhere.
    [[nodiscard]] std::optional<std::pair<int, int>> Ends() const;
    // From the first offset to the last.
    [[nodiscard]] std::optional<std::pair<int, int>> Range() const;
    [[nodiscard]] std::optional<std::pair<int, int>> RangeOf(const emscripten::val& range) const;

    // Selects from `anchor` to `focus`, and keeps the focus end in view.
    void Select(int anchor, int focus);
    void PlaceCaret(int offset) { Select(offset, offset); }
    // The caret after text just inserted, which ends at `offset`; `typed` if typed rather than
    // pasted or redone.
    void PlaceCaretAfterInsertion(int offset, bool typed = false);
    // Selects from `anchor` to `focus` where it stands, as a change that rebuilt the blocks
    // found it, or as a triple click selects; `focus_upstream` ends it in the block before a
    // cut that it falls on.
    void Restore(int anchor, int focus, bool focus_upstream = false);
    // Lays out the text around the selection's ends before a key moves them, not as they move:
    // a block restyled between the clicks of a double click loses WebKit the word under them.
    void KeepLaidOut();

  private:
    void Set(const BlockCuts::Place& anchor, const BlockCuts::Place& focus);
    // Scrolls the output so that a place in its text shows, as a text box keeps its caret.
    void Show(const BlockCuts::Place& place);

    emscripten::val element_;
    BlockCuts& blocks_;
    const TextBoxWays& ways_;
};

}  // namespace zentrovax
