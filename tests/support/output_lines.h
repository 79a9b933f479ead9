#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::testing {

// Collects the lines a headless program writes ("window shown", "message KEY", ...) from
// whatever thread writes them.
class OutputLines {
  public:
    std::function<void(std::string_view)> sink() {
        return [this](std::string_view line) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(line);
        };
    }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    int count(const std::string& line) const {
        int n = 0;
        for (const auto& l : lines()) {
            n += l == line;
        }
        return n;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace korvane::testing
