#include "web/block_cuts.h"

#include <algorithm>
#include <string>
#include <utility>

#include "output/cut_plan.h"
#include "output/typed_text.h"
#include "web/block_layout.h"

namespace zentrovax {

using emscripten::val;

namespace {

constexpr int kNewline = '\n';

}  // namespace

BlockCuts::BlockCuts(val element)
    : element_(element),
      document_(val::global("document")),
      list_(std::move(element)),
      last_line_(document_.call<val>("createElement", val("br"))) {
    list_.Insert(0, val(""), 0);
}

BlockCuts::Place BlockCuts::Locate(int offset, bool downstream) const {
    int start = 0;
    for (int block = 0; block < Count(); ++block) {
        const int end = start + LengthOf(block);
        // After a hidden newline is where the next block starts, whichever side is asked for.
        if (offset < end || (offset == end && !downstream && !HidesNewline(block))) {
            return {block, offset - start};
        }
        start = end;
    }
    return {Count() - 1, LengthOf(Count() - 1)};
}

int BlockCuts::BlockOf(val node) const {
    while (!node.isNull() && !node.isUndefined() && !BlockList::IsBlock(node)) {
        if (node.strictlyEquals(element_)) {
            return -1;
        }
        node = node["parentNode"];
    }
    return node.isNull() || node.isUndefined() ? -1 : list_.BlockOfElement(node);
}

int BlockCuts::OffsetOf(const val& container, int offset) const {
    const int block = BlockOf(container);
    if (block >= 0) {
        const int start = StartOf(block);
        const int length = LengthOf(block);
        if (container.strictlyEquals(TextNode(block))) {
            return start + std::min(offset, length);
        }
        // Between the block's nodes: before a hidden newline until after its <span>, the third.
        const bool hides = HidesNewline(block);
        if (container.strictlyEquals(Block(block))) {
            return offset == 0 ? start : start + length - (hides && offset < 3 ? 1 : 0);
        }
        // Inside the <br> or the <span> of a hidden newline.
        return start + length - (hides && offset == 0 ? 1 : 0);
    }
    // The output itself, a chapter or a section: a position between blocks.
    if (!element_.call<bool>("contains", container)) {
        return -1;
    }
    const val children = container["children"];
    if (offset < children["length"].as<int>()) {
        val first = children[offset];
        while (!first.isNull() && !BlockList::IsBlock(first)) {
            first = first["firstElementChild"];
        }
        const int at = first.isNull() ? -1 : BlockOf(first);
        return at < 0 ? -1 : StartOf(at);
    }
    val last = container["lastElementChild"];
    while (!last.isNull() && !BlockList::IsBlock(last)) {
        last = last["lastElementChild"];
    }
    const int at = last.isNull() ? -1 : BlockOf(last);
    return at < 0 ? Length() : StartOf(at) + LengthOf(at);
}

val BlockCuts::Text(int from, int to) const {
    const Place first = Locate(from, true);
    const Place last = Locate(to, false);
    if (from >= to) {
        return val("");
    }
    if (first.block == last.block) {
        return Data(first.block).call<val>("substring", first.offset, last.offset);
    }
    val pieces = val::array();
    pieces.call<void>("push", Data(first.block).call<val>("substring", first.offset));
    for (int block = first.block + 1; block < last.block; ++block) {
        pieces.call<void>("push", Data(block));
    }
    pieces.call<void>("push", Data(last.block).call<val>("substring", 0, last.offset));
    return pieces.call<val>("join", val(""));
}

int BlockCuts::ParagraphStart(int offset) const {
    const Place place = Locate(offset, false);
    int block_start = offset - place.offset;
    for (int block = place.block, before = place.offset; block >= 0; --block) {
        const int newline =
            before > 0 ? Data(block).call<int>("lastIndexOf", val("\n"), before - 1) : -1;
        if (newline >= 0) {
            return block_start + newline + 1;
        }
        if (block > 0) {
            before = LengthOf(block - 1);
            block_start -= before;
        }
    }
    return 0;
}

int BlockCuts::ParagraphEnd(int offset) const {
    const Place place = Locate(offset, true);
    int block_start = offset - place.offset;
    for (int block = place.block, from = place.offset; block < Count(); ++block, from = 0) {
        const int newline = Data(block).call<int>("indexOf", val("\n"), from);
        if (newline >= 0) {
            return block_start + newline;
        }
        block_start += LengthOf(block);
    }
    return Length();
}

void BlockCuts::Append(std::string_view text) {
    const int last = Count() - 1;
    TextNode(last).call<void>("appendData", val(std::string(text)));
    list_.SetLength(last, LengthOf(last) + Utf16Length(text));
    CutIfLong(*this, last);
    KeepLastLine();
}

void BlockCuts::Replace(int from, int to, const val& text) {
    const Place first = Locate(from, true);
    const Place last = from == to ? first : Locate(to, false);
    const int added = text["length"].as<int>();
    if (added > kCutWindow) {
        ReplaceByPlan(first, last, text);
        return;
    }
    const int tail = LengthOf(last.block) - last.offset;
    // Within one block, most edits leave both of its cuts as they are: the cut before it
    // depends only on the block's first word, the cut after it only on its last line. Both are
    // read before the edit, from a layout the browser has already made.
    const bool within_block = first.block == last.block;
    const bool first_word_kept =
        within_block && (first.block == 0 || FirstWordEndsBefore(Block(first.block), first.offset));
    int last_line = 0;  // the length of the last line, if the edit ends before it
    if (within_block && Count() > first.block + 1) {
        const int start = LastLineStartOf(Block(first.block));
        last_line = last.offset <= start ? LengthOf(first.block) - start : 0;
    }

    val node = TextNode(first.block);
    if (within_block) {
        // Short of a hidden newline, which stays hidden.
        node.call<void>("replaceData", first.offset, last.offset - first.offset, text);
    } else {
        ShowNewline(first.block);
        ShowNewline(last.block);
        const val rest = TextNode(last.block)["data"].call<val>("substring", last.offset);
        node.call<void>("replaceData", first.offset, LengthOf(first.block) - first.offset,
                        text.call<val>("concat", rest));
        for (int block = last.block; block > first.block; --block) {
            list_.Remove(block);
        }
        if (last.block > first.block + 1) {
            list_.Remeasure(first.block);
        }
    }
    list_.SetLength(first.block, first.offset + added + tail);
    int block = first.block;
    HideNewlineIfEnding(block);
    if (LengthOf(block) == 0 && Count() > 1) {
        list_.Remove(block);
        block = std::min(block, Count() - 1);
        RepairCuts(*this, block, block, {}, RepairLimit::InView(block));
    } else {
        const bool last_line_kept =
            last_line > 0 && LengthOf(block) - LastLineStartOf(Block(block)) == last_line;
        RepairCuts(*this, block, block, {.before = !first_word_kept, .after = !last_line_kept},
                   RepairLimit::InView(block));
    }
    KeepLastLine();
}

void BlockCuts::ReplaceByPlan(Place first, Place last, const val& text) {
    const val whole =
        Data(first.block)
            .call<val>("substring", 0, first.offset)
            .call<val>("concat", text, Data(last.block).call<val>("substring", last.offset));
    const std::vector<int> cuts = PlanOf(whole);
    const int after = Count() - last.block - 1;  // blocks after the edit, which it leaves
    for (int block = last.block; block >= first.block; --block) {
        list_.Remove(block);
    }
    list_.InsertAll(first.block, whole, cuts);
    for (int block = first.block; block < Count() - after; ++block) {
        HideNewlineIfEnding(block);
    }
    // The plan's cuts hold; those at its two ends, against the text around it, may not.
    RepairCuts(*this, first.block, first.block, {.before = true, .after = false},
               RepairLimit::InView(first.block));
    const int last_made = Count() - after - 1;
    RepairCuts(*this, last_made, last_made, {.before = false, .after = true},
               RepairLimit::InView(last_made));
    KeepLastLine();
}

std::vector<int> BlockCuts::PlanOf(const val& text) {
    // A block laid out on its own, in the flow and so exactly as wide as the others' sections.
    val measure = list_.NewBlock(val(""));
    measure.set("className", "block measure");
    element_.call<void>("append", measure);
    const std::vector<int> cuts = PlanCutsOfBlockLines(
        text["length"].as<int>(),
        [&](int start, int count) { return Measure(measure, text, start, count); });
    measure.call<void>("remove");
    return cuts;
}

void BlockCuts::SetText(const val& text) {
    list_.Assign(text, {});
    Recut();
}

void BlockCuts::Recut() {
    const val text = element_["textContent"];
    const std::vector<int> cuts = PlanOf(text);
    list_.Assign(text, cuts);
    for (std::size_t block = 0; block < cuts.size(); ++block) {
        if (text.call<int>("charCodeAt", cuts[block] - 1) == kNewline) {
            HideNewlineIfEnding(static_cast<int>(block));
        }
    }
    KeepLastLine();
}

void BlockCuts::Resync(int block) {
    val element = Block(block);
    // The browser may have left more than one text node, or none.
    element.call<void>("normalize");
    if (element["firstChild"].isNull() || element["firstChild"]["nodeType"].as<int>() != 3) {
        element.call<void>("prepend", document_.call<val>("createTextNode", val("")));
    }
    list_.SetLength(block, Data(block)["length"].as<int>());
    if (LengthOf(block) == 0 && Count() > 1) {
        list_.Remove(block);
        block = std::min(block, Count() - 1);
    }
    RepairCuts(*this, block, block, {}, RepairLimit::InView(block));
    KeepLastLine();
}

void BlockCuts::JoinNext(int block) {
    ShowNewline(block);
    ShowNewline(block + 1);
    TextNode(block).call<void>("appendData", TextNode(block + 1)["data"]);
    list_.SetLength(block, LengthOf(block) + LengthOf(block + 1));
    list_.Remove(block + 1);
    HideNewlineIfEnding(block);
}

void BlockCuts::Cut(int block, const std::vector<int>& cuts) {
    if (cuts.empty()) {
        return;
    }
    // The cut after the block is now after its last piece.
    const bool stale = list_.IsMarked(block);
    list_.Unmark(block);
    ShowNewline(block);
    last_line_.call<void>("remove");  // back in the last block by KeepLastLine
    val node = TextNode(block);
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
        const int end = cut == cuts.rbegin() ? LengthOf(block) : *(cut - 1);
        list_.Insert(block + 1, node.call<val>("splitText", *cut), end - *cut);
    }
    list_.SetLength(block, cuts.front());
    for (std::size_t piece = 0; piece <= cuts.size(); ++piece) {
        HideNewlineIfEnding(block + static_cast<int>(piece));
    }
    if (stale) {
        list_.Mark(block + static_cast<int>(cuts.size()));
    }
}

