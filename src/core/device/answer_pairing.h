#pragma once

#include <bitset>
#include <cstdint>
#include <span>

#include "core/device/report64.h"

namespace korvane::device {

// The input report IDs under which a device's answers can arrive. A node may carry other
// collections too (consumer control, keyboard), whose reports are not answers.
class AnswerReportIds {
  public:
    // Only the ID requests go out under (0x04): what is assumed when the descriptor says
    // nothing usable.
    AnswerReportIds();

    // The input report IDs of the collection with that usage page and usage in the node's
    // report descriptor. An empty, malformed or silent descriptor (no such collection, no
    // input field in it) gives the default set rather than none: answers are then still
    // told apart by ID.
    static AnswerReportIds fromDescriptor(std::span<const std::uint8_t> descriptor,
                                          std::uint16_t usagePage, std::uint16_t usage);

    bool contains(std::uint8_t reportId) const { return ids_.test(reportId); }
    bool isDefault() const;

  private:
    std::bitset<256> ids_;
};

// Whether an answer belongs to a request. The firmware echoes the request's header in its
// answer: the command byte always, and the length and offset bytes (4..6) as they were
// sent. So an answer belongs to the request whose command byte it carries, when its length
// and offset bytes either repeat the request's or are all zero (a device that echoes only
// the command). A late answer to an earlier chunk of the same command therefore never
// passes for the answer of a later chunk, and one of another command never passes at all.
bool AnswerBelongsTo(const Report64& request, const Report64& answer);

}  // namespace korvane::device
