// The output's text as block <div>s (grouped in section <div>s), each holding exactly one text
// node, cut where the one paragraph wraps anyway, so that the blocks wrap as the paragraph would
// and a change lays out one or two blocks at any length. Offsets count UTF-16 units, as the DOM
// does. It keeps the cuts true as the text changes; it knows nothing of keys, the caret or undo.
#pragma once

#include <emscripten/val.h>

#include <string_view>
#include <vector>

namespace zentrovax {

class Blocks {
  public:
    // `element` is the empty output element; its blocks are made here.
    explicit Blocks(emscripten::val element);

    struct Place {
        int block = 0;
        int offset = 0;  // in the block's text
    };

    [[nodiscard]] int Length() const;
    [[nodiscard]] int Count() const { return static_cast<int>(lengths_.size()); }
    [[nodiscard]] emscripten::val Block(int block) const;
    [[nodiscard]] emscripten::val TextNode(int block) const { return Block(block)["firstChild"]; }
    [[nodiscard]] int LengthOf(int block) const {
        return lengths_[static_cast<std::size_t>(block)];
    }
    [[nodiscard]] int StartOf(int block) const;
    // Where an offset lies. At the edge between two blocks, `downstream` picks the later one.
    [[nodiscard]] Place Locate(int offset, bool downstream) const;
    // The offset of a DOM position inside the output, or -1 for one outside it.
    [[nodiscard]] int OffsetOf(const emscripten::val& container, int offset) const;
    // The block a node of the output lies in, or -1.
    [[nodiscard]] int BlockOf(emscripten::val node) const;
    // The text between two offsets, as a JavaScript string.
    [[nodiscard]] emscripten::val Text(int from, int to) const;
    // Where the paragraph (the text between newlines) that holds `offset` starts, and where it
    // ends, before its newline.
    [[nodiscard]] int ParagraphStart(int offset) const;
    [[nodiscard]] int ParagraphEnd(int offset) const;

    // Touches the last block only, whatever the length of the text.
    void Append(std::string_view text);
    // Replaces the text between two offsets by `text` (a JavaScript string); the cuts around it
    // are made true again.
    void Replace(int from, int to, const emscripten::val& text);
    void SetText(const emscripten::val& text);
    // Cuts every block again where the paragraph wraps now, e.g. after the page's zoom changed.
    void Recut();
    // After the browser changed a block's text itself (an input method's composition).
    void Resync(int block);

    // An engine skips the layout of blocks off screen (content-visibility: auto), and cannot put
    // the caret into text it skipped: these blocks and their sections are laid out wherever they
    // lie, until the next call.
    void KeepLaidOut(const std::vector<int>& blocks);

    // Edges an edit left unchecked, where it moved the wraps of everything after it.
    [[nodiscard]] bool HasStaleEdges() const { return !stale_.empty(); }
    // Checks stale edges, and cuts again where they are wrong, for about `milliseconds`.
    void RepairStale(double milliseconds);

  private:
    [[nodiscard]] emscripten::val NewBlock(const emscripten::val& text) const;
    [[nodiscard]] emscripten::val NewSection() const;
    void Insert(int before, const emscripten::val& block, int length);
    // Gives every block its place in order again, when two neighbours' keys got too close.
    void Renumber();
    void Remove(int block);
    void MergeNext(int block);
    // Cuts `block` at offsets of its text, in increasing order.
    void Split(int block, const std::vector<int>& cuts);
    // After a change inside `block`: the edges around it that it may have moved are made true
    // again, and the blocks that grew too long are cut.
    void Repair(int block, bool edge_before, bool edge_after);
    void CutIfLong(int& block);
    // Makes the edge after `block` true, merging the next block into it when it is not; true
    // once it is. `block` follows the block that holds the edge still to check.
    bool SettleEdgeAfter(int& block);
    [[nodiscard]] static std::size_t Index(int block) { return static_cast<std::size_t>(block); }
    // A newline that ends the text starts a line, as in a text box, and the caret shows there:
    // the last block then ends in a <br>, which holds no text.
    void KeepLastLine();

    // Layout, read with the block laid out even while off screen.
    [[nodiscard]] int Lines(int block) const;
    [[nodiscard]] std::vector<int> LineStarts(int block) const;
    [[nodiscard]] bool StartsLine(int block, int offset) const;
    [[nodiscard]] int LastLineStart(int block) const;
    // Whether the block's first word, up to where a line may break, ends before `offset`.
    [[nodiscard]] bool FirstWordEndsBefore(int block, int offset) const;

    emscripten::val element_;
    emscripten::val document_;
    // Per block, in order: its element, its length, and a key that grows in document order. The
    // element carries its key, so that the block of a DOM position is found by a binary search
    // here rather than by walking the DOM.
    std::vector<emscripten::val> elements_;
    std::vector<int> lengths_;
    std::vector<double> keys_;
    // Keys of the blocks whose edge after them is unchecked, in order.
    std::vector<double> stale_;
    emscripten::val last_line_;
    // What KeepLaidOut last kept: blocks and sections.
    std::vector<emscripten::val> laid_out_;
};

// The length in UTF-16 units of UTF-8 text.
[[nodiscard]] int Utf16Length(std::string_view text);

}  // namespace zentrovax
