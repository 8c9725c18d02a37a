// The output box: a plain-text editor that grows by appends while capturing and is edited by
// the user while paused.
//
// The output is usually one endless paragraph, and Qt lays a paragraph out again in full on
// every change, so each key would cost more as the output grows. While capturing, the box
// therefore keeps the text as blocks of a few visual lines each, cut exactly where the
// paragraph wraps anyway ("soft breaks"). On screen nothing changes; everything that reads the
// text (Text(), copy, drag, the X selection) leaves the soft breaks out. Editing across a soft
// break would not behave as in one paragraph, so the box joins its blocks again before the
// user's first edit, and cuts them anew when capturing resumes.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringView>
#include <vector>

class QTextBlock;

namespace zentrovax {

class LeetOutputBox final : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit LeetOutputBox(QWidget* parent);

    // The text as the user sees and copies it: the user's own newlines, no soft breaks.
    [[nodiscard]] QString Text() const;
    void SetText(const QString& text);
    // Not undoable; the view follows the end unless the user has scrolled away from it.
    void Append(QStringView text);

    // Capturing: appends arrive, and nothing may enter the box any other way (a middle click or
    // a drop would otherwise put untranslated text into it). Paused: an ordinary editor whose
    // undo history holds only the user's own edits.
    void SetCapturing(bool capturing);

    // How many blocks the text is kept in; for tests and benchmarks.
    [[nodiscard]] int BlockCount() const;

    // Offsets as the user sees the text, soft breaks left out, against document positions; for
    // everything outside the box that counts characters (a screen reader above all).
    [[nodiscard]] int VisibleOffset(int position) const;
    [[nodiscard]] int DocumentPosition(int visible_offset) const;
    [[nodiscard]] int VisibleLength() const;
    // The text as the user sees it between two document positions.
    [[nodiscard]] QString TextBetween(int from, int to) const;
    // While the box cuts or joins blocks, or appends (which it reports itself), its document
    // changes in ways nobody sees: such changes are not to be reported.
    [[nodiscard]] bool InUnseenChange() const { return unseen_changes_ > 0; }

  protected:
    [[nodiscard]] QMimeData* createMimeDataFromSelection() const override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
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

    [[nodiscard]] bool ViewIsAtEnd() const;
    void ShowEnd();
    [[nodiscard]] static bool MayEdit(const QEvent& event);
    void JoinBeforeEdit(const QEvent& event);

    // Cuts the last block once it holds more visual lines than a block should.
    void SplitLastBlock();
    // Joins every block back into the paragraphs the user sees, remembering where the breaks
    // were.
    void JoinSoftBreaks();
    // Cuts every paragraph into blocks, reusing the remembered breaks that lie wholly inside
    // the first `unchanged_prefix` characters.
    void SplitFrom(int unchanged_prefix);
    // Where blocks of one paragraph must start, from offset `from` (itself a line start) on.
    [[nodiscard]] std::vector<int> CutsOf(const QString& paragraph, int from) const;
    void RecutIfLayoutChanged();
    [[nodiscard]] qreal WrapWidth() const;

    bool capturing_ = true;
    // Every paragraph is cut into blocks: appends may go on cutting the last one.
    bool split_ = true;
    // Where the soft breaks were before the last join, and how much text since then is as it was.
    std::vector<int> former_cuts_;
    int unchanged_prefix_ = 0;
    // The width and font the soft breaks were cut for.
    int split_width_ = -1;
    QFont split_font_;
    int unseen_changes_ = 0;
};

}  // namespace zentrovax
