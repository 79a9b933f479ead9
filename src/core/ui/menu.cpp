#include "core/ui/menu.h"

#include <pugixml.hpp>

#include <string_view>

namespace korvane::ui {
namespace {

constexpr int kMaxDepth = 8;

void readEntries(const pugi::xml_node& node, std::vector<MenuEntry>& out, int depth) {
    for (const pugi::xml_node& child : node.children()) {
        const std::string_view tag = child.name();
        if (tag == "item") {
            out.push_back(
                {child.attribute("name").value(), child.attribute("text").value(), false, {}});
        } else if (tag == "separator") {
            out.push_back({{}, {}, true, {}});
        } else if (tag == "menu" && depth < kMaxDepth) {
            MenuEntry sub{
                child.attribute("name").value(), child.attribute("text").value(), false, {}};
            readEntries(child, sub.children, depth + 1);
            out.push_back(std::move(sub));
        }
    }
}

}  // namespace

bool ReadMenu(const std::filesystem::path& file, Menu& menu, std::string& error) {
    menu.entries.clear();
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(file.c_str());
    if (!parsed) {
        error = file.string() + ": " + parsed.description();
        return false;
    }
    const pugi::xml_node top = doc.child("menu");
    if (!top) {
        error = file.string() + ": no <menu> element";
        return false;
    }
    readEntries(top, menu.entries, 0);
    return true;
}

}  // namespace korvane::ui