bool BlockCuts::SettleCutBefore(int block) {
    const int cut = LengthOf(block - 1);
    JoinNext(block - 1);
    if (StartsLine(Block(block - 1), cut)) {
        Cut(block - 1, {cut});
        return true;
    }
    return false;
}

int BlockCuts::Lines(int block) {
    return LinesOf(Block(block));
}

std::vector<int> BlockCuts::BlockStarts(int block) {
    std::vector<int> starts = BlockStartsOf(Block(block));
    // The empty line after a newline that ends the text has no text to start a block with; a
    // block of none has no line either, and no place for the caret.
    std::erase_if(starts, [length = LengthOf(block)](int at) { return at >= length; });
    return starts;
}

void BlockCuts::KeepLaidOut(const std::vector<int>& blocks) {
    std::vector<val> kept;
    const auto has = [](const std::vector<val>& elements, const val& element) {
        return std::any_of(elements.begin(), elements.end(),
                           [&element](const val& e) { return e.strictlyEquals(element); });
    };
    for (const int block : blocks) {
        if (block >= 0 && block < Count()) {
            const val section = Block(block)["parentNode"];
            for (val element : {section, section["parentNode"]}) {
                if (!has(kept, element)) {
                    kept.push_back(std::move(element));
                }
            }
        }
    }
    // Only what changes is touched: a class changed anew costs the block a new layout.
    for (val& element : laid_out_) {
        if (!has(kept, element)) {
            element["classList"].call<void>("remove", val("near"));
        }
    }
    for (val& element : kept) {
        if (!has(laid_out_, element)) {
            element["classList"].call<void>("add", val("near"));
        }
    }
    laid_out_ = std::move(kept);
}

