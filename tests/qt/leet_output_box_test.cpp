// The output box on its own: it wraps as one paragraph, pauses, resumes and keeps its view, at any
// size and with any text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

#include "tests/qt/output_box_fixture.h"

namespace zentrovax {
namespace {

using testing::LineStarts;
using testing::OutputBox;
using testing::ReferenceLineStarts;
using testing::TypedOutput;

TEST_F(OutputBox, WrapsExactlyAsOneParagraphAtEverySize) {
    QString expected;
    for (const int size : {100, 3'000, 20'000, 60'000}) {
        const QString more = TypedOutput(size, static_cast<unsigned>(size));
        AppendInPieces(more);
        expected += more;
        ExpectSameLinesAsOneParagraph("typed output");
    }
    EXPECT_EQ(box_.Text(), expected);
    EXPECT_GT(box_.BlockCount(), 20) << "long output is kept in blocks";
}

TEST_F(OutputBox, WrapsExactlyAsOneParagraphWithLongRunsWithoutSpacesAndOfSpaces) {
    AppendInPieces(TypedOutput(500, 1));
    AppendInPieces(QString(5'000, '4'), 1);
    ExpectSameLinesAsOneParagraph("5,000 characters without a space");
    AppendInPieces(TypedOutput(500, 2));
    AppendInPieces(QString(300, ' '), 1);
    AppendInPieces(TypedOutput(2'000, 3));
    AppendInPieces(QString(1'000, ' '), 1);
    AppendInPieces(TypedOutput(2'000, 4));
    ExpectSameLinesAsOneParagraph("runs of spaces");
    box_.SetText(box_.Text());
    ExpectSameLinesAsOneParagraph("the same text cut from scratch");
}

TEST_F(OutputBox, PauseEditAndResumeKeepTheWrapsAndTheUsersNewlines) {
    const QString typed = TypedOutput(30'000, 7);
    AppendInPieces(typed);
    box_.SetEditable(true);
    box_.setFocus();
    // An edit in the middle, with a newline, changes every wrap after it.
    QTextCursor cursor = box_.textCursor();
    cursor.setPosition(box_.document()->findBlockByNumber(5).position());
    box_.setTextCursor(cursor);
    QTest::keyClick(&box_, Qt::Key_Return);
    QTest::keyClicks(&box_, "hand typed");
    box_.SetEditable(false);
    ExpectSameLinesAsOneParagraph("after an edit in the middle");
    AppendInPieces(TypedOutput(5'000, 8));
    ExpectSameLinesAsOneParagraph("typing on after resume");
    EXPECT_EQ(box_.Text().count('\n'), 1);
    EXPECT_TRUE(box_.Text().contains("hand typed"));
}

TEST_F(OutputBox, GetTextCopyAndSelectAllGiveTheTextAsTheUserSeesIt) {
    const QString first = TypedOutput(10'000, 11);
    AppendInPieces(first);
    box_.SetEditable(true);
    box_.setFocus();
    box_.moveCursor(QTextCursor::End);
    QTest::keyClick(&box_, Qt::Key_Return);
    box_.insertPlainText(QString::fromUtf8("caf\xC3\xA9 \xE4\xB8\xAD"));
    box_.SetEditable(false);
    const QString second = TypedOutput(10'000, 12);
    AppendInPieces(second);
    const QString expected = first + "\n" + QString::fromUtf8("caf\xC3\xA9 \xE4\xB8\xAD") + second;
    ASSERT_GT(box_.BlockCount(), 10);
    EXPECT_EQ(box_.Text(), expected);

    box_.SetEditable(true);
    box_.selectAll();
    box_.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), expected);

    // A selection that spans cuts, from inside one block to inside another.
    QTextCursor cursor = box_.textCursor();
    cursor.setPosition(box_.document()->findBlockByNumber(2).position() + 5);
    const int from_logical =
        static_cast<int>(first.indexOf(box_.document()->findBlockByNumber(2).text())) + 5;
    cursor.setPosition(box_.document()->findBlockByNumber(6).position() + 7,
                       QTextCursor::KeepAnchor);
    box_.setTextCursor(cursor);
    box_.copy();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, expected.mid(from_logical, copied.size()));
    EXPECT_FALSE(copied.contains('\n'));
    EXPECT_EQ(box_.Text(), expected) << "copying changes nothing";
    // Joining for an edit keeps the user's own newline.
    box_.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box_, "z");
    EXPECT_EQ(box_.Text(), expected + "z");
}

TEST_F(OutputBox, EditingAcrossFormerCutsBehavesAsInOneParagraph) {
    const QString typed = TypedOutput(5'000, 21);
    AppendInPieces(typed);
    ASSERT_GT(box_.BlockCount(), 2);
    const int cut = box_.document()->findBlockByNumber(1).position();
    box_.SetEditable(true);
    box_.setFocus();
    // Backspace at the start of a visual line that began a block deletes the character before.
    QTextCursor cursor = box_.textCursor();
    cursor.setPosition(cut);
    box_.setTextCursor(cursor);
    const int logical = cut - 1;  // one cut lies before the caret
    QTest::keyClick(&box_, Qt::Key_Backspace);
    QString expected = typed;
    expected.remove(logical - 1, 1);
    EXPECT_EQ(box_.Text(), expected);
    // Enter there keeps its newline.
    QTest::keyClick(&box_, Qt::Key_Return);
    expected.insert(logical - 1, '\n');
    EXPECT_EQ(box_.Text(), expected);
    // Undo takes back only the user's edits and never brings a cut back as a newline.
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(&box_, Qt::Key_Z, Qt::ControlModifier);
    }
    EXPECT_EQ(box_.Text(), typed);
    box_.SetEditable(false);
    box_.Append(u"!");
    EXPECT_EQ(box_.Text(), typed + "!");
}

TEST_F(OutputBox, PausingEditingAndResumingKeepTheViewOnTheSameText) {
    AppendInPieces(TypedOutput(40'000, 31));
    box_.verticalScrollBar()->setValue(box_.verticalScrollBar()->maximum() / 2);
    const int top = TopVisibleOffset();
    box_.SetEditable(true);
    EXPECT_EQ(TopVisibleOffset(), top) << "after Pause";
    box_.setFocus();
    QTest::keyClick(&box_, Qt::Key_End, Qt::ControlModifier);
    box_.verticalScrollBar()->setValue(box_.verticalScrollBar()->maximum() / 2);
    const int top_while_paused = TopVisibleOffset();
    QTest::keyClicks(&box_, "x");  // the first edit joins the blocks
    box_.verticalScrollBar()->setValue(box_.verticalScrollBar()->maximum() / 2);
    const int top_after_edit = TopVisibleOffset();
    EXPECT_EQ(top_after_edit, top_while_paused) << "joining keeps the lines where they were";
    box_.SetEditable(false);
    EXPECT_EQ(TopVisibleOffset(), top_after_edit) << "after Resume";
}

TEST_F(OutputBox, ResumeLeavesNoPauseWhereWrapsNeverRealignAndTheCutsComeRightWhileTypingGoesOn) {
    // A run without spaces: an edit at the start moves the wrap of every later line.
    const QString text(100'000, QLatin1Char('|'));
    box_.SetText(text);
    box_.SetEditable(true);
    box_.setFocus();
    QTest::keyClick(&box_, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(&box_, "x");
    box_.SetEditable(false);
    const QString edited = "x" + text + "48";
    const std::vector<int> expected = ReferenceLineStarts(edited);
    const std::vector<int> in_view = LineStarts(box_);
    ASSERT_GT(in_view.size(), 12U);
    EXPECT_TRUE(std::equal(in_view.begin(), in_view.begin() + 12, expected.begin()))
        << "the lines in view are right at once";
    box_.Append(u"4");
    box_.Append(u"8");
    EXPECT_EQ(box_.Text(), edited);
    EXPECT_TRUE(QTest::qWaitFor([&] { return LineStarts(box_) == expected; }, 30'000))
        << "every cut is right once the event loop was idle";
}

TEST_F(OutputBox, AppendsKeepTheViewWhereItWas) {
    AppendInPieces(TypedOutput(5'000, 41));
    const QScrollBar& bar = *box_.verticalScrollBar();
    EXPECT_EQ(bar.value(), 0);
    box_.verticalScrollBar()->setValue(3);
    AppendInPieces(TypedOutput(2'000, 42));
    EXPECT_EQ(bar.value(), 3);
    EXPECT_FALSE(box_.ViewIsAtEnd());
    box_.ShowEnd();
    EXPECT_TRUE(box_.ViewIsAtEnd());
}

}  // namespace
}  // namespace zentrovax
