#include "output/typed_text.h"

#include "output/code_units.h"

namespace zentrovax {

std::optional<CharacterCode> Utf16Characters::Feed(char16_t unit) {
    const bool was_pending = high_surrogate_pending_;
    high_surrogate_pending_ = BeginsPair(unit);
    if (high_surrogate_pending_) {
        return std::nullopt;
    }
    if (GoesOnCharacter(unit)) {
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
        for (; k < length && i + k < text.size() && GoesOnCharacter(text[i + k]); ++k) {
            character = (character << 6U) | (static_cast<unsigned char>(text[i + k]) & 0x3FU);
        }
        // A stray continuation byte, or a sequence cut short, is no character of its own.
        const bool whole = k == length && !GoesOnCharacter(text[i]);
        codes.push_back(whole ? CodeOfCharacter(character) : kUnmappedCharacter);
        i += k;
    }
    return codes;
}

int Utf16Length(std::string_view utf8) {
    int length = 0;
    for (const char byte : utf8) {
        // Every lead byte is a code point; one of four bytes needs a surrogate pair.
        length += GoesOnCharacter(byte) ? 0 : static_cast<unsigned char>(byte) >= 0xF0U ? 2 : 1;
    }
    return length;
}

}  // namespace zentrovax
