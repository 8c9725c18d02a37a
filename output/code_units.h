// Never half a character: which code units go on with a character begun before them, in the two
// encodings the toolkits hand text in, UTF-16 (Qt, the DOM, WM_CHAR) and UTF-8 (the browser's
// strings through emscripten). Whatever splits, measures or steps through text asks here.
#pragma once

namespace zentrovax {

// The low half of a surrogate pair.
constexpr bool GoesOnCharacter(char16_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}
// A continuation byte.
constexpr bool GoesOnCharacter(char unit) {
    return (static_cast<unsigned char>(unit) & 0xC0U) == 0x80U;
}
// The high half of a surrogate pair, which the next unit completes.
constexpr bool BeginsPair(char16_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}

}  // namespace zentrovax
