#include "output/typed_text.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace zentrovax {
namespace {

using Codes = std::vector<CharacterCode>;

Codes Feed(std::initializer_list<char16_t> units) {
    Utf16Characters characters;
    Codes codes;
    for (const char16_t unit : units) {
        if (const auto code = characters.Feed(unit)) {
            codes.push_back(*code);
        }
    }
    return codes;
}

TEST(Utf16Characters, UnitsUpTo0xFFAreTheirOwnCodesAndOthersTypeNothing) {
    EXPECT_EQ(Feed({u'a', u' ', 22, 0xE9, 0xFF}), (Codes{'a', ' ', 22, 0xE9, 0xFF}));
    EXPECT_EQ(Feed({0x100, 0x4E2D, 0xFFFF}), (Codes(3, kUnmappedCharacter)));
}

TEST(Utf16Characters, ASurrogatePairIsOneCharacter) {
    // U+1F600 as WM_CHAR sends it: high, then low surrogate, around two plain letters.
    EXPECT_EQ(Feed({u'a', 0xD83D, 0xDE00, u'b'}), (Codes{'a', kUnmappedCharacter, 'b'}));
    // Halves without their partner are no characters, and never eat the next key.
    EXPECT_EQ(Feed({0xD83D, u'k', 0xDE00, u'k'}), (Codes{'k', 'k'}));
    EXPECT_EQ(CodesOfUtf16(u"\u00e9a\U0001F600m"), (Codes{0xE9, 'a', kUnmappedCharacter, 'm'}));
}

TEST(Utf8Characters, EachCharacterIsOneCodeAndTheLettersAfterWideOnesStayTheirOwn) {
    // é (two bytes), 中 (three), 😀 (four), each followed by a letter the table maps.
    EXPECT_EQ(CodesOfUtf8("\xC3\xA9"
                          "a\xE4\xB8\xAD"
                          "b\xF0\x9F\x98\x80"
                          "c"),
              (Codes{0xE9, 'a', kUnmappedCharacter, 'b', kUnmappedCharacter, 'c'}));
    EXPECT_EQ(CodesOfUtf8("\xFF"), (Codes{kUnmappedCharacter}));
}

TEST(Utf8Characters, BrokenSequencesTypeNothingAndNeverSwallowTheNextLetter) {
    // A stray continuation byte, and sequences cut short by a letter or by the end.
    EXPECT_EQ(CodesOfUtf8("\x80"
                          "a\xE4\xB8"
                          "b\xC3"),
              (Codes{kUnmappedCharacter, 'a', kUnmappedCharacter, 'b', kUnmappedCharacter}));
}

TEST(Utf8Characters, Utf16LengthCountsAPairForCharactersBeyondTheBasicPlane) {
    EXPECT_EQ(Utf16Length(""), 0);
    EXPECT_EQ(Utf16Length("a\xC3\xA9\xE4\xB8\xAD"), 3);
    EXPECT_EQ(Utf16Length("\xF0\x9F\x98\x80x"), 3);
}

}  // namespace
}  // namespace zentrovax
