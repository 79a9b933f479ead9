#include "core/app/worker_set.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "core/platform/debug_line.h"
#include "core/platform/thread_name.h"

namespace korvane::app {
namespace {

constexpr std::size_t index(WorkerSlot slot) {
    return static_cast<std::size_t>(slot);
}

}  // namespace

WorkerSet::WorkerSet() {
    for (const auto& entry : kWorkerTable) {
        workers_[index(entry.slot)] = std::make_unique<platform::Worker>(std::string(entry.name));
    }
}

WorkerSet::~WorkerSet() {
    for (auto& worker : workers_) {
        worker->requestStop();
    }
}

void WorkerSet::assign(WorkerSlot slot, Body body) {
    if (!started_) {
        bodies_[index(slot)] = std::move(body);
    }
}

void WorkerSet::startAll(const std::function<void()>& betweenNineAndTen) {
    if (started_) {
        return;
    }
    started_ = true;
    for (const auto& entry : kWorkerTable) {
        const std::size_t i = index(entry.slot);
        if (bodies_[i]) {
            const std::string_view endLine = entry.endLine;
            const std::string_view thread = entry.thread;
            workers_[i]->start([body = bodies_[i], endLine, thread](platform::StopEvent& stop) {
                platform::nameThisThread(thread);
                body(stop);
                // A worker that gave up on its own (an enumeration failure) says nothing.
                if (!endLine.empty() && stop.isSet()) {
                    platform::debugLine(endLine);
                }
            });
        }
        if (entry.slot == WorkerSlot::SyncEffect && betweenNineAndTen) {
            betweenNineAndTen();
        }
    }
}

bool WorkerSet::running(WorkerSlot slot) const {
    return workers_[index(slot)]->running();
}

platform::StopEvent& WorkerSet::stopEvent(WorkerSlot slot) {
    return workers_[index(slot)]->stopEvent();
}

void WorkerSet::stopAll(const std::function<void()>& onSignalled) {
    using Clock = std::chrono::steady_clock;
    for (auto& worker : workers_) {
        worker->requestStop();
    }
    if (onSignalled) {
        onSignalled();
    }
    const auto deadline = Clock::now() + kStopBudget;
    // One wait: until every worker has ended or the wait's time is up. Each worker's own end
    // event is waited on in turn, so the wait costs nothing while they stop.
    const auto waitForAll = [this](Clock::time_point until) {
        for (const auto& entry : kWorkerTable) {
            platform::Worker& worker = *workers_[index(entry.slot)];
            if (entry.slot == WorkerSlot::VersionReadback || worker.abandoned()) {
                continue;
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
            if (!worker.waitFinished(std::max(left, std::chrono::milliseconds(0)))) {
                return false;
            }
        }
        return true;
    };
    for (int round = 0; round < kWorkerCount; ++round) {
        const auto now = Clock::now();
        if (now >= deadline) {
            break;
        }
        if (waitForAll(std::min(deadline, now + kStopRound))) {
            platform::debugLine("所有对象处于激发状态\n");
            // The version readback may sit in a network call: it is not waited for, beyond
            // a moment for one that was only sleeping on its stop event.
            platform::Worker& readback = *workers_[index(WorkerSlot::VersionReadback)];
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (!readback.waitFinished(
                    std::clamp(left, std::chrono::milliseconds(0), kReadbackGrace))) {
                readback.abandon();
            }
            return;
        }
        platform::debugLine("所有对象处于非激发状态，超时\n");
    }
    for (auto& worker : workers_) {
        worker->abandon();
    }
}

bool WorkerSet::anyAbandoned() const {
    for (const auto& worker : workers_) {
        if (worker->abandoned()) {
            return true;
        }
    }
    return false;
}

}  // namespace korvane::app
