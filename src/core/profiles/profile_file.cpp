#include "core/profiles/profile_file.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/platform/atomic_file.h"
#include "core/platform/debug_line.h"
#include "core/platform/text.h"

namespace korvane::profiles {

namespace fs = std::filesystem;

ProfileFileHeader ProfileFileHeader::make(ClassCode code) {
    ProfileFileHeader h{};
    h.signature = {static_cast<std::uint8_t>(kProfileSignature & 0xFF),
                   static_cast<std::uint8_t>(kProfileSignature >> 8)};
    const auto value = static_cast<std::uint16_t>(code);
    h.classCode = {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
    return h;
}

bool ProfileFileHeader::hasSignature() const {
    return (signature[0] | (signature[1] << 8)) == kProfileSignature;
}

std::uint16_t ProfileFileHeader::classCodeValue() const {
    return static_cast<std::uint16_t>(classCode[0] | (classCode[1] << 8));
}

namespace {

bool isRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

}  // namespace

fs::path resolveProfilePath(const fs::path& path) {
    std::error_code ec;
    if (fs::exists(path, ec)) {
        return path;
    }
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string wanted = path.filename().string();
    std::optional<std::string> best;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return path;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            break;
        }
        std::string candidate = it->path().filename().string();
        if (platform::equalsIgnoreCase(candidate, wanted) && (!best || candidate < *best)) {
            best = std::move(candidate);
        }
    }
    return best ? folder / *best : path;
}

int readProfileStream(std::istream& in, std::span<std::uint8_t> buffer) {
    ProfileFileHeader header{};
    in.read(reinterpret_cast<char*>(&header), sizeof header);
    // A file too short to hold the signature cannot carry it.
    if (in.gcount() < 2 || !header.hasSignature()) {
        return kReadBadSignature;
    }
    if (in.gcount() < static_cast<std::streamsize>(sizeof header)) {
        return kReadOk;  // header cut short: an empty body
    }
    in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    return kReadOk;
}

int ReadProfileFile(const fs::path& path, std::span<std::uint8_t> buffer) {
    const fs::path resolved = resolveProfilePath(path);
    if (!isRegularFile(resolved)) {
        return kReadMissing;
    }
    std::ifstream in(resolved, std::ios::binary);
    if (!in) {
        return kReadMissing;
    }
    return readProfileStream(in, buffer);
}

std::vector<std::uint8_t> profileFileBytes(ClassCode code, std::span<const std::uint8_t> body) {
    const ProfileFileHeader header = ProfileFileHeader::make(code);
    std::vector<std::uint8_t> bytes(sizeof header + body.size());
    std::copy_n(reinterpret_cast<const std::uint8_t*>(&header), sizeof header, bytes.begin());
    std::copy(body.begin(), body.end(), bytes.begin() + sizeof header);
    return bytes;
}

bool WriteProfileFile(const fs::path& path, ClassCode code, std::span<const std::uint8_t> body) {
    if (!platform::writeFileAtomically(resolveProfilePath(path), profileFileBytes(code, body))) {
        platform::debugLine("文件打开失败");
        return false;
    }
    return true;
}

}  // namespace korvane::profiles
