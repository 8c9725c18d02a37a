#include "qt/leet_output_box.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <memory>
#include <vector>

#include "output/cut_plan.h"
#include "qt/soft_breaks.h"

namespace zentrovax {
namespace {

// Blocks past the view (or past an edit below it) whose cuts an edit puts right at once.
constexpr int kBlocksCutAheadOfView = 3;
// How long one slice of repairing the stale part may take while capturing: well inside a frame,
// so that typing and painting go on between slices.
constexpr int kSliceMilliseconds = 4;
bool DeletesBackward(const QKeyEvent& key) {
    return key.matches(QKeySequence::DeleteStartOfWord) ||
           (key.key() == Qt::Key_Backspace && (key.modifiers() & ~Qt::ShiftModifier) == 0);
}

}  // namespace

class LeetOutputBox::CutsEdit {
  public:
    explicit CutsEdit(LeetOutputBox& box)
        : box_(box), cursor_(box.document()), top_line_(box.verticalScrollBar()->value()) {}
    CutsEdit(const CutsEdit&) = delete;
    CutsEdit& operator=(const CutsEdit&) = delete;
    CutsEdit(CutsEdit&&) = delete;
    CutsEdit& operator=(CutsEdit&&) = delete;
    ~CutsEdit() { Close(); }

    void Open() {
        if (!open_) {
            cursor_.beginEditBlock();
            open_ = true;
        }
    }
    // Returns whether anything was changed. The cuts leave as many lines before the view as
    // there were: it keeps the same top line.
    bool Close() {
        if (!open_) {
            return false;
        }
        open_ = false;
        cursor_.endEditBlock();
        QPlainTextDocumentLayout& layout = LayoutOf(*box_.document());
        emit layout.documentSizeChanged(layout.documentSize());
        box_.verticalScrollBar()->setValue(top_line_);
        return true;
    }

  private:
    LeetOutputBox& box_;
    QTextCursor cursor_;
    int top_line_;
    bool open_ = false;
};

LeetOutputBox::LeetOutputBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // A scroll bar that came and went would change the wrap width under the soft breaks.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    Settle(document()->firstBlock());
    connect(document(), &QTextDocument::contentsChange, this, &LeetOutputBox::OnContentsChange);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &LeetOutputBox::AnnounceCaret);
    connect(this, &QPlainTextEdit::selectionChanged, this, &LeetOutputBox::AnnounceSelection);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (unseen_changes_ == 0) {
            RepairStaleCuts(StaleRepair::kInView);
        }
    });
    stale_slices_.setSingleShot(true);
    stale_slices_.setInterval(0);
    connect(&stale_slices_, &QTimer::timeout, this,
            [this] { RepairStaleCuts(StaleRepair::kSlice); });
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
        if (block.position() > from && !IsSoftBreak(block)) {
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
    {
        const UnseenChange unseen(*this);
        setPlainText(text);
    }
    undo_steps_.Clear();
    CutAll();
}

void LeetOutputBox::Append(QStringView text) {
    const bool follow = ViewIsAtEnd();
    const bool report = Listened();
    const int at = report ? VisibleLength() : 0;
    {
        const UnseenChange unseen(*this);
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        const QTextBlock last = end.block();
        end.insertText(text.toString());
        cuts_.SettleNewBlocks(last, end.position(), true, [] {});
        cuts_.CutLastBlock();
    }
    if (report) {
        // One insert of the piece where the user sees it, rather than Qt's, which counts soft
        // breaks and reports each new one as text.
        listener_->TextChanged(*this, at, {}, text.toString());
    }
    if (follow) {
        ShowEnd();
    }
}

void LeetOutputBox::SetCapturing(bool capturing) {
    SettleUserEdit();
    capturing_ = capturing;
    // Switching undo off empties its history: a pause starts with none, and neither appends
    // nor soft breaks ever enter it.
    document()->setUndoRedoEnabled(!capturing);
    undo_steps_.Clear();
    // Appends only touch the last block, so capturing can start while cuts further up are
    // stale: the lines in view are repaired at once, the rest in slices while the loop is idle
    // (all of it at once, if that takes no longer than a slice).
    stale_slices_.stop();
    RepairStaleCuts(StaleRepair::kInView);
    RepairStaleCuts(StaleRepair::kSlice);
    setReadOnly(capturing);
    heard_text_.reset();
    if (!capturing && Listened()) {
        heard_text_ = Text();
    }
}

