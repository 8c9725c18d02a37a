// Where a line of the output may break, as far as the repair of cuts must know without asking the
// toolkit's layout: after spaces and newlines, by Unicode's line-breaking rules (UAX #14) for the
// characters the program's pieces and ordinary typing are made of. It errs one way only: a place
// it gives is a break in every engine; it misses some (after "|", in other scripts), which only
// costs a repair a cut it checks for nothing. Text is UTF-16, as the DOM and Qt count it.
#pragma once

#include <cstddef>
#include <string_view>

namespace zentrovax {

// Where the first word of a line that `text` starts ends: the first place at which its line may
// surely break, or the text's length. An edit from there on leaves that word, and so where the
// line before it ends, as it was.
[[nodiscard]] std::size_t FirstWordEnd(std::u16string_view text);

// Whether an edit from `from` on in a block that starts with `text` leaves its first word as it
// was, and so the cut before the block where it was. `text` needs to reach `from` only.
[[nodiscard]] bool EditKeepsFirstWord(std::u16string_view text, std::size_t from);

}  // namespace zentrovax
