#include "win32/win32_toolkit.h"

#include <commctrl.h>

#include <cassert>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "win32/resource_ids.h"
#include "window/accessible_text.h"
#include "window/handlers.h"

namespace zentrovax {
namespace {

constexpr wchar_t kWindowClass[] = L"frmZentrovax";
// Control identifiers start well above IDOK (1) and IDCANCEL (2), which the dialog manager sends
// for Enter and Escape: no button may answer to them.
constexpr int kFirstControlId = 100;
// Sizes in pixels at 96 DPI, as on Linux: captions must fit 49x17-pixel buttons.
constexpr int kButtonFontPixels = 11;
constexpr int kOutputFontPixels = 12;
constexpr int kDefaultDpi = 96;

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size,
                                                                  nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

// An EDIT control ends its lines with CR LF; the contract's text, like Linux's, with LF alone.
std::wstring ToEditLineEnds(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) {
            result += L'\r';
        }
        result += text[i];
    }
    return result;
}

std::wstring FromEditLineEnds(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) {
            result += text[i];
        }
    }
    return result;
}

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

COLORREF ToColorRef(Colour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

// The system's message font (Segoe UI on Windows, Tahoma under Wine) at a fixed pixel size.
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

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    switch (kind) {
        case ControlKind::OutputBox:
            // Wraps at the box's width (no ES_AUTOHSCROLL); Enter types a newline while paused.
            return {L"EDIT", kChild | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
                                 ES_READONLY};
        case ControlKind::CaptureBox:
            return {L"EDIT", kChild | ES_AUTOHSCROLL};
        case ControlKind::PushButton:
            // Owner-drawn: a themed or classic push button ignores the colour it is given.
            return {L"BUTTON", kChild | BS_OWNERDRAW};
    }
    return {};
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    // Once per process; Windows unregisters it when the process ends.
    static const bool registered = [instance, procedure] {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = procedure;
        window_class.hInstance = instance;
        window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ZENTROVAX_ICON));
        window_class.lpszClassName = kWindowClass;
        return RegisterClassExW(&window_class) != 0;
    }();
    if (!registered) {
        throw std::runtime_error("cannot register the window class");
    }
}

// Is the last line of the box in view (or does all of its text fit)?
bool ViewIsAtEnd(HWND box) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(box, SB_VERT, &info) || info.nPage == 0) {
        return true;
    }
    return info.nPos + static_cast<int>(info.nPage) > info.nMax;
}

