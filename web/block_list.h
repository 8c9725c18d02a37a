// The output's block <div>s in order, grouped in section <div>s, which are grouped in chapter
// <div>s; each block with its length (in UTF-16 units) and a key that grows in document order.
// Each block carries its key, so that the block of a DOM node is found by a binary search rather
// than by walking the DOM. Marks put on blocks follow them through every insertion and removal.
#pragma once

#include <emscripten/val.h>

#include <optional>
#include <vector>

namespace zentrovax {

class BlockList {
  public:
    // `element` is the empty output element; the list puts its chapters there.
    explicit BlockList(emscripten::val element);

    [[nodiscard]] int Count() const { return static_cast<int>(blocks_.size()); }
    [[nodiscard]] const emscripten::val& Element(int block) const { return At(block).element; }
    [[nodiscard]] int Length(int block) const { return At(block).length; }
    void SetLength(int block, int length) { At(block).length = length; }
    // Where the block starts in the text.
    [[nodiscard]] int Start(int block) const;
    [[nodiscard]] int Total() const { return Start(Count()); }

    // A new block around `text_node`, before the block `before` (or last), in that block's
    // section, which is halved once it holds too many, as is its chapter.
    void Insert(int before, const emscripten::val& text_node, int length);
    // New blocks holding `text` cut at `cuts`, in ascending order, before the block `before`.
    void InsertAll(int before, const emscripten::val& text, const std::vector<int>& cuts);
    void Remove(int block);
    // Much of the text of the block's section changed at once (a paste, its undo): what the
    // browser remembers of the section's size while it skips it is measured anew. An edit of a
    // few characters changes it by a line at most, and the section is measured as it shows.
    void Remeasure(int block);
    // The list anew: `text` in blocks cut at `cuts`, in ascending order.
    void Assign(const emscripten::val& text, const std::vector<int>& cuts);
    // A block element holding `text`, not in the list.
    [[nodiscard]] emscripten::val NewBlock(const emscripten::val& text) const;
    [[nodiscard]] static bool IsBlock(const emscripten::val& node);
    // The block that `node` is, or -1 for any other node.
    [[nodiscard]] int BlockOfElement(const emscripten::val& node) const;

    // A mark on a block that is removed passes to the block before it.
    void Mark(int block);
    [[nodiscard]] bool IsMarked(int block) const;
    [[nodiscard]] std::optional<int> FirstMarked() const;
    [[nodiscard]] bool HasMarks() const { return !marks_.empty(); }
    void Unmark(int block);

  private:
    struct Entry {
        emscripten::val element;
        int length = 0;
        double key = 0;
    };
    [[nodiscard]] const Entry& At(int block) const {
        return blocks_[static_cast<std::size_t>(block)];
    }
    Entry& At(int block) { return blocks_[static_cast<std::size_t>(block)]; }
    // An empty section or chapter: `kind` is its class.
    [[nodiscard]] emscripten::val NewGroup(const char* kind) const;
    // The block whose key is `key`, or the one before, where a block of that key was removed.
    [[nodiscard]] int BlockAtKey(double key) const;
    // Gives every block its place in order as its key, when two neighbours' keys got too close.
    void Renumber();

    emscripten::val element_;
    emscripten::val document_;
    std::vector<Entry> blocks_;
    // Keys of the marked blocks, in order.
    std::vector<double> marks_;
};

}  // namespace zentrovax
