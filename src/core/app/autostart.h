#pragma once

#include <filesystem>
#include <string>

namespace korvane::app {

// Start with the user's session. The real one is an XDG autostart entry.
class Autostart {
  public:
    virtual ~Autostart() = default;
    virtual bool exists() const = 0;
    // Starts `program` at login.
    virtual bool create(const std::filesystem::path& program) = 0;
    virtual bool remove() = 0;
};

// $XDG_CONFIG_HOME/autostart/korvane.desktop (XDG_CONFIG_HOME defaults to ~/.config).
class XdgAutostart final : public Autostart {
  public:
    // The folder that holds "autostart/"; empty: from the environment.
    explicit XdgAutostart(std::filesystem::path configHome = {});

    bool exists() const override;
    bool create(const std::filesystem::path& program) override;
    bool remove() override;

    std::filesystem::path entryPath() const;

  private:
    std::filesystem::path configHome_;
};

}  // namespace korvane::app
