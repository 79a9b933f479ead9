#include "core/platform/keep_until_exit.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <vector>

namespace korvane::platform {
namespace {

struct Kept {
    std::mutex mutex;
    std::vector<std::shared_ptr<void>> objects;
};

// Never destroyed, so the objects outlive every static destructor too.
Kept& kept() {
    static Kept* const instance = new Kept;
    return *instance;
}

}  // namespace

void KeepUntilExit(std::shared_ptr<void> object) {
    if (!object) {
        return;
    }
    Kept& k = kept();
    std::lock_guard lock(k.mutex);
    k.objects.push_back(std::move(object));
}

void EndProcessNow(int code) {
    std::cout.flush();
    std::cerr.flush();
    std::clog.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace korvane::platform
