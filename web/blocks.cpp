#include "web/blocks.h"

#include <algorithm>
#include <cmath>
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
constexpr int kLowSurrogateFirst = 0xDC00;
constexpr int kLowSurrogateLast = 0xDFFF;
// Node.compareDocumentPosition: the other node comes first.
constexpr int kPrecedes = 2;

// A block off screen is neither laid out nor painted (content-visibility: auto); while one of
// these lives, it is, so that what is read of its layout is true.
class LaidOut {
  public:
    explicit LaidOut(val block) : style_(block["style"]) {
        style_.set("contentVisibility", "visible");
    }
    LaidOut(const LaidOut&) = delete;
    LaidOut& operator=(const LaidOut&) = delete;
    LaidOut(LaidOut&&) = delete;
    LaidOut& operator=(LaidOut&&) = delete;
    ~LaidOut() { style_.set("contentVisibility", ""); }

  private:
    val style_;
};

int LinesOf(const val& block) {
    return static_cast<int>(std::lround(block["offsetHeight"].as<double>() / kLineHeight));
}

double TopOf(val& range, const val& text, int from, int to) {
    range.call<void>("setStart", text, from);
    range.call<void>("setEnd", text, to);
    return range.call<val>("getBoundingClientRect")["top"].as<double>();
}

// Where each line of a laid-out block starts, from 0: the first character of line k is the first
// whose top lies below the middle of line k - 1, and the tops never go up.
std::vector<int> LineStartsOf(const val& block) {
    const val text = block["firstChild"];
    const int length = text["length"].as<int>();
    const int lines = LinesOf(block);
    const double top = block.call<val>("getBoundingClientRect")["top"].as<double>();
    val range = val::global("document").call<val>("createRange");
    std::vector<int> starts{0};
    for (int line = 1; line < lines; ++line) {
        const double wanted = top + (line - 0.5) * kLineHeight;
        int low = starts.back() + 1;
        int high = length;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (TopOf(range, text, middle, middle + 1) < wanted) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        if (low >= length) {
            break;  // a last line that holds only a newline's end
        }
        starts.push_back(low);
    }
    return starts;
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
    element_.call<void>("insertBefore", block, before < Count() ? Block(before) : val::null());
    lengths_.insert(lengths_.begin() + before, length);
}

void Blocks::Remove(int block) {
    Block(block).call<void>("remove");
    lengths_.erase(lengths_.begin() + block);
}

int Blocks::Length() const {
    return std::accumulate(lengths_.begin(), lengths_.end(), 0);
}

val Blocks::Block(int block) const {
    return element_["children"][block];
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
    while (!node.isNull() && !node.isUndefined() && !node["parentNode"].strictlyEquals(element_)) {
        if (node.strictlyEquals(element_)) {
            return -1;
        }
        node = node["parentNode"];
    }
    if (node.isNull() || node.isUndefined()) {
        return -1;
    }
    // The blocks are in document order: a binary search asks the DOM a dozen times at most.
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const val block = Block(middle);
        if (block.strictlyEquals(node)) {
            return middle;
        }
        if ((node.call<int>("compareDocumentPosition", block) & kPrecedes) != 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return -1;
}

int Blocks::OffsetOf(const val& container, int offset) const {
    if (container.strictlyEquals(element_)) {
        return offset >= Count() ? Length() : StartOf(offset);
    }
    const int block = BlockOf(container);
    if (block < 0) {
        return -1;
    }
    if (container["nodeType"].as<int>() == 3) {
        return StartOf(block) + std::min(offset, LengthOf(block));
    }
    return StartOf(block) + (offset == 0 ? 0 : LengthOf(block));
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
    val node = TextNode(first.block);
    if (first.block == last.block) {
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
        block = std::min(block, Count() - 1);
    }
    Repair(block);
    KeepLastLine();
}

void Blocks::SetText(const val& text) {
    element_.call<void>("replaceChildren");
    lengths_.clear();
    Insert(0, NewBlock(text), text["length"].as<int>());
    Recut();
}

void Blocks::Recut() {
    const val text = element_["textContent"];
    const int length = text["length"].as<int>();
    // A block laid out on its own, in the flow and so exactly as wide as the others.
    val measure = NewBlock(val(""));
    measure.set("className", "block measure");
    element_.call<void>("append", measure);
    const std::vector<int> cuts = PlanCuts(length, [&](int start, int count) {
        measure["firstChild"].set("data", text.call<val>("substring", start, start + count));
        return LineStartsOf(measure);
    });
    measure.call<void>("remove");

    val blocks = document_.call<val>("createDocumentFragment");
    lengths_.clear();
    int from = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const int to = i < cuts.size() ? cuts[i] : length;
        blocks.call<void>("append", NewBlock(text.call<val>("substring", from, to)));
        lengths_.push_back(to - from);
        from = to;
    }
    element_.call<void>("replaceChildren", blocks);
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
    Repair(block);
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

void Blocks::Repair(int block) {
    // A change at the start of a block can let its first words move up to the line before.
    if (block > 0) {
        const int edge = LengthOf(block - 1);
        MergeNext(block - 1);
        if (StartsLine(block - 1, edge)) {
            Split(block - 1, {edge});
        } else {
            --block;
        }
    }
    // A change can push words of the block's last line down, or pull the next line's up; that
    // may go on past the next edge, rarely further.
    for (;;) {
        CutIfLong(block);
        if (block + 1 >= Count()) {
            return;
        }
        const int edge = LengthOf(block);
        MergeNext(block);
        if (StartsLine(block, edge)) {
            Split(block, {edge});
            return;
        }
    }
}

void Blocks::CutIfLong(int& block) {
    if (Lines(block) <= kMostLinesPerBlock) {
        return;
    }
    const std::vector<int> cuts = CutsOfBlock(LineStarts(block), kMostLinesPerBlock);
    Split(block, cuts);
    block += static_cast<int>(cuts.size());
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
    const val element = Block(block);
    const LaidOut laid_out(element);
    return LinesOf(element);
}

std::vector<int> Blocks::LineStarts(int block) const {
    const val element = Block(block);
    const LaidOut laid_out(element);
    return LineStartsOf(element);
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
    const LaidOut laid_out(Block(block));
    val range = document_.call<val>("createRange");
    return TopOf(range, text, offset, offset + 1) >
           TopOf(range, text, offset - 1, offset) + kLineHeight / 2;
}

}  // namespace zentrovax
