#include "output/cut_repair.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "output/cut_plan.h"

namespace zentrovax {
namespace {

// A repair's walk forward, with the block numbers it tracks kept true through every cut and join
// it makes.
class Walk {
  public:
    Walk(CutBlocks& blocks, int last_edited, RepairLimit limit)
        : blocks_(blocks),
          last_edited_(last_edited),
          last_to_settle_(std::max(last_edited, limit.last_in_view) + kBlocksSettledPastView),
          limit_(std::move(limit)) {}

    // Settles the cut before `block`; true if it was kept.
    bool Settle(int block) {
        if (blocks_.SettleCutBefore(block)) {
            return true;
        }
        Shift(block, -1);
        return false;
    }
    // Cuts `block` if it grew too long; returns its last piece.
    int CutIfLong(int block) {
        const int pieces = zentrovax::CutIfLong(blocks_, block);
        Shift(block + 1, pieces - 1);
        return block + pieces - 1;
    }
    [[nodiscard]] bool Edited(int block) const { return block <= last_edited_; }
    // Whether the cut after `block` must wait: past the limit, or out of time.
    [[nodiscard]] bool MustWait(int block) const {
        return block >= last_to_settle_ || limit_.Over();
    }

  private:
    // Blocks from `from` on moved by `by`.
    void Shift(int from, int by) {
        if (last_edited_ >= from) {
            last_edited_ = std::max(from - 1, last_edited_ + by);
        }
        if (last_to_settle_ >= from && last_to_settle_ < std::numeric_limits<int>::max()) {
            last_to_settle_ += std::min(by, std::numeric_limits<int>::max() - last_to_settle_);
        }
    }

    CutBlocks& blocks_;
    int last_edited_;
    int last_to_settle_;
    RepairLimit limit_;
};

}  // namespace

RepairLimit RepairLimit::Slice(std::function<bool()> input_waiting) {
    RepairLimit limit;
    limit.deadline = std::chrono::steady_clock::now() + kRepairSlice;
    limit.input_waiting = std::move(input_waiting);
    return limit;
}

RepairLimit RepairLimit::InView(int last_in_view) {
    RepairLimit limit;
    limit.last_in_view = last_in_view;
    return limit;
}

int CutIfLong(CutBlocks& blocks, int block) {
    if (blocks.Lines(block) <= kMostLinesPerBlock) {
        return 1;
    }
    const std::vector<int> cuts = blocks.BlockStarts(block);
    if (cuts.empty()) {
        return 1;
    }
    blocks.Cut(block, cuts);
    return static_cast<int>(cuts.size()) + 1;
}

void RepairCuts(CutBlocks& blocks, int first, int last, MayHaveMoved moved, RepairLimit limit) {
    Walk walk(blocks, last, limit);
    int block = first;
    // A change of the first word can let it move up onto the line before, and the lines after it
    // with it, up to the block's last.
    while (moved.before && block > 0 && blocks.HasCutBefore(block) && !walk.Settle(block)) {
        --block;
        moved.after = true;
    }
    for (;;) {
        block = walk.CutIfLong(block);
        const int next = block + 1;
        if (next >= blocks.Count() || (!walk.Edited(next) && !moved.after)) {
            return;
        }
        if (!blocks.HasCutBefore(next)) {
            // The user's newline: the wraps after it are its paragraph's own.
            if (!walk.Edited(next)) {
                return;
            }
            block = next;
            continue;
        }
        // A change can push words of the block's last line down, or pull the next line's up. In
        // ordinary text the wraps fall back onto the old line starts within a block or two; in
        // text without spaces they may move to the very end.
        if (walk.MustWait(block)) {
            blocks.MarkStale(block);
            return;
        }
        if (walk.Settle(next)) {
            if (!walk.Edited(next)) {
                return;
            }
            block = next;
        }
    }
}

void RepairStaleCuts(CutBlocks& blocks, RepairLimit limit) {
    const int last_to_settle = limit.last_in_view + kBlocksSettledPastView;
    for (std::optional<int> stale = blocks.FirstStale(); stale && *stale < last_to_settle;
         stale = blocks.FirstStale()) {
        if (limit.Over()) {
            return;
        }
        blocks.ClearStale(*stale);
        RepairCuts(blocks, *stale, *stale, {.before = false, .after = true}, limit);
    }
}

}  // namespace zentrovax
