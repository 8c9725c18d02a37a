// Which character codes a key press or an input-method commit types, as the capture handler
// sees them. Kept apart from the adapter so the rules can be tested without a window.
#pragma once

#include <QString>
#include <Qt>
#include <vector>

#include "leet/leet_table.h"

namespace zentrovax {

// The characters a key press typed, one code per Unicode character of `text`. A chord with Ctrl,
// Alt or Meta is a command, not typing: it types a control code (Ctrl+V is 22) or nothing, never
// its letter. Tab and Backtab move the focus and type nothing.
std::vector<CharacterCode> CodesOfKeyPress(int key, Qt::KeyboardModifiers modifiers,
                                           const QString& text);

// Every character of an input method's text, committed or still composing, is a typed one.
std::vector<CharacterCode> CodesOfInputMethod(const QString& commit);

}  // namespace zentrovax
