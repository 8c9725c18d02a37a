#include "output/cut_repair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "output/cut_plan.h"
#include "tests/output/wrap_oracle.h"
#include "tests/storm_seed.h"

namespace zentrovax {
namespace {

using testing::WrapLines;

// Paragraphs held as blocks, each laid out on its own by the wrap oracle, as a box holds them.
class OracleBlocks final : public CutBlocks {
  public:
    OracleBlocks(const std::vector<std::string>& paragraphs, int width) : width_(width) {
        for (const std::string& paragraph : paragraphs) {
            const std::vector<int> cuts = PlanCuts(
                static_cast<int>(paragraph.size()), [&paragraph, width](int start, int length) {
                    return WrapLines(
                        std::string_view(paragraph).substr(static_cast<std::size_t>(start),
                                                           static_cast<std::size_t>(length)),
                        width);
                });
            std::size_t from = 0;
            for (std::size_t i = 0; i <= cuts.size(); ++i) {
                const std::size_t to =
                    i < cuts.size() ? static_cast<std::size_t>(cuts[i]) : paragraph.size();
                blocks_.push_back({paragraph.substr(from, to - from), i > 0});
                from = to;
            }
        }
    }

    [[nodiscard]] int Count() const override { return static_cast<int>(blocks_.size()); }
    [[nodiscard]] bool HasCutBefore(int block) const override { return At(block).cut_before; }
    [[nodiscard]] int Lines(int block) override {
        return std::max(1, static_cast<int>(LineStarts(block).size()));
    }
    [[nodiscard]] std::vector<int> BlockStarts(int block) override {
        return CutsOfBlock(LineStarts(block), 0);
    }

    bool SettleCutBefore(int block) override {
        ++settled_;
        // As a toolkit finds out: the last line before the cut, laid out followed by the block.
        const std::string& before = At(block - 1).text;
        const std::vector<int> lines = WrapLines(before, width_);
        const std::string last_line = before.substr(lines.empty() ? 0 : Index(lines.back()));
        const std::vector<int> across = WrapLines(last_line + At(block).text, width_);
        if (!before.empty() && !At(block).text.empty() && across.size() > 1 &&
            across[1] == static_cast<int>(last_line.size())) {
            return true;
        }
        Join(block);
        return false;
    }

    void Cut(int block, const std::vector<int>& offsets) override {
        Block whole = At(block);
        std::vector<Block> pieces;
        int from = 0;
        for (const int offset : offsets) {
            pieces.push_back({whole.text.substr(Index(from), Index(offset - from)), true});
            from = offset;
        }
        pieces.front().cut_before = whole.cut_before;
        // The cut after the block is after its last piece.
        pieces.push_back({whole.text.substr(Index(from)), true, whole.stale});
        blocks_.erase(blocks_.begin() + block);
        blocks_.insert(blocks_.begin() + block, pieces.begin(), pieces.end());
    }

    void MarkStale(int block) override { At(block).stale = true; }
    [[nodiscard]] std::optional<int> FirstStale() const override {
        const auto found =
            std::find_if(blocks_.begin(), blocks_.end(), [](const Block& b) { return b.stale; });
        return found == blocks_.end() ? std::nullopt
                                      : std::optional(static_cast<int>(found - blocks_.begin()));
    }
    void ClearStale(int block) override { At(block).stale = false; }

    // Replaces the text between two offsets of the paragraph `paragraph` as a box would: in the
    // block that holds `from`, taking in the blocks up to the one that holds `to`. Returns the
    // block the edit ended in.
    int Edit(int paragraph, int from, int to, const std::string& text) {
        int first = FirstOf(paragraph);
        int start = 0;
        // At a cut, `from` lies in the later block, as a caret there does.
        while (start + Length(first) <= from && first + 1 < Count() && HasCutBefore(first + 1)) {
            start += Length(first++);
        }
        int last = first;
        int last_start = start;
        while (last_start + Length(last) < to) {
            last_start += Length(last++);
        }
        At(first).text = At(first).text.substr(0, Index(from - start)) + text +
                         At(last).text.substr(Index(to - last_start));
        At(first).stale = At(first).stale || At(last).stale;
        blocks_.erase(blocks_.begin() + first + 1, blocks_.begin() + last + 1);
        // An empty block within a paragraph would show an empty line the paragraph has not.
        if (At(first).text.empty() && HasCutBefore(first)) {
            Join(first--);
        } else if (At(first).text.empty() && first + 1 < Count() && HasCutBefore(first + 1)) {
            blocks_.erase(blocks_.begin() + first);
            At(first).cut_before = false;
        }
        return first;
    }

