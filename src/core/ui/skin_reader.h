#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/ui/control_tree.h"

namespace korvane::ui {

// Custom tags of the main window that stand for whole page files of the skin.
struct PageTag {
    std::string_view tag;
    std::string_view pageFile;  // without extension; empty: a control, not a file
};

inline constexpr std::array<PageTag, 11> kPageTags{{
    {"kb_Key_UI", "keyboard_key"},
    {"kb_Deng_UI", "keyboard_deng"},
    {"kb_Macro_UI", "keyboard_macro"},
    {"MS_Deng_UI", "Mouse_deng"},
    {"MS_Macro_UI", "Mouse_macro"},
    {"MS_Key_UI", "Mouse_key"},
    {"MP_deng_UI", "MousePad_deng"},
    {"MS_DPI_UI", "Mouse_DPI"},
    {"MS_CURSOR_UI", "Mouse_cursor"},
    {"kb_CURSOR_UI", "Mouse_cursor"},
    {"CircleProgress", ""},
}};

// The page file a tag stands for (compared without case), or nullptr when the tag is not
// one of them. "CircleProgress" is found but has an empty page file.
const PageTag* findPageTag(std::string_view tag);

// A widget of this class paints a whole device; its string property "keyPrefix" and number
// property "keyCount" make the named key controls prefix0 … prefix(count-1) as its children.
inline constexpr std::string_view kDevicePictureClass = "DevicePicture";

// Window files by the names the program asks for.
inline constexpr std::string_view kMainWindowSkin = "XML_MAIN";
inline constexpr std::string_view kMessageBoxSkin = "XML_MSG";
// The file of a skin name: "XML_MAIN" → "main.ui", "XML_MSG" → "msg.ui", any other name
// → name + ".ui" (page files such as "keyboard_key").
std::string skinFileName(std::string_view skinName);

// Reads a window's Qt Designer file from the skin folder into the tree, building the
// custom page tags from their own files. On failure the error names the file and the
// fault, and the tree holds what was read before it.
bool ReadSkin(const std::filesystem::path& skinFolder, std::string_view skinName, ControlTree& tree,
              std::string& error);

}  // namespace korvane::ui
