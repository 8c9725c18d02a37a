// A Toolkit that keeps each box's text, flags, undo history and view and the focus in memory,
// records the messages shown and the words announced, and throws where the real toolkit would end
// the program or refuse: focus given to a disabled box, typing into a box that is not editable.
#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "window/toolkit.h"

namespace zentrovax::testing {

struct ShownMessage {
    std::string prompt;
    std::string title;
};

class FakeToolkit final : public Toolkit {
  public:
    [[nodiscard]] std::string GetText(Box box) const override { return state(box).text; }
    void SetText(Box box, std::string_view text) override { state(box).text = text; }
    void AppendText(Box box, std::string_view text) override {
        BoxState& box_state = state(box);
        box_state.text += text;
        // A box of a few lines: the end leaves the view once the text outgrows it.
        box_state.lines += static_cast<int>(text.size());
    }
    [[nodiscard]] bool IsEnabled(Box box) const override { return state(box).enabled; }
    void SetComposingText(Box box, std::string_view text) override { state(box).composing = text; }
    [[nodiscard]] std::string GetComposingText(Box box) const override {
        return state(box).composing;
    }

    void SetEnabled(Box box, bool enabled) override {
        state(box).enabled = enabled;
        // A box that is disabled loses the focus, as on a real window.
        if (!enabled && focus_ == box) {
            focus_.reset();
        }
    }

    void GiveFocus(Box box) override {
        if (!state(box).enabled) {
            throw std::logic_error("focus given to a disabled box");
        }
        ++focus_moves_;
        focus_ = box;
    }

    [[nodiscard]] bool HasFocus(Box box) const override { return focus_ == box; }

    void SetEditable(Box box, bool editable) override {
        state(box).editable = editable;
        state(box).undo.clear();
    }

    [[nodiscard]] bool ViewIsAtEnd(Box box) const override {
        return state(box).top + kViewLines >= state(box).lines;
    }

    void ShowEnd(Box box) override { state(box).top = std::max(0, state(box).lines - kViewLines); }

    void Announce(std::string_view text) override { announced_.emplace_back(text); }

    void ShowMessage(std::string_view prompt, std::string_view title) override {
        messages_.push_back({std::string(prompt), std::string(title)});
        if (while_message_shown_) {
            while_message_shown_();
        }
    }

    // What a person does from outside the handlers.
    void UserFocuses(std::optional<Box> box) { focus_ = box; }
    void UserTypesIntoOutput(std::string_view text) {
        BoxState& leet = state(Box::txtLeet);
        if (!leet.editable) {
            throw std::logic_error("typing into an output that is not editable");
        }
        leet.undo.push_back(leet.text);
        leet.text += text;
    }
    void UserUndoes() {
        BoxState& leet = state(Box::txtLeet);
        if (!leet.undo.empty()) {
            leet.text = leet.undo.back();
            leet.undo.pop_back();
        }
    }
    void UserScrollsToTop(Box box) { state(box).top = 0; }

    [[nodiscard]] std::optional<Box> Focus() const { return focus_; }
    [[nodiscard]] bool IsEditable(Box box) const { return state(box).editable; }
    [[nodiscard]] int TopLine(Box box) const { return state(box).top; }
    [[nodiscard]] const std::vector<std::string>& Announced() const { return announced_; }
    [[nodiscard]] int FocusMoves() const { return focus_moves_; }
    [[nodiscard]] const std::vector<ShownMessage>& Messages() const { return messages_; }
    // Runs inside ShowMessage, as the modal box's own event loop would.
    template <typename F>
    void WhileMessageShown(F action) {
        while_message_shown_ = action;
    }

  private:
    // Lines the output shows at once; every character of an append counts as a line of its own.
    static constexpr int kViewLines = 4;
    struct BoxState {
        std::string text;
        std::string composing;
        bool enabled = true;
        bool editable = false;
        // The texts an undo goes back to, the last first.
        std::vector<std::string> undo;
        int lines = 0;
        int top = 0;  // the first line in view
    };
    [[nodiscard]] const BoxState& state(Box box) const {
        return box == Box::txtCapture ? capture_ : leet_;
    }
    [[nodiscard]] BoxState& state(Box box) { return box == Box::txtCapture ? capture_ : leet_; }

    BoxState capture_;
    BoxState leet_;
    std::optional<Box> focus_;
    int focus_moves_ = 0;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> announced_;
    std::function<void()> while_message_shown_;
};

}  // namespace zentrovax::testing
