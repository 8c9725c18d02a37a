// The page the browser program's window is, built from the window description: the client area
// with an element for each control in tab order, what a screen reader is told of each, the line
// that tells a touch user how to begin, the live region and the Help message box. Every size the
// page's style lays it out with comes from the description too. It listens to nothing.
#pragma once

#include <emscripten/val.h>

#include "window/window_description.h"

namespace zentrovax {

struct WindowPage {
    emscripten::val client;
    emscripten::val capture;
    emscripten::val leet;
    emscripten::val first_touch;
    emscripten::val live_region;
    emscripten::val message;
};

// Builds the window inside the page's <body>.
[[nodiscard]] WindowPage BuildWindowPage(const WindowDescription& description);

}  // namespace zentrovax
