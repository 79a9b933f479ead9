#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/device/hid_backend.h"
#include "core/device/report64.h"

namespace korvane::device::testing {

// What the fake does with one written report: whether the write succeeds and which input
// reports become readable after it.
struct Reaction {
    bool writeOk = true;
    std::vector<std::vector<std::uint8_t>> inputs;
};

// An answer to request with the given status and data bytes at 8...
inline std::vector<std::uint8_t> answerTo(const Report64& request, std::uint8_t status = 0,
                                          std::span<const std::uint8_t> data = {}) {
    Report64 answer = request;
    answer.setStatus(status);
    std::fill(answer.data().begin(), answer.data().end(), 0);
    std::copy_n(data.begin(), std::min(data.size(), kReportDataSize), answer.data().begin());
    return {answer.bytes.begin(), answer.bytes.end()};
}

// A scripted HidHandle: records every written report and answers from a responder that sees
// the request and its 1-based write number. Reads wait (up to their time limit) for queued
// input reports and can be abandoned with abortRead.
class FakeHidHandle : public HidHandle {
  public:
    using Responder = std::function<Reaction(const Report64& request, int writeNumber)>;

    explicit FakeHidHandle(HidInterfaceInfo info = {}) : info_(std::move(info)) {
        responder_ = [](const Report64& request, int) {
            return Reaction{true, {answerTo(request)}};
        };
    }

    void setResponder(Responder responder) {
        std::lock_guard guard(mutex_);
        responder_ = std::move(responder);
    }
    void queueInput(std::vector<std::uint8_t> report) {
        std::lock_guard guard(mutex_);
        inputs_.push_back(std::move(report));
        arrived_.notify_all();
    }
    std::vector<Report64> written() const {
        std::lock_guard guard(mutex_);
        return written_;
    }
    // Reads that waited for input; the zero-time looks that empty the queue before a
    // request are not counted.
    int readCalls() const {
        std::lock_guard guard(mutex_);
        return readCalls_;
    }
    void setDescriptor(std::vector<std::uint8_t> descriptor) {
        descriptor_ = std::move(descriptor);
    }

    bool write(std::span<const std::uint8_t> report, std::chrono::milliseconds) override {
        std::lock_guard guard(mutex_);
        Report64 copy;
        std::copy_n(report.begin(), std::min(report.size(), kReportSize), copy.bytes.begin());
        written_.push_back(copy);
        Reaction reaction = responder_(copy, static_cast<int>(written_.size()));
        for (auto& input : reaction.inputs) {
            inputs_.push_back(std::move(input));
        }
        arrived_.notify_all();
        return reaction.writeOk;
    }

    HidReadStatus read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                       std::size_t& bytesRead) override {
        std::unique_lock guard(mutex_);
        if (timeout != std::chrono::milliseconds::zero()) {
            ++readCalls_;
        }
        bytesRead = 0;
        auto ready = [&] { return aborted_ || !inputs_.empty(); };
        if (timeout == kInfinite) {
            arrived_.wait(guard, ready);
        } else if (!arrived_.wait_for(guard, timeout, ready)) {
            return HidReadStatus::Timeout;
        }
        if (aborted_) {
            aborted_ = false;
            return HidReadStatus::Aborted;
        }
        const auto report = std::move(inputs_.front());
        inputs_.pop_front();
        bytesRead = std::min(report.size(), buffer.size());
        std::copy_n(report.begin(), bytesRead, buffer.begin());
        return HidReadStatus::Ok;
    }

    void abortRead() override {
        std::lock_guard guard(mutex_);
        aborted_ = true;
        arrived_.notify_all();
    }
    std::vector<std::uint8_t> reportDescriptor() const override { return descriptor_; }
    const HidInterfaceInfo& info() const override { return info_; }

  private:
    HidInterfaceInfo info_;
    std::vector<std::uint8_t> descriptor_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    Responder responder_;
    std::vector<Report64> written_;
    std::deque<std::vector<std::uint8_t>> inputs_;
    bool aborted_ = false;
    int readCalls_ = 0;
};

// Hands a shared FakeHidHandle to an owner that wants a unique_ptr (a commander, a trace
// decorator) while the test keeps looking at the fake.
class ForwardingHandle : public HidHandle {
  public:
    explicit ForwardingHandle(std::shared_ptr<FakeHidHandle> target) : target_(std::move(target)) {}
    bool write(std::span<const std::uint8_t> r, std::chrono::milliseconds t) override {
        return target_->write(r, t);
    }
    HidReadStatus read(std::span<std::uint8_t> b, std::chrono::milliseconds t,
                       std::size_t& n) override {
        return target_->read(b, t, n);
    }
    void abortRead() override { target_->abortRead(); }
    std::vector<std::uint8_t> reportDescriptor() const override {
        return target_->reportDescriptor();
    }
    const HidInterfaceInfo& info() const override { return target_->info(); }

  private:
    std::shared_ptr<FakeHidHandle> target_;
};

// A backend over a fixed list of fake interfaces. open hands out handles that forward to a
// shared FakeHidHandle so the test can keep looking at it.
class FakeHidBackend : public HidBackend {
  public:
    std::shared_ptr<FakeHidHandle> add(const HidInterfaceInfo& info) {
        auto handle = std::make_shared<FakeHidHandle>(info);
        interfaces_.push_back(info);
        handles_[info.path] = handle;
        return handle;
    }

    std::optional<std::vector<HidInterfaceInfo>> enumerate() override { return interfaces_; }
    std::unique_ptr<HidHandle> open(const HidInterfaceInfo& info, HidAccess) override {
        auto it = handles_.find(info.path);
        if (it == handles_.end()) {
            return nullptr;
        }
        return std::make_unique<ForwardingHandle>(it->second);
    }
    bool isStillPresent(const std::string& path) override { return handles_.contains(path); }

  private:
    std::vector<HidInterfaceInfo> interfaces_;
    std::map<std::string, std::shared_ptr<FakeHidHandle>> handles_;
};

}  // namespace korvane::device::testing
