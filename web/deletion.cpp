#include "web/deletion.h"

#include <algorithm>

#include "output/code_units.h"

namespace zentrovax {

using emscripten::val;

namespace {

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

std::optional<std::pair<int, int>> DeletionAcrossCut(const BlockCuts& blocks,
                                                     const OutputSelection& selected, int at,
                                                     const std::string& type) {
    const bool backward = Has(type, "Backward");
    if (backward ? at == 0 : at == blocks.Length()) {
        return std::nullopt;  // the start or the end of the whole text
    }
    const BlockCuts::Place place = blocks.Locate(at, !backward);
    // The browser measures a word or a line from the side of the cut the deletion goes to.
    const char* unit = Has(type, "Word")   ? "word"
                       : Has(type, "Line") ? "lineboundary"
                                           : "character";
    val selection = val::global("window").call<val>("getSelection");
    selection.call<void>("collapse", blocks.TextNode(place.block), place.offset);
    selection.call<void>("modify", val("extend"), val(backward ? "backward" : "forward"),
                         val(unit));
    const auto range = selected.Range();
    if (!range || range->first == range->second) {
        return std::nullopt;
    }
    return range;
}

std::optional<std::pair<int, int>> CharacterBeside(const BlockCuts& blocks, int at, bool before) {
    // One character as the user sees it (page.js), which may be several code points.
    constexpr int kNear = 32;
    const int from = std::max(0, at - kNear);
    const val text = blocks.Text(from, std::min(blocks.Length(), at + kNear));
    const val found = val::module_property("characterBoundary")(text, val(at - from), val(before));
    int boundary = at - from;
    if (!found.isNull()) {
        boundary = found.as<int>();
    } else {
        // A code point, never half of one.
        const auto units = text.as<std::u16string>();
        const auto size = static_cast<int>(units.size());
        const auto goes_on = [&units](int i) {
            return GoesOnCharacter(units[static_cast<std::size_t>(i)]);
        };
        if (before && boundary > 0) {
            for (--boundary; boundary > 0 && goes_on(boundary); --boundary) {
            }
        } else if (!before && boundary < size) {
            for (++boundary; boundary < size && goes_on(boundary); ++boundary) {
            }
        }
    }
    if (from + boundary == at) {
        return std::nullopt;
    }
    return std::pair{std::min(at, from + boundary), std::max(at, from + boundary)};
}

}  // namespace zentrovax
