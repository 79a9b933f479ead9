#include "core/platform/thread_name.h"

#include <pthread.h>

#include <string>

namespace korvane::platform {

void nameThisThread(std::string_view name) {
    constexpr std::size_t kMaxBytes = 15;
    const std::string kept(name.substr(0, kMaxBytes));
    pthread_setname_np(pthread_self(), kept.c_str());
}

}  // namespace korvane::platform
