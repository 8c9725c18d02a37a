#include "qt/leet_output_box.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <limits>
#include <vector>

#include "qt/accessibility.h"

namespace zentrovax {
namespace {

// Visual lines per block. Small enough that laying out the last block costs next to nothing,
// and far below Qt's 4,096-character text items, at whose edges a paragraph's wrapping could
// differ from that of a block.
constexpr int kLinesPerBlock = 32;
// Characters laid out at once when cutting a paragraph from scratch: a few blocks' worth, and no
// more than one of Qt's text items. Grows where lines are unusually long.
constexpr int kCutWindow = 4096;
// The block state of a block that continues the paragraph of the block before it.
constexpr int kSoftBreak = 1;

QPlainTextDocumentLayout& LayoutOf(const QTextDocument& document) {
    return *qobject_cast<QPlainTextDocumentLayout*>(document.documentLayout());
}

bool IsSoft(const QTextBlock& block) {
    return block.userState() == kSoftBreak;
}

// Keys that only move the caret, select or copy: they leave the text as it is.
bool OnlyReads(const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
            return true;
        default:
            return key.matches(QKeySequence::Copy) || key.matches(QKeySequence::SelectAll);
    }
}

}  // namespace

LeetOutputBox::LeetOutputBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // A scroll bar that came and went would change the wrap width under the soft breaks.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int from, int /*removed*/, int /*added*/) {
                if (!capturing_) {
                    unchanged_prefix_ = std::min(unchanged_prefix_, from);
                }
            });
}

QString LeetOutputBox::Text() const {
    return TextBetween(0, document()->characterCount() - 1);
}

QString LeetOutputBox::TextBetween(int from, int to) const {
    QString text;
    text.reserve(std::max(0, to - from));
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        // The separator in front of a block that starts inside the range.
        if (block.position() > from && !IsSoft(block)) {
            text += QLatin1Char('\n');
        }
        const int start = std::max(from, block.position()) - block.position();
        const int end = std::min(to, block.position() + block.length() - 1) - block.position();
        text += QStringView(block.text()).mid(start, end - start);
    }
    return text;
}

QMimeData* LeetOutputBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    // Qt takes ownership of the returned data.
    auto* mime = new QMimeData;
    mime->setText(TextBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return mime;
}

void LeetOutputBox::SetText(const QString& text) {
    setPlainText(text);
    split_ = false;
    former_cuts_.clear();
    unchanged_prefix_ = 0;
    if (capturing_) {
        SplitFrom(0);
    }
}

void LeetOutputBox::Append(QStringView text) {
    const bool follow = ViewIsAtEnd();
    const bool report = QAccessible::isActive();
    const int at = report ? VisibleLength() : 0;
    {
        const UnseenChange unseen(*this);
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        end.insertText(text.toString());
        if (split_) {
            SplitLastBlock();
        }
    }
    if (report) {
        // One insert of the piece where the user sees it, rather than Qt's, which counts soft
        // breaks and reports each new one as text.
        QAccessibleTextInsertEvent inserted(this, at, text.toString());
        Announce(inserted);
    }
    if (follow) {
        ShowEnd();
    }
}

void LeetOutputBox::SetCapturing(bool capturing) {
    capturing_ = capturing;
    // Switching undo off empties its history: a pause starts with none, and neither appends
    // nor soft breaks ever enter it.
    document()->setUndoRedoEnabled(!capturing);
    if (capturing && !split_) {
        SplitFrom(unchanged_prefix_);
    }
    // Only after cutting: switching read-only lays a whole paragraph out again (0.4 s at 4 MB).
    setReadOnly(capturing);
    if (!capturing) {
        unchanged_prefix_ = std::numeric_limits<int>::max();
    }
}

int LeetOutputBox::BlockCount() const {
    return document()->blockCount();
}

int LeetOutputBox::VisibleOffset(int position) const {
    int soft_breaks = 0;
    for (QTextBlock block = document()->firstBlock();
         block.isValid() && block.position() <= position; block = block.next()) {
        soft_breaks += IsSoft(block) ? 1 : 0;
    }
    return position - soft_breaks;
}

