// The Toolkit contract on the Win32 API itself: builds frmZentrovax from its description on EDIT
// and BUTTON controls, names and describes them for screen readers, and turns each control
// message into one handler call. No behaviour of the program lives here.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

#include "output/typed_text.h"
#include "win32/accessibility.h"
#include "win32/handles.h"
#include "window/toolkit.h"
#include "window/window_description.h"

namespace zentrovax {

class Win32Toolkit final : public Toolkit {
  public:
    explicit Win32Toolkit(HINSTANCE instance);
    ~Win32Toolkit() override;

    // Shows the window and brings it to the front, so typing goes to it at once.
    void Show(int show_command = SW_SHOWNORMAL);
    [[nodiscard]] HWND Window() const { return window_.get(); }
    // The control made from the description's row called `name`, or null.
    [[nodiscard]] HWND Control(std::string_view name) const;

    [[nodiscard]] std::string GetText(Box box) const override;
    void SetText(Box box, std::string_view text) override;
    void AppendText(Box box, std::string_view text) override;
    [[nodiscard]] bool IsEnabled(Box box) const override;
    void SetEnabled(Box box, bool enabled) override;
    void GiveFocus(Box box) override;
    [[nodiscard]] bool HasFocus(Box box) const override;
    void SetEditable(Box box, bool editable) override;
    [[nodiscard]] bool ViewIsAtEnd(Box box) const override;
    void ShowEnd(Box box) override;
    void SetComposingText(Box box, std::string_view text) override;
    [[nodiscard]] std::string GetComposingText(Box box) const override;
    void Announce(std::string_view text) override;
    void ShowMessage(std::string_view prompt, std::string_view title) override;

  private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam);
    static LRESULT CALLBACK CaptureProcedure(HWND box, UINT message, WPARAM wparam, LPARAM lparam,
                                             UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK OutputProcedure(HWND box, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR id, DWORD_PTR self);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND CreateChild(const wchar_t* class_name, std::string_view text, DWORD style,
                     DWORD extended_style = 0, int id = 0);
    void CreateControls();
    // Sizes the window and places every control for a screen of `dpi` dots per inch.
    void LayOut(int dpi);
    void OnCommand(HWND control, UINT notification);
    // An input method's composition in the capture box changed; `parts` says what it holds.
    void OnInputMethod(HWND box, LPARAM parts);
    // Editable, the output asks WM_CTLCOLOREDIT; read-only, WM_CTLCOLORSTATIC: both get this.
    [[nodiscard]] LRESULT OnOutputColour(HDC dc) const;
    void OnActivate(bool active);
    void OnNextDialogControl(WPARAM wparam, LPARAM lparam) const;
    void OnDpiChanged(int dpi, const RECT& suggested);
    [[nodiscard]] bool OnEraseBackground(HDC dc) const;

    [[nodiscard]] HWND Handle(Box box) const;
    // Replaces the last `length` characters of the output by `text`, the view kept.
    void ReplaceOutputEnd(std::size_t length, const std::wstring& text);

    // First, so it goes last: everything below may use COM.
    ComApartment com_;
    HINSTANCE instance_;
    UniqueBrush window_brush_;
    UniqueBrush button_brush_;
    UniqueBrush output_brush_;
    UniqueFont button_font_;
    UniqueFont output_font_;
    UniqueIcon big_icon_;
    UniqueIcon small_icon_;
    Annotations annotations_;
    Announcer announcer_;
    // Last, so it goes first: the controls it destroys still use the fonts and brushes above,
    // and the annotations are cleared while it goes.
    UniqueWindow window_;
    // In the description's order; children of window_, destroyed with it.
    std::array<HWND, kFrmZentrovax.controls.size()> controls_{};
    HWND txtLeet_ = nullptr;
    HWND txtCapture_ = nullptr;
    // Where the system has no notifications to speak a piece with: see Announcer.
    HWND live_region_ = nullptr;
    // The control that gets the focus when the window is activated.
    HWND focus_when_deactivated_ = nullptr;
    Utf16Characters typed_;
    // What a keyboard is composing, shown at the end of the output's text, as the EDIT has it.
    std::wstring composing_;
    bool closed_by_owner_ = false;
};

}  // namespace zentrovax
