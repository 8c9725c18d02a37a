// What a screen reader says about frmZentrovax beyond what it shows: a name for each text box,
// which shows none, and a sentence on what the window and each box are for. Every adapter hands
// these same words to its platform's accessibility layer; how it does so is its own business.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include "window/window_description.h"

namespace zentrovax {

struct AccessibleText {
    std::string_view control;  // the window's name or a row of kFrmZentrovax
    std::string_view name;     // empty where the caption already names it
    std::string_view description;
};

inline constexpr std::array<AccessibleText, 3> kAccessibleTexts{{
    {kFrmZentrovax.name, "",
     "Type lower-case text and it appears in leet in the output box. Pause to correct, select "
     "and copy the output; Resume to type on."},
    {"txtLeet", "Leet output", "The translation of your typing; editable while paused."},
    {"txtCapture", "Typing", "What you type here appears in leet in the output box."},
}};

// The words for the window or control called `control`; none for the buttons, whose captions
// say it all.
constexpr AccessibleText AccessibleTextOf(std::string_view control) {
    const auto* found =
        std::find_if(kAccessibleTexts.begin(), kAccessibleTexts.end(),
                     [control](const AccessibleText& text) { return text.control == control; });
    return found == kAccessibleTexts.end() ? AccessibleText{control, "", ""} : *found;
}

// Words for a control that does not exist would silently never be said.
static_assert(std::all_of(kAccessibleTexts.begin(), kAccessibleTexts.end(),
                          [](const AccessibleText& text) {
                              return text.control == kFrmZentrovax.name ||
                                     std::any_of(kFrmZentrovax.controls.begin(),
                                                 kFrmZentrovax.controls.end(),
                                                 [&text](const ControlDescription& control) {
                                                     return control.name == text.control;
                                                 });
                          }));

}  // namespace zentrovax
