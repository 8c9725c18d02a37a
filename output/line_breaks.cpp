#include "output/line_breaks.h"

namespace zentrovax {
namespace {

// Before these no line breaks, even after spaces (UAX #14, LB13: closing brackets and
// punctuation, "!", "?", "/" and the like), so a space before them is no break.
constexpr std::u16string_view kNoBreakBefore = u")]}!?,.:;/";
// After these no line breaks, even after spaces (LB14: opening brackets), nor after a quotation
// mark and spaces before an opening bracket (LB15).
constexpr std::u16string_view kNoBreakAfter = u"([{";
constexpr std::u16string_view kQuotes = u"\"'";

constexpr bool IsOneOf(char16_t unit, std::u16string_view set) {
    return set.find(unit) != std::u16string_view::npos;
}

// Whether the line surely may break between the spaces that end at `at` and the character there,
// the spaces following `before`. Only characters whose class the rules fix for every engine count:
// printable ASCII.
constexpr bool BreaksAfterSpaces(char16_t before, char16_t at) {
    const bool plain = at > u' ' && at < 0x7F;
    return plain && !IsOneOf(at, kNoBreakBefore) && !IsOneOf(before, kNoBreakAfter) &&
           !(IsOneOf(before, kQuotes) && IsOneOf(at, kNoBreakAfter));
}

}  // namespace

std::size_t FirstWordEnd(std::u16string_view text) {
    for (std::size_t at = 1; at < text.size(); ++at) {
        if (text[at - 1] == u'\n') {
            return at;  // a newline always ends its line
        }
        if (text[at - 1] != u' ' || text[at] == u' ') {
            continue;
        }
        std::size_t spaces = at - 1;
        while (spaces > 0 && text[spaces - 1] == u' ') {
            --spaces;
        }
        // Spaces at the line's start follow nothing the rules could tell apart: no sure break.
        if (spaces > 0 && BreaksAfterSpaces(text[spaces - 1], text[at])) {
            return at;
        }
    }
    return text.size();
}

bool EditKeepsFirstWord(std::u16string_view text, std::size_t from) {
    // A break depends on the character after it too: the word must end before the edit starts.
    const std::u16string_view before = text.substr(0, from);
    return FirstWordEnd(before) < before.size();
}

}  // namespace zentrovax
