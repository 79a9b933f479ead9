#include "core/profiles/profile_store.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/platform/atomic_file.h"
#include "core/platform/debug_line.h"
#include "core/platform/paths.h"
#include "core/profiles/default_files.h"
#include "core/profiles/profile_file.h"
#include "core/profiles/profile_index.h"

namespace korvane::profiles {

namespace fs = std::filesystem;

namespace {

void reportLoadFailure(int result) {
    platform::debugLine(result == kReadBadSignature ? "配置文件格式错误" : "配置文件丢失");
}

// Reads the body of the profile at `position` into a zeroed buffer of the list's length.
int readAt(ProfileList list, long position, std::vector<std::uint8_t>& body) {
    const ProfileIndex index(list);
    body.assign(infoOf(list).bodyLength, 0);
    const auto path = profilePath(list, index.name(position));
    const int result = path ? ReadProfileFile(*path, body) : kReadMissing;
    if (result != kReadOk) {
        reportLoadFailure(result);
    }
    return result;
}

bool writeSelected(ProfileList list, std::span<const std::uint8_t> body) {
    const ProfileIndex index(list);
    if (index.state() == platform::IniFile::State::Unreadable) {
        // The selection cannot be known: writing would hit some other profile's file.
        platform::debugLine("profile index unreadable, profile not saved: " +
                            index.path().string());
        return false;
    }
    const auto path = profilePath(list, index.name(index.selected()));
    if (!path) {
        platform::debugLine("文件打开失败");
        return false;
    }
    return WriteProfileFile(*path, infoOf(list).classCode, body);
}

template <typename Record>
Record recordOf(const std::vector<std::uint8_t>& body) {
    return lighting::recordFromBytes<Record>(body);
}

int loadKeys(ProfileList list, long position, KeyTableBytes table) {
    std::vector<std::uint8_t> body;
    const int result = readAt(list, position, body);
    if (result == kReadOk) {
        std::copy(body.begin(), body.end(), table.begin());
    }
    return result;
}

}  // namespace

void applyMouseLightBody(const MouseLightRecord& body, MouseLightState& state) {
    state.kept = body;
    state.live = body.settings;
    state.pointerSpeed = body.pointerSpeed == 0 ? 1 : body.pointerSpeed;
    state.wheelSpeed = body.wheelSpeed == 0 ? 1 : body.wheelSpeed;
}

MouseLightRecord mouseLightBody(const MouseLightState& state) {
    MouseLightRecord body = state.kept;
    body.settings = state.live;
    body.pointerSpeed = state.pointerSpeed;
    body.wheelSpeed = state.wheelSpeed;
    return body;
}

void applyMousePadLightBody(const MousePadLightRecord& body, MousePadLightState& state) {
    state.kept = body;
    state.live = body.settings;
}

MousePadLightRecord mousePadLightBody(const MousePadLightState& state) {
    MousePadLightRecord body = state.kept;
    body.settings = state.live;
    return body;
}

int LoadKeyboardLight(long position, lighting::KeyboardLightState& state) {
    std::vector<std::uint8_t> body;
    const int result = readAt(ProfileList::KeyboardLight, position, body);
    if (result == kReadOk) {
        lighting::KeyboardLightPayload::fromBytes(body).applyTo(state);
    }
    return result;
}

int LoadKeyboardKeys(long position, KeyTableBytes table) {
    return loadKeys(ProfileList::KeyboardKeys, position, table);
}

int LoadMouseLight(long position, MouseLightState& state) {
    std::vector<std::uint8_t> body;
    const int result = readAt(ProfileList::MouseLight, position, body);
    if (result == kReadOk) {
        applyMouseLightBody(recordOf<MouseLightRecord>(body), state);
    }
    return result;
}

int LoadMouseKeys(long position, KeyTableBytes table) {
    return loadKeys(ProfileList::MouseKeys, position, table);
}

int LoadMousePadLight(long position, MousePadLightState& state) {
    std::vector<std::uint8_t> body;
    const int result = readAt(ProfileList::MousePadLight, position, body);
    if (result == kReadOk) {
        applyMousePadLightBody(recordOf<MousePadLightRecord>(body), state);
    }
    return result;
}

bool SaveKeyboardLight(const lighting::KeyboardLightState& state) {
    return writeSelected(ProfileList::KeyboardLight,
                         lighting::KeyboardLightPayload::fromLive(state).toBytes());
}

bool SaveKeyboardKeys(ConstKeyTableBytes table) {
    return writeSelected(ProfileList::KeyboardKeys, table);
}

bool SaveMouseLight(const MouseLightState& state) {
    const MouseLightRecord body = mouseLightBody(state);
    return writeSelected(ProfileList::MouseLight, lighting::bytesOf(body));
}

bool SaveMouseKeys(ConstKeyTableBytes table) {
    return writeSelected(ProfileList::MouseKeys, table);
}

bool SaveMousePadLight(const MousePadLightState& state) {
    const MousePadLightRecord body = mousePadLightBody(state);
    return writeSelected(ProfileList::MousePadLight, lighting::bytesOf(body));
}

bool CaptureDefaultKeyProfile(device::DeviceKind keyboardKind, ConstKeyTableBytes baseTable) {
    if (device::modelOf(keyboardKind).deviceClass != device::DeviceClass::Keyboard) {
        return false;
    }
    const fs::path program = platform::ProgramFolder();
    const fs::path captured = capturedKeyProfilePath(keyboardKind);
    if (!platform::IsSourceTreeDataFolder(program) && platform::canCreateFilesIn(program)) {
        if (!WriteProfileFile(program / defaultProfileFile(ProfileList::KeyboardKeys, keyboardKind),
                              ClassCode::Keyboard, baseTable)) {
            return false;
        }
        // An older capture kept in the data folder would hide this one.
        std::error_code ec;
        fs::remove(captured, ec);
        return true;
    }
    return WriteProfileFile(captured, ClassCode::Keyboard, baseTable);
}

}  // namespace korvane::profiles
