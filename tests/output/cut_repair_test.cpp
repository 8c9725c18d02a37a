#include "output/cut_repair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "leet/leet_table.h"
#include "output/cut_plan.h"
#include "tests/output/wrap_oracle.h"
#include "tests/storm_seed.h"

namespace zentrovax {
namespace {

using testing::WrapLines;

// A text of paragraphs held as blocks, each laid out on its own by the wrap oracle, as a box
// holds them: a paragraph starts a block with no cut before it, the user's newline between.
class OracleBlocks final : public CutBlocks {
  public:
    OracleBlocks(std::string_view text, int width) : width_(width) {
        std::size_t from = 0;
        for (std::size_t to = text.find('\n'); from <= text.size();
             from = to + 1, to = text.find('\n', from)) {
            const std::string_view paragraph =
                text.substr(from, to == std::string_view::npos ? to : to - from);
            const std::vector<int> cuts = PlanCuts(
                static_cast<int>(paragraph.size()), [paragraph, width](int start, int length) {
                    return WrapLines(paragraph.substr(Index(start), Index(length)), width);
                });
            int block_start = 0;
            for (std::size_t i = 0; i <= cuts.size(); ++i) {
                const int block_end =
                    i < cuts.size() ? cuts[i] : static_cast<int>(paragraph.size());
                blocks_.push_back({std::string(paragraph.substr(Index(block_start),
                                                                Index(block_end - block_start))),
                                   i > 0});
                block_start = block_end;
            }
            if (to == std::string_view::npos) {
                break;
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

    // Replaces the text between two offsets of the text, newlines counted, as a box would: in the
    // block that holds `from`, taking in the blocks up to the one that holds `to`, each newline
    // of `text` starting a paragraph. Returns the first and the last block the edit left.
    std::pair<int, int> Edit(int from, int to, std::string_view text) {
        const auto [first, from_offset] = Locate(from, true);
        const auto [last, to_offset] = Locate(to, false);
        const std::string whole = At(first).text.substr(0, Index(from_offset)) + std::string(text) +
                                  At(last).text.substr(Index(to_offset));
        std::vector<Block> made;
        for (std::size_t start = 0;;) {
            const std::size_t end = whole.find('\n', start);
            made.push_back(
                {whole.substr(start, end - start), !made.empty() ? false : At(first).cut_before});
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        made.front().stale = At(first).stale;
        made.back().stale = made.back().stale || At(last).stale;
        blocks_.erase(blocks_.begin() + first, blocks_.begin() + last + 1);
        blocks_.insert(blocks_.begin() + first, made.begin(), made.end());
        int end = first + static_cast<int>(made.size()) - 1;
        // An empty block within a paragraph would show an empty line the paragraph has not.
        if (At(end).text.empty() && end + 1 < Count() && HasCutBefore(end + 1)) {
            At(end + 1).cut_before = At(end).cut_before;
            At(end + 1).stale = At(end + 1).stale || At(end).stale;
            blocks_.erase(blocks_.begin() + end);
            end = std::max(first, end - 1);
        }
        if (At(first).text.empty() && HasCutBefore(first)) {
            Join(first);
            return {first - 1, std::max(first - 1, end - 1)};
        }
        return {first, end};
    }

    // The text, paragraphs joined by newlines.
    [[nodiscard]] std::string Text() const {
        std::string text;
        for (int block = 0; block < Count(); ++block) {
            text += (block > 0 && !HasCutBefore(block) ? "\n" : "") + At(block).text;
        }
        return text;
    }

    // Whether every paragraph's blocks wrap as the paragraph would, laid out whole, and no block
    // holds more than a block's most lines.
    [[nodiscard]] ::testing::AssertionResult WrapAsParagraphs() {
        int block = 0;
        for (int paragraph = 0; block < Count(); ++paragraph) {
            std::vector<int> lines;
            std::string text;
            do {
                if (Lines(block) > kMostLinesPerBlock) {
                    return ::testing::AssertionFailure() << "block " << block << " is too long";
                }
                if (block > 0 && HasCutBefore(block) && At(block).text.empty()) {
                    return ::testing::AssertionFailure() << "block " << block << " is empty";
                }
                for (const int line : LineStarts(block)) {
                    lines.push_back(static_cast<int>(text.size()) + line);
                }
                text += At(block++).text;
            } while (block < Count() && HasCutBefore(block));
            if (lines != WrapLines(text, width_)) {
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

    // Where a block starts in the text, picked by `pick`: edits there change a first word.
    [[nodiscard]] int SomeBlockStart(std::size_t pick) const {
        const int block = static_cast<int>(pick % Index(Count()));
        int start = 0;
        for (int before = 0; before < block; ++before) {
            start += Length(before) + (HasCutBefore(before + 1) ? 0 : 1);
        }
        return start;
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
    // The block that holds offset `at` of the text and the offset in it. At a cut, `later` picks
    // the later block, as a caret there does; a newline always lies between two blocks.
    [[nodiscard]] std::pair<int, int> Locate(int at, bool later) const {
        int block = 0;
        for (; block + 1 < Count(); ++block) {
            const bool cut = HasCutBefore(block + 1);
            if (at < Length(block) || (at == Length(block) && !(later && cut))) {
                break;
            }
            at -= Length(block) + (cut ? 0 : 1);
        }
        return {block, at};
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

// The program's own pieces in words of 1 to 8 letters, now and then a run longer than a line, and
// now and then a newline of the user's.
std::string Words(std::mt19937& random, std::size_t size) {
    std::string text;
    while (text.size() < size) {
        const auto letters = random() % 50 == 0 ? 20 + random() % 80 : 1 + random() % 8;
        for (std::size_t letter = 0; letter < letters; ++letter) {
            text += *TranslateKey(static_cast<CharacterCode>('a' + random() % 26));
        }
        text += random() % 60 == 0 ? '\n' : ' ';
    }
    return text;
}

TEST(CutRepair, RandomEditsLeaveEveryParagraphWrappedAsOneAndItsTextIntact) {
    const unsigned seed = StormSeed();
    SCOPED_TRACE("replay with ZENTROVAX_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    for (const int width : {17, 40, 73}) {
        std::string text = Words(random, 30'000) + "\n\n" + Words(random, 3'000);
        OracleBlocks blocks(text, width);
        ASSERT_TRUE(blocks.WrapAsParagraphs());
        for (int step = 0; step < 400; ++step) {
            // At a block's start, which changes its first word, or anywhere; across blocks and
            // newlines, or within a word.
            const int from = random() % 4 == 0 ? blocks.SomeBlockStart(random())
                                               : static_cast<int>(random() % (text.size() + 1));
            const int to = std::min(static_cast<int>(text.size()),
                                    from + (random() % 3 == 0 ? static_cast<int>(random() % 3000)
                                                              : static_cast<int>(random() % 4)));
            const std::string inserted = random() % 2 == 0 ? Words(random, random() % 30) : "";
            text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from),
                         inserted);
            const auto [first, last] = blocks.Edit(from, to, inserted);
            RepairCuts(blocks, first, last, {}, {});
            ASSERT_EQ(blocks.Text(), text) << "step " << step;
            ASSERT_TRUE(blocks.WrapAsParagraphs()) << "width " << width << ", step " << step;
            ASSERT_FALSE(blocks.FirstStale());
        }
    }
}

TEST(CutRepair, WhatLiesPastTheViewIsLeftStaleAndRepairedLaterInSlices) {
    // No spaces: an insert at the start moves every later wrap.
    OracleBlocks blocks(std::string(20'000, 'x'), 50);
    const int count = blocks.Count();
    blocks.Edit(0, 0, "yy");
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
    EXPECT_EQ(blocks.Text(), "yy" + std::string(20'000, 'x'));
    EXPECT_EQ(blocks.Count(), count);
}

TEST(CutRepair, AnEditThatMovesNoWrapKeepsBothCutsOfItsBlock) {
    OracleBlocks blocks(std::string(20'000, 'x'), 40);
    // A letter for a letter mid-block: no wrap moves.
    const int block = blocks.Edit(5'010, 5'011, "y").first;
    RepairCuts(blocks, block, block, {}, {});
    EXPECT_EQ(blocks.Settled(), 2) << "the cuts before and after it, each found to hold";
    EXPECT_TRUE(blocks.WrapAsParagraphs());
}

TEST(CutRepair, ABlockThatGrowsPastItsMostLinesIsCut) {
    OracleBlocks blocks("a", 10);
    std::string text = "a";
    for (int i = 0; i < 200; ++i) {
        text += "bcdefgh ";
        const int at = static_cast<int>(text.size()) - 8;
        const int block = blocks.Edit(at, at, "bcdefgh ").first;
        RepairCuts(blocks, block, block, {}, {});
    }
    EXPECT_EQ(blocks.Text(), text);
    EXPECT_GT(blocks.Count(), 1);
    EXPECT_TRUE(blocks.WrapAsParagraphs());
}

}  // namespace
}  // namespace zentrovax
