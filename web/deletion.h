// What Backspace and Delete take in the paused output where the browser's own answer will not
// do: one character as the user sees it, and a deletion across a cut, which the browser takes
// for the end of a paragraph.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "web/block_cuts.h"
#include "web/output_selection.h"

namespace zentrovax {

// The character just before or after an offset, as Backspace or Delete takes it.
[[nodiscard]] std::optional<std::pair<int, int>> CharacterBeside(const BlockCuts& blocks, int at,
                                                                 bool before);
// What a deletion of the input type `type` (a character, a word, to a line's end) takes from a
// caret at `at`, measured by the browser from the side of a cut that the deletion goes to.
[[nodiscard]] std::optional<std::pair<int, int>> DeletionAcrossCut(const BlockCuts& blocks,
                                                                   const OutputSelection& selected,
                                                                   int at, const std::string& type);

}  // namespace zentrovax
