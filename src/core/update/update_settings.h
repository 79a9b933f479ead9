#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::app {
class InstallerSettings;
}

namespace korvane::update {

// Keys of the installer's section in install.ini.
inline constexpr std::string_view kUpdateUrlKey = "UpdateURL";
inline constexpr std::string_view kHomePageKey = "HomePage";
inline constexpr std::string_view kSocialPageKey = "SocialPage";
inline constexpr std::string_view kDisplayVersionKey = "DisplayVersion";
// Environment variables that come before install.ini.
inline constexpr const char* kUpdateUrlVariable = "KORVANE_UPDATE_URL";
inline constexpr const char* kUpdaterVariable = "KORVANE_UPDATER";
// The updater's file in the program folder.
inline constexpr std::string_view kUpdaterName = "DravenholmeUpdate";

// The endpoint's URL from the service's base URL ("http://127.0.0.1:8080" →
// "http://127.0.0.1:8080/download/getVersionV1"); none unless the base is an http or https
// URL with a host and without blanks or control characters.
std::optional<std::string> EndpointUrl(std::string_view base);
// An http or https address to open in the browser; none for anything else.
std::optional<std::string> WebPage(std::string_view address);

struct UpdateSettings {
    // The full URL of the endpoint; none configured means no request is ever made.
    std::optional<std::string> endpoint;
    // The installed software version: the installer's DisplayVersion, else this build's.
    std::string installedVersion;
    std::optional<std::string> homePage;
    std::optional<std::string> socialPage;
    std::filesystem::path updater;
    // The updater's working folder.
    std::filesystem::path programFolder;
};

// KORVANE_UPDATE_URL, else UpdateURL of install.ini, is the service's base URL; the updater
// is KORVANE_UPDATER, else DravenholmeUpdate in the program folder.
UpdateSettings ReadUpdateSettings(const app::InstallerSettings& installer);

}  // namespace korvane::update
