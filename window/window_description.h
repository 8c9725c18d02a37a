// What frmZentrovax is made of: every control, its caption, rectangle and tab place, plus the
// client size, the caption and the colours. The only place any geometry number is written.
// Rectangles are in twips (1/1440 inch); a toolkit turns them into its own units.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zentrovax {

enum class ControlKind { OutputBox, CaptureBox, PushButton };

struct ControlDescription {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;  // empty for text boxes
    int left;
    int top;
    int width;
    int height;
    int tab_index;
};

struct Colour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

inline constexpr int kTwipsPerPixel = 15;

// How big the text is, in twips like the rest: the output's letters and its lines, and the
// buttons' captions.
struct TextSizes {
    int output_text;
    int output_line;
    int caption;
};

// The window on a touch screen: the same arrangement, filling the screen's width, with text and
// targets sized for the eye and a finger rather than scaled.
struct TouchSizes {
    TextSizes text;
    int target;  // the least width and height of anything a finger presses
};

struct WindowDescription {
    std::string_view name;
    std::string_view caption;
    int client_width;
    int client_height;
    Colour window_colour;
    Colour button_colour;
    Colour output_background;
    Colour output_text;
    TextSizes text;
    TouchSizes touch;
    std::array<ControlDescription, 5> controls;
};

inline constexpr WindowDescription kFrmZentrovax{
    .name = "frmZentrovax",
    .caption = "Zentrovax",
    .client_width = 4710,
    .client_height = 2790,
    .window_colour = {0x00, 0x00, 0x00},
    .button_colour = {0xFF, 0xFF, 0xFF},
    .output_background = {0xFF, 0xFF, 0xFF},
    .output_text = {0x00, 0x00, 0x00},
    // Captions must fit the 49x17-pixel buttons; the usual 9-point font clips "Resume".
    .text = {.output_text = 180, .output_line = 225, .caption = 165},
    // A phone zooms into a box whose text is under 16 pixels as it takes the focus; Apple and
    // Google ask for targets of 44 pixels and more.
    .touch = {.text = {.output_text = 240, .output_line = 300, .caption = 210}, .target = 660},
    .controls = {{
        {"txtLeet", ControlKind::OutputBox, "", 120, 120, 4455, 2175, 0},
        {"txtCapture", ControlKind::CaptureBox, "", 5160, 600, 150, 195, 1},
        {"cmdPause", ControlKind::PushButton, "Pause", 1080, 2400, 735, 255, 2},
        {"cmdResume", ControlKind::PushButton, "Resume", 1920, 2400, 735, 255, 3},
        {"cmdHelp", ControlKind::PushButton, "Help", 2760, 2400, 735, 255, 4},
    }},
};

inline constexpr int kTwipsPerInch = 1440;

// Logical pixels, which a toolkit that scales for high-DPI screens (Qt) scales itself.
constexpr int TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

// Device pixels on a screen of `dpi` dots per inch, for a toolkit that works in them (Win32).
constexpr int TwipsToPixels(int twips, int dpi) {
    return twips * dpi / kTwipsPerInch;
}

consteval const ControlDescription& FindControl(std::string_view name) {
    return *std::find_if(kFrmZentrovax.controls.begin(), kFrmZentrovax.controls.end(),
                         [name](const ControlDescription& c) { return c.name == name; });
}

// The rows are in tab order, so creating the controls row by row gives the tab order.
static_assert([] {
    for (std::size_t i = 0; i < kFrmZentrovax.controls.size(); ++i) {
        if (kFrmZentrovax.controls[i].tab_index != static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}());
// The capture box is meant to be out of sight: it must start right of the client area.
static_assert(FindControl("txtCapture").left >= kFrmZentrovax.client_width);
static_assert(std::all_of(kFrmZentrovax.controls.begin(), kFrmZentrovax.controls.end(),
                          [](const ControlDescription& c) {
                              return c.left % kTwipsPerPixel == 0 && c.top % kTwipsPerPixel == 0 &&
                                     c.width % kTwipsPerPixel == 0 &&
                                     c.height % kTwipsPerPixel == 0;
                          }));

}  // namespace zentrovax
