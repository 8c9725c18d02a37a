#include "qt/typed_characters.h"

#include <QList>

namespace zentrovax {

std::vector<CharacterCode> CodesOfCommit(const QString& commit) {
    std::vector<CharacterCode> codes;
    for (const char32_t character : commit.toUcs4()) {
        codes.push_back(CodeOfCharacter(character));
    }
    return codes;
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
    return CodesOfCommit(text);
}

}  // namespace zentrovax
