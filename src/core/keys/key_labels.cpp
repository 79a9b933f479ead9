#include "core/keys/key_labels.h"

#include "core/app/main_window.h"
#include "core/keys/function_label.h"
#include "core/keys/macro_label_names.h"
#include "core/keys/stored_key_tables.h"
#include "core/macros/macro_store.h"

namespace korvane::keys {

std::string_view KeyPicturePrefix(int keyboardKind) {
    switch (keyboardKind) {
        case 2:
            return "kb_keyf_";
        case 3:
            return "kb_keym_";
        default:
            return "kb_key_";
    }
}

std::vector<std::string> MacroLabelNames(KeyClass keyClass) {
    const auto store = macros::MacroStore::forClass(
        keyClass == KeyClass::Keyboard ? macros::MacroClass::Keyboard : macros::MacroClass::Mouse);
    return ReadMacroLabelNames(platform::IniFile(store.listFile()));
}

void RefreshKeyLabels(app::MainWindow& main, KeyClass keyClass) {
    StoredKeyTables tables(keyClass, main.stores());
    const std::vector<std::string> macroNames = MacroLabelNames(keyClass);
    ui::ControlTree& tree = main.tree();
    if (keyClass == KeyClass::Mouse) {
        for (int button = 0; button < kMouseButtons; ++button) {
            ui::Control* control = tree.findIndexed("ms_key_", button);
            const auto label = FunctionLabel(keyClass, tables.record(button), macroNames);
            if (control != nullptr && label) {
                control->setText(label->text);
                control->setToolTip(label->text);
            }
        }
        return;
    }
    const std::string_view prefix = KeyPicturePrefix(main.kinds().keyboardKind.load());
    const ui::LanguageHost& language = main.language();
    const TranslateText translate = [&language](std::string_view id) {
        return language.translate(id);
    };
    for (int key = 0; key < tables.keyCount(); ++key) {
        const auto position = tables.positionForRecord(key);
        ui::Control* control = position ? tree.findIndexed(prefix, *position) : nullptr;
        if (control == nullptr) {
            continue;
        }
        if (const auto tip = KeyboardKeyToolTip(tables.defaultRecord(key), tables.record(key),
                                                macroNames, translate)) {
            control->setToolTip(*tip);
        }
    }
}

}  // namespace korvane::keys
