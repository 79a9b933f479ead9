#include "core/mouse/printing_system_pointer.h"

#include <string>

namespace korvane::mouse {

void PrintingSystemPointer::setPointerSpeed(int speed) {
    if (output_) {
        output_("pointer speed " + std::to_string(speed));
    }
}

void PrintingSystemPointer::setWheelLines(int lines) {
    if (output_) {
        output_("wheel lines " + std::to_string(lines));
    }
}

}  // namespace korvane::mouse
