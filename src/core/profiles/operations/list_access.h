#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/device_kind.h"
#include "core/profiles/profile_index.h"

namespace korvane::app {
class MainWindow;
}
namespace korvane::ui {
class Control;
}

namespace korvane::profiles::operations {

// What the operations share: the list's combo and its names, the connected model of the
// list's class, reading a source with its message, and the refusals shown to the user.
ui::Control* comboOf(app::MainWindow& main, ProfileList list);
std::vector<std::string> itemTexts(const ui::Control& combo);
// The combo's selected position, or -1 when nothing valid is selected.
int selectedPosition(const ui::Control& combo);
// Appends a profile item (text and tool tip are the name).
void appendItem(ui::Control& combo, const std::string& name);

// The model whose default files new and reset use: the connected (or last connected)
// keyboard or mouse kind, the pad for the pad's list.
device::DeviceKind defaultKindOf(app::MainWindow& main, ProfileList list);

// The body of a profile file of the list, zero-filled past a short body. On failure shows
// "message_text_8" (missing, not a plain file) or "message_text_9" (no signature).
std::optional<std::vector<std::uint8_t>> readSource(app::MainWindow& main,
                                                    const std::filesystem::path& path,
                                                    std::size_t length);
// The file of a profile name, or nullopt with the invalid-name message.
std::optional<std::filesystem::path> fileOfName(app::MainWindow& main, ProfileList list,
                                                std::string_view name);
// False, with the message, when the index exists but cannot be read: nothing may be written.
bool indexUsable(app::MainWindow& main, const ProfileIndex& index);

}  // namespace korvane::profiles::operations
