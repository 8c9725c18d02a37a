#include "qt/pending_edit.h"

#include <gtest/gtest.h>

namespace zentrovax {

void PrintTo(const PendingEdit::Range& range, std::ostream* out) {
    *out << "[" << range.from << ", " << range.to << ") new " << range.is_new << " removed "
         << range.removed;
}

namespace {

using Range = PendingEdit::Range;

TEST(PendingEdit, ChangesMergeIntoTheRangeTheyCoverInTheTextAsItIsNow) {
    PendingEdit edit;
    EXPECT_TRUE(edit.Empty());
    edit.Add(10, 5, 0, true);  // a selection typed over: first removed,
    edit.Add(10, 0, 7, true);  // then the new text
    EXPECT_EQ(edit.Take(), (Range{10, 17, true, -2}));
    EXPECT_TRUE(edit.Empty());

    edit.Add(20, 0, 3, true);
    edit.Add(2, 4, 0, true);  // a removal before the range moves its end with the text
    EXPECT_EQ(edit.Take(), (Range{2, 19, true, 1}));

    edit.Add(20, 0, 3, true);
    edit.Add(21, 10, 0, true);  // a removal from inside the range past its end
    EXPECT_EQ(edit.Take(), (Range{20, 21, true, 7}));
}

TEST(PendingEdit, OnlyUndoAndRedoMakeAnEditThatIsNotNew) {
    PendingEdit edit;
    edit.Add(5, 0, 1, false);
    edit.Add(0, 1, 0, false);
    EXPECT_FALSE(edit.Take()->is_new);
    edit.Add(5, 0, 1, false);
    edit.Add(6, 0, 1, true);
    EXPECT_TRUE(edit.Take()->is_new);
}

}  // namespace
}  // namespace zentrovax
