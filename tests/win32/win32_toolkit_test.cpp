// The Win32 adapter on a real window, as the handlers drive it: keys, clicks, the modes, Help,
// the view. Messages go as Windows delivers them, through the program's own message loop, so
// dialog navigation is that of the program.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/win32/window_fixture.h"
#include "win32/edit_text.h"
#include "win32/handles.h"
#include "window/help_text.h"
#include "window/window_description.h"

namespace zentrovax {
namespace {

using testing::Window;

TEST_F(Window, TypingAtOnceProducesLeetAndNonTableKeysAddNothing) {
    Type(u"leet speak");
    EXPECT_EQ(Output(), "1337 5|O34|<");
    // Shift, digits, punctuation, Backspace, Ctrl+V, accented and non-Latin letters, an emoji.
    Type(u"H1.\b\x16\u00e9\u4e2d\U0001F600");
    EXPECT_EQ(Output(), "1337 5|O34|<");
    EXPECT_EQ(toolkit_.GetText(Box::txtCapture), "") << "the capture box keeps nothing";
    EXPECT_EQ(GetFocus(), Control("txtCapture"));
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

// An input method's composition in the capture box, as the system's input method sets it.
TEST_F(Window, AnInputMethodsCompositionShowsTranslatedAndItsCommitTypesItOnce) {
    Type(u"a");
    const InputContext context(Control("txtCapture"));
    ASSERT_NE(context.get(), nullptr);
    const auto compose = [&](std::u16string_view text) {
        ImmSetCompositionStringW(context.get(), SCS_SETSTR, const_cast<char16_t*>(text.data()),
                                 static_cast<DWORD>(text.size() * sizeof(char16_t)), nullptr, 0);
        Settle();
    };
    compose(u"he");
    EXPECT_EQ(toolkit_.GetComposingText(Box::txtLeet), "||=||3");
    EXPECT_EQ(Output(), "4") << "not yet typed";
    compose(u"hi");
    EXPECT_EQ(toolkit_.GetComposingText(Box::txtLeet), "||=||!");
    ImmNotifyIME(context.get(), NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    Settle();
    EXPECT_EQ(Output(), "4||=||!");
    EXPECT_EQ(toolkit_.GetComposingText(Box::txtLeet), "");
    EXPECT_EQ(TextOf(Control("txtLeet")), L"4||=||!") << "nothing of it left in the box";
}

TEST_F(Window, TextCrossesTheContractAsUtf8WithLineFeeds) {
    const std::string text = "caf\xC3\xA9\n\xE4\xB8\xAD \xF0\x9F\x98\x80";
    toolkit_.SetText(Box::txtLeet, text);
    EXPECT_EQ(toolkit_.GetText(Box::txtLeet), text);
    Type(u"a");
    EXPECT_EQ(Output(), text + "4");
}

}  // namespace
}  // namespace zentrovax
