#include "core/device/consumer_listener.h"

#include <algorithm>
#include <vector>

namespace korvane::device {
namespace {

// A buffer for reports of collections that describe none (or a longer one on the same node).
constexpr std::size_t kMinimumReportBuffer = 64;

}  // namespace

std::optional<ConsumerDecoder> ConsumerDecoder::fromDescriptor(
    std::span<const std::uint8_t> bytes) {
    auto descriptor = parseReportDescriptor(bytes);
    if (!descriptor) {
        return std::nullopt;
    }
    for (HidCollection& collection : descriptor->collections) {
        if (collection.usagePage == kConsumerUsagePage && collection.usage == kConsumerUsage) {
            return ConsumerDecoder(std::move(collection));
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> ConsumerDecoder::firstUsage(
    std::span<const std::uint8_t> report) const {
    std::vector<HidDataItem> items = buildInputDataItems(collection_);
    if (items.empty() || !DecodeInputReport(collection_, items, report)) {
        return std::nullopt;
    }
    const HidDataItem& first = items.front();
    if (first.status != HidDecodeStatus::Ok) {
        return std::nullopt;
    }
    if (first.isButton) {
        if (first.usages.empty() || first.usages.front() == 0) {
            return std::nullopt;
        }
        return first.usages.front();
    }
    return first.usage;
}

MouseConsumerListener::MouseConsumerListener(HidBackend& backend, UsageHandler onUsage,
                                             DeviceChanges* changes)
    : backend_(backend), onUsage_(std::move(onUsage)), changes_(changes) {}

bool MouseConsumerListener::scan(std::unique_ptr<HidHandle>& handle,
                                 std::optional<ConsumerDecoder>& decoder) {
    const auto interfaces = backend_.enumerate();
    if (!interfaces) {
        return false;
    }
    const InterfaceMatch& match = interfaceMatch(InterfaceRole::MouseConsumerListener);
    for (const HidInterfaceInfo& info : *interfaces) {
        if (!matchesInterface(InterfaceRole::MouseConsumerListener, info)) {
            continue;
        }
        auto candidate = backend_.open(info, match.access);
        if (candidate == nullptr) {
            continue;
        }
        auto candidateDecoder = ConsumerDecoder::fromDescriptor(candidate->reportDescriptor());
        if (!candidateDecoder) {
            continue;
        }
        handle = std::move(candidate);
        decoder = std::move(candidateDecoder);
        return true;
    }
    return true;
}

void MouseConsumerListener::listen(HidHandle& handle, const ConsumerDecoder& decoder,
                                   const platform::StopEvent& stop) {
    std::vector<std::uint8_t> buffer(std::max(decoder.inputReportLength(), kMinimumReportBuffer));
    const std::string path = handle.info().path;
    // The read has no time limit: stopping aborts it.
    const platform::ScopedWaker abortOnStop(stop, [&handle] { handle.abortRead(); });
    while (!stop.isSet()) {
        std::size_t bytesRead = 0;
        const HidReadStatus status = handle.read(buffer, HidHandle::kInfinite, bytesRead);
        if (status == HidReadStatus::Ok) {
            const std::size_t length = std::min(bytesRead, buffer.size());
            if (const auto usage = decoder.firstUsage(std::span(buffer).first(length))) {
                if (onUsage_) {
                    onUsage_(*usage);
                }
            }
            continue;
        }
        if (status == HidReadStatus::Timeout || status == HidReadStatus::Aborted) {
            continue;
        }
        if (!backend_.isStillPresent(path)) {
            return;
        }
        // A failed read of a present device: read again, without spinning.
        if (stop.wait(kListenerReadRetry)) {
            return;
        }
    }
}

void MouseConsumerListener::run(const platform::StopEvent& stop) {
    DeviceChangeWaiter waiter(changes_, stop);
    while (!stop.isSet()) {
        std::unique_ptr<HidHandle> handle;
        std::optional<ConsumerDecoder> decoder;
        if (!scan(handle, decoder)) {
            return;
        }
        if (handle != nullptr) {
            listen(*handle, *decoder, stop);
            handle.reset();
        }
        if (waiter.wait(waiter.interval(kListenerScanInterval))) {
            return;
        }
    }
}

void KeyboardConsumerHolder::run(const platform::StopEvent& stop) {
    const InterfaceMatch& match = interfaceMatch(InterfaceRole::KeyboardConsumerListener);
    {
        DeviceChangeWaiter waiter(changes_, stop);
        while (held_ == nullptr) {
            if (stop.isSet()) {
                return;
            }
            const auto interfaces = backend_.enumerate();
            if (!interfaces) {
                return;
            }
            for (const HidInterfaceInfo& info : *interfaces) {
                if (!matchesInterface(InterfaceRole::KeyboardConsumerListener, info)) {
                    continue;
                }
                if (auto handle = backend_.open(info, match.access)) {
                    held_ = std::move(handle);
                    holding_ = true;
                    break;
                }
            }
            if (held_ == nullptr && waiter.wait(waiter.interval(kListenerScanInterval))) {
                return;
            }
        }
    }
    // Holding is all it does: it sleeps until the program ends.
    stop.waitUntil([] { return false; });
    held_.reset();
    holding_ = false;
}

}  // namespace korvane::device
