// The browser program: builds the window once the page has loaded and forwards each event the
// page listens for to the one WebToolkit.
#include <emscripten/bind.h>

#include <memory>

#include "web/web_toolkit.h"

namespace {

// The runtime outlives main, so the window lives as long as the page.
std::unique_ptr<zentrovax::WebToolkit>& Window() {
    static std::unique_ptr<zentrovax::WebToolkit> window;
    return window;
}

using emscripten::val;

void CaptureBeforeInput(val event) {
    Window()->OnCaptureBeforeInput(std::move(event));
}
void CaptureCompositionEnd(val event) {
    Window()->OnCaptureCompositionEnd(std::move(event));
}
void CaptureInput(val event) {
    Window()->OnCaptureInput(std::move(event));
}
void Click(val event) {
    Window()->OnClick(std::move(event));
}
void LeetFocus(val /*event*/) {
    Window()->OnLeetFocus();
}
void LeetBeforeInput(val event) {
    Window()->OnLeetBeforeInput(std::move(event));
}
void LeetKeyDown(val event) {
    Window()->OnLeetKeyDown(event);
}
void LeetCompositionStart(val /*event*/) {
    Window()->OnLeetComposition(true);
}
void LeetCompositionEnd(val /*event*/) {
    Window()->OnLeetComposition(false);
}
void LeetCopy(val event) {
    Window()->OnLeetCopy(std::move(event), false);
}
void LeetCut(val event) {
    Window()->OnLeetCopy(std::move(event), true);
}
void LeetMouseDown(val event) {
    Window()->OnLeetMouseDown(event);
}
void MouseDown(val event) {
    Window()->OnMouseDown(std::move(event));
}
void MessageClosed(val /*event*/) {
    Window()->OnMessageClosed();
}
void Zoomed() {
    Window()->OnZoomed();
}
void OutputIdle() {
    Window()->OnOutputIdle();
}
// For the tests and the benchmark: output of any length without typing it key by key.
void SetOutput(std::string text) {
    Window()->SetText(zentrovax::Box::txtLeet, text);
}

}  // namespace

EMSCRIPTEN_BINDINGS(zentrovax) {
    emscripten::function("zentrovaxCaptureBeforeInput", &CaptureBeforeInput);
    emscripten::function("zentrovaxCaptureCompositionEnd", &CaptureCompositionEnd);
    emscripten::function("zentrovaxCaptureInput", &CaptureInput);
    emscripten::function("zentrovaxClick", &Click);
    emscripten::function("zentrovaxLeetFocus", &LeetFocus);
    emscripten::function("zentrovaxLeetBeforeInput", &LeetBeforeInput);
    emscripten::function("zentrovaxLeetKeyDown", &LeetKeyDown);
    emscripten::function("zentrovaxLeetCompositionStart", &LeetCompositionStart);
    emscripten::function("zentrovaxLeetCompositionEnd", &LeetCompositionEnd);
    emscripten::function("zentrovaxLeetCopy", &LeetCopy);
    emscripten::function("zentrovaxLeetCut", &LeetCut);
    emscripten::function("zentrovaxLeetMouseDown", &LeetMouseDown);
    emscripten::function("zentrovaxMouseDown", &MouseDown);
    emscripten::function("zentrovaxMessageClosed", &MessageClosed);
    emscripten::function("zentrovaxZoomed", &Zoomed);
    emscripten::function("zentrovaxOutputIdle", &OutputIdle);
    emscripten::function("zentrovaxSetOutput", &SetOutput);
}

int main() {
    Window() = std::make_unique<zentrovax::WebToolkit>();
    return 0;
}
