#include "backends/hidapi/hid_enumeration.h"

#include <fstream>
#include <iterator>
#include <set>

#include "core/device/report_descriptor.h"

namespace korvane::backends {

namespace {

constexpr std::size_t kMaxDescriptorSize = 4096;

device::HidInterfaceInfo baseInfo(const EnumeratedInterface& e) {
    device::HidInterfaceInfo info;
    info.path = e.path;
    info.vendorId = e.vendorId;
    info.productId = e.productId;
    info.versionNumber = e.releaseNumber;
    info.usagePage = e.usagePage;
    info.usage = e.usage;
    info.interfaceNumber = e.interfaceNumber < 0 ? 0 : e.interfaceNumber;
    return info;
}

}  // namespace

std::vector<device::HidInterfaceInfo> interfacesFromEnumeration(
    std::span<const EnumeratedInterface> entries, const DescriptorReader& readDescriptor) {
    std::vector<device::HidInterfaceInfo> result;
    std::set<std::string> done;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const EnumeratedInterface& e = entries[i];
        if (done.contains(e.path)) {
            continue;
        }
        done.insert(e.path);

        std::optional<device::ReportDescriptor> parsed;
        if (const auto bytes = readDescriptor ? readDescriptor(e.path) : std::nullopt) {
            parsed = device::parseReportDescriptor(*bytes);
        }
        if (parsed && !parsed->collections.empty()) {
            const bool several = parsed->collections.size() > 1;
            for (std::size_t c = 0; c < parsed->collections.size(); ++c) {
                device::HidInterfaceInfo info = baseInfo(e);
                info.usagePage = parsed->collections[c].usagePage;
                info.usage = parsed->collections[c].usage;
                info.collectionNumber = several ? static_cast<int>(c + 1) : 0;
                result.push_back(std::move(info));
            }
            continue;
        }
        // Fall back on the enumeration's own view: every entry listed for this path.
        int number = 0;
        std::vector<device::HidInterfaceInfo> same;
        for (std::size_t j = i; j < entries.size(); ++j) {
            if (entries[j].path == e.path) {
                same.push_back(baseInfo(entries[j]));
            }
        }
        for (auto& info : same) {
            info.collectionNumber = same.size() > 1 ? ++number : 0;
            result.push_back(std::move(info));
        }
    }
    return result;
}

std::string sysfsDescriptorPath(const std::string& devicePath) {
    constexpr std::string_view kPrefix = "/dev/";
    const auto slash = devicePath.find_last_of('/');
    const std::string node = slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
    if (devicePath.rfind(kPrefix, 0) != 0 || node.rfind("hidraw", 0) != 0 || node.size() == 6 ||
        node.find_first_not_of("0123456789", 6) != std::string::npos) {
        return {};
    }
    return "/sys/class/hidraw/" + node + "/device/report_descriptor";
}

std::optional<std::vector<std::uint8_t>> readDescriptorFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(kMaxDescriptorSize);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace korvane::backends