int LeetOutputBox::BlockCount() const {
    return document()->blockCount();
}

void LeetOutputBox::Settle(const QTextBlock& block) {
    QTextBlock settled = block;
    settled.setUserState(kSettledBlock);
    // Unlike a change of format, a change of state tells nobody.
    offsets_.Forget(block.blockNumber());
}

const OffsetMap& LeetOutputBox::OffsetsUpTo(int block_number) const {
    for (QTextBlock block = document()->findBlockByNumber(offsets_.Known());
         block.isValid() && block.blockNumber() <= block_number; block = block.next()) {
        offsets_.Add(block.position(), IsSoftBreak(block));
    }
    return offsets_;
}

int LeetOutputBox::VisibleOffset(int position) const {
    const int block = document()->findBlock(position).blockNumber();
    return OffsetsUpTo(block).VisibleOffset(block, position);
}

int LeetOutputBox::DocumentPosition(int visible_offset) const {
    return OffsetsUpTo(document()->blockCount() - 1)
        .DocumentPosition(visible_offset, document()->characterCount() - 1);
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
    // Undoing a step of cutting is unseen, but brings blocks back that need settling.
    if (capturing_ || (unseen_changes_ > 0 && !in_undo_)) {
        return;
    }
    if (in_undo_) {
        // The blocks an undo brings back are what they were, soft breaks too: settled at once,
        // the text reported is the text that stays.
        cuts_.SettleNewBlocks(document()->findBlock(position), position + added, false, [] {});
    }
    AnnounceChange(position, added);
    pending_edit_.Add(position, removed, added, !in_undo_);
    if (event_depth_ == 0 && !in_undo_) {
        // An edit outside any event the box handles (a script, a screen reader): settled once
        // control returns to the event loop.
        QMetaObject::invokeMethod(this, &LeetOutputBox::SettleUserEdit, Qt::QueuedConnection);
    }
}

void LeetOutputBox::SettleUserEdit() {
    const std::optional<PendingEdit::Range> pending = pending_edit_.Take();
    if (!pending) {
        return;
    }
    const int from = std::min(pending->from, document()->characterCount() - 1);
    const int to = std::min(pending->to, document()->characterCount() - 1);
    const bool made_by_user = pending->is_new;
    const int removed = pending->removed;
    // What settling sends the box itself (Qt asks it about the input method once the caret or
    // the view moved) belongs to the edit's event: it must not take the edit's starting height
    // and kind for a new event's, or the step would be lost.
    const QScopedValueRollback depth(event_depth_, event_depth_ + 1);

    const UnseenChange unseen(*this);
    const int height_after_edit = document()->availableUndoSteps();
    CutsEdit edit(*this);
    const auto open_edit = [&edit] { edit.Open(); };
    if (made_by_user) {
        const QTextBlock first = document()->findBlock(from);
        cuts_.SettleNewBlocks(first.previous().isValid() ? first.previous() : first, to, true,
                              open_edit);
        if (selection_block_start_ == from) {
            const QTextBlock block = document()->findBlock(from);
            if (block.position() == from && IsSoftBreak(block) != selection_block_soft_) {
                edit.Open();
                QTextCursor(block).setBlockFormat(selection_block_soft_ ? SoftBreakFormat()
                                                                        : QTextBlockFormat());
                // The user saw Qt's edit turn the break into the other kind for a moment.
                AnnounceChange(from, 0);
            }
        }
        selection_block_start_ = -1;
    } else {
        // Undo and redo may bring blocks back anywhere between the edits they take back.
        cuts_.SettleNewBlocks(document()->firstBlock(), document()->characterCount(), false,
                              open_edit);
    }
    // In the user's offsets, which the cuts leave as they are.
    const int visible_from = made_by_user ? VisibleOffset(from) : 0;
    const int visible_to = made_by_user ? VisibleOffset(to) : 0;
    if (made_by_user) {
        // Undo and redo bring the blocks back as they were; anything cut now would end the redo
        // history.
        RepairCuts(from, to, edit, true);
    }
    edit.Close();
    PlaceCaret(CaretLanding::Move::kOther, 0);
    if (made_by_user && document()->isUndoRedoEnabled()) {
        RecordUserEdit(visible_from, visible_to, removed, height_after_edit);
    } else if (!made_by_user) {
        // The text brought back may wrap differently from what follows it.
        cuts_.MarkStale(from);
    }
    edit_kind_ = UndoSteps::Kind::kOther;
    RepairStaleCuts(StaleRepair::kInView);
}

