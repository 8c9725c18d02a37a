#include "web/caret_landing.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace zentrovax {

using emscripten::val;

namespace {

val WindowSelection() {
    return val::global("window").call<val>("getSelection");
}

// Moves the caret, or the moving end of a selection when `extend`, to `at` in `text`.
void MoveFocus(val& selection, const val& text, int at, bool extend) {
    selection.call<void>(extend ? "extend" : "collapse", text, at);
}

// A caret about to cross a cut by Left or Right moves to the same offset on the other side.
void HopOverCut(const BlockCuts& blocks, const TextBoxWays& ways, bool left, bool extend) {
    // A caret that stops twice where a line wraps (Firefox's) does so at a cut too, and the
    // browser's own move is right there.
    if (ways.caret_stops_twice_at_wrap) {
        return;
    }
    val selection = WindowSelection();
    if (selection["rangeCount"].as<int>() == 0 ||
        (!extend && !selection["isCollapsed"].as<bool>())) {
        return;
    }
    const val node = selection["focusNode"];
    const int block = blocks.BlockOf(node);
    if (block < 0 || node["nodeType"].as<int>() != 3) {
        return;
    }
    const int offset = selection["focusOffset"].as<int>();
    int to = -1;
    // Across a hidden newline the browser's own move takes the newline, as it should.
    if (left && offset == 0 && block > 0 && !blocks.HidesNewline(block - 1)) {
        to = block - 1;
    } else if (!left && offset == blocks.LengthOf(block) && block + 1 < blocks.Count()) {
        to = block + 1;
    } else {
        return;
    }
    // The same place in the text, on the side the caret goes on to; the browser's own move
    // then starts from there.
    MoveFocus(selection, blocks.TextNode(to), left ? blocks.LengthOf(to) : 0, extend);
}

// Whether the browser's text box, after this key's move, shows a caret that landed where a line
// wraps at the end of the line above.
bool EndsAtLineEnd(const val& event, const std::string& key, const TextBoxWays& ways) {
    const std::string move = (event["shiftKey"].as<bool>() ? "Shift+" : "") + key;
    return std::find(ways.moves_ending_at_line_end.begin(), ways.moves_ending_at_line_end.end(),
                     move) != ways.moves_ending_at_line_end.end();
}

}  // namespace

void ShowAtLineEndIfOnCut(const BlockCuts& blocks) {
    val selection = WindowSelection();
    if (selection["rangeCount"].as<int>() == 0 || selection["focusOffset"].as<int>() != 0) {
        return;
    }
    const int block = blocks.BlockOf(selection["focusNode"]);
    if (block <= 0 || blocks.HidesNewline(block - 1)) {
        return;
    }
    // A raw move: the column that Up and Down aim for stays the one the key's move aimed for.
    MoveFocus(selection, blocks.TextNode(block - 1), blocks.LengthOf(block - 1),
              !selection["isCollapsed"].as<bool>());
}

bool PrepareCaretMove(const val& event, const BlockCuts& blocks, OutputSelection& selection,
                      const TextBoxWays& ways) {
    selection.KeepLaidOut();
    const std::string key = event["key"].as<std::string>();
    // The start and the end of the whole text (Ctrl+Home and Ctrl+End; Cmd+Up and Cmd+Down on a
    // Mac) lie in text the browser has not laid out, where its own move would stop short.
    const bool ctrl = event["ctrlKey"].as<bool>();
    const bool meta = event["metaKey"].as<bool>();
    const bool to_start = (ctrl && key == "Home") || (meta && key == "ArrowUp");
    const bool to_end = (ctrl && key == "End") || (meta && key == "ArrowDown");
    if (to_start || to_end) {
        event.call<void>("preventDefault");
        const int target = to_end ? blocks.Length() : 0;
        const auto anchor = event["shiftKey"].as<bool>() ? selection.Ends() : std::nullopt;
        selection.Select(anchor ? anchor->first : target, target);
        return false;
    }
    // Chromium's text box does not move a caret at the start of a paragraph a word back, unless
    // the paragraph is empty.
    if (ways.word_left_stays_at_paragraph_start && ctrl && key == "ArrowLeft") {
        const auto ends = selection.Ends();
        const auto at_paragraph_start = [&blocks](int at) {
            if (at == 0 || at == blocks.Length()) {
                return false;
            }
            const std::string around = blocks.Text(at - 1, at + 1).as<std::string>();
            return around.front() == '\n' && around.back() != '\n';
        };
        if (ends && (ends->first == ends->second || event["shiftKey"].as<bool>()) &&
            at_paragraph_start(ends->second)) {
            event.call<void>("preventDefault");
            return false;
        }
    }
    if (!meta && (key == "ArrowLeft" || key == "ArrowRight")) {
        HopOverCut(blocks, ways, key == "ArrowLeft", event["shiftKey"].as<bool>());
    }
    return !ctrl && !meta && EndsAtLineEnd(event, key, ways);
}

}  // namespace zentrovax
