#include "win32/typed_characters.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace zentrovax {
namespace {

std::vector<CharacterCode> Feed(std::initializer_list<char16_t> units) {
    Utf16Characters characters;
    std::vector<CharacterCode> codes;
    for (const char16_t unit : units) {
        if (const auto code = characters.Feed(unit)) {
            codes.push_back(*code);
        }
    }
    return codes;
}

TEST(Utf16Characters, UnitsUpTo0xFFAreTheirOwnCodesAndOthersTypeNothing) {
    EXPECT_EQ(Feed({u'a', u' ', 22, 0xE9, 0xFF}),
              (std::vector<CharacterCode>{'a', ' ', 22, 0xE9, 0xFF}));
    EXPECT_EQ(Feed({0x100, 0x4E2D, 0xFFFF}), (std::vector<CharacterCode>(3, kUnmappedCharacter)));
}

TEST(Utf16Characters, ASurrogatePairIsOneCharacter) {
    // U+1F600 as WM_CHAR sends it: high, then low surrogate, around two plain letters.
    EXPECT_EQ(Feed({u'a', 0xD83D, 0xDE00, u'b'}),
              (std::vector<CharacterCode>{'a', kUnmappedCharacter, 'b'}));
    // Halves without their partner are no characters, and never eat the next key.
    EXPECT_EQ(Feed({0xD83D, u'k', 0xDE00, u'k'}), (std::vector<CharacterCode>{'k', 'k'}));
}

}  // namespace
}  // namespace zentrovax
