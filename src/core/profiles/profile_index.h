#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/device_kind.h"
#include "core/platform/ini_document.h"
#include "core/platform/ini_file.h"
#include "core/profiles/profile_file.h"

namespace korvane::profiles {

// The five profile lists. Keyboard and mouse each keep a light list and a key list in one
// index file; the mouse pad keeps only a light list.
enum class ProfileList : std::uint8_t {
    KeyboardLight,
    KeyboardKeys,
    MouseLight,
    MouseKeys,
    MousePadLight,
};
inline constexpr std::size_t kProfileListCount = 5;
inline constexpr std::array<ProfileList, kProfileListCount> kAllProfileLists{
    ProfileList::KeyboardLight, ProfileList::KeyboardKeys, ProfileList::MouseLight,
    ProfileList::MouseKeys, ProfileList::MousePadLight};

// The sections of one list in its index file.
struct IndexSections {
    std::string_view count;   // key "count"
    std::string_view name;    // keys "0" .. count - 1
    std::string_view select;  // key "select"
    std::string_view link;    // keys "0" .. count - 1: "1" linked, "0" not
    std::string_view path;    // keys "0" .. count - 1: the linked program file
};

inline constexpr IndexSections kLightSections{"PROFILEDENGCOUNT", "PROFILEDENGNAME",
                                              "PROFILEDENGSELECT", "PROFILELIKEDENGEXE",
                                              "DENGPROCESS"};
inline constexpr IndexSections kKeySections{"PROFILECOUNT", "PROFILENAME", "PROFILESELECT",
                                            "PROFILELIKEEXE", "PROCESS"};

struct ProfileListInfo {
    ProfileList list;
    device::DeviceClass deviceClass;
    std::string_view indexFile;
    const IndexSections* sections;
    std::string_view extension;
    std::size_t bodyLength;
    ClassCode classCode;
};

inline constexpr std::array<ProfileListInfo, kProfileListCount> kProfileLists{{
    {ProfileList::KeyboardLight, device::DeviceClass::Keyboard, "kbProfile.ini", &kLightSections,
     ".led", kKeyboardLightBodyLength, ClassCode::Keyboard},
    {ProfileList::KeyboardKeys, device::DeviceClass::Keyboard, "kbProfile.ini", &kKeySections,
     ".pro", kKeyProfileBodyLength, ClassCode::Keyboard},
    {ProfileList::MouseLight, device::DeviceClass::Mouse, "msProfile.ini", &kLightSections, ".led",
     kMouseLightBodyLength, ClassCode::Mouse},
    {ProfileList::MouseKeys, device::DeviceClass::Mouse, "msProfile.ini", &kKeySections, ".pro",
     kKeyProfileBodyLength, ClassCode::Mouse},
    {ProfileList::MousePadLight, device::DeviceClass::MousePad, "mpProfile.ini", &kLightSections,
     ".led", kMousePadLightBodyLength, ClassCode::MousePad},
}};

constexpr const ProfileListInfo& infoOf(ProfileList list) {
    return kProfileLists[static_cast<std::size_t>(list)];
}

// Index lists longer than this are read as this long: a count is outside data, and a
// count of 2^31 must not make the program read two billion names.
inline constexpr long kMaxProfileCount = 1000;

// The device folder of a class (created when missing, every time it is built).
std::filesystem::path deviceFolder(device::DeviceClass deviceClass);

// The file of a profile name in the list's folder, or nullopt when the name would not stay
// a plain file name in that folder (separators, "..", control characters, empty).
std::optional<std::filesystem::path> profilePath(ProfileList list, std::string_view name);

// One list of one index file. Every accessor is a single INI call on the file, read afresh;
// write results are returned for callers that care (the index itself ignores them).
class ProfileIndex {
  public:
    // Changes to one list made inside write(): they reach the file together or not at all.
    // A name or path that cannot be stored as it is (a line break in it) makes the whole
    // write fail.
    class Edit {
      public:
        void setCount(long count);
        void setName(long position, std::string_view name);
        void setSelected(long position);
        void setLinkFlag(long position, bool linked);
        // A flag as it was read, for moving entries (a stray "2" stays "2").
        void setLinkFlagValue(long position, long value);
        void setLinkPath(long position, std::string_view path);
        // Removes the link path (a missing path and " " both mean none).
        void removeLinkPath(long position);
        // Reads see the changes made so far in this edit.
        long rawCount() const;
        std::string name(long position) const;
        long linkFlag(long position) const;
        // nullopt when the key is missing.
        std::optional<std::string> linkPath(long position) const;

      private:
        friend class ProfileIndex;
        Edit(platform::IniDocument& doc, const IndexSections& sections)
            : doc_(doc), sections_(sections) {}
        void set(std::string_view section, std::string_view key, std::string_view value);

        platform::IniDocument& doc_;
        const IndexSections& sections_;
        bool refused_ = false;
    };

    // The index of the list in its class's device folder.
    explicit ProfileIndex(ProfileList list);
    // The index of the list in a given file (tests, tools).
    ProfileIndex(ProfileList list, std::filesystem::path indexFile);

    ProfileList list() const { return list_; }
    const std::filesystem::path& path() const { return ini_.path(); }

    // A missing file is a first run; an unreadable one holds lists we cannot see and must
    // never be replaced by seeding or saves.
    platform::IniFile::State state() const { return ini_.state(); }

    // Reads the file once, applies the changes and writes the whole file atomically; a
    // crash or a failed write leaves the index as it was. False when nothing was written
    // (file unreadable or not writable).
    bool write(const std::function<void(Edit&)>& change);

    // One profile's entries as a single read sees them (values as the accessors read them).
    struct Entry {
        std::string name;
        long linkFlag = 0;
        std::string linkPath;
    };
    struct Contents {
        long selected = 0;
        std::vector<Entry> entries;  // positions 0 .. count() - 1
    };
    // The whole list from one read of the file; nullopt when the file cannot be read.
    std::optional<Contents> readAll() const;

    // The stored count as written: negative, zero and huge values come back as they are.
    long rawCount() const;
    // The count clamped to 0 .. kMaxProfileCount (a negative count is an empty list).
    long count() const;
    bool setCount(long count);

    // Missing names read as "0".
    std::string name(long position) const;
    bool setName(long position, std::string_view name);

    long selected() const;
    bool setSelected(long position);

    // The raw flag value; linked() is the strict reading (exactly 1), the select handler
    // treats any non-zero value as linked.
    long linkFlag(long position) const;
    bool linked(long position) const { return linkFlag(position) == 1; }
    bool setLinkFlag(long position, bool linked);

    std::string linkPath(long position) const;
    bool setLinkPath(long position, std::string_view path);

  private:
    ProfileList list_;
    const IndexSections& sections_;
    platform::IniFile ini_;
};

}  // namespace korvane::profiles
