// How the window answers the messages of its controls: each event becomes one handler call, and
// the window does for its controls what a dialog would.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstddef>
#include <string>

#include "win32/edit_text.h"
#include "win32/look.h"
#include "win32/win32_toolkit.h"
#include "window/handlers.h"

namespace zentrovax {

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
            DrawPushButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam), button_brush_.get(),
                           button_font_.get());
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
        case WM_IME_COMPOSITION:
            // What an input method composes shows translated in the output as it changes; what
            // it commits is typed here, once, and never comes back as WM_IME_CHAR.
            toolkit.OnInputMethod(box, lparam);
            return 0;
        case WM_IME_ENDCOMPOSITION:
            OnCaptureComposition(toolkit, {});  // committed or cancelled: nothing composes now
            break;
        case WM_IME_CHAR:
            // Turned into WM_CHAR messages, which come back through here.
            return DefWindowProcW(box, message, wparam, lparam);
        case WM_PASTE:
            OnCapturePaste(toolkit);
            return 0;
        case WM_KEYDOWN:
            if (wparam == VK_INSERT && GetKeyState(VK_SHIFT) < 0) {
                OnCapturePaste(toolkit);  // Shift+Insert pastes without a WM_PASTE
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(box, &CaptureProcedure, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(box, message, wparam, lparam);
}

void Win32Toolkit::OnInputMethod(HWND box, LPARAM parts) {
    const InputContext context(box);
    if (context.get() == nullptr) {
        return;
    }
    const auto text_of = [&context](DWORD which) {
        const LONG bytes = ImmGetCompositionStringW(context.get(), which, nullptr, 0);
        std::u16string text(bytes > 0 ? static_cast<std::size_t>(bytes) / sizeof(char16_t) : 0,
                            u'\0');
        if (!text.empty()) {
            ImmGetCompositionStringW(context.get(), which, text.data(), static_cast<DWORD>(bytes));
        }
        return text;
    };
    // One message may commit a composition and start the next.
    if ((parts & GCS_RESULTSTR) != 0) {
        OnCaptureCommit(*this, CodesOfUtf16(text_of(GCS_RESULTSTR)));
    }
    if ((parts & GCS_COMPSTR) != 0) {
        OnCaptureComposition(*this, CodesOfUtf16(text_of(GCS_COMPSTR)));
    }
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

}  // namespace zentrovax
