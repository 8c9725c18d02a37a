#include "window/handlers.h"

#include <algorithm>
#include <array>
#include <utility>

#include "window/help_text.h"

namespace zentrovax {

void OnCaptureKeyPress(Toolkit& toolkit, CharacterCode code) {
    const auto piece = TranslateKey(code);
    if (!piece) {
        return;
    }
    // Appends after whatever the box holds now, the user's own edits included.
    toolkit.AppendText(Box::txtLeet, *piece);
}

void OnPauseClick(Toolkit& toolkit) {
    toolkit.SetEnabled(Box::txtCapture, false);
}

void OnResumeClick(Toolkit& toolkit) {
    // Enable first: the focus can only go to an enabled box.
    toolkit.SetEnabled(Box::txtCapture, true);
    toolkit.GiveFocus(Box::txtCapture);
}

void OnHelpClick(Toolkit& toolkit) {
    toolkit.ShowMessage(kHelpPrompt, kHelpTitle);
    if (toolkit.IsEnabled(Box::txtCapture)) {
        toolkit.GiveFocus(Box::txtCapture);
    }
}

void OnLeetGotFocus(Toolkit& toolkit) {
    // While paused the output keeps the focus so the user can select, edit and copy it.
    if (toolkit.IsEnabled(Box::txtCapture)) {
        toolkit.GiveFocus(Box::txtCapture);
    }
}

ClickHandler ClickHandlerOf(std::string_view control) {
    static constexpr std::array<std::pair<std::string_view, ClickHandler>, 3> kClickHandlers{{
        {"cmdPause", &OnPauseClick},
        {"cmdResume", &OnResumeClick},
        {"cmdHelp", &OnHelpClick},
    }};
    const auto* found =
        std::find_if(kClickHandlers.begin(), kClickHandlers.end(),
                     [control](const auto& entry) { return entry.first == control; });
    return found == kClickHandlers.end() ? nullptr : found->second;
}

}  // namespace zentrovax
