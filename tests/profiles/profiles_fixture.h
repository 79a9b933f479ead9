#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/platform/paths.h"

namespace korvane::profiles::testing {

namespace fs = std::filesystem;

inline std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> patternBytes(std::size_t length, std::uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> bytes(length);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(gen());
    }
    return bytes;
}

// A private data root and program folder per test, through the environment the paths read.
class TempFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        root_ = fs::temp_directory_path() /
                ("korvane_profiles_" + name + "_" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "program");
        setenv("KORVANE_DATA_ROOT", (root_ / "QV").c_str(), 1);
        setenv("KORVANE_PROGRAM_FOLDER", (root_ / "program").c_str(), 1);
    }

    void TearDown() override {
        unsetenv("KORVANE_DATA_ROOT");
        unsetenv("KORVANE_PROGRAM_FOLDER");
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    fs::path dataRoot() const { return root_ / "QV"; }
    fs::path programFolder() const { return root_ / "program"; }
    fs::path root() const { return root_; }

  private:
    fs::path root_;
};

}  // namespace korvane::profiles::testing
