// The program's behaviour: one free function per control event, over the Toolkit contract.
// They keep nothing between calls; the mode is the enabled flag of txtCapture and the output is
// the text of txtLeet. Binding them to real events is the adapter's job, not theirs.
#pragma once

#include <span>
#include <string_view>

#include "leet/leet_table.h"
#include "window/toolkit.h"

namespace zentrovax {

// A character was typed in txtCapture, before the box inserts it. The code is left as it is.
void OnCaptureKeyPress(Toolkit& toolkit, CharacterCode code);
// A keyboard that composes (a phone's, an input method) changed what it is composing in
// txtCapture to `composition`, the whole of it as it stands; empty once it is cancelled. It shows
// translated at the end of the output, not yet typed.
void OnCaptureComposition(Toolkit& toolkit, std::span<const CharacterCode> composition);
// The keyboard committed `text`, which ends any composition: it is typed, as its keys would be.
void OnCaptureCommit(Toolkit& toolkit, std::span<const CharacterCode> text);
// Text was pasted or dropped into txtCapture (Ctrl+V, Shift+Insert, the middle button, a drop),
// which the adapter keeps from landing there: no typing, so it types nothing.
void OnCapturePaste(Toolkit& toolkit);
void OnPauseClick(Toolkit& toolkit);
void OnResumeClick(Toolkit& toolkit);
void OnHelpClick(Toolkit& toolkit);
// txtLeet received the input focus.
void OnLeetGotFocus(Toolkit& toolkit);
// The window was built from its description: the program starts capturing, into an output the
// user cannot edit, with the keys in txtCapture once the window shows.
void OnWindowBuilt(Toolkit& toolkit);

using ClickHandler = void (*)(Toolkit&);
// The handler bound to the click of the push button named `control`, or null for a control that
// is not one of the buttons. Every adapter binds its buttons through this one table.
ClickHandler ClickHandlerOf(std::string_view control);

}  // namespace zentrovax
