#include "output/typed_text.h"

namespace zentrovax {
namespace {

constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
constexpr bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}
constexpr bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

}  // namespace

std::optional<CharacterCode> Utf16Characters::Feed(char16_t unit) {
    const bool was_pending = high_surrogate_pending_;
    high_surrogate_pending_ = IsHighSurrogate(unit);
    if (high_surrogate_pending_) {
        return std::nullopt;
    }
    if (IsLowSurrogate(unit)) {
        // With its high half it is a character above 0xFFFF; alone it is no character.
        return was_pending ? std::optional(kUnmappedCharacter) : std::nullopt;
    }
    return CodeOfCharacter(unit);
}

std::vector<CharacterCode> CodesOfUtf16(std::u16string_view text) {
    Utf16Characters characters;
    std::vector<CharacterCode> codes;
    for (const char16_t unit : text) {
        if (const auto code = characters.Feed(unit)) {
            codes.push_back(*code);
        }
    }
    return codes;
}

std::vector<CharacterCode> CodesOfUtf8(std::string_view text) {
    std::vector<CharacterCode> codes;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t character = length == 1 ? lead : lead & (0x3FU >> (length - 1));
        std::size_t k = 1;
        for (; k < length && i + k < text.size() &&
               IsContinuation(static_cast<unsigned char>(text[i + k]));
             ++k) {
            character = (character << 6U) | (static_cast<unsigned char>(text[i + k]) & 0x3FU);
        }
        // A stray continuation byte, or a sequence cut short, is no character of its own.
        const bool whole = k == length && !IsContinuation(lead);
        codes.push_back(whole ? CodeOfCharacter(character) : kUnmappedCharacter);
        i += k;
    }
    return codes;
}

int Utf16Length(std::string_view utf8) {
    int length = 0;
    for (const char byte : utf8) {
        const auto unit = static_cast<unsigned char>(byte);
        // Every lead byte is a code point; one of four bytes needs a surrogate pair.
        length += IsContinuation(unit) ? 0 : unit >= 0xF0U ? 2 : 1;
    }
    return length;
}

}  // namespace zentrovax
