#include "output/edit_history.h"

#include <gtest/gtest.h>

#include <string>

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
    bool Undo() {
        const History::Step* step = history.Undo();
        for (auto edit = step ? step->rbegin() : History::Step::const_reverse_iterator{};
             step && edit != step->rend(); ++edit) {
            text.replace(static_cast<std::size_t>(edit->offset),
                         static_cast<std::size_t>(edit->inserted_length), edit->removed);
        }
        return step != nullptr;
    }
    bool Redo() {
        const History::Step* step = history.Redo();
        for (const auto& edit : step ? *step : History::Step{}) {
            text.replace(static_cast<std::size_t>(edit.offset),
                         static_cast<std::size_t>(edit.removed_length), edit.inserted);
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
    const char* const expected[] = {"z4x\ny", "4x\ny", "4", "48("};
    for (const char* text : expected) {
        ASSERT_TRUE(box.Undo());
        EXPECT_EQ(box.text, text);
    }
    EXPECT_FALSE(box.Undo());
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(box.Redo());
    }
    EXPECT_EQ(box.text, "x\ny");
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
