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
    // The output follows the end as a terminal does, but only while the view is there: a user
    // who scrolled back to read keeps their place.
    const bool follow = toolkit.ViewIsAtEnd(Box::txtLeet);
    // Appends after whatever the box holds now, the user's own edits included.
    toolkit.AppendText(Box::txtLeet, *piece);
    if (follow) {
        toolkit.ShowEnd(Box::txtLeet);
    }
    // A screen reader follows the focus, which stays in the capture box while the piece lands
    // in the output: unannounced, the translation would never be heard.
    if (toolkit.HasFocus(Box::txtCapture)) {
        toolkit.Announce(*piece);
    }
}

void OnPauseClick(Toolkit& toolkit) {
    const bool capturing = toolkit.IsEnabled(Box::txtCapture);
    toolkit.SetEnabled(Box::txtCapture, false);
    // Only a switch starts a new history: a second Pause keeps the edits made since the first
    // undoable.
    if (capturing) {
        toolkit.SetEditable(Box::txtLeet, true);
    }
}

void OnResumeClick(Toolkit& toolkit) {
    const bool capturing = toolkit.IsEnabled(Box::txtCapture);
    // Enable first: the focus can only go to an enabled box.
    toolkit.SetEnabled(Box::txtCapture, true);
    // Capturing, only appends enter the output, and none of them is an undoable edit.
    if (!capturing) {
        toolkit.SetEditable(Box::txtLeet, false);
    }
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
