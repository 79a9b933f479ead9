#include "core/app/scripted_session.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/macros/fake_input_hook.h"
#include "core/platform/stop_event.h"
#include "core/platform/text.h"

namespace korvane::app {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> splitWords(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

// The rest of the line after the first n words, as typed (texts may hold spaces).
std::string restAfterWords(const std::string& line, int n) {
    std::size_t pos = 0;
    for (int i = 0; i < n; ++i) {
        pos = line.find_first_not_of(" \t", pos);
        pos = line.find_first_of(" \t", pos);
        if (pos == std::string::npos) {
            return {};
        }
    }
    pos = line.find_first_not_of(" \t", pos);
    return pos == std::string::npos ? std::string() : line.substr(pos);
}

struct ControlState {
    bool found = false;
    bool visible = false;
    bool enabled = false;
    bool selected = false;
    bool shown = false;
    int value = 0;
    int item = -1;
    std::size_t count = 0;
    std::string text;
};

constexpr std::string_view kUpdateWindowPrefix = "update:";

// A control as a script names it: "update:NAME" is the update window's; a plain name is the
// main window's, or the update window's when the main window has none of that name. Main
// thread only; null when neither has it (or the update window is closed).
struct NamedControl {
    ui::ControlTree* tree = nullptr;
    std::string name;
    bool updateWindow = false;
};

NamedControl findNamed(HeadlessApp& app, const std::string& scriptName) {
    NamedControl found;
    found.updateWindow = scriptName.starts_with(kUpdateWindowPrefix);
    found.name = found.updateWindow ? scriptName.substr(kUpdateWindowPrefix.size()) : scriptName;
    ui::ControlTree* update = app.updateWindowTree();
    if (!found.updateWindow && app.mainWindow().tree().find(found.name) != nullptr) {
        found.tree = &app.mainWindow().tree();
    } else if (update != nullptr && update->find(found.name) != nullptr) {
        found.tree = update;
    }
    return found;
}

ControlState readControl(HeadlessApp& app, const std::string& scriptName) {
    ControlState state;
    app.query([&] {
        const NamedControl named = findNamed(app, scriptName);
        if (named.tree != nullptr) {
            const ui::Control* c = named.tree->find(named.name);
            state = {true,       c->visible(),     c->enabled(),      c->selected(), c->shown(),
                     c->value(), c->currentItem(), c->items().size(), c->text()};
        } else if (named.name == "window") {
            state.found = true;
            state.visible =
                named.updateWindow ? app.updateWindowVisible() : app.windowHost().isVisible();
            state.shown = state.visible;
            state.enabled = true;
        }
    });
    return state;
}

std::string property(const ControlState& s, std::string_view key) {
    if (key == "visible")
        return s.visible ? "1" : "0";
    if (key == "enabled")
        return s.enabled ? "1" : "0";
    if (key == "selected")
        return s.selected ? "1" : "0";
    if (key == "shown")
        return s.shown ? "1" : "0";
    if (key == "value")
        return std::to_string(s.value);
    if (key == "item")
        return std::to_string(s.item);
    if (key == "count")
        return std::to_string(s.count);
    if (key == "text")
        return s.text;
    return {};
}

bool knownProperty(std::string_view key) {
    return key == "visible" || key == "enabled" || key == "selected" || key == "shown" ||
           key == "value" || key == "item" || key == "count" || key == "text";
}

// "true"/"false" read as the 1/0 the properties print.
std::string normalise(std::string value) {
    if (value == "true")
        return "1";
    if (value == "false")
        return "0";
    return value;
}

class Session {
  public:
    Session(HeadlessApp& app, DevicePlugger* plugger, std::ostream& out, std::ostream& err)
        : app_(app), plugger_(plugger), out_(out), err_(err) {}

    int run(std::istream& script) {
        std::string line;
        int number = 0;
        while (std::getline(script, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            const std::vector<std::string> words = splitWords(line);
            if (words.empty() || words[0].starts_with('#')) {
                continue;
            }
            error_.clear();
            const int result = execute(words, line);
            if (result != kScriptDone) {
                err_ << "script line " << number << ": " << error_ << '\n';
                app_.shutdown();
                return result;
            }
        }
        letTransfersEnd();
        app_.shutdown();
        return kScriptDone;
    }

  private:
    // A script that ends right after a save to the device still saves: the session waits
    // while the progress control shows (until a second after the transfer), within a limit.
    void letTransfersEnd() {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        platform::StopEvent pause;
        while (std::chrono::steady_clock::now() < deadline) {
            const ControlState s = readControl(app_, "setting_progress");
            if (!s.found || !s.visible) {
                return;
            }
            pause.wait(20ms);
        }
    }

    int bad(std::string message) {
        error_ = std::move(message);
        return kScriptBadLine;
    }

    int execute(const std::vector<std::string>& w, const std::string& line) {
        const std::string& cmd = w[0];
        const std::size_t n = w.size();
        if ((cmd == "plug" || cmd == "unplug") && n == 2) {
            const auto kind = device::kindFromCliName(w[1]);
            if (!kind) {
                return bad("unknown model '" + w[1] + "'");
            }
            if (plugger_ == nullptr) {
                return bad("devices can be plugged only with --simulate");
            }
            const bool ok = cmd == "plug" ? plugger_->plug(*kind) : plugger_->unplug(*kind);
            return ok ? kScriptDone : bad("no " + w[1] + " is attached");
        }
        if (cmd == "consumer" && n == 3) {
            const auto kind = device::kindFromCliName(w[1]);
            const auto usage = platform::parseWholeNumber(w[2]);
            if (!kind || !usage || *usage < 0 || *usage > 0xFFFF) {
                return bad("consumer needs MODEL USAGE, e.g. consumer mouse 0x0401");
            }
            if (plugger_ == nullptr) {
                return bad("consumer reports need --simulate");
            }
            return plugger_->consumerReport(*kind, static_cast<std::uint16_t>(*usage))
                       ? kScriptDone
                       : bad("no " + w[1] + " is attached");
        }
        if (cmd == "wait" && n == 2) {
            const auto ms = platform::parseWholeNumber(w[1]);
            if (!ms || *ms < 0) {
                return bad("wait needs a number of milliseconds");
            }
            platform::StopEvent().wait(std::chrono::milliseconds(*ms));
            return kScriptDone;
        }
        if (cmd == "wait-for" && (n == 3 || n == 4)) {
            return waitFor(w);
        }
        if (cmd == "notify" && n >= 3) {
            const std::string arg = restAfterWords(line, 3);
            bool delivered = false;
            app_.act([&] {
                const NamedControl named = findNamed(app_, w[2]);
                delivered = named.tree != nullptr && named.tree->deliver(w[1], named.name, arg);
            });
            return delivered ? kScriptDone : bad("cannot deliver " + w[1] + " to '" + w[2] + "'");
        }
        if (cmd == "tray" && n == 2 && (w[1] == "left" || w[1] == "right")) {
            app_.act([&] {
                if (w[1] == "left") {
                    app_.mainWindow().trayLeftClick();
                } else {
                    app_.mainWindow().trayRightClick();
                }
            });
            return kScriptDone;
        }
        if (cmd == "menu" && n == 2) {
            app_.act([&] { app_.mainWindow().menuCommand(w[1], menuText(w[1])); });
            return kScriptDone;
        }
        if (cmd == "answer" && n == 2) {
            const auto code = platform::parseWholeNumber(w[1]);
            if (!code) {
                return bad("answer needs a number");
            }
            app_.dialogs().queueAnswer(static_cast<int>(*code));
            return kScriptDone;
        }
        if (cmd == "hold" && n == 1) {
            app_.dialogs().hold();
            return kScriptDone;
        }
        if (cmd == "file" && n >= 2) {
            const std::string path = restAfterWords(line, 1);
            if (path == "-") {
                app_.dialogs().queueFile(std::nullopt);
            } else {
                app_.dialogs().queueFile(std::filesystem::path(path));
            }
            return kScriptDone;
        }
        if (cmd == "foreground" && n >= 2) {
            app_.foreground().set(restAfterWords(line, 1));
            return kScriptDone;
        }
        if (cmd == "input" && n >= 2) {
            return input(w);
        }
        if (cmd == "deactivate" && n == 1) {
            app_.act([&] { app_.mainWindow().windowDeactivated(); });
            return kScriptDone;
        }
        if ((cmd == "suspend" || cmd == "resume" || cmd == "activate") && n == 1) {
            app_.act([&] {
                MainWindow& main = app_.mainWindow();
                if (cmd == "suspend") {
                    main.suspend();
                } else if (cmd == "resume") {
                    main.resume();
                } else {
                    main.activate();
                }
            });
            return kScriptDone;
        }
        if (cmd == "print" && n == 2) {
            const ControlState s = readControl(app_, w[1]);
            if (!s.found) {
                return bad("no control '" + w[1] + "'");
            }
            std::ostringstream line;
            line << w[1] << " visible=" << s.visible << " enabled=" << s.enabled
                 << " selected=" << s.selected << " value=" << s.value << " item=" << s.item
                 << " count=" << s.count << " shown=" << s.shown << " text=" << s.text << '\n';
            // One insertion per line, so lines of other threads never cut into it.
            out_ << line.str() << std::flush;
            return kScriptDone;
        }
        if (cmd == "items" && n == 2) {
            return items(w[1]);
        }
        return bad("cannot read '" + line + "'");
    }

    // items CONTROL: one line per row of a list or combo box.
    int items(const std::string& name) {
        std::string lines;
        bool found = false;
        app_.query([&] {
            const ui::Control* c = app_.mainWindow().tree().find(name);
            if (c == nullptr) {
                return;
            }
            found = true;
            for (std::size_t i = 0; i < c->items().size(); ++i) {
                const ui::ListItem& item = c->items()[i];
                std::string row = name + "[" + std::to_string(i) + "]";
                if (!item.cells.empty()) {
                    row += " cells=";
                    for (std::size_t k = 0; k < item.cells.size(); ++k) {
                        row += (k == 0 ? "" : "|") + item.cells[k].text;
                    }
                }
                if (!item.data.empty()) {
                    row += " data=" + item.data;
                }
                lines += row + " text=" + item.text + "\n";
            }
        });
        if (!found) {
            return bad("no control '" + name + "'");
        }
        out_ << lines << std::flush;
        return kScriptDone;
    }

    // input key VK down|up [extended] [+MS] / input button NAME down|up [+MS]
    int input(const std::vector<std::string>& w) {
        macros::FakeInputHook* hook = app_.fakeInputHook();
        if (hook == nullptr) {
            return bad("input needs the session's own input hook");
        }
        const bool key = w[1] == "key";
        if (!key && w[1] != "button") {
            return bad("input needs 'key' or 'button'");
        }
        std::size_t i = 2;
        std::optional<std::uint32_t> code;
        std::optional<macros::FakeInputHook::Button> button;
        if (i < w.size()) {
            if (key) {
                const auto vk = platform::parseWholeNumber(w[i]);
                if (vk && *vk >= 0 && *vk <= 0xFFFF) {
                    code = static_cast<std::uint32_t>(*vk);
                }
            } else {
                button = macros::FakeInputHook::buttonFromName(w[i]);
            }
            ++i;
        }
        if (key ? !code : !button) {
            return bad(key ? "input key needs a virtual-key code, e.g. input key 0x41 down"
                           : "input button needs left, right, middle, x1 or x2");
        }
        if (i >= w.size() || (w[i] != "down" && w[i] != "up")) {
            return bad("input needs down or up");
        }
        const bool down = w[i++] == "down";
        bool extended = false;
        if (key && i < w.size() && w[i] == "extended") {
            extended = true;
            ++i;
        }
        std::uint32_t advance = 0;
        if (i < w.size() && w[i].starts_with('+')) {
            const auto ms = platform::parseWholeNumber(std::string_view(w[i]).substr(1));
            if (!ms || *ms < 0 || *ms > 0xFFFFFFFFLL) {
                return bad("input needs +MS with a number of milliseconds");
            }
            advance = static_cast<std::uint32_t>(*ms);
            ++i;
        }
        if (i != w.size()) {
            return bad("cannot read the rest of the input line: '" + w[i] + "'");
        }
        // Injected on the main thread, where the hooks are installed and removed; the event
        // then reaches the window as a posted message, before the script's next line.
        app_.query([&] {
            if (key) {
                hook->injectKey(*code, down, extended, advance);
            } else {
                hook->injectButton(*button, down, advance);
            }
        });
        return kScriptDone;
    }

    int waitFor(const std::vector<std::string>& w) {
        const std::size_t eq = w[2].find('=');
        if (eq == std::string::npos || !knownProperty(w[2].substr(0, eq))) {
            return bad("wait-for needs PROPERTY=VALUE with a known property");
        }
        const std::string key = w[2].substr(0, eq);
        const std::string wanted = normalise(w[2].substr(eq + 1));
        long long timeout = 5000;
        if (w.size() == 4) {
            const auto t = platform::parseWholeNumber(w[3]);
            if (!t || *t < 0) {
                return bad("wait-for needs a time limit in milliseconds");
            }
            timeout = *t;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
        platform::StopEvent pause;
        while (true) {
            const ControlState s = readControl(app_, w[1]);
            if (!s.found) {
                return bad("no control '" + w[1] + "'");
            }
            const std::string actual = property(s, key);
            if (actual == wanted) {
                return kScriptDone;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                error_ = "timed out waiting for " + w[1] + " " + key + "=" + wanted + " (it is " +
                         actual + ")";
                return kScriptTimedOut;
            }
            pause.wait(10ms);
        }
    }

    // The text of a menu entry of the tray or settings menu; the entry's own name otherwise.
    std::string menuText(const std::string& entry) {
        std::string text = entry;
        const std::function<bool(const std::vector<ui::MenuEntry>&)> find =
            [&](const std::vector<ui::MenuEntry>& entries) {
                for (const auto& e : entries) {
                    if (e.name == entry) {
                        text = e.text;
                        return true;
                    }
                    if (find(e.children)) {
                        return true;
                    }
                }
                return false;
            };
        MainWindow& main = app_.mainWindow();
        if (!find(main.trayMenu().entries)) {
            find(main.settingsMenu().entries);
        }
        return text;
    }

    HeadlessApp& app_;
    DevicePlugger* plugger_;
    std::ostream& out_;
    std::ostream& err_;
    std::string error_;
};

}  // namespace

int RunScript(HeadlessApp& app, DevicePlugger* plugger, std::istream& script, std::ostream& out,
              std::ostream& err) {
    return Session(app, plugger, out, err).run(script);
}

}  // namespace korvane::app
