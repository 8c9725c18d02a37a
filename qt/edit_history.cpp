#include "qt/edit_history.h"

#include <QKeyEvent>
#include <QTextDocument>
#include <algorithm>

namespace zentrovax {

void EditHistory::BeforeEvent() {
    height_at_event_ = document_.availableUndoSteps();
    kind_ = UndoSteps::Kind::kOther;
}

void EditHistory::BeforeKey(const QKeyEvent& key, bool has_selection) {
    const bool no_modifier = (key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
    kind_ = UndoSteps::Kind::kOther;
    if (!has_selection && no_modifier) {
        if (key.key() == Qt::Key_Delete || key.key() == Qt::Key_Backspace) {
            kind_ = UndoSteps::Kind::kDeletion;
        } else if (!key.text().isEmpty() && key.text().front().isPrint()) {
            kind_ = UndoSteps::Kind::kTyping;
        }
    }
}

void EditHistory::Record(int from, int to, int removed, int height_after_edit, int caret_after) {
    UndoSteps::Step step;
    step.below = height_at_event_;
    step.above = document_.availableUndoSteps();
    step.kind = kind_;
    step.offset = from;
    // Delete and Backspace without a selection never take a cut with them.
    step.length = kind_ == UndoSteps::Kind::kDeletion ? std::max(0, removed) : to - from;
    step.caret_after = caret_after;
    steps_.Record(step, height_after_edit);
}

bool EditHistory::TakesCuts() const {
    return !document_.isRedoAvailable() &&
           steps_.EndingAt(document_.availableUndoSteps()) != nullptr;
}

void EditHistory::ExtendLast(int height_before) {
    steps_.ExtendLast(height_before, document_.availableUndoSteps());
}

std::optional<UndoSteps::Step> EditHistory::Undo(QTextCursor& cursor) {
    const int height = document_.availableUndoSteps();
    const UndoSteps::Step* found = steps_.EndingAt(height);
    const std::optional<UndoSteps::Step> step =
        found != nullptr ? std::optional(*found) : std::nullopt;
    const int target = step ? step->below : height - 1;
    steps_.Close();
    // The cuts first, then the user's edits: Qt leaves the caret where the last one undone was.
    while (document_.availableUndoSteps() > target && document_.isUndoAvailable()) {
        document_.undo(&cursor);
    }
    return step;
}

std::optional<UndoSteps::Step> EditHistory::Redo(QTextCursor& cursor) {
    const UndoSteps::Step* found = steps_.StartingAt(document_.availableUndoSteps());
    if (found == nullptr) {
        return std::nullopt;
    }
    const UndoSteps::Step step = *found;
    steps_.Close();
    while (document_.availableUndoSteps() < step.above && document_.isRedoAvailable()) {
        document_.redo(&cursor);
    }
    return step;
}

}  // namespace zentrovax
