#include "core/macros/cursor_store.h"

#include <algorithm>
#include <system_error>

#include "core/macros/action_file.h"
#include "core/macros/macro_store.h"
#include "core/platform/atomic_file.h"
#include "core/platform/file_names.h"
#include "core/platform/ini_file.h"
#include "core/platform/paths.h"
#include "core/profiles/profile_file.h"

namespace korvane::macros {

namespace {

constexpr std::size_t kDelayAction = 3;
constexpr std::size_t kHorizontalAction = 4;
constexpr std::size_t kVerticalAction = 5;

std::size_t actionIndex(std::size_t bullet, std::size_t slot) {
    return bullet * kActionsPerBullet + slot;
}

std::optional<BulletMove> moveOf(const std::optional<MacroAction>& action, std::uint8_t kind) {
    if (!action || action->eventKind() != kind) {
        return std::nullopt;
    }
    return BulletMove{action->code, action->isPress()};
}

std::uint8_t clampDistance(long distance) {
    return static_cast<std::uint8_t>(std::clamp<long>(distance, 0, kMaxMoveDistance));
}

bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    const auto bytes = platform::readFileLimited(source, kMaxCursorFileBytes);
    return bytes && platform::writeFileAtomically(target, *bytes);
}

}  // namespace

std::string DefaultCursorName(std::size_t sequence) {
    return "name_" + std::to_string(sequence + 1);
}

std::optional<BulletView> LoadBullet(const std::filesystem::path& sequenceFile,
                                     std::size_t bullet) {
    if (bullet >= kBulletsPerSequence) {
        return std::nullopt;
    }
    BulletView view;
    if (const auto delay =
            ParseAction(ReadActionText(sequenceFile, actionIndex(bullet, kDelayAction)))) {
        view.delayMs = delay->delayMs();
    }
    view.horizontal =
        moveOf(ParseAction(ReadActionText(sequenceFile, actionIndex(bullet, kHorizontalAction))),
               kKindHorizontalMove);
    view.vertical =
        moveOf(ParseAction(ReadActionText(sequenceFile, actionIndex(bullet, kVerticalAction))),
               kKindVerticalMove);
    return view;
}

bool SaveBullet(const std::filesystem::path& sequenceFile, std::size_t bullet,
                const BulletEdit& edit) {
    if (bullet >= kBulletsPerSequence) {
        return false;
    }
    // A delay action that is missing from the file becomes an action of kind 0 that carries
    // just the delay, so that the delay the user typed is not lost.
    MacroAction delay = ParseAction(ReadActionText(sequenceFile, actionIndex(bullet, kDelayAction)))
                            .value_or(MacroAction{});
    delay.setDelayCount(DelayCountFromMs(std::clamp<long>(edit.delayMs, 0, kMaxDelayCount)));
    const MacroAction horizontal =
        MakeHorizontalMove(edit.left, clampDistance(edit.horizontalDistance));
    const MacroAction vertical = MakeVerticalMove(edit.up, clampDistance(edit.verticalDistance));
    return WriteActionText(sequenceFile, actionIndex(bullet, kDelayAction), FormatAction(delay)) &&
           WriteActionText(sequenceFile, actionIndex(bullet, kHorizontalAction),
                           FormatAction(horizontal)) &&
           WriteActionText(sequenceFile, actionIndex(bullet, kVerticalAction),
                           FormatAction(vertical));
}

MacroAction ActionFromWire(const WireAction& bytes, const EventNameLookup& lookup) {
    MacroAction action;
    action.delayLow = bytes[0];
    action.delayHigh = bytes[1];
    action.kind = bytes[2];
    action.code = bytes[3];
    action.down = action.isPress() ? 1 : 0;
    if (lookup) {
        action.name = lookup(action.kind, action.code);
    }
    return action;
}

CursorStore::CursorStore(std::filesystem::path mouseFolder, std::filesystem::path programFolder)
    : mouseFolder_(std::move(mouseFolder)), programFolder_(std::move(programFolder)) {}

CursorStore CursorStore::fromDataFolder() {
    return CursorStore(platform::MouseFolder(), platform::ProgramFolder());
}

std::filesystem::path CursorStore::listFile() const {
    return profiles::resolveProfilePath(mouseFolder_ / std::string(kMouseMacroListFile));
}

long CursorStore::ReadCursorCount() const {
    return platform::IniFile(listFile()).readInt(kCursorCountSection, kCountKey);
}

