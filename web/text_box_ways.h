// How this engine's own text box behaves where the output must do as it does: the row of the
// table in page.js for the engine the page runs in, read once.
#pragma once

#include <string>
#include <vector>

namespace zentrovax {

struct TextBoxWays {
    // A triple click selects a paragraph with its newline.
    bool paragraph_takes_newline = true;
    // Where typing ends as its line wraps, the caret stays at the end of the line typed on.
    enum class TypedLineEnd { kAlways, kAfterTypedSpace, kNever };
    TypedLineEnd caret_ends_typed_line = TypedLineEnd::kNever;
    // The caret stops twice where a line wraps: at its end and at the next line's start.
    bool caret_stops_twice_at_wrap = false;
    // Ctrl+Left at the start of a paragraph leaves the caret where it is.
    bool word_left_stays_at_paragraph_start = false;
    // The moves ("Shift+ArrowDown", "PageUp") after which a caret landed where a line wraps
    // shows at the end of the line above.
    std::vector<std::string> moves_ending_at_line_end;
    // The column Up and Down aim for outlasts a selection set by a script.
    bool script_caret_keeps_column = false;
    // Undo takes back typing with typing, Backspace and Delete together (edit_history.h).
    bool undo_groups_by_class = false;

    [[nodiscard]] static TextBoxWays OfThisEngine();
};

}  // namespace zentrovax
