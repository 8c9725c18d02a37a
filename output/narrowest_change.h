// What a change of a text changed, told as narrowly as the user saw it: without what stayed the
// same at either end, and never half a character. Texts are UTF-16 (Qt) or UTF-8 (the
// browser), in code units.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "output/code_units.h"

namespace zentrovax {

// The units of `before` and `after` that differ lie between `same_start` units at the start and
// `same_end` units at the end. The start is taken first: a run that repeats (typing "a" after
// "a") is told where it ends.
struct SameEnds {
    std::size_t same_start = 0;
    std::size_t same_end = 0;
};

template <typename Unit>
SameEnds SameEndsOf(std::basic_string_view<Unit> before, std::basic_string_view<Unit> after) {
    const auto inside_character = [&](std::size_t at_before, std::size_t at_after) {
        return (at_before < before.size() && GoesOnCharacter(before[at_before])) ||
               (at_after < after.size() && GoesOnCharacter(after[at_after]));
    };
    std::size_t start = static_cast<std::size_t>(
        std::mismatch(before.begin(), before.end(), after.begin(), after.end()).first -
        before.begin());
    while (start > 0 && inside_character(start, start)) {
        --start;
    }
    const std::size_t most = std::min(before.size(), after.size()) - start;
    std::size_t end = 0;
    while (end < most && before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
        ++end;
    }
    while (end > 0 && inside_character(before.size() - end, after.size() - end)) {
        --end;
    }
    return {start, end};
}

}  // namespace zentrovax