void LeetOutputBox::AnnounceChange(int position, int added) {
    if (!heard_text_) {
        return;
    }
    // The change may have come in an edit block that is still open, which tells of it only later.
    const QTextBlock block = document()->findBlock(position);
    offsets_.Forget(block.blockNumber());
    // A change at a block's start may have changed the kind of break before it as well.
    const int from = block.position() == position && position > 0 ? position - 1 : position;
    const int offset = VisibleOffset(from);
    QString inserted =
        TextBetween(from, std::min(position + added, document()->characterCount() - 1));
    const qsizetype removed_length =
        std::max<qsizetype>(0, heard_text_->size() - VisibleLength() + inserted.size());
    QString removed = heard_text_->mid(offset, removed_length);
    heard_text_->replace(offset, removed_length, inserted);
    // Only what the user sees change: a break may have stayed what it was, and a change of a
    // block's format leaves its text as it was. Never half a character, though.
    qsizetype same_end = 0;
    while (same_end < std::min(removed.size(), inserted.size()) &&
           removed[removed.size() - 1 - same_end] == inserted[inserted.size() - 1 - same_end]) {
        ++same_end;
    }
    if (same_end > 0 && removed[removed.size() - same_end].isLowSurrogate()) {
        --same_end;
    }
    removed.chop(same_end);
    inserted.chop(same_end);
    qsizetype same_start = 0;
    while (same_start < std::min(removed.size(), inserted.size()) &&
           removed[same_start] == inserted[same_start]) {
        ++same_start;
    }
    if (same_start > 0 && removed[same_start - 1].isHighSurrogate()) {
        --same_start;
    }
    removed.remove(0, same_start);
    inserted.remove(0, same_start);
    const int at = offset + static_cast<int>(same_start);
    if (removed.isEmpty() && inserted.isEmpty()) {
        return;
    }
    if (Listened()) {
        listener_->TextChanged(*this, at, removed, inserted);
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

void LeetOutputBox::RecordUserEdit(int from, int to, int removed, int height_after_edit) {
    UndoSteps::Step step;
    step.below = height_at_event_;
    step.above = document()->availableUndoSteps();
    step.kind = edit_kind_;
    step.offset = from;
    // Delete and Backspace without a selection never take a soft break with them.
    step.length = edit_kind_ == UndoSteps::Kind::kDeletion ? std::max(0, removed) : to - from;
    step.caret_after = VisibleOffset(textCursor().position());
    undo_steps_.Record(step, height_after_edit);
}

void LeetOutputBox::RepairCuts(int from, int to, CutsEdit& edit, bool bounded,
                               const QDeadlineTimer* deadline) {
    // Where text that repeats, or has no spaces, would keep every later cut moving: past this,
    // the rest waits until it comes into view or capturing resumes.
    int limit = document()->characterCount() - 1;
    if (bounded) {
        QTextBlock last_seen = LastVisibleBlock();
        if (last_seen.position() < to) {
            last_seen = document()->findBlock(to);
        }
        for (int i = 0; i < kBlocksCutAheadOfView && last_seen.next().isValid(); ++i) {
            last_seen = last_seen.next();
        }
        limit = last_seen.position();
    }
    cuts_.Repair(from, to, limit, deadline, [&edit] { edit.Open(); });
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

void LeetOutputBox::RepairStaleCuts(StaleRepair how) {
    const std::optional<int> stale = cuts_.StaleFrom();
    if (!stale || (how == StaleRepair::kSlice && !capturing_)) {
        return;
    }
    const int from = *stale;
    if (how == StaleRepair::kInView) {
        if (from > LastVisibleBlock().position() + LastVisibleBlock().length()) {
            return;
        }
        // The cuts become part of the last step in the undo history; with steps to redo above
        // it, they would end the redo history, so they wait.
        const int height = document()->availableUndoSteps();
        if (!capturing_ &&
            (document()->isRedoAvailable() || undo_steps_.EndingAt(height) == nullptr)) {
            return;
        }
    }
    const UnseenChange unseen(*this);
    const int height_before = document()->availableUndoSteps();
    CutsEdit edit(*this);
    const QDeadlineTimer deadline(kSliceMilliseconds);
    RepairCuts(from, from, edit, how == StaleRepair::kInView,
               how == StaleRepair::kSlice ? &deadline : nullptr);
    if (edit.Close() && document()->isUndoRedoEnabled()) {
        undo_steps_.ExtendLast(height_before, document()->availableUndoSteps());
    }
    if (cuts_.StaleFrom() && capturing_) {
        stale_slices_.start();
    }
}

void LeetOutputBox::PlaceCaret(CaretLanding::Move move, qreal x) {
    if (const auto placed = Landing().Place(textCursor(), move, x)) {
        setTextCursor(*placed);
    }
}

void LeetOutputBox::Undo() {
    SettleUserEdit();
    const int height = document()->availableUndoSteps();
    const UndoSteps::Step* found = undo_steps_.EndingAt(height);
    const UndoSteps::Step step = found != nullptr ? *found : UndoSteps::Step{};
    const int target = found != nullptr ? step.below : height - 1;
    undo_steps_.Close();
    QTextCursor cursor = textCursor();
    {
        const QScopedValueRollback undoing(in_undo_, true);
        // The cuts first, then the user's edits: Qt leaves the caret where the last one undone
        // was.
        while (document()->availableUndoSteps() > target && document()->isUndoAvailable()) {
            document()->undo(&cursor);
        }
    }
    setTextCursor(cursor);
    SettleUserEdit();
    if (found != nullptr && step.kind == UndoSteps::Kind::kDeletion) {
        // After the whole run of deletions, as Qt leaves it when the run is one step.
        cursor.setPosition(DocumentPosition(step.offset + step.length));
        setTextCursor(cursor);
    }
}

void LeetOutputBox::Redo() {
    SettleUserEdit();
    const UndoSteps::Step* found = undo_steps_.StartingAt(document()->availableUndoSteps());
    if (found == nullptr) {
        return;
    }
    const UndoSteps::Step step = *found;
    undo_steps_.Close();
    QTextCursor cursor = textCursor();
    {
        const QScopedValueRollback redoing(in_undo_, true);
        while (document()->availableUndoSteps() < step.above && document()->isRedoAvailable()) {
            document()->redo(&cursor);
        }
    }
    SettleUserEdit();
    // Redoing the cuts would leave the caret at the last of them.
    cursor.setPosition(DocumentPosition(step.caret_after));
    setTextCursor(cursor);
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
        SettleUserEdit();
        // Qt scrolls to the caret without a word to the scroll bar's listeners.
        RepairStaleCuts(StaleRepair::kInView);
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
    height_at_event_ = document()->availableUndoSteps();
    edit_kind_ = UndoSteps::Kind::kOther;
    // Qt removes the block a selection starts at the very start of, keeping the kind of break
    // of the block the selection ends in; remembered to put the first one's back.
    selection_block_start_ = -1;
    const QTextCursor cursor = textCursor();
    if (!capturing_ && cursor.hasSelection()) {
        const QTextBlock block = document()->findBlock(cursor.selectionStart());
        if (block.position() == cursor.selectionStart() && block.position() > 0) {
            selection_block_start_ = block.position();
            selection_block_soft_ = IsSoftBreak(block);
        }
    }
}

void LeetOutputBox::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    // Qt's own undo would take back the box's cuts as if they were edits.
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-undo")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &LeetOutputBox::Undo);
        } else if (action->objectName() == QLatin1String("edit-redo")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &LeetOutputBox::Redo);
        }
    }
    menu->exec(event->globalPos());
}

