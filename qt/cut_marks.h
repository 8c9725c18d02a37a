// The cuts themselves, over Qt's text classes: how a block is marked as going on with the
// paragraph before it, and how to tell whether a cut still falls where the paragraph
// wraps. Deciding where to cut and when is the output box's; this only reads and marks blocks.
#pragma once

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextLayout>
#include <vector>

class QPlainTextDocumentLayout;
class QTextDocument;

namespace zentrovax {

// The state of a block Qt has just made, whatever format it copied; the box adopts every block it
// sees, giving it the state kKnownBlock once it knows whether a cut comes before it.
inline constexpr int kNewBlock = -1;
inline constexpr int kKnownBlock = 0;

// The format of a block that goes on with the paragraph before it. Qt gives the block a newline
// splits off a copy of the format of the block it came from, keeps the format of the first of
// two blocks it joins, and restores formats on undo: the mark travels with the text.
[[nodiscard]] QTextBlockFormat CutFormat();
// Whether a cut comes before the block: the block goes on with the paragraph before it.
[[nodiscard]] bool FollowsCut(const QTextBlock& block);
// The text between two positions as the user sees it: the user's newlines, no cuts.
[[nodiscard]] QString VisibleText(const QTextDocument& document, int from, int to);
// Whether the block carries the mark, adopted or not.
[[nodiscard]] bool HasCutMark(const QTextBlock& block);

[[nodiscard]] QPlainTextDocumentLayout& LayoutOf(const QTextDocument& document);
// Lays a block out afresh; inside an edit block Qt would only do so at its end.
void Relayout(const QTextBlock& block);
// Joins a block onto the block before it.
void JoinOntoPrevious(const QTextBlock& block);
[[nodiscard]] std::vector<int> LineStartsOf(const QTextLayout& layout);

// Lays the last line of `before` out followed by the start of `after`, `width` wide: there it is
// a line in the middle of a paragraph. Returns the last line's length.
int LayOutAcrossBreak(const QTextBlock& before, const QTextBlock& after, qreal width,
                      QTextLayout& probe);
// Whether the paragraph, laid out `width` wide, would still start a line where `after` starts.
[[nodiscard]] bool CutHolds(const QTextBlock& before, const QTextBlock& after, qreal width);

}  // namespace zentrovax
