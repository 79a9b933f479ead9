#include "backends/x11/x11_system_pointer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <mutex>
#include <string_view>

#include "backends/x11/x11_error_handler.h"
#include "core/platform/debug_line.h"

namespace korvane::backends {
namespace {

constexpr const char* kLibinputAccelSpeed = "libinput Accel Speed";
constexpr const char* kConstantDeceleration = "Device Accel Constant Deceleration";
constexpr int kAccelerationDenominator = 10;

// Errors of these connections (a pointer unplugged between the query and the change) are
// swallowed by the process's one X error handler of ours.
class Connection {
  public:
    explicit Connection(const std::string& name)
        : display_(XOpenDisplay(name.empty() ? nullptr : name.c_str())) {
        AdoptX11Display(display_);
    }
    ~Connection() {
        if (display_ == nullptr) {
            return;
        }
        XSync(display_, False);
        XCloseDisplay(display_);
        ReleaseX11Display(display_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* get() const { return display_; }

  private:
    Display* display_;
};

// A one-item 32-bit FLOAT property of the device; false when it has none.
bool hasFloat(Display* display, int device, Atom property, Atom floatType) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Status status = XIGetProperty(display, device, property, 0, 1, False, AnyPropertyType,
                                        &type, &format, &items, &after, &data);
    if (data != nullptr) {
        XFree(data);
    }
    return status == Success && type == floatType && format == 32 && items >= 1;
}

void setFloat(Display* display, int device, Atom property, Atom floatType, float value) {
    XIChangeProperty(display, device, property, floatType, 32, PropModeReplace,
                     reinterpret_cast<unsigned char*>(&value), 1);
}

struct Changed {
    int libinput = 0;
    int deceleration = 0;
    bool corePointer = false;
};

Changed applySpeed(Display* display, int speed) {
    Changed changed;
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = 2;
    int minor = 0;
    const bool xi2 = XQueryExtension(display, "XInputExtension", &opcode, &event, &error) &&
                     XIQueryVersion(display, &major, &minor) == Success;
    // Atoms that do not exist yet mean no device has that property.
    const Atom floatType = XInternAtom(display, "FLOAT", True);
    const Atom libinput = XInternAtom(display, kLibinputAccelSpeed, True);
    const Atom deceleration = XInternAtom(display, kConstantDeceleration, True);
    if (xi2 && floatType != None) {
        int count = 0;
        XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
        for (int i = 0; i < count; ++i) {
            const XIDeviceInfo& device = devices[i];
            if (device.use != XISlavePointer && device.use != XIFloatingSlave) {
                continue;
            }
            if (libinput != None && hasFloat(display, device.deviceid, libinput, floatType)) {
                setFloat(display, device.deviceid, libinput, floatType,
                         static_cast<float>(desktopAccelerationOf(speed)));
                ++changed.libinput;
            } else if (deceleration != None &&
                       hasFloat(display, device.deviceid, deceleration, floatType)) {
                setFloat(display, device.deviceid, deceleration, floatType,
                         static_cast<float>(kAccelerationDenominator) / static_cast<float>(speed));
                ++changed.deceleration;
            }
        }
        if (devices != nullptr) {
            XIFreeDeviceInfo(devices);
        }
    }
    if (changed.libinput == 0 && changed.deceleration == 0) {
        XChangePointerControl(display, True, False, speed, kAccelerationDenominator, 0);
        changed.corePointer = true;
    }
    XSync(display, False);
    return changed;
}

}  // namespace

X11SystemPointer::X11SystemPointer(std::string displayName, DesktopPointerSettings desktop)
    : displayName_(std::move(displayName)), desktop_(std::move(desktop)) {}

void X11SystemPointer::setPointerSpeed(int speed) {
    std::lock_guard lock(speedMutex_);
    const Connection connection(displayName_);
    if (connection.get() == nullptr) {
        platform::debugLine("pointer speed " + std::to_string(speed) +
                            " not applied: no X display");
        return;
    }
    const Changed changed = applySpeed(connection.get(), speed);
    desktop_.keepPointerSpeed(speed);
    platform::debugLine("pointer speed " + std::to_string(speed) + ": " +
                        std::to_string(changed.libinput) + " libinput, " +
                        std::to_string(changed.deceleration) + " other pointers" +
                        (changed.corePointer ? ", core pointer" : ""));
}

void X11SystemPointer::setWheelLines(int lines) {
    if (!desktop_.keepWheelLines(lines)) {
        platform::debugLine("wheel lines " + std::to_string(lines) +
                            " kept in the profile: the desktop has no such setting");
    }
}

std::unique_ptr<mouse::SystemPointer> makeDesktopSystemPointer() {
    return std::make_unique<X11SystemPointer>(
        std::string(), DesktopPointerSettings(DesktopEnvironment::fromProcess()));
}

}  // namespace korvane::backends
