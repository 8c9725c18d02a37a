// The undo history of an output box that makes every edit itself (the browser's; Linux's is
// qt/edit_history.h): each step is a run of the
// user's edits that a plain <textarea> of the engine takes back at once (characters typed one
// after another, Backspace held down), kept with the text each edit took away and put in. `Text`
// is whatever the box holds text in; the history only stores and hands it back.
#pragma once

#include <optional>
#include <utility>
#include <vector>

namespace zentrovax {

template <typename Text>
class EditHistory {
  public:
    // Typing (Enter included), Backspace, Delete, and whatever else a box does (a paste, a cut,
    // a drop), which is always a step of its own.
    enum class Kind { kOther, kTyping, kDeletingBackward, kDeletingForward };
    // Which edits of a run a textarea takes back at once, while each goes on where the caret was
    // left; the engines differ.
    enum class Grouping {
        // Gecko: typing with typing, and Backspace and Delete with each other.
        kByClass,
        // Blink and WebKit: typing and Delete join whatever step is open; Backspace joins only a
        // step whose last edit was a Backspace.
        kIntoOpenStep,
    };

    explicit EditHistory(Grouping grouping) : grouping_(grouping) {}
    struct Edit {
        // Where the edit starts; lengths count the box's own units.
        int offset = 0;
        Text removed{};
        int removed_length = 0;
        Text inserted{};
        int inserted_length = 0;
    };
    using Step = std::vector<Edit>;

    // A new edit: what was undone can no longer be redone.
    void Record(Kind kind, Edit edit) {
        undone_.clear();
        if (open_ && kind != Kind::kOther && last_kind_ != Kind::kOther && Joins(kind) &&
            !done_.empty() && GoesOn(done_.back().back(), edit, kind)) {
            done_.back().push_back(std::move(edit));
        } else {
            done_.push_back(Step{std::move(edit)});
        }
        last_kind_ = kind;
        open_ = true;
    }

    // Takes the last step back through `replace(from, to, text)`, which puts `text` between two
    // offsets, its last edit first. Returns where the caret goes, after the text the step's first
    // edit took away; nothing when there is no step.
    template <typename Replace>
    std::optional<int> Undo(Replace replace) {
        const Step* step = Move(done_, undone_);
        if (step == nullptr) {
            return std::nullopt;
        }
        for (auto edit = step->rbegin(); edit != step->rend(); ++edit) {
            replace(edit->offset, edit->offset + edit->inserted_length, edit->removed);
        }
        return step->front().offset + step->front().removed_length;
    }
    // Makes the step last taken back again, its first edit first. Returns where the caret goes,
    // after the text the step's last edit put in.
    template <typename Replace>
    std::optional<int> Redo(Replace replace) {
        const Step* step = Move(undone_, done_);
        if (step == nullptr) {
            return std::nullopt;
        }
        for (const Edit& edit : *step) {
            replace(edit.offset, edit.offset + edit.removed_length, edit.inserted);
        }
        return step->back().offset + step->back().inserted_length;
    }

    // The caret moved or the box changed otherwise: the next edit starts a step of its own.
    void Close() { open_ = false; }
    void Clear() {
        done_.clear();
        undone_.clear();
        open_ = false;
    }

  private:
    [[nodiscard]] bool Joins(Kind kind) const {
        if (grouping_ == Grouping::kByClass) {
            return (kind == Kind::kTyping) == (last_kind_ == Kind::kTyping);
        }
        return kind != Kind::kDeletingBackward || last_kind_ == Kind::kDeletingBackward;
    }

    // Whether `next` is made where `last` left the caret.
    static bool GoesOn(const Edit& last, const Edit& next, Kind kind) {
        const int caret = last.offset + last.inserted_length;
        switch (kind) {
            case Kind::kTyping:
                return next.removed_length == 0 && next.offset == caret;
            case Kind::kDeletingBackward:
                return next.inserted_length == 0 && next.offset + next.removed_length == caret;
            case Kind::kDeletingForward:
                return next.inserted_length == 0 && next.offset == caret;
            case Kind::kOther:
                break;
        }
        return false;
    }

    const Step* Move(std::vector<Step>& from, std::vector<Step>& to) {
        open_ = false;
        if (from.empty()) {
            return nullptr;
        }
        to.push_back(std::move(from.back()));
        from.pop_back();
        return &to.back();
    }

    Grouping grouping_;
    std::vector<Step> done_;
    std::vector<Step> undone_;
    Kind last_kind_ = Kind::kOther;
    bool open_ = false;
};

}  // namespace zentrovax
