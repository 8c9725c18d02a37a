#include "qt/cut_marks.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextDocumentLayout>
#include <QStringView>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstddef>

namespace zentrovax {
namespace {

constexpr int kCutProperty = QTextFormat::UserProperty + 1;

}  // namespace

QTextBlockFormat CutFormat() {
    QTextBlockFormat format;
    format.setProperty(kCutProperty, true);
    return format;
}

bool HasCutMark(const QTextBlock& block) {
    return block.blockFormat().hasProperty(kCutProperty);
}

bool FollowsCut(const QTextBlock& block) {
    return block.isValid() && block.position() > 0 && block.userState() != kNewBlock &&
           block.blockFormat().boolProperty(kCutProperty);
}

QString VisibleText(const QTextDocument& document, int from, int to) {
    QString text;
    text.reserve(std::max(0, to - from));
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        // The separator in front of a block that starts inside the range.
        if (block.position() > from && !FollowsCut(block)) {
            text += QLatin1Char('\n');
        }
        const int start = std::max(from, block.position()) - block.position();
        const int end = std::min(to, block.position() + block.length() - 1) - block.position();
        text += QStringView(block.text()).mid(start, end - start);
    }
    return text;
}

QPlainTextDocumentLayout& LayoutOf(const QTextDocument& document) {
    return *qobject_cast<QPlainTextDocumentLayout*>(document.documentLayout());
}

void Relayout(const QTextBlock& block) {
    QTextBlock mutable_block = block;
    mutable_block.clearLayout();
    LayoutOf(*block.document()).ensureBlockLayout(block);
}

void JoinOntoPrevious(const QTextBlock& block) {
    QTextCursor cursor(block);
    cursor.deletePreviousChar();
}

std::vector<int> LineStartsOf(const QTextLayout& layout) {
    std::vector<int> starts(static_cast<std::size_t>(layout.lineCount()));
    for (int line = 0; line < layout.lineCount(); ++line) {
        starts[static_cast<std::size_t>(line)] = layout.lineAt(line).textStart();
    }
    return starts;
}

int LayOutAcrossBreak(const QTextBlock& before, const QTextBlock& after, qreal width,
                      QTextLayout& probe) {
    const QTextLayout* lines = before.layout();
    const QString text = before.text();
    const auto last_line = QStringView(text).mid(lines->lineAt(lines->lineCount() - 1).textStart());
    // Enough of the next block's text to decide: a word cut short only fits where the whole
    // word might.
    QString joined = last_line.toString();
    joined += QStringView(after.text()).left(2 * last_line.size() + 16);
    probe.setText(joined);
    probe.setFont(before.document()->defaultFont());
    probe.setTextOption(before.document()->defaultTextOption());
    probe.beginLayout();
    for (int i = 0; i < 2; ++i) {
        QTextLine line = probe.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width);
    }
    probe.endLayout();
    return static_cast<int>(last_line.size());
}

bool CutHolds(const QTextBlock& before, const QTextBlock& after, qreal width) {
    if (after.length() <= 1) {
        return false;  // an empty block goes on with nothing
    }
    LayoutOf(*before.document()).ensureBlockLayout(before);
    if (before.length() <= 1 || before.layout()->lineCount() == 0) {
        return false;
    }
    // The break holds if the last line, followed by the next block's text, still ends there.
    QTextLayout probe;
    const int last_line = LayOutAcrossBreak(before, after, width, probe);
    return probe.lineCount() > 1 && probe.lineAt(1).textStart() == last_line;
}

}  // namespace zentrovax
