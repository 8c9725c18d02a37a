// The output box's document kept as blocks cut where its paragraphs wrap anyway (words as in
// output/glossary.md; the browser's are web/block_cuts.h): cutting them, joining them, and the
// blocks and stale marks the repair in output/ works on. It changes the document and nothing else:
// when to cut, the view, the undo history and who is told are the box's.
#pragma once

#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>
#include <optional>
#include <vector>

#include "output/cut_repair.h"

class QScrollBar;
class QTextDocument;

namespace zentrovax {

class BlockCuts final : public CutBlocks {
  public:
    // `wrap_width` is the width the document's lines are laid out in; `adopt` gives a block the
    // cuts have made or seen the state kKnownBlock, and whatever else its owner keeps for it.
    BlockCuts(QTextDocument& document, std::function<qreal()> wrap_width,
              std::function<void(const QTextBlock&)> adopt);

    // Called before the first change of a repair, so that its changes form one edit block.
    using OpenEdit = std::function<void()>;

    // Where the blocks of one paragraph must start after its first.
    [[nodiscard]] std::vector<int> CutsOf(const QString& paragraph) const;
    // Cuts at each position, given in ascending order, as the text is before the first cut.
    void Insert(const std::vector<int>& cuts);
    // Cuts the last block once it holds more lines than a block may: appends grow only it.
    void CutLastBlock();
    // Cuts every paragraph, each block's line count known without laying the text out again.
    void CutAll();
    // Joins every block back into the paragraphs the user sees.
    void JoinAll();
    // Adopts the blocks from `from` up to the position `to` that Qt has just made. Those the
    // user made are paragraphs of their own, whatever format they copied.
    void AdoptNewBlocks(QTextBlock from, int to, bool made_by_user, const OpenEdit& open_edit);

    // Qt removes the block a selection starts at the very start of, keeping the kind of break
    // of the block the selection ends in. Before the user's edit of a selection from `start`:
    // the kind of break there, to be put back by KeepBreakAt().
    void BeforeEditOfSelection(int start);
    // After the user's edit from `from`: whether the break there had to be put back.
    bool KeepBreakAt(int from, const OpenEdit& open_edit);

    // After the user's edit between `from` and `to`: repairs the cuts it moved, settling them up
    // to a few blocks past the block `last_in_view`.
    void Repair(int from, int to, int last_in_view, const OpenEdit& open_edit);
    // Settles stale cuts within `limit`.
    void RepairStale(RepairLimit limit, const OpenEdit& open_edit);
    // Marks the cut after the block holding `position` stale.
    void MarkStaleAt(int position);

    // What the repair needs, with blocks by their numbers.
    [[nodiscard]] int Count() const override;
    [[nodiscard]] bool HasCutBefore(int block) const override;
    [[nodiscard]] int Lines(int block) override;
    [[nodiscard]] std::vector<int> BlockStarts(int block) override;
    bool SettleCutBefore(int block) override;
    void Cut(int block, const std::vector<int>& offsets) override;
    void MarkStale(int block) override;
    [[nodiscard]] std::optional<int> FirstStale() const override;
    void ClearStale(int block) override;

  private:
    QTextDocument& document_;
    std::function<qreal()> wrap_width_;
    std::function<void(const QTextBlock&)> adopt_;
    // The end of each block whose cut after it is stale: each follows its place through every
    // change of the document.
    std::vector<QTextCursor> stale_;
    // Set while a repair runs: called before its first change.
    const OpenEdit* open_edit_ = nullptr;
    // Where a selection the user is editing starts, at a block's start, and the kind of break
    // there.
    int selection_start_ = -1;
    bool selection_start_cut_ = false;
};

// The cuts an edit needs, as one edit block of the document, opened only once there is
// something to change; once closed, the view keeps the same top line, as the cuts leave as many
// lines before it as there were.
class CutsEdit {
  public:
    CutsEdit(QTextDocument& document, QScrollBar& scroll_bar);
    CutsEdit(const CutsEdit&) = delete;
    CutsEdit& operator=(const CutsEdit&) = delete;
    CutsEdit(CutsEdit&&) = delete;
    CutsEdit& operator=(CutsEdit&&) = delete;
    ~CutsEdit() { Close(); }

    void Open();
    // Returns whether anything was changed.
    bool Close();

  private:
    QTextCursor cursor_;
    QScrollBar& scroll_bar_;
    int top_line_;
    bool open_ = false;
};

}  // namespace zentrovax