int LeetOutputBox::DocumentPosition(int visible_offset) const {
    // The last block whose text starts at or before the offset holds it.
    int soft_breaks = 0;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        const QTextBlock next = block.next();
        const int next_soft = next.isValid() && IsSoft(next) ? 1 : 0;
        if (!next.isValid() || next.position() - soft_breaks - next_soft > visible_offset) {
            return std::min(visible_offset + soft_breaks, document()->characterCount() - 1);
        }
        soft_breaks += next_soft;
    }
    return 0;
}

int LeetOutputBox::VisibleLength() const {
    return VisibleOffset(document()->characterCount() - 1);
}

bool LeetOutputBox::ViewIsAtEnd() const {
    const QScrollBar* bar = verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void LeetOutputBox::ShowEnd() {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

qreal LeetOutputBox::WrapWidth() const {
    return viewport()->width() - 2 * document()->documentMargin();
}

void LeetOutputBox::SplitLastBlock() {
    const UnseenChange unseen(*this);
    const QPlainTextDocumentLayout& layout = LayoutOf(*document());
    for (QTextBlock last = document()->lastBlock();;) {
        layout.ensureBlockLayout(last);
        const QTextLayout* lines = last.layout();
        if (lines->lineCount() <= kLinesPerBlock) {
            return;
        }
        const int state = last.userState();
        QTextCursor cursor(document());
        cursor.setPosition(last.position() + lines->lineAt(kLinesPerBlock).textStart());
        cursor.insertBlock();
        QTextBlock head = cursor.block().previous();
        head.setUserState(state);
        last = cursor.block();
        last.setUserState(kSoftBreak);
        // Qt only marks split blocks for a later layout, leaving stale line counts and a wrong
        // scroll range until then.
        layout.ensureBlockLayout(head);
    }
}

std::vector<int> LeetOutputBox::CutsOf(const QString& paragraph, int from) const {
    const QTextOption option = document()->defaultTextOption();
    const QFont font = document()->defaultFont();
    const qreal width = WrapWidth();
    std::vector<int> cuts;
    int start = from;
    int window = kCutWindow;
    while (start < paragraph.size()) {
        const int length = std::min<int>(window, static_cast<int>(paragraph.size()) - start);
        const bool truncated = start + length < paragraph.size();
        QTextLayout layout(paragraph.mid(start, length), font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
        }
        layout.endLayout();
        // Where the window was cut short, its last line may end early, and so the line before
        // it may start wrong: only a line followed by another is known to be right.
        const int known_lines = layout.lineCount() - (truncated ? 1 : 0);
        const int first_cut = static_cast<int>(cuts.size());
        for (int line = kLinesPerBlock; line < known_lines; line += kLinesPerBlock) {
            cuts.push_back(start + layout.lineAt(line).textStart());
        }
        if (static_cast<int>(cuts.size()) > first_cut) {
            start = cuts.back();
            window = kCutWindow;
        } else if (truncated) {
            window *= 2;  // lines longer than usual: runs of spaces
        } else {
            break;
        }
    }
    return cuts;
}

void LeetOutputBox::JoinSoftBreaks() {
    const UnseenChange unseen(*this);
    const int top_line = verticalScrollBar()->value();
    std::vector<int> soft_blocks;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        if (IsSoft(block)) {
            soft_blocks.push_back(block.position());
            // Cleared first: a joined block may keep the state of the block joined onto it.
            block.setUserState(-1);
        }
    }
    // Where each break falls in the joined text, for reuse when cutting again.
    former_cuts_.clear();
    for (std::size_t i = 0; i < soft_blocks.size(); ++i) {
        former_cuts_.push_back(soft_blocks[i] - static_cast<int>(i) - 1);
    }
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (auto position = soft_blocks.rbegin(); position != soft_blocks.rend(); ++position) {
        cursor.setPosition(*position);
        cursor.deletePreviousChar();
    }
    cursor.endEditBlock();
    document()->setUndoRedoEnabled(undo);
    split_ = false;
    unchanged_prefix_ = std::numeric_limits<int>::max();
    // The joined paragraphs have as many lines as their blocks had: keep the same top line.
    verticalScrollBar()->setValue(top_line);
}

void LeetOutputBox::SplitFrom(int unchanged_prefix) {
    const UnseenChange unseen(*this);
    const int top_line = verticalScrollBar()->value();
    // Cuts of the last join before the first change still fall where lines start; the last of
    // them could have moved with the change, so cutting starts over from there.
    std::vector<int> cuts;
    for (std::size_t i = 0; i + 1 < former_cuts_.size(); ++i) {
        if (former_cuts_[i + 1] > unchanged_prefix) {
            break;
        }
        cuts.push_back(former_cuts_[i]);
    }
    const int resume_at = cuts.empty() ? 0 : cuts.back();
    for (QTextBlock block = document()->findBlock(resume_at); block.isValid();
         block = block.next()) {
        const int from = std::max(0, resume_at - block.position());
        for (const int cut : CutsOf(block.text(), from)) {
            cuts.push_back(block.position() + cut);
        }
    }
    former_cuts_.clear();

    // In ascending order: splitting off the front of a long block is cheap, splitting off its
    // end is not (7 ms against 270 ms for 2,600 cuts of 4 MB).
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        cursor.setPosition(cuts[i] + static_cast<int>(i));
        cursor.insertBlock();
    }
    cursor.endEditBlock();
    // Now each cut block holds exactly kLinesPerBlock lines; telling Qt so spares laying the
    // whole text out just to learn the scroll range.
    QPlainTextDocumentLayout& layout = LayoutOf(*document());
    std::size_t next_cut = 0;
    // Whether `block` starts at the next cut; each break inserted moved later cuts on by one.
    const auto starts_next_cut = [&](const QTextBlock& block) {
        return block.isValid() && next_cut < cuts.size() &&
               block.position() == cuts[next_cut] + static_cast<int>(next_cut) + 1;
    };
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        if (starts_next_cut(block)) {
            block.setUserState(kSoftBreak);
            ++next_cut;
        } else if (IsSoft(block)) {
            block.setUserState(-1);
        }
        if (block.layout()->lineCount() == 0) {
            if (starts_next_cut(block.next())) {
                block.setLineCount(kLinesPerBlock);
            } else {
                layout.ensureBlockLayout(block);
            }
        }
    }
    emit layout.documentSizeChanged(layout.documentSize());
    split_ = true;
    split_width_ = viewport()->width();
    split_font_ = font();
    verticalScrollBar()->setValue(top_line);
}

