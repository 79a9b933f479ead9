#include "core/app/worker_set.h"

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

void WorkerSet::stopAll(platform::MainLoop& loop) {
    using namespace std::chrono_literals;
    // The version readback may sit in a network call: it is told to stop, not waited for.
    workers_[index(WorkerSlot::VersionReadback)]->requestStop();
    for (auto& worker : workers_) {
        worker->requestStop();
    }
    const auto allEnded = [this] {
        for (const auto& entry : kWorkerTable) {
            if (entry.slot != WorkerSlot::VersionReadback &&
                workers_[index(entry.slot)]->running()) {
                return false;
            }
        }
        return true;
    };
    for (int round = 0; round < kWorkerCount; ++round) {
        const bool ended = loop.isMainThread() ? loop.pumpUntil(allEnded, 1000ms) : [&] {
            const auto deadline = std::chrono::steady_clock::now() + 1000ms;
            while (!allEnded() && std::chrono::steady_clock::now() < deadline) {
                platform::StopEvent().wait(1ms);
            }
            return allEnded();
        }();
        if (ended) {
            platform::debugLine("所有对象处于激发状态\n");
            break;
        }
        platform::debugLine("所有对象处于非激发状态，超时\n");
    }
    for (const auto& entry : kWorkerTable) {
        if (entry.slot != WorkerSlot::VersionReadback) {
            workers_[index(entry.slot)]->waitFinished(std::chrono::milliseconds(0));
        }
    }
}

}  // namespace korvane::app
