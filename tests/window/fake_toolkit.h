// A Toolkit that keeps each box's text and enabled flag and the focus in memory, records the
// messages shown, and throws where the real toolkit would end the program: focus given to a
// disabled box.
#pragma once

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
    void AppendText(Box box, std::string_view text) override { state(box).text += text; }
    [[nodiscard]] bool IsEnabled(Box box) const override { return state(box).enabled; }

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

    void ShowMessage(std::string_view prompt, std::string_view title) override {
        messages_.push_back({std::string(prompt), std::string(title)});
        if (while_message_shown_) {
            while_message_shown_();
        }
    }

    // What a person does from outside the handlers.
    void UserFocuses(std::optional<Box> box) { focus_ = box; }
    void UserTypesIntoOutput(std::string_view text) { state(Box::txtLeet).text += text; }

    [[nodiscard]] std::optional<Box> Focus() const { return focus_; }
    [[nodiscard]] int FocusMoves() const { return focus_moves_; }
    [[nodiscard]] const std::vector<ShownMessage>& Messages() const { return messages_; }
    // Runs inside ShowMessage, as the modal box's own event loop would.
    template <typename F>
    void WhileMessageShown(F action) {
        while_message_shown_ = action;
    }

  private:
    struct BoxState {
        std::string text;
        bool enabled = true;
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
    std::function<void()> while_message_shown_;
};

}  // namespace zentrovax::testing
