#include "core/profiles/seeding.h"

#include <algorithm>
#include <filesystem>

#include "core/platform/atomic_file.h"
#include "core/platform/debug_line.h"
#include "core/platform/paths.h"
#include "core/profiles/default_files.h"
#include "core/profiles/profile_file.h"

namespace korvane::profiles {

namespace fs = std::filesystem;

namespace {

using Body = std::vector<std::uint8_t>;

struct SeedRead {
    Body body;
    int result = kReadMissing;
};

SeedRead readSeed(const fs::path& path, std::size_t length) {
    SeedRead seed;
    seed.body.assign(length, 0);
    seed.result = ReadProfileFile(path, seed.body);
    return seed;
}

SeedRead readDefault(ProfileList list, device::DeviceKind kind) {
    return readSeed(defaultProfilePath(list, kind), infoOf(list).bodyLength);
}

void report(int result, const MessageSink& show) {
    if (!show) {
        return;
    }
    if (result == kReadMissing) {
        show(kMessageFileMissing);
    } else if (result == kReadBadSignature) {
        show(kMessageBadSignature);
    }
}

bool writeNamed(ProfileList list, std::string_view name, const Body& body) {
    const auto path = profilePath(list, name);
    return path && WriteProfileFile(*path, infoOf(list).classCode, body);
}

// The first failing result in the order the user is told about it: a missing first file,
// a bad first file, then any other missing one, then any other bad one.
int firstFailure(const std::vector<SeedRead>& reads) {
    if (reads.front().result != kReadOk) {
        return reads.front().result;
    }
    for (const int wanted : {kReadMissing, kReadBadSignature}) {
        if (std::any_of(reads.begin(), reads.end(),
                        [&](const SeedRead& r) { return r.result == wanted; })) {
            return wanted;
        }
    }
    return kReadOk;
}

// The list's whole first entry in one atomic write, so a crash leaves either no entry (the
// next start seeds again) or all of it, never a count without its name. The count goes
// last, after the entries it counts.
bool writeFirstEntry(ProfileIndex& index) {
    return index.write([](ProfileIndex::Edit& edit) {
        edit.setLinkFlag(0, false);
        edit.setName(0, kFirstProfileName);
        edit.setSelected(0);
        edit.setCount(1);
    });
}

// Writes the seed of the list's first profile; false when it could not be written.
bool seedFiles(ProfileList list, SeededThisRun& seeded, const MessageSink& show,
               device::DeviceKind keyboardKind) {
    switch (list) {
        case ProfileList::KeyboardLight: {
            using device::DeviceKind;
            const std::vector<SeedRead> reads{
                readDefault(list, DeviceKind::RgbKeyboard),
                readDefault(list, DeviceKind::MonoKeyboard),
                readDefault(list, DeviceKind::RegionKeyboard),
                readDefault(list, DeviceKind::MembraneKeyboard),
            };
            if (const int failure = firstFailure(reads); failure != kReadOk) {
                report(failure, show);
                return false;
            }
            // A stash that cannot be written is reported by the re-seed that needs it.
            writeNamed(list, kKeyboardMonoStash, reads[1].body);
            writeNamed(list, kKeyboardRegionStash, reads[2].body);
            if (!writeNamed(list, kFirstProfileName, reads[0].body)) {
                return false;
            }
            seeded.keyboardLight = reads[0].body;
            return true;
        }
        case ProfileList::MouseLight: {
            const SeedRead seed = readDefault(list, device::DeviceKind::Mouse);
            if (seed.result != kReadOk) {
                report(seed.result, show);
                return false;
            }
            // Without a readable Mouse2 default no stash is written: a later re-seed then
            // reports the missing file instead of replacing the profile with zeros.
            const SeedRead stash = readDefault(list, device::DeviceKind::Mouse2);
            if (stash.result == kReadOk) {
                writeNamed(list, kMouseStash, stash.body);
            }
            if (!writeNamed(list, kFirstProfileName, seed.body)) {
                return false;
            }
            seeded.mouseLight = seed.body;
            return true;
        }
        case ProfileList::KeyboardKeys:
        case ProfileList::MouseKeys:
        case ProfileList::MousePadLight: {
            const std::size_t length = infoOf(list).bodyLength;
            const SeedRead seed =
                list == ProfileList::MousePadLight
                    ? readSeed(platform::ProgramFolder() / std::string(kMousePadSeedName), length)
                    : readDefault(list, keyboardKind);
            if (seed.result != kReadOk) {
                report(seed.result, show);
                return false;
            }
            if (!writeNamed(list, kFirstProfileName, seed.body)) {
                return false;
            }
            if (list == ProfileList::KeyboardKeys) {
                seeded.keyboardKeys = seed.body;
            }
            return true;
        }
    }
    return false;
}

// Replaces the body of "New Profile 1" of the list with the file at source while the
// profile still holds exactly what the program last wrote into it (*written); afterwards
// *written is the new body. A profile changed since is the user's: *written is dropped.
bool replaceWhileUnchanged(ProfileList list, std::optional<Body>& written, const fs::path& source,
                           const MessageSink& show) {
    if (!written.has_value()) {
        return false;
    }
    const std::size_t length = infoOf(list).bodyLength;
    const auto target = profilePath(list, kFirstProfileName);
    if (!target) {
        return false;
    }
    Body current(length, 0);
    if (ReadProfileFile(*target, current) != kReadOk || current != *written) {
        // Renamed, deleted or edited since the program wrote it: it is the user's now.
        written.reset();
        return false;
    }
    const SeedRead replacement = readSeed(source, length);
    if (replacement.result != kReadOk) {
        report(replacement.result, show);
        return false;
    }
    if (replacement.body == current) {
        return false;
    }
    if (!WriteProfileFile(*target, infoOf(list).classCode, replacement.body)) {
        return false;
    }
    written = replacement.body;
    return true;
}

// Folders where no file can be created: every change made in the program would be lost.
void reportUnwritableFolders(const MessageSink& show) {
    bool any = false;
    for (const fs::path& folder : {platform::DataRoot(), platform::KeyboardFolder(),
                                   platform::MouseFolder(), platform::MousePadFolder()}) {
        if (!platform::canCreateFilesIn(folder)) {
            platform::debugLine("data folder not writable: " + folder.string());
            any = true;
        }
    }
    if (any && show) {
        show(kMessageDataFolderUnwritable);
    }
}

}  // namespace

std::vector<std::string> FirstRunSeeding(ProfileList list, SeededThisRun& seeded,
                                         const MessageSink& show, device::DeviceKind keyboardKind) {
    ProfileIndex index(list);
    // Only a missing index (or a readable one without the list) is a first run; an index
    // that cannot be read may name any number of the user's profiles.
    if (index.state() == platform::IniFile::State::Unreadable) {
        return {};
    }
    if (!seedFiles(list, seeded, show, keyboardKind) || !writeFirstEntry(index)) {
        return {};
    }
    return {std::string(kFirstProfileName)};
}

std::vector<std::string> readIndexList(const ProfileIndex& index) {
    const long count = index.count();
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        names.push_back(index.name(i));
    }
    return names;
}

