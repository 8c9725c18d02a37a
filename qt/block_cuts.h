// The output box's document kept as blocks cut where its paragraphs wrap anyway: cutting them,
// joining them, repairing the cuts where an edit moved the wraps, and the stale part a repair
// left for later. It changes the document and nothing else: when to cut, the view, the undo
// history and who is told are the box's.
#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>
#include <optional>
#include <vector>

class QTextDocument;

namespace zentrovax {

class BlockCuts {
  public:
    // `wrap_width` is the width the document's lines are laid out in; `settle` gives a block the
    // cuts have made or seen the state kSettledBlock, and whatever else its owner keeps for it.
    BlockCuts(QTextDocument& document, std::function<qreal()> wrap_width,
              std::function<void(const QTextBlock&)> settle);

    // Called before the first change of a repair, so that its changes form one edit block.
    using OpenEdit = std::function<void()>;

    // Where the blocks of one paragraph must start after its first.
    [[nodiscard]] std::vector<int> CutsOf(const QString& paragraph) const;
    // Cuts at each position, given in ascending order, as the text is before the first cut.
    void Insert(const std::vector<int>& cuts);
    // Cuts the last block once it holds more lines than a block should: appends grow only it.
    void CutLastBlock();
    // Cuts every paragraph, each block's line count known without laying the text out again.
    void CutAll();
    // Joins every block back into the paragraphs the user sees.
    void JoinAll();
    // Settles the blocks from `from` up to the position `to` that Qt has just made. Those the
    // user made are paragraphs of their own, whatever format they copied.
    void SettleNewBlocks(QTextBlock from, int to, bool made_by_user, const OpenEdit& open_edit);

    // Cuts again from the block holding `from` until the soft breaks after `to` fall where lines
    // start, but no further than `limit` and, with a `deadline`, no longer than it allows: what
    // is left there is stale.
    void Repair(int from, int to, int limit, const QDeadlineTimer* deadline,
                const OpenEdit& open_edit);
    void MarkStale(int position);
    // Where the stale part starts. A repair from there checks every cut up to its limit.
    [[nodiscard]] std::optional<int> StaleFrom() const;

  private:
    QTextDocument& document_;
    std::function<qreal()> wrap_width_;
    std::function<void(const QTextBlock&)> settle_;
    // Follows its place through every change of the document.
    std::optional<QTextCursor> stale_from_;
};

}  // namespace zentrovax
