#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <span>
#include <vector>

namespace korvane::profiles {

// Every .led and .pro file starts with this header; the body follows at offset 16 with no
// length field, so the reader decides how much body it wants.
inline constexpr std::uint16_t kProfileSignature = 0x55AA;

enum class ClassCode : std::uint16_t { Keyboard = 1, Mouse = 2, MousePad = 3 };

inline constexpr std::size_t kKeyboardLightBodyLength = 1958;
inline constexpr std::size_t kKeyProfileBodyLength = 512;
inline constexpr std::size_t kMouseLightBodyLength = 64;
inline constexpr std::size_t kMousePadLightBodyLength = 64;
// No profile body is longer; readers never allocate more than this for a body.
inline constexpr std::size_t kMaxBodyLength = kKeyboardLightBodyLength;

struct ProfileFileHeader {
    std::array<std::uint8_t, 2> signature;  // little-endian 0x55AA: AA 55
    std::array<std::uint8_t, 2> reserved0;
    std::array<std::uint8_t, 2> classCode;  // little-endian
    std::array<std::uint8_t, 10> reserved1;

    static ProfileFileHeader make(ClassCode code);
    bool hasSignature() const;
    std::uint16_t classCodeValue() const;
};
static_assert(sizeof(ProfileFileHeader) == 16);

// Results of ReadProfileFile.
inline constexpr int kReadOk = 0;
inline constexpr int kReadMissing = 1;
inline constexpr int kReadBadSignature = -1;

// Reads the header and up to buffer.size() body bytes. A shorter body leaves the rest of
// the buffer as the caller set it (callers clear it first); bytes beyond are ignored.
// 0 read, 1 missing or unopenable, -1 wrong signature (also for a file shorter than the
// signature). Looks the name up as resolveProfilePath does.
int ReadProfileFile(const std::filesystem::path& path, std::span<std::uint8_t> buffer);
// The same over an open stream (the stream is the whole file).
int readProfileStream(std::istream& in, std::span<std::uint8_t> buffer);

// Header + body, as a profile file holds them.
std::vector<std::uint8_t> profileFileBytes(ClassCode code, std::span<const std::uint8_t> body);

// Writes header + body atomically, so a failed write keeps the old file whole. A failure
// is reported only as a debug line (and as false, for callers that care).
bool WriteProfileFile(const std::filesystem::path& path, ClassCode code,
                      std::span<const std::uint8_t> body);

// Names are matched the way the files' original home matched them: the exact name when it
// exists, else the first entry of the folder (in byte order of the names) that equals it
// ignoring case. Returns the path unchanged when neither exists.
std::filesystem::path resolveProfilePath(const std::filesystem::path& path);

}  // namespace korvane::profiles
