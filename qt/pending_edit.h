// The user's edit that the output box has not finished yet: the range of the document that the
// changes reported for it cover, in the document as it is now, however many changes there were
// and in whatever order they came (Qt reports a paste over a selection as a removal and an
// insertion, an undo as many). It does not look at the text.
#pragma once

#include <optional>

namespace zentrovax {

class PendingEdit {
  public:
    struct Range {
        int from = 0;
        int to = 0;
        // Whether any change was a new edit rather than an undo or redo, which bring blocks back
        // as they were.
        bool is_new = false;
        // Characters taken away, less those added.
        int removed = 0;

        bool operator==(const Range&) const = default;
    };

    // `removed` characters at `position` replaced by `added` others.
    void Add(int position, int removed, int added, bool is_new);
    [[nodiscard]] bool Empty() const { return !range_.has_value(); }
    // The edit so far, which is then finished.
    [[nodiscard]] std::optional<Range> Take();

  private:
    std::optional<Range> range_;
};

}  // namespace zentrovax
