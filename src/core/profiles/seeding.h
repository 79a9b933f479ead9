#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/device_kind.h"
#include "core/profiles/profile_index.h"

namespace korvane::profiles {

// Shows a message box by message key ("message_text_8", ...); the caller decides how.
using MessageSink = std::function<void(std::string_view messageKey)>;

inline constexpr std::string_view kMessageFileMissing = "message_text_8";
inline constexpr std::string_view kMessageBadSignature = "message_text_9";
// An index file is there but cannot be read: its lists stay empty and nothing is written.
inline constexpr std::string_view kMessageIndexUnreadable = "message_profile_index_unreadable";
// The data folder (or one of its device folders) cannot be written: changes would be lost.
inline constexpr std::string_view kMessageDataFolderUnwritable = "message_data_folder_unwritable";

inline constexpr std::string_view kFirstProfileName = "New Profile 1";

// What the first-run seeding of this run left behind for a later re-seed. A set body is the
// one last written to "New Profile 1.led" by the program; a re-seed happens only while the
// file still holds exactly that body, so changes the user made to the profile survive.
struct SeededThisRun {
    std::optional<std::vector<std::uint8_t>> keyboardLight;
    std::optional<std::vector<std::uint8_t>> mouseLight;
    // "New Profile 1.pro" of the keyboard: seeded before any keyboard is known, from the RGB
    // keyboard's table, and given the table of the keyboard that actually connects.
    std::optional<std::vector<std::uint8_t>> keyboardKeys;

    bool keyboard() const { return keyboardLight.has_value(); }
    bool mouse() const { return mouseLight.has_value(); }
};

// Fills an empty list from the default files: writes "New Profile 1" (and, for the light
// lists of keyboard and mouse, the stash files a later re-seed uses) and an index with that
// one entry, in one atomic write of the index file. Returns the list's names:
// {"New Profile 1"}, or empty when a default could not be read (message shown, nothing
// written), when the index exists but cannot be read (nothing written), or when a write
// failed (the index is then left without the list, so the next start seeds again).
// keyboardKind picks the keyboard key default.
std::vector<std::string> FirstRunSeeding(
    ProfileList list, SeededThisRun& seeded, const MessageSink& show,
    device::DeviceKind keyboardKind = device::DeviceKind::RgbKeyboard);

// The names of the lists, by ProfileList.
struct IndexLists {
    std::array<std::vector<std::string>, kProfileListCount> names;
    // Index files that exist but could not be read; their lists are empty.
    std::vector<std::filesystem::path> unreadable;

    std::vector<std::string>& operator[](ProfileList list) {
        return names[static_cast<std::size_t>(list)];
    }
    const std::vector<std::string>& operator[](ProfileList list) const {
        return names[static_cast<std::size_t>(list)];
    }
};

// Steps of other lists that run in the same pass, in their place of the order.
struct IndexListHooks {
    std::function<void()> keyboardMacros;
    std::function<void()> mouseCursors;
    std::function<void()> mouseMacros;
};

// The names of one list as the index holds them ("0" for a missing name); empty for a
// count of zero or below; at most kMaxProfileCount names.
std::vector<std::string> readIndexList(const ProfileIndex& index);

// Run once at start, before any device is known: keyboard (macros, light, keys), mouse
// (cursors, macros, light, keys), mouse pad (light). A list whose count reads 0 is seeded.
// An index file that exists but cannot be read is no first run: its lists stay empty, no
// file of its folder is touched, and one message (kMessageIndexUnreadable) tells the user,
// with a debug line naming each such file. A data folder where no file can be created gets
// one message (kMessageDataFolderUnwritable) and a debug line per folder.
IndexLists LoadIndexLists(SeededThisRun& seeded, const MessageSink& show,
                          const IndexListHooks& hooks = {});

// At a connection: a mono, region or membrane keyboard, or a Mouse2, finds the light
// profile that this run's first-run seeding wrote for the RGB keyboard or the Mouse, and
// replaces its body with the stash of its own model, unless the profile was changed since.
// Returns true when the file was replaced. The index and the live state are not touched
// (the list still names "New Profile 1"); the caller loads the profile as usual.
bool ReseedOnConnect(device::DeviceKind kind, SeededThisRun& seeded, const MessageSink& show);

// At a keyboard's connection: while "New Profile 1.pro" still holds what this run's seeding
// (or an earlier call) wrote, it gets the default key profile of the connected kind, so the
// keyboard receives a table made for its own keys. Returns true when the file was replaced;
// the index is not touched.
bool ReseedKeysOnConnect(device::DeviceKind kind, SeededThisRun& seeded, const MessageSink& show);

}  // namespace korvane::profiles
