#include "qt/leet_output_box.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <vector>

#include "output/cut_plan.h"
#include "qt/cut_marks.h"

namespace zentrovax {
LeetOutputBox::LeetOutputBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // A scroll bar that came and went would change the wrap width under the cuts.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    Adopt(document()->firstBlock());
    connect(document(), &QTextDocument::contentsChange, this, &LeetOutputBox::OnContentsChange);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &LeetOutputBox::AnnounceCaret);
    connect(this, &QPlainTextEdit::selectionChanged, this, &LeetOutputBox::AnnounceSelection);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (unseen_changes_ == 0) {
            RepairStale(StaleRepair::kInView);
        }
    });
    stale_slices_.setSingleShot(true);
    stale_slices_.setInterval(0);
    connect(&stale_slices_, &QTimer::timeout, this, [this] { RepairStale(StaleRepair::kSlice); });
}

QString LeetOutputBox::Text() const {
    return TextBetween(0, document()->characterCount() - 1);
}

QString LeetOutputBox::TextBetween(int from, int to) const {
    return VisibleText(*document(), from, to);
}

QMimeData* LeetOutputBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    // Qt takes ownership of the returned data.
    auto* mime = new QMimeData;
    mime->setText(TextBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return mime;
}

void LeetOutputBox::SetText(const QString& text) {
    {
        const UnseenChange unseen(*this);
        setPlainText(text);
    }
    history_.Clear();
    CutAll();
}

void LeetOutputBox::Append(QStringView text) {
    // The view stays where it was, as the user left it; following the end is the caller's.
    const int top_line = verticalScrollBar()->value();
    const bool report = Listened();
    const int at = report ? VisibleLength() : 0;
    {
        const UnseenChange unseen(*this);
        if (!composing_.isEmpty()) {
            document()->lastBlock().layout()->setPreeditArea(-1, {});
        }
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        const QTextBlock last = end.block();
        end.insertText(text.toString());
        cuts_.AdoptNewBlocks(last, end.position(), true, [] {});
        cuts_.CutLastBlock();
    }
    if (report) {
        // One insert of the piece where the user sees it, rather than Qt's, which counts cuts
        // and reports each new one as text.
        listener_->TextChanged(*this, at, {}, text.toString());
    }
    verticalScrollBar()->setValue(top_line);
    if (!composing_.isEmpty()) {
        ShowComposing();  // after the text, in what may be a new last block
    }
}

void LeetOutputBox::SetComposing(const QString& text) {
    if (text != composing_) {
        composing_ = text;
        ShowComposing();
    }
}

void LeetOutputBox::ShowComposing() {
    const UnseenChange unseen(*this);
    const int top_line = verticalScrollBar()->value();
    const QTextBlock last = document()->lastBlock();
    QTextLayout* layout = last.layout();
    const int at = last.length() - 1;
    layout->setPreeditArea(at, composing_);
    QTextCharFormat underlined;
    underlined.setFontUnderline(true);
    layout->setFormats(composing_.isEmpty()
                           ? QList<QTextLayout::FormatRange>{}
                           : QList<QTextLayout::FormatRange>{
                                 {at, static_cast<int>(composing_.size()), underlined}});
    document()->markContentsDirty(last.position(), last.length());
    verticalScrollBar()->setValue(top_line);
}

void LeetOutputBox::SetEditable(bool editable) {
    FinishUserEdit();
    editable_ = editable;
    // Switching undo off empties its history: a pause starts with none, and neither appends
    // nor cuts ever enter it.
    document()->setUndoRedoEnabled(editable);
    history_.Clear();
    // Appends only touch the last block, so capturing can start while cuts further up are
    // stale: the lines in view are repaired at once, the rest in slices while the loop is idle
    // (all of it at once, if that takes no longer than a slice).
    stale_slices_.stop();
    RepairStale(StaleRepair::kInView);
    RepairStale(StaleRepair::kSlice);
    setReadOnly(!editable);
    heard_.Stop();
    if (editable && Listened()) {
        heard_.Start(Text());
    }
}

int LeetOutputBox::BlockCount() const {
    return document()->blockCount();
}

void LeetOutputBox::Adopt(const QTextBlock& block) {
    QTextBlock adopted = block;
    adopted.setUserState(kKnownBlock);
    // Unlike a change of format, a change of state tells nobody.
    offsets_.Forget(block.blockNumber());
}

