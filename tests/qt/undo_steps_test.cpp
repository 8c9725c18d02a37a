#include "qt/undo_steps.h"

#include <gtest/gtest.h>

namespace zentrovax {
namespace {

using Kind = UndoSteps::Kind;

// An edit that Qt recorded as one command, followed by `cuts` commands of the box's own.
UndoSteps::Step Edit(int below, Kind kind, int offset, int length, int cuts = 1) {
    UndoSteps::Step step;
    step.below = below;
    step.above = below + 1 + cuts;
    step.kind = kind;
    step.offset = offset;
    step.length = length;
    step.caret_after = offset + length;
    return step;
}

// The step that ends (or starts) at a height, or an empty one that fails the test.
UndoSteps::Step Ending(const UndoSteps& steps, int height) {
    const UndoSteps::Step* step = steps.EndingAt(height);
    EXPECT_NE(step, nullptr) << "no step ends at " << height;
    return step != nullptr ? *step : UndoSteps::Step{};
}
UndoSteps::Step Starting(const UndoSteps& steps, int height) {
    const UndoSteps::Step* step = steps.StartingAt(height);
    EXPECT_NE(step, nullptr) << "no step starts at " << height;
    return step != nullptr ? *step : UndoSteps::Step{};
}

TEST(UndoSteps, RunsQtWouldMergeStayOneStepAcrossTheBoxsCuts) {
    UndoSteps steps;
    steps.Record(Edit(0, Kind::kTyping, 10, 1), 1);
    steps.Record(Edit(2, Kind::kTyping, 11, 1), 3);  // typed right after: one step
    EXPECT_EQ(Ending(steps, 4).below, 0);
    EXPECT_EQ(Ending(steps, 4).length, 2);

    steps.Record(Edit(4, Kind::kTyping, 30, 1), 5);  // elsewhere: a step of its own
    EXPECT_EQ(Ending(steps, 6).below, 4);
    steps.Record(Edit(6, Kind::kDeletion, 30, 1), 7);  // a deletion never joins typing
    EXPECT_EQ(Ending(steps, 8).below, 6);
    // Delete at the same place, then Backspace right before: still the same run.
    steps.Record(Edit(8, Kind::kDeletion, 30, 1), 9);
    steps.Record(Edit(10, Kind::kDeletion, 29, 1), 11);
    EXPECT_EQ(Ending(steps, 12).below, 6);
    EXPECT_EQ(Ending(steps, 12).offset, 29);
    EXPECT_EQ(Ending(steps, 12).length, 3);
}

TEST(UndoSteps, UndoAndRedoEndARunAndANewEditDropsWhatCouldBeRedone) {
    UndoSteps steps;
    steps.Record(Edit(0, Kind::kTyping, 10, 1), 1);
    steps.Record(Edit(2, Kind::kOther, 40, 5), 3);
    steps.Close();  // an undo took the history back to 2
    steps.Record(Edit(2, Kind::kTyping, 11, 1), 3);
    EXPECT_EQ(Ending(steps, 4).below, 2) << "no merging into a step once undone";
    EXPECT_EQ(Starting(steps, 2).kind, Kind::kTyping) << "the undone paste is gone";

    // Qt merged the edit into its own last command and there were no cuts: the history did
    // not grow, the step did.
    UndoSteps::Step merged = Edit(4, Kind::kTyping, 12, 1);
    merged.above = 4;
    steps.Record(merged, 4);
    EXPECT_EQ(Ending(steps, 4).length, 1 + 1);
    EXPECT_TRUE(steps.ExtendLast(4, 6));
    EXPECT_FALSE(steps.ExtendLast(4, 7)) << "the last step now ends at 6";
    EXPECT_EQ(Ending(steps, 6).below, 2);
}

}  // namespace
}  // namespace zentrovax
