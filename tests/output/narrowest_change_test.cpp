#include "output/narrowest_change.h"

#include <gtest/gtest.h>

#include <string>

namespace zentrovax {
namespace {

// The change from `before` to `after`, as "removed>inserted".
template <typename Unit>
std::basic_string<Unit> Told(std::basic_string_view<Unit> before,
                             std::basic_string_view<Unit> after) {
    const SameEnds same = SameEndsOf(before, after);
    std::basic_string<Unit> told(
        before.substr(same.same_start, before.size() - same.same_end - same.same_start));
    told += static_cast<Unit>('>');
    told += after.substr(same.same_start, after.size() - same.same_end - same.same_start);
    return told;
}

TEST(SameEnds, OnlyWhatChangedIsLeftAndARepeatIsToldWhereItEnds) {
    using namespace std::string_view_literals;
    EXPECT_EQ(Told(u"abc\ndef"sv, u"abcxdef"sv), u"\n>x");
    EXPECT_EQ(Told(u"same"sv, u"same"sv), u">");
    EXPECT_EQ(Told(u""sv, u"new"sv), u">new");
    const SameEnds repeat = SameEndsOf(u"aa"sv, u"aaa"sv);
    EXPECT_EQ(repeat.same_start, 2U);
    EXPECT_EQ(repeat.same_end, 0U);
}

TEST(SameEnds, NeverHalfACharacterInEitherEncoding) {
    using namespace std::string_view_literals;
    // Two faces share their first UTF-16 unit, and their first three UTF-8 bytes.
    EXPECT_EQ(Told(u"a\U0001F600b"sv, u"a\U0001F601b"sv), u"\U0001F600>\U0001F601");
    EXPECT_EQ(Told("a\xF0\x9F\x98\x80"sv, "a\xF0\x9F\x98\x81"sv),
              "\xF0\x9F\x98\x80>\xF0\x9F\x98\x81");
    // é and è share their lead byte.
    EXPECT_EQ(Told("x\xC3\xA9y"sv, "x\xC3\xA8y"sv), "\xC3\xA9>\xC3\xA8");
    // Ⅽ and Ⅼ share two of their three bytes at the start, ⅭⅭ and ⅬⅭ a whole Ⅽ at the end.
    EXPECT_EQ(Told("\xE2\x85\xAD\xE2\x85\xAD"sv, "\xE2\x85\xAC\xE2\x85\xAD"sv),
              "\xE2\x85\xAD>\xE2\x85\xAC");
}

}  // namespace
}  // namespace zentrovax
