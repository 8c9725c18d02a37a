// Keeping the cuts of an output box's blocks true as its text changes: after an edit, which cuts
// it may have moved, how many are settled at once, what is left stale, and the repair of the
// stale ones in slices while the box is idle. The words are those of glossary.md. The blocks
// themselves are the toolkit's, behind CutBlocks.
#pragma once

#include <chrono>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace zentrovax {

// A slice of the repair of stale cuts: short enough that a key typed meanwhile waits no longer
// than a frame.
inline constexpr std::chrono::milliseconds kRepairSlice{4};
// Cuts settled at once past the last block in view, or past the edit where that lies further:
// enough that what the user sees next wraps right while the rest waits, in text whose wraps
// never settle (a run without spaces).
inline constexpr int kBlocksSettledPastView = 3;

// What the repair needs of a box's blocks. Blocks are numbered from 0 in the order of the text;
// a block has a cut before it when it goes on with the paragraph of the block before.
class CutBlocks {
  public:
    virtual ~CutBlocks() = default;

    [[nodiscard]] virtual int Count() const = 0;
    [[nodiscard]] virtual bool HasCutBefore(int block) const = 0;
    // The block's lines as it is laid out now: how many, and (costlier) where its lines
    // kLinesPerBlock, 2 * kLinesPerBlock, ... start, which is where it would be cut.
    [[nodiscard]] virtual int Lines(int block) = 0;
    [[nodiscard]] virtual std::vector<int> BlockStarts(int block) = 0;
    // Keeps the cut before `block` if the paragraph, laid out whole, still starts a line there,
    // and joins the block onto the one before if not. Returns whether the cut was kept.
    virtual bool SettleCutBefore(int block) = 0;
    // Cuts `block` at offsets of its text, in ascending order.
    virtual void Cut(int block, const std::vector<int>& offsets) = 0;

    // Stale cuts. The blocks keep the marks, as only they can follow a block through every change
    // of the text; a mark on a block that was joined onto another passes to that one.
    // The cut after `block` is stale.
    virtual void MarkStale(int block) = 0;
    // The first block whose cut after it is stale.
    [[nodiscard]] virtual std::optional<int> FirstStale() const = 0;
    virtual void ClearStale(int block) = 0;
};

// How far one repair may go.
struct RepairLimit {
    // The last block the user sees; cuts up to kBlocksSettledPastView blocks past it (or past the
    // edit) are settled, those further on left stale.
    int last_in_view = std::numeric_limits<int>::max() - kBlocksSettledPastView;
    // Once it has passed, whatever is left is stale.
    std::optional<std::chrono::steady_clock::time_point> deadline;
    // Whether a person's input waits, where the toolkit can tell: a slice ends then, early.
    std::function<bool()> input_waiting;

    // Whether the repair stops here: its deadline has passed, or a person's input waits.
    [[nodiscard]] bool Over() const {
        return (deadline && std::chrono::steady_clock::now() >= *deadline) ||
               (input_waiting && input_waiting());
    }

    // A slice of kRepairSlice from now, with no bound on the blocks, ended early by input.
    [[nodiscard]] static RepairLimit Slice(std::function<bool()> input_waiting = {});
    // No bound in time, as far as the view reaches.
    [[nodiscard]] static RepairLimit InView(int last_in_view);
};

// What an edit may have moved.
struct MayHaveMoved {
    // The cut before the edit's first block: the edit may have changed the block's first word,
    // which decides where the line before the cut ends.
    bool before = true;
    // The cut after the edit's last block: the edit may have changed that block's last line.
    bool after = true;
};

// Whether stale cuts are repaired in slices while the box is idle (they always are as they come
// into view): unless the box is editable and its toolkit records the repair's changes in the
// user's undo history (Qt's document records every change), where a step of the user's could
// not be undone without undoing cuts first.
[[nodiscard]] constexpr bool RepairsWhileIdle(bool editable, bool repairs_are_undoable) {
    return !(editable && repairs_are_undoable);
}

// After an edit of the blocks `first` to `last`: cuts the blocks that grew too long, and settles
// the cuts the edit may have moved and every later one they move in turn, within `limit`.
void RepairCuts(CutBlocks& blocks, int first, int last, MayHaveMoved moved, RepairLimit limit);
// Settles stale cuts, in order, within `limit`.
void RepairStaleCuts(CutBlocks& blocks, RepairLimit limit);
// Cuts `block` into blocks of kLinesPerBlock lines once it holds more than kMostLinesPerBlock.
// Returns how many blocks it became.
int CutIfLong(CutBlocks& blocks, int block);

}  // namespace zentrovax
