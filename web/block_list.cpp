#include "web/block_list.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <utility>

#include "output/cut_plan.h"

namespace zentrovax {

using emscripten::val;

namespace {

// Blocks are grouped in sections of this many, and sections in chapters of this many (each up to
// twice as many as edits go on). The browser skips what lies out of view a section or a chapter at
// a time, and a change lays out one block among a few dozen siblings at each level. Blocks are not
// skipped one by one: an engine checks every element it may skip at each change of the selection
// (WebKit, 1 ms at 4 MB with every block skippable), and showing a section lays out only 8 blocks.
constexpr int kBlocksPerSection = 8;
constexpr int kSectionsPerChapter = 16;

// Much of a section's text changed: it is measured anew, with its chapter (page.js).
void RemeasureSection(const val& section) {
    val::module_property("remeasure")(section);
}

// Once `group` holds more than twice `per_group` children, the later half moves on to a new group
// of its own, after it; returns that group, or null. New, not a copy: a copy would keep the
// classes that lay the group out for a while (page.js), and with them, for good.
val HalveIfFull(const val& group, int per_group, const char* kind) {
    if (group["childElementCount"].as<int>() <= 2 * per_group) {
        return val::null();
    }
    val rest = val::global("document").call<val>("createElement", val("div"));
    rest.set("className", kind);
    group.call<void>("after", rest);
    for (int moved = 0; moved < per_group; ++moved) {
        rest.call<void>("prepend", group["lastElementChild"]);
    }
    return rest;
}

// Removes `node` and, up to `levels` groups above it, each group it leaves empty.
void RemoveWithEmptyGroups(val node, int levels) {
    for (int level = 0; level <= levels; ++level) {
        val parent = node["parentNode"];
        node.call<void>("remove");
        if (!parent["firstElementChild"].isNull()) {
            return;
        }
        node = parent;
    }
}

}  // namespace

BlockList::BlockList(val element)
    : element_(std::move(element)), document_(val::global("document")) {
    // How tall a section or a chapter is assumed to be before it was ever laid out (the style's
    // contain-intrinsic-block-size), in lines as made.
    const val style = element_["style"];
    style.call<void>("setProperty", val("--section-lines"),
                     val(std::to_string(kLinesPerBlock * kBlocksPerSection)));
    style.call<void>("setProperty", val("--chapter-lines"),
                     val(std::to_string(kLinesPerBlock * kBlocksPerSection * kSectionsPerChapter)));
}

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

val BlockList::NewGroup(const char* kind) const {
    val group = document_.call<val>("createElement", val("div"));
    group.set("className", kind);
    return group;
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
        const val chapter = element_["lastElementChild"];
        section = chapter.isNull() ? val::null() : chapter["lastElementChild"];
        if (section.isNull()) {
            section = NewGroup("section");
            val new_chapter = NewGroup("chapter");
            new_chapter.call<void>("append", section);
            element_.call<void>("append", new_chapter);
        }
        section.call<void>("append", block);
    }
    // Halved, a group that holds half of what it measured would keep its measure.
    if (const val rest = HalveIfFull(section, kBlocksPerSection, "section"); !rest.isNull()) {
        RemeasureSection(section);
        RemeasureSection(rest);
    }
    if (const val rest = HalveIfFull(section["parentNode"], kSectionsPerChapter, "chapter");
        !rest.isNull()) {
        RemeasureSection(section);
        RemeasureSection(rest["firstElementChild"]);  // and so the chapters
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

void BlockList::InsertAll(int before, const val& text, const std::vector<int>& cuts) {
    const int length = text["length"].as<int>();
    int from = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const int to = i < cuts.size() ? cuts[i] : length;
        Insert(before + static_cast<int>(i),
               document_.call<val>("createTextNode", text.call<val>("substring", from, to)),
               to - from);
        Remeasure(before + static_cast<int>(i));
        from = to;
    }
}

void BlockList::Remeasure(int block) {
    RemeasureSection(Element(block)["parentNode"]);
}

void BlockList::Remove(int block) {
    RemoveWithEmptyGroups(Element(block), 2);  // its section and its chapter
    blocks_.erase(blocks_.begin() + block);
}

void BlockList::Assign(const val& text, const std::vector<int>& cuts) {
    marks_.clear();
    blocks_.clear();
    val chapters = document_.call<val>("createDocumentFragment");
    val chapter = val::null();
    val section = val::null();
    const int length = text["length"].as<int>();
    int from = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const int to = i < cuts.size() ? cuts[i] : length;
        if (i % (kBlocksPerSection * kSectionsPerChapter) == 0) {
            chapter = NewGroup("chapter");
            chapters.call<void>("append", chapter);
        }
        if (i % kBlocksPerSection == 0) {
            section = NewGroup("section");
            chapter.call<void>("append", section);
            RemeasureSection(section);
        }
        Entry& block = blocks_.emplace_back(Entry{NewBlock(text.call<val>("substring", from, to)),
                                                  to - from, static_cast<double>(i)});
        section.call<void>("append", block.element);
        block.element.set("zvOrder", block.key);
        from = to;
    }
    element_.call<void>("replaceChildren", chapters);
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
