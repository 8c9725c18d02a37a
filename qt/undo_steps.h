// The undo history as the user sees it, laid over Qt's: each step is one of the user's edits
// (or a run of them Qt would merge) together with the output box's own cuts after it, as a
// range of heights of Qt's history.
#pragma once

#include <vector>

namespace zentrovax {

class UndoSteps {
  public:
    // The edits Qt merges into one step when they follow each other.
    enum class Kind { kOther, kTyping, kDeletion };
    struct Step {
        // Heights of Qt's history below and above the step.
        int below = 0;
        int above = 0;
        Kind kind = Kind::kOther;
        // Where the edit (or run of edits) starts and how long it is, in the user's offsets.
        int offset = 0;
        int length = 0;
        int caret_after = 0;
        // Qt merges nothing into a step once it was undone or redone.
        bool open = true;
    };

    // An edit that took Qt's history from `step.below` to `height_after_edit`, and on to
    // `step.above` with the cuts after it. Steps above `step.below` were undone and go.
    void Record(const Step& step, int height_after_edit);
    // Cuts made after the last step, which grew Qt's history from `height` to `above`; false if
    // the last step does not end at `height`.
    bool ExtendLast(int height, int above);
    [[nodiscard]] const Step* EndingAt(int height) const;
    [[nodiscard]] const Step* StartingAt(int height) const;
    // After an undo or redo.
    void Close();
    void Clear() { steps_.clear(); }

  private:
    std::vector<Step> steps_;
};

}  // namespace zentrovax
