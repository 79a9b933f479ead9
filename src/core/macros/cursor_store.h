#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/macros/macro_action.h"
#include "core/macros/sequence_image.h"

namespace korvane::macros {

// The four cursor sequences ("guns") of the main mouse models. Their list lives in the
// mouse macro list file next to the macro sections; each sequence is a ".cur" file in the
// macro file layout, read as bullets of six actions.
inline constexpr std::string_view kCursorCountSection = "CURSORCOUNT";
inline constexpr std::string_view kCursorNameSection = "CURSORNAME";
inline constexpr std::string_view kCursorFileExtension = ".cur";
inline constexpr std::size_t kCursorSequenceCount = 4;
inline constexpr std::size_t kBulletsPerSequence = 30;
inline constexpr std::size_t kActionsPerBullet = 6;
inline constexpr std::size_t kMaxCursorActions = kBulletsPerSequence * kActionsPerBullet;
inline constexpr std::size_t kMaxCursorImageSize = 3072;
// Cursor files copied between folders are small; anything larger is not one.
inline constexpr std::size_t kMaxCursorFileBytes = 1 << 20;

// "name_1" ... "name_4" for sequences 0..3.
std::string DefaultCursorName(std::size_t sequence);

// A bullet as the editor shows it. A value is absent when its action is missing or of
// another kind; the editor then leaves its control as it was.
struct BulletMove {
    std::uint8_t distance = 0;
    bool negative = false;  // left for the horizontal move, up for the vertical one
    bool operator==(const BulletMove&) const = default;
};
struct BulletView {
    std::optional<long> delayMs;  // delay count x 10
    std::optional<BulletMove> horizontal;
    std::optional<BulletMove> vertical;
};
// What the editor writes back; values outside their ranges are clamped
// (delay 0..65535 ms, distances 0..255).
struct BulletEdit {
    long delayMs = 0;
    long horizontalDistance = 0;
    bool left = false;
    long verticalDistance = 0;
    bool up = false;
};

// Bullet k reads actions 6k+3 (delay), 6k+4 (horizontal move), 6k+5 (vertical move) of the
// sequence file. nullopt for k outside 0..29.
std::optional<BulletView> LoadBullet(const std::filesystem::path& sequenceFile, std::size_t bullet);
// Writes those three actions; the delay action keeps its kind, code, down flag and name, the
// moves are rebuilt. The count and the other actions stay. False for k outside 0..29 or when
// the file cannot be written.
bool SaveBullet(const std::filesystem::path& sequenceFile, std::size_t bullet,
                const BulletEdit& edit);

// Finds the text ID of an event received from the device (empty when there is none).
using EventNameLookup = std::function<std::string(std::uint8_t kind, std::uint8_t code)>;

// Turns four received bytes back into an action: down = bit 7 of the kind, name from lookup.
MacroAction ActionFromWire(const WireAction& bytes, const EventNameLookup& lookup);

struct CursorImagePlan {
    enum class Outcome {
        NothingToSend,  // the list holds no sequences
        Refused,        // a negative count or an image above 3072 bytes: nothing is sent
        Ready,
    };
    Outcome outcome = Outcome::NothingToSend;
    std::vector<std::uint8_t> image;
};

enum class ImportResult { Imported, TooLong, Failed };

class CursorStore {
  public:
    CursorStore(std::filesystem::path mouseFolder, std::filesystem::path programFolder);
    // The mouse folder of the data folder and the program's default files.
    static CursorStore fromDataFolder();

    std::filesystem::path listFile() const;
    // CURSORCOUNT as written (negative and non-numeric values included, as read).
    long ReadCursorCount() const;
    // The file of sequence i as the list names it; nullopt when i is not below the count
    // or the listed name cannot be a file name.
    std::optional<std::filesystem::path> sequenceFile(std::size_t sequence) const;

    // On a list without sequences: writes the count 4 and the names "name_1".."name_4",
    // and copies each default file from the program folder unless the mouse folder already
    // has one. Returns true when it seeded.
    bool SeedCursorList();

    // Reads the counts, checks the 3072-byte limit before reading any action, then lays out
    // the image of all listed sequences.
    CursorImagePlan PrepareCursorImage() const;

    // Replaces each listed sequence file by the received sequence of the same index.
    // Sequences beyond the listed ones are dropped. False when a file could not be written.
    bool StoreReceivedSequences(std::span<const WireSequence> sequences,
                                const EventNameLookup& lookup);

    // Copies the default file of gun g over the mouse folder's file.
    bool ResetGun(std::size_t gun);
    // Replaces gun g's file by a copy of `source` unless that claims more than 180 actions.
    ImportResult ImportGun(std::size_t gun, const std::filesystem::path& source);
    // Copies gun g's file to `target`, replacing a file there.
    bool ExportGun(std::size_t gun, const std::filesystem::path& target) const;

  private:
    std::filesystem::path gunFile(std::size_t gun) const;

    std::filesystem::path mouseFolder_;
    std::filesystem::path programFolder_;
};

}  // namespace korvane::macros
