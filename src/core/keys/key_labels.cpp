#include "core/keys/key_labels.h"

#include "core/app/main_window.h"
#include "core/keys/function_label.h"
#include "core/keys/macro_label_names.h"
#include "core/keys/stored_key_tables.h"

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
    const auto store = macros::MacroStore::forClass(MacroClassOf(keyClass));
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

void RefreshMacroChoices(app::MainWindow& main, KeyClass keyClass) {
    ui::Control* combo = main.tree().find(keyClass == KeyClass::Keyboard ? "kb_key_fct_combo_23"
                                                                         : "ms_key_fct_combo_23");
    if (combo == nullptr) {
        return;
    }
    const auto store = macros::MacroStore::forClass(MacroClassOf(keyClass));
    const std::vector<std::string> names = store.ReadMacroList();
    bool same = names.size() == combo->items().size();
    for (std::size_t i = 0; same && i < names.size(); ++i) {
        same = combo->items()[i].text == names[i];
    }
    if (same) {
        return;
    }
    const int selected = combo->currentItem();
    combo->clearItems();
    for (const std::string& name : names) {
        combo->addItem({name, name, 0});
    }
    combo->selectItem(selected < static_cast<int>(names.size()) ? selected : -1);
}

}  // namespace korvane::keys
