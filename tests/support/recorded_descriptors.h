#pragma once

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

// Report descriptors of real devices recorded by others (the shared test data).
namespace korvane::testing {

// KORVANE_SHARED_TESTDATA points elsewhere when the tree is not beside the shared folder.
inline std::filesystem::path recordedDescriptorFolder() {
    const char* override = std::getenv("KORVANE_SHARED_TESTDATA");
    return std::filesystem::path(override != nullptr ? override : KORVANE_SHARED_TESTDATA_DIR) /
           "hid-descriptors";
}

inline bool isHexByte(const std::string& t) {
    return t.size() == 2 && std::isxdigit(static_cast<unsigned char>(t[0])) &&
           std::isxdigit(static_cast<unsigned char>(t[1]));
}

// Reads the two plain layouts of the recordings: one item per line ("Usage Page (Consumer)
// 05 0C") or a C array ("0x05, 0x0C,  // comment"). Other layouts give nullopt.
inline std::optional<std::vector<std::uint8_t>> loadRecording(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::uint8_t> bytes;
    std::string line;
    while (std::getline(in, line)) {
        const auto comment = line.find("//");
        const std::string code = line.substr(0, comment);
        std::istringstream words(code);
        std::vector<std::string> tokens;
        for (std::string w; words >> w;) {
            tokens.push_back(w);
        }
        if (tokens.empty()) {
            continue;
        }
        if (tokens[0].rfind("0x", 0) == 0) {
            for (std::string t : tokens) {
                if (!t.empty() && t.back() == ',') {
                    t.pop_back();
                }
                if (t.size() != 4 || t.rfind("0x", 0) != 0 || !isHexByte(t.substr(2))) {
                    return std::nullopt;
                }
                bytes.push_back(static_cast<std::uint8_t>(std::stoul(t.substr(2), nullptr, 16)));
            }
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(tokens[0][0]))) {
            return std::nullopt;
        }
        std::size_t first = tokens.size();
        while (first > 0 && isHexByte(tokens[first - 1])) {
            --first;
        }
        if (first == tokens.size() || first == 0) {
            return std::nullopt;
        }
        for (std::size_t i = first; i < tokens.size(); ++i) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(tokens[i], nullptr, 16)));
        }
    }
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace korvane::testing