void Dispatch(HWND window, MSG& message) {
    if (!IsDialogMessageW(window, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance)
    : instance_(instance),
      window_brush_(CreateSolidBrush(ToColorRef(kFrmZentrovax.window_colour))),
      button_brush_(CreateSolidBrush(ToColorRef(kFrmZentrovax.button_colour))),
      output_brush_(CreateSolidBrush(ToColorRef(kFrmZentrovax.output_background))) {
    RegisterWindowClass(instance, &WindowProcedure);
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                             WS_CLIPCHILDREN;  // fixed size: the capture box stays out of view
    const std::wstring caption = Widen(kFrmZentrovax.caption);
    // The real size follows once the window knows the DPI of the screen it opens on.
    CreateWindowExW(0, kWindowClass, caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (!window_) {
        throw std::runtime_error("cannot create the window");
    }
    CreateControls();
    LayOut(static_cast<int>(GetDpiForWindow(window_.get())));
}

Win32Toolkit::~Win32Toolkit() {
    closed_by_owner_ = true;
    if (window_) {
        // window_ keeps the handle until WM_NCDESTROY lets it go, so every message sent on the
        // way is handled for this window.
        DestroyWindow(window_.get());
    }
}

HWND Win32Toolkit::CreateChild(const wchar_t* class_name, std::string_view text, DWORD style,
                               DWORD extended_style, int id) {
    HWND child = CreateWindowExW(extended_style, class_name, Widen(text).c_str(), style, 0, 0, 0, 0,
                                 window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 instance_, nullptr);
    if (child == nullptr) {
        throw std::runtime_error("cannot create a control");
    }
    return child;
}

void Win32Toolkit::CreateControls() {
    // The rows are in tab order, and a new child goes below its siblings: creating them row by
    // row gives the tab order.
    for (std::size_t i = 0; i < kFrmZentrovax.controls.size(); ++i) {
        const ControlDescription& control = kFrmZentrovax.controls[i];
        const AccessibleText words = AccessibleTextOf(control.name);
        if (!words.name.empty()) {
            // MSAA names a control that has no text of its own after the static text just above
            // it in z-order. Hidden and no tab stop, the label changes neither the window nor the
            // tab order.
            CreateChild(L"STATIC", words.name, WS_CHILD | SS_NOPREFIX);
        }
        const ControlClass control_class = ClassOf(control.kind);
        HWND handle = CreateChild(control_class.name, control.caption, control_class.style,
                                  control.kind == ControlKind::PushButton ? 0 : WS_EX_CLIENTEDGE,
                                  kFirstControlId + control.tab_index);
        controls_.at(i) = handle;
        if (!words.description.empty()) {
            annotations_.Describe(handle, Widen(words.description));
        }
        const auto self = reinterpret_cast<DWORD_PTR>(this);
        if (control.kind == ControlKind::OutputBox) {
            txtLeet_ = handle;
            // No limit of its own: the default stops a multi-line EDIT at 32,767 characters.
            SendMessageW(handle, EM_SETLIMITTEXT, 0, 0);
            SetWindowSubclass(handle, &OutputProcedure, 0, self);
        } else if (control.kind == ControlKind::CaptureBox) {
            txtCapture_ = handle;
            SetWindowSubclass(handle, &CaptureProcedure, 0, self);
        }
    }
    annotations_.Describe(window_.get(), Widen(AccessibleTextOf(kFrmZentrovax.name).description));
    if (announcer_.NeedsLiveRegion()) {
        // Shown, or a screen reader would take it for gone, but out of view: see LayOut.
        live_region_ = CreateChild(L"STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOPREFIX);
        annotations_.MakeLiveRegion(live_region_);
    }
}

void Win32Toolkit::LayOut(int dpi) {
    // Each new font and icon is handed over before its owner frees the old one: a control moved
    // while it still held a freed font would lay its text out again with it.
    UniqueFont button_font = CreateUiFont(kButtonFontPixels, dpi);
    UniqueFont output_font = CreateUiFont(kOutputFontPixels, dpi);
    for (std::size_t i = 0; i < kFrmZentrovax.controls.size(); ++i) {
        const ControlDescription& control = kFrmZentrovax.controls[i];
        SetWindowPos(controls_.at(i), nullptr, TwipsToPixels(control.left, dpi),
                     TwipsToPixels(control.top, dpi), TwipsToPixels(control.width, dpi),
                     TwipsToPixels(control.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        const HFONT font =
            control.kind == ControlKind::PushButton ? button_font.get() : output_font.get();
        SendMessageW(controls_.at(i), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    button_font_ = std::move(button_font);
    output_font_ = std::move(output_font);
    if (live_region_ != nullptr) {
        // Where the capture box is: right of the client area, which clips it.
        constexpr const ControlDescription& capture = FindControl("txtCapture");
        SetWindowPos(live_region_, nullptr, TwipsToPixels(capture.left, dpi),
                     TwipsToPixels(capture.top, dpi), TwipsToPixels(capture.width, dpi),
                     TwipsToPixels(capture.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The frame as it is, rather than as AdjustWindowRectEx computes it: the two differ when
    // the frame was drawn for another DPI than the one the window has just been given.
    RECT window;
    RECT client;
    GetWindowRect(window_.get(), &window);
    GetClientRect(window_.get(), &client);
    SetWindowPos(window_.get(), nullptr, 0, 0,
                 (window.right - window.left) - client.right +
                     TwipsToPixels(kFrmZentrovax.client_width, dpi),
                 (window.bottom - window.top) - client.bottom +
                     TwipsToPixels(kFrmZentrovax.client_height, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    UniqueIcon big_icon =
        LoadIconOfSize(instance_, GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(dpi)));
    UniqueIcon small_icon =
        LoadIconOfSize(instance_, GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi)));
    SendMessageW(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon.get()));
    SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon.get()));
    big_icon_ = std::move(big_icon);
    small_icon_ = std::move(small_icon);
}

void Win32Toolkit::Show(int show_command) {
    ShowWindow(window_.get(), show_command);
    UpdateWindow(window_.get());
    SetForegroundWindow(window_.get());
}

HWND Win32Toolkit::Control(std::string_view name) const {
    for (std::size_t i = 0; i < kFrmZentrovax.controls.size(); ++i) {
        if (kFrmZentrovax.controls[i].name == name) {
            return controls_.at(i);
        }
    }
    return nullptr;
}

HWND Win32Toolkit::Handle(Box box) const {
    return box == Box::txtCapture ? txtCapture_ : txtLeet_;
}

std::string Win32Toolkit::GetText(Box box) const {
    return Narrow(FromEditLineEnds(TextOf(Handle(box))));
}

void Win32Toolkit::SetText(Box box, std::string_view text) {
    SetWindowTextW(Handle(box), ToEditLineEnds(Widen(text)).c_str());
}

void Win32Toolkit::AppendText(Box box, std::string_view text) {
    HWND edit = Handle(box);
    const bool follow = ViewIsAtEnd(edit);
    const auto first_visible = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    // The caret goes to the end explicitly: EM_SETSEL(-1, -1) only collapses the selection
    // where the caret is, and after a click into the text the piece would land mid-text.
    const auto length = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, length, static_cast<LPARAM>(length));
    const std::wstring piece = Widen(text);
    SendMessageW(edit, EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(ToEditLineEnds(piece).c_str()));
    if (!follow) {
        // EM_REPLACESEL scrolled the caret into view; the user had scrolled elsewhere.
        SendMessageW(edit, EM_LINESCROLL, 0,
                     first_visible - SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    // A screen reader follows the focus, which stays in the capture box while the piece lands
    // in the output: unannounced, the translation would never be heard.
    if (edit == txtLeet_ && GetFocus() == txtCapture_) {
        announcer_.Announce(txtCapture_, live_region_, piece);
    }
}

bool Win32Toolkit::IsEnabled(Box box) const {
    return IsWindowEnabled(Handle(box)) != FALSE;
}

void Win32Toolkit::SetEnabled(Box box, bool enabled) {
    EnableWindow(Handle(box), enabled ? TRUE : FALSE);
}

void Win32Toolkit::GiveFocus(Box box) {
    HWND control = Handle(box);
    // The handlers check the flag first; Windows would silently refuse anyway.
    assert(IsWindowEnabled(control));
    // Also where the focus goes when the window is next activated: after the Help box a window
    // manager may hand the window its activation back only later, and until then SetFocus does
    // nothing (seen under Wine with openbox).
    focus_when_deactivated_ = control;
    SetFocus(control);
}

void Win32Toolkit::ShowMessage(std::string_view prompt, std::string_view title) {
    // MB_OK alone: one OK button and no icon.
    MessageBoxW(window_.get(), Widen(prompt).c_str(), Widen(title).c_str(), MB_OK);
}

void Win32Toolkit::OnCaptureEnabledChange(bool enabled) const {
    // Capturing: only appends enter the output. Paused: an ordinary editor whose undo holds only
    // the user's own edits, never an append.
    SendMessageW(txtLeet_, EM_SETREADONLY, enabled ? TRUE : FALSE, 0);
    SendMessageW(txtLeet_, EM_EMPTYUNDOBUFFER, 0, 0);
}

LRESULT CALLBACK Win32Toolkit::WindowProcedure(HWND window, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
    auto* self = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Win32Toolkit*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.reset(window);
    }
    if (self == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    return self->OnMessage(window, message, wparam, lparam);
}

// `window` rather than window_: the handle the message came with is the one to answer for.
LRESULT Win32Toolkit::OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:  // what a read-only EDIT asks for
            if (reinterpret_cast<HWND>(lparam) == txtLeet_) {
                return OnOutputColour(reinterpret_cast<HDC>(wparam));
            }
            return DefWindowProcW(window, message, wparam, lparam);
        case WM_DRAWITEM:
            OnDrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wparam)) ? 1 : 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wparam) != WA_INACTIVE);
            return 0;
        case WM_NEXTDLGCTL:
            OnNextDialogControl(wparam, lparam);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_DESTROY:
            annotations_.Clear();
            // Closed by the user: the message loop ends and the program with code 0.
            if (!closed_by_owner_) {
                PostQuitMessage(0);
            }
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            static_cast<void>(window_.release());
            controls_.fill(nullptr);
            txtLeet_ = txtCapture_ = live_region_ = nullptr;
            return DefWindowProcW(window, message, wparam, lparam);
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

void Win32Toolkit::OnCommand(HWND control, UINT notification) {
    if (control == txtLeet_ && notification == EN_SETFOCUS) {
        OnLeetGotFocus(*this);
        return;
    }
    if (notification != BN_CLICKED || control == nullptr) {
        return;  // also IDOK and IDCANCEL from Enter and Escape: no button answers to them
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_.at(i) == control &&
            kFrmZentrovax.controls[i].kind == ControlKind::PushButton) {
            if (const ClickHandler handler = ClickHandlerOf(kFrmZentrovax.controls[i].name)) {
                handler(*this);
            }
        }
    }
}

LRESULT Win32Toolkit::OnOutputColour(HDC dc) const {
    SetTextColor(dc, ToColorRef(kFrmZentrovax.output_text));
    SetBkColor(dc, ToColorRef(kFrmZentrovax.output_background));
    return reinterpret_cast<LRESULT>(output_brush_.get());
}

void Win32Toolkit::OnDrawButton(const DRAWITEMSTRUCT& item) const {
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, button_brush_.get());
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(item.hDC, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    FrameRect(item.hDC, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const std::wstring caption = TextOf(item.hwndItem);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    const HGDIOBJ previous_font = SelectObject(item.hDC, button_font_.get());
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

bool Win32Toolkit::OnEraseBackground(HDC dc) const {
    RECT client;
    GetClientRect(window_.get(), &client);
    FillRect(dc, &client, window_brush_.get());
    return true;
}

void Win32Toolkit::OnActivate(bool active) {
    // A plain window does not remember its focused control the way a dialog does.
    if (!active) {
        HWND focus = GetFocus();
        focus_when_deactivated_ = IsChild(window_.get(), focus) ? focus : nullptr;
        return;
    }
    HWND focus = focus_when_deactivated_;
    if (focus == nullptr || !IsWindowEnabled(focus)) {
        // The first control of the tab order; the output's focus rule passes it on.
        focus = controls_.front();
    }
    SetFocus(focus);
}

void Win32Toolkit::OnNextDialogControl(WPARAM wparam, LPARAM lparam) const {
    // Tab in the multi-line output asks its parent for the next control, as in a dialog; a
    // plain window ignores the request and Tab would never leave the box (seen under Wine).
    HWND next = LOWORD(lparam) != 0
                    ? reinterpret_cast<HWND>(wparam)
                    : GetNextDlgTabItem(window_.get(), GetFocus(), wparam != 0 ? TRUE : FALSE);
    if (next != nullptr) {
        SetFocus(next);
    }
}

void Win32Toolkit::OnDpiChanged(int dpi, const RECT& suggested) {
    SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut(dpi);
}

LRESULT CALLBACK Win32Toolkit::CaptureProcedure(HWND box, UINT message, WPARAM wparam,
                                                LPARAM lparam, UINT_PTR /*id*/, DWORD_PTR self) {
    auto& toolkit = *reinterpret_cast<Win32Toolkit*>(self);
    switch (message) {
        case WM_CHAR:
            if (const auto code = toolkit.typed_.Feed(static_cast<char16_t>(wparam))) {
                OnCaptureKeyPress(toolkit, *code);
            }
            // The box keeps nothing: what it holds is never read, and a large paste or a long
            // session would only cost memory and layout.
            return 0;
        case WM_IME_CHAR:
            // Turned into WM_CHAR messages, which come back through here.
            return DefWindowProcW(box, message, wparam, lparam);
        case WM_PASTE:
            return 0;
        case WM_KEYDOWN:
            if (wparam == VK_INSERT && GetKeyState(VK_SHIFT) < 0) {
                return 0;  // Shift+Insert pastes without a WM_PASTE
            }
            break;
        case WM_ENABLE:
            toolkit.OnCaptureEnabledChange(wparam != FALSE);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(box, &CaptureProcedure, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(box, message, wparam, lparam);
}

LRESULT CALLBACK Win32Toolkit::OutputProcedure(HWND box, UINT message, WPARAM wparam, LPARAM lparam,
                                               UINT_PTR /*id*/, DWORD_PTR /*self*/) {
    switch (message) {
        case WM_KEYDOWN:
            // A multi-line EDIT asked for dialog keys answers Escape by closing its parent, which
            // here would end the program and lose the output.
            if (wparam == VK_ESCAPE) {
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(box, &OutputProcedure, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(box, message, wparam, lparam);
}

int RunMessageLoop(HWND window) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        Dispatch(window, message);
    }
    return static_cast<int>(message.wParam);
}

bool ProcessPendingMessages(HWND window) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            return false;
        }
        Dispatch(window, message);
    }
    return true;
}

}  // namespace zentrovax
