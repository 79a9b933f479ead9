// Answers of a device are outside input: run every command against a device that answers
// with fuzzed reports (any length, any report ID, any status), fails writes or stays silent,
// and check that results stay within the defined codes and outputs within their buffers.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/device/device_commander.h"
#include "core/device/hid_backend.h"

namespace {

using namespace korvane::device;

// Each write takes a control byte: bit 0 fails the write; the rest of the byte says how
// many input reports follow, each one a length byte and that many bytes.
class FuzzedHandle : public HidHandle {
  public:
    explicit FuzzedHandle(std::span<const std::uint8_t> script) : script_(script) {}

    bool write(std::span<const std::uint8_t>, std::chrono::milliseconds) override {
        const std::uint8_t control = take();
        if (control & 1) {
            return false;
        }
        const int reports = (control >> 1) & 0x3;
        for (int i = 0; i < reports; ++i) {
            const std::size_t length = std::min<std::size_t>(take(), script_.size());
            pending_.emplace_back(script_.begin(), script_.begin() + static_cast<long>(length));
            script_ = script_.subspan(length);
        }
        return true;
    }
    HidReadStatus read(std::span<std::uint8_t> buffer, std::chrono::milliseconds,
                       std::size_t& bytesRead) override {
        bytesRead = 0;
        if (pending_.empty()) {
            return HidReadStatus::Timeout;
        }
        const auto report = std::move(pending_.front());
        pending_.erase(pending_.begin());
        bytesRead = std::min(report.size(), buffer.size());
        std::copy_n(report.begin(), bytesRead, buffer.begin());
        return HidReadStatus::Ok;
    }
    void abortRead() override {}
    std::vector<std::uint8_t> reportDescriptor() const override { return {}; }
    const HidInterfaceInfo& info() const override { return info_; }

  private:
    std::uint8_t take() {
        if (script_.empty()) {
            return 0;
        }
        const std::uint8_t b = script_.front();
        script_ = script_.subspan(1);
        return b;
    }

    std::span<const std::uint8_t> script_;
    std::vector<std::vector<std::uint8_t>> pending_;
    HidInterfaceInfo info_;
};

bool known(int result) {
    return result == 1 || result == 0 || result == -1 || result == -2 || result == -102 ||
           result == -103 || result == -201;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    DeviceCommander commander;
    commander.attach(std::make_unique<FuzzedHandle>(std::span(data + 3, size - 3)));
    commander.setConnected(true);
    commander.setAnswerTimeLimit(std::chrono::milliseconds(0));
    commander.setSleepFunction([](std::chrono::milliseconds) {});
    commander.setTableLength(static_cast<std::uint16_t>(data[1] | (data[2] << 8)) % 1024);

    // Guard bytes around every output catch a copy past its end.
    std::vector<std::uint8_t> out(1024 + 16, 0xA5);
    const auto body = std::span(out).first(1024);
    const int profile = data[0] % 7 - 1;
    DeviceInfo info;
    const int results[] = {
        commander.BeginTransfer(),
        commander.ReadDeviceInfo(info),
        commander.ReadRecord(0x40, data[0] % 60, body.first(56)),
        commander.WriteSettings(body.first(data[0] % 60)),
        commander.ReadBaseTable(body),
        commander.ReadProfileTable(body, profile),
        commander.WriteProfileTable(body, profile),
        commander.WriteLightFrame(body.first(378)),
        commander.ReadCursorData(body.first(data[0] * 3)),
        commander.ResetDevice(),
        commander.EndTransfer(),
    };
    for (int r : results) {
        if (!known(r)) {
            __builtin_trap();
        }
    }
    for (std::size_t i = 1024; i < out.size(); ++i) {
        if (out[i] != 0xA5) {
            __builtin_trap();
        }
    }
    return 0;
}
