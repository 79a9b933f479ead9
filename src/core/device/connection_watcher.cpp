#include "core/device/connection_watcher.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "core/device/device_permissions.h"
#include "core/platform/debug_line.h"

namespace korvane::device {

ConnectionWatcher::ConnectionWatcher(HidBackend& backend, DeviceCommander& commander,
                                     InterfaceRole role, Hooks hooks, DeviceChanges* changes)
    : backend_(backend),
      commander_(commander),
      role_(role),
      hooks_(std::move(hooks)),
      changes_(changes) {}

bool ConnectionWatcher::connectFirstMatch(const std::vector<HidInterfaceInfo>& interfaces,
                                          DeviceKind& kind, HidInterfaceInfo& info) {
    const InterfaceMatch& match = interfaceMatch(role_);
    for (const HidInterfaceInfo& candidate : interfaces) {
        const auto accepted = acceptedKind(role_, candidate);
        if (!accepted) {
            continue;
        }
        auto handle = backend_.open(candidate, match.access);
        if (handle == nullptr) {
            // Given up for this pass; the next pass tries again.
            noteOpenFailure(candidate, match.access);
            continue;
        }
        commander_.attach(std::move(handle));
        kind = *accepted;
        info = candidate;
        return true;
    }
    return false;
}

void ConnectionWatcher::noteOpenFailure(const HidInterfaceInfo& candidate, HidAccess access) {
    if (backend_.whyNotOpened(candidate, access) != HidOpenFailure::PermissionDenied) {
        return;
    }
    const std::uint32_t device =
        static_cast<std::uint32_t>(candidate.vendorId) << 16 | candidate.productId;
    if (!deniedReported_.insert(device).second) {
        return;
    }
    platform::debugLine(PermissionDeniedText(candidate));
    deniedThisPass_.push_back(candidate);
}

ConnectionWatcher::Pass ConnectionWatcher::runPass() {
    Pass pass = Pass::Absent;
    {
        std::unique_lock lock(commander_.lock());
        if (commander_.connected()) {
            const auto handle = commander_.handle();
            if (handle != nullptr && backend_.isStillPresent(handle->info().path)) {
                pass = Pass::Present;
            } else {
                commander_.setConnected(false);
                commander_.setSynchronised(false);
                commander_.attach(nullptr);
                pass = Pass::Lost;
            }
        } else {
            const auto interfaces = backend_.enumerate();
            if (!interfaces) {
                return Pass::EnumerationFailed;
            }
            DeviceKind kind{};
            HidInterfaceInfo info;
            if (connectFirstMatch(*interfaces, kind, info)) {
                pass = Pass::Arrived;
                if (hooks_.readArrived) {
                    hooks_.readArrived(kind, info);
                }
            }
        }
    }
    // Never wait for the main thread while the device's lock is held.
    for (const HidInterfaceInfo& denied : std::exchange(deniedThisPass_, {})) {
        if (hooks_.permissionDenied) {
            hooks_.permissionDenied(denied);
        }
    }
    switch (pass) {
        case Pass::Arrived:
            if (hooks_.applyArrived) {
                hooks_.applyArrived();
            }
            break;
        case Pass::Present:
            if (hooks_.stillPresent) {
                hooks_.stillPresent();
            }
            break;
        case Pass::Lost:
            if (hooks_.lost) {
                hooks_.lost();
            }
            break;
        default:
            break;
    }
    return pass;
}

void ConnectionWatcher::run(const platform::StopEvent& stop, const std::function<bool()>& pending) {
    DeviceChangeWaiter waiter(changes_, stop);
    while (!stop.isSet()) {
        if (runPass() == Pass::EnumerationFailed) {
            return;
        }
        const auto unwatched = commander_.connected() ? kPresentPollInterval : kAbsentPollInterval;
        if (waiter.wait(waiter.interval(unwatched), pending)) {
            return;
        }
    }
}

}  // namespace korvane::device
