#include "web/block_layout.h"

namespace zentrovax {

using emscripten::val;

namespace {

constexpr int kNewline = '\n';
constexpr int kLowSurrogateFirst = 0xDC00;
constexpr int kLowSurrogateLast = 0xDFFF;

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
    if (at == kNewline || (at >= kLowSurrogateFirst && at <= kLowSurrogateLast)) {
        return false;
    }
    return val::module_property("startsLineAt")(text, offset).as<bool>();
}

bool FirstWordEndsBefore(const val& block, int offset) {
    // Lines break after spaces and newlines (and elsewhere, before them, in some scripts).
    const val data = TextOf(block)["data"];
    return offset > 0 && (data.call<int>("lastIndexOf", val(" "), offset - 1) >= 0 ||
                          data.call<int>("lastIndexOf", val("\n"), offset - 1) >= 0);
}

BlockLines Measure(val measure, const val& text, int start, int length) {
    measure["firstChild"].set("data", text.call<val>("substring", start, start + length));
    const val lines = val::module_property("blockLines")(measure, val(kLinesPerBlock));
    return {lines["lines"].as<int>(), emscripten::vecFromJSArray<int>(lines["starts"])};
}

}  // namespace zentrovax
