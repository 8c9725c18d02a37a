// A keyboard that composes: what it composes shows translated, its commit types it.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/window/fake_toolkit.h"
#include "window/handlers.h"

namespace zentrovax {
namespace {

using testing::FakeToolkit;

std::vector<CharacterCode> Codes(std::string_view text) {
    return {text.begin(), text.end()};
}

// A keyboard that composes, step by step: '~' and the composition as it stands, or '=' and the
// text it commits; after each step, the output's text, what it shows composing and what a screen
// reader heard in that step.
struct CompositionStep {
    char kind;
    std::string_view text;
    std::string_view output;
    std::string_view composing;
    std::string_view heard;
};

TEST(Composition, ShowsTranslatedAsItStandsAndItsCommitTypesIt) {
    const std::vector<std::pair<std::string_view, std::vector<CompositionStep>>> cases = {
        {"a piece at every key, typed once",
         {{'~', "h", "", "||=||", "||=||"},
          {'~', "he", "", "||=||3", "3"},
          {'~', "hel", "", "||=||31", "1"},
          {'=', "hel", "||=||31", "", ""}}},
        {"a correction inside the word",
         {{'~', "wor", "", "\\/\\/0|2", "\\/\\/0|2"},
          {'~', "wo", "", "\\/\\/0", ""},
          {'~', "wi", "", "\\/\\/!", "!"},
          {'=', "wi", "\\/\\/!", "", ""}}},
        {"a suggestion chosen",
         {{'~', "helo", "", "||=||310", "||=||310"}, {'=', "hello", "||=||3110", "", "10"}}},
        {"a piece that grows where it stood",
         {{'~', "n", "", "/\\/", "/\\/"}, {'~', "m", "", "/\\/\\", "/\\/\\"}}},
        {"cancelled", {{'~', "ab", "", "48", "48"}, {'~', "", "", "", ""}}},
        {"characters without a piece",
         {{'~', "A", "", "", ""},
          {'~',
           "A\xC3\xA9"
           "b",
           "", "8", "8"},
          {'=',
           "A\xC3\xA9"
           "b",
           "8", "", ""}}},
        {"a commit with no composition", {{'=', "hi", "||=||!", "", "||=||!"}}},
    };
    for (const auto& [name, steps] : cases) {
        SCOPED_TRACE(name);
        FakeToolkit toolkit;
        OnWindowBuilt(toolkit);
        for (const CompositionStep& step : steps) {
            SCOPED_TRACE(std::string(1, step.kind) + std::string(step.text));
            const std::size_t heard_before = toolkit.Announced().size();
            const std::vector<CharacterCode> codes = Codes(step.text);
            (step.kind == '~' ? OnCaptureComposition : OnCaptureCommit)(toolkit, codes);
            EXPECT_EQ(toolkit.GetText(Box::txtLeet), step.output);
            EXPECT_EQ(toolkit.GetComposingText(Box::txtLeet), step.composing);
            std::string heard;
            for (std::size_t i = heard_before; i < toolkit.Announced().size(); ++i) {
                heard += toolkit.Announced()[i] + "/";
            }
            EXPECT_EQ(heard, step.heard.empty() ? "" : std::string(step.heard) + "/");
        }
    }
}

TEST(Composition, WhenPausedWhileComposingThenNothingOfItStaysOrIsTypedLater) {
    FakeToolkit toolkit;
    OnWindowBuilt(toolkit);
    OnCaptureKeyPress(toolkit, 'a');
    OnCaptureComposition(toolkit, Codes("bc"));
    toolkit.UserScrollsToTop(Box::txtLeet);
    OnPauseClick(toolkit);
    EXPECT_EQ(toolkit.GetComposingText(Box::txtLeet), "");
    // The keyboard ends its composition as the box is disabled.
    OnCaptureCommit(toolkit, Codes("bc"));
    OnCaptureComposition(toolkit, Codes("d"));
    EXPECT_EQ(toolkit.GetText(Box::txtLeet), "4");
    EXPECT_EQ(toolkit.GetComposingText(Box::txtLeet), "");
}

}  // namespace
}  // namespace zentrovax
