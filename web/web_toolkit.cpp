#include "web/web_toolkit.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>

#include "output/typed_text.h"
#include "window/accessible_text.h"
#include "window/handlers.h"
#include "window/help_text.h"
#include "window/window_description.h"

namespace zentrovax {

using emscripten::val;

namespace {

std::string Pixels(int twips) {
    return std::to_string(TwipsToPixels(twips)) + "px";
}

// Hands a size of the window description to the page's style, which has none of its own.
void SetSize(const val& element, const char* name, int twips) {
    element["style"].call<void>("setProperty", val(name), val(Pixels(twips)));
}

// The sizes the style lays the window out with, on a desktop and on a touch screen, where the
// window fills the screen's width with the margins and gaps of the description around the output
// and the row of buttons.
void SetSizes(const val& client, const WindowDescription& description) {
    const ControlDescription& output = FindControl("txtLeet");
    const ControlDescription& first = FindControl("cmdPause");
    const ControlDescription& second = FindControl("cmdResume");
    const ControlDescription& capture = FindControl("txtCapture");
    SetSize(client, "--width", description.client_width);
    SetSize(client, "--height", description.client_height);
    SetSize(client, "--output-text", description.text.output_text);
    SetSize(client, "--output-line", description.text.output_line);
    SetSize(client, "--caption", description.text.caption);
    SetSize(client, "--touch-output-text", description.touch.text.output_text);
    SetSize(client, "--touch-output-line", description.touch.text.output_line);
    SetSize(client, "--touch-caption", description.touch.text.caption);
    SetSize(client, "--touch-target", description.touch.target);
    SetSize(client, "--margin-left", output.left);
    SetSize(client, "--margin-top", output.top);
    SetSize(client, "--margin-right", description.client_width - output.left - output.width);
    SetSize(client, "--margin-bottom", description.client_height - first.top - first.height);
    SetSize(client, "--row-gap", first.top - output.top - output.height);
    SetSize(client, "--button-gap", second.left - first.left - first.width);
    SetSize(client, "--beyond", capture.left - description.client_width);
}

std::string Css(Colour colour) {
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
           std::to_string(colour.blue) + ")";
}

// Gives `element` the words a screen reader says beyond what it shows. The description goes
// through a hidden element, which every screen reader follows; aria-description is newer.
void Describe(val& document, val& page, val& element, const AccessibleText& text) {
    if (!text.name.empty()) {
        element.call<void>("setAttribute", val("aria-label"), val(std::string(text.name)));
    }
    if (!text.description.empty()) {
        val words = document.call<val>("createElement", val("span"));
        const std::string id = std::string(text.control) + "Description";
        words.set("id", id);
        words.set("hidden", true);
        words.set("textContent", std::string(text.description));
        page.call<void>("append", words);
        element.call<void>("setAttribute", val("aria-describedby"), val(id));
    }
}

}  // namespace

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

WebToolkit::WebToolkit()
    : document_(val::global("document")),
      client_(document_.call<val>("createElement", val("div"))),
      capture_(document_.call<val>("createElement", val("textarea"))),
      leet_(document_.call<val>("createElement", val("div"))),
      first_touch_(document_.call<val>("createElement", val("p"))),
      live_region_(document_.call<val>("createElement", val("div"))),
      message_(document_.call<val>("createElement", val("dialog"))),
      output_(leet_,
              [] { val::module_property("later")(val(ListenerOf(&WebToolkit::OnOutputIdle))); }) {
    const WindowDescription& description = kFrmZentrovax;
    document_.set("title", std::string(description.caption));
    val body = document_["body"];
    body["style"].set("background", Css(description.window_colour));
    // The page is the window and nothing else: its main content, headed by its caption, which a
    // screen reader's user can jump to as on any page.
    val page = document_.call<val>("createElement", val("main"));
    val heading = document_.call<val>("createElement", val("h1"));
    heading.set("className", "unseen");
    heading.set("textContent", std::string(description.caption));
    page.call<void>("append", heading);
    body.call<void>("append", page);

    // The client area of the described size, centred; it clips, so the capture box placed right
    // of it never shows. overflow:clip, unlike hidden, never scrolls to a focused child.
    client_.set("id", std::string(description.name));
    client_.set("className", "client");
    SetSizes(client_, description);
    client_.call<void>("setAttribute", val("role"), val("application"));
    client_.call<void>("setAttribute", val("aria-label"), val(std::string(description.caption)));
    Describe(document_, page, client_, AccessibleTextOf(description.name));
    page.call<void>("append", client_);

    for (const ControlDescription& control : description.controls) {
        val element = val::undefined();
        switch (control.kind) {
            case ControlKind::OutputBox:
                element = leet_;
                element.set("className", "output");
                element.set("tabIndex", 0);
                element.call<void>("setAttribute", val("role"), val("textbox"));
                element.call<void>("setAttribute", val("aria-multiline"), val("true"));
                // What the user types into it while paused stays as typed.
                element.call<void>("setAttribute", val("spellcheck"), val("false"));
                element.call<void>("setAttribute", val("autocorrect"), val("off"));
                element.call<void>("setAttribute", val("autocapitalize"), val("none"));
                element["style"].set("background", Css(description.output_background));
                element["style"].set("color", Css(description.output_text));
                break;
            case ControlKind::CaptureBox:
                element = capture_;
                element.set("className", "capture");
                // A phone's keyboard would capitalize the first letter, which types nothing, and
                // correct words behind the user's back.
                for (const char* helper : {"autocomplete", "autocorrect"}) {
                    element.call<void>("setAttribute", val(helper), val("off"));
                }
                element.call<void>("setAttribute", val("autocapitalize"), val("none"));
                element.call<void>("setAttribute", val("spellcheck"), val("false"));
                break;
            case ControlKind::PushButton:
                element = document_.call<val>("createElement", val("button"));
                element.set("type", "button");
                element.set("textContent", std::string(control.caption));
                element["style"].set("background", Css(description.button_colour));
                break;
        }
        element.set("id", std::string(control.name));
        element["classList"].call<void>("add", val("control"));
        Describe(document_, page, element, AccessibleTextOf(control.name));
        SetSize(element, "--left", control.left);
        SetSize(element, "--top", control.top);
        SetSize(element, "--width", control.width);
        SetSize(element, "--height", control.height);
        // The rows are in tab order, so appending them in turn gives the tab order.
        client_.call<void>("append", element);
    }

    // On a touch screen the keyboard opens only for a touch: until the first key, a line in the
    // output says where to touch. It is no part of the output's text.
    first_touch_.set("className", "first-touch");
    first_touch_.set("textContent", std::string(kFirstTouchHint));
    client_.call<void>("append", first_touch_);

    // Each piece is said once, after the key, without interrupting.
    live_region_.set("className", "unseen");
    live_region_.call<void>("setAttribute", val("aria-live"), val("polite"));
    page.call<void>("append", live_region_);

    val title = document_.call<val>("createElement", val("h2"));
    title.set("id", "helpTitle");
    val prompt = document_.call<val>("createElement", val("p"));
    prompt.set("id", "helpPrompt");
    val form = document_.call<val>("createElement", val("form"));
    form.set("method", "dialog");
    form.call<void>("setAttribute", val("role"), val("none"));  // else it is read as a form
    val ok = document_.call<val>("createElement", val("button"));
    ok.set("textContent", "OK");
    ok.set("autofocus", true);
    form.call<void>("append", ok);
    message_.set("id", "help");
    // Modal, named by its title and described by its words, which a screen reader reads once as
    // the focus moves into it, as it does a desktop message box's (see showMessage in page.js).
    // A dialog, not an alert dialog: Chromium announces an alert as it shows besides, and Orca
    // then reads the message three times.
    message_.call<void>("setAttribute", val("role"), val("dialog"));
    message_.call<void>("setAttribute", val("aria-modal"), val("true"));
    message_.call<void>("setAttribute", val("aria-labelledby"), val("helpTitle"));
    message_.call<void>("setAttribute", val("aria-describedby"), val("helpPrompt"));
    message_.call<void>("append", title, prompt, form);
    client_.call<void>("append", message_);

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
