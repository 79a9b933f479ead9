#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "connection/connection_fixture.h"

namespace korvane::app::testing {

// One profile list as a user sees it: its folder, index file and sections, its controls and
// the length of its bodies.
struct ListCase {
    const char* label;
    const char* folder;
    const char* indexFile;
    bool keys;  // key-profile sections and ".pro"; light sections and ".led" otherwise
    std::size_t bodyLength;
    std::uint8_t classCode;
    const char* combo;
    const char* nameEdit;
    const char* prefix;
    const char* renameSave;
    const char* linkCheck;
    const char* linkButton;
    const char* linkEdit;
    const char* linkRow;
    bool pad;
};

inline const ListCase kListCases[] = {
    {"KeyboardLight", "kb", "kbProfile.ini", false, 1958, 1, "kb_deng_profile_combo",
     "kb_deng_profile_name_edit", "kb_pro_deng_", "kb_deng_profile_edit_save_btn",
     "kb_deng_profile_link_check", "kb_deng_profile_link_btn", "kb_deng_profile_link_edit",
     "kb_deng_profile_link_name_hor", false},
    {"KeyboardKeys", "kb", "kbProfile.ini", true, 512, 1, "kb_key_profile_combo",
     "kb_key_profile_name_edit", "kb_pro_key_", "kb_key_profile_edit_save_btn",
     "kb_key_profile_link_check", "kb_key_profile_link_btn", "kb_key_profile_link_edit",
     "kb_key_profile_link_name_hor", false},
    {"MouseLight", "ms", "msProfile.ini", false, 64, 2, "ms_deng_profile_combo",
     "ms_deng_profile_name_edit", "ms_pro_deng_", "ms_deng_profile_edit_save_btn",
     "ms_deng_profile_link_check", "ms_deng_profile_link_btn", "ms_deng_profile_link_edit",
     "ms_deng_profile_link_name_hor", false},
    {"MouseKeys", "ms", "msProfile.ini", true, 512, 2, "ms_key_profile_combo",
     "ms_key_profile_name_edit", "ms_pro_key_", "ms_key_profile_edit_save_btn",
     "ms_key_profile_link_check", "ms_key_profile_link_btn", "ms_key_profile_link_edit",
     "ms_key_profile_link_name_hor", false},
    {"MousePadLight", "mp", "mpProfile.ini", false, 64, 3, "mp_deng_profile_combo",
     "mp_deng_profile_name_edit", "mp_pro_deng_", "mp_deng_profile_edit_save_btn",
     "mp_deng_profile_link_check", "mp_deng_profile_link_btn", "mp_deng_profile_link_edit",
     "mp_deng_profile_link_name_hor", true},
};

inline std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void putBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A profile file as the file format has it: AA 55, two zero bytes, the class code as a
// little-endian word, ten zero bytes, then the body.
inline std::vector<std::uint8_t> framed(std::uint8_t classCode,
                                        const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> bytes(16 + body.size(), 0);
    bytes[0] = 0xAA;
    bytes[1] = 0x55;
    bytes[4] = classCode;
    std::copy(body.begin(), body.end(), bytes.begin() + 16);
    return bytes;
}

inline std::vector<std::uint8_t> pattern(std::size_t length, unsigned seed) {
    std::vector<std::uint8_t> body(length);
    for (std::size_t i = 0; i < length; ++i) {
        body[i] = static_cast<std::uint8_t>((i * 31 + seed * 17 + 5) & 0xFF);
    }
    return body;
}

// The program on a data folder prepared by the test, driven through the controls.
class OperationsFixture : public ConnectionFixture {
  protected:
    std::filesystem::path folder(const ListCase& c) const { return root_ / "QV" / c.folder; }
    std::filesystem::path fileOf(const ListCase& c, const std::string& name) const {
        return folder(c) / (name + (c.keys ? ".pro" : ".led"));
    }

    struct Profile {
        std::string name;
        std::string link;  // empty: not linked
        std::vector<std::uint8_t> body;
    };

