#include "core/macros/sequence_image.h"

#include <algorithm>

#include "core/macros/macro_action.h"

namespace korvane::macros {

namespace {

void putWord(std::vector<std::uint8_t>& image, std::size_t at, std::uint16_t value) {
    image[at] = static_cast<std::uint8_t>(value & 0xFF);
    image[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t getWord(std::span<const std::uint8_t> image, std::size_t at) {
    return static_cast<std::uint16_t>(image[at] | (image[at + 1] << 8));
}

}  // namespace

std::uint64_t SequenceImageSize(std::span<const std::uint64_t> actionCounts) {
    std::uint64_t size = kImageHeaderSize;
    for (const std::uint64_t count : actionCounts) {
        // Counts come from files; anything beyond 2^40 is already far past every limit, and
        // capping it keeps the sum from wrapping round to a size that would pass a check.
        const std::uint64_t capped = std::min(count, std::uint64_t{1} << 40);
        size += 2 + kImageBodyHeaderSize + kImageActionSize * capped;
    }
    return size;
}

std::optional<std::vector<std::uint8_t>> BuildSequenceImage(
    std::span<const std::vector<std::string>> sequences) {
    std::vector<std::uint64_t> counts;
    counts.reserve(sequences.size());
    for (const auto& sequence : sequences) {
        counts.push_back(sequence.size());
    }
    const std::uint64_t size = SequenceImageSize(counts);
    if (size > kMaxImageSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> image(static_cast<std::size_t>(size), 0);
    putWord(image, 0, kImageSignature);
    putWord(image, 2, static_cast<std::uint16_t>(size));
    putWord(image, 4, static_cast<std::uint16_t>(sequences.size()));
    std::size_t body = kImageHeaderSize + 2 * sequences.size();
    for (std::size_t i = 0; i < sequences.size(); ++i) {
        putWord(image, kImageHeaderSize + 2 * i, static_cast<std::uint16_t>(body));
        putWord(image, body, static_cast<std::uint16_t>(sequences[i].size()));
        std::size_t at = body + kImageBodyHeaderSize;
        for (const auto& text : sequences[i]) {
            const auto bytes = ActionWireBytes(text);
            std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
            at += kImageActionSize;
        }
        body = at;
    }
    return image;
}

std::optional<std::uint16_t> ImageSizeFromHeader(std::span<const std::uint8_t> header) {
    if (header.size() < kImageHeaderSize || getWord(header, 0) != kImageSignature) {
        return std::nullopt;
    }
    const std::uint16_t size = getWord(header, 2);
    if (size < kImageHeaderSize) {
        return std::nullopt;
    }
    return size;
}

std::optional<std::vector<WireSequence>> ParseSequenceImage(std::span<const std::uint8_t> image) {
    const auto size = ImageSizeFromHeader(image);
    if (!size || *size > image.size()) {
        return std::nullopt;
    }
    image = image.first(*size);
    const std::size_t count = getWord(image, 4);
    const std::size_t tableEnd = kImageHeaderSize + 2 * count;
    if (tableEnd > image.size()) {
        return std::nullopt;
    }
    // Every body needs its own bytes after the table: this bounds the whole result by S.
    std::size_t bodyBytesLeft = image.size() - tableEnd;
    std::vector<WireSequence> sequences;
    sequences.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t offset = getWord(image, kImageHeaderSize + 2 * i);
        if (offset < tableEnd || offset + kImageBodyHeaderSize > image.size()) {
            return std::nullopt;
        }
        const std::size_t actions = getWord(image, offset);
        const std::size_t bodySize = kImageBodyHeaderSize + kImageActionSize * actions;
        if (offset + bodySize > image.size() || bodySize > bodyBytesLeft) {
            return std::nullopt;
        }
        bodyBytesLeft -= bodySize;
        WireSequence sequence(actions);
        for (std::size_t j = 0; j < actions; ++j) {
            const std::size_t at = offset + kImageBodyHeaderSize + kImageActionSize * j;
            sequence[j] = {image[at], image[at + 1], image[at + 2], image[at + 3]};
        }
        sequences.push_back(std::move(sequence));
    }
    return sequences;
}

}  // namespace korvane::macros
