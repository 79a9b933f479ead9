#include "core/update/update_settings.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "core/app/installer_settings.h"
#include "core/platform/debug_line.h"
#include "core/platform/paths.h"
#include "core/update/http_client.h"
#include "core/update/update_protocol.h"

namespace korvane::update {
namespace {

// The part after "http://" or "https://"; none for other schemes or unsafe characters.
std::optional<std::string_view> afterScheme(std::string_view address) {
    for (const unsigned char c : address) {
        if (c <= ' ' || c == 0x7F) {
            return std::nullopt;
        }
    }
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (address.size() > scheme.size() &&
            std::equal(scheme.begin(), scheme.end(), address.begin(), [](char a, char b) {
                return a == std::tolower(static_cast<unsigned char>(b));
            })) {
            return address.substr(scheme.size());
        }
    }
    return std::nullopt;
}

std::optional<std::string> nonEmpty(std::optional<std::string> value) {
    if (value && value->empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

}  // namespace

std::optional<std::string> EndpointUrl(std::string_view base) {
    const std::optional<std::string_view> rest = afterScheme(base);
    if (!rest || rest->empty() || rest->front() == '/' ||
        rest->find_first_of("?#") != std::string_view::npos) {
        return std::nullopt;
    }
    std::string url(base);
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    return url + std::string(kServicePath);
}

std::optional<std::string> WebPage(std::string_view address) {
    const std::optional<std::string_view> rest = afterScheme(address);
    if (!rest || rest->empty() || rest->front() == '/') {
        return std::nullopt;
    }
    return std::string(address);
}

UpdateSettings ReadUpdateSettings(const app::InstallerSettings& installer) {
    UpdateSettings settings;
    if (const auto base = environment(kUpdateUrlVariable)
                              ? environment(kUpdateUrlVariable)
                              : nonEmpty(installer.value(kUpdateUrlKey))) {
        settings.endpoint = EndpointUrl(*base);
        if (!settings.endpoint) {
            platform::debugLine("update service address not usable: " + *base);
        }
    }
    settings.installedVersion =
        nonEmpty(installer.value(kDisplayVersionKey)).value_or(std::string(BuildVersion()));
    if (const auto page = nonEmpty(installer.value(kHomePageKey))) {
        settings.homePage = WebPage(*page);
    }
    if (const auto page = nonEmpty(installer.value(kSocialPageKey))) {
        settings.socialPage = WebPage(*page);
    }
    settings.programFolder = platform::ProgramFolder();
    settings.updater = environment(kUpdaterVariable)
                           ? std::filesystem::path(*environment(kUpdaterVariable))
                           : settings.programFolder / std::string(kUpdaterName);
    return settings;
}

}  // namespace korvane::update