    // Writes the list's profile files and its index as plain text, before the program starts.
    void prepare(const ListCase& c, const std::vector<Profile>& profiles, int selected) {
        std::filesystem::create_directories(folder(c));
        const std::string count = c.keys ? "PROFILECOUNT" : "PROFILEDENGCOUNT";
        const std::string names = c.keys ? "PROFILENAME" : "PROFILEDENGNAME";
        const std::string select = c.keys ? "PROFILESELECT" : "PROFILEDENGSELECT";
        const std::string flags = c.keys ? "PROFILELIKEEXE" : "PROFILELIKEDENGEXE";
        const std::string paths = c.keys ? "PROCESS" : "DENGPROCESS";
        std::string text = "[" + count + "]\r\ncount=" + std::to_string(profiles.size()) + "\r\n";
        text += "[" + names + "]\r\n";
        for (std::size_t i = 0; i < profiles.size(); ++i) {
            text += std::to_string(i) + "=" + profiles[i].name + "\r\n";
        }
        text += "[" + select + "]\r\nselect=" + std::to_string(selected) + "\r\n";
        text += "[" + flags + "]\r\n";
        for (std::size_t i = 0; i < profiles.size(); ++i) {
            text += std::to_string(i) + "=" + (profiles[i].link.empty() ? "0" : "1") + "\r\n";
        }
        text += "[" + paths + "]\r\n";
        for (std::size_t i = 0; i < profiles.size(); ++i) {
            if (!profiles[i].link.empty()) {
                text += std::to_string(i) + "=" + profiles[i].link + "\r\n";
            }
        }
        std::ofstream(folder(c) / c.indexFile, std::ios::binary | std::ios::app) << text;
        for (const Profile& p : profiles) {
            putBytes(fileOf(c, p.name), framed(c.classCode, p.body));
        }
    }

    void act(std::string_view type, const std::string& name, const std::string& arg = {}) {
        bool delivered = false;
        app_->act([&] { delivered = main().tree().deliver(type, name, arg); });
        ASSERT_TRUE(delivered) << type << " " << name << " " << arg;
    }
    void click(const std::string& name) { act("click", name); }
    void select(const ListCase& c, int position) {
        act("itemselect", c.combo, std::to_string(position));
    }

    std::vector<std::string> items(const ListCase& c) {
        return onMain<std::vector<std::string>>([&](MainWindow& m) {
            std::vector<std::string> texts;
            for (const auto& item : m.tree().find(c.combo)->items()) {
                texts.push_back(item.text);
            }
            return texts;
        });
    }
    int current(const ListCase& c) {
        return onMain<int>([&](MainWindow& m) { return m.tree().find(c.combo)->currentItem(); });
    }
    std::string text(const std::string& control) {
        return onMain<std::string>([&](MainWindow& m) { return m.tree().find(control)->text(); });
    }
    bool visible(const std::string& control) {
        return onMain<bool>([&](MainWindow& m) { return m.tree().find(control)->visible(); });
    }
    bool selected(const std::string& control) {
        return onMain<bool>([&](MainWindow& m) { return m.tree().find(control)->selected(); });
    }
    std::vector<std::string> messages() { return app_->dialogs().messagesShown(); }

    // The index as key=value per section, read as plain text.
    std::map<std::string, std::map<std::string, std::string>> index(const ListCase& c) {
        std::map<std::string, std::map<std::string, std::string>> sections;
        std::ifstream in(folder(c) / c.indexFile);
        std::string section;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.size() > 1 && line.front() == '[') {
                section = line.substr(1, line.find(']') - 1);
            } else if (const auto eq = line.find('='); eq != std::string::npos) {
                sections[section][line.substr(0, eq)] = line.substr(eq + 1);
            }
        }
        return sections;
    }
    std::string value(const ListCase& c, const std::string& light, const std::string& key,
                      const std::string& name) {
        const std::string section = c.keys ? key : light;
        auto sections = index(c);
        const auto it = sections[section].find(name);
        return it == sections[section].end() ? std::string("(none)") : it->second;
    }
    std::string countKey(const ListCase& c) {
        return value(c, "PROFILEDENGCOUNT", "PROFILECOUNT", "count");
    }
    std::string name(const ListCase& c, int i) {
        return value(c, "PROFILEDENGNAME", "PROFILENAME", std::to_string(i));
    }
    std::string selectKey(const ListCase& c) {
        return value(c, "PROFILEDENGSELECT", "PROFILESELECT", "select");
    }
    std::string flag(const ListCase& c, int i) {
        return value(c, "PROFILELIKEDENGEXE", "PROFILELIKEEXE", std::to_string(i));
    }
    std::string path(const ListCase& c, int i) {
        return value(c, "DENGPROCESS", "PROCESS", std::to_string(i));
    }
    std::vector<std::uint8_t> body(const ListCase& c, const std::string& profile) {
        const auto bytes = fileBytes(fileOf(c, profile));
        if (bytes.size() < 16) {
            return {};
        }
        return {bytes.begin() + 16, bytes.end()};
    }
};

}  // namespace korvane::app::testing
