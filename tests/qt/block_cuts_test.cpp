#include "qt/block_cuts.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "output/cut_plan.h"
#include "output/cut_repair.h"
#include "qt/cut_marks.h"

namespace zentrovax {
namespace {

// A box's document, laid out as the output box lays it out, and its cuts.
class Blocks : public ::testing::Test {
  protected:
    void SetUp() override {
        edit_.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        edit_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit_.resize(297, 145);
        edit_.show();
    }
    // Whether every cut falls where a line of the paragraph starts, and every block but
    // a paragraph's last holds exactly a block's lines.
    bool CutsHold() {
        for (QTextBlock block = document_.firstBlock(); block.isValid(); block = block.next()) {
            LayoutOf(document_).ensureBlockLayout(block);
            if (FollowsCut(block.next()) && (block.layout()->lineCount() != kLinesPerBlock ||
                                             !CutHolds(block, block.next(), Width()))) {
                return false;
            }
        }
        return true;
    }
    QString Text() const {
        QString text;
        for (QTextBlock block = document_.firstBlock(); block.isValid(); block = block.next()) {
            if (block.blockNumber() > 0 && !FollowsCut(block)) {
                text += QLatin1Char('\n');
            }
            text += block.text();
        }
        return text;
    }
    qreal Width() const { return edit_.viewport()->width() - 2 * document_.documentMargin(); }

    QPlainTextEdit edit_;
    QTextDocument& document_ = *edit_.document();
    BlockCuts cuts_{document_, [this] { return Width(); },
                    [](const QTextBlock& block) { QTextBlock(block).setUserState(kKnownBlock); }};
    int edits_opened_ = 0;
    const BlockCuts::OpenEdit open_edit_ = [this] { ++edits_opened_; };
};

TEST_F(Blocks, CutAllAndJoinAllChangeTheBlocksButNeverTheText) {
    QString text;
    for (int i = 0; text.size() < 30'000; ++i) {
        text += QStringLiteral("word%1 ").arg(i % 97);
    }
    text += QStringLiteral("\nsecond paragraph");
    document_.setPlainText(text);
    cuts_.CutAll();
    EXPECT_GT(document_.blockCount(), 10);
    EXPECT_TRUE(CutsHold());
    EXPECT_EQ(Text(), text);
    cuts_.JoinAll();
    EXPECT_EQ(document_.blockCount(), 2);
    EXPECT_EQ(Text(), text);
}

TEST_F(Blocks, ARepairMendsTheCutsAnEditMovedAndLeavesWhatLiesPastTheViewStale) {
    const QString run(20'000, QLatin1Char('|'));  // no spaces: every later wrap moves
    document_.setPlainText(run);
    cuts_.CutAll();
    QTextCursor(&document_).insertText(QStringLiteral("xx"));
    cuts_.Repair(0, 2, 0, open_edit_);
    EXPECT_GT(edits_opened_, 0);
    ASSERT_TRUE(cuts_.FirstStale());
    EXPECT_LT(*cuts_.FirstStale(), 2 * kBlocksSettledPastView) << "a few blocks past the view";
    EXPECT_FALSE(CutsHold());
    // The stale marks follow their blocks through the user's edits.
    QTextCursor(&document_).insertText(QStringLiteral("yy"));
    cuts_.Repair(0, 2, 0, open_edit_);
    while (cuts_.FirstStale()) {
        cuts_.RepairStale(RepairLimit::Slice(), open_edit_);
    }
    EXPECT_TRUE(CutsHold());
    EXPECT_EQ(Text(), "yyxx" + run);
}

}  // namespace
}  // namespace zentrovax
