#include "web/block_layout.h"

#include <string>

#include "output/code_units.h"
#include "output/line_breaks.h"

namespace zentrovax {

using emscripten::val;

namespace {

constexpr int kNewline = '\n';

val TextOf(const val& block) {
    return block["firstChild"];
}

}  // namespace

int LinesOf(const val& block) {
    return val::module_property("lines")(block).as<int>();
}

std::vector<int> BlockStartsOf(const val& block) {
    return emscripten::vecFromJSArray<int>(
        val::module_property("blockStarts")(block, val(kLinesPerBlock)));
}

int LastLineStartOf(const val& block) {
    return val::module_property("lastLineStart")(block).as<int>();
}

bool StartsLine(const val& block, int offset) {
    const val text = TextOf(block);
    const val data = text["data"];
    if (offset <= 0 || offset >= data["length"].as<int>()) {
        return true;
    }
    const int before = data.call<int>("charCodeAt", offset - 1);
    const int at = data.call<int>("charCodeAt", offset);
    if (before == kNewline) {
        return true;
    }
    // A block that began with the newline would show an empty line the paragraph has not.
    if (at == kNewline || GoesOnCharacter(static_cast<char16_t>(at))) {
        return false;
    }
    return val::module_property("startsLineAt")(text, offset).as<bool>();
}

bool FirstWordEndsBefore(const val& block, int offset) {
    return EditKeepsFirstWord(
        TextOf(block)["data"].call<val>("substring", 0, offset).as<std::u16string>(),
        static_cast<std::size_t>(offset));
}

BlockLines Measure(val measure, const val& text, int start, int length) {
    measure["firstChild"].set("data", text.call<val>("substring", start, start + length));
    const val lines = val::module_property("blockLines")(measure, val(kLinesPerBlock));
    return {lines["lines"].as<int>(), emscripten::vecFromJSArray<int>(lines["starts"])};
}

}  // namespace zentrovax
