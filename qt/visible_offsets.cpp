#include "qt/visible_offsets.h"

#include <QTextBlock>
#include <QTextDocument>

#include "qt/cut_marks.h"

namespace zentrovax {

const OffsetMap& VisibleOffsets::KnownUpTo(int block_number) {
    for (QTextBlock block = document_.findBlockByNumber(map_.Known());
         block.isValid() && block.blockNumber() <= block_number; block = block.next()) {
        map_.Add(block.position(), FollowsCut(block));
    }
    return map_;
}

int VisibleOffsets::Of(int position) {
    const int block = document_.findBlock(position).blockNumber();
    return KnownUpTo(block).VisibleOffset(block, position);
}

int VisibleOffsets::PositionOf(int visible_offset) {
    return KnownUpTo(document_.blockCount() - 1)
        .DocumentPosition(visible_offset, document_.characterCount() - 1);
}

int VisibleOffsets::Length() {
    return Of(document_.characterCount() - 1);
}

}  // namespace zentrovax
