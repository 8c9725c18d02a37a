// Where the caret lands in the output box after a key or the mouse moved it (the browser's is
// web/caret_landing.h). At the end of a
// block before a cut, that position and the one at the next block's start are one place
// in the text: one paragraph shows the caret at the next line's start there, and End, Up, Down,
// a click or a double-click there find what they find on a line in the middle of a paragraph.
// This works out where; the box moves the caret.
#pragma once

#include <QTextCursor>
#include <optional>

class QKeyEvent;
class QTextBlock;
class QTextDocument;

namespace zentrovax {

class CaretLanding {
  public:
    // How the caret got where it is.
    enum class Move { kOther, kBack, kLineEnd, kVertical, kPointed };
    // How a key moves the caret: back a character or word, to the line's end, up or down.
    [[nodiscard]] static Move MoveOf(const QKeyEvent& key);

    // For the document as it is laid out, `wrap_width` wide.
    CaretLanding(const QTextDocument& document, qreal wrap_width)
        : document_(document), wrap_width_(wrap_width) {}

    // Whether the position is the end of a block that a cut follows.
    [[nodiscard]] bool AtEndBeforeCut(int position) const;
    // The cursor placed as one paragraph places it after `move`, where it differs. `x` is where
    // a vertical move or the pointer aims, in the layout of the cursor's block.
    [[nodiscard]] std::optional<QTextCursor> Place(const QTextCursor& cursor, Move move,
                                                   qreal x) const;
    // Where `x` on the last line of `block` finds the caret when the next block's text follows
    // that line, as in one paragraph.
    [[nodiscard]] int MiddleLineCursor(const QTextBlock& block, qreal x) const;
    // Where a double-click at `hit`, `x` into its block, selects a word other than Qt's: at a
    // block's end, the word at the place a line in the middle of the paragraph finds there.
    [[nodiscard]] std::optional<QTextCursor> WordAt(const QTextCursor& hit, qreal x) const;
    // A selection of a word that a cut runs through, grown to the whole word, where it
    // differs: a word without spaces may run on through many blocks.
    [[nodiscard]] std::optional<QTextCursor> WholeWord(const QTextCursor& cursor) const;

  private:
    const QTextDocument& document_;
    qreal wrap_width_;
};

}  // namespace zentrovax
