#pragma once

#include <string_view>

#include "core/profiles/profile_index.h"

namespace korvane::app {

class MainWindow;

// The controls of one profile list that selection touches.
struct ProfileListControls {
    profiles::ProfileList list;
    std::string_view combo;
    std::string_view nameEdit;
    std::string_view linkCheck;
    std::string_view linkEdit;
    std::string_view linkRow;
};

inline constexpr std::array<ProfileListControls, profiles::kProfileListCount> kProfileListControls{{
    {profiles::ProfileList::KeyboardLight, "kb_deng_profile_combo", "kb_deng_profile_name_edit",
     "kb_deng_profile_link_check", "kb_deng_profile_link_edit", "kb_deng_profile_link_name_hor"},
    {profiles::ProfileList::KeyboardKeys, "kb_key_profile_combo", "kb_key_profile_name_edit",
     "kb_key_profile_link_check", "kb_key_profile_link_edit", "kb_key_profile_link_name_hor"},
    {profiles::ProfileList::MouseLight, "ms_deng_profile_combo", "ms_deng_profile_name_edit",
     "ms_deng_profile_link_check", "ms_deng_profile_link_edit", "ms_deng_profile_link_name_hor"},
    {profiles::ProfileList::MouseKeys, "ms_key_profile_combo", "ms_key_profile_name_edit",
     "ms_key_profile_link_check", "ms_key_profile_link_edit", "ms_key_profile_link_name_hor"},
    {profiles::ProfileList::MousePadLight, "mp_deng_profile_combo", "mp_deng_profile_name_edit",
     "mp_deng_profile_link_check", "mp_deng_profile_link_edit", "mp_deng_profile_link_name_hor"},
}};

constexpr const ProfileListControls& controlsOf(profiles::ProfileList list) {
    return kProfileListControls[static_cast<std::size_t>(list)];
}

// The file name part of a linked program's path (after the last '\' or '/').
std::string_view linkedProgramName(std::string_view path);

// The combo's selected profile becomes the list's selection: shown in the name edit, written
// as "select", its link shown, loaded into the live state and applied (key tables sent to
// the device, mouse and pad settings flagged for the one-second flush). Nothing happens
// while the combo has no selection. Main thread.
void SelectProfile(MainWindow& main, profiles::ProfileList list);

// Selects the position in the list's combo without a notification and runs SelectProfile,
// also when the position was already selected. A position the combo does not hold selects
// nothing and loads nothing.
void SelectProfileAt(MainWindow& main, profiles::ProfileList list, long position);

// A linked program came to the front (or left it): the position is shown, loaded and applied
// as SelectProfile does, but the index keeps the user's own choice in "select". Nothing
// happens when the combo already shows that position or does not hold it.
void SelectLinkedProfileAt(MainWindow& main, profiles::ProfileList list, long position);

// Routes "itemselect" of the five combos to SelectProfile.
void InstallProfileSelection(MainWindow& main);

}  // namespace korvane::app
