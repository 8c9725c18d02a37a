#include "window/handlers.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "window/help_text.h"

namespace zentrovax {
namespace {

// The pieces `codes` type, one for each character that has one.
std::vector<std::string_view> PiecesOf(std::span<const CharacterCode> codes) {
    std::vector<std::string_view> pieces;
    for (const CharacterCode code : codes) {
        if (const auto piece = TranslateKey(code)) {
            pieces.push_back(*piece);
        }
    }
    return pieces;
}

std::string Joined(std::span<const std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) {
        text += piece;
    }
    return text;
}

// The pieces not yet seen: those after the longest run of them, from the first, that `shown`
// showed already where they stand.
std::string Unseen(std::span<const std::string_view> pieces, std::string_view shown) {
    std::size_t seen = 0;
    std::size_t at = 0;
    while (seen < pieces.size() && shown.substr(at, pieces[seen].size()) == pieces[seen]) {
        at += pieces[seen].size();
        ++seen;
    }
    return Joined(pieces.subspan(seen));
}

// Makes a change at the end of the output. The output follows the end as a terminal does, but
// only while the view is there: a user who scrolled back to read keeps their place.
template <typename Change>
void AtTheEnd(Toolkit& toolkit, Change change) {
    const bool follow = toolkit.ViewIsAtEnd(Box::txtLeet);
    change();
    if (follow) {
        toolkit.ShowEnd(Box::txtLeet);
    }
}

// A screen reader follows the focus, which stays in the capture box while the pieces land in the
// output: unannounced, the translation would never be heard.
void Tell(Toolkit& toolkit, std::string_view unheard) {
    if (!unheard.empty() && toolkit.HasFocus(Box::txtCapture)) {
        toolkit.Announce(unheard);
    }
}

// Appends `pieces` after whatever the output holds now, the user's own edits included.
void Type(Toolkit& toolkit, std::string_view pieces, std::string_view unheard) {
    if (pieces.empty()) {
        return;
    }
    AtTheEnd(toolkit, [&] { toolkit.AppendText(Box::txtLeet, pieces); });
    Tell(toolkit, unheard);
}

}  // namespace

void OnCaptureKeyPress(Toolkit& toolkit, CharacterCode code) {
    if (const auto piece = TranslateKey(code)) {
        Type(toolkit, *piece, *piece);
    }
}

// A keyboard may end its composition in a box already disabled: a disabled box takes no keys.
void OnCaptureComposition(Toolkit& toolkit, std::span<const CharacterCode> composition) {
    if (!toolkit.IsEnabled(Box::txtCapture)) {
        return;
    }
    const std::vector<std::string_view> pieces = PiecesOf(composition);
    const std::string shown = toolkit.GetComposingText(Box::txtLeet);
    const std::string now = Joined(pieces);
    if (now == shown) {
        return;  // a character without a piece came or went
    }
    AtTheEnd(toolkit, [&] { toolkit.SetComposingText(Box::txtLeet, now); });
    Tell(toolkit, Unseen(pieces, shown));
}

void OnCaptureCommit(Toolkit& toolkit, std::span<const CharacterCode> text) {
    if (!toolkit.IsEnabled(Box::txtCapture)) {
        return;
    }
    const std::string shown = toolkit.GetComposingText(Box::txtLeet);
    if (!shown.empty()) {
        toolkit.SetComposingText(Box::txtLeet, "");
    }
    // What the composition showed was heard as it showed; a suggestion chosen differs from it.
    const std::vector<std::string_view> pieces = PiecesOf(text);
    Type(toolkit, Joined(pieces), Unseen(pieces, shown));
}

void OnCapturePaste(Toolkit& toolkit) {
    // The capture box's text is never read: what a paste puts there concerns only the box, which
    // keeps nothing of it.
    toolkit.SetText(Box::txtCapture, "");
}

void OnPauseClick(Toolkit& toolkit) {
    const bool capturing = toolkit.IsEnabled(Box::txtCapture);
    toolkit.SetEnabled(Box::txtCapture, false);
    // What a keyboard was still composing was never typed; the output is the user's to edit now.
    toolkit.SetComposingText(Box::txtLeet, "");
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

void OnWindowBuilt(Toolkit& toolkit) {
    toolkit.SetEnabled(Box::txtCapture, true);
    toolkit.SetEditable(Box::txtLeet, false);
    toolkit.GiveFocus(Box::txtCapture);
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
