#include "qt/heard_text.h"

#include <QStringView>
#include <algorithm>
#include <string_view>

#include "output/narrowest_change.h"

namespace zentrovax {

std::optional<HeardText::Change> HeardText::Replace(int offset, QString inserted, int length) {
    if (!text_) {
        return std::nullopt;
    }
    const qsizetype removed_length =
        std::max<qsizetype>(0, text_->size() - length + inserted.size());
    QString removed = text_->mid(offset, removed_length);
    text_->replace(offset, removed_length, inserted);
    const auto units = [](const QString& text) {
        return std::u16string_view(QStringView(text).utf16(),
                                   static_cast<std::size_t>(text.size()));
    };
    const SameEnds same = SameEndsOf(units(removed), units(inserted));
    const auto start = static_cast<qsizetype>(same.same_start);
    const auto end = static_cast<qsizetype>(same.same_end);
    removed = removed.mid(start, removed.size() - start - end);
    inserted = inserted.mid(start, inserted.size() - start - end);
    if (removed.isEmpty() && inserted.isEmpty()) {
        return std::nullopt;
    }
    return Change{offset + static_cast<int>(start), removed, inserted};
}

}  // namespace zentrovax
