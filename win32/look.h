// How the window looks: its colours, the system's font at a fixed pixel size, the program's
// icon, and the push buttons, drawn by the program.
#pragma once

#include <windows.h>

#include "win32/handles.h"
#include "window/window_description.h"

namespace zentrovax {

[[nodiscard]] COLORREF ToColorRef(Colour colour);
// The system's message font (Segoe UI on Windows, Tahoma under Wine), `pixels_at_96_dpi` high
// at 96 DPI, scaled for `dpi`.
[[nodiscard]] UniqueFont CreateUiFont(int pixels_at_96_dpi, int dpi);
[[nodiscard]] UniqueIcon LoadIconOfSize(HINSTANCE instance, int size);
// An owner-drawn push button on `face`, its caption in `font`: a themed or classic button
// ignores the colour it is given.
void DrawPushButton(const DRAWITEMSTRUCT& item, HBRUSH face, HFONT font);

}  // namespace zentrovax
