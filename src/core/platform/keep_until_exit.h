#pragma once

#include <memory>

namespace korvane::platform {

// A worker that did not end when the program ended was abandoned, not joined: whatever it
// may still touch must stay alive until the process is gone. These are the two ways.

// Keeps the object alive and reachable until the process ends; it is never destroyed.
void KeepUntilExit(std::shared_ptr<void> object);

template <typename T>
void KeepUntilExit(std::unique_ptr<T> object) {
    KeepUntilExit(std::shared_ptr<void>(std::move(object)));
}

// Flushes the standard streams and ends the process with the code at once, destroying
// nothing an abandoned worker may still be using.
[[noreturn]] void EndProcessNow(int code);

}  // namespace korvane::platform
