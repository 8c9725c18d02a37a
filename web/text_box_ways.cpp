#include "web/text_box_ways.h"

#include <emscripten/val.h>

namespace zentrovax {

TextBoxWays TextBoxWays::OfThisEngine() {
    using emscripten::val;
    const val row = val::module_property("textBoxWays");
    const std::string typed_line_end = row["caretEndsTypedLine"].as<std::string>();
    return {
        .paragraph_takes_newline = row["paragraphTakesNewline"].as<bool>(),
        .caret_ends_typed_line = typed_line_end == "always" ? TypedLineEnd::kAlways
                                 : typed_line_end == "after a typed space"
                                     ? TypedLineEnd::kAfterTypedSpace
                                     : TypedLineEnd::kNever,
        .caret_stops_twice_at_wrap = row["caretStopsTwiceAtWrap"].as<bool>(),
        .word_left_stays_at_paragraph_start = row["wordLeftStaysAtParagraphStart"].as<bool>(),
        .moves_ending_at_line_end =
            emscripten::vecFromJSArray<std::string>(row["movesEndingAtLineEnd"]),
        .script_caret_keeps_column = row["scriptCaretKeepsColumn"].as<bool>(),
        .undo_groups_by_class = row["undoGroupsByClass"].as<bool>(),
    };
}

}  // namespace zentrovax