    [[nodiscard]] std::string Paragraph(int paragraph) const {
        std::string text;
        for (int block = FirstOf(paragraph); block < Count(); ++block) {
            if (block > FirstOf(paragraph) && !At(block).cut_before) {
                break;
            }
            text += At(block).text;
        }
        return text;
    }

    // Whether every paragraph's blocks wrap as the paragraph would, laid out whole, and no block
    // holds more than a block's most lines.
    [[nodiscard]] ::testing::AssertionResult WrapAsParagraphs() {
        int block = 0;
        for (int paragraph = 0; block < Count(); ++paragraph) {
            std::vector<int> lines;
            int start = 0;
            do {
                if (Lines(block) > kMostLinesPerBlock) {
                    return ::testing::AssertionFailure() << "block " << block << " is too long";
                }
                for (const int line : LineStarts(block)) {
                    lines.push_back(start + line);
                }
                start += Length(block++);
            } while (block < Count() && HasCutBefore(block));
            if (lines != WrapLines(Paragraph(paragraph), width_)) {
                return ::testing::AssertionFailure()
                       << "paragraph " << paragraph << " wraps otherwise in blocks";
            }
        }
        return ::testing::AssertionSuccess();
    }

    [[nodiscard]] int Settled() const { return settled_; }
    [[nodiscard]] std::vector<int> LineStarts(int block) const {
        return WrapLines(At(block).text, width_);
    }

    // Where a block of the paragraph starts, picked by `pick`: edits there change a first word.
    [[nodiscard]] int SomeBlockStart(int paragraph, std::size_t pick) const {
        std::vector<int> starts = {0};
        for (int block = FirstOf(paragraph) + 1; block < Count() && HasCutBefore(block); ++block) {
            starts.push_back(starts.back() + Length(block - 1));
        }
        return starts[pick % starts.size()];
    }

  private:
    struct Block {
        std::string text;
        bool cut_before = false;
        bool stale = false;
    };
    static std::size_t Index(int offset) { return static_cast<std::size_t>(offset); }
    [[nodiscard]] const Block& At(int block) const { return blocks_.at(Index(block)); }
    Block& At(int block) { return blocks_.at(Index(block)); }
    [[nodiscard]] int Length(int block) const { return static_cast<int>(At(block).text.size()); }
    [[nodiscard]] int FirstOf(int paragraph) const {
        int block = 0;
        for (int seen = 0; seen < paragraph; ++seen) {
            do {
                ++block;
            } while (HasCutBefore(block));
        }
        return block;
    }
    void Join(int block) {
        At(block - 1).text += At(block).text;
        At(block - 1).stale = At(block - 1).stale || At(block).stale;
        blocks_.erase(blocks_.begin() + block);
    }

