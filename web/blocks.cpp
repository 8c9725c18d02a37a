#include "web/blocks.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "output/cut_plan.h"

namespace zentrovax {

using emscripten::val;

namespace {

// The output's line height in CSS pixels (zentrovax.css): with it fixed, line k of a block
// starts k line heights below the block's top, so lines are counted without walking them.
constexpr double kLineHeight = 15.0;
constexpr int kNewline = '\n';
// Blocks are grouped into sections of this many (up to twice as many as edits go on), so that a
// change lays out one section's blocks and the sections, not every block.
constexpr int kBlocksPerSection = 64;
// Blocks an edit merges at once to settle the wraps after it; what is left is repaired in slices.
// Three blocks of 32 lines and more reach past the end of the box's view.
constexpr int kMostMergesAtOnce = 3;
constexpr int kLowSurrogateFirst = 0xDC00;
constexpr int kLowSurrogateLast = 0xDFFF;

bool IsBlock(const val& node) {
    return node["zvOrder"].isNumber();
}

// Where each line of a laid-out block starts, from 0 (page.js).
std::vector<int> LineStartsOf(const val& block) {
    return emscripten::vecFromJSArray<int>(
        val::module_property("lineStarts")(block, val(kLineHeight)));
}

}  // namespace

int Utf16Length(std::string_view text) {
    int length = 0;
    for (const char byte : text) {
        const auto unit = static_cast<unsigned char>(byte);
        // Every lead byte is a code point; one of four bytes needs a surrogate pair.
        length += (unit & 0xC0U) == 0x80U ? 0 : unit >= 0xF0U ? 2 : 1;
    }
    return length;
}

Blocks::Blocks(val element)
    : element_(std::move(element)),
      document_(val::global("document")),
      last_line_(document_.call<val>("createElement", val("br"))) {
    Insert(0, NewBlock(val("")), 0);
}

val Blocks::NewBlock(const val& text) const {
    val block = document_.call<val>("createElement", val("div"));
    block.set("className", "block");
    block.call<void>("append", document_.call<val>("createTextNode", text));
    return block;
}

void Blocks::Insert(int before, const val& block, int length) {
    const auto at = static_cast<std::size_t>(before);
    val section = val::null();
    if (at < elements_.size()) {
        section = elements_[at]["parentNode"];
        section.call<void>("insertBefore", block, elements_[at]);
    } else {
        section = element_["lastElementChild"];
        if (section.isNull()) {
            section = NewSection();
            element_.call<void>("append", section);
        }
        section.call<void>("append", block);
    }
    if (section["childElementCount"].as<int>() > 2 * kBlocksPerSection) {
        // Half of it moves on to a section of its own, after it.
        val rest = NewSection();
        section.call<void>("after", rest);
        for (int moved = 0; moved < kBlocksPerSection; ++moved) {
            rest.call<void>("prepend", section["lastElementChild"]);
        }
    }
    const double low = at > 0 ? keys_[at - 1] : keys_.empty() ? 0.0 : keys_.front() - 2.0;
    const double high = at < keys_.size() ? keys_[at] : low + 2.0;
    const double key = low + (high - low) / 2;
    elements_.insert(elements_.begin() + before, block);
    lengths_.insert(lengths_.begin() + before, length);
    keys_.insert(keys_.begin() + before, key);
    if (key > low && key < high) {
        elements_[at].set("zvOrder", key);
    } else {
        Renumber();
    }
}

val Blocks::NewSection() const {
    val section = document_.call<val>("createElement", val("div"));
    section.set("className", "section");
    return section;
}

void Blocks::Renumber() {
    for (double& stale : stale_) {
        stale = static_cast<double>(
            std::max(0L, std::upper_bound(keys_.begin(), keys_.end(), stale) - keys_.begin() - 1));
    }
    for (std::size_t block = 0; block < keys_.size(); ++block) {
        keys_[block] = static_cast<double>(block);
        elements_[block].set("zvOrder", keys_[block]);
    }
}

void Blocks::Remove(int block) {
    val& element = elements_[static_cast<std::size_t>(block)];
    val section = element["parentNode"];
    element.call<void>("remove");
    if (section["firstElementChild"].isNull()) {
        section.call<void>("remove");
    }
    elements_.erase(elements_.begin() + block);
    lengths_.erase(lengths_.begin() + block);
    keys_.erase(keys_.begin() + block);
}

int Blocks::Length() const {
    return std::accumulate(lengths_.begin(), lengths_.end(), 0);
}

val Blocks::Block(int block) const {
    return elements_[static_cast<std::size_t>(block)];
}

int Blocks::StartOf(int block) const {
    return std::accumulate(lengths_.begin(), lengths_.begin() + block, 0);
}

Blocks::Place Blocks::Locate(int offset, bool downstream) const {
    int start = 0;
    for (int block = 0; block < Count(); ++block) {
        const int end = start + LengthOf(block);
        if (downstream ? offset < end : offset <= end) {
            return {block, offset - start};
        }
        start = end;
    }
    return {Count() - 1, LengthOf(Count() - 1)};
}

int Blocks::BlockOf(val node) const {
    while (!node.isNull() && !node.isUndefined() && !IsBlock(node)) {
        if (node.strictlyEquals(element_)) {
            return -1;
        }
        node = node["parentNode"];
    }
    if (node.isNull() || node.isUndefined()) {
        return -1;
    }
    const auto found = std::lower_bound(keys_.begin(), keys_.end(), node["zvOrder"].as<double>());
    const auto block = static_cast<int>(found - keys_.begin());
    return found != keys_.end() && Block(block).strictlyEquals(node) ? block : -1;
}

int Blocks::OffsetOf(const val& container, int offset) const {
    const int block = BlockOf(container);
    if (block >= 0) {
        const bool text = container["nodeType"].as<int>() == 3;
        return StartOf(block) + (text          ? std::min(offset, LengthOf(block))
                                 : offset == 0 ? 0
                                               : LengthOf(block));
    }
    // The output itself or one of its sections: a position between blocks.
    if (!container.strictlyEquals(element_) && !container["parentNode"].strictlyEquals(element_)) {
        return -1;
    }
    const val children = container["children"];
    if (offset < children["length"].as<int>()) {
        val first = children[offset];
        while (!first.isNull() && !IsBlock(first)) {
            first = first["firstElementChild"];
        }
        const int at = first.isNull() ? -1 : BlockOf(first);
        return at < 0 ? -1 : StartOf(at);
    }
    val last = container["lastElementChild"];
    while (!last.isNull() && !IsBlock(last)) {
        last = last["lastElementChild"];
    }
    const int at = last.isNull() ? -1 : BlockOf(last);
    return at < 0 ? Length() : StartOf(at) + LengthOf(at);
}

val Blocks::Text(int from, int to) const {
    const Place first = Locate(from, true);
    const Place last = Locate(to, false);
    if (from >= to) {
        return val("");
    }
    if (first.block == last.block) {
        return TextNode(first.block)["data"].call<val>("substring", first.offset, last.offset);
    }
    val pieces = val::array();
    pieces.call<void>("push", TextNode(first.block)["data"].call<val>("substring", first.offset));
    for (int block = first.block + 1; block < last.block; ++block) {
        pieces.call<void>("push", TextNode(block)["data"]);
    }
    pieces.call<void>("push", TextNode(last.block)["data"].call<val>("substring", 0, last.offset));
    return pieces.call<val>("join", val(""));
}

int Blocks::ParagraphStart(int offset) const {
    const Place place = Locate(offset, false);
    int block_start = offset - place.offset;
    for (int block = place.block, before = place.offset; block >= 0; --block) {
        const int newline =
            before > 0 ? TextNode(block)["data"].call<int>("lastIndexOf", val("\n"), before - 1)
                       : -1;
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

int Blocks::ParagraphEnd(int offset) const {
    const Place place = Locate(offset, true);
    int block_start = offset - place.offset;
    for (int block = place.block, from = place.offset; block < Count(); ++block, from = 0) {
        const int newline = TextNode(block)["data"].call<int>("indexOf", val("\n"), from);
        if (newline >= 0) {
            return block_start + newline;
        }
        block_start += LengthOf(block);
    }
    return Length();
}

void Blocks::Append(std::string_view text) {
    const int last = Count() - 1;
    TextNode(last).call<void>("appendData", val(std::string(text)));
    lengths_.back() += Utf16Length(text);
    int block = last;
    CutIfLong(block);
    KeepLastLine();
}

void Blocks::Replace(int from, int to, const val& text) {
    const Place first = Locate(from, true);
    const Place last = from == to ? first : Locate(to, false);
    const int added = text["length"].as<int>();
    const int tail = LengthOf(last.block) - last.offset;
    // Within one block, most edits leave both of its edges as they are: the edge before it
    // depends only on the block's first word, the edge after it only on its last line. Both are
    // read before the edit, from a layout the browser has already made.
    const bool within_block = first.block == last.block;
    const bool first_word_kept =
        within_block && (first.block == 0 || FirstWordEndsBefore(first.block, first.offset));
    int last_line = 0;  // the length of the last line, if the edit ends before it
    if (within_block && Count() > first.block + 1) {
        const int start = LastLineStart(first.block);
        last_line = last.offset <= start ? LengthOf(first.block) - start : 0;
    }

    val node = TextNode(first.block);
    if (within_block) {
        node.call<void>("replaceData", first.offset, last.offset - first.offset, text);
    } else {
        const val rest = TextNode(last.block)["data"].call<val>("substring", last.offset);
        node.call<void>("replaceData", first.offset, LengthOf(first.block) - first.offset,
                        text.call<val>("concat", rest));
        for (int block = last.block; block > first.block; --block) {
            Remove(block);
        }
    }
    lengths_[static_cast<std::size_t>(first.block)] = first.offset + added + tail;
    int block = first.block;
    if (LengthOf(block) == 0 && Count() > 1) {
        Remove(block);
        Repair(std::min(block, Count() - 1), true, true);
    } else {
        const bool last_line_kept =
            last_line > 0 && LengthOf(block) - LastLineStart(block) == last_line;
        Repair(block, !first_word_kept, !last_line_kept);
    }
    KeepLastLine();
}

void Blocks::SetText(const val& text) {
    element_.call<void>("replaceChildren");
    elements_.clear();
    lengths_.clear();
    keys_.clear();
    Insert(0, NewBlock(text), text["length"].as<int>());
    Recut();
}

void Blocks::Recut() {
    const val text = element_["textContent"];
    const int length = text["length"].as<int>();
    // A block laid out on its own, in the flow and so exactly as wide as the others' sections.
    val measure = NewBlock(val(""));
    measure.set("className", "block measure");
    element_.call<void>("append", measure);
    const std::vector<int> cuts = PlanCutsOfBlockLines(length, [&](int start, int count) {
        measure["firstChild"].set("data", text.call<val>("substring", start, start + count));
        const val lines =
            val::module_property("blockLines")(measure, val(kLineHeight), val(kLinesPerBlock));
        return BlockLines{lines["lines"].as<int>(),
                          emscripten::vecFromJSArray<int>(lines["starts"])};
    });
    measure.call<void>("remove");

    stale_.clear();
    val sections = document_.call<val>("createDocumentFragment");
    val section = val::null();
    elements_.clear();
    lengths_.clear();
    keys_.clear();
    int from = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const int to = i < cuts.size() ? cuts[i] : length;
        if (i % kBlocksPerSection == 0) {
            section = NewSection();
            sections.call<void>("append", section);
        }
        elements_.push_back(NewBlock(text.call<val>("substring", from, to)));
        section.call<void>("append", elements_.back());
        lengths_.push_back(to - from);
        keys_.push_back(static_cast<double>(i));
        elements_.back().set("zvOrder", keys_.back());
        from = to;
    }
    element_.call<void>("replaceChildren", sections);
    KeepLastLine();
}

void Blocks::Resync(int block) {
    val element = Block(block);
    // The browser may have left more than one text node, or none.
    element.call<void>("normalize");
    if (element["firstChild"].isNull()) {
        element.call<void>("append", document_.call<val>("createTextNode", val("")));
    }
    lengths_[static_cast<std::size_t>(block)] = TextNode(block)["length"].as<int>();
    if (LengthOf(block) == 0 && Count() > 1) {
        Remove(block);
        block = std::min(block, Count() - 1);
    }
    Repair(block, true, true);
    KeepLastLine();
}

void Blocks::MergeNext(int block) {
    TextNode(block).call<void>("appendData", TextNode(block + 1)["data"]);
    lengths_[static_cast<std::size_t>(block)] += LengthOf(block + 1);
    Remove(block + 1);
}

void Blocks::Split(int block, const std::vector<int>& cuts) {
    val node = TextNode(block);
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
        const val rest = node.call<val>("splitText", *cut);
        val next = document_.call<val>("createElement", val("div"));
        next.set("className", "block");
        next.call<void>("append", rest);
        const int end = cut == cuts.rbegin() ? LengthOf(block) : *(cut - 1);
        Insert(block + 1, next, end - *cut);
    }
    lengths_[static_cast<std::size_t>(block)] = cuts.empty() ? LengthOf(block) : cuts.front();
}

void Blocks::Repair(int block, bool edge_before, bool edge_after) {
    // A change in a block's first word can let it move up to the line before.
    if (edge_before && block > 0) {
        const int edge = LengthOf(block - 1);
        MergeNext(block - 1);
        if (StartsLine(block - 1, edge)) {
            Split(block - 1, {edge});
        } else {
            --block;
            edge_after = true;  // the lines after the first word moved, up to the last one
        }
    }
    if (!edge_after) {
        CutIfLong(block);  // cuts where its lines start keep a true edge after it true
        return;
    }
    // A change can push words of the block's last line down, or pull the next line's up. In
    // ordinary text the wraps fall back onto the old line starts within a block or two; in text
    // without spaces they may move to the very end, which is left to RepairStale.
    for (int merged = 0; !SettleEdgeAfter(block); ++merged) {
        if (merged == kMostMergesAtOnce) {
            stale_.insert(std::upper_bound(stale_.begin(), stale_.end(), keys_[Index(block)]),
                          keys_[Index(block)]);
            return;
        }
    }
}

bool Blocks::SettleEdgeAfter(int& block) {
    CutIfLong(block);
    if (block + 1 >= Count()) {
        return true;
    }
    const int edge = LengthOf(block);
    MergeNext(block);
    if (StartsLine(block, edge)) {
        Split(block, {edge});
        return true;
    }
    return false;
}

void Blocks::RepairStale(double milliseconds) {
    const val performance = val::global("performance");
    const double end = performance.call<double>("now") + milliseconds;
    while (!stale_.empty() && performance.call<double>("now") < end) {
        // The block that holds the edge: the one of that key, or the one it was merged into.
        const auto after = std::upper_bound(keys_.begin(), keys_.end(), stale_.front());
        int block = std::max(0, static_cast<int>(after - keys_.begin()) - 1);
        if (SettleEdgeAfter(block)) {
            stale_.erase(stale_.begin());
        } else {
            stale_.front() = keys_[Index(block)];
        }
    }
    KeepLastLine();
}

void Blocks::CutIfLong(int& block) {
    if (Lines(block) <= kMostLinesPerBlock) {
        return;
    }
    const std::vector<int> cuts = CutsOfBlock(LineStarts(block), kMostLinesPerBlock);
    Split(block, cuts);
    block += static_cast<int>(cuts.size());
}

void Blocks::KeepLaidOut(const std::vector<int>& blocks) {
    std::vector<val> kept;
    const auto has = [](const std::vector<val>& elements, const val& element) {
        return std::any_of(elements.begin(), elements.end(),
                           [&element](const val& e) { return e.strictlyEquals(element); });
    };
    for (const int block : blocks) {
        if (block >= 0 && block < Count()) {
            for (val element : {Block(block), Block(block)["parentNode"]}) {
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

void Blocks::KeepLastLine() {
    const int last = Count() - 1;
    const bool wanted = LengthOf(last) > 0 && TextNode(last)["data"].call<int>(
                                                  "charCodeAt", LengthOf(last) - 1) == kNewline;
    if (wanted) {
        Block(last).call<void>("append", last_line_);  // moves it from a block that was last
    } else {
        last_line_.call<void>("remove");
    }
}

int Blocks::Lines(int block) const {
    return val::module_property("lines")(Block(block), val(kLineHeight)).as<int>();
}

std::vector<int> Blocks::LineStarts(int block) const {
    return LineStartsOf(Block(block));
}

int Blocks::LastLineStart(int block) const {
    return val::module_property("lastLineStart")(Block(block), val(kLineHeight)).as<int>();
}

bool Blocks::FirstWordEndsBefore(int block, int offset) const {
    // Lines break after spaces and newlines (and elsewhere, before them, in some scripts).
    const val data = TextNode(block)["data"];
    return offset > 0 && (data.call<int>("lastIndexOf", val(" "), offset - 1) >= 0 ||
                          data.call<int>("lastIndexOf", val("\n"), offset - 1) >= 0);
}

bool Blocks::StartsLine(int block, int offset) const {
    if (offset <= 0 || offset >= LengthOf(block)) {
        return true;
    }
    const val text = TextNode(block);
    const val data = text["data"];
    const int before = data.call<int>("charCodeAt", offset - 1);
    const int at = data.call<int>("charCodeAt", offset);
    if (before == kNewline) {
        return true;
    }
    // A block that began with the newline would show an empty line the paragraph has not.
    if (at == kNewline || (at >= kLowSurrogateFirst && at <= kLowSurrogateLast)) {
        return false;
    }
    const val top = val::module_property("characterTop");
    return top(text, offset).as<double>() > top(text, offset - 1).as<double>() + kLineHeight / 2;
}

}  // namespace zentrovax
