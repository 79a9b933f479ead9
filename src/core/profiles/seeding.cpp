#include "core/profiles/seeding.h"

#include <algorithm>
#include <filesystem>

#include "core/platform/paths.h"
#include "core/profiles/default_files.h"
#include "core/profiles/profile_file.h"

namespace korvane::profiles {

namespace fs = std::filesystem;

namespace {

struct SeedRead {
    std::vector<std::uint8_t> body;
    int result = kReadMissing;
};

SeedRead readSeed(std::string_view file, std::size_t length) {
    SeedRead seed;
    seed.body.assign(length, 0);
    seed.result = ReadProfileFile(platform::ProgramFolder() / std::string(file), seed.body);
    return seed;
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

void writeNamed(ProfileList list, std::string_view name, const std::vector<std::uint8_t>& body) {
    if (const auto path = profilePath(list, name)) {
        WriteProfileFile(*path, infoOf(list).classCode, body);
    }
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

std::vector<std::string> writeFirstEntry(ProfileList list) {
    ProfileIndex index(list);
    index.setCount(1);
    index.setLinkFlag(0, false);
    index.setName(0, kFirstProfileName);
    index.setSelected(0);
    return {std::string(kFirstProfileName)};
}

}  // namespace

std::vector<std::string> FirstRunSeeding(ProfileList list, SeededThisRun& seeded,
                                         const MessageSink& show, device::DeviceKind keyboardKind) {
    const ProfileListInfo& info = infoOf(list);
    const std::size_t length = info.bodyLength;

    switch (list) {
        case ProfileList::KeyboardLight: {
            using device::DeviceKind;
            const std::vector<SeedRead> reads{
                readSeed(defaultProfileFile(list, DeviceKind::RgbKeyboard), length),
                readSeed(defaultProfileFile(list, DeviceKind::MonoKeyboard), length),
                readSeed(defaultProfileFile(list, DeviceKind::RegionKeyboard), length),
                readSeed(defaultProfileFile(list, DeviceKind::MembraneKeyboard), length),
            };
            if (const int failure = firstFailure(reads); failure != kReadOk) {
                report(failure, show);
                return {};
            }
            writeNamed(list, kFirstProfileName, reads[0].body);
            writeNamed(list, kKeyboardMonoStash, reads[1].body);
            writeNamed(list, kKeyboardRegionStash, reads[2].body);
            seeded.keyboardLight = reads[0].body;
            break;
        }
        case ProfileList::MouseLight: {
            const SeedRead seed =
                readSeed(defaultProfileFile(list, device::DeviceKind::Mouse), length);
            if (seed.result != kReadOk) {
                report(seed.result, show);
                return {};
            }
            // Without a readable Mouse2 default no stash is written: a later re-seed then
            // reports the missing file instead of replacing the profile with zeros.
            const SeedRead stash =
                readSeed(defaultProfileFile(list, device::DeviceKind::Mouse2), length);
            writeNamed(list, kFirstProfileName, seed.body);
            if (stash.result == kReadOk) {
                writeNamed(list, kMouseStash, stash.body);
            }
            seeded.mouseLight = seed.body;
            break;
        }
        case ProfileList::KeyboardKeys:
        case ProfileList::MouseKeys:
        case ProfileList::MousePadLight: {
            const std::string_view file = list == ProfileList::MousePadLight
                                              ? kMousePadSeedName
                                              : defaultProfileFile(list, keyboardKind);
            const SeedRead seed = readSeed(file, length);
            if (seed.result != kReadOk) {
                report(seed.result, show);
                return {};
            }
            writeNamed(list, kFirstProfileName, seed.body);
            break;
        }
    }
    return writeFirstEntry(list);
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
    IndexLists lists;
    const auto fill = [&](ProfileList list) {
        const ProfileIndex index(list);
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
    return lists;
}

bool ReseedOnConnect(device::DeviceKind kind, SeededThisRun& seeded, const MessageSink& show) {
    using device::DeviceKind;
    ProfileList list = ProfileList::KeyboardLight;
    std::string_view stash;
    std::optional<std::vector<std::uint8_t>>* written = &seeded.keyboardLight;
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
    if (!written->has_value()) {
        return false;
    }
    const std::size_t length = infoOf(list).bodyLength;
    const auto target = profilePath(list, kFirstProfileName);
    const auto source = profilePath(list, stash);
    if (!target || !source) {
        return false;
    }

    std::vector<std::uint8_t> current(length, 0);
    if (ReadProfileFile(*target, current) != kReadOk || current != **written) {
        // Renamed, deleted or edited since the program wrote it: it is the user's now.
        written->reset();
        return false;
    }
    std::vector<std::uint8_t> body(length, 0);
    if (const int result = ReadProfileFile(*source, body); result != kReadOk) {
        report(result, show);
        return false;
    }
    if (!WriteProfileFile(*target, infoOf(list).classCode, body)) {
        return false;
    }
    *written = std::move(body);
    return true;
}

}  // namespace korvane::profiles
