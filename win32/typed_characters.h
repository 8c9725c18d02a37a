// Which character code each WM_CHAR unit types, as the capture handler sees it. Kept apart from
// the adapter, and free of <windows.h>, so the rule can be tested on its own.
#pragma once

#include <optional>

#include "leet/leet_table.h"

namespace zentrovax {

// WM_CHAR carries UTF-16 units: a character outside the Basic Multilingual Plane arrives as two
// messages, a high then a low surrogate, and counts as one typed character.
class Utf16Characters {
  public:
    // The code of the character this unit completes, or nothing while a pair is half-way. A
    // high surrogate with no low one after it is dropped; on its own it is no character.
    std::optional<CharacterCode> Feed(char16_t unit) {
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

  private:
    static constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
    static constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

    bool high_surrogate_pending_ = false;
};

}  // namespace zentrovax
