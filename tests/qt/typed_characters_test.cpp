#include "qt/typed_characters.h"

#include <gtest/gtest.h>

namespace zentrovax {
namespace {

using Codes = std::vector<CharacterCode>;

TEST(TypedCharacters, PlainKeysTypeTheirCharacterAndWideCharactersTypeAnUnmappedCode) {
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_A, Qt::NoModifier, "a"), Codes{'a'});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_A, Qt::ShiftModifier, "A"), Codes{'A'});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("\xC3\xA9")),
              Codes{0xE9});
    // A Cyrillic letter and an emoji (two UTF-16 units) are each one character.
    EXPECT_EQ(CodesOfKeyPress(0, Qt::NoModifier, QString::fromUtf8("\xD0\xB0")),
              Codes{kUnmappedCharacter});
    EXPECT_EQ(CodesOfKeyPress(0, Qt::NoModifier, QString::fromUtf8("\xF0\x9F\x98\x80")),
              Codes{kUnmappedCharacter});
    // Backspace, Enter and Escape arrive as their control codes.
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_Backspace, Qt::NoModifier, "\b"), Codes{8});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_Return, Qt::NoModifier, "\r"), Codes{13});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_Escape, Qt::NoModifier, "\x1b"), Codes{27});
}

TEST(TypedCharacters, KeysThatTypeNothing) {
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_Tab, Qt::NoModifier, "\t"), Codes{});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_Backtab, Qt::ShiftModifier, "\t"), Codes{});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_Shift, Qt::ShiftModifier, ""), Codes{});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_Left, Qt::NoModifier, ""), Codes{});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_A, Qt::AltModifier, "a"), Codes{});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_A, Qt::MetaModifier, "a"), Codes{});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_1, Qt::ControlModifier, "1"), Codes{});
}

TEST(TypedCharacters, CtrlChordsTypeTheirControlCodeNeverTheirLetter) {
    // X sends the control code itself; synthetic events send the letter.
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_V, Qt::ControlModifier, "\x16"), Codes{22});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_V, Qt::ControlModifier, "v"), Codes{22});
    EXPECT_EQ(CodesOfKeyPress(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, "A"), Codes{1});
    for (const auto& [key, text] : {std::pair{Qt::Key_A, "a"}, {Qt::Key_Space, " "}}) {
        for (const CharacterCode code :
             CodesOfKeyPress(key, Qt::ControlModifier | Qt::AltModifier, text)) {
            EXPECT_FALSE(TranslateKey(code).has_value()) << text;
        }
    }
}

TEST(TypedCharacters, EveryCommittedCharacterIsTyped) {
    EXPECT_EQ(CodesOfInputMethod(QString::fromUtf8("a\xC3\xA9 \xE2\x82\xAC")),
              (Codes{'a', 0xE9, ' ', kUnmappedCharacter}));
    EXPECT_EQ(CodesOfInputMethod(""), Codes{});
}

}  // namespace
}  // namespace zentrovax
