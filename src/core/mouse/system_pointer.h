#pragma once

namespace korvane::mouse {

// The desktop's pointer speed and wheel lines, which the mouse page sets for the whole
// session. Calls come from short-lived threads, two of them possibly at once; an
// implementation serialises what must not overlap. Values arrive already inside their
// ranges.
class SystemPointer {
  public:
    static constexpr int kSlowestSpeed = 1;
    static constexpr int kFastestSpeed = 20;
    static constexpr int kNeutralSpeed = 10;  // neither faster nor slower than the device
    static constexpr int kFewestLines = 1;
    static constexpr int kMostLines = 10;

    virtual ~SystemPointer() = default;

    // speed 1..20.
    virtual void setPointerSpeed(int speed) = 0;
    // lines 1..10 scrolled per wheel notch.
    virtual void setWheelLines(int lines) = 0;
};

}  // namespace korvane::mouse
