#include "qt/pending_edit.h"

#include <algorithm>
#include <utility>

namespace zentrovax {

void PendingEdit::Add(int position, int removed, int added, bool is_new) {
    if (!range_) {
        range_ = Range{position, position + added, false, 0};
    } else {
        // Both ends in the text as it is now.
        Range& range = *range_;
        if (range.to >= position + removed) {
            range.to += added - removed;
        } else if (range.to > position) {
            range.to = position + added;
        }
        range.from = std::min(range.from, position);
        range.to = std::max(range.to, position + added);
    }
    range_->is_new = range_->is_new || is_new;
    range_->removed += removed - added;
}

std::optional<PendingEdit::Range> PendingEdit::Take() {
    return std::exchange(range_, std::nullopt);
}

}  // namespace zentrovax
