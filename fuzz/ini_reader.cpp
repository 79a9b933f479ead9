// Feeds arbitrary bytes to the INI reader: first as a file on disk, read through IniFile
// the way the program reads main.ini and the index files, then to the in-memory editor
// (without the disk, so the run stays fast).
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "core/platform/ini_document.h"
#include "core/platform/ini_file.h"
#include "core/platform/text.h"

namespace {

const std::filesystem::path& scratchFile() {
    static const std::filesystem::path path = [] {
        std::string folder = (std::filesystem::temp_directory_path() / "korvane-fuzz-XXXXXX");
        if (::mkdtemp(folder.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return std::filesystem::path(folder) / "fuzz.ini";
    }();
    return path;
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::platform;
    const std::span<const std::uint8_t> bytes(data, size);
    {
        // A plain write: the atomic one syncs to disk, which would slow fuzzing a hundredfold.
        std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) {
            return 0;
        }
    }
    const IniFile ini(scratchFile());
    for (const char* section : {"SKINIMAGE", "PROFILENAME", "PROFILEDENGCOUNT", "A"}) {
        for (const char* key : {"LANGUAGE", "count", "0", "1", "k"}) {
            const std::string value = ini.readString(section, key);
            check(utf16Length(value) <= IniFile::kMaxValueUnits);
            check(utf16ToUtf8(utf8ToUtf16(value)) == value);
            static_cast<void>(ini.readInt(section, key));
        }
    }

    // An edit keeps the document readable and does what it says.
    IniDocument doc = IniDocument::fromBytes(bytes);
    doc.set("PROFILENAME", "0", "New Profile 1");
    doc.set("SKINIMAGE", "LANGUAGE", std::nullopt);
    const std::vector<std::uint8_t> written = doc.toBytes();
    const IniDocument reread = IniDocument::fromBytes(written);
    check(reread.find("PROFILENAME", "0") == std::optional<std::string>("New Profile 1"));
    check(!reread.find("SKINIMAGE", "LANGUAGE").has_value());
    return 0;
}
