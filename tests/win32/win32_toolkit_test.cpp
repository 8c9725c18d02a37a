// The Win32 adapter on a real window: messages as Windows delivers them, through the program's
// own message loop, so dialog navigation is that of the program.
#include "win32/win32_toolkit.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32/message_loop.h"
#include "window/accessible_text.h"
#include "window/help_text.h"
#include "window/window_description.h"

namespace zentrovax {
namespace {

// An element's name and role, as a screen reader asks for them.
std::pair<std::wstring, long> NameAndRole(IAccessible& accessible, VARIANT child) {
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

std::vector<std::wstring> announced;

void CALLBACK RecordAnnouncement(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND window, LONG object,
                                 LONG child, DWORD /*thread*/, DWORD /*time*/) {
    IAccessible* accessible = nullptr;
    VARIANT id;
    VariantInit(&id);
    if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object),
                                            static_cast<DWORD>(child), &accessible, &id))) {
        announced.push_back(NameAndRole(*accessible, id).first);
        accessible->Release();
    }
}

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

TEST_F(Window, TypingAtOnceProducesLeetAndNonTableKeysAddNothing) {
    Type(u"leet speak");
    EXPECT_EQ(Output(), "1337 5|O34|<");
    // Shift, digits, punctuation, Backspace, Ctrl+V, accented and non-Latin letters, an emoji.
    Type(u"H1.\b\x16\u00e9\u4e2d\U0001F600");
    EXPECT_EQ(Output(), "1337 5|O34|<");
    EXPECT_EQ(toolkit_.GetText(Box::txtCapture), "") << "the capture box keeps nothing";
    EXPECT_EQ(GetFocus(), Control("txtCapture"));
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

TEST_F(Window, ClickingIntoTheOutputWhileCapturingReturnsTheFocus) {
    SendMessageW(Control("txtLeet"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(Control("txtLeet"), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Settle();
    EXPECT_EQ(GetFocus(), Control("txtCapture"));
    Type(u"a");
    EXPECT_EQ(Output(), "4");
}

TEST_F(Window, PauseLetsTheUserEditAndResumeAppendsAtTheVeryEndWhereverTheCaretWas) {
    Type(u"leet");
    EXPECT_TRUE(OutputIsReadOnly());
    Click("cmdPause");
    EXPECT_EQ(GetFocus(), Control("cmdPause"));
    EXPECT_FALSE(IsWindowEnabled(Control("txtCapture")));
    Type(u"a");
    EXPECT_EQ(Output(), "1337") << "paused: nothing is translated";

    PauseAndFocusOutput();
    EXPECT_FALSE(OutputIsReadOnly());
    SendMessageW(Control("txtLeet"), EM_SETSEL, 4, 4);
    Press(VK_BACK);
    Type(u"xy");
    EXPECT_EQ(Output(), "133xy");
    SendMessageW(Control("txtLeet"), EM_SETSEL, 1, 2);  // a caret and selection mid-text

    Click("cmdResume");
    EXPECT_EQ(GetFocus(), Control("txtCapture"));
    EXPECT_TRUE(OutputIsReadOnly());
    Type(u"a");
    EXPECT_EQ(Output(), "133xy4");
}

TEST_F(Window, UndoWhilePausedHoldsOnlyTheUsersOwnEditsOfThisPause) {
    Type(u"ab");
    PauseAndFocusOutput();
    EXPECT_FALSE(SendMessageW(Control("txtLeet"), EM_CANUNDO, 0, 0)) << "appends are not undoable";
    Type(u"!");
    EXPECT_TRUE(SendMessageW(Control("txtLeet"), EM_CANUNDO, 0, 0));
    Click("cmdResume");
    Type(u"c");
    PauseAndFocusOutput();
    EXPECT_FALSE(SendMessageW(Control("txtLeet"), EM_CANUNDO, 0, 0));
    SendMessageW(Control("txtLeet"), EM_UNDO, 0, 0);
    EXPECT_EQ(Output(), "48!((");
}

TEST_F(Window, TabFollowsTheTabOrderAndLeavesTheMultiLineOutput) {
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Control("cmdPause"));
    Type(u"a");
    EXPECT_EQ(Output(), "") << "keys typed on a button are not translated";
    Press(VK_SPACE);  // presses Pause
    EXPECT_FALSE(IsWindowEnabled(Control("txtCapture")));
    SetFocus(Control("txtLeet"));
    Settle();
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Control("cmdPause")) << "Tab leaves the output, past the disabled box";
    Press(VK_TAB);
    Press(VK_TAB);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Control("txtLeet")) << "round again, paused: the output keeps it";
    Click("cmdResume");
    Type(u"a");
    EXPECT_EQ(Output(), "4");
}

TEST_F(Window, EnterAndEscapePressNoButtonAndEscapeInTheOutputClosesNothing) {
    Press(VK_RETURN);
    Press(VK_ESCAPE);
    EXPECT_TRUE(IsWindowEnabled(Control("txtCapture"))) << "no button was pressed";
    Type(u"a");
    PauseAndFocusOutput();
    Press(VK_ESCAPE);
    EXPECT_TRUE(Settle()) << "the program goes on";
    EXPECT_TRUE(IsWindow(toolkit_.Window()));
    Press(VK_RETURN);
    EXPECT_EQ(Output(), "4\n") << "Enter types a newline into the paused output";
}

struct SeenMessageBox {
    std::wstring title;
    std::wstring text;
    int buttons = 0;
    bool icon = false;
};
SeenMessageBox seen_box;

BOOL CALLBACK InspectChild(HWND child, LPARAM /*unused*/) {
    wchar_t class_name[32];
    GetClassNameW(child, class_name, 32);
    const auto style = GetWindowLongPtrW(child, GWL_STYLE);
    if (!IsWindowVisible(child)) {
        return TRUE;
    }
    if (std::wstring(class_name) == L"Button") {
        ++seen_box.buttons;
    } else if (std::wstring(class_name) == L"Static") {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            // The box's template always has the icon control; it is empty without an icon.
            seen_box.icon = seen_box.icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
        } else {
            wchar_t text[1024];
            GetWindowTextW(child, text, 1024);
            seen_box.text += text;
        }
    }
    return TRUE;
}

