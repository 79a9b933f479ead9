#pragma once

#include <functional>
#include <string_view>

#include "core/mouse/system_pointer.h"

namespace korvane::mouse {

// Headless sessions and tests: nothing on the desktop changes; every value applied is
// written as the line "pointer speed N" or "wheel lines N".
class PrintingSystemPointer final : public SystemPointer {
  public:
    using Output = std::function<void(std::string_view line)>;

    explicit PrintingSystemPointer(Output output) : output_(std::move(output)) {}

    void setPointerSpeed(int speed) override;
    void setWheelLines(int lines) override;

  private:
    Output output_;
};

}  // namespace korvane::mouse
