#include "core/macros/cursor_transfer.h"

#include "core/macros/sequence_image.h"

namespace korvane::macros {

ReceiveResult ReceiveCursorImage(CursorStore& store, const CursorMemoryReader& read,
                                 const EventNameLookup& lookup) {
    const auto header = read(kImageHeaderSize);
    if (!header) {
        return ReceiveResult::NoImage;
    }
    const auto size = ImageSizeFromHeader(*header);
    if (!size) {
        return ReceiveResult::NoImage;
    }
    const auto image = read(*size);
    if (!image) {
        return ReceiveResult::ReadFailed;
    }
    const auto sequences = ParseSequenceImage(*image);
    if (!sequences) {
        return ReceiveResult::DamagedImage;
    }
    return store.StoreReceivedSequences(*sequences, lookup) ? ReceiveResult::Stored
                                                            : ReceiveResult::WriteFailed;
}

}  // namespace korvane::macros
