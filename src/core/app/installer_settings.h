#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::app {

// What the installer leaves for the program: the installation folder and the language
// chosen during installation (an installer code such as "1049").
class InstallerSettings {
  public:
    virtual ~InstallerSettings() = default;
    virtual std::optional<std::string> language() const = 0;
    virtual bool setLanguage(std::string_view code) = 0;
    virtual std::optional<std::string> installPath() const = 0;
    // Any other value of the installer's section by its key; none when absent.
    virtual std::optional<std::string> value(std::string_view /*key*/) const {
        return std::nullopt;
    }
};

// install.ini in the program folder, section "Qv Korvane Gaming Software 3.0",
// keys LANGUAGE and InstPath (and the update service's keys, see update/update_settings.h). The
// installer creates it; without it there is nothing to read and setLanguage fails.
class IniInstallerSettings final : public InstallerSettings {
  public:
    static constexpr std::string_view kSection = "Qv Korvane Gaming Software 3.0";

    explicit IniInstallerSettings(std::filesystem::path file);

    std::optional<std::string> language() const override;
    bool setLanguage(std::string_view code) override;
    std::optional<std::string> installPath() const override;
    std::optional<std::string> value(std::string_view key) const override { return read(key); }

  private:
    std::optional<std::string> read(std::string_view key) const;
    std::filesystem::path file_;
};

}  // namespace korvane::app
