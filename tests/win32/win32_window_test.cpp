// The Win32 window as the description and a screen reader see it: its geometry at any DPI, its
// fonts, the names and announcements a screen reader gets, the version record, and its lifetime.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/win32/window_fixture.h"
#include "window/accessible_text.h"
#include "window/window_description.h"

namespace zentrovax {
namespace {

using testing::announced;
using testing::NameAndRole;
using testing::RecordAnnouncement;
using testing::Window;

// Does each control hold a live font whenever it is moved? A control moved while it held a
// deleted one would lay its text out with it.
HWND watched_window = nullptr;
int deleted_fonts_seen = 0;

bool HoldsLiveFont(HWND control) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description;
    return font == nullptr || GetObjectW(font, sizeof description, &description) != 0;
}

LRESULT CALLBACK CheckFonts(int code, WPARAM wparam, LPARAM lparam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && sent.message == WM_WINDOWPOSCHANGED &&
        GetParent(sent.hwnd) == watched_window && !HoldsLiveFont(sent.hwnd)) {
        ++deleted_fonts_seen;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(Window, GeometryCaptionsColoursAndTabOrderAreThoseOfTheDescription) {
    HWND window = toolkit_.Window();
    const int dpi = static_cast<int>(GetDpiForWindow(window));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 4710 * dpi / 1440) << "314 pixels at 96 DPI";
    EXPECT_EQ(client.bottom, 2790 * dpi / 1440) << "186 pixels at 96 DPI";
    const auto style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "fixed size, no maximise box";
    wchar_t title[64];
    GetWindowTextW(window, title, 64);
    EXPECT_EQ(std::wstring(title), L"Zentrovax");
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

    for (const ControlDescription& control : kFrmZentrovax.controls) {
        const std::string name(control.name);
        HWND handle = Control(name.c_str());
        RECT rect;
        GetWindowRect(handle, &rect);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, control.left * dpi / 1440) << name;
        EXPECT_EQ(rect.top, control.top * dpi / 1440) << name;
        EXPECT_EQ(rect.right - rect.left, control.width * dpi / 1440) << name;
        EXPECT_EQ(rect.bottom - rect.top, control.height * dpi / 1440) << name;
        if (control.kind == ControlKind::PushButton) {
            HDC dc = GetDC(handle);
            const HGDIOBJ previous =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)));
            const std::wstring caption(control.caption.begin(), control.caption.end());
            SIZE size;
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
            SelectObject(dc, previous);
            ReleaseDC(handle, dc);
            // Inside the one-pixel frame the button draws.
            EXPECT_LE(size.cx + 2, rect.right - rect.left) << "caption clipped: " << name;
            EXPECT_LE(size.cy, rect.bottom - rect.top) << "caption clipped: " << name;
        }
    }
    RECT capture;
    GetWindowRect(Control("txtCapture"), &capture);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&capture), 2);
    EXPECT_GE(capture.left, client.right) << "the capture box must be out of sight";

    std::vector<HWND> order{Control("txtLeet")};
    for (int i = 0; i < 4; ++i) {
        order.push_back(GetNextDlgTabItem(window, order.back(), FALSE));
    }
    EXPECT_EQ(order,
              (std::vector<HWND>{Control("txtLeet"), Control("txtCapture"), Control("cmdPause"),
                                 Control("cmdResume"), Control("cmdHelp")}));

    // Read-only (capturing) and editable (paused), the output is black on white.
    for (const UINT message : {UINT{WM_CTLCOLORSTATIC}, UINT{WM_CTLCOLOREDIT}}) {
        HDC dc = GetDC(Control("txtLeet"));
        const auto brush =
            reinterpret_cast<HBRUSH>(SendMessageW(window, message, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(Control("txtLeet"))));
        LOGBRUSH colour{};
        GetObjectW(brush, sizeof colour, &colour);
        EXPECT_EQ(colour.lbColor, RGB(255, 255, 255));
        EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
        EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
        ReleaseDC(Control("txtLeet"), dc);
    }
}

