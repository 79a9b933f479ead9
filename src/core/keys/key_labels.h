#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/keys/key_table.h"
#include "core/macros/macro_store.h"

namespace korvane::app {
class MainWindow;
}

namespace korvane::keys {

// The keyboard and the mouse each have their own macros.
constexpr macros::MacroClass MacroClassOf(KeyClass keyClass) {
    return keyClass == KeyClass::Keyboard ? macros::MacroClass::Keyboard
                                          : macros::MacroClass::Mouse;
}

// The picture buttons of the key assignment page of a keyboard kind (0, 1: "kb_key_",
// 2: "kb_keyf_", 3: "kb_keym_").
std::string_view KeyPicturePrefix(int keyboardKind);

// The names the class's MacroRun/MacroRepeat labels show (MACRONAME of its macro list file).
std::vector<std::string> MacroLabelNames(KeyClass keyClass);

// Shows what each key does now. Mouse: the label of records 0..5 as the text and the tool tip
// of `ms_key_0` … `ms_key_5`. Keyboard: for each record with a picture key (the first
// position mapped to it), the key's tool tip: its default text, "Key_Set" and the current
// label, or the default text alone while the key does what it does by default. A record
// without a label leaves what the control showed.
void RefreshKeyLabels(app::MainWindow& main, KeyClass keyClass);

// The macro combo of the class's key page (`kb_key_fct_combo_23`, `ms_key_fct_combo_23`) lists
// the class's macros in index order (MACRONAME 0 .. MACROCOUNT − 1), as the macro list does;
// a selection keeps its index while it still names a macro. Whoever changes the macro list
// calls it (and RefreshKeyLabels once key bindings were renumbered).
void RefreshMacroChoices(app::MainWindow& main, KeyClass keyClass);

}  // namespace korvane::keys
