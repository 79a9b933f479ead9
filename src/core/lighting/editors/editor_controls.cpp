#include "core/lighting/editors/editor_controls.h"

#include <algorithm>
#include <charconv>

#include "core/lighting/curves.h"

namespace korvane::lighting::editors {

std::optional<unsigned> indexAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() ||
        name.size() > prefix.size() + 4) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(prefix.size());
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

std::uint8_t brightnessOf(const ui::Control& slider) {
    return static_cast<std::uint8_t>(
        std::clamp<int>(slider.value(), 0, static_cast<int>(BrightnessCurve.size()) - 1));
}

std::uint8_t takeChannel(ui::Control& edit) {
    const std::string& text = edit.text();
    unsigned value = 0;
    const std::size_t start = text.find_first_not_of(" \t");
    for (const char c :
         std::string_view(text).substr(start == std::string::npos ? text.size() : start)) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 255) {
            // Further digits only make it larger.
            edit.setText("255");
            return 255;
        }
    }
    return static_cast<std::uint8_t>(value);
}

void PageControls::show(std::string_view name, bool visible) const {
    if (ui::Control* c = find(name)) {
        c->setVisible(visible);
    }
}

void PageControls::enable(std::string_view name, bool enabled) const {
    if (ui::Control* c = find(name)) {
        c->setEnabled(enabled);
    }
}

void PageControls::select(std::string_view name, bool selected) const {
    if (ui::Control* c = find(name)) {
        c->setSelected(selected, ui::Notify::No);
    }
}

void PageControls::text(std::string_view name, std::string text) const {
    if (ui::Control* c = find(name)) {
        c->setText(std::move(text));
    }
}

void PageControls::background(std::string_view name, std::uint32_t argb) const {
    if (ui::Control* c = find(name)) {
        c->setBkColor(argb);
        c->setBkImage({});
    }
}

void PageControls::palette(std::string_view name, std::uint32_t argb) const {
    if (ui::Control* c = find(name)) {
        c->setColour(argb, ui::Notify::No);
    }
}

void PageControls::slider(std::string_view name, int value) const {
    if (ui::Control* c = find(name)) {
        c->setValue(value, ui::Notify::No);
    }
}

void PageControls::item(std::string_view name, int index) const {
    if (ui::Control* c = find(name)) {
        // An index the list does not hold leaves no item selected.
        if (!c->selectItem(index, ui::Notify::No)) {
            c->selectItem(-1, ui::Notify::No);
        }
    }
}

void PageControls::channels(std::string_view prefix, Rgb colour) const {
    const std::string p(prefix);
    text(p + "R", std::to_string(colour.red));
    text(p + "G", std::to_string(colour.green));
    text(p + "B", std::to_string(colour.blue));
}

}  // namespace korvane::lighting::editors
