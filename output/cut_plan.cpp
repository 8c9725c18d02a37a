#include "output/cut_plan.h"

#include <algorithm>
#include <cstddef>

namespace zentrovax {

std::vector<int> PlanCuts(int length, const LayOutLines& lay_out) {
    return PlanCutsOfBlockLines(length, [&lay_out](int start, int count) {
        const std::vector<int> lines = lay_out(start, count);
        BlockLines block_lines{static_cast<int>(lines.size()), {}};
        for (std::size_t line = kLinesPerBlock; line < lines.size(); line += kLinesPerBlock) {
            block_lines.block_starts.push_back(lines[line]);
        }
        return block_lines;
    });
}

std::vector<int> PlanCutsOfBlockLines(int length, const LayOutBlockLines& lay_out) {
    std::vector<int> cuts;
    int start = 0;
    int window = kCutWindow;
    while (start < length) {
        const int laid_out = std::min(window, length - start);
        const bool truncated = start + laid_out < length;
        const BlockLines lines = lay_out(start, laid_out);
        // Where the window was cut short, its last line may end early, and so the line before
        // it may start wrong: only a line followed by another is known to be right.
        const int known_lines = lines.lines - (truncated ? 1 : 0);
        const std::size_t first_cut = cuts.size();
        for (std::size_t i = 0; i < lines.block_starts.size(); ++i) {
            if (static_cast<int>(i + 1) * kLinesPerBlock < known_lines) {
                cuts.push_back(start + lines.block_starts[i]);
            }
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
