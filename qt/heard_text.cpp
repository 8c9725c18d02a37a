#include "qt/heard_text.h"

#include <algorithm>

namespace zentrovax {

std::optional<HeardText::Change> HeardText::Replace(int offset, QString inserted, int length) {
    if (!text_) {
        return std::nullopt;
    }
    const qsizetype removed_length =
        std::max<qsizetype>(0, text_->size() - length + inserted.size());
    QString removed = text_->mid(offset, removed_length);
    text_->replace(offset, removed_length, inserted);
    qsizetype same_end = 0;
    while (same_end < std::min(removed.size(), inserted.size()) &&
           removed[removed.size() - 1 - same_end] == inserted[inserted.size() - 1 - same_end]) {
        ++same_end;
    }
    if (same_end > 0 && removed[removed.size() - same_end].isLowSurrogate()) {
        --same_end;
    }
    removed.chop(same_end);
    inserted.chop(same_end);
    qsizetype same_start = 0;
    while (same_start < std::min(removed.size(), inserted.size()) &&
           removed[same_start] == inserted[same_start]) {
        ++same_start;
    }
    if (same_start > 0 && removed[same_start - 1].isHighSurrogate()) {
        --same_start;
    }
    removed.remove(0, same_start);
    inserted.remove(0, same_start);
    if (removed.isEmpty() && inserted.isEmpty()) {
        return std::nullopt;
    }
    return Change{offset + static_cast<int>(same_start), removed, inserted};
}

}  // namespace zentrovax
