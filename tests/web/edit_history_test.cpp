#include "web/edit_history.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace zentrovax {
namespace {

using History = EditHistory<std::string>;
using Kind = History::Kind;

// A box that makes its edits through the history, as the browser's output box does.
struct Box {
    std::string text;
    History history;

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
    bool Undo() {
        const History::Step* step = history.Undo();
        if (step != nullptr) {
            caret = History::TakeBack(*step, [this](int from, int to, const std::string& back) {
                Replace(from, to, back);
            });
        }
        return step != nullptr;
    }
    bool Redo() {
        const History::Step* step = history.Redo();
        if (step != nullptr) {
            caret = History::MakeAgain(*step, [this](int from, int to, const std::string& again) {
                Replace(from, to, again);
            });
        }
        return step != nullptr;
    }
};

TEST(EditHistory, TakesBackARunOfTypingOrDeletingAtOnceAndNothingElse) {
    Box box{"48(", {}};
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
    const std::pair<const char*, int> undone[] = {
        {"z4x\ny", 1}, {"4x\ny", 0}, {"4", 1}, {"48(", 3}};
    for (const auto& [text, caret] : undone) {
        ASSERT_TRUE(box.Undo());
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caret, caret) << text;
    }
    EXPECT_FALSE(box.Undo());
    const std::pair<const char*, int> redone[] = {
        {"4", 1}, {"4x\ny", 4}, {"z4x\ny", 1}, {"x\ny", 0}};
    for (const auto& [text, caret] : redone) {
        ASSERT_TRUE(box.Redo());
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caret, caret) << text;
    }
    EXPECT_FALSE(box.Redo());
}

TEST(EditHistory, ANewEditAfterUndoEndsRedoAndStartsAStepOfItsOwn) {
    Box box{"", {}};
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

}  // namespace
}  // namespace zentrovax
