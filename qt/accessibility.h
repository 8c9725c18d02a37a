// What a screen reader is told about the window, beyond what Qt tells it by itself.
#pragma once

namespace zentrovax {

// Once per program: the top-level window is presented as a frame (Qt presents a plain QWidget
// window as a filler), and a focus event is passed on only for the widget that holds the focus
// once the event is sent, so a focus rule that hands the focus on at once is not announced as
// landing where it did not stay.
void InstallAccessibility();

}  // namespace zentrovax