// Reads the message box once it is up and presses OK, as the user would.
void CALLBACK AcceptMessageBox(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (box == nullptr) {
        return;  // not up yet
    }
    KillTimer(nullptr, timer);
    wchar_t title[128];
    GetWindowTextW(box, title, 128);
    seen_box = {};
    seen_box.title = title;
    EnumChildWindows(box, &InspectChild, 0);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(Window, HelpShowsTheFixedMessageInBothModesAndTypingThenGoesOn) {
    SetTimer(nullptr, 0, 50, &AcceptMessageBox);
    Click("cmdHelp");
    WaitUntilActive();
    EXPECT_EQ(seen_box.title, L"How to use Zentrovax");
    EXPECT_EQ(seen_box.text, std::wstring(kHelpPrompt.begin(), kHelpPrompt.end()));
    EXPECT_EQ(seen_box.buttons, 1);
    EXPECT_FALSE(seen_box.icon);
    EXPECT_EQ(GetFocus(), Control("txtCapture"));
    Type(u"a");
    EXPECT_EQ(Output(), "4");

    Click("cmdPause");
    seen_box = {};
    SetTimer(nullptr, 0, 50, &AcceptMessageBox);
    Click("cmdHelp");
    WaitUntilActive();
    EXPECT_EQ(seen_box.title, L"How to use Zentrovax");
    EXPECT_FALSE(IsWindowEnabled(Control("txtCapture"))) << "still paused";
    Type(u"a");
    EXPECT_EQ(Output(), "4");
}

TEST_F(Window, TheViewFollowsTheEndUnlessTheUserScrolledAway) {
    HWND output = Control("txtLeet");
    const std::string chunk(2'000, '4');
    for (int i = 0; i < 20; ++i) {  // 40,000 characters: past an EDIT's default limit
        toolkit_.AppendText(Box::txtLeet, chunk);
    }
    EXPECT_EQ(Output().size(), 40'000U);
    EXPECT_EQ(SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "appends keep the view";
    Type(u"a");
    EXPECT_EQ(SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the user's place";
    SendMessageW(output, WM_VSCROLL, SB_BOTTOM, 0);
    const auto last_top = SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(last_top, 100);
    Type(std::u16string(300, u'm'));  // 1,200 characters, some lines more
    EXPECT_GT(SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0), last_top);
    EXPECT_TRUE(toolkit_.ViewIsAtEnd(Box::txtLeet));
}

TEST_F(Window, TextCrossesTheContractAsUtf8WithLineFeeds) {
    const std::string text = "caf\xC3\xA9\n\xE4\xB8\xAD \xF0\x9F\x98\x80";
    toolkit_.SetText(Box::txtLeet, text);
    EXPECT_EQ(toolkit_.GetText(Box::txtLeet), text);
    Type(u"a");
    EXPECT_EQ(Output(), text + "4");
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
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));  // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0U);              // .0.0
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    for (const wchar_t* key : {L"\\StringFileInfo\\040904B0\\FileVersion",
                               L"\\StringFileInfo\\040904B0\\ProductVersion"}) {
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(record.data(), key, reinterpret_cast<void**>(&value), &size));
        EXPECT_EQ(std::wstring(value), L"1.00");
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
