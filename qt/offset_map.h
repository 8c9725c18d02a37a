// The map between document positions, which count one character for every cut, and the
// offsets the user sees, which count none. It holds where each block starts and how many cuts
// lie up to it, for the blocks up to the first one a change touched, so that turning a
// position into an offset does not walk every block from the first. It does not hold the blocks:
// their owner adds each block's start, in order, as the map is asked about it.
#pragma once

#include <vector>

namespace zentrovax {

class OffsetMap {
  public:
    struct BlockStart {
        int position = 0;
        int cuts = 0;  // up to and including the break in front of this block
    };

    // Blocks from `block_number` on may have moved: they are to be added again.
    void Forget(int block_number);
    // How many blocks, from the first, are known.
    [[nodiscard]] int Known() const { return known_; }
    // The next block: where it starts, and whether a cut rather than a newline comes
    // before it.
    void Add(int position, bool after_cut);

    // For a known block and a position inside it.
    [[nodiscard]] int VisibleOffset(int block_number, int position) const;
    // The position of a visible offset, between 0 and `end`; every block must be known.
    [[nodiscard]] int DocumentPosition(int visible_offset, int end) const;

  private:
    std::vector<BlockStart> starts_;
    int known_ = 0;
};

}  // namespace zentrovax
