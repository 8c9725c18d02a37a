// The browser program: builds the window once the page has loaded. The page hands each event
// it listens for to the one WebToolkit through the one function exported here.
#include <emscripten/bind.h>

#include <memory>
#include <string>

#include "web/web_toolkit.h"

namespace {

// The runtime outlives main, so the window lives as long as the page.
std::unique_ptr<zentrovax::WebToolkit>& Window() {
    static std::unique_ptr<zentrovax::WebToolkit> window;
    return window;
}

void OnEvent(int listener, emscripten::val event) {
    Window()->OnEvent(listener, event);
}

// For the tests and the benchmark: output of any length without typing it key by key.
void SetOutput(std::string text) {
    Window()->SetText(zentrovax::Box::txtLeet, text);
}

// For the benchmark: output as typing makes it, a few pieces at a time.
void AppendOutput(std::string text) {
    Window()->AppendText(zentrovax::Box::txtLeet, text);
}

}  // namespace

EMSCRIPTEN_BINDINGS(zentrovax) {
    emscripten::function("zentrovaxEvent", &OnEvent);
    emscripten::function("zentrovaxSetOutput", &SetOutput);
    emscripten::function("zentrovaxAppendOutput", &AppendOutput);
}

int main() {
    Window() = std::make_unique<zentrovax::WebToolkit>();
    return 0;
}
