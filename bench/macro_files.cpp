// Costs of the macro and cursor data paths: building and decoding device images, and
// reading and writing action files through the INI layer (one key per call).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/macros/action_file.h"
#include "core/macros/sequence_image.h"

namespace {

using korvane::macros::BuildSequenceImage;
using korvane::macros::ParseSequenceImage;
using korvane::macros::ReadActionFile;
using korvane::macros::WriteActionFile;

std::vector<std::vector<std::string>> fullCursorSequences() {
    return std::vector<std::vector<std::string>>(
        4, std::vector<std::string>(180, "12,0,132,200,1,mouse_move_to_left_text"));
}

class BenchFolder {
  public:
    BenchFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("korvane_bench_macro_files_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~BenchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void BM_BuildCursorImage(benchmark::State& state) {
    const auto sequences = fullCursorSequences();
    for (auto _ : state) {
        auto image = BuildSequenceImage(sequences);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_BuildCursorImage);

void BM_ParseCursorImage(benchmark::State& state) {
    const auto image = *BuildSequenceImage(fullCursorSequences());
    for (auto _ : state) {
        auto sequences = ParseSequenceImage(image);
        benchmark::DoNotOptimize(sequences);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_ParseCursorImage);

// Reading goes key by key through the INI layer, so its cost grows faster than the file.
void BM_ReadActionFile(benchmark::State& state) {
    const BenchFolder folder;
    const auto file = folder.path() / "m.mac";
    const std::vector<std::string> texts(static_cast<std::size_t>(state.range(0)),
                                         "100,0,138,4,1,keyboard_key_A");
    WriteActionFile(file, texts);
    for (auto _ : state) {
        auto read = ReadActionFile(file);
        benchmark::DoNotOptimize(read);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadActionFile)->Arg(180)->Arg(720)->Arg(2880)->Unit(benchmark::kMillisecond);

void BM_WriteActionFile(benchmark::State& state) {
    const BenchFolder folder;
    const auto file = folder.path() / "m.mac";
    const std::vector<std::string> texts(static_cast<std::size_t>(state.range(0)),
                                         "100,0,138,4,1,keyboard_key_A");
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteActionFile(file, texts));
    }
}
BENCHMARK(BM_WriteActionFile)->Arg(180)->Arg(2880)->Unit(benchmark::kMicrosecond);

}  // namespace
