#include "output/line_breaks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "leet/leet_table.h"
#include "tests/output/wrap_oracle.h"
#include "tests/storm_seed.h"

namespace zentrovax {
namespace {

// The program's pieces, what a person types while paused, and runs of spaces and newlines.
std::string Text(std::mt19937& random, std::size_t size) {
    static constexpr std::string_view kTyped[] = {" ", "  ", "\n", "(", "\"", "'", "[", "-",
                                                  ".", ",",  "?",  "}", ";",  ":", "#", "a"};
    std::string text;
    while (text.size() < size) {
        text += random() % 2 == 0 ? std::string(*TranslateKey(static_cast<CharacterCode>(
                                        random() % 27 == 0 ? ' ' : 'a' + random() % 26)))
                                  : std::string(kTyped[random() % std::size(kTyped)]);
    }
    return text;
}

TEST(LineBreaks, AFirstWordEndsWhereEveryEngineMayBreakTheLine) {
    const unsigned seed = StormSeed();
    SCOPED_TRACE("replay with ZENTROVAX_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    testing::LineBreaks breaks;
    int breaks_found = 0;
    for (int round = 0; round < 20'000; ++round) {
        const std::string text = Text(random, 1 + random() % 24);
        const std::u16string units(text.begin(), text.end());
        const std::size_t end = FirstWordEnd(units);
        ASSERT_LE(end, text.size());
        if (end < text.size()) {
            breaks.SetText(text);
            ASSERT_TRUE(breaks.IsBreak(static_cast<int>(end))) << "\"" << text << "\" at " << end;
            ++breaks_found;
        }
    }
    EXPECT_GT(breaks_found, 5'000) << "it finds the breaks of most texts";
}

TEST(LineBreaks, TheFirstWordOfPlainWordsIsTheFirstWord) {
    EXPECT_EQ(FirstWordEnd(u"1337 5|O34|<"), 5U);
    EXPECT_EQ(FirstWordEnd(u"((  |<"), 6U) << "after spaces, no break before a bar";
    EXPECT_EQ(FirstWordEnd(u"4 ! 8"), 4U) << "none before an exclamation mark";
    EXPECT_EQ(FirstWordEnd(u"(( 8 q"), 5U) << "none after an opening bracket and spaces";
    EXPECT_EQ(FirstWordEnd(u"ab\ncd"), 3U);
    EXPECT_EQ(FirstWordEnd(u"\\/\\/0|2"), 7U);
}

}  // namespace
}  // namespace zentrovax
