#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/device/hid_backend.h"
#include "core/device/report64.h"

namespace korvane::device {

class DeviceCommander;

inline constexpr std::chrono::milliseconds kWriteTimeLimit{1000};
inline constexpr int kExchangeAttempts = 4;

// One report out, bounded by kWriteTimeLimit. bytesWritten is the report length on success
// and 0 otherwise.
bool WriteReport(HidHandle& handle, std::span<const std::uint8_t> report,
                 std::size_t& bytesWritten);

// One report in within timeLimit (HidHandle::kInfinite waits without limit). Fails on time
// limit, abort or error; bytesRead is 0 then.
bool ReadReport(HidHandle& handle, std::span<std::uint8_t> buffer,
                std::chrono::milliseconds timeLimit, std::size_t& bytesRead);

// Writes the request and reads its answer under the commander's lock, held across every
// attempt so the answer stays with its request. Up to kExchangeAttempts attempts with the
// request unchanged; before each write, input reports already queued are discarded. Only a
// report under one of the interface's answer report IDs that belongs to the request
// (AnswerBelongsTo: it echoes the command, and the length and offset where the device
// echoes them) counts as its answer; anything else arriving meanwhile (consumer reports
// sharing the node, a late answer to an earlier request) is skipped within the time limit.
// Returns 1 when an answer was read, 0 when not connected or the commander's exchanges were
// stopped (no I/O; looked at before every attempt) or no answer came, -1 when a write
// failed (no further attempt).
int ExchangeReport(DeviceCommander& commander, const Report64& request, Report64& answer);

// One write (its result ignored) and one read of its answer, paired as above, into the
// request's own buffer; no retry.
// Returns 1 when an answer was read, 0 otherwise or when not connected or stopped.
int ExchangeReportOnce(DeviceCommander& commander, Report64& request);

}  // namespace korvane::device
