#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/profiles/profile_index.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::profiles::operations {

// The buttons of one list beyond the combo and name edit (those are app::ProfileListControls).
struct ProfileButtons {
    ProfileList list;
    std::string_view prefix;  // + "add_btn", "sub_btn", "copy_btn", ...
    std::string_view renameSave;
    std::string_view renamePanel;
    std::string_view linkButton;
};

inline constexpr std::array<ProfileButtons, kProfileListCount> kProfileButtons{{
    {ProfileList::KeyboardLight, "kb_pro_deng_", "kb_deng_profile_edit_save_btn",
     "kb_deng_profile_edit", "kb_deng_profile_link_btn"},
    {ProfileList::KeyboardKeys, "kb_pro_key_", "kb_key_profile_edit_save_btn",
     "kb_key_profile_edit", "kb_key_profile_link_btn"},
    {ProfileList::MouseLight, "ms_pro_deng_", "ms_deng_profile_edit_save_btn",
     "ms_deng_profile_edit", "ms_deng_profile_link_btn"},
    {ProfileList::MouseKeys, "ms_pro_key_", "ms_key_profile_edit_save_btn", "ms_key_profile_edit",
     "ms_key_profile_link_btn"},
    {ProfileList::MousePadLight, "mp_pro_deng_", "mp_deng_profile_edit_save_btn",
     "mp_deng_profile_edit", "mp_deng_profile_link_btn"},
}};

constexpr const ProfileButtons& buttonsOf(ProfileList list) {
    return kProfileButtons[static_cast<std::size_t>(list)];
}

// The buttons that show and hide each device page's profile area.
struct SpreadToggle {
    std::string_view button;
    std::string_view area;
};
inline constexpr std::array<SpreadToggle, 3> kSpreadToggles{{
    {"kb_profile_fun_spread_btn", "kb_profile_fun_spead_tab"},
    {"ms_profile_fun_spread_btn", "ms_profile_fun_spead_tab"},
    {"mp_profile_fun_spread_btn", "mp_profile_fun_spead_tab"},
}};

// A name that cannot become a file name (see platform::isSafeFileName).
inline constexpr std::string_view kMessageNameInvalid = "message_profile_name_invalid";
// A file outside the data folder (an export) could not be written.
inline constexpr std::string_view kMessageFileNotWritten = "message_file_not_written";
inline constexpr std::string_view kMessageLastProfile = "message_text_11";
inline constexpr std::string_view kMessageConfirmDelete = "message_text_12";
inline constexpr std::string_view kMessageEmptyName = "message_text_14";
inline constexpr std::string_view kMessageNameTaken = "message_text_15";

// The operations of the buttons beside a list's combo. Main thread. Each one either does all
// it says or, with a message, nothing that loses what the user had: sources are read before
// anything is written, a profile file is written before the index names it, and each change
// of the index is one atomic write. Nothing is written while the list's index exists but
// cannot be read.
void NewProfile(app::MainWindow& main, ProfileList list);
void DeleteProfile(app::MainWindow& main, ProfileList list);
void CopyProfile(app::MainWindow& main, ProfileList list);
void ImportProfile(app::MainWindow& main, ProfileList list);
void ExportProfile(app::MainWindow& main, ProfileList list);
void ResetProfile(app::MainWindow& main, ProfileList list);
void RenameProfile(app::MainWindow& main, ProfileList list);

// Shows a hidden control and hides a shown one (profile areas, rename panels).
void ToggleShown(app::MainWindow& main, std::string_view control);

}  // namespace korvane::profiles::operations
