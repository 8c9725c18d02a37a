// Wraps text as a text box does, for tests that need to know where lines start without a
// toolkit: greedily after spaces, `width` characters wide, anywhere in a word longer than a line.
#pragma once

#include <string_view>
#include <vector>

namespace zentrovax::testing {

inline std::vector<int> WrapLines(std::string_view text, int width) {
    std::vector<int> starts;
    int start = 0;
    const int length = static_cast<int>(text.size());
    while (start < length) {
        starts.push_back(start);
        if (length - start <= width) {
            break;
        }
        int next = start + width;
        const auto space =
            text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(width) + 1)
                .rfind(' ');
        if (space != std::string_view::npos && space > 0) {
            next = start + static_cast<int>(space) + 1;
        }
        start = next;
    }
    return starts;
}

}  // namespace zentrovax::testing
