#include "core/profiles/profile_index.h"

#include <algorithm>
#include <string>

#include "core/platform/file_names.h"
#include "core/platform/paths.h"
#include "core/platform/text.h"

namespace korvane::profiles {

namespace fs = std::filesystem;

fs::path deviceFolder(device::DeviceClass deviceClass) {
    switch (deviceClass) {
        case device::DeviceClass::Keyboard:
            return platform::KeyboardFolder();
        case device::DeviceClass::Mouse:
            return platform::MouseFolder();
        case device::DeviceClass::MousePad:
            return platform::MousePadFolder();
    }
    return platform::KeyboardFolder();
}

std::optional<fs::path> profilePath(ProfileList list, std::string_view name) {
    if (!platform::isSafeFileName(name)) {
        return std::nullopt;
    }
    const ProfileListInfo& info = infoOf(list);
    std::string file(name);
    file += info.extension;
    return deviceFolder(info.deviceClass) / file;
}

namespace {

std::string key(long position) {
    return platform::formatInt(position);
}

}  // namespace

ProfileIndex::ProfileIndex(ProfileList list)
    : ProfileIndex(list, deviceFolder(infoOf(list).deviceClass) / infoOf(list).indexFile) {}

ProfileIndex::ProfileIndex(ProfileList list, fs::path indexFile)
    : list_(list), sections_(*infoOf(list).sections), ini_(std::move(indexFile)) {}

long ProfileIndex::rawCount() const {
    return ini_.readInt(sections_.count, "count");
}

long ProfileIndex::count() const {
    return std::clamp(rawCount(), 0L, kMaxProfileCount);
}

bool ProfileIndex::setCount(long count) {
    return ini_.writeInt(sections_.count, "count", count);
}

std::string ProfileIndex::name(long position) const {
    return ini_.readString(sections_.name, key(position));
}

bool ProfileIndex::setName(long position, std::string_view name) {
    return ini_.writeString(sections_.name, key(position), name);
}

long ProfileIndex::selected() const {
    return ini_.readInt(sections_.select, "select");
}

bool ProfileIndex::setSelected(long position) {
    return ini_.writeInt(sections_.select, "select", position);
}

long ProfileIndex::linkFlag(long position) const {
    return ini_.readInt(sections_.link, key(position));
}

bool ProfileIndex::setLinkFlag(long position, bool linked) {
    return ini_.writeInt(sections_.link, key(position), linked ? 1 : 0);
}

std::string ProfileIndex::linkPath(long position) const {
    return ini_.readString(sections_.path, key(position));
}

bool ProfileIndex::setLinkPath(long position, std::string_view path) {
    return ini_.writeString(sections_.path, key(position), path);
}

}  // namespace korvane::profiles
