#include "web/output_selection.h"

#include <algorithm>
#include <string>
#include <vector>

namespace zentrovax {

using emscripten::val;

namespace {

val Selection() {
    return val::global("window").call<val>("getSelection");
}

// The blocks around two: what the keys may move the caret into next, a page away at most.
std::vector<int> Around(int first, int second) {
    constexpr int kReach = 2;
    std::vector<int> blocks;
    for (const int block : {first, second}) {
        for (int near = block - kReach; near <= block + kReach; ++near) {
            if (std::find(blocks.begin(), blocks.end(), near) == blocks.end()) {
                blocks.push_back(near);
            }
        }
    }
    return blocks;
}

}  // namespace

std::optional<std::pair<int, int>> OutputSelection::Ends() const {
    const val selection = Selection();
    if (selection["rangeCount"].as<int>() == 0) {
        return std::nullopt;
    }
    const int anchor =
        blocks_.OffsetOf(selection["anchorNode"], selection["anchorOffset"].as<int>());
    const int focus = blocks_.OffsetOf(selection["focusNode"], selection["focusOffset"].as<int>());
    if (anchor < 0 || focus < 0) {
        return std::nullopt;
    }
    return std::pair{anchor, focus};
}

std::optional<std::pair<int, int>> OutputSelection::Range() const {
    const val selection = Selection();
    if (selection["rangeCount"].as<int>() == 0) {
        return std::nullopt;
    }
    return RangeOf(selection.call<val>("getRangeAt", 0));
}

std::optional<std::pair<int, int>> OutputSelection::RangeOf(const val& range) const {
    const int from = blocks_.OffsetOf(range["startContainer"], range["startOffset"].as<int>());
    const int to = blocks_.OffsetOf(range["endContainer"], range["endOffset"].as<int>());
    if (from < 0 || to < 0) {
        return std::nullopt;
    }
    return std::pair{std::min(from, to), std::max(from, to)};
}

void OutputSelection::Select(int anchor, int focus) {
    const BlockCuts::Place place = blocks_.Locate(focus, true);
    Set(blocks_.Locate(anchor, true), place);
    Show(place);
}

void OutputSelection::Restore(int anchor, int focus, bool focus_upstream) {
    Set(blocks_.Locate(anchor, true), blocks_.Locate(focus, !focus_upstream));
}

void OutputSelection::Set(const BlockCuts::Place& anchor, const BlockCuts::Place& focus) {
    blocks_.KeepLaidOut(Around(anchor.block, focus.block));
    val selection = Selection();
    selection.call<void>("setBaseAndExtent", blocks_.TextNode(anchor.block), anchor.offset,
                         blocks_.TextNode(focus.block), focus.offset);
    // Firefox keeps the column that Up and Down aim for through a selection set by a script,
    // where its text box would take the new one; a move of the focus there and back forgets it.
    if (ways_.script_caret_keeps_column) {
        const bool at_end = focus.block == blocks_.Count() - 1 &&
                            focus.offset == blocks_.TextNode(focus.block)["length"].as<int>();
        if (!at_end || blocks_.Length() > 0) {
            selection.call<void>("modify", val("extend"), val(at_end ? "backward" : "forward"),
                                 val("character"));
            selection.call<void>("modify", val("extend"), val(at_end ? "forward" : "backward"),
                                 val("character"));
        }
    }
}

void OutputSelection::PlaceCaretAfterInsertion(int offset, bool typed) {
    // Where the inserted text ends on a wrap, a text box may keep the caret at the end of the line
    // it typed on, and Up and Down go from there: Firefox's always, Chromium's after a typed
    // space (which its line keeps) but not after a pasted one, WebKit's never. A caret placed by a
    // script, or moved onto the offset by a character, takes the start of the next line instead; a
    // move to the end of the line it ends takes the end of the line.
    const BlockCuts::Place place = blocks_.Locate(offset, false);
    blocks_.KeepLaidOut(Around(place.block, place.block));
    const val text = blocks_.TextNode(place.block);
    val selection = Selection();
    const int before =
        place.offset > 0 ? text["data"].call<int>("charCodeAt", place.offset - 1) : '\n';
    using TypedLineEnd = TextBoxWays::TypedLineEnd;
    if (before != '\n' && (ways_.caret_ends_typed_line == TypedLineEnd::kAlways ||
                           (ways_.caret_ends_typed_line == TypedLineEnd::kAfterTypedSpace &&
                            typed && before == ' '))) {
        selection.call<void>("collapse", text, place.offset - 1);
        selection.call<void>("modify", val("move"), val("forward"), val("lineboundary"));
    }
    if (!selection["focusNode"].strictlyEquals(text) ||
        selection["focusOffset"].as<int>() != place.offset) {
        selection.call<void>("collapse", text, place.offset);
    }
    Show(place);
}

void OutputSelection::KeepLaidOut() {
    const val selection = Selection();
    if (selection["rangeCount"].as<int>() == 0) {
        return;
    }
    const int anchor = blocks_.BlockOf(selection["anchorNode"]);
    const int focus = blocks_.BlockOf(selection["focusNode"]);
    if (anchor >= 0 && focus >= 0) {
        blocks_.KeepLaidOut(Around(anchor, focus));
    }
}

void OutputSelection::Show(const BlockCuts::Place& place) {
    val range = val::global("document").call<val>("createRange");
    range.call<void>("setStart", blocks_.TextNode(place.block), place.offset);
    const val caret = range.call<val>("getBoundingClientRect");
    const val box = element_.call<val>("getBoundingClientRect");
    const double top = caret["top"].as<double>();
    const double bottom = caret["bottom"].as<double>();
    if (caret["height"].as<double>() == 0) {
        val options = val::object();
        options.set("block", "nearest");
        blocks_.Block(place.block).call<void>("scrollIntoView", options);
    } else if (top < box["top"].as<double>()) {
        element_.set("scrollTop",
                     element_["scrollTop"].as<double>() - (box["top"].as<double>() - top));
    } else if (bottom > box["bottom"].as<double>()) {
        element_.set("scrollTop",
                     element_["scrollTop"].as<double>() + (bottom - box["bottom"].as<double>()));
    }
}

}  // namespace zentrovax