bool LeetOutputBox::MayEdit(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
            return !OnlyReads(static_cast<const QKeyEvent&>(event));
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            return true;
        case QEvent::MouseButtonRelease:
            return static_cast<const QMouseEvent&>(event).button() == Qt::MiddleButton;
        default:
            return false;
    }
}

void LeetOutputBox::JoinBeforeEdit(const QEvent& event) {
    if (split_ && !capturing_ && MayEdit(event)) {
        JoinSoftBreaks();
    }
}

bool LeetOutputBox::event(QEvent* event) {
    JoinBeforeEdit(*event);
    return QPlainTextEdit::event(event);
}

bool LeetOutputBox::viewportEvent(QEvent* event) {
    JoinBeforeEdit(*event);
    return QPlainTextEdit::viewportEvent(event);
}

void LeetOutputBox::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    RecutIfLayoutChanged();
}

void LeetOutputBox::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        RecutIfLayoutChanged();
    }
}

void LeetOutputBox::RecutIfLayoutChanged() {
    // Soft breaks cut for another width or font would show as forced line breaks.
    if (!split_ || (split_width_ == viewport()->width() && split_font_ == font())) {
        return;
    }
    JoinSoftBreaks();
    former_cuts_.clear();
    if (capturing_) {
        SplitFrom(0);
    }
}

}  // namespace zentrovax
