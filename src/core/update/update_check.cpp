#include "core/update/update_check.h"

#include <array>
#include <optional>

#include "core/platform/debug_line.h"
#include "core/update/versions.h"

namespace korvane::update {
namespace {

constexpr std::array<std::string_view, 4> kKeyboardCodes{"Qv021", "Qv022", "Qv033", "Qv033"};
constexpr std::array<std::string_view, 2> kMouseCodes{"Qv023", "Qv034"};

std::string numberLine(std::string_view text, long number) {
    return std::string(text) + std::to_string(number);
}

bool newer(long local, long server, long limit) {
    return local < server && server < limit;
}

}  // namespace

std::string_view KeyboardCode(int keyboardShown) {
    if (keyboardShown < 1 || keyboardShown > static_cast<int>(kKeyboardCodes.size())) {
        return {};
    }
    return kKeyboardCodes[static_cast<std::size_t>(keyboardShown - 1)];
}

std::string_view MouseCode(int mouseShown) {
    if (mouseShown < 1 || mouseShown > static_cast<int>(kMouseCodes.size())) {
        return {};
    }
    return kMouseCodes[static_cast<std::size_t>(mouseShown - 1)];
}

bool CheckForUpdates(ServiceClient& service, const InstalledVersions& installed) {
    bool any = false;
    const long softwareServer = service.QueryServerVersion(kSoftwareCode);
    platform::debugLine(numberLine("最新驱动版本号是", softwareServer));
    // An installed version that is no version cannot be compared.
    if (const std::optional<long> local = VersionNumber(installed.software)) {
        platform::debugLine(numberLine("现在驱动的版本号是", *local));
        any |= newer(*local, softwareServer, kSoftwareVersionLimit);
    }
    // Only attached devices are asked about: a missing one has no firmware to compare.
    const auto device = [&](std::string_view code, std::uint16_t firmware,
                            std::string_view newestLine, std::string_view installedLine) {
        if (code.empty()) {
            return;
        }
        const long server = service.QueryServerVersion(code);
        const long local = FirmwareNumber(firmware);
        platform::debugLine(numberLine(newestLine, server));
        platform::debugLine(numberLine(installedLine, local));
        any |= newer(local, server, kFirmwareVersionLimit);
    };
    device(KeyboardCode(installed.keyboardShown), installed.keyboardFirmware, "RGB键盘的新版本号是",
           "RGB键盘现在版本号是");
    device(MouseCode(installed.mouseShown), installed.mouseFirmware, "鼠标的新版本号是",
           "鼠标现在版本号是");
    return any;
}

}  // namespace korvane::update
