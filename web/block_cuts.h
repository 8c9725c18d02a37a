// The output's text as block <div>s (Linux's are qt/block_cuts.h), grouped in sections and
// chapters, each holding exactly one text node, cut where the one paragraph wraps anyway, so that
// the blocks wrap as the paragraph would and a change lays out one or two blocks at any length
// (words as in output/glossary.md). Offsets count UTF-16 units, as the DOM does. It keeps the cuts
// true as the text changes, through the repair in output/; it knows nothing of keys, the caret or
// undo.
#pragma once

#include <emscripten/val.h>

#include <optional>
#include <string_view>
#include <vector>

#include "output/cut_repair.h"
#include "web/block_list.h"

namespace zentrovax {

class BlockCuts final : public CutBlocks {
  public:
    // `element` is the empty output element; its blocks are made here.
    explicit BlockCuts(emscripten::val element);

    struct Place {
        int block = 0;
        int offset = 0;  // in the block's text
    };

    [[nodiscard]] int Length() const { return list_.Total(); }
    [[nodiscard]] int Count() const override { return list_.Count(); }
    [[nodiscard]] emscripten::val Block(int block) const { return list_.Element(block); }
    [[nodiscard]] emscripten::val TextNode(int block) const { return Block(block)["firstChild"]; }
    // The block's text: its text node's, and the newline it hides, if any.
    [[nodiscard]] emscripten::val Data(int block) const;
    // A newline that ends a block other than the last is kept out of its text node: a <br> after
    // the text node shows it, and a hidden <span> after that holds it, for the text to read
    // whole. In the text node it would end a line the block ends anyway, and Chromium and WebKit
    // could then not move the caret up or down into the block (Up went to the start of the text).
    [[nodiscard]] bool HidesNewline(int block) const;
    [[nodiscard]] int LengthOf(int block) const { return list_.Length(block); }
    [[nodiscard]] int StartOf(int block) const { return list_.Start(block); }
    // Where an offset lies. At the cut between two blocks, `downstream` picks the later one.
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
    // Plans every cut again for where the paragraph wraps now, e.g. after the page's zoom changed.
    void Recut();
    // After the browser changed a block's text itself (an input method's composition).
    void Resync(int block);

    // An engine skips the layout of sections and chapters off screen (content-visibility: auto),
    // and cannot put the caret into text it skipped: the sections and chapters of these blocks are
    // laid out wherever they lie, until the next call.
    void KeepLaidOut(const std::vector<int>& blocks);

    [[nodiscard]] bool HasStaleCuts() const { return list_.HasMarks(); }

    // What the repair needs; every block boundary is a cut, as newlines are text.
    [[nodiscard]] bool HasCutBefore(int block) const override { return block > 0; }
    [[nodiscard]] int Lines(int block) override;
    [[nodiscard]] std::vector<int> BlockStarts(int block) override;
    bool SettleCutBefore(int block) override;
    void Cut(int block, const std::vector<int>& offsets) override;
    void MarkStale(int block) override { list_.Mark(block); }
    [[nodiscard]] std::optional<int> FirstStale() const override { return list_.FirstMarked(); }
    void ClearStale(int block) override { list_.Unmark(block); }

  private:
    // Replaces the text between two places by a long text, cut where it wraps before it enters
    // the page, as a text set anew is: in one block, each cut would lay the rest out again.
    void ReplaceByPlan(Place first, Place last, const emscripten::val& text);
    // Where a paragraph's worth of `text`, from a block's start, would be cut.
    [[nodiscard]] std::vector<int> PlanOf(const emscripten::val& text);
    void JoinNext(int block);
    void HideNewlineIfEnding(int block);
    // Puts a hidden newline back at the end of the block's text node, for an edit of it.
    void ShowNewline(int block);
    // A newline that ends the text starts a line, as in a text box, and the caret shows there:
    // the last block then ends in a <br>, which holds no text.
    void KeepLastLine();

    emscripten::val element_;
    emscripten::val document_;
    BlockList list_;
    emscripten::val last_line_;
    // What KeepLaidOut last kept: sections and chapters.
    std::vector<emscripten::val> laid_out_;
};

}  // namespace zentrovax
