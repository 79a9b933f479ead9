#include "sim/firmware.h"

#include <algorithm>
#include <utility>

namespace korvane::sim {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kChecksumLow = 1;
constexpr std::size_t kChecksumHigh = 2;
constexpr std::size_t kCodeByte = 3;
constexpr std::size_t kLengthByte = 4;
constexpr std::size_t kOffsetLow = 5;
constexpr std::size_t kOffsetHigh = 6;
constexpr std::size_t kStatusByte = 7;

std::uint16_t checksumOf(std::span<const std::uint8_t, kReportSize> report) {
    std::uint16_t sum = 0;
    for (std::size_t i = kCodeByte; i < kReportSize; ++i) {
        sum = static_cast<std::uint16_t>(sum + report[i]);
    }
    return sum;
}

}  // namespace

std::uint16_t requestChecksum(std::span<const std::uint8_t, kReportSize> report) {
    return checksumOf(report);
}

std::optional<ProfileChunk> decodeProfileOffset(std::uint16_t field, std::size_t length) {
    if (length == 0 || length > kChunkSize) {
        return std::nullopt;
    }
    for (int index = 0; index < kProfileCount; ++index) {
        const int remainder = field - index * kProfileStride;
        if (remainder < 0) {
            break;
        }
        const auto offset = static_cast<std::size_t>(remainder);
        if (offset % kChunkSize == 0 && offset + length <= kTableSize) {
            return ProfileChunk{index, offset};
        }
    }
    return std::nullopt;
}

Firmware::Firmware(FactoryImage factory) : factory_(std::move(factory)) {
    resetToFactory();
    resets_ = 0;
}

void Firmware::resetToFactory() {
    deviceInfo_ = factory_.deviceInfo;
    baseTable_ = factory_.baseTable;
    for (auto& table : profiles_) {
        table = factory_.baseTable;
    }
    records_ = factory_.records;
    macroMemory_.assign(static_cast<std::size_t>(factory_.deviceInfo[6]) * kMacroUnitSize, 0);
    cursorMemory_.fill(0);
    frameAssembly_.clear();
    inTransfer_ = false;
    ++resets_;
}

const std::array<std::uint8_t, kTableSize>& Firmware::profileTable(int index) const {
    return profiles_.at(static_cast<std::size_t>(index));
}

std::optional<std::vector<std::uint8_t>> Firmware::lastFrame(std::size_t length) const {
    const auto it = lastFrames_.find(length);
    if (it == lastFrames_.end()) {
        return std::nullopt;
    }
    return it->second;
}

Report Firmware::handle(std::span<const std::uint8_t, kReportSize> request) {
    Report answer{};
    std::copy_n(request.begin(), kStatusByte, answer.begin());

    const std::uint8_t code = request[kCodeByte];
    const std::uint16_t sent =
        static_cast<std::uint16_t>(request[kChecksumLow] | (request[kChecksumHigh] << 8));
    // The reset request is the one the host sends without a checksum.
    const bool unchecked = code == command::kResetDevice && sent == 0;
    std::uint8_t status = kStatusOk;
    if (!unchecked && sent != checksumOf(request)) {
        ++badChecksums_;
        status = kStatusRejected;
    } else {
        const std::size_t length = request[kLengthByte];
        const auto field =
            static_cast<std::uint16_t>(request[kOffsetLow] | (request[kOffsetHigh] << 8));
        if (length > kChunkSize) {
            status = kStatusRejected;
        } else {
            const auto data = request.subspan(kHeaderSize, length);
            status = execute(code, length, field, data,
                             std::span<std::uint8_t>(answer).subspan(kHeaderSize, length));
        }
    }
    answer[kStatusByte] = status;
    const std::uint16_t sum = checksumOf(answer);
    answer[kChecksumLow] = static_cast<std::uint8_t>(sum & 0xFF);
    answer[kChecksumHigh] = static_cast<std::uint8_t>(sum >> 8);
    return answer;
}

