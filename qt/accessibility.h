// What a screen reader is told about the window, beyond what Qt tells it by itself.
#pragma once

class QAccessibleEvent;
class QString;
class QWidget;

namespace zentrovax {

class LeetOutputBox;

// Once per program:
// - the top-level window is presented as a frame (Qt presents a plain QWidget window as a
//   filler);
// - the output box presents its text as the user sees it, without the cuts it keeps
//   inside, and every offset it reports counts that text;
// - a focus event is passed on only for the widget that holds the focus once it is sent, so a
//   focus rule that hands the focus on at once is not announced as landing where it did not
//   stay.
void InstallAccessibility();

// Tells a screen reader that the capture box, which holds the focus and shows nothing, took in
// `piece`: a screen reader follows the focused box, so this is how the translation is heard.
// The box then presents the piece as its text, selected, as a completion is presented: Orca
// speaks such an insert after a typed key, where it ignores text that appears elsewhere.
void EchoPiece(QWidget& capture_box, const QString& piece);

// Tells a screen reader every change of the output box's text, caret and selection as the box
// reports them: in the user's offsets, with the text a change took away, and nothing of its
// cutting and joining. Qt's own reports for the box are dropped.
void FollowOutputBox(LeetOutputBox& box);

// For tests, which run without a screen reader: `listener` hears every event passed on to the
// screen reader, as it is passed on; nullptr stops it.
void ListenForTests(void (*listener)(const QAccessibleEvent& event));

}  // namespace zentrovax