void LeetOutputBox::keyPressEvent(QKeyEvent* event) {
    if (capturing_) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Undo)) {
        Undo();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        Redo();
        event->accept();
        return;
    }
    QTextCursor cursor = textCursor();
    const bool no_modifier = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
    // The keys whose edits Qt merges into one undo step when they follow each other.
    edit_kind_ = UndoSteps::Kind::kOther;
    if (!cursor.hasSelection() && no_modifier) {
        if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
            edit_kind_ = UndoSteps::Kind::kDeletion;
        } else if (!event->text().isEmpty() && event->text().front().isPrint()) {
            edit_kind_ = UndoSteps::Kind::kTyping;
        }
    }
    if (!cursor.hasSelection() && DeletesBackward(*event) && cursor.atBlockStart() &&
        IsSoftBreak(cursor.block())) {
        // What lies before the caret is the last character of the block before, not a break.
        const UnseenChange unseen(*this);
        cursor.setPosition(cursor.position() - 1);
        setTextCursor(cursor);
    }
    QPlainTextEdit::keyPressEvent(event);

    using Key = QKeySequence;
    const auto is = [event](std::initializer_list<Key::StandardKey> keys) {
        return std::any_of(keys.begin(), keys.end(),
                           [event](Key::StandardKey key) { return event->matches(key); });
    };
    if (is({Key::MoveToPreviousChar, Key::SelectPreviousChar, Key::MoveToPreviousWord,
            Key::SelectPreviousWord}) &&
        Landing().AtSoftEnd(textCursor().position())) {
        // Stopped on the break itself: once more, to the character before it.
        QPlainTextEdit::keyPressEvent(event);
    }
    using Move = CaretLanding::Move;
    Move move = Move::kOther;
    if (is({Key::MoveToEndOfLine, Key::SelectEndOfLine})) {
        move = Move::kLineEnd;
    } else if (is({Key::MoveToNextLine, Key::SelectNextLine, Key::MoveToPreviousLine,
                   Key::SelectPreviousLine, Key::MoveToNextPage, Key::SelectNextPage,
                   Key::MoveToPreviousPage, Key::SelectPreviousPage})) {
        move = Move::kVertical;
    }
    PlaceCaret(move, textCursor().verticalMovementX());
}

