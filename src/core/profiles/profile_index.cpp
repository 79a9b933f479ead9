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

bool ProfileIndex::write(const std::function<void(Edit&)>& change) {
    return ini_.update([&](platform::IniDocument& doc) {
        Edit edit(doc, sections_);
        change(edit);
        return !edit.refused_;
    });
}

void ProfileIndex::Edit::set(std::string_view section, std::string_view key,
                             std::string_view value) {
    if (!platform::IniDocument::isWritable(section, key, value)) {
        refused_ = true;
        return;
    }
    doc_.set(section, key, value);
}

void ProfileIndex::Edit::setCount(long count) {
    set(sections_.count, "count", platform::formatInt(count));
}

void ProfileIndex::Edit::setName(long position, std::string_view name) {
    set(sections_.name, key(position), name);
}

void ProfileIndex::Edit::setSelected(long position) {
    set(sections_.select, "select", platform::formatInt(position));
}

void ProfileIndex::Edit::setLinkFlag(long position, bool linked) {
    set(sections_.link, key(position), linked ? "1" : "0");
}

void ProfileIndex::Edit::setLinkFlagValue(long position, long value) {
    set(sections_.link, key(position), platform::formatInt(value));
}

void ProfileIndex::Edit::setLinkPath(long position, std::string_view path) {
    set(sections_.path, key(position), path);
}

void ProfileIndex::Edit::removeLinkPath(long position) {
    doc_.set(sections_.path, key(position), std::nullopt);
}

long ProfileIndex::Edit::linkFlag(long position) const {
    return platform::parseLong(doc_.find(sections_.link, key(position)).value_or("0"));
}

std::optional<std::string> ProfileIndex::Edit::linkPath(long position) const {
    const auto value = doc_.find(sections_.path, key(position));
    if (!value) {
        return std::nullopt;
    }
    return platform::truncateUtf16(*value, platform::IniFile::kMaxValueUnits);
}

std::optional<ProfileIndex::Contents> ProfileIndex::readAll() const {
    Contents contents;
    const bool read = ini_.read([&](const platform::IniDocument& doc) {
        const auto value = [&](std::string_view section, std::string_view name) {
            return platform::truncateUtf16(doc.find(section, name).value_or("0"),
                                           platform::IniFile::kMaxValueUnits);
        };
        contents.selected = platform::parseLong(value(sections_.select, "select"));
        const long count =
            std::clamp(platform::parseLong(value(sections_.count, "count")), 0L, kMaxProfileCount);
        contents.entries.reserve(static_cast<std::size_t>(count));
        for (long i = 0; i < count; ++i) {
            contents.entries.push_back({value(sections_.name, key(i)),
                                        platform::parseLong(value(sections_.link, key(i))),
                                        value(sections_.path, key(i))});
        }
    });
    if (!read) {
        return std::nullopt;
    }
    return contents;
}

long ProfileIndex::Edit::rawCount() const {
    return platform::parseLong(doc_.find(sections_.count, "count").value_or("0"));
}

std::string ProfileIndex::Edit::name(long position) const {
    return platform::truncateUtf16(doc_.find(sections_.name, key(position)).value_or("0"),
                                   platform::IniFile::kMaxValueUnits);
}

}  // namespace korvane::profiles