std::uint8_t Firmware::execute(std::uint8_t code, std::size_t length, std::uint16_t field,
                               std::span<const std::uint8_t> data, std::span<std::uint8_t> out) {
    // A frame that is still being assembled is given up by any other command.
    if (code != command::kWriteLightFrame) {
        frameAssembly_.clear();
    }
    switch (code) {
        case command::kBeginTransfer:
            inTransfer_ = true;
            return kStatusOk;
        case command::kEndTransfer:
            inTransfer_ = false;
            return kStatusOk;
        case command::kReadDeviceInfo:
            return readBlock(deviceInfo_, field, length, out);
        case command::kReadRecord:
            return readBlock(records_, field, length, out);
        case command::kWriteSettings:
            return writeSettings(data);
        case command::kReadBaseTable:
            return readBlock(baseTable_, field, length, out);
        case command::kReadProfileTable:
        case command::kWriteProfileTable: {
            if (length == 0) {
                return kStatusOk;
            }
            const auto chunk = decodeProfileOffset(field, length);
            if (!chunk) {
                return kStatusRejected;
            }
            auto& table = profiles_[static_cast<std::size_t>(chunk->index)];
            return code == command::kReadProfileTable ? readBlock(table, chunk->offset, length, out)
                                                      : writeBlock(table, chunk->offset, data);
        }
        case command::kResetDevice:
            resetToFactory();
            return kStatusOk;
        case command::kWriteLightFrame:
            return takeFrameChunk(field, data);
        case command::kWriteMacroData:
            return writeBlock(macroMemory_, field, data);
        case command::kReadCursorData:
            return readBlock(cursorMemory_, field, length, out);
        case command::kWriteCursorData:
            return writeBlock(cursorMemory_, field, data);
        default:
            return kStatusRejected;
    }
}

std::uint8_t Firmware::readBlock(std::span<const std::uint8_t> memory, std::size_t offset,
                                 std::size_t length, std::span<std::uint8_t> out) const {
    if (offset > memory.size() || length > memory.size() - offset) {
        return kStatusRejected;
    }
    std::copy_n(memory.begin() + static_cast<std::ptrdiff_t>(offset), length, out.begin());
    return kStatusOk;
}

std::uint8_t Firmware::writeBlock(std::span<std::uint8_t> memory, std::size_t offset,
                                  std::span<const std::uint8_t> data) {
    if (offset > memory.size() || data.size() > memory.size() - offset) {
        return kStatusRejected;
    }
    std::copy(data.begin(), data.end(), memory.begin() + static_cast<std::ptrdiff_t>(offset));
    return kStatusOk;
}

// Byte 0 of a settings record names the onboard profile; the record goes into that slot and
// the profile becomes the active one (byte 0 of the record memory).
std::uint8_t Firmware::writeSettings(std::span<const std::uint8_t> data) {
    if (data.empty() || data[0] >= kProfileCount) {
        return kStatusRejected;
    }
    const std::size_t slot = data[0];
    auto* target = records_.data() + slot * kRecordSlotSize;
    std::copy(data.begin() + 1, data.end(), target + 1);
    records_[0] = data[0];
    ++settingsWrites_;
    return kStatusOk;
}

// Chunks arrive in order from offset 0; the chunk shorter than a full one ends the frame.
// An offset 0 starts a new frame and drops an unfinished one; any other gap is refused.
std::uint8_t Firmware::takeFrameChunk(std::size_t offset, std::span<const std::uint8_t> data) {
    if (offset == 0) {
        frameAssembly_.clear();
    }
    if (offset != frameAssembly_.size() || offset + data.size() > kMaxFrameSize) {
        frameAssembly_.clear();
        return kStatusRejected;
    }
    frameAssembly_.insert(frameAssembly_.end(), data.begin(), data.end());
    if (data.size() < kChunkSize) {
        completeFrame();
    }
    return kStatusOk;
}

void Firmware::completeFrame() {
    if (!frameAssembly_.empty()) {
        lastFrames_[frameAssembly_.size()] = frameAssembly_;
        ++frameCount_;
    }
    frameAssembly_.clear();
}

}  // namespace korvane::sim
