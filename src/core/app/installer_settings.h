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
};

// install.ini in the program folder, section "Qv Korvane Gaming Software 3.0",
// keys LANGUAGE and InstPath. The installer creates it; without it there is nothing to
// read and setLanguage fails.
class IniInstallerSettings final : public InstallerSettings {
  public:
    static constexpr std::string_view kSection = "Qv Korvane Gaming Software 3.0";

    explicit IniInstallerSettings(std::filesystem::path file);

    std::optional<std::string> language() const override;
    bool setLanguage(std::string_view code) override;
    std::optional<std::string> installPath() const override;

  private:
    std::optional<std::string> read(std::string_view key) const;
    std::filesystem::path file_;
};

}  // namespace korvane::app
