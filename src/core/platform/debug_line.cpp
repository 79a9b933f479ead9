#include "core/platform/debug_line.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace korvane::platform {
namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

DebugSink& sink() {
    static DebugSink s;
    return s;
}

}  // namespace

void debugLine(std::string_view text) {
    // Texts often end in "\n" already; a diagnostic is one line either way.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    std::lock_guard lock(sinkMutex());
    if (sink()) {
        sink()(text);
    }
    if (std::getenv("KORVANE_DEBUG") != nullptr) {
        std::string line(text);
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
}

void setDebugSink(DebugSink s) {
    std::lock_guard lock(sinkMutex());
    sink() = std::move(s);
}

}  // namespace korvane::platform
