// The profile index is read one key per call, as the link pollers and the connection
// sequences do: how long one such read and one atomic write take on a realistic file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/platform/ini_file.h"

namespace {

using korvane::platform::IniFile;

std::filesystem::path indexWithProfiles(int count) {
    std::string folder = (std::filesystem::temp_directory_path() / "korvane-bench-XXXXXX");
    if (::mkdtemp(folder.data()) == nullptr) {
        std::abort();
    }
    const std::filesystem::path path = std::filesystem::path(folder) / "kbProfile.ini";
    std::ofstream out(path, std::ios::binary);
    out << "[PROFILEDENGCOUNT]\r\ncount=" << count << "\r\n[PROFILEDENGNAME]\r\n";
    for (int i = 0; i < count; ++i) {
        out << i << "=Profile number " << i << "\r\n";
    }
    out << "[PROFILEDENGSELECT]\r\nselect=0\r\n[PROFILELIKEDENGEXE]\r\n";
    for (int i = 0; i < count; ++i) {
        out << i << "=0\r\n";
    }
    out << "[DENGPROCESS]\r\n";
    for (int i = 0; i < count; ++i) {
        out << i << "=/usr/games/some/long/path/to/game" << i << "/bin/game.x86_64\r\n";
    }
    return path;
}

void removeFolder(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::remove_all(file.parent_path(), ec);
}

void BM_ReadLastKey(benchmark::State& state) {
    const auto path = indexWithProfiles(static_cast<int>(state.range(0)));
    const IniFile ini(path);
    const std::string key = std::to_string(state.range(0) - 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ini.readString("DENGPROCESS", key));
    }
    removeFolder(path);
}
BENCHMARK(BM_ReadLastKey)->Arg(10)->Arg(100);

void BM_WriteSelect(benchmark::State& state) {
    const auto path = indexWithProfiles(static_cast<int>(state.range(0)));
    IniFile ini(path);
    long select = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ini.writeInt("PROFILEDENGSELECT", "select", ++select % 7));
    }
    removeFolder(path);
}
BENCHMARK(BM_WriteSelect)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace
