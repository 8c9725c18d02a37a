#include "output/cut_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/output/wrap_oracle.h"

namespace zentrovax {
namespace {

using testing::WrapLines;

std::vector<int> EveryBlocksFirstLine(const std::vector<int>& lines) {
    std::vector<int> cuts;
    for (std::size_t line = kLinesPerBlock; line < lines.size(); line += kLinesPerBlock) {
        cuts.push_back(lines[line]);
    }
    return cuts;
}

TEST(CutPlan, CutsWhereTheWholeParagraphWrapsWhateverTheWordsAndLineLengths) {
    std::string words;
    for (int i = 0; words.size() < 60000; ++i) {
        words += std::string(static_cast<std::size_t>(1 + (i * 7) % 13),
                             static_cast<char>('a' + i % 26)) +
                 ' ';
    }
    const std::string without_spaces(30000, 'x');
    const std::string spaces = "a" + std::string(20000, ' ') + "b";
    for (const std::string* text :
         {static_cast<const std::string*>(&words), &without_spaces, &spaces}) {
        for (int width = 5; width < 400; width += width / 8 + 1) {
            const std::string_view paragraph = *text;
            const auto lay_out = [paragraph, width](int start, int length) {
                return WrapLines(paragraph.substr(static_cast<std::size_t>(start),
                                                  static_cast<std::size_t>(length)),
                                 width);
            };
            EXPECT_EQ(PlanCuts(static_cast<int>(paragraph.size()), lay_out),
                      EveryBlocksFirstLine(WrapLines(paragraph, width)))
                << "width " << width << ", " << paragraph.size() << " characters";
        }
    }
}

TEST(CutPlan, AnEmptyOrShortParagraphIsOneBlock) {
    const auto lay_out = [](int, int length) {
        return WrapLines(std::string(static_cast<std::size_t>(length), 'a'), 10);
    };
    EXPECT_TRUE(PlanCuts(0, lay_out).empty());
    EXPECT_TRUE(PlanCuts(10 * kLinesPerBlock, lay_out).empty());
    EXPECT_EQ(PlanCuts(10 * kLinesPerBlock + 1, lay_out), std::vector<int>{10 * kLinesPerBlock});
}

TEST(CutPlan, ABlockIsCutOnlyOnceItHoldsMoreThanItsMostLines) {
    std::vector<int> lines(kMostLinesPerBlock);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = static_cast<int>(i) * 5;
    }
    EXPECT_TRUE(CutsOfBlock(lines, kMostLinesPerBlock).empty());
    lines.push_back(kMostLinesPerBlock * 5);
    EXPECT_EQ(CutsOfBlock(lines, kMostLinesPerBlock),
              (std::vector<int>{kLinesPerBlock * 5, 2 * kLinesPerBlock * 5}));
}

}  // namespace
}  // namespace zentrovax
