#include "core/device/hid_trace.h"

#include <cstdlib>
#include <utility>

#include "core/device/report64.h"
#include "core/platform/debug_line.h"

namespace korvane::device {

namespace {

class TracedHandle : public HidHandle {
  public:
    TracedHandle(std::unique_ptr<HidHandle> inner, std::shared_ptr<WireTraceFile> trace)
        : inner_(std::move(inner)), trace_(std::move(trace)) {}

    bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds timeout) override {
        const bool ok = inner_->write(report, timeout);
        trace_->record(ok ? kTraceWritten : kTraceNotWritten, inner_->info().path, report);
        return ok;
    }
    HidReadStatus read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                       std::size_t& bytesRead) override {
        const HidReadStatus status = inner_->read(buffer, timeout, bytesRead);
        if (status == HidReadStatus::Ok) {
            trace_->record(kTraceRead, inner_->info().path,
                           buffer.first(std::min(bytesRead, buffer.size())));
        }
        return status;
    }
    void abortRead() override { inner_->abortRead(); }
    std::vector<std::uint8_t> reportDescriptor() const override {
        return inner_->reportDescriptor();
    }
    const HidInterfaceInfo& info() const override { return inner_->info(); }

  private:
    std::unique_ptr<HidHandle> inner_;
    std::shared_ptr<WireTraceFile> trace_;
};

class TracedBackend : public HidBackend {
  public:
    TracedBackend(std::unique_ptr<HidBackend> inner, std::shared_ptr<WireTraceFile> trace)
        : inner_(std::move(inner)), trace_(std::move(trace)) {}

    std::optional<std::vector<HidInterfaceInfo>> enumerate() override {
        return inner_->enumerate();
    }
    std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidAccess access) override {
        auto handle = inner_->open(info, access);
        if (!handle) {
            return nullptr;
        }
        return std::make_unique<TracedHandle>(std::move(handle), trace_);
    }
    bool isStillPresent(const std::string& path) override { return inner_->isStillPresent(path); }
    HotplugMonitor* hotplugMonitor() override { return inner_->hotplugMonitor(); }
    HidOpenFailure whyNotOpened(const HidInterfaceInfo& info, HidAccess access) override {
        return inner_->whyNotOpened(info, access);
    }

  private:
    std::unique_ptr<HidBackend> inner_;
    std::shared_ptr<WireTraceFile> trace_;
};

}  // namespace

WireTraceFile::WireTraceFile(std::FILE* file)
    : file_(file), start_(std::chrono::steady_clock::now()) {}

WireTraceFile::~WireTraceFile() {
    std::fclose(file_);
}

std::shared_ptr<WireTraceFile> WireTraceFile::open(const std::filesystem::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "a");
    if (f == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<WireTraceFile>(new WireTraceFile(f));
}

std::string WireTraceFile::formatReport(char direction, std::string_view path,
                                        std::span<const std::uint8_t> report) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string line;
    line.reserve(path.size() + 4 + 2 * kReportSize);
    line += direction;
    line += ' ';
    line += path;
    line += ' ';
    for (std::size_t i = 0; i < kReportSize; ++i) {
        const std::uint8_t b = i < report.size() ? report[i] : 0;
        line += kDigits[b >> 4];
        line += kDigits[b & 0xF];
    }
    return line;
}

void WireTraceFile::record(char direction, std::string_view path,
                           std::span<const std::uint8_t> report) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start_)
                        .count();
    const std::string line =
        std::to_string(ms) + ' ' + formatReport(direction, path, report) + '\n';
    std::lock_guard guard(mutex_);
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

std::unique_ptr<HidBackend> withTrace(std::unique_ptr<HidBackend> backend,
                                      std::shared_ptr<WireTraceFile> trace) {
    if (!backend || !trace) {
        return backend;
    }
    return std::make_unique<TracedBackend>(std::move(backend), std::move(trace));
}

std::unique_ptr<HidBackend> withTraceFromEnvironment(std::unique_ptr<HidBackend> backend) {
    const char* file = std::getenv(std::string(kTraceVariable).c_str());
    if (file == nullptr || *file == '\0') {
        return backend;
    }
    auto trace = WireTraceFile::open(file);
    if (!trace) {
        platform::debugLine(std::string("cannot open wire trace file ") + file);
        return backend;
    }
    return withTrace(std::move(backend), std::move(trace));
}

}  // namespace korvane::device
