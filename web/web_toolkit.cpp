#include "web/web_toolkit.h"

#include <cstddef>
#include <string>

#include "output/typed_text.h"
#include "window/accessible_text.h"
#include "window/handlers.h"
#include "window/window_description.h"

namespace zentrovax {

using emscripten::val;

namespace {

std::string Pixels(int twips) {
    return std::to_string(TwipsToPixels(twips)) + "px";
}

std::string Css(Colour colour) {
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
           std::to_string(colour.blue) + ")";
}

// Calls `handler`, one of the functions main.cpp exports, on every `type` event of `target`.
void Listen(const val& target, const char* type, const char* handler) {
    val::module_property("listen")(target, val(type), val(handler));
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

WebToolkit::WebToolkit()
    : document_(val::global("document")),
      capture_(document_.call<val>("createElement", val("textarea"))),
      leet_(document_.call<val>("createElement", val("div"))),
      live_region_(document_.call<val>("createElement", val("div"))),
      message_(document_.call<val>("createElement", val("dialog"))),
      output_(leet_) {
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
    val client = document_.call<val>("createElement", val("div"));
    client.set("id", std::string(description.name));
    client.set("className", "client");
    client["style"].set("width", Pixels(description.client_width));
    client["style"].set("height", Pixels(description.client_height));
    client.call<void>("setAttribute", val("role"), val("application"));
    client.call<void>("setAttribute", val("aria-label"), val(std::string(description.caption)));
    Describe(document_, page, client, AccessibleTextOf(description.name));
    page.call<void>("append", client);

    for (const ControlDescription& control : description.controls) {
        val element = val::undefined();
        switch (control.kind) {
            case ControlKind::OutputBox:
                element = leet_;
                element.set("className", "output");
                element.set("tabIndex", 0);
                element.call<void>("setAttribute", val("role"), val("textbox"));
                element.call<void>("setAttribute", val("aria-multiline"), val("true"));
                element.call<void>("setAttribute", val("spellcheck"), val("false"));
                element["style"].set("background", Css(description.output_background));
                element["style"].set("color", Css(description.output_text));
                break;
            case ControlKind::CaptureBox:
                element = capture_;
                element.set("className", "capture");
                element.call<void>("setAttribute", val("autocomplete"), val("off"));
                element.call<void>("setAttribute", val("spellcheck"), val("false"));
                break;
            case ControlKind::PushButton:
                element = document_.call<val>("createElement", val("button"));
                element.set("type", "button");
                element.set("textContent", std::string(control.caption));
                element["style"].set("background", Css(description.button_colour));
                if (ClickHandlerOf(control.name) != nullptr) {
                    Listen(element, "click", "zentrovaxClick");
                }
                break;
        }
        element.set("id", std::string(control.name));
        Describe(document_, page, element, AccessibleTextOf(control.name));
        val style = element["style"];
        style.set("left", Pixels(control.left));
        style.set("top", Pixels(control.top));
        style.set("width", Pixels(control.width));
        style.set("height", Pixels(control.height));
        // The rows are in tab order, so appending them in turn gives the tab order.
        client.call<void>("append", element);
    }

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
    // Modal, named by its title and described by its words, which a screen reader reads as the
    // focus moves into it, as it does a desktop message box's (see showMessage in page.js).
    message_.call<void>("setAttribute", val("role"), val("alertdialog"));
    message_.call<void>("setAttribute", val("aria-modal"), val("true"));
    message_.call<void>("setAttribute", val("aria-labelledby"), val("helpTitle"));
    message_.call<void>("setAttribute", val("aria-describedby"), val("helpPrompt"));
    message_.call<void>("append", title, prompt, form);
    client.call<void>("append", message_);

    // Each event of the page and the function main.cpp exports for it.
    const struct {
        const val& target;
        const char* type;
        const char* handler;
    } listeners[] = {
        {capture_, "beforeinput", "zentrovaxCaptureBeforeInput"},
        {capture_, "compositionend", "zentrovaxCaptureCompositionEnd"},
        {capture_, "input", "zentrovaxCaptureInput"},
        {leet_, "focus", "zentrovaxLeetFocus"},
        {leet_, "beforeinput", "zentrovaxLeetBeforeInput"},
        {leet_, "keydown", "zentrovaxLeetKeyDown"},
        {leet_, "compositionstart", "zentrovaxLeetCompositionStart"},
        {leet_, "compositionend", "zentrovaxLeetCompositionEnd"},
        {leet_, "copy", "zentrovaxLeetCopy"},
        {leet_, "cut", "zentrovaxLeetCut"},
        {leet_, "mousedown", "zentrovaxLeetMouseDown"},
        {document_, "mousedown", "zentrovaxMouseDown"},
        {message_, "dismiss", "zentrovaxMessageClosed"},
    };
    for (const auto& listener : listeners) {
        Listen(listener.target, listener.type, listener.handler);
    }
    val::module_property("onZoom")(leet_, val("zentrovaxZoomed"));

    output_.SetEditable(false);
    GiveFocus(Box::txtCapture);
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

bool WebToolkit::HasFocus(Box box) const {
    return document_["activeElement"].strictlyEquals(Element(box));
}

void WebToolkit::SetEditable(Box box, bool editable) {
    if (box == Box::txtLeet) {
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

void WebToolkit::OnCaptureBeforeInput(val event) {
    const std::string type = event["inputType"].as<std::string>();
    // A composition cannot be cancelled; its commit arrives as compositionend.
    if (type == "insertCompositionText") {
        return;
    }
    event.call<void>("preventDefault");
    if (type == "insertText" && event["data"].isString()) {
        Type(event["data"].as<std::string>());
    }
}

void WebToolkit::OnCaptureCompositionEnd(val event) {
    if (event["data"].isString()) {
        Type(event["data"].as<std::string>());
    }
    capture_.set("value", "");
}

void WebToolkit::OnCaptureInput(val event) {
    if (!event["isComposing"].as<bool>()) {
        capture_.set("value", "");
    }
}

void WebToolkit::OnClick(val event) {
    const std::string name = event["currentTarget"]["id"].as<std::string>();
    if (const ClickHandler handler = ClickHandlerOf(name)) {
        handler(*this);
    }
}

void WebToolkit::OnLeetFocus() {
    OnLeetGotFocus(*this);
}

void WebToolkit::OnLeetBeforeInput(val event) {
    output_.OnBeforeInput(event);
}

void WebToolkit::OnLeetKeyDown(const val& event) {
    output_.OnKeyDown(event);
}

void WebToolkit::OnLeetComposition(bool start) {
    if (start) {
        output_.OnCompositionStart();
    } else {
        output_.OnCompositionEnd();
    }
}

void WebToolkit::OnLeetCopy(val event, bool cut) {
    output_.OnCopy(event, cut);
}

void WebToolkit::OnMouseDown(val event) {
    // A click on the window's background leaves the focus where it is, as in a desktop window.
    const std::string tag = event["target"]["tagName"].as<std::string>();
    if (tag == "BODY" || tag == "HTML" ||
        event["target"]["id"].as<std::string>() == std::string(kFrmZentrovax.name)) {
        event.call<void>("preventDefault");
    }
}

void WebToolkit::OnMessageClosed() {
    message_open_ = false;
    if (focus_after_message_) {
        const Box box = *focus_after_message_;
        focus_after_message_.reset();
        GiveFocus(box);
    }
}

void WebToolkit::OnZoomed() {
    // Only a zoom changes where the text wraps: the output keeps its size in CSS pixels.
    output_.Recut();
}

}  // namespace zentrovax
