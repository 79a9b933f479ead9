#include "core/platform/ini_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <system_error>

#include "core/platform/atomic_file.h"
#include "core/platform/debug_line.h"
#include "core/platform/ini_document.h"
#include "core/platform/text.h"

namespace korvane::platform {
namespace {

// Settings files are a few kilobytes; anything far larger is not one of ours and is not
// read into memory.
constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

// One mutex per file for the whole process, so that a read never sees another thread's
// write half done and two writes of different keys never lose one of them.
std::mutex& pathMutex(const std::filesystem::path& path) {
    static std::mutex registryMutex;
    static std::map<std::string, std::mutex> registry;
    std::error_code ec;
    std::filesystem::path key = std::filesystem::absolute(path, ec);
    if (ec) {
        key = path;
    }
    std::lock_guard lock(registryMutex);
    return registry.try_emplace(key.lexically_normal().string()).first->second;
}

// Reads the file into doc when it is there and readable.
IniFile::State readExisting(const std::filesystem::path& path, IniDocument& doc) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        // ENOTDIR: a file stands where a folder of the path should be; nothing is here.
        return errno == ENOENT || errno == ENOTDIR ? IniFile::State::Missing
                                                   : IniFile::State::Unreadable;
    }
    const auto bytes = readFileLimited(path, kMaxFileBytes);
    if (!bytes) {
        return IniFile::State::Unreadable;
    }
    doc = IniDocument::fromBytes(*bytes);
    return IniFile::State::Readable;
}

}  // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {}

IniFile::State IniFile::state() const {
    std::lock_guard lock(pathMutex(path_));
    IniDocument doc;
    return readExisting(path_, doc);
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    std::optional<std::string> value;
    {
        std::lock_guard lock(pathMutex(path_));
        if (const auto bytes = readFileLimited(path_, kMaxFileBytes)) {
            value = IniDocument::fromBytes(*bytes).find(section, key);
        }
    }
    return truncateUtf16(value ? *value : defaultValue, kMaxValueUnits);
}

long IniFile::readInt(std::string_view section, std::string_view key) const {
    return parseLong(readString(section, key, "0"));
}

bool IniFile::writeString(std::string_view section, std::string_view key,
                          std::optional<std::string_view> value) {
    if (!IniDocument::isWritable(section, key, value)) {
        return false;
    }
    return update([&](IniDocument& doc) {
        doc.set(section, key, value);
        return true;
    });
}

bool IniFile::update(const std::function<bool(IniDocument&)>& change) {
    std::lock_guard lock(pathMutex(path_));
    IniDocument doc;
    if (readExisting(path_, doc) == State::Unreadable) {
        debugLine("settings file unreadable, not written: " + path_.string());
        return false;
    }
    const std::vector<std::uint8_t> before = doc.toBytes();
    if (!change(doc)) {
        return false;
    }
    const std::vector<std::uint8_t> after = doc.toBytes();
    if (after == before) {
        return true;  // already as asked; a missing file is not created for nothing
    }
    if (!writeFileAtomically(path_, after)) {
        debugLine("settings file not written: " + path_.string());
        return false;
    }
    return true;
}

bool IniFile::read(const std::function<void(const IniDocument&)>& read) const {
    IniDocument doc;
    {
        std::lock_guard lock(pathMutex(path_));
        if (readExisting(path_, doc) == State::Unreadable) {
            return false;
        }
    }
    read(doc);
    return true;
}

bool IniFile::writeInt(std::string_view section, std::string_view key, long value) {
    return writeString(section, key, formatInt(value));
}

}  // namespace korvane::platform
