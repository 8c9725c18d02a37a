// The output box (the browser's is web/leet_output_box.h): a plain-text editor that grows by
// appends while capturing and is edited by the user while paused.
//
// The output is usually one endless paragraph, and Qt lays a paragraph out again in full on
// every change, so each key would cost more as the output grows. The box therefore keeps the
// text as blocks of a few visual lines each, cut exactly where the paragraph wraps anyway. On
// screen nothing changes; everything that reads the text (Text(), copy, drag, the X selection, a
// screen reader) leaves the cuts out. While the user edits, Qt edits inside a block as in
// any paragraph; the box mends what differs at a cut and, after each edit, repairs the
// cuts only where the edit moved the wraps. Undo and Redo take the box's own changes together
// with the user's edit, so to the user the history holds nothing but their own edits.
//
// The words are those of output/glossary.md: blocks (here Qt's text blocks), cuts (here block
// breaks with the cut mark, beside the user's own newlines), joins, stale cuts, unseen changes.
// Besides, the box adopts each block Qt makes (gives it its kind), and finishes the user's edit
// (or undo, or redo) once its event is done: the new blocks are adopted, the cuts repaired and
// the undo step recorded.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringView>
#include <QTextCursor>
#include <QTimer>
#include <optional>
#include <vector>

#include "qt/block_cuts.h"
#include "qt/caret_landing.h"
#include "qt/edit_history.h"
#include "qt/heard_text.h"
#include "qt/pending_edit.h"
#include "qt/visible_offsets.h"

class QTextBlock;

namespace zentrovax {

class LeetOutputBox final : public QPlainTextEdit {
    Q_OBJECT

  public:
    // Whoever follows the text as the user sees it, a screen reader above all: told of every
    // change of it, of the caret and of the selection, in the user's offsets, and of nothing the
    // user does not see (cutting, joining).
    class Listener {
      public:
        virtual ~Listener() = default;
        // Whether it listens now: only then does the box keep what telling a change takes.
        [[nodiscard]] virtual bool Listening() const = 0;
        virtual void TextChanged(LeetOutputBox& box, int offset, const QString& removed,
                                 const QString& inserted) = 0;
        virtual void CaretMoved(LeetOutputBox& box, int offset) = 0;
        virtual void SelectionChanged(LeetOutputBox& box, int start, int end, int caret) = 0;
    };

    explicit LeetOutputBox(QWidget* parent);
    // The one listener, or none; it outlives the box or is taken away first.
    void SetListener(Listener* listener) { listener_ = listener; }

    // The text as the user sees and copies it: the user's own newlines, no cuts.
    [[nodiscard]] QString Text() const;
    void SetText(const QString& text);
    // Not undoable.
    void Append(QStringView text);
    // What a keyboard is composing in the capture box, shown after the text and underlined, as
    // an input method's preedit is: in the last block's layout, never in the document, so
    // nothing that reads the text sees it.
    void SetComposing(const QString& text);
    [[nodiscard]] const QString& Composing() const { return composing_; }
    // Whether the last line is in view; Append keeps the view where it is.
    [[nodiscard]] bool ViewIsAtEnd() const;
    void ShowEnd();

    // Not editable (capturing): appends arrive, and nothing may enter the box any other way (a
    // middle click or a drop would otherwise put untranslated text into it). Editable (paused):
    // an ordinary editor whose undo history holds only the user's own edits.
    void SetEditable(bool editable);

    // How many blocks the text is kept in; for tests and benchmarks.
    [[nodiscard]] int BlockCount() const;

    // Offsets as the user sees the text, cuts left out, against document positions; for
    // everything outside the box that counts characters (a screen reader above all).
    [[nodiscard]] int VisibleOffset(int position) const;
    [[nodiscard]] int DocumentPosition(int visible_offset) const;
    [[nodiscard]] int VisibleLength() const;
    // The text as the user sees it between two document positions.
    [[nodiscard]] QString TextBetween(int from, int to) const;

  protected:
    [[nodiscard]] QMimeData* createMimeDataFromSelection() const override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // The body both share: the user's edit is finished once the outermost event is done.
    template <typename Handle>
    bool HandleEvent(Handle handle);
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Marks an unseen change for as long as it lives.
    class UnseenChange {
      public:
        explicit UnseenChange(LeetOutputBox& box) : box_(box) { ++box_.unseen_changes_; }
        ~UnseenChange() { --box_.unseen_changes_; }
        UnseenChange(const UnseenChange&) = delete;
        UnseenChange& operator=(const UnseenChange&) = delete;
        UnseenChange(UnseenChange&&) = delete;
        UnseenChange& operator=(UnseenChange&&) = delete;

      private:
        LeetOutputBox& box_;
    };

    // Cuts every paragraph into blocks, for the box's width and font, keeping the view.
    void CutAll();
    void CutAgainIfLayoutChanged();
    [[nodiscard]] qreal WrapWidth() const;

    // After a user edit: adopts the blocks it made and cuts again where its wraps moved.
    void OnContentsChange(int position, int removed, int added);
    void FinishUserEdit();
    [[nodiscard]] QTextBlock LastVisibleBlock() const;
    // Repairs the stale part as far as the view reaches, or (while capturing) the next slice of
    // it; slices follow one another while the event loop is idle until none is stale.
    enum class StaleRepair { kInView, kSlice };
    void RepairStale(StaleRepair how);
    void Undo();
    void Redo();
    // Finishes the edit before, then undoes or redoes a step of the user's history.
    std::optional<UndoSteps::Step> GoThroughHistory(
        std::optional<UndoSteps::Step> (EditHistory::*go)(QTextCursor&), QTextCursor& cursor);

    // Where the caret lands as it does in one paragraph, for the document as it is laid out.
    [[nodiscard]] CaretLanding Landing() const { return {*document(), WrapWidth()}; }
    void PlaceCaret(CaretLanding::Move move, qreal x);
    // The same for a caret the mouse put at `point`, in the viewport.
    void PlaceCaretAt(QPointF point);
    // A point in the viewport as x in the block's own layout.
    [[nodiscard]] qreal XInBlock(const QTextBlock& block, QPointF point) const;

    // Puts composing_ after the text of the last block, the view kept where it was.
    void ShowComposing();

    bool editable_ = false;
    QString composing_;
    // The width and font the cuts were made for.
    int cut_width_ = -1;
    QFont cut_font_;
    int unseen_changes_ = 0;
    PendingEdit pending_edit_;
    bool in_undo_ = false;
    int event_depth_ = 0;

    EditHistory history_{*document()};
    void BeforeEvent();

    // Gives a block the box has not seen yet a state.
    void Adopt(const QTextBlock& block);
    // The offset map, with every block up to `block_number` known.
    // Mutable: kept up to date as it is asked.
    mutable VisibleOffsets offsets_{*document()};
    BlockCuts cuts_{*document(), [this] { return WrapWidth(); },
                    [this](const QTextBlock& block) { Adopt(block); }};
    // Runs the next slice of the stale part's repair once the event loop is idle.
    QTimer stale_slices_;
    // Kept while paused and somebody listens.
    HeardText heard_;
    // Tells the listener how a change of the document between `position` and `position` +
    // `added` changed the text the user sees.
    void AnnounceChange(int position, int added);
    [[nodiscard]] bool Listened() const { return listener_ != nullptr && listener_->Listening(); }
    // Qt's caret and selection, in the user's offsets, where the user could see them move.
    void AnnounceCaret();
    void AnnounceSelection();
    Listener* listener_ = nullptr;
};

}  // namespace zentrovax
