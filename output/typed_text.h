// Which character codes typed text types, as the capture handler sees them, from the encodings
// the toolkits deliver it in: UTF-16 (Qt's strings, WM_CHAR) and UTF-8 (the browser's strings,
// through emscripten). One code per Unicode character, however many units it takes.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "leet/leet_table.h"

namespace zentrovax {

// UTF-16 units arriving one at a time, as WM_CHAR brings them: a character outside the Basic
// Multilingual Plane arrives as a high then a low surrogate, and counts as one typed character.
class Utf16Characters {
  public:
    // The code of the character this unit completes, or nothing while a pair is half-way. A
    // surrogate without its partner is dropped; on its own it is no character.
    std::optional<CharacterCode> Feed(char16_t unit);

  private:
    bool high_surrogate_pending_ = false;
};

[[nodiscard]] std::vector<CharacterCode> CodesOfUtf16(std::u16string_view text);
[[nodiscard]] std::vector<CharacterCode> CodesOfUtf8(std::string_view text);

// The length in UTF-16 units of UTF-8 text: how the DOM counts it.
[[nodiscard]] int Utf16Length(std::string_view utf8);

}  // namespace zentrovax
