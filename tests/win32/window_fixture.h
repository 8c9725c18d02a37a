// What the Win32 adapter's tests share: a real window whose messages go through the program's own
// message loop, and what a screen reader asks of it.
#pragma once

#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win32/message_loop.h"
#include "win32/win32_toolkit.h"

namespace zentrovax::testing {

// An element's name and role, as a screen reader asks for them.
inline std::pair<std::wstring, long> NameAndRole(IAccessible& accessible, VARIANT child) {
    BSTR name = nullptr;
    VARIANT role;
    VariantInit(&role);
    accessible.get_accName(child, &name);
    accessible.get_accRole(child, &role);
    std::pair<std::wstring, long> seen{name != nullptr ? name : L"",
                                       role.vt == VT_I4 ? role.lVal : 0};
    SysFreeString(name);
    return seen;
}

inline std::vector<std::wstring> announced;

inline void CALLBACK RecordAnnouncement(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND window,
                                        LONG object, LONG child, DWORD /*thread*/, DWORD /*time*/) {
    IAccessible* accessible = nullptr;
    VARIANT id;
    VariantInit(&id);
    if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object),
                                            static_cast<DWORD>(child), &accessible, &id))) {
        announced.push_back(NameAndRole(*accessible, id).first);
        accessible->Release();
    }
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        toolkit_.Show();
        Settle();
        ASSERT_EQ(GetFocus(), Control("txtCapture")) << "the focus rule hands on the keyboard";
    }

    HWND Control(const char* name) const { return toolkit_.Control(name); }
    bool Settle() { return ProcessPendingMessages(toolkit_.Window()); }

    // Characters go wherever the focus is, as WM_CHAR does for a person's typing.
    void Type(std::u16string_view text) {
        for (const char16_t unit : text) {
            PostMessageW(GetFocus(), WM_CHAR, unit, 1);
        }
        Settle();
    }
    // A key through the program's message loop, where dialog navigation happens.
    void Press(WPARAM key) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
        Settle();
    }
    void Click(const char* button) {
        SendMessageW(Control(button), BM_CLICK, 0, 0);
        Settle();
    }
    // After a modal box the window manager hands the activation back when it gets to it.
    void WaitUntilActive() {
        for (int i = 0; i < 300 && GetActiveWindow() != toolkit_.Window(); ++i) {
            Sleep(10);
            Settle();
        }
        Settle();
    }
    std::string Output() const { return toolkit_.GetText(Box::txtLeet); }
    bool OutputIsReadOnly() const {
        return (GetWindowLongPtrW(Control("txtLeet"), GWL_STYLE) & ES_READONLY) != 0;
    }
    void PauseAndFocusOutput() {
        Click("cmdPause");
        SetFocus(Control("txtLeet"));
        Settle();
        ASSERT_EQ(GetFocus(), Control("txtLeet"));
    }

    Win32Toolkit toolkit_{GetModuleHandleW(nullptr)};
};

}  // namespace zentrovax::testing
