// Wraps text as a text box does, for tests that need to know where lines start without a
// toolkit: at the places Unicode's line-breaking rules allow (ICU's line break iterator),
// greedily, each character a unit wide and `width` to a line, spaces at a line's end hanging
// past it, and anywhere in a word longer than a line. Text is ASCII, so bytes are characters.
#pragma once

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace zentrovax::testing {

// Where ICU's line breaking allows a line to break in `text`: offsets after which a line may end.
class LineBreaks {
  public:
    LineBreaks() {
        UErrorCode status = U_ZERO_ERROR;
        iterator_.reset(icu::BreakIterator::createLineInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) {
            throw std::runtime_error("no line break iterator");
        }
    }
    void SetText(std::string_view text) {
        text_ = icu::UnicodeString::fromUTF8(
            icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
        iterator_->setText(text_);
    }
    [[nodiscard]] bool IsBreak(int offset) { return iterator_->isBoundary(offset) != 0; }
    // The first break after `offset`, or -1.
    [[nodiscard]] int After(int offset) { return iterator_->following(offset); }
    [[nodiscard]] int Next() { return iterator_->next(); }

  private:
    std::unique_ptr<icu::BreakIterator> iterator_;
    icu::UnicodeString text_;
};

inline std::vector<int> WrapLines(std::string_view text, int width) {
    static LineBreaks breaks;
    breaks.SetText(text);
    const int length = static_cast<int>(text.size());
    std::vector<int> starts;
    int start = 0;
    while (start < length) {
        starts.push_back(start);
        // The furthest break up to which the line, its spaces at the end left out, fits.
        int fits = -1;
        for (int at = breaks.After(start); at != icu::BreakIterator::DONE; at = breaks.Next()) {
            int end = at;
            while (end > start && text[static_cast<std::size_t>(end) - 1] == ' ') {
                --end;
            }
            if (end - start > width) {
                break;
            }
            fits = at;
        }
        if (fits == length) {
            break;
        }
        start = fits > start ? fits : std::min(length, start + width);
    }
    return starts;
}

}  // namespace zentrovax::testing