int LeetOutputBox::VisibleOffset(int position) const {
    return offsets_.Of(position);
}

int LeetOutputBox::DocumentPosition(int visible_offset) const {
    return offsets_.PositionOf(visible_offset);
}

int LeetOutputBox::VisibleLength() const {
    return offsets_.Length();
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

void LeetOutputBox::CutAll() {
    const UnseenChange unseen(*this);
    const int top_line = verticalScrollBar()->value();
    cuts_.CutAll();
    QPlainTextDocumentLayout& layout = LayoutOf(*document());
    emit layout.documentSizeChanged(layout.documentSize());
    cut_width_ = viewport()->width();
    cut_font_ = font();
    verticalScrollBar()->setValue(top_line);
}

void LeetOutputBox::OnContentsChange(int position, int removed, int added) {
    offsets_.Forget(document()->findBlock(position).blockNumber());
    // Undoing a step of cutting is unseen, but brings blocks back to adopt.
    if (!editable_ || (unseen_changes_ > 0 && !in_undo_)) {
        return;
    }
    if (in_undo_) {
        // The blocks an undo brings back are what they were, cuts too: settled at once,
        // the text reported is the text that stays.
        cuts_.AdoptNewBlocks(document()->findBlock(position), position + added, false, [] {});
    }
    AnnounceChange(position, added);
    pending_edit_.Add(position, removed, added, !in_undo_);
    if (event_depth_ == 0 && !in_undo_) {
        // An edit outside any event the box handles (a script, a screen reader): finished once
        // control returns to the event loop.
        QMetaObject::invokeMethod(this, &LeetOutputBox::FinishUserEdit, Qt::QueuedConnection);
    }
}

void LeetOutputBox::FinishUserEdit() {
    const std::optional<PendingEdit::Range> pending = pending_edit_.Take();
    if (!pending) {
        return;
    }
    const int from = std::min(pending->from, document()->characterCount() - 1);
    const int to = std::min(pending->to, document()->characterCount() - 1);
    const bool made_by_user = pending->is_new;
    const int removed = pending->removed;
    // What finishing sends the box itself (Qt asks it about the input method once the caret or
    // the view moved) belongs to the edit's event: it must not take the edit's starting height
    // and kind for a new event's, or the step would be lost.
    const QScopedValueRollback depth(event_depth_, event_depth_ + 1);

    const UnseenChange unseen(*this);
    const int height_after_edit = document()->availableUndoSteps();
    CutsEdit edit(*document(), *verticalScrollBar());
    const auto open_edit = [&edit] { edit.Open(); };
    if (made_by_user) {
        const QTextBlock first = document()->findBlock(from);
        cuts_.AdoptNewBlocks(first.previous().isValid() ? first.previous() : first, to, true,
                             open_edit);
        if (cuts_.KeepBreakAt(from, open_edit)) {
            // The user saw Qt's edit turn the break into the other kind for a moment.
            AnnounceChange(from, 0);
        }
    } else {
        // Undo and redo may bring blocks back anywhere between the edits they take back.
        cuts_.AdoptNewBlocks(document()->firstBlock(), document()->characterCount(), false,
                             open_edit);
    }
    // In the user's offsets, which the cuts leave as they are.
    const int visible_from = made_by_user ? VisibleOffset(from) : 0;
    const int visible_to = made_by_user ? VisibleOffset(to) : 0;
    if (made_by_user) {
        // Undo and redo bring the blocks back as they were; anything cut now would end the redo
        // history.
        cuts_.Repair(from, to, LastVisibleBlock().blockNumber(), open_edit);
    }
    edit.Close();
    PlaceCaret(CaretLanding::Move::kOther, 0);
    if (made_by_user && document()->isUndoRedoEnabled()) {
        history_.Record(visible_from, visible_to, removed, height_after_edit,
                        VisibleOffset(textCursor().position()));
    } else if (!made_by_user) {
        // The text brought back may wrap differently from what lies around it.
        const QTextBlock first = document()->findBlock(from);
        if (first.previous().isValid()) {
            cuts_.MarkStale(first.previous().blockNumber());
        }
        cuts_.MarkStaleAt(from);
        cuts_.MarkStaleAt(to);
    }
    history_.ForgetKey();
    RepairStale(StaleRepair::kInView);
}

void LeetOutputBox::AnnounceChange(int position, int added) {
    if (!heard_.Active()) {
        return;
    }
    // The change may have come in an edit block that is still open, which tells of it only later.
    const QTextBlock block = document()->findBlock(position);
    offsets_.Forget(block.blockNumber());
    // A change at a block's start may have changed the kind of break before it as well.
    const int from = block.position() == position && position > 0 ? position - 1 : position;
    const std::optional<HeardText::Change> change = heard_.Replace(
        VisibleOffset(from),
        TextBetween(from, std::min(position + added, document()->characterCount() - 1)),
        VisibleLength());
    if (change && Listened()) {
        listener_->TextChanged(*this, change->at, change->removed, change->inserted);
    }
}

void LeetOutputBox::AnnounceCaret() {
    if (unseen_changes_ == 0 && Listened()) {
        listener_->CaretMoved(*this, VisibleOffset(textCursor().position()));
    }
}

void LeetOutputBox::AnnounceSelection() {
    if (unseen_changes_ == 0 && Listened()) {
        const QTextCursor cursor = textCursor();
        listener_->SelectionChanged(*this, VisibleOffset(cursor.selectionStart()),
                                    VisibleOffset(cursor.selectionEnd()),
                                    VisibleOffset(cursor.position()));
    }
}

QTextBlock LeetOutputBox::LastVisibleBlock() const {
    QTextBlock block = firstVisibleBlock();
    const QPointF offset = contentOffset();
    while (block.next().isValid() &&
           blockBoundingGeometry(block).translated(offset).bottom() < viewport()->height()) {
        block = block.next();
    }
    return block;
}

void LeetOutputBox::RepairStale(StaleRepair how) {
    const std::optional<int> stale = cuts_.FirstStale();
    if (!stale || (how == StaleRepair::kSlice && !RepairsWhileIdle(editable_, true))) {
        return;
    }
    const int last_in_view = LastVisibleBlock().blockNumber();
    if (how == StaleRepair::kInView) {
        if (*stale > last_in_view) {
            return;
        }
        // The cuts become part of the last step in the undo history, if they may.
        if (editable_ && !history_.TakesCuts()) {
            return;
        }
    }
    const UnseenChange unseen(*this);
    const int height_before = document()->availableUndoSteps();
    CutsEdit edit(*document(), *verticalScrollBar());
    cuts_.RepairStale(
        how == StaleRepair::kInView ? RepairLimit::InView(last_in_view) : RepairLimit::Slice(),
        [&edit] { edit.Open(); });
    if (edit.Close() && document()->isUndoRedoEnabled()) {
        history_.ExtendLast(height_before);
    }
    if (cuts_.FirstStale() && RepairsWhileIdle(editable_, true)) {
        stale_slices_.start();
    }
}

template <typename Handle>
bool LeetOutputBox::HandleEvent(Handle handle) {
    const bool outermost = event_depth_ == 0;
    if (outermost) {
        BeforeEvent();
    }
    bool handled = false;
    {
        const QScopedValueRollback depth(event_depth_, event_depth_ + 1);
        handled = handle();
    }
    if (outermost) {
        FinishUserEdit();
        // Qt scrolls to the caret without a word to the scroll bar's listeners.
        RepairStale(StaleRepair::kInView);
    }
    return handled;
}

bool LeetOutputBox::event(QEvent* event) {
    return HandleEvent([&] { return QPlainTextEdit::event(event); });
}

bool LeetOutputBox::viewportEvent(QEvent* event) {
    return HandleEvent([&] { return QPlainTextEdit::viewportEvent(event); });
}

void LeetOutputBox::BeforeEvent() {
    history_.BeforeEvent();
    const QTextCursor cursor = textCursor();
    cuts_.BeforeEditOfSelection(editable_ && cursor.hasSelection() ? cursor.selectionStart() : -1);
}

void LeetOutputBox::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    CutAgainIfLayoutChanged();
}

void LeetOutputBox::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        CutAgainIfLayoutChanged();
    }
}

void LeetOutputBox::CutAgainIfLayoutChanged() {
    // Cuts made for another width or font would show as forced line breaks.
    if (cut_width_ == viewport()->width() && cut_font_ == font()) {
        return;
    }
    FinishUserEdit();
    // Neither the joining nor the cutting is the user's to undo; the history cannot survive
    // them, as every position in it would move.
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    {
        const UnseenChange unseen(*this);
        cuts_.JoinAll();
    }
    CutAll();
    document()->setUndoRedoEnabled(undo);
    history_.Clear();
}

}  // namespace zentrovax