IndexLists LoadIndexLists(SeededThisRun& seeded, const MessageSink& show,
                          const IndexListHooks& hooks) {
    reportUnwritableFolders(show);
    IndexLists lists;
    const auto fill = [&](ProfileList list) {
        const ProfileIndex index(list);
        if (index.state() == platform::IniFile::State::Unreadable) {
            if (std::find(lists.unreadable.begin(), lists.unreadable.end(), index.path()) ==
                lists.unreadable.end()) {
                platform::debugLine("profile index unreadable: " + index.path().string());
                lists.unreadable.push_back(index.path());
            }
            return;
        }
        lists[list] =
            index.rawCount() == 0 ? FirstRunSeeding(list, seeded, show) : readIndexList(index);
    };
    const auto run = [](const std::function<void()>& hook) {
        if (hook) {
            hook();
        }
    };
    run(hooks.keyboardMacros);
    fill(ProfileList::KeyboardLight);
    fill(ProfileList::KeyboardKeys);
    run(hooks.mouseCursors);
    run(hooks.mouseMacros);
    fill(ProfileList::MouseLight);
    fill(ProfileList::MouseKeys);
    fill(ProfileList::MousePadLight);
    if (!lists.unreadable.empty() && show) {
        show(kMessageIndexUnreadable);
    }
    return lists;
}

bool ReseedOnConnect(device::DeviceKind kind, SeededThisRun& seeded, const MessageSink& show) {
    using device::DeviceKind;
    ProfileList list = ProfileList::KeyboardLight;
    std::string_view stash;
    std::optional<Body>* written = &seeded.keyboardLight;
    switch (kind) {
        case DeviceKind::MonoKeyboard:
            stash = kKeyboardMonoStash;
            break;
        case DeviceKind::RegionKeyboard:
        case DeviceKind::MembraneKeyboard:
            stash = kKeyboardRegionStash;
            break;
        case DeviceKind::Mouse2:
            list = ProfileList::MouseLight;
            stash = kMouseStash;
            written = &seeded.mouseLight;
            break;
        default:
            return false;
    }
    const auto source = profilePath(list, stash);
    return source && replaceWhileUnchanged(list, *written, *source, show);
}

bool ReseedKeysOnConnect(device::DeviceKind kind, SeededThisRun& seeded, const MessageSink& show) {
    if (device::modelOf(kind).deviceClass != device::DeviceClass::Keyboard) {
        return false;
    }
    return replaceWhileUnchanged(ProfileList::KeyboardKeys, seeded.keyboardKeys,
                                 defaultProfilePath(ProfileList::KeyboardKeys, kind), show);
}

}  // namespace korvane::profiles
