#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvane::macros {

// The byte image the devices keep their macros and cursor sequences in (little-endian):
//   0  signature 0x55AA          2  total size S        4  number of sequences N
//   6  10 reserved bytes         16 offset of each body from the image start (2 bytes each)
//   body: action count A (2 bytes), 2 reserved bytes, then 4 bytes per action
//         (delay low, delay high, kind, code).
// Bodies follow the offset table in list order, each right after the previous one.
inline constexpr std::uint16_t kImageSignature = 0x55AA;
inline constexpr std::size_t kImageHeaderSize = 16;
inline constexpr std::size_t kImageBodyHeaderSize = 4;
inline constexpr std::size_t kImageActionSize = 4;
// The size field is 16 bits wide: no image can be larger.
inline constexpr std::size_t kMaxImageSize = 0xFFFF;

using WireAction = std::array<std::uint8_t, 4>;
using WireSequence = std::vector<WireAction>;

// S = 16 + 6·N + 4·ΣA over the given action counts, in 64 bits so that counts read from
// damaged files cannot wrap it into something small.
std::uint64_t SequenceImageSize(std::span<const std::uint64_t> actionCounts);

// Lays out the image of the given sequences of action texts (texts that are not actions
// become four zero bytes). nullopt when the image would exceed the 16-bit size field.
std::optional<std::vector<std::uint8_t>> BuildSequenceImage(
    std::span<const std::vector<std::string>> sequences);

// Step one of reading an image back: the 16-byte header. Returns S when the buffer holds
// at least a header, starts with the signature and S is large enough for that header.
std::optional<std::uint16_t> ImageSizeFromHeader(std::span<const std::uint8_t> header);

// Decodes a whole image. The buffer may be longer than S (reads come in whole chunks);
// only its first S bytes count. Refused (nullopt) unless every offset and count stays inside
// those S bytes: the offset table must fit, each body must start after the table, and the
// bodies together must fit the space after it, so a hostile image cannot make overlapping
// bodies multiply into a huge result.
std::optional<std::vector<WireSequence>> ParseSequenceImage(std::span<const std::uint8_t> image);

}  // namespace korvane::macros
