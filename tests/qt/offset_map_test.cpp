#include "qt/offset_map.h"

#include <gtest/gtest.h>

namespace zentrovax {
namespace {

// "abc" | cut | "def" | newline | "gh" | cut | "ij": the user sees "abcdef\nghij", 11 characters;
// the document holds a separator before each block, 13 positions.
OffsetMap FourBlocks() {
    OffsetMap map;
    map.Add(0, false);
    map.Add(4, true);
    map.Add(8, false);
    map.Add(11, true);
    return map;
}

TEST(OffsetMap, CutsCountInPositionsButNotInTheOffsetsTheUserSees) {
    const OffsetMap map = FourBlocks();
    EXPECT_EQ(map.VisibleOffset(0, 2), 2);
    EXPECT_EQ(map.VisibleOffset(1, 4), 3);  // "d" follows "c" directly
    EXPECT_EQ(map.VisibleOffset(2, 8), 7);  // the user's newline counts
    EXPECT_EQ(map.VisibleOffset(3, 13), 11);
    for (const auto& [offset, position] :
         {std::pair{0, 0}, {3, 4}, {6, 7}, {7, 8}, {9, 11}, {11, 13}}) {
        EXPECT_EQ(map.DocumentPosition(offset, 13), position) << offset;
    }
    EXPECT_EQ(map.DocumentPosition(99, 13), 13) << "past the end: the end";
    EXPECT_EQ(map.DocumentPosition(-1, 13), 0);
}

TEST(OffsetMap, BlocksAChangeTouchedAreAddedAgainAndTheOthersKept) {
    OffsetMap map = FourBlocks();
    map.Forget(2);
    EXPECT_EQ(map.Known(), 2);
    // "gh" now follows a cut, "ij" is a paragraph of its own.
    map.Add(8, true);
    map.Add(11, false);
    EXPECT_EQ(map.VisibleOffset(2, 8), 6);
    EXPECT_EQ(map.VisibleOffset(3, 13), 11);
    EXPECT_EQ(map.DocumentPosition(8, 13), 10);
    map.Forget(-3);
    EXPECT_EQ(map.Known(), 0);
}

}  // namespace
}  // namespace zentrovax
