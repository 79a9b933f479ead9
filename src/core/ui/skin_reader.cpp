#include "core/ui/skin_reader.h"

#include "core/platform/text.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace korvane::ui {
namespace {

constexpr int kMaxPageDepth = 8;
constexpr int kMaxPictureKeys = 256;

struct ClassKind {
    std::string_view className;
    ControlKind kind;
};

// Qt classes (and our own custom widget classes) as the logic sees them.
constexpr std::array<ClassKind, 20> kClassKinds{{
    {"QPushButton", ControlKind::Button},       {"QToolButton", ControlKind::Button},
    {"QCheckBox", ControlKind::Option},         {"QRadioButton", ControlKind::Option},
    {"OptionButton", ControlKind::Option},      {"QComboBox", ControlKind::Combo},
    {"QLineEdit", ControlKind::Edit},           {"QTextEdit", ControlKind::Edit},
    {"QPlainTextEdit", ControlKind::Edit},      {"QSpinBox", ControlKind::Edit},
    {"QSlider", ControlKind::Slider},           {"QLabel", ControlKind::Label},
    {"QStackedWidget", ControlKind::TabLayout}, {"QTabWidget", ControlKind::TabLayout},
    {"QListWidget", ControlKind::List},         {"QTableWidget", ControlKind::List},
    {"KeyPicture", ControlKind::Picture},       {"ColourPalette", ControlKind::Palette},
    {"QProgressBar", ControlKind::Progress},    {"CCircleProgressUI", ControlKind::Progress},
}};

ControlKind kindOfClass(std::string_view className) {
    for (const auto& ck : kClassKinds) {
        if (ck.className == className) {
            return ck.kind;
        }
    }
    return ControlKind::Container;
}

int parseNumber(std::string_view text, int fallback) {
    return static_cast<int>(platform::parseWholeNumber(text).value_or(fallback));
}

// The scalar text of a Designer property: <string>, <number>, <bool>, <enum>, <cstring>.
std::string propertyText(const pugi::xml_node& property) {
    for (const pugi::xml_node& child : property.children()) {
        if (child.type() == pugi::node_element) {
            return child.child_value();
        }
    }
    return {};
}

bool propertyBool(const pugi::xml_node& property) {
    return propertyText(property) == "true";
}

// Tags are ASCII names.
bool equalsAsciiIgnoreCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

class Reader {
  public:
    Reader(const std::filesystem::path& folder, ControlTree& tree, std::string& error)
        : folder_(folder), tree_(tree), error_(error) {}

    bool readFile(std::string_view skinName, Control* parent, int depth) {
        const std::string fileName = skinFileName(skinName);
        if (depth > kMaxPageDepth) {
            error_ = fileName + ": pages nested too deeply (a page that includes itself?)";
            return false;
        }
        const std::filesystem::path path = folder_ / fileName;
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed = doc.load_file(path.c_str());
        if (!parsed) {
            std::error_code ec;
            error_ =
                path.string() + ": " +
                (std::filesystem::exists(path, ec) ? std::string(parsed.description()) +
                                                         " at byte " + std::to_string(parsed.offset)
                                                   : std::string("missing"));
            return false;
        }
        const pugi::xml_node ui = doc.child("ui");
        const pugi::xml_node top = ui.child("widget");
        if (!ui || !top) {
            error_ = path.string() + ": not a Qt Designer file (no <ui><widget>)";
            return false;
        }
        currentFile_ = path.string();
        return readWidget(top, parent, depth);
    }

  private:
    bool readWidget(const pugi::xml_node& node, Control* parent, int depth) {
        const std::string className = node.attribute("class").value();
        const std::string name = node.attribute("name").value();
        const PageTag* tag = findPageTag(className);
        const ControlKind kind = (tag != nullptr && tag->pageFile.empty()) ? ControlKind::Progress
                                                                           : kindOfClass(className);
        Control& control = tree_.create(name, kind, className, parent);
        applyProperties(node, control);
        if (className == kDevicePictureClass) {
            addPictureKeys(control);
        }
        if (!readChildren(node, control, depth)) {
            return false;
        }
        if (tag != nullptr && !tag->pageFile.empty()) {
            const std::string outer = currentFile_;
            if (!readFile(tag->pageFile, &control, depth + 1)) {
                return false;
            }
            currentFile_ = outer;
        }
        return true;
    }

    bool readChildren(const pugi::xml_node& node, Control& control, int depth) {
        for (const pugi::xml_node& child : node.children()) {
            const std::string_view tagName = child.name();
            if (tagName == "widget") {
                if (!readWidget(child, &control, depth)) {
                    return false;
                }
            } else if (tagName == "layout") {
                if (!readLayout(child, control, depth)) {
                    return false;
                }
            }
        }
        return true;
    }

