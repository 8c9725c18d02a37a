#include "qt/offset_map.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

namespace zentrovax {

void OffsetMap::Forget(int block_number) {
    known_ = std::min(known_, std::max(0, block_number));
}

void OffsetMap::Add(int position, bool after_cut) {
    const int cuts = (known_ == 0 ? 0 : starts_[static_cast<std::size_t>(known_ - 1)].cuts) +
                     (after_cut ? 1 : 0);
    const BlockStart start{position, cuts};
    if (static_cast<std::size_t>(known_) < starts_.size()) {
        starts_[static_cast<std::size_t>(known_)] = start;
    } else {
        starts_.push_back(start);
    }
    ++known_;
}

int OffsetMap::VisibleOffset(int block_number, int position) const {
    assert(block_number < known_);
    return position - starts_[static_cast<std::size_t>(block_number)].cuts;
}

int OffsetMap::DocumentPosition(int visible_offset, int end) const {
    if (known_ == 0) {
        return std::clamp(visible_offset, 0, end);
    }
    const auto visible_start = [](const BlockStart& start) { return start.position - start.cuts; };
    // The last block whose text starts at or before the offset holds it.
    const auto known_end = starts_.begin() + known_;
    auto holder = std::upper_bound(
        starts_.begin(), known_end, visible_offset,
        [&](int offset, const BlockStart& start) { return offset < visible_start(start); });
    if (holder != starts_.begin()) {
        --holder;
    }
    return std::clamp(holder->position + visible_offset - visible_start(*holder), 0, end);
}

}  // namespace zentrovax
