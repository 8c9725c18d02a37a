#include "qt/visible_offsets.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>

#include "qt/cut_marks.h"

namespace zentrovax {
namespace {

TEST(VisibleOffsets, FollowTheDocumentAsItsBlocksAreCutAndItsTextChanges) {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("abc"));
    cursor.insertBlock(CutFormat());  // "abc" | cut | "def"
    cursor.insertText(QStringLiteral("def"));
    cursor.insertBlock(QTextBlockFormat());  // | newline "gh"
    cursor.insertText(QStringLiteral("gh"));
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        block.setUserState(kKnownBlock);
    }
    VisibleOffsets offsets(document);
    EXPECT_EQ(offsets.Length(), 9) << "abcdef\\ngh";
    EXPECT_EQ(offsets.Of(4), 3);
    EXPECT_EQ(offsets.PositionOf(7), 8);
    cursor.setPosition(1);
    cursor.insertText(QStringLiteral("xx"));
    offsets.Forget(0);
    EXPECT_EQ(offsets.Length(), 11);
    EXPECT_EQ(offsets.Of(6), 5) << "the d moved with the text";
}

}  // namespace
}  // namespace zentrovax
