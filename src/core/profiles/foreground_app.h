#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace korvane::profiles {

// Which program owns the window in front, for profiles linked to a program. A desktop
// implementation watches the window system and calls publish(); the link pollers read
// programFile() when a listener tells them it changed, so nothing polls while the
// foreground stays the same.
class ForegroundApp {
  public:
    using Listener = std::function<void()>;

    virtual ~ForegroundApp() = default;

    // The full path of the program file of the process owning the foreground window; empty
    // while no window is in front or none has been seen. A process that may not be inspected
    // leaves the last path read.
    std::string programFile() const;

    // Listeners run on the implementation's thread after each change of programFile(). They
    // must be quick and must not call subscribe or unsubscribe. After unsubscribe returns,
    // the listener is not running and never runs again.
    int subscribe(Listener listener);
    void unsubscribe(int id);

  protected:
    // The program now in front (empty: none). Listeners run only when it differs.
    void publish(std::string programFile);

  private:
    mutable std::mutex stateMutex_;
    std::string current_;
    // Held while listeners run, so unsubscribe waits for a running one.
    std::mutex listenersMutex_;
    std::map<int, Listener> listeners_;
    int nextId_ = 1;
};

// The foreground of headless sessions and tests: whatever the script says ("foreground PATH").
class ScriptedForegroundApp final : public ForegroundApp {
  public:
    void set(std::string programFile) { publish(std::move(programFile)); }
};

}  // namespace korvane::profiles
