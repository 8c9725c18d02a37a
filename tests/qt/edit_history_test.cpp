#include "qt/edit_history.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTextCursor>
#include <QTextDocument>

namespace zentrovax {
namespace {

// An edit of the user's, then the box's cuts as a step of Qt's history of their own.
void EditAndCut(QTextDocument& document, EditHistory& history, const QString& typed) {
    history.BeforeEvent();
    const QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, typed);
    history.BeforeKey(key, false);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    const int from = cursor.position();
    cursor.insertText(typed);
    const int height_after_edit = document.availableUndoSteps();
    cursor.beginEditBlock();
    cursor.insertBlock();
    cursor.endEditBlock();
    history.Record(from, from + static_cast<int>(typed.size()), 0, height_after_edit,
                   from + static_cast<int>(typed.size()));
}

TEST(EditHistory, UndoAndRedoTakeAnEditTogetherWithTheCutsAfterIt) {
    QTextDocument document;
    EditHistory history(document);
    EditAndCut(document, history, QStringLiteral("one"));
    EditAndCut(document, history, QStringLiteral(" two"));
    EXPECT_TRUE(history.TakesCuts());
    QTextCursor cursor(&document);
    ASSERT_TRUE(history.Undo(cursor));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("one\n"));
    EXPECT_FALSE(history.TakesCuts()) << "cuts now would end the redo history";
    ASSERT_TRUE(history.Redo(cursor));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("one\n two\n"));
    EXPECT_FALSE(history.Redo(cursor)) << "nothing more to redo";
    history.Clear();
    EXPECT_FALSE(history.Undo(cursor)) << "Qt's own step, not one of the user's";
}

}  // namespace
}  // namespace zentrovax
