#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "core/device/hid_backend.h"

namespace korvane::device {

inline constexpr std::string_view kTraceVariable = "KORVANE_HID_TRACE";

// Direction letters of a trace line: a report written, one that was to be written but was
// not (the write failed or ran out of time; the device may never have seen it), one read.
inline constexpr char kTraceWritten = 'W';
inline constexpr char kTraceNotWritten = 'X';
inline constexpr char kTraceRead = 'R';

// Appends one line per report to a file: "<ms since start> <W|X|R> <interface path> <hex>",
// the report padded or cut to 64 bytes as 128 lowercase hex digits. Safe to call from any
// thread; each line goes out whole and is flushed at once.
class WireTraceFile {
  public:
    // nullptr when the file cannot be opened for appending.
    static std::shared_ptr<WireTraceFile> open(const std::filesystem::path& file);
    ~WireTraceFile();
    WireTraceFile(const WireTraceFile&) = delete;
    WireTraceFile& operator=(const WireTraceFile&) = delete;

    void record(char direction, std::string_view path, std::span<const std::uint8_t> report);

    // The line record() writes, without the time; exposed for tests and tools.
    static std::string formatReport(char direction, std::string_view path,
                                    std::span<const std::uint8_t> report);

  private:
    explicit WireTraceFile(std::FILE* file);

    std::mutex mutex_;
    std::FILE* file_;
    std::chrono::steady_clock::time_point start_;
};

// Wraps a backend so that every report written or read through its handles is traced.
std::unique_ptr<HidBackend> withTrace(std::unique_ptr<HidBackend> backend,
                                      std::shared_ptr<WireTraceFile> trace);

// withTrace to the file named by KORVANE_HID_TRACE; the backend unchanged when it is unset
// or the file cannot be opened. Every program wraps its backend with this once.
std::unique_ptr<HidBackend> withTraceFromEnvironment(std::unique_ptr<HidBackend> backend);

}  // namespace korvane::device