std::optional<std::filesystem::path> CursorStore::sequenceFile(std::size_t sequence) const {
    const long count = ReadCursorCount();
    if (count <= 0 || sequence >= static_cast<std::size_t>(count)) {
        return std::nullopt;
    }
    const std::string name =
        platform::IniFile(listFile()).readString(kCursorNameSection, std::to_string(sequence));
    if (!platform::isSafeFileName(name)) {
        return std::nullopt;
    }
    return profiles::resolveProfilePath(mouseFolder_ / (name + std::string(kCursorFileExtension)));
}

bool CursorStore::SeedCursorList() {
    platform::IniFile list(listFile());
    if (list.readInt(kCursorCountSection, kCountKey) != 0) {
        return false;
    }
    bool written =
        list.writeInt(kCursorCountSection, kCountKey, static_cast<long>(kCursorSequenceCount));
    for (std::size_t i = 0; i < kCursorSequenceCount; ++i) {
        const std::string name = DefaultCursorName(i);
        written = list.writeString(kCursorNameSection, std::to_string(i), name) && written;
        const std::string fileName = name + std::string(kCursorFileExtension);
        const auto target = profiles::resolveProfilePath(mouseFolder_ / fileName);
        std::error_code error;
        if (!std::filesystem::exists(target, error)) {
            // A missing default file leaves a missing sequence file, which reads as empty.
            copyFile(profiles::resolveProfilePath(programFolder_ / fileName), target);
        }
    }
    return written;
}

CursorImagePlan CursorStore::PrepareCursorImage() const {
    CursorImagePlan plan;
    const long count = ReadCursorCount();
    if (count == 0) {
        return plan;
    }
    plan.outcome = CursorImagePlan::Outcome::Refused;
    // The header and offset table alone must fit before any file is read: a damaged count
    // must not make us open millions of files.
    if (count < 0 ||
        kImageHeaderSize + (2 + kImageBodyHeaderSize) * static_cast<std::uint64_t>(count) >
            kMaxCursorImageSize) {
        return plan;
    }
    const auto sequences = static_cast<std::size_t>(count);
    std::vector<std::uint64_t> counts;
    for (std::size_t i = 0; i < sequences; ++i) {
        const auto file = sequenceFile(i);
        counts.push_back(file ? ReadActionCount(*file) : 0);
    }
    if (SequenceImageSize(counts) > kMaxCursorImageSize) {
        return plan;
    }
    std::vector<std::vector<std::string>> texts;
    texts.reserve(sequences);
    for (std::size_t i = 0; i < sequences; ++i) {
        const auto file = sequenceFile(i);
        texts.push_back(file ? ReadActionFile(*file) : std::vector<std::string>{});
    }
    auto image = BuildSequenceImage(texts);
    if (!image) {
        return plan;
    }
    plan.outcome = CursorImagePlan::Outcome::Ready;
    plan.image = std::move(*image);
    return plan;
}

bool CursorStore::StoreReceivedSequences(std::span<const WireSequence> sequences,
                                         const EventNameLookup& lookup) {
    bool stored = true;
    for (std::size_t i = 0; i < sequences.size(); ++i) {
        const auto file = sequenceFile(i);
        if (!file) {
            continue;
        }
        std::vector<std::string> texts;
        texts.reserve(sequences[i].size());
        for (const auto& bytes : sequences[i]) {
            texts.push_back(FormatAction(ActionFromWire(bytes, lookup)));
        }
        stored = WriteActionFile(*file, texts) && stored;
    }
    return stored;
}

std::filesystem::path CursorStore::gunFile(std::size_t gun) const {
    return profiles::resolveProfilePath(
        mouseFolder_ / (DefaultCursorName(gun) + std::string(kCursorFileExtension)));
}

bool CursorStore::ResetGun(std::size_t gun) {
    if (gun >= kCursorSequenceCount) {
        return false;
    }
    const std::string fileName = DefaultCursorName(gun) + std::string(kCursorFileExtension);
    return copyFile(profiles::resolveProfilePath(programFolder_ / fileName), gunFile(gun));
}

ImportResult CursorStore::ImportGun(std::size_t gun, const std::filesystem::path& source) {
    if (gun >= kCursorSequenceCount) {
        return ImportResult::Failed;
    }
    if (ReadActionCount(source) > kMaxCursorActions) {
        return ImportResult::TooLong;
    }
    return copyFile(source, gunFile(gun)) ? ImportResult::Imported : ImportResult::Failed;
}

bool CursorStore::ExportGun(std::size_t gun, const std::filesystem::path& target) const {
    return gun < kCursorSequenceCount && copyFile(gunFile(gun), target);
}

}  // namespace korvane::macros
