// The output box's undo history as the user sees it, over Qt's (the browser's is
// web/edit_history.h): which of Qt's steps make one
// step of the user's (UndoSteps), recorded as the box finishes each edit, and Undo and Redo that
// take back or bring back a whole step, the box's own cuts with it.
#pragma once

#include <QTextCursor>
#include <optional>

#include "qt/undo_steps.h"

class QKeyEvent;
class QTextDocument;

namespace zentrovax {

class EditHistory {
  public:
    explicit EditHistory(QTextDocument& document) : document_(document) {}

    // At the start of each event the box handles: where an edit in it would start.
    void BeforeEvent();
    // A key about to be handled while paused: whether Qt merges its edit with the ones before.
    void BeforeKey(const QKeyEvent& key, bool has_selection);
    // The edit the box has just finished: from and to in the user's offsets, `removed`
    // characters taken away less those added; Qt's history grew to `height_after_edit` with it
    // and on with the box's cuts after it.
    void Record(int from, int to, int removed, int height_after_edit, int caret_after);
    // Whatever comes next is no key that Qt merges.
    void ForgetKey() { kind_ = UndoSteps::Kind::kOther; }
    // Whether the box's cuts may go into the history now: onto the last step only, and never
    // below steps to redo, whose history they would end.
    [[nodiscard]] bool TakesCuts() const;
    // Cuts the box made since Qt's history was `height_before` high: part of the last step.
    void ExtendLast(int height_before);
    // Undoes or redoes one step of the user's, with `cursor` as Qt leaves it; returns that
    // step, or nothing where Qt's history held no step of the user's.
    std::optional<UndoSteps::Step> Undo(QTextCursor& cursor);
    std::optional<UndoSteps::Step> Redo(QTextCursor& cursor);
    void Clear() { steps_.Clear(); }

  private:
    QTextDocument& document_;
    UndoSteps steps_;
    int height_at_event_ = 0;
    UndoSteps::Kind kind_ = UndoSteps::Kind::kOther;
};

}  // namespace zentrovax