void BlockCuts::KeepLastLine() {
    const int last = Count() - 1;
    ShowNewline(last);
    const bool wanted = LengthOf(last) > 0 && TextNode(last)["data"].call<int>(
                                                  "charCodeAt", LengthOf(last) - 1) == kNewline;
    if (wanted) {
        Block(last).call<void>("append", last_line_);  // moves it from a block that was last
    } else {
        last_line_.call<void>("remove");
    }
}

val BlockCuts::Data(int block) const {
    const val data = TextNode(block)["data"];
    return HidesNewline(block) ? data.call<val>("concat", val("\n")) : data;
}

bool BlockCuts::HidesNewline(int block) const {
    return Block(block)["lastChild"]["hidden"].isTrue();
}

void BlockCuts::HideNewlineIfEnding(int block) {
    if (block < 0 || block >= Count() - 1 || HidesNewline(block)) {
        return;
    }
    val text = TextNode(block);
    const int length = text["length"].as<int>();
    if (length == 0 || text["data"].call<int>("charCodeAt", length - 1) != kNewline) {
        return;
    }
    text.call<void>("deleteData", length - 1, 1);
    val held = document_.call<val>("createElement", val("span"));
    held.set("hidden", true);
    held.set("textContent", "\n");
    text.call<void>("after", document_.call<val>("createElement", val("br")), held);
}

void BlockCuts::ShowNewline(int block) {
    if (!HidesNewline(block)) {
        return;
    }
    val text = TextNode(block);
    text["nextSibling"].call<void>("remove");  // the <br>
    text["nextSibling"].call<void>("remove");  // the <span>
    text.call<void>("appendData", val("\n"));
}

}  // namespace zentrovax
