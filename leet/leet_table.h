// The fixed table that turns one typed character into the piece of leet text appended to the
// output. It knows nothing of windows, focus or modes, and it never case-folds: 'A' is not 'a'.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrovax {

// The 16-bit signed code of a typed character, as the toolkit reports it (0-255 in practice).
using CharacterCode = std::int16_t;

// A code no table key has: what a toolkit reports for a character outside 0-255.
inline constexpr CharacterCode kUnmappedCharacter = -1;

// The code a toolkit reports for one Unicode character: 0-255 as they are, any other character
// (whatever its keyboard or input method) the unmapped code, so it types nothing.
constexpr CharacterCode CodeOfCharacter(char32_t character) noexcept {
    return character <= 0xFF ? static_cast<CharacterCode>(character) : kUnmappedCharacter;
}

// A short run of printable ASCII appended for one typed character.
using LeetPiece = std::string_view;

struct LeetEntry {
    CharacterCode key;
    LeetPiece piece;
};

// Keys are unique, so the order of the rows only matters to the reader.
inline constexpr std::array<LeetEntry, 27> LeetTable{{
    {'a', "4"},      {'b', "8"},     {'c', "(("},  {'d', "|))"}, {'e', "3"},      {'f', "|="},
    {'g', "6"},      {'h', "||=||"}, {'i', "!"},   {'j', "j"},   {'k', "|<"},     {'l', "1"},
    {'m', "/\\/\\"}, {'n', "/\\/"},  {'o', "0"},   {'p', "|O"},  {'q', "q"},      {'r', "|2"},
    {'s', "5"},      {'t', "7"},     {'u', "|_|"}, {'v', "\\/"}, {'w', "\\/\\/"}, {'x', "><"},
    {'y', "Y"},      {'z', "2"},     {' ', " "},
}};

// The piece for `code`, or nothing when no row has that key. Safe for every 16-bit value.
constexpr std::optional<LeetPiece> TranslateKey(CharacterCode code) noexcept {
    for (const LeetEntry& entry : LeetTable) {
        if (entry.key == code) {
            return entry.piece;
        }
    }
    return std::nullopt;
}

static_assert(!TranslateKey(kUnmappedCharacter));

// The piece for each byte of UTF-8 text, for translating text that already exists rather than
// typing: a table key gives its piece, a line end (LF or CR) itself so that lines stay lines, any
// other byte nothing. Every byte of a character above 0x7F is 0x80 or more, and no such
// character has a piece, so invalid bytes need no decoding to yield nothing.
inline constexpr std::array<LeetPiece, 256> kPieceOfByte = [] {
    std::array<LeetPiece, 256> pieces{};
    for (const LeetEntry& entry : LeetTable) {
        pieces.at(static_cast<std::size_t>(entry.key)) = entry.piece;
    }
    pieces['\n'] = "\n";
    pieces['\r'] = "\r";
    return pieces;
}();

// Appends the translation of `text` to `out`; text may be cut anywhere, even inside a character.
inline void TranslateText(std::string_view text, std::string& out) {
    for (const char byte : text) {
        out += kPieceOfByte[static_cast<unsigned char>(byte)];
    }
}

}  // namespace zentrovax
