#include "qt/caret_landing.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <initializer_list>

#include "qt/cut_marks.h"

namespace zentrovax {
namespace {

bool IsWordCharacter(QChar character) {
    return character.isLetterOrNumber() || character == QLatin1Char('_');
}

}  // namespace

CaretLanding::Move CaretLanding::MoveOf(const QKeyEvent& key) {
    using Key = QKeySequence;
    const auto is = [&key](std::initializer_list<Key::StandardKey> keys) {
        return std::any_of(keys.begin(), keys.end(),
                           [&key](Key::StandardKey each) { return key.matches(each); });
    };
    if (is({Key::MoveToPreviousChar, Key::SelectPreviousChar, Key::MoveToPreviousWord,
            Key::SelectPreviousWord})) {
        return Move::kBack;
    }
    if (is({Key::MoveToEndOfLine, Key::SelectEndOfLine})) {
        return Move::kLineEnd;
    }
    if (is({Key::MoveToNextLine, Key::SelectNextLine, Key::MoveToPreviousLine,
            Key::SelectPreviousLine, Key::MoveToNextPage, Key::SelectNextPage,
            Key::MoveToPreviousPage, Key::SelectPreviousPage})) {
        return Move::kVertical;
    }
    return Move::kOther;
}

bool CaretLanding::AtEndBeforeCut(int position) const {
    const QTextBlock block = document_.findBlock(position);
    return position == block.position() + block.length() - 1 && FollowsCut(block.next());
}

std::optional<QTextCursor> CaretLanding::Place(const QTextCursor& cursor, Move move,
                                               qreal x) const {
    const int position = cursor.position();
    const int anchor = cursor.anchor();
    // The same place in the text, shown where one paragraph shows it: at the next line's start.
    const auto forward = [this](int at) { return AtEndBeforeCut(at) ? at + 1 : at; };
    int placed = forward(position);
    const QTextBlock block = document_.findBlock(position);
    if (move == Move::kLineEnd && AtEndBeforeCut(position)) {
        // End stops before the space a line wraps at, as in the middle of a paragraph.
        placed = block.text().back().isSpace() ? position - 1 : position + 1;
    } else if ((move == Move::kVertical || move == Move::kPointed) && AtEndBeforeCut(position)) {
        // At the end of a block's last line, x finds what it finds on the same line in the
        // middle of the paragraph, where Qt treats the line's end differently.
        placed = MiddleLineCursor(block, x);
    }
    const int placed_anchor = anchor == position ? placed : forward(anchor);
    if (placed == position && placed_anchor == anchor) {
        return std::nullopt;
    }
    QTextCursor landed = cursor;
    landed.setPosition(placed_anchor);
    landed.setPosition(placed, QTextCursor::KeepAnchor);
    if (move != Move::kPointed) {
        // Up and Down go on from the column they started in, as they do in one paragraph.
        landed.setVerticalMovementX(cursor.verticalMovementX());
    }
    return landed;
}

int CaretLanding::MiddleLineCursor(const QTextBlock& block, qreal x) const {
    const QTextLine last = block.layout()->lineAt(block.layout()->lineCount() - 1);
    QTextLayout probe;
    const int last_line = LayOutAcrossBreak(block, block.next(), wrap_width_, probe);
    // The box sets its lines in by the document margin; the probe's start at 0.
    const int found = probe.lineAt(0).xToCursor(x - last.x());
    return found >= last_line ? block.next().position()
                              : block.position() + last.textStart() + found;
}

std::optional<QTextCursor> CaretLanding::WordAt(const QTextCursor& hit, qreal x) const {
    if (!AtEndBeforeCut(hit.position())) {
        return std::nullopt;
    }
    QTextCursor word(hit);
    word.setPosition(MiddleLineCursor(hit.block(), x));
    word.select(QTextCursor::WordUnderCursor);
    return word;
}

std::optional<QTextCursor> CaretLanding::WholeWord(const QTextCursor& cursor) const {
    if (!cursor.hasSelection()) {
        return std::nullopt;
    }
    int start = cursor.selectionStart();
    int end = cursor.selectionEnd();
    const auto joins_word = [](const QTextBlock& after) {
        return FollowsCut(after) && after.length() > 1 && after.previous().length() > 1 &&
               IsWordCharacter(after.text().front()) &&
               IsWordCharacter(after.previous().text().back());
    };
    while (AtEndBeforeCut(end) && joins_word(document_.findBlock(end).next())) {
        QTextCursor word(document_.findBlock(end).next());
        word.movePosition(QTextCursor::EndOfWord);
        end = word.position();
    }
    for (QTextBlock block = document_.findBlock(start);
         start == block.position() && joins_word(block); block = document_.findBlock(start)) {
        QTextCursor word(cursor);
        word.setPosition(start - 1);
        word.movePosition(QTextCursor::StartOfWord);
        start = word.position();
    }
    if (start == cursor.selectionStart() && end == cursor.selectionEnd()) {
        return std::nullopt;
    }
    // Keeping the end Qt put the caret at.
    const bool caret_at_end = cursor.position() == cursor.selectionEnd();
    QTextCursor word = cursor;
    word.setPosition(caret_at_end ? start : end);
    word.setPosition(caret_at_end ? end : start, QTextCursor::KeepAnchor);
    return word;
}

}  // namespace zentrovax
