#include "win32/win32_toolkit.h"

#include <commctrl.h>

#include <cassert>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "win32/edit_text.h"
#include "win32/look.h"
#include "win32/resource_ids.h"
#include "window/accessible_text.h"
#include "window/handlers.h"

namespace zentrovax {
namespace {

constexpr wchar_t kWindowClass[] = L"frmZentrovax";
// Control identifiers start well above IDOK (1) and IDCANCEL (2), which the dialog manager sends
// for Enter and Escape: no button may answer to them.
constexpr int kFirstControlId = 100;

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    switch (kind) {
        case ControlKind::OutputBox:
            // Wraps at the box's width (no ES_AUTOHSCROLL); Enter types a newline while paused.
            return {L"EDIT", kChild | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN};
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
    OnWindowBuilt(*this);
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
    UniqueFont button_font = CreateUiFont(TwipsToPixels(kFrmZentrovax.text.caption), dpi);
    UniqueFont output_font = CreateUiFont(TwipsToPixels(kFrmZentrovax.text.output_text), dpi);
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
    std::wstring text = TextOf(Handle(box));
    if (box == Box::txtLeet) {
        text.resize(text.size() - composing_.size());
    }
    return Narrow(FromEditLineEnds(text));
}

void Win32Toolkit::SetText(Box box, std::string_view text) {
    if (box == Box::txtLeet) {
        composing_.clear();
    }
    SetWindowTextW(Handle(box), ToEditLineEnds(Widen(text)).c_str());
}

void Win32Toolkit::AppendText(Box box, std::string_view text) {
    if (box == Box::txtCapture) {
        return;  // what the capture box holds is never kept
    }
    ReplaceOutputEnd(composing_.size(), ToEditLineEnds(Widen(text)) + composing_);
}

void Win32Toolkit::SetComposingText(Box box, std::string_view text) {
    const std::wstring composing = Widen(text);
    if (box == Box::txtLeet && composing != composing_) {
        ReplaceOutputEnd(composing_.size(), composing);
        composing_ = composing;
    }
}

std::string Win32Toolkit::GetComposingText(Box box) const {
    return box == Box::txtLeet ? Narrow(composing_) : std::string();
}

void Win32Toolkit::ReplaceOutputEnd(std::size_t length, const std::wstring& text) {
    HWND edit = txtLeet_;
    const auto first_visible = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    // The caret goes to the end explicitly: EM_SETSEL(-1, -1) only collapses the selection
    // where the caret is, and after a click into the text the piece would land mid-text.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, end - length, static_cast<LPARAM>(end));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    // EM_REPLACESEL scrolled the caret into view; the view stays where it was.
    const auto scrolled = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0) - first_visible;
    if (scrolled != 0) {
        SendMessageW(edit, EM_LINESCROLL, 0, -scrolled);
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

bool Win32Toolkit::HasFocus(Box box) const {
    return GetFocus() == Handle(box);
}

void Win32Toolkit::SetEditable(Box box, bool editable) {
    SendMessageW(Handle(box), EM_SETREADONLY, editable ? FALSE : TRUE, 0);
    SendMessageW(Handle(box), EM_EMPTYUNDOBUFFER, 0, 0);
}

bool Win32Toolkit::ViewIsAtEnd(Box box) const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(Handle(box), SB_VERT, &info) || info.nPage == 0) {
        return true;  // all of the text fits
    }
    return info.nPos + static_cast<int>(info.nPage) > info.nMax;
}

void Win32Toolkit::ShowEnd(Box box) {
    SendMessageW(Handle(box), WM_VSCROLL, SB_BOTTOM, 0);
}

void Win32Toolkit::Announce(std::string_view text) {
    announcer_.Announce(txtCapture_, live_region_, Widen(text));
}

void Win32Toolkit::ShowMessage(std::string_view prompt, std::string_view title) {
    // MB_OK alone: one OK button and no icon.
    MessageBoxW(window_.get(), Widen(prompt).c_str(), Widen(title).c_str(), MB_OK);
}

}  // namespace zentrovax
