#include "leet/leet_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace zentrovax {
namespace {

// The table is usable at compile time.
static_assert(TranslateKey('a') == LeetPiece("4"));
static_assert(!TranslateKey('A').has_value());
static_assert(TranslateKey(' ') == LeetPiece(" "));

struct Row {
    const char* name;
    CharacterCode code;
    std::vector<unsigned char> bytes;
};

// Expected pieces spelt as bytes, so a slash or backslash typed wrong cannot hide in a literal.
const std::vector<Row>& ExpectedRows() {
    static const std::vector<Row> rows{
        {"a", 97, {0x34}},
        {"b", 98, {0x38}},
        {"c", 99, {0x28, 0x28}},
        {"d", 100, {0x7C, 0x29, 0x29}},
        {"e", 101, {0x33}},
        {"f", 102, {0x7C, 0x3D}},
        {"g", 103, {0x36}},
        {"h", 104, {0x7C, 0x7C, 0x3D, 0x7C, 0x7C}},
        {"i", 105, {0x21}},
        {"j", 106, {0x6A}},
        {"k", 107, {0x7C, 0x3C}},
        {"l", 108, {0x31}},
        {"m", 109, {0x2F, 0x5C, 0x2F, 0x5C}},
        {"n", 110, {0x2F, 0x5C, 0x2F}},
        {"o", 111, {0x30}},
        {"p", 112, {0x7C, 0x4F}},
        {"q", 113, {0x71}},
        {"r", 114, {0x7C, 0x32}},
        {"s", 115, {0x35}},
        {"t", 116, {0x37}},
        {"u", 117, {0x7C, 0x5F, 0x7C}},
        {"v", 118, {0x5C, 0x2F}},
        {"w", 119, {0x5C, 0x2F, 0x5C, 0x2F}},
        {"x", 120, {0x3E, 0x3C}},
        {"y", 121, {0x59}},
        {"z", 122, {0x32}},
        {"space", 32, {0x20}},
    };
    return rows;
}

std::string Bytes(const std::vector<unsigned char>& bytes) {
    return {bytes.begin(), bytes.end()};
}

class LeetTableRow : public ::testing::TestWithParam<Row> {};

TEST_P(LeetTableRow, TranslatesToExactlyTheExpectedBytes) {
    const Row& row = GetParam();
    const auto piece = TranslateKey(row.code);
    ASSERT_TRUE(piece.has_value());
    EXPECT_EQ(std::string(*piece), Bytes(row.bytes));
}

INSTANTIATE_TEST_SUITE_P(EveryKey, LeetTableRow, ::testing::ValuesIn(ExpectedRows()),
                         [](const auto& row_info) { return std::string(row_info.param.name); });

TEST(LeetTable, OnlyTheTwentySevenKeysOfAll16BitCodesYieldAPieceEachExactlyOnce) {
    std::map<CharacterCode, std::string> expected;
    for (const Row& row : ExpectedRows()) {
        expected.emplace(row.code, Bytes(row.bytes));
    }
    ASSERT_EQ(expected.size(), 27U);
    ASSERT_EQ(LeetTable.size(), 27U);

    int yielded = 0;
    for (int value = std::numeric_limits<std::int16_t>::min();
         value <= std::numeric_limits<std::int16_t>::max(); ++value) {
        const auto code = static_cast<CharacterCode>(value);
        const auto piece = TranslateKey(code);
        const auto row = expected.find(code);
        if (row == expected.end()) {
            EXPECT_FALSE(piece.has_value()) << "code " << value;
        } else {
            ASSERT_TRUE(piece.has_value()) << "code " << value;
            EXPECT_EQ(std::string(*piece), row->second) << "code " << value;
            ++yielded;
        }
    }
    EXPECT_EQ(yielded, 27);

    for (const Row& row : ExpectedRows()) {
        int rows_with_key = 0;
        for (const LeetEntry& entry : LeetTable) {
            rows_with_key += entry.key == row.code ? 1 : 0;
        }
        EXPECT_EQ(rows_with_key, 1) << row.name;
    }
}

TEST(LeetTable, PiecesAreOneToFivePrintableAsciiCharacters) {
    for (const LeetEntry& entry : LeetTable) {
        EXPECT_GE(entry.piece.size(), 1U);
        EXPECT_LE(entry.piece.size(), 5U);
        for (const char c : entry.piece) {
            EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << "key " << entry.key;
        }
    }
}

TEST(LeetTable, LeetSpeakTypedKeyByKeyGivesTheExpectedBytes) {
    std::string out;
    for (const char c : std::string("leet speak")) {
        out += TranslateKey(static_cast<CharacterCode>(c)).value_or("");
    }
    EXPECT_EQ(out, Bytes({0x31, 0x33, 0x33, 0x37, 0x20, 0x35, 0x7C, 0x4F, 0x33, 0x34, 0x7C, 0x3C}));
}

TEST(LeetTable, UpperCaseControlCodesAndOutOfRangeCodesYieldNothing) {
    for (CharacterCode code = 'A'; code <= 'Z'; ++code) {
        EXPECT_FALSE(TranslateKey(code).has_value()) << "upper case " << code;
    }
    for (CharacterCode code = 0; code < 32; ++code) {
        EXPECT_FALSE(TranslateKey(code).has_value()) << "control code " << code;
    }
    for (const CharacterCode code :
         {CharacterCode{-1}, CharacterCode{127}, CharacterCode{255},
          std::numeric_limits<CharacterCode>::min(), std::numeric_limits<CharacterCode>::max()}) {
        EXPECT_FALSE(TranslateKey(code).has_value()) << "code " << code;
    }
}

TEST(TranslateText, EachByteGivesThePieceOfTypingItAndLineEndsStay) {
    for (int byte = 0; byte < 256; ++byte) {
        std::string expected;
        if (byte == '\n' || byte == '\r') {
            expected = std::string(1, static_cast<char>(byte));
        } else if (byte < 0x80) {
            expected = TranslateKey(static_cast<CharacterCode>(byte)).value_or("");
        }
        std::string out;
        TranslateText(std::string(1, static_cast<char>(byte)), out);
        EXPECT_EQ(out, expected) << "byte " << byte;
    }
    // Characters above 0x7F and invalid bytes yield nothing, wherever a read cut them.
    std::string out;
    TranslateText("leet speak\nh\xC3", out);
    TranslateText("\xA9i\xFF\r\n", out);
    EXPECT_EQ(out, "1337 5|O34|<\n||=||!\r\n");
}

}  // namespace
}  // namespace zentrovax
