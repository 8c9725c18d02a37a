// The Toolkit over the DOM: the page built from the window description, its events forwarded to
// the handlers. Holds no behaviour of its own beyond what a browser makes necessary: a message
// that cannot block, and typing that must never stay in the capture box.
#pragma once

#include <emscripten/val.h>

#include <optional>
#include <string>
#include <string_view>

#include "web/leet_output_box.h"
#include "web/window_page.h"
#include "window/toolkit.h"

namespace zentrovax {

class WebToolkit final : public Toolkit {
  public:
    // Builds the window inside the page's <body>.
    WebToolkit();

    [[nodiscard]] std::string GetText(Box box) const override;
    void SetText(Box box, std::string_view text) override;
    void AppendText(Box box, std::string_view text) override;
    [[nodiscard]] bool IsEnabled(Box box) const override;
    void SetEnabled(Box box, bool enabled) override;
    void GiveFocus(Box box) override;
    [[nodiscard]] bool HasFocus(Box box) const override;
    void SetEditable(Box box, bool editable) override;
    [[nodiscard]] bool ViewIsAtEnd(Box box) const override;
    void ShowEnd(Box box) override;
    void SetComposingText(Box box, std::string_view text) override;
    [[nodiscard]] std::string GetComposingText(Box box) const override;
    void Announce(std::string_view text) override;
    void ShowMessage(std::string_view prompt, std::string_view title) override;

    // Runs the handler of the page event the listener numbered `listener` of the table in
    // web_toolkit.cpp listens for; the page calls it through the one function main.cpp exports.
    void OnEvent(int listener, const emscripten::val& event);

  private:
    explicit WebToolkit(const WindowPage& page);

    // A page event the window listens for: what it happens on, its type, and its handler. An
    // event of the page rather than of an element (the zoom, the output's idle time) has none.
    using Handler = void (WebToolkit::*)(const emscripten::val& event);
    struct Listener {
        emscripten::val WebToolkit::*target;
        const char* type;
        Handler handle;
    };
    static const Listener kListeners[];
    [[nodiscard]] static int ListenerOf(Handler handle);

    void OnCaptureBeforeInput(const emscripten::val& event);
    void OnCaptureCompositionUpdate(const emscripten::val& event);
    void OnCaptureCompositionEnd(const emscripten::val& event);
    void OnCaptureInput(const emscripten::val& event);
    void OnClick(const emscripten::val& event);
    void OnLeetFocus(const emscripten::val& event);
    void OnLeetBeforeInput(const emscripten::val& event);
    void OnLeetKeyDown(const emscripten::val& event);
    void OnLeetCompositionStart(const emscripten::val& event);
    void OnLeetCompositionEnd(const emscripten::val& event);
    void OnLeetCopy(const emscripten::val& event);
    void OnLeetCut(const emscripten::val& event);
    void OnLeetMouseDown(const emscripten::val& event);
    void OnMouseDown(const emscripten::val& event);
    void OnMessageClosed(const emscripten::val& event);
    // Where the output's text wraps may have changed: the page's zoom, the box's width or its
    // line height.
    void OnRelayout(const emscripten::val& event);
    void OnOutputIdle(const emscripten::val& event);

    void Type(std::string_view characters);
    void DropFirstTouchHint();
    [[nodiscard]] emscripten::val Element(Box box) const;

    emscripten::val document_;
    emscripten::val client_;
    emscripten::val capture_;
    emscripten::val leet_;
    emscripten::val first_touch_;
    emscripten::val live_region_;
    emscripten::val message_;
    LeetOutputBox output_;
    bool message_open_ = false;
    bool every_other_piece_ = false;
    // A browser cannot wait for the message to close: the focus a handler gives meanwhile is
    // given when it closes.
    std::optional<Box> focus_after_message_;
};

}  // namespace zentrovax
