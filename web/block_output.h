// The browser's output box: a container of block <div>s, each one text node, cut where the one
// paragraph wraps anyway, so that a keystroke lays out only the last block. It knows the DOM and
// nothing of the handlers; it does not decide when it is editable, its owner does.
#pragma once

#include <emscripten/val.h>

#include <string>
#include <string_view>

namespace zentrovax {

class BlockOutput {
  public:
    // `element` is the empty txtLeet element; its blocks are made here.
    explicit BlockOutput(emscripten::val element);

    // Touches the last block only, whatever the length of the text.
    void Append(std::string_view text);
    [[nodiscard]] std::string Text() const;
    void SetText(std::string_view text);
    void SetEditable(bool editable);
    // Cuts every block again where the paragraph wraps now: after the page's zoom changed.
    void Recut();

    // While editable: keeps the block edges invisible to Backspace, Delete and new lines.
    void OnBeforeInput(emscripten::val event);
    // What is copied or cut is the text as typed, with nothing where a block ends.
    void OnCopy(emscripten::val event, bool cut);

  private:
    emscripten::val NewBlock(std::string_view text);
    void CutLastBlockIfLong();
    // Where the line `line` of `block` starts, counted in characters of its text node.
    [[nodiscard]] int LineStart(const emscripten::val& block, int line) const;

    emscripten::val element_;
    emscripten::val document_;
    emscripten::val last_block_;
};

}  // namespace zentrovax