    int width_;
    std::vector<Block> blocks_;
    int settled_ = 0;
};

// Words of 1 to 12 letters, and now and then a run of letters longer than a line.
std::string Words(std::mt19937& random, std::size_t size) {
    std::string text;
    while (text.size() < size) {
        const auto length = random() % 50 == 0 ? 40 + random() % 200 : 1 + random() % 12;
        text += std::string(length, static_cast<char>('a' + random() % 26)) + ' ';
    }
    return text;
}

TEST(CutRepair, RandomEditsLeaveEveryParagraphWrappedAsOneAndItsTextIntact) {
    const unsigned seed = StormSeed();
    SCOPED_TRACE("replay with ZENTROVAX_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    for (const int width : {17, 40, 73}) {
        std::vector<std::string> model = {Words(random, 30'000), "", Words(random, 3'000)};
        OracleBlocks blocks(model, width);
        ASSERT_TRUE(blocks.WrapAsParagraphs());
        for (int step = 0; step < 400; ++step) {
            const int paragraph = static_cast<int>(random() % 3);
            std::string& text = model[static_cast<std::size_t>(paragraph)];
            const int from = random() % 4 == 0 ? blocks.SomeBlockStart(paragraph, random())
                                               : static_cast<int>(random() % (text.size() + 1));
            const int to = std::min(static_cast<int>(text.size()),
                                    from + (random() % 3 == 0 ? static_cast<int>(random() % 3000)
                                                              : static_cast<int>(random() % 4)));
            const std::string inserted = random() % 2 == 0 ? Words(random, random() % 30) : "";
            text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from),
                         inserted);
            const int block = blocks.Edit(paragraph, from, to, inserted);
            RepairCuts(blocks, block, block, {}, {});
            ASSERT_EQ(blocks.Paragraph(paragraph), text) << "step " << step;
            ASSERT_TRUE(blocks.WrapAsParagraphs()) << "width " << width << ", step " << step;
            ASSERT_FALSE(blocks.FirstStale());
        }
    }
}

TEST(CutRepair, WhatLiesPastTheViewIsLeftStaleAndRepairedLaterInSlices) {
    // No spaces: an insert at the start moves every later wrap.
    OracleBlocks blocks({std::string(20'000, 'x')}, 50);
    const int count = blocks.Count();
    blocks.Edit(0, 0, 0, "yy");
    RepairCuts(blocks, 0, 0, {}, RepairLimit::InView(1));
    EXPECT_LE(blocks.Settled(), 2 + kBlocksSettledPastView) << "the edit settles a few cuts";
    ASSERT_TRUE(blocks.FirstStale());
    EXPECT_LT(*blocks.FirstStale(), 1 + 2 * kBlocksSettledPastView) << "a few blocks on";
    EXPECT_FALSE(blocks.WrapAsParagraphs());

    RepairStaleCuts(blocks, RepairLimit::InView(6));
    ASSERT_TRUE(blocks.FirstStale());
    EXPECT_GE(*blocks.FirstStale(), 6 + kBlocksSettledPastView) << "as far as the view reaches";
    while (blocks.FirstStale()) {
        RepairStaleCuts(blocks, RepairLimit::Slice());
    }
    EXPECT_TRUE(blocks.WrapAsParagraphs());
    EXPECT_EQ(blocks.Paragraph(0), "yy" + std::string(20'000, 'x'));
    EXPECT_EQ(blocks.Count(), count);
}

TEST(CutRepair, AnEditThatKeepsBothEdgesOfItsBlockTouchesNoCut) {
    OracleBlocks blocks({std::string(20'000, 'x')}, 40);
    // A letter for a letter mid-block: no wrap moves.
    const int block = blocks.Edit(0, 5'010, 5'011, "y");
    RepairCuts(blocks, block, block, {.before = false, .after = false}, {});
    EXPECT_EQ(blocks.Settled(), 0);
    RepairCuts(blocks, block, block, {}, {});
    EXPECT_EQ(blocks.Settled(), 2) << "the cuts before and after it, each found to hold";
    EXPECT_TRUE(blocks.WrapAsParagraphs());
}

TEST(CutRepair, ABlockThatGrowsPastItsMostLinesIsCut) {
    OracleBlocks blocks({"a"}, 10);
    std::string text = "a";
    for (int i = 0; i < 200; ++i) {
        text += "bcdefgh ";
        const int block = blocks.Edit(0, static_cast<int>(text.size()) - 8,
                                      static_cast<int>(text.size()) - 8, "bcdefgh ");
        RepairCuts(blocks, block, block, {}, {});
    }
    EXPECT_EQ(blocks.Paragraph(0), text);
    EXPECT_GT(blocks.Count(), 1);
    EXPECT_TRUE(blocks.WrapAsParagraphs());
}

}  // namespace
}  // namespace zentrovax