    // Layouts are not controls: their widgets belong to the widget that holds the layout.
    bool readLayout(const pugi::xml_node& layout, Control& owner, int depth) {
        for (const pugi::xml_node& item : layout.children("item")) {
            for (const pugi::xml_node& child : item.children()) {
                const std::string_view tagName = child.name();
                if (tagName == "widget" && !readWidget(child, &owner, depth)) {
                    return false;
                }
                if (tagName == "layout" && !readLayout(child, owner, depth)) {
                    return false;
                }
            }
        }
        return true;
    }

    // A device picture paints all its keys itself; each key is still a named control.
    void addPictureKeys(Control& picture) {
        const auto& attrs = picture.attributes();
        const auto prefix = attrs.find("keyPrefix");
        const auto count = attrs.find("keyCount");
        if (prefix == attrs.end() || count == attrs.end()) {
            return;
        }
        const int n = std::clamp(parseNumber(count->second, 0), 0, kMaxPictureKeys);
        for (int i = 0; i < n; ++i) {
            tree_.create(prefix->second + std::to_string(i), ControlKind::Picture, "PictureKey",
                         &picture);
        }
    }

    static void applyProperties(const pugi::xml_node& node, Control& control) {
        int current = -1;
        for (const pugi::xml_node& property : node.children("property")) {
            const std::string_view key = property.attribute("name").value();
            const std::string value = propertyText(property);
            if (key == "text" || key == "title" || key == "plainText") {
                control.setText(value);
            } else if (key == "toolTip") {
                control.setToolTip(value);
            } else if (key == "enabled") {
                control.setEnabled(propertyBool(property));
            } else if (key == "visible") {
                control.setVisible(propertyBool(property));
            } else if (key == "checked") {
                control.setSelected(propertyBool(property));
            } else if (key == "minimum") {
                control.setRange(parseNumber(value, 0),
                                 std::max(control.maximum(), parseNumber(value, 0)));
            } else if (key == "maximum") {
                control.setRange(control.minimum(), parseNumber(value, 100));
            } else if (key == "value") {
                control.setValue(parseNumber(value, 0));
            } else if (key == "currentIndex") {
                current = parseNumber(value, -1);
            } else if (key == "group") {
                control.setGroup(value);
            } else if (key == "bkimage") {
                control.setBkImage(value);
            } else if (key == "bkcolor") {
                control.setBkColor(static_cast<std::uint32_t>(parseNumber(value, 0)));
            } else if (key == "textcolor") {
                control.setTextColor(static_cast<std::uint32_t>(parseNumber(value, 0)));
            } else if (key == "colour") {
                control.setColour(static_cast<std::uint32_t>(parseNumber(value, 0)));
            } else {
                control.setAttribute(std::string(key), value);
            }
        }
        for (const pugi::xml_node& item : node.children("item")) {
            ListItem entry;
            for (const pugi::xml_node& property : item.children("property")) {
                const std::string_view key = property.attribute("name").value();
                if (key == "text") {
                    entry.text = propertyText(property);
                } else if (key == "toolTip") {
                    entry.toolTip = propertyText(property);
                }
            }
            control.addItem(std::move(entry));
        }
        if (current >= 0) {
            // Pages of a tab layout are read after its properties; keep the wish for later.
            if (control.kind() == ControlKind::TabLayout) {
                control.setAttribute("currentIndex", std::to_string(current));
            } else {
                control.selectItem(current);
            }
        }
    }

    const std::filesystem::path& folder_;
    ControlTree& tree_;
    std::string& error_;
    std::string currentFile_;
};

}  // namespace

const PageTag* findPageTag(std::string_view tag) {
    for (const auto& entry : kPageTags) {
        if (equalsAsciiIgnoreCase(entry.tag, tag)) {
            return &entry;
        }
    }
    return nullptr;
}

std::string skinFileName(std::string_view skinName) {
    if (skinName == kMainWindowSkin) {
        return "main.ui";
    }
    if (skinName == kMessageBoxSkin) {
        return "msg.ui";
    }
    return std::string(skinName) + ".ui";
}

bool ReadSkin(const std::filesystem::path& skinFolder, std::string_view skinName, ControlTree& tree,
              std::string& error) {
    Reader reader(skinFolder, tree, error);
    if (!reader.readFile(skinName, tree.root(), 0)) {
        return false;
    }
    // Apply the tab layouts' initial pages now that their pages exist.
    tree.forEach([](Control& c) {
        const auto it = c.attributes().find("currentIndex");
        if (c.kind() == ControlKind::TabLayout && it != c.attributes().end()) {
            c.setPage(parseNumber(it->second, 0));
        }
    });
    return true;
}

}  // namespace korvane::ui
