#include "qt/cut_marks.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "qt/caret_landing.h"

namespace zentrovax {
namespace {

// A paragraph laid out as the output box lays it out, in a box of its width.
class Paragraph : public ::testing::Test {
  protected:
    void SetUp() override {
        edit_.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        edit_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit_.resize(140, 200);
        edit_.show();
        width_ = edit_.viewport()->width() - 2 * document_.documentMargin();
        document_.setPlainText(QStringLiteral(
            "the quick brown fox jumps over the lazy dog and keeps running far away"));
        document_.firstBlock().setUserState(kKnownBlock);
        LayoutOf(document_).ensureBlockLayout(document_.firstBlock());
    }
    // Cuts the paragraph at `position`, as the box does.
    QTextBlock CutAt(int position) {
        QTextCursor cursor(&document_);
        cursor.setPosition(position);
        cursor.insertBlock(CutFormat());
        cursor.block().setUserState(kKnownBlock);
        Relayout(cursor.block().previous());
        Relayout(cursor.block());
        return cursor.block();
    }
    [[nodiscard]] int SecondLineStart() const {
        return document_.firstBlock().layout()->lineAt(1).textStart();
    }
    QPlainTextEdit edit_;
    QTextDocument& document_ = *edit_.document();
    qreal width_ = 0;
};

TEST_F(Paragraph, ACutHoldsExactlyWhereTheParagraphWraps) {
    const int wrap = SecondLineStart();
    ASSERT_GT(wrap, 0);
    QTextBlock after = CutAt(wrap);
    EXPECT_TRUE(FollowsCut(after));
    EXPECT_TRUE(CutHolds(after.previous(), after, width_));
    JoinOntoPrevious(after);
    after = CutAt(wrap + 1);
    EXPECT_FALSE(CutHolds(after.previous(), after, width_)) << "one character late";
    after.setUserState(kNewBlock);
    EXPECT_FALSE(FollowsCut(after)) << "a block Qt has just made is the user's paragraph";
    EXPECT_TRUE(HasCutMark(after));
}

TEST_F(Paragraph, TheCaretAtABlocksEndLandsWhereOneParagraphShowsIt) {
    const int wrap = SecondLineStart();
    const QTextBlock after = CutAt(wrap);
    const CaretLanding landing(document_, width_);
    const int end_before_cut = after.position() - 1;
    EXPECT_TRUE(landing.AtEndBeforeCut(end_before_cut));
    EXPECT_FALSE(landing.AtEndBeforeCut(end_before_cut - 1));

    QTextCursor cursor(&document_);
    cursor.setPosition(end_before_cut);
    EXPECT_EQ(landing.Place(cursor, CaretLanding::Move::kOther, 0)->position(), after.position())
        << "at the next line's start";
    // The line wraps at a space: End stops before it, as in the middle of a paragraph.
    EXPECT_EQ(landing.Place(cursor, CaretLanding::Move::kLineEnd, 0)->position(),
              end_before_cut - 1);
    const QTextLayout& lines = *after.previous().layout();
    EXPECT_EQ(landing.MiddleLineCursor(after.previous(), 0),
              lines.lineAt(lines.lineCount() - 1).textStart())
        << "the start of the block's last line";
    cursor.setPosition(2);
    EXPECT_FALSE(landing.Place(cursor, CaretLanding::Move::kOther, 0)) << "elsewhere it stays";
}

TEST_F(Paragraph, ADoubleClickedWordGrowsThroughEveryBlockItRunsThrough) {
    document_.setPlainText(QStringLiteral("ab ") + QString(60, QLatin1Char('x')) +
                           QStringLiteral(" cd"));
    CutAt(20);
    CutAt(41);
    const CaretLanding landing(document_, width_);
    QTextCursor cursor(&document_);
    cursor.setPosition(21);
    cursor.select(QTextCursor::WordUnderCursor);
    const auto word = landing.WholeWord(cursor);
    ASSERT_TRUE(word);
    EXPECT_EQ(word->selectionStart(), 3);
    EXPECT_EQ(word->selectionEnd(), 3 + 60 + 2) << "sixty x and the two breaks in them";
}

}  // namespace
}  // namespace zentrovax
