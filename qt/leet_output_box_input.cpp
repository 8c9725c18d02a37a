// The output box's keyboard and mouse while paused: Qt's own editing, mended where it would
// differ from one paragraph at a cut, and Undo and Redo over the user's history.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextLayout>
#include <memory>

#include "qt/cut_marks.h"
#include "qt/leet_output_box.h"

namespace zentrovax {
namespace {

bool DeletesBackward(const QKeyEvent& key) {
    return key.matches(QKeySequence::DeleteStartOfWord) ||
           (key.key() == Qt::Key_Backspace && (key.modifiers() & ~Qt::ShiftModifier) == 0);
}

}  // namespace

void LeetOutputBox::PlaceCaret(CaretLanding::Move move, qreal x) {
    if (const auto placed = Landing().Place(textCursor(), move, x)) {
        setTextCursor(*placed);
    }
}

std::optional<UndoSteps::Step> LeetOutputBox::GoThroughHistory(
    std::optional<UndoSteps::Step> (EditHistory::*go)(QTextCursor&), QTextCursor& cursor) {
    FinishUserEdit();
    cursor = textCursor();
    const QScopedValueRollback going(in_undo_, true);
    return (history_.*go)(cursor);
}

void LeetOutputBox::Undo() {
    QTextCursor cursor;
    const std::optional<UndoSteps::Step> step = GoThroughHistory(&EditHistory::Undo, cursor);
    setTextCursor(cursor);
    FinishUserEdit();
    if (step && step->kind == UndoSteps::Kind::kDeletion) {
        // After the whole run of deletions, as Qt leaves it when the run is one step.
        cursor.setPosition(DocumentPosition(step->offset + step->length));
        setTextCursor(cursor);
    }
}

void LeetOutputBox::Redo() {
    QTextCursor cursor;
    const std::optional<UndoSteps::Step> step = GoThroughHistory(&EditHistory::Redo, cursor);
    if (step) {
        FinishUserEdit();
        // Redoing the cuts would leave the caret at the last of them.
        cursor.setPosition(DocumentPosition(step->caret_after));
        setTextCursor(cursor);
    }
}

void LeetOutputBox::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    // Qt's own undo would take back the box's cuts as if they were edits.
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-undo")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &LeetOutputBox::Undo);
        } else if (action->objectName() == QLatin1String("edit-redo")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &LeetOutputBox::Redo);
        }
    }
    menu->exec(event->globalPos());
}

void LeetOutputBox::keyPressEvent(QKeyEvent* event) {
    if (!editable_) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Undo)) {
        Undo();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        Redo();
        event->accept();
        return;
    }
    QTextCursor cursor = textCursor();
    history_.BeforeKey(*event, cursor.hasSelection());
    if (!cursor.hasSelection() && DeletesBackward(*event) && cursor.atBlockStart() &&
        FollowsCut(cursor.block())) {
        // What lies before the caret is the last character of the block before, not a break.
        const UnseenChange unseen(*this);
        cursor.setPosition(cursor.position() - 1);
        setTextCursor(cursor);
    }
    QPlainTextEdit::keyPressEvent(event);

    const CaretLanding::Move move = CaretLanding::MoveOf(*event);
    if (move == CaretLanding::Move::kBack && Landing().AtEndBeforeCut(textCursor().position())) {
        // Stopped on the break itself: once more, to the character before it.
        QPlainTextEdit::keyPressEvent(event);
    }
    PlaceCaret(move, textCursor().verticalMovementX());
}

void LeetOutputBox::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    PlaceCaretAt(event->position());
}

void LeetOutputBox::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    if ((event->buttons() & Qt::LeftButton) != 0) {
        PlaceCaretAt(event->position());
    }
}

void LeetOutputBox::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    // A click into a selection moves the caret only now, once it is clear it was no drag; the
    // release after a double-click leaves the word it selected.
    if (event->button() == Qt::LeftButton && !textCursor().hasSelection()) {
        PlaceCaretAt(event->position());
    }
}

void LeetOutputBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    const QTextCursor hit = cursorForPosition(event->position().toPoint());
    const CaretLanding landing = Landing();
    if (const auto word = landing.WordAt(hit, XInBlock(hit.block(), event->position()))) {
        setTextCursor(*word);
    }
    if (const auto word = landing.WholeWord(textCursor())) {
        setTextCursor(*word);
    }
    PlaceCaret(CaretLanding::Move::kOther, 0);
}

qreal LeetOutputBox::XInBlock(const QTextBlock& block, QPointF point) const {
    return point.x() - (blockBoundingGeometry(block).translated(contentOffset()).left() +
                        block.layout()->position().x());
}

void LeetOutputBox::PlaceCaretAt(QPointF point) {
    PlaceCaret(CaretLanding::Move::kPointed, XInBlock(textCursor().block(), point));
}

}  // namespace zentrovax
