#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvane::ui {

// A popup menu as the skin describes it: entries with a name (what the program acts on)
// and a text (a language key), submenus, separators.
struct MenuEntry {
    std::string name;
    std::string text;
    bool separator = false;
    std::vector<MenuEntry> children;
};

struct Menu {
    std::vector<MenuEntry> entries;
};

// Reads a menu file of the skin:
//   <menu><item name="lan_cn" text="lan_cn"/><separator/><menu name="x" text="y">…</menu></menu>
// A missing or malformed file gives false with the reason, and an empty menu.
bool ReadMenu(const std::filesystem::path& file, Menu& menu, std::string& error);

}  // namespace korvane::ui
