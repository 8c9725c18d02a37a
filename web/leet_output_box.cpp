#include "web/leet_output_box.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "output/narrowest_change.h"
#include "output/typed_text.h"
#include "web/caret_landing.h"
#include "web/deletion.h"

namespace zentrovax {

using emscripten::val;

namespace {

val Selection() {
    return val::global("window").call<val>("getSelection");
}

// Text from outside ends its lines as the output does, with "\n" alone.
val PlainLines(const val& text) {
    return text.call<val>("replaceAll", val("\r\n"), val("\n"))
        .call<val>("replaceAll", val("\r"), val("\n"));
}

}  // namespace

LeetOutputBox::LeetOutputBox(val element, std::function<void()> ask_for_idle)
    : ways_(TextBoxWays::OfThisEngine()),
      element_(element),
      blocks_(element),
      selection_(std::move(element), blocks_, ways_),
      history_(ways_.undo_groups_by_class ? History::Grouping::kByClass
                                          : History::Grouping::kIntoOpenStep),
      ask_for_idle_(std::move(ask_for_idle)) {}

void LeetOutputBox::Append(std::string_view text) {
    blocks_.Append(text);
    ShowComposingText();
}

void LeetOutputBox::SetComposingText(std::string_view text) {
    composing_text_ = text;
    ShowComposingText();
}

void LeetOutputBox::ShowComposingText() {
    const val last = blocks_.Block(blocks_.Count() - 1);
    if (!composing_block_.isNull() && !composing_block_.strictlyEquals(last)) {
        composing_block_.call<void>("removeAttribute", val("data-composing"));
    }
    if (composing_text_.empty()) {
        last.call<void>("removeAttribute", val("data-composing"));
        composing_block_ = val::null();
    } else {
        last.call<void>("setAttribute", val("data-composing"), val(composing_text_));
        composing_block_ = last;
    }
}

void LeetOutputBox::ShowEnd() {
    // Only where the view is not there already: WebKit takes even a scroll to where the view
    // stands as a scroll, and checks every section's place at the next layout (3 ms at 4 MB).
    const double end =
        element_["scrollHeight"].as<double>() - element_["clientHeight"].as<double>();
    if (std::abs(element_["scrollTop"].as<double>() - end) >= 1) {
        element_.set("scrollTop", end);
    }
}

bool LeetOutputBox::ViewIsAtEnd() const {
    // Where the text ends, not the scroll height, which counts the blocks out of view at the
    // size they are assumed to have until shown. Read before the change, from the layout of
    // the last frame; a zoomed page places by fractions of a pixel.
    const double end = blocks_.Block(blocks_.Count() - 1)
                           .call<val>("getBoundingClientRect")["bottom"]
                           .as<double>();
    return end <= element_.call<val>("getBoundingClientRect")["bottom"].as<double>() + 1;
}

std::string LeetOutputBox::Text() const {
    // textContent joins the text nodes with nothing between them: exactly the typed text.
    return element_["textContent"].as<std::string>();
}

void LeetOutputBox::SetText(std::string_view text) {
    blocks_.SetText(val(std::string(text)));
    history_.Clear();
    ShowComposingText();
}

void LeetOutputBox::SetEditable(bool editable) {
    editable_ = editable;
    history_.Clear();
    composition_.reset();
    line_end_move_.Drop();
    element_.call<void>("setAttribute", val("contenteditable"),
                        editable ? val::module_property("plainTextEditing") : val("false"));
    element_.call<void>("setAttribute", val("aria-readonly"), val(editable ? "false" : "true"));
}

void LeetOutputBox::OnBeforeInput(val event) {
    line_end_move_.Drop();  // an edit places the caret itself
    const std::string type = event["inputType"].as<std::string>();
    if (editable_ && type == "insertCompositionText") {
        return;  // cannot be cancelled; see OnCompositionEnd
    }
    event.call<void>("preventDefault");
    if (!editable_) {
        return;
    }
    if (type == "historyUndo") {
        Undo();
        return;
    }
    if (type == "historyRedo") {
        Redo();
        return;
    }
    const val targets = event.call<val>("getTargetRanges");
    std::optional<std::pair<int, int>> range = selection_.Range();
    const bool character = type == "deleteContentBackward" || type == "deleteContentForward";
    if (range && range->first != range->second) {
        // What is selected is what any edit replaces: WebKit's target range after Select All
        // leaves the first block out.
    } else if (character && range) {
        // The browser takes a newline that ends a block for nothing and skips it.
        range = CharacterBeside(blocks_, range->first, type == "deleteContentBackward");
    } else if (targets["length"].as<int>() > 0) {
        if (const auto target = selection_.RangeOf(targets[0])) {
            range = target;
        }
    }
    if (!range) {
        return;
    }
    auto [from, to] = *range;
    if (type.starts_with("insert")) {
        val text = val::null();
        if (type == "insertParagraph" || type == "insertLineBreak") {
            text = val("\n");
        } else if (event["data"].isString()) {
            text = event["data"];
        } else if (!event["dataTransfer"].isNull() && !event["dataTransfer"].isUndefined()) {
            text = event["dataTransfer"].call<val>("getData", val("text/plain"));
        } else {
            return;
        }
        const bool typed = type == "insertText" || text.strictlyEquals(val("\n"));
        Edit(typed ? History::Kind::kTyping : History::Kind::kOther, from, to, PlainLines(text));
    } else if (type.starts_with("delete")) {
        if (from == to) {
            const auto across = DeletionAcrossCut(blocks_, selection_, from, type);
            if (!across) {
                return;
            }
            std::tie(from, to) = *across;
        }
        const History::Kind kind =
            type == "deleteContentBackward"  ? History::Kind::kDeletingBackward
            : type == "deleteContentForward" ? History::Kind::kDeletingForward
                                             : History::Kind::kOther;
        Edit(kind, from, to, val(""));
    }
    // Anything else (formatting, above all) has no place in plain text.
}

void LeetOutputBox::OnKeyDown(const val& event) {
    if (!editable_ || event["altKey"].as<bool>()) {
        return;
    }
    // Keys can come faster than the page is idle, a held one above all.
    if (line_end_move_.Take()) {
        ShowAtLineEndIfOnCut(blocks_);
    }
    const std::string key = event["key"].as<std::string>();
    // The browser offers undo only for edits it made itself, and this box makes its own.
    if (event["ctrlKey"].as<bool>() || event["metaKey"].as<bool>()) {
        const bool shift = event["shiftKey"].as<bool>();
        if (key == "z" || key == "Z" || key == "y" || key == "Y") {
            event.call<void>("preventDefault");
            if ((key == "z" || key == "Z") && !shift) {
                Undo();
            } else {
                Redo();
            }
            return;
        }
    }
    if (key.starts_with("Arrow") || key.starts_with("Page") || key == "Home" || key == "End") {
        history_.Close();  // typing after the caret moved is a step of its own
        if (PrepareCaretMove(event, blocks_, selection_, ways_)) {
            line_end_move_.Expect();  // the browser's move is made before the page is idle
            AskForIdle();
        }
    }
}

void LeetOutputBox::OnCopy(val event, bool cut) {
    const auto range = selection_.Range();
    if (!range || range->first == range->second) {
        return;
    }
    event["clipboardData"].call<void>("setData", val("text/plain"),
                                      blocks_.Text(range->first, range->second));
    event.call<void>("preventDefault");
    if (cut && editable_) {
        Edit(History::Kind::kOther, range->first, range->second, val(""));
    }
}

void LeetOutputBox::OnCompositionStart() {
    if (!editable_) {
        return;
    }
    // What the composition replaces is taken away first, so that it composes in one block.
    if (const auto range = selection_.Range(); range && range->first != range->second) {
        Edit(History::Kind::kOther, range->first, range->second, val(""));
    }
    const val selection = Selection();
    const int block =
        selection["rangeCount"].as<int>() > 0 ? blocks_.BlockOf(selection["focusNode"]) : -1;
    if (block >= 0) {
        composition_ = Composition{block, blocks_.Block(block)["textContent"]};
    }
}

void LeetOutputBox::OnCompositionEnd() {
    if (!composition_ || !editable_) {
        return;
    }
    const int block = composition_->block;
    const std::string before = composition_->text.as<std::string>();
    const std::string after = blocks_.Block(block)["textContent"].as<std::string>();
    composition_.reset();
    const SameEnds same = SameEndsOf(std::string_view(before), std::string_view(after));
    const std::size_t prefix = same.same_start;
    const std::size_t suffix = same.same_end;
    const std::string removed = before.substr(prefix, before.size() - suffix - prefix);
    const std::string inserted = after.substr(prefix, after.size() - suffix - prefix);
    const int offset =
        blocks_.StartOf(block) + Utf16Length(std::string_view(after).substr(0, prefix));
    blocks_.Resync(block);
    history_.Record(History::Kind::kOther, {offset, val(removed), Utf16Length(removed),
                                            val(inserted), Utf16Length(inserted)});
    selection_.PlaceCaretAfterInsertion(offset + Utf16Length(inserted));
    ScheduleRepair();
}

void LeetOutputBox::OnIdle() {
    idle_asked_ = false;
    const bool to_line_end = line_end_move_.Take();
    if (composition_) {
        ScheduleRepair();  // an input method's text must stay where it is meanwhile
        return;
    }
    if (blocks_.HasStaleCuts()) {
        KeepingSelection([this] {
            RepairStaleCuts(blocks_, RepairLimit::Slice([] {
                                return val::module_property("inputPending")().as<bool>();
                            }));
        });
        ScheduleRepair();
    }
    // After the repair, which keeps the selection as offsets, at a cut at the start of a block.
    if (to_line_end) {
        ShowAtLineEndIfOnCut(blocks_);
    }
}

void LeetOutputBox::Recut() {
    KeepingSelection([this] { blocks_.Recut(); });
    ShowComposingText();
}

template <typename Change>
void LeetOutputBox::KeepingSelection(Change change) {
    // The change moves text between blocks: the selection is kept as offsets in the text.
    const auto ends = selection_.Ends();
    change();
    if (ends) {
        selection_.Restore(ends->first, ends->second);
    }
}

void LeetOutputBox::OnMouseDown(const val& event) {
    line_end_move_.Drop();  // the mouse places the caret itself
    if (!editable_ || event["detail"].as<int>() != 3) {
        return;
    }
    // The double click before has selected the word under the mouse, in the paragraph wanted.
    const auto word = selection_.Range();
    if (!word) {
        return;
    }
    event.call<void>("preventDefault");
    const int at = word->first;
    const int start = blocks_.ParagraphStart(at);
    int end = blocks_.ParagraphEnd(at);
    // Chromium's and WebKit's text boxes take the newline with the paragraph, Firefox's not.
    if (end < blocks_.Length() && ways_.paragraph_takes_newline) {
        ++end;
    }
    selection_.Restore(start, end, true);
}

void LeetOutputBox::ScheduleRepair() {
    // The box makes every edit itself, and its undo history holds none of the repair's changes.
    if (blocks_.HasStaleCuts() && RepairsWhileIdle(editable_, false)) {
        AskForIdle();
    }
}

void LeetOutputBox::AskForIdle() {
    if (!idle_asked_) {
        idle_asked_ = true;
        ask_for_idle_();
    }
}

void LeetOutputBox::Edit(History::Kind kind, int from, int to, const val& text) {
    const int length = text["length"].as<int>();
    history_.Record(kind, {from, blocks_.Text(from, to), to - from, text, length});
    blocks_.Replace(from, to, text);
    if (length > 0) {
        selection_.PlaceCaretAfterInsertion(from + length, kind == History::Kind::kTyping);
    } else {
        selection_.PlaceCaret(from);
    }
    ScheduleRepair();
}

void LeetOutputBox::Undo() {
    if (const auto caret = history_.Undo(Replacer())) {
        selection_.PlaceCaret(*caret);
        ScheduleRepair();
    }
}

void LeetOutputBox::Redo() {
    if (const auto caret = history_.Redo(Replacer())) {
        selection_.PlaceCaretAfterInsertion(*caret);
        ScheduleRepair();
    }
}

}  // namespace zentrovax
