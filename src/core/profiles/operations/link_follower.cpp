#include "core/profiles/operations/link_follower.h"

#include <filesystem>
#include <system_error>

#include "core/app/main_window.h"
#include "core/app/profile_selection.h"
#include "core/platform/text.h"
#include "core/profiles/foreground_app.h"

namespace korvane::profiles::operations {
namespace {

app::WorkerSlot slotOf(ProfileList list) {
    return static_cast<app::WorkerSlot>(static_cast<int>(app::WorkerSlot::KeyboardLightLink) +
                                        static_cast<int>(list));
}

bool blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

bool sameProgram(std::string_view linkPath, std::string_view programFile) {
    if (blank(linkPath) || blank(programFile)) {
        return false;
    }
    if (platform::equalsIgnoreCase(linkPath, programFile)) {
        return true;
    }
    std::error_code ec;
    const auto resolved = std::filesystem::weakly_canonical(std::filesystem::path(linkPath), ec);
    return !ec && platform::equalsIgnoreCase(resolved.string(), programFile);
}

long linkedPosition(const ProfileIndex& index, std::string_view programFile) {
    if (blank(programFile)) {
        return -1;
    }
    const auto contents = index.readAll();
    if (!contents) {
        return -1;
    }
    for (std::size_t i = 0; i < contents->entries.size(); ++i) {
        const ProfileIndex::Entry& entry = contents->entries[i];
        if (entry.linkFlag == 1 && sameProgram(entry.linkPath, programFile)) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

LinkFollower::LinkFollower(app::MainWindow& main) : main_(main) {
    for (auto& pending : pending_) {
        pending = true;  // every poller looks once when it starts
    }
}

void LinkFollower::installWorkers() {
    for (const ProfileList list : kAllProfileLists) {
        main_.workers().assign(slotOf(list),
                               [self = shared_from_this(), list](platform::StopEvent& stop) {
                                   self->run(list, stop);
                               });
    }
}

void LinkFollower::recheck(ProfileList list) {
    pending_[static_cast<std::size_t>(list)] = true;
    main_.workers().stopEvent(slotOf(list)).wake();
}

void LinkFollower::run(ProfileList list, platform::StopEvent& stop) {
    std::atomic<bool>& pending = pending_[static_cast<std::size_t>(list)];
    ForegroundApp* foreground = main_.foreground();
    int subscription = 0;
    if (foreground != nullptr) {
        subscription = foreground->subscribe([&pending, &stop] {
            pending = true;
            stop.wake();
        });
    }
    while (!stop.waitUntil([&pending] { return pending.load(); })) {
        pending = false;
        std::string program = foreground != nullptr ? foreground->programFile() : std::string();
        const long linked = linkedPosition(ProfileIndex(list), program);
        main_.loop().post([self = shared_from_this(), list, linked, program = std::move(program)] {
            self->follow(list, linked, program);
        });
    }
    if (foreground != nullptr) {
        foreground->unsubscribe(subscription);
    }
}

void LinkFollower::follow(ProfileList list, long linked, const std::string& programFile) {
    if (main_.exited()) {
        return;
    }
    const ui::Control* combo = main_.tree().find(app::controlsOf(list).combo);
    if (combo == nullptr) {
        return;
    }
    const ProfileIndex index(list);
    if (linked >= 0) {
        // The list may have changed since the poller read it: look again rather than
        // select a profile that is no longer the linked one.
        if (!index.linked(linked) || !sameProgram(index.linkPath(linked), programFile)) {
            recheck(list);
            return;
        }
        app::SelectLinkedProfileAt(main_, list, linked);
        return;
    }
    // Before any device selected a profile there is no choice of the user's to go back to.
    if (combo->currentItem() < 0) {
        return;
    }
    app::SelectLinkedProfileAt(main_, list, index.selected());
}

}  // namespace korvane::profiles::operations
