// Where the output box cuts a paragraph into blocks: after every kLinesPerBlock visual lines,
// exactly where the paragraph wraps anyway, so that the blocks wrap as the one paragraph would.
// The wrapping is the toolkit's: the plan has it lay out stretches of the paragraph and reads
// where their lines start. The plan cuts nothing itself.
#pragma once

#include <functional>
#include <vector>

namespace zentrovax {

// Visual lines per block. Small enough that laying out a block costs next to nothing, and far
// below Qt's 4,096-character text items, at whose edges a paragraph's wrapping could differ from
// that of a block.
inline constexpr int kLinesPerBlock = 32;
// A block that edits grow past this many lines is cut again.
inline constexpr int kMostLinesPerBlock = 2 * kLinesPerBlock;
// Characters laid out at once when planning the cuts of a whole paragraph: a few blocks' worth,
// and no more than one of Qt's text items. Grows where lines are unusually long.
inline constexpr int kCutWindow = 4096;

// Where the lines start, from `start`, when `length` characters of the paragraph from `start`
// are laid out on their own.
using LayOutLines = std::function<std::vector<int>(int start, int length)>;

// The offsets in a paragraph of `length` characters at which its second and later blocks start.
[[nodiscard]] std::vector<int> PlanCuts(int length, const LayOutLines& lay_out);

// Of a stretch laid out on its own: how many lines it has, and where its lines kLinesPerBlock,
// 2 * kLinesPerBlock, ... start (those it has), from `start`. Where finding a line's start is
// costly, this is all the plan needs.
struct BlockLines {
    int lines = 0;
    std::vector<int> block_starts;
};
using LayOutBlockLines = std::function<BlockLines(int start, int length)>;
[[nodiscard]] std::vector<int> PlanCutsOfBlockLines(int length, const LayOutBlockLines& lay_out);

// For a block whose lines start at `line_starts`: where to cut it into blocks of kLinesPerBlock
// lines, once it holds more than `most` lines; nothing before.
[[nodiscard]] std::vector<int> CutsOfBlock(const std::vector<int>& line_starts, int most);

}  // namespace zentrovax
