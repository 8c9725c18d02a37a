#include "output/cut_plan.h"

#include <algorithm>
#include <cstddef>

namespace zentrovax {

std::vector<int> PlanCuts(int length, const LayOutLines& lay_out) {
    std::vector<int> cuts;
    int start = 0;
    int window = kCutWindow;
    while (start < length) {
        const int laid_out = std::min(window, length - start);
        const bool truncated = start + laid_out < length;
        const std::vector<int> lines = lay_out(start, laid_out);
        // Where the window was cut short, its last line may end early, and so the line before
        // it may start wrong: only a line followed by another is known to be right.
        const int known_lines = static_cast<int>(lines.size()) - (truncated ? 1 : 0);
        const std::size_t first_cut = cuts.size();
        for (int line = kLinesPerBlock; line < known_lines; line += kLinesPerBlock) {
            cuts.push_back(start + lines[static_cast<std::size_t>(line)]);
        }
        if (cuts.size() > first_cut) {
            start = cuts.back();
            window = kCutWindow;
        } else if (truncated) {
            window *= 2;  // lines longer than usual: runs of spaces
        } else {
            break;
        }
    }
    return cuts;
}

std::vector<int> CutsOfBlock(const std::vector<int>& line_starts, int most) {
    std::vector<int> cuts;
    if (static_cast<int>(line_starts.size()) > most) {
        for (std::size_t line = kLinesPerBlock; line < line_starts.size(); line += kLinesPerBlock) {
            cuts.push_back(line_starts[line]);
        }
    }
    return cuts;
}

}  // namespace zentrovax
