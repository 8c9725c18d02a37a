#include "win32/look.h"

#include <string>

#include "win32/edit_text.h"
#include "win32/resource_ids.h"

namespace zentrovax {
namespace {

constexpr int kDefaultDpi = 96;

}  // namespace

COLORREF ToColorRef(Colour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

UniqueFont CreateUiFont(int pixels_at_96_dpi, int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = -MulDiv(pixels_at_96_dpi, dpi, kDefaultDpi);
    font.lfWidth = 0;
    return UniqueFont(CreateFontIndirectW(&font));
}

UniqueIcon LoadIconOfSize(HINSTANCE instance, int size) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ZENTROVAX_ICON),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void DrawPushButton(const DRAWITEMSTRUCT& item, HBRUSH face, HFONT font) {
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, face);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(item.hDC, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    FrameRect(item.hDC, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const std::wstring caption = TextOf(item.hwndItem);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    const HGDIOBJ previous_font = SelectObject(item.hDC, font);
    RECT text = rect;
    if (pressed) {
        OffsetRect(&text, 1, 1);
    }
    DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(item.hDC, previous_font);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(item.hDC, &rect);
    }
}

}  // namespace zentrovax
