#include "web/window_page.h"

#include <string>

#include "window/accessible_text.h"
#include "window/help_text.h"

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

WindowPage BuildWindowPage(const WindowDescription& description) {
    val document = val::global("document");
    const auto make = [&document](const char* tag) {
        return document.call<val>("createElement", val(tag));
    };
    WindowPage page{make("div"), make("textarea"), make("div"),
                    make("p"),   make("div"),      make("dialog")};
    document.set("title", std::string(description.caption));
    val body = document["body"];
    body["style"].set("background", Css(description.window_colour));
    // The page is the window and nothing else: its main content, headed by its caption, which a
    // screen reader's user can jump to as on any page.
    val main = document.call<val>("createElement", val("main"));
    val heading = document.call<val>("createElement", val("h1"));
    heading.set("className", "unseen");
    heading.set("textContent", std::string(description.caption));
    main.call<void>("append", heading);
    body.call<void>("append", main);

    // The client area of the described size, centred; it clips, so the capture box placed right
    // of it never shows. overflow:clip, unlike hidden, never scrolls to a focused child.
    page.client.set("id", std::string(description.name));
    page.client.set("className", "client");
    SetSizes(page.client, description);
    page.client.call<void>("setAttribute", val("role"), val("application"));
    page.client.call<void>("setAttribute", val("aria-label"),
                           val(std::string(description.caption)));
    Describe(document, main, page.client, AccessibleTextOf(description.name));
    main.call<void>("append", page.client);

    for (const ControlDescription& control : description.controls) {
        val element = val::undefined();
        switch (control.kind) {
            case ControlKind::OutputBox:
                element = page.leet;
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
                element = page.capture;
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
                element = document.call<val>("createElement", val("button"));
                element.set("type", "button");
                element.set("textContent", std::string(control.caption));
                element["style"].set("background", Css(description.button_colour));
                break;
        }
        element.set("id", std::string(control.name));
        element["classList"].call<void>("add", val("control"));
        Describe(document, main, element, AccessibleTextOf(control.name));
        SetSize(element, "--left", control.left);
        SetSize(element, "--top", control.top);
        SetSize(element, "--width", control.width);
        SetSize(element, "--height", control.height);
        // The rows are in tab order, so appending them in turn gives the tab order.
        page.client.call<void>("append", element);
    }

    // On a touch screen the keyboard opens only for a touch: until the first key, a line in the
    // output says where to touch. It is no part of the output's text.
    page.first_touch.set("className", "first-touch");
    page.first_touch.set("textContent", std::string(kFirstTouchHint));
    page.client.call<void>("append", page.first_touch);

    // Each piece is said once, after the key, without interrupting.
    page.live_region.set("className", "unseen");
    page.live_region.call<void>("setAttribute", val("aria-live"), val("polite"));
    main.call<void>("append", page.live_region);

    val title = document.call<val>("createElement", val("h2"));
    title.set("id", "helpTitle");
    val prompt = document.call<val>("createElement", val("p"));
    prompt.set("id", "helpPrompt");
    val form = document.call<val>("createElement", val("form"));
    form.set("method", "dialog");
    form.call<void>("setAttribute", val("role"), val("none"));  // else it is read as a form
    val ok = document.call<val>("createElement", val("button"));
    ok.set("textContent", "OK");
    ok.set("autofocus", true);
    form.call<void>("append", ok);
    page.message.set("id", "help");
    // Modal, named by its title and described by its words, which a screen reader reads once as
    // the focus moves into it, as it does a desktop message box's (see showMessage in page.js).
    // A dialog, not an alert dialog: Chromium announces an alert as it shows besides, and Orca
    // then reads the message three times.
    page.message.call<void>("setAttribute", val("role"), val("dialog"));
    page.message.call<void>("setAttribute", val("aria-modal"), val("true"));
    page.message.call<void>("setAttribute", val("aria-labelledby"), val("helpTitle"));
    page.message.call<void>("setAttribute", val("aria-describedby"), val("helpPrompt"));
    page.message.call<void>("append", title, prompt, form);
    page.client.call<void>("append", page.message);

    return page;
}

}  // namespace zentrovax
