// The operations the handlers need from a window toolkit, and nothing more. It holds no toolkit
// type, so the handlers can be built and tested without a display.
#pragma once

#include <string>
#include <string_view>

namespace zentrovax {

// The two text boxes the handlers address. Named after the controls they stand for.
enum class Box {
    txtCapture,  // the unseen box that receives the user's typing
    txtLeet,     // the visible output box
};

// Text is UTF-8: whatever the user types into the output while paused must survive untouched.
class Toolkit {
  public:
    Toolkit() = default;
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;
    Toolkit(Toolkit&&) = delete;
    Toolkit& operator=(Toolkit&&) = delete;
    virtual ~Toolkit() = default;

    [[nodiscard]] virtual std::string GetText(Box box) const = 0;
    virtual void SetText(Box box, std::string_view text) = 0;
    // Same result as SetText(box, GetText(box) + text), without reading or rewriting what the
    // box holds, so a key costs the same however long the output is. Not an undoable edit.
    virtual void AppendText(Box box, std::string_view text) = 0;

    [[nodiscard]] virtual bool IsEnabled(Box box) const = 0;
    // A disabled box takes neither the focus nor keystrokes.
    virtual void SetEnabled(Box box, bool enabled) = 0;
    // Giving the focus to a disabled box is a failure; callers check IsEnabled first.
    virtual void GiveFocus(Box box) = 0;
    [[nodiscard]] virtual bool HasFocus(Box box) const = 0;

    // Whether the user may edit the box's text. Either way its undo history starts empty, so that
    // an undo never reaches back across the switch.
    virtual void SetEditable(Box box, bool editable) = 0;

    // Whether the end of the box's text is in view (or all of it fits), as the user sees it now.
    [[nodiscard]] virtual bool ViewIsAtEnd(Box box) const = 0;
    // Scrolls the box to the end of its text. Changes of the text keep the view where it was.
    virtual void ShowEnd(Box box) = 0;

    // What a keyboard is composing, shown after the box's text and marked as not yet typed, as a
    // desktop input method shows its preedit; empty shows nothing. Never part of the text:
    // GetText, copying and a screen reader's view of the text leave it out.
    virtual void SetComposingText(Box box, std::string_view text) = 0;
    [[nodiscard]] virtual std::string GetComposingText(Box box) const = 0;

    // Has a screen reader say `text`, which appeared where the focus is not.
    virtual void Announce(std::string_view text) = 0;

    // Modal: returns once the user has dismissed the message. One OK button, no icon.
    virtual void ShowMessage(std::string_view prompt, std::string_view title) = 0;
};

}  // namespace zentrovax
