// The offset map over a document whose paragraphs are cut into blocks: turns the document's
// positions into the offsets the user sees and back, asking the document for each block's
// start as the map needs it.
#pragma once

#include "qt/offset_map.h"

class QTextDocument;

namespace zentrovax {

class VisibleOffsets {
  public:
    explicit VisibleOffsets(const QTextDocument& document) : document_(document) {}

    // A change touched this block: it and every block after it may have moved.
    void Forget(int block_number) { map_.Forget(block_number); }
    [[nodiscard]] int Of(int position);
    [[nodiscard]] int PositionOf(int visible_offset);
    // The whole text's length as the user sees it.
    [[nodiscard]] int Length();

  private:
    const OffsetMap& KnownUpTo(int block_number);

    const QTextDocument& document_;
    OffsetMap map_;
};

}  // namespace zentrovax
