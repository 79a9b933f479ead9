// ReadProfileFile's reading of untrusted bytes: any input gives 0 or -1, never reads
// past the file or writes past the body buffer.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/profiles/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks one of the body lengths the program reads.
    static constexpr std::size_t kLengths[] = {1958, 512, 64, 56};
    const std::size_t length = kLengths[data[0] % 4];
    std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    std::vector<std::uint8_t> body(length, 0);
    const int result = korvane::profiles::readProfileStream(in, body);
    if (result != 0 && result != -1) {
        __builtin_trap();
    }
    return 0;
}
