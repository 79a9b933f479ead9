// Macro list files and macro files: the input serves as both, so that counts, names and
// action texts all come from it, and a download image is prepared from them.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/macros/action_file.h"
#include "core/macros/macro_download.h"
#include "core/macros/macro_store.h"

namespace {

// One folder per fuzzing process, removed when it ends.
struct FuzzFolder {
    FuzzFolder()
        : path(std::filesystem::temp_directory_path() /
               ("korvane_fuzz_macro_file_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~FuzzFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::filesystem::path path;
};

const std::filesystem::path& fuzzFolder() {
    static const FuzzFolder folder;
    return folder.path;
}

void writeFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::macros;
    const auto& folder = fuzzFolder();
    writeFile(folder / "kbMacro.ini", data, size);
    // A listed name without a MACRONAME key reads as "0".
    writeFile(folder / "0.mac", data, size);

    const MacroStore store(MacroClass::Keyboard, folder);
    const auto names = store.ReadMacroList();
    if (names.size() > kMaxMacros) {
        std::abort();
    }
    if (store.ReadMacro("0").size() > kMaxFileActions) {
        std::abort();
    }
    const auto plan = PrepareMacroDownload(store, 255);
    if (plan.outcome == MacroDownloadPlan::Outcome::Ready &&
        (plan.image.size() != plan.imageSize || plan.image.size() > 255 * kMacroMemoryUnit)) {
        std::abort();
    }
    return 0;
}
