#include "web/web_toolkit.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>

#include "output/typed_text.h"
#include "window/handlers.h"
#include "window/window_description.h"

namespace zentrovax {

using emscripten::val;

// Every event the window listens for, each with its handler.
const WebToolkit::Listener WebToolkit::kListeners[] = {
    {&WebToolkit::capture_, "beforeinput", &WebToolkit::OnCaptureBeforeInput},
    {&WebToolkit::capture_, "compositionupdate", &WebToolkit::OnCaptureCompositionUpdate},
    {&WebToolkit::capture_, "compositionend", &WebToolkit::OnCaptureCompositionEnd},
    {&WebToolkit::capture_, "input", &WebToolkit::OnCaptureInput},
    // The buttons' clicks, as they bubble up through the client area.
    {&WebToolkit::client_, "click", &WebToolkit::OnClick},
    {&WebToolkit::leet_, "focus", &WebToolkit::OnLeetFocus},
    {&WebToolkit::leet_, "beforeinput", &WebToolkit::OnLeetBeforeInput},
    {&WebToolkit::leet_, "keydown", &WebToolkit::OnLeetKeyDown},
    {&WebToolkit::leet_, "compositionstart", &WebToolkit::OnLeetCompositionStart},
    {&WebToolkit::leet_, "compositionend", &WebToolkit::OnLeetCompositionEnd},
    {&WebToolkit::leet_, "copy", &WebToolkit::OnLeetCopy},
    {&WebToolkit::leet_, "cut", &WebToolkit::OnLeetCut},
    {&WebToolkit::leet_, "mousedown", &WebToolkit::OnLeetMouseDown},
    {&WebToolkit::document_, "mousedown", &WebToolkit::OnMouseDown},
    {&WebToolkit::message_, "dismiss", &WebToolkit::OnMessageClosed},
    {nullptr, "relayout", &WebToolkit::OnRelayout},
    {nullptr, "idle", &WebToolkit::OnOutputIdle},
};

int WebToolkit::ListenerOf(Handler handle) {
    const auto* found =
        std::find_if(std::begin(kListeners), std::end(kListeners),
                     [handle](const Listener& listener) { return listener.handle == handle; });
    return static_cast<int>(found - std::begin(kListeners));
}

WebToolkit::WebToolkit() : WebToolkit(BuildWindowPage(kFrmZentrovax)) {}

WebToolkit::WebToolkit(const WindowPage& page)
    : document_(val::global("document")),
      client_(page.client),
      capture_(page.capture),
      leet_(page.leet),
      first_touch_(page.first_touch),
      live_region_(page.live_region),
      message_(page.message),
      output_(leet_,
              [] { val::module_property("later")(val(ListenerOf(&WebToolkit::OnOutputIdle))); }) {
    for (const Listener& each : kListeners) {
        if (each.target != nullptr) {
            val::module_property("listen")(this->*each.target, val(each.type),
                                           val(static_cast<int>(&each - std::begin(kListeners))));
        }
    }
    val::module_property("onRelayout")(leet_, val(ListenerOf(&WebToolkit::OnRelayout)));

    OnWindowBuilt(*this);
}

val WebToolkit::Element(Box box) const {
    return box == Box::txtCapture ? capture_ : leet_;
}

std::string WebToolkit::GetText(Box box) const {
    // Typing never stays in the capture box, so it always reads as empty, as on Linux.
    return box == Box::txtLeet ? output_.Text() : capture_["value"].as<std::string>();
}

void WebToolkit::SetText(Box box, std::string_view text) {
    if (box == Box::txtLeet) {
        DropFirstTouchHint();
        output_.SetText(text);
    } else {
        capture_.set("value", std::string(text));
    }
}

void WebToolkit::AppendText(Box box, std::string_view text) {
    if (box == Box::txtCapture) {
        return;  // what the capture box holds is never kept
    }
    output_.Append(text);
}

void WebToolkit::SetComposingText(Box box, std::string_view text) {
    if (box == Box::txtLeet) {
        output_.SetComposingText(text);
    }
}

std::string WebToolkit::GetComposingText(Box box) const {
    return box == Box::txtLeet ? output_.ComposingText() : std::string();
}

void WebToolkit::DropFirstTouchHint() {
    first_touch_.call<void>("remove");
}

bool WebToolkit::HasFocus(Box box) const {
    return document_["activeElement"].strictlyEquals(Element(box));
}

void WebToolkit::SetEditable(Box box, bool editable) {
    if (box == Box::txtLeet) {
        if (editable) {
            DropFirstTouchHint();  // the user's own text goes into it now, not leet
        }
        output_.SetEditable(editable);
    } else {
        capture_.set("readOnly", !editable);
    }
}

bool WebToolkit::ViewIsAtEnd(Box box) const {
    return box == Box::txtCapture || output_.ViewIsAtEnd();
}

void WebToolkit::ShowEnd(Box box) {
    if (box == Box::txtLeet) {
        output_.ShowEnd();
    }
}

void WebToolkit::Announce(std::string_view text) {
    // The same piece twice running must be said twice, but Chromium reports no change when
    // the region's words stay the same, and Orca drops a message that repeats the last: every
    // other piece ends in a no-break space, which no screen reader says.
    every_other_piece_ = !every_other_piece_;
    val piece = document_.call<val>("createElement", val("span"));
    piece.set("textContent", std::string(text) + (every_other_piece_ ? "\u00a0" : ""));
    live_region_.call<void>("replaceChildren", piece);
}

bool WebToolkit::IsEnabled(Box box) const {
    return !Element(box)["disabled"].as<bool>();
}

void WebToolkit::SetEnabled(Box box, bool enabled) {
    if (box == Box::txtCapture) {
        capture_.set("disabled", !enabled);
    }
}

void WebToolkit::GiveFocus(Box box) {
    if (message_open_) {
        focus_after_message_ = box;
        return;
    }
    val options = val::object();
    options.set("preventScroll", true);
    Element(box).call<void>("focus", options);
}

void WebToolkit::ShowMessage(std::string_view prompt, std::string_view title) {
    document_.call<val>("getElementById", val("helpTitle")).set("textContent", std::string(title));
    document_.call<val>("getElementById", val("helpPrompt"))
        .set("textContent", std::string(prompt));
    message_open_ = true;
    // What the live region last said would be said again as the modal message lets it be seen.
    live_region_.call<void>("replaceChildren");
    val::module_property("showMessage")(message_);
}

void WebToolkit::Type(std::string_view characters) {
    for (const CharacterCode code : CodesOfUtf8(characters)) {
        OnCaptureKeyPress(*this, code);
    }
}

void WebToolkit::OnEvent(int listener, const val& event) {
    (this->*kListeners[listener].handle)(event);
}

void WebToolkit::OnCaptureBeforeInput(const val& event) {
    DropFirstTouchHint();
    const std::string type = event["inputType"].as<std::string>();
    // A composition cannot be cancelled; its commit arrives as compositionend.
    if (type == "insertCompositionText") {
        return;
    }
    event.call<void>("preventDefault");
    if (type == "insertText" && event["data"].isString()) {
        Type(event["data"].as<std::string>());
    } else if (type.starts_with("insertFrom")) {  // a paste, a drop
        OnCapturePaste(*this);
    }
}

void WebToolkit::OnCaptureCompositionUpdate(const val& event) {
    DropFirstTouchHint();
    OnCaptureComposition(
        *this,
        CodesOfUtf8(event["data"].isString() ? event["data"].as<std::string>() : std::string()));
}

void WebToolkit::OnCaptureCompositionEnd(const val& event) {
    OnCaptureCommit(*this, CodesOfUtf8(event["data"].isString() ? event["data"].as<std::string>()
                                                                : std::string()));
    capture_.set("value", "");
}

void WebToolkit::OnCaptureInput(const val& event) {
    if (!event["isComposing"].as<bool>()) {
        capture_.set("value", "");
    }
}

void WebToolkit::OnClick(const val& event) {
    const val button = event["target"].call<val>("closest", val("button"));
    if (button.isNull()) {
        return;
    }
    if (const ClickHandler handler = ClickHandlerOf(button["id"].as<std::string>())) {
        handler(*this);
    }
}

void WebToolkit::OnLeetFocus(const val& /*event*/) {
    OnLeetGotFocus(*this);
}

void WebToolkit::OnLeetBeforeInput(const val& event) {
    output_.OnBeforeInput(event);
}

void WebToolkit::OnLeetKeyDown(const val& event) {
    output_.OnKeyDown(event);
}

void WebToolkit::OnLeetCompositionStart(const val& /*event*/) {
    output_.OnCompositionStart();
}

void WebToolkit::OnLeetCompositionEnd(const val& /*event*/) {
    output_.OnCompositionEnd();
}

void WebToolkit::OnLeetCopy(const val& event) {
    output_.OnCopy(event, false);
}

void WebToolkit::OnLeetCut(const val& event) {
    output_.OnCopy(event, true);
}

void WebToolkit::OnLeetMouseDown(const val& event) {
    output_.OnMouseDown(event);
}

void WebToolkit::OnMouseDown(const val& event) {
    // A click on the window's background leaves the focus where it is, as in a desktop window.
    const std::string tag = event["target"]["tagName"].as<std::string>();
    if (tag == "BODY" || tag == "HTML" ||
        event["target"]["id"].as<std::string>() == std::string(kFrmZentrovax.name)) {
        event.call<void>("preventDefault");
    }
}

void WebToolkit::OnMessageClosed(const val& /*event*/) {
    message_open_ = false;
    if (focus_after_message_) {
        const Box box = *focus_after_message_;
        focus_after_message_.reset();
        GiveFocus(box);
    }
}

void WebToolkit::OnRelayout(const val& /*event*/) {
    output_.Recut();
}

void WebToolkit::OnOutputIdle(const val& /*event*/) {
    output_.OnIdle();
}

}  // namespace zentrovax
