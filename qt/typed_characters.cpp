#include "qt/typed_characters.h"

#include <QList>
#include <QStringView>
#include <string_view>

#include "output/typed_text.h"

namespace zentrovax {

std::vector<CharacterCode> CodesOfInputMethod(const QString& commit) {
    return CodesOfUtf16(
        std::u16string_view(QStringView(commit).utf16(), static_cast<std::size_t>(commit.size())));
}

std::vector<CharacterCode> CodesOfKeyPress(int key, Qt::KeyboardModifiers modifiers,
                                           const QString& text) {
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || text.isEmpty()) {
        return {};
    }
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        // X already delivers Ctrl+letter as its control code; other sources send the letter.
        const char32_t first = text.toUcs4().value(0);
        if (first < 0x20 || first == 0x7F) {
            return {CodeOfCharacter(first)};
        }
        if ((modifiers & Qt::ControlModifier) &&
            ((first >= U'a' && first <= U'z') || (first >= U'@' && first <= U'_'))) {
            return {static_cast<CharacterCode>(first & 0x1F)};
        }
        return {};
    }
    return CodesOfInputMethod(text);
}

}  // namespace zentrovax
