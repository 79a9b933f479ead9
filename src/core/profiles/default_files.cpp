#include "core/profiles/default_files.h"

#include <system_error>

#include "core/platform/paths.h"

namespace korvane::profiles {

namespace {

constexpr bool rowsFollowKinds() {
    for (std::size_t i = 0; i < kDefaultProfileFiles.size(); ++i) {
        if (static_cast<std::size_t>(kDefaultProfileFiles[i].kind) != i) {
            return false;
        }
    }
    return true;
}
static_assert(rowsFollowKinds(), "kDefaultProfileFiles is indexed by DeviceKind");

device::DeviceKind kindForList(ProfileList list, device::DeviceKind kind) {
    const device::DeviceClass wanted = infoOf(list).deviceClass;
    if (device::modelOf(kind).deviceClass == wanted) {
        return kind;
    }
    for (const auto& model : device::kDeviceModels) {
        if (model.deviceClass == wanted) {
            return model.kind;
        }
    }
    return kind;
}

}  // namespace

std::string_view defaultProfileFile(ProfileList list, device::DeviceKind kind) {
    const auto& files = kDefaultProfileFiles[static_cast<std::size_t>(kindForList(list, kind))];
    switch (list) {
        case ProfileList::KeyboardLight:
        case ProfileList::MouseLight:
        case ProfileList::MousePadLight:
            return files.light;
        case ProfileList::KeyboardKeys:
        case ProfileList::MouseKeys:
            return files.keys;
    }
    return {};
}

std::filesystem::path capturedKeyProfilePath(device::DeviceKind keyboardKind) {
    return platform::DataRoot() /
           std::string(defaultProfileFile(ProfileList::KeyboardKeys, keyboardKind));
}

std::filesystem::path defaultProfilePath(ProfileList list, device::DeviceKind kind) {
    if (list == ProfileList::KeyboardKeys) {
        const std::filesystem::path captured = capturedKeyProfilePath(kind);
        std::error_code ec;
        if (std::filesystem::is_regular_file(captured, ec)) {
            return captured;
        }
    }
    return platform::ProgramFolder() / std::string(defaultProfileFile(list, kind));
}

}  // namespace korvane::profiles