TEST_F(Window, ScalesWithTheScreensDpiAndNeverLeavesAControlADeletedFont) {
    watched_window = toolkit_.Window();
    deleted_fonts_seen = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &CheckFonts, nullptr, GetCurrentThreadId());
    const int start_dpi = static_cast<int>(GetDpiForWindow(toolkit_.Window()));
    for (const int dpi : {144, 192, 120, start_dpi}) {
        RECT suggested{10, 10, 10, 10};
        SendMessageW(toolkit_.Window(), WM_DPICHANGED,
                     MAKEWPARAM(static_cast<WORD>(dpi), static_cast<WORD>(dpi)),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT client;
        GetClientRect(toolkit_.Window(), &client);
        EXPECT_EQ(client.right, 4710 * dpi / 1440) << dpi;
        EXPECT_EQ(client.bottom, 2790 * dpi / 1440) << dpi;
        RECT pause;
        GetWindowRect(Control("cmdPause"), &pause);
        EXPECT_EQ(pause.right - pause.left, 735 * dpi / 1440) << dpi;
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(deleted_fonts_seen, 0);
    for (const ControlDescription& control : kFrmZentrovax.controls) {
        HWND handle = Control(std::string(control.name).c_str());
        EXPECT_NE(SendMessageW(handle, WM_GETFONT, 0, 0), 0) << control.name;
        EXPECT_TRUE(HoldsLiveFont(handle)) << control.name;
    }
}

TEST_F(Window, EachTextBoxIsNamedByTheHiddenLabelJustAboveIt) {
    for (const char* name : {"txtLeet", "txtCapture"}) {
        HWND label = GetWindow(Control(name), GW_HWNDPREV);
        wchar_t class_name[16] = L"";
        GetClassNameW(label, class_name, 16);
        EXPECT_EQ(std::wstring(class_name), L"Static") << name;
        const auto style = GetWindowLongPtrW(label, GWL_STYLE);
        EXPECT_EQ(style & (WS_VISIBLE | WS_TABSTOP), 0) << name;
        EXPECT_EQ(style & SS_NOPREFIX, SS_NOPREFIX) << name;
        IAccessible* box = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(Control(name), static_cast<DWORD>(OBJID_CLIENT),
                                             IID_IAccessible, reinterpret_cast<void**>(&box)),
                  S_OK);
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        const std::string_view words = AccessibleTextOf(name).name;
        EXPECT_EQ(NameAndRole(*box, self),
                  std::pair(std::wstring(words.begin(), words.end()), long{ROLE_SYSTEM_TEXT}))
            << name;
        box->Release();
    }
}

TEST_F(Window, EachTypedPieceIsAnnouncedOnceAndAKeyWithoutOneIsNot) {
    // The toolkit keeps uiautomationcore loaded only where it raises notifications.
    const HMODULE automation = GetModuleHandleW(L"uiautomationcore.dll");
    if (automation != nullptr && GetProcAddress(automation, "UiaRaiseNotificationEvent")) {
        GTEST_SKIP() << "announced by UI Automation notifications here: check with Narrator";
    }
    announced.clear();
    // In process: Wine 8 delivers no WinEvents to another process that filters by process.
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        &RecordAnnouncement, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    // A key at a time: the events come through the message loop and are read as they come.
    for (const char16_t key : std::u16string_view(u"hH1i")) {
        Type({&key, 1});
    }
    UnhookWinEvent(hook);
    EXPECT_EQ(announced, (std::vector<std::wstring>{L"||=||", L"!"}));
}

TEST(Resources, TheVersionRecordCarriesTheProjectsVersionInUsEnglishUnicode) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::vector<char> record(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(record.size()), record.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(ZENTROVAX_VERSION_MINOR, ZENTROVAX_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(ZENTROVAX_VERSION_TWEAK, ZENTROVAX_VERSION_PATCH));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    for (const wchar_t* key : {L"\\StringFileInfo\\040904B0\\FileVersion",
                               L"\\StringFileInfo\\040904B0\\ProductVersion"}) {
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(record.data(), key, reinterpret_cast<void**>(&value), &size));
        EXPECT_EQ(std::wstring(value), ZENTROVAX_SHORT_VERSION);
    }
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)), nullptr);
}

TEST(WindowLifetime, ClosingTheWindowEndsTheMessageLoopWithCodeZero) {
    Win32Toolkit toolkit(GetModuleHandleW(nullptr));
    toolkit.Show();
    ProcessPendingMessages(toolkit.Window());
    toolkit.SetText(Box::txtLeet, "unsaved");
    PostMessageW(toolkit.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(toolkit.Window()), 0);
    EXPECT_EQ(toolkit.Window(), nullptr) << "closed without asking";
}

// Asked for its caption while it is destroyed, the window answers as itself; a procedure that
// had lost its handle would answer for a null window, with nothing.
std::wstring caption_while_destroyed;

LRESULT CALLBACK AskCaptionOnDestroy(int code, WPARAM wparam, LPARAM lparam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && sent.message == WM_DESTROY && sent.hwnd == watched_window) {
        wchar_t caption[64] = L"";
        caption_while_destroyed.assign(
            caption, static_cast<std::size_t>(SendMessageW(sent.hwnd, WM_GETTEXT, 64,
                                                           reinterpret_cast<LPARAM>(caption))));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(WindowLifetime, DestroyingTheToolkitHandlesEveryMessageForItsOwnWindow) {
    std::optional<Win32Toolkit> toolkit(std::in_place, GetModuleHandleW(nullptr));
    watched_window = toolkit->Window();
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROC, &AskCaptionOnDestroy, nullptr, GetCurrentThreadId());
    toolkit.reset();
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(IsWindow(watched_window));
    EXPECT_EQ(caption_while_destroyed, L"Zentrovax");
}

}  // namespace
}  // namespace zentrovax
