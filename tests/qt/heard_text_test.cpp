#include "qt/heard_text.h"

#include <gtest/gtest.h>

namespace zentrovax {
namespace {

using Change = HeardText::Change;

void ExpectChange(const std::optional<Change>& change, int at, const QString& removed,
                  const QString& inserted) {
    ASSERT_TRUE(change);
    EXPECT_EQ(change->at, at);
    EXPECT_EQ(change->removed, removed);
    EXPECT_EQ(change->inserted, inserted);
}

TEST(HeardText, AChangeIsToldAsNarrowlyAsTheUserSawItWithTheTextItTookAway) {
    HeardText heard;
    EXPECT_FALSE(heard.Replace(0, QStringLiteral("x"), 1)) << "nobody listens yet";
    heard.Start(QStringLiteral("abc\ndef"));
    // A newline typed over, told from the character before it, as a change at a block's start is.
    ExpectChange(heard.Replace(2, QStringLiteral("cx"), 7), 3, QStringLiteral("\n"),
                 QStringLiteral("x"));
    ExpectChange(heard.Replace(3, QString(), 6), 3, QStringLiteral("x"), QString());
    ExpectChange(heard.Replace(3, QStringLiteral("\n\n"), 8), 3, QString(), QStringLiteral("\n\n"));
    EXPECT_FALSE(heard.Replace(0, QStringLiteral("ab"), 8)) << "a change of format only";
    heard.Stop();
    EXPECT_FALSE(heard.Active());
}

TEST(HeardText, NeverHalfACharacter) {
    HeardText heard;
    heard.Start(QStringLiteral("a\U0001F600b"));
    // The two faces share their first UTF-16 unit.
    ExpectChange(heard.Replace(1, QStringLiteral("\U0001F601"), 4), 1, QStringLiteral("\U0001F600"),
                 QStringLiteral("\U0001F601"));
}

}  // namespace
}  // namespace zentrovax
