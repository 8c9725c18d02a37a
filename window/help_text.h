// The words of the Help message, and the line that tells a touch user how to begin.
#pragma once

#include <string_view>

namespace zentrovax {

inline constexpr std::string_view kHelpTitle = "How to use Zentrovax";

inline constexpr std::string_view kHelpPrompt =
    "This program allows you to type regularly, yet have your text automatically appear in "
    "leet-speak. This is very useful for anyone who wants to display a long set of characters "
    "in leet, or 1337. However, if you make an error, you can pause the program by pressing the "
    "Pause button and make your corrections, then press Resume to continue speaking in 1337. If "
    "you want to use your text, Pause the program and then select the desired text. Then you "
    "can paste it wherever you wish. Pressing Resume will allow you to continue using the "
    "program after you've done this.";

// A phone opens its keyboard only for a touch, and until then nothing shows what to do.
inline constexpr std::string_view kFirstTouchHint = "Tap here to start typing.";

}  // namespace zentrovax