void LeetOutputBox::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    PlaceCaretAt(event->position());
}

void LeetOutputBox::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    if ((event->buttons() & Qt::LeftButton) != 0) {
        PlaceCaretAt(event->position());
    }
}

void LeetOutputBox::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    // A click into a selection moves the caret only now, once it is clear it was no drag; the
    // release after a double-click leaves the word it selected.
    if (event->button() == Qt::LeftButton && !textCursor().hasSelection()) {
        PlaceCaretAt(event->position());
    }
}

void LeetOutputBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    const QTextCursor hit = cursorForPosition(event->position().toPoint());
    const CaretLanding landing = Landing();
    if (landing.AtSoftEnd(hit.position())) {
        // The word at the place a line in the middle of the paragraph finds there.
        QTextCursor word(document());
        word.setPosition(
            landing.MiddleLineCursor(hit.block(), XInBlock(hit.block(), event->position())));
        word.select(QTextCursor::WordUnderCursor);
        setTextCursor(word);
    }
    if (const auto word = landing.WholeWord(textCursor())) {
        setTextCursor(*word);
    }
    PlaceCaret(CaretLanding::Move::kOther, 0);
}

qreal LeetOutputBox::XInBlock(const QTextBlock& block, QPointF point) const {
    return point.x() - (blockBoundingGeometry(block).translated(contentOffset()).left() +
                        block.layout()->position().x());
}

void LeetOutputBox::PlaceCaretAt(QPointF point) {
    PlaceCaret(CaretLanding::Move::kPointed, XInBlock(textCursor().block(), point));
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
    // Soft breaks cut for another width or font would show as forced line breaks.
    if (cut_width_ == viewport()->width() && cut_font_ == font()) {
        return;
    }
    SettleUserEdit();
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
    undo_steps_.Clear();
}

}  // namespace zentrovax
