#include "web/edit_history.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentrovax {
namespace {

using History = EditHistory<std::string>;
using Kind = History::Kind;

// A box that makes its edits through the history, as the browser's output box does.
struct Box {
    std::string text;
    History history{History::Grouping::kIntoOpenStep};

    void Edit(Kind kind, int from, int to, const std::string& inserted) {
        const auto length = static_cast<std::size_t>(to - from);
        history.Record(kind, {from, text.substr(static_cast<std::size_t>(from), length), to - from,
                              inserted, static_cast<int>(inserted.size())});
        text.replace(static_cast<std::size_t>(from), length, inserted);
    }
    // Where the caret went after the last undo or redo.
    int caret = -1;

    void Replace(int from, int to, const std::string& inserted) {
        text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), inserted);
    }
    // What the history replays its steps through.
    auto Replacer() {
        return
            [this](int from, int to, const std::string& inserted) { Replace(from, to, inserted); };
    }
    bool Undo() { return Went(history.Undo(Replacer())); }
    bool Redo() { return Went(history.Redo(Replacer())); }
    bool Went(std::optional<int> caret_after) {
        caret = caret_after.value_or(caret);
        return caret_after.has_value();
    }
};

TEST(EditHistory, TakesBackARunOfTypingOrDeletingAtOnceAndNothingElse) {
    Box box{"48(", History(History::Grouping::kByClass)};
    box.Edit(Kind::kDeletingBackward, 2, 3, "");  // Backspace, twice
    box.Edit(Kind::kDeletingBackward, 1, 2, "");
    box.Edit(Kind::kTyping, 1, 1, "x");  // then typing, a new line included
    box.Edit(Kind::kTyping, 2, 2, "\n");
    box.Edit(Kind::kTyping, 3, 3, "y");
    box.Edit(Kind::kTyping, 0, 0, "z");          // the caret moved first
    box.Edit(Kind::kDeletingForward, 0, 1, "");  // Delete, twice at one place
    box.Edit(Kind::kDeletingForward, 0, 1, "");
    EXPECT_EQ(box.text, "x\ny");
    // Each undo puts the caret after what its step's first edit took away, each redo after what
    // its last edit put in.
    const auto go = [&box](bool (Box::*step)(), std::vector<std::pair<const char*, int>> seen) {
        for (const auto& [text, caret] : seen) {
            ASSERT_TRUE((box.*step)());
            EXPECT_EQ(box.text, text);
            EXPECT_EQ(box.caret, caret) << text;
        }
    };
    go(&Box::Undo, {{"z4x\ny", 1}, {"4x\ny", 0}, {"4", 1}, {"48(", 3}});
    EXPECT_FALSE(box.Undo());
    go(&Box::Redo, {{"4", 1}, {"4x\ny", 4}, {"z4x\ny", 1}, {"x\ny", 0}});
    EXPECT_FALSE(box.Redo());
}

TEST(EditHistory, ANewEditAfterUndoEndsRedoAndStartsAStepOfItsOwn) {
    Box box{""};
    box.Edit(Kind::kTyping, 0, 0, "a");
    box.Edit(Kind::kTyping, 1, 1, "b");
    ASSERT_TRUE(box.Undo());
    box.Edit(Kind::kTyping, 0, 0, "c");
    EXPECT_FALSE(box.Redo());
    box.history.Close();  // e.g. a click moved the caret back to where it was
    box.Edit(Kind::kTyping, 1, 1, "d");
    ASSERT_TRUE(box.Undo());
    EXPECT_EQ(box.text, "c");
    box.Edit(Kind::kOther, 0, 1, "pasted");  // a paste over a selection is a step of its own
    box.Edit(Kind::kOther, 6, 6, "again");
    ASSERT_TRUE(box.Undo());
    EXPECT_EQ(box.text, "pasted");
    box.history.Clear();
    EXPECT_FALSE(box.Undo());
}

// The keys of a run: letters and Enter type, \b is Backspace, \x7f Delete, < the Left arrow.
// What each engine's <textarea> takes back at each undo of the run, typed into "hello world"
// after "hello" (as Chromium 156 and Firefox ESR 153 do it).
struct KeyRun {
    const char* keys;
    std::vector<const char*> blink_and_webkit;
    std::vector<const char*> gecko;
};

class Grouping : public ::testing::TestWithParam<KeyRun> {};

std::vector<std::string> UndoneAfter(const char* keys, History::Grouping grouping) {
    Box box{"hello world", History(grouping)};
    int caret = 5;
    for (const char* key = keys; *key != '\0'; ++key) {
        switch (*key) {
            case '\b':
                box.Edit(Kind::kDeletingBackward, caret - 1, caret, "");
                --caret;
                break;
            case '\x7f':
                box.Edit(Kind::kDeletingForward, caret, caret + 1, "");
                break;
            case '<':
                box.history.Close();
                --caret;
                break;
            default:
                box.Edit(Kind::kTyping, caret, caret, std::string(1, *key));
                ++caret;
                break;
        }
    }
    std::vector<std::string> undone;
    while (box.Undo()) {
        undone.push_back(box.text);
    }
    return undone;
}

TEST_P(Grouping, EachUndoTakesBackWhatThatEnginesTextareaDoes) {
    const KeyRun& run = GetParam();
    EXPECT_EQ(UndoneAfter(run.keys, History::Grouping::kIntoOpenStep),
              std::vector<std::string>(run.blink_and_webkit.begin(), run.blink_and_webkit.end()));
    EXPECT_EQ(UndoneAfter(run.keys, History::Grouping::kByClass),
              std::vector<std::string>(run.gecko.begin(), run.gecko.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Grouping,
    ::testing::Values(
        KeyRun{"ab cd\nef", {"hello world"}, {"hello world"}},
        KeyRun{"\b\b\b", {"hello world"}, {"hello world"}},
        KeyRun{"\x7f\x7f\x7f", {"hello world"}, {"hello world"}},
        KeyRun{"abc\b\b", {"helloabc world", "hello world"}, {"helloabc world", "hello world"}},
        KeyRun{"ab<c", {"helloab world", "hello world"}, {"helloab world", "hello world"}},
        KeyRun{"\b\x7f", {"hello world"}, {"hello world"}},
        KeyRun{"\x7f\x7f\b\b", {"helloorld", "hello world"}, {"hello world"}},
        KeyRun{"ab\bc",
               {"helloab world", "hello world"},
               {"helloa world", "helloab world", "hello world"}},
        KeyRun{"ab\x7f", {"hello world"}, {"helloab world", "hello world"}},
        KeyRun{"\x7f"
               "c",
               {"hello world"},
               {"helloworld", "hello world"}},
        KeyRun{
            "\bc\b", {"hellc world", "hello world"}, {"hellc world", "hell world", "hello world"}},
        KeyRun{"\bc\x7f", {"hello world"}, {"hellc world", "hell world", "hello world"}},
        KeyRun{"\x7f\bc", {"helloworld", "hello world"}, {"hellworld", "hello world"}}));

}  // namespace
}  // namespace zentrovax
