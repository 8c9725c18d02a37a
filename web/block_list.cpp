#include "web/block_list.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace zentrovax {

using emscripten::val;

namespace {

// Blocks are grouped into sections of this many (up to twice as many as edits go on), so that a
// change lays out one section's blocks and the sections, not every block.
constexpr int kBlocksPerSection = 64;

}  // namespace

BlockList::BlockList(val element)
    : element_(std::move(element)), document_(val::global("document")) {}

int BlockList::Start(int block) const {
    return std::accumulate(blocks_.begin(), blocks_.begin() + block, 0,
                           [](int sum, const Entry& entry) { return sum + entry.length; });
}

val BlockList::NewBlock(const val& text) const {
    val block = document_.call<val>("createElement", val("div"));
    block.set("className", "block");
    block.call<void>("append",
                     text.isString() ? document_.call<val>("createTextNode", text) : text);
    return block;
}

val BlockList::NewSection() const {
    val section = document_.call<val>("createElement", val("div"));
    section.set("className", "section");
    return section;
}

bool BlockList::IsBlock(const val& node) {
    return node["zvOrder"].isNumber();
}

void BlockList::Insert(int before, const val& text_node, int length) {
    const auto at = static_cast<std::size_t>(before);
    const val block = NewBlock(text_node);
    val section = val::null();
    if (at < blocks_.size()) {
        section = blocks_[at].element["parentNode"];
        section.call<void>("insertBefore", block, blocks_[at].element);
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
    const double low = at > 0            ? blocks_[at - 1].key
                       : blocks_.empty() ? 0.0
                                         : blocks_.front().key - 2.0;
    const double high = at < blocks_.size() ? blocks_[at].key : low + 2.0;
    const double key = low + (high - low) / 2;
    blocks_.insert(blocks_.begin() + before, {block, length, key});
    if (key > low && key < high) {
        At(before).element.set("zvOrder", key);
    } else {
        Renumber();
    }
}

void BlockList::Remove(int block) {
    val section = Element(block)["parentNode"];
    Element(block).call<void>("remove");
    if (section["firstElementChild"].isNull()) {
        section.call<void>("remove");
    }
    blocks_.erase(blocks_.begin() + block);
}

void BlockList::Assign(const val& text, const std::vector<int>& cuts) {
    marks_.clear();
    blocks_.clear();
    val sections = document_.call<val>("createDocumentFragment");
    val section = val::null();
    const int length = text["length"].as<int>();
    int from = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const int to = i < cuts.size() ? cuts[i] : length;
        if (i % kBlocksPerSection == 0) {
            section = NewSection();
            sections.call<void>("append", section);
        }
        Entry& block = blocks_.emplace_back(Entry{NewBlock(text.call<val>("substring", from, to)),
                                                  to - from, static_cast<double>(i)});
        section.call<void>("append", block.element);
        block.element.set("zvOrder", block.key);
        from = to;
    }
    element_.call<void>("replaceChildren", sections);
}

int BlockList::BlockAtKey(double key) const {
    const auto after = std::upper_bound(blocks_.begin(), blocks_.end(), key,
                                        [](double k, const Entry& entry) { return k < entry.key; });
    return std::max(0, static_cast<int>(after - blocks_.begin()) - 1);
}

int BlockList::BlockOfElement(const val& node) const {
    if (blocks_.empty() || !IsBlock(node)) {
        return -1;
    }
    const int block = BlockAtKey(node["zvOrder"].as<double>());
    return Element(block).strictlyEquals(node) ? block : -1;
}

void BlockList::Renumber() {
    for (double& mark : marks_) {
        mark = static_cast<double>(BlockAtKey(mark));
    }
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        blocks_[block].key = static_cast<double>(block);
        blocks_[block].element.set("zvOrder", blocks_[block].key);
    }
}

void BlockList::Mark(int block) {
    const double key = At(block).key;
    const auto at = std::lower_bound(marks_.begin(), marks_.end(), key);
    if (at == marks_.end() || *at != key) {
        marks_.insert(at, key);
    }
}

bool BlockList::IsMarked(int block) const {
    return std::any_of(marks_.begin(), marks_.end(),
                       [this, block](double key) { return BlockAtKey(key) == block; });
}

std::optional<int> BlockList::FirstMarked() const {
    return marks_.empty() ? std::nullopt : std::optional(BlockAtKey(marks_.front()));
}

void BlockList::Unmark(int block) {
    std::erase_if(marks_, [this, block](double key) { return BlockAtKey(key) == block; });
}

}  // namespace zentrovax
