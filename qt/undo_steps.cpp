#include "qt/undo_steps.h"

#include <algorithm>

namespace zentrovax {

void UndoSteps::Record(const Step& step, int height_after_edit) {
    const int base = step.below;
    std::erase_if(steps_, [base](const Step& each) { return each.above > base; });
    if (!steps_.empty() && steps_.back().above == base) {
        Step& last = steps_.back();
        const bool merged_by_qt = height_after_edit == base;
        // Qt's rule: an insert right after the last, or a removal at the last one's start
        // (Delete) or right before it (Backspace).
        const bool runs_on =
            last.open && last.kind == step.kind &&
            ((step.kind == Kind::kTyping && step.offset == last.offset + last.length) ||
             (step.kind == Kind::kDeletion &&
              (step.offset == last.offset || step.offset + step.length == last.offset)));
        if (merged_by_qt || runs_on) {
            if (step.kind == Kind::kDeletion) {
                last.offset = std::min(last.offset, step.offset);
            }
            last.length += step.length;
            last.above = step.above;
            last.caret_after = step.caret_after;
            return;
        }
    }
    if (step.above > step.below) {
        steps_.push_back(step);
    }
}

bool UndoSteps::ExtendLast(int height, int above) {
    if (steps_.empty() || steps_.back().above != height) {
        return false;
    }
    steps_.back().above = above;
    return true;
}

const UndoSteps::Step* UndoSteps::EndingAt(int height) const {
    const auto step = std::find_if(steps_.begin(), steps_.end(),
                                   [height](const Step& each) { return each.above == height; });
    return step != steps_.end() ? &*step : nullptr;
}

const UndoSteps::Step* UndoSteps::StartingAt(int height) const {
    const auto step = std::find_if(steps_.begin(), steps_.end(),
                                   [height](const Step& each) { return each.below == height; });
    return step != steps_.end() ? &*step : nullptr;
}

void UndoSteps::Close() {
    for (Step& step : steps_) {
        step.open = false;
    }
}

}  // namespace zentrovax
