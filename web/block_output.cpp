#include "web/block_output.h"

#include <cmath>
#include <vector>

#include "output/cut_plan.h"

namespace zentrovax {

using emscripten::val;

namespace {

// The output's line height in CSS pixels (zentrovax.css): with it fixed, line k of a block
// starts k line heights below the block's top, so lines are counted without walking them.
constexpr double kLineHeight = 15.0;

int Lines(const val& block) {
    return static_cast<int>(std::lround(block["offsetHeight"].as<double>() / kLineHeight));
}

val LastTextNode(val& document, val& block) {
    val last = block["lastChild"];
    // Text node: 3. An edit may have emptied the block of it, or ended it with a <br>.
    if (last.isNull() || last["nodeType"].as<int>() != 3) {
        val text = document.call<val>("createTextNode", val(""));
        block.call<void>("append", text);
        return text;
    }
    return last;
}

}  // namespace

BlockOutput::BlockOutput(val element)
    : element_(std::move(element)), document_(val::global("document")), last_block_(NewBlock("")) {
    element_.call<void>("append", last_block_);
}

val BlockOutput::NewBlock(std::string_view text) {
    val block = document_.call<val>("createElement", val("div"));
    block.set("className", "block");
    block.call<void>("append", document_.call<val>("createTextNode", val(std::string(text))));
    return block;
}

void BlockOutput::Append(std::string_view text) {
    // An edit while paused may have merged the last block into another one.
    last_block_ = element_["lastElementChild"];
    if (last_block_.isNull()) {
        last_block_ = NewBlock("");
        element_.call<void>("append", last_block_);
    }
    LastTextNode(document_, last_block_).call<void>("appendData", val(std::string(text)));
    CutLastBlockIfLong();
    // Follow the end, as a terminal does.
    element_.set("scrollTop", element_["scrollHeight"]);
}

std::string BlockOutput::Text() const {
    // textContent joins the text nodes with nothing between them: exactly the typed text.
    return element_["textContent"].as<std::string>();
}

void BlockOutput::SetText(std::string_view text) {
    element_.call<void>("replaceChildren", NewBlock(text));
    Recut();
}

void BlockOutput::SetEditable(bool editable) {
    element_.call<void>("setAttribute", val("contenteditable"),
                        val(editable ? "plaintext-only" : "false"));
    element_.call<void>("setAttribute", val("aria-readonly"), val(editable ? "false" : "true"));
}

int BlockOutput::LineStart(const val& block, int line) const {
    val text = block["firstChild"];
    const int length = text["length"].as<int>();
    const double wanted =
        block.call<val>("getBoundingClientRect")["top"].as<double>() + (line - 0.5) * kLineHeight;
    val range = document_.call<val>("createRange");
    // The first character whose top is on or below the line: the tops never go up.
    int low = 0;
    int high = length;
    while (low < high) {
        const int middle = (low + high) / 2;
        range.call<void>("setStart", text, middle);
        range.call<void>("setEnd", text, middle + 1);
        if (range.call<val>("getBoundingClientRect")["top"].as<double>() < wanted) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

void BlockOutput::CutLastBlockIfLong() {
    if (Lines(last_block_) <= kMostLinesPerBlock) {
        return;
    }
    last_block_.call<void>("normalize");
    const int cut = LineStart(last_block_, kLinesPerBlock);
    val rest = last_block_["firstChild"].call<val>("splitText", cut);
    val block = document_.call<val>("createElement", val("div"));
    block.set("className", "block");
    block.call<void>("append", rest);
    element_.call<void>("append", block);
    last_block_ = block;
}

void BlockOutput::Recut() {
    val text = element_["textContent"];
    const int length = text["length"].as<int>();
    // A block laid out on its own, unseen, at the blocks' width.
    val measure = NewBlock("");
    measure.set("className", "block measure");
    element_.call<void>("append", measure);
    const std::vector<int> cuts = PlanCuts(length, [&](int start, int count) {
        measure["firstChild"].set("data", text.call<val>("substring", start, start + count));
        // Counted from `start`, as the plan wants them.
        std::vector<int> starts{0};
        const int lines = Lines(measure);
        for (int line = 1; line < lines; ++line) {
            starts.push_back(LineStart(measure, line));
        }
        return starts;
    });
    std::vector<val> blocks;
    int from = 0;
    element_.call<void>("replaceChildren");
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const int to = i < cuts.size() ? cuts[i] : length;
        val block = NewBlock("");
        block["firstChild"].set("data", text.call<val>("substring", from, to));
        element_.call<void>("append", block);
        last_block_ = block;
        from = to;
    }
}

void BlockOutput::OnBeforeInput(val event) {
    const std::string type = event["inputType"].as<std::string>();
    val selection = val::global("window").call<val>("getSelection");
    if (type == "insertFromPaste" || type == "insertFromDrop") {
        event.call<void>("preventDefault");
        val pasted = event["dataTransfer"].call<val>("getData", val("text/plain"));
        document_.call<bool>("execCommand", val("insertText"), val(false), pasted);
        return;
    }
    // A new line needs nothing: in pre-wrap text, plaintext-only editing inserts a "\n".
    const bool backward = type == "deleteContentBackward";
    if ((!backward && type != "deleteContentForward") || !selection["isCollapsed"].as<bool>()) {
        return;
    }
    // At a block's edge the browser would join two paragraphs: for the user there is no edge,
    // so the key takes the character beyond it, as an undoable edit of its own.
    val node = selection["anchorNode"];
    const int offset = selection["anchorOffset"].as<int>();
    if (node["nodeType"].as<int>() != 3) {
        return;
    }
    val block = node["parentNode"];
    const bool at_edge = backward
                             ? offset == 0 && node["previousSibling"].isNull()
                             : offset == node["length"].as<int>() && node["nextSibling"].isNull();
    val neighbour = block[backward ? "previousElementSibling" : "nextElementSibling"];
    if (!at_edge || neighbour.isNull()) {
        return;
    }
    val text = backward ? neighbour["lastChild"] : neighbour["firstChild"];
    if (text.isNull() || text["nodeType"].as<int>() != 3 || text["length"].as<int>() == 0) {
        return;
    }
    event.call<void>("preventDefault");
    const int at = backward ? text["length"].as<int>() - 1 : 0;
    selection.call<void>("setBaseAndExtent", text, at, text, at + 1);
    document_.call<bool>("execCommand", val("delete"));
}

void BlockOutput::OnCopy(val event, bool cut) {
    val selection = val::global("window").call<val>("getSelection");
    if (selection["rangeCount"].as<int>() == 0 || selection["isCollapsed"].as<bool>()) {
        return;
    }
    // Range.toString, unlike the selection's, puts no line break between blocks.
    val text = selection.call<val>("getRangeAt", 0).call<val>("toString");
    event["clipboardData"].call<void>("setData", val("text/plain"), text);
    event.call<void>("preventDefault");
    if (cut && element_.call<val>("getAttribute", val("contenteditable")).as<std::string>() ==
                   "plaintext-only") {
        document_.call<bool>("execCommand", val("delete"));
    }
}

}  // namespace zentrovax
