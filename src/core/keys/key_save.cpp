#include "core/keys/key_save.h"

#include "core/app/main_window.h"
#include "core/app/window_messages.h"
#include "core/keys/key_labels.h"
#include "core/keys/stored_key_tables.h"
#include "core/macros/device_transfers.h"

namespace korvane::keys {

bool SaveKeysToDevice(app::MainWindow& main, KeyClass keyClass) {
    const bool keyboard = keyClass == KeyClass::Keyboard;
    app::DeviceStores& stores = main.stores();
    StoredKeyTables tables(keyClass, stores);
    const auto store = macros::MacroStore::forClass(MacroClassOf(keyClass));
    device::DeviceCommander& commander =
        keyboard ? main.keyboardCommander() : main.mouseCommander();
    const std::uint8_t memoryUnits =
        keyboard ? stores.keyboardInfo.macroUnits() : stores.mouseInfo.macroUnits();

    main.handleMessage(app::msg::kShowProgress);
    macros::MacroDownloadPlan plan;
    const int result =
        macros::DownloadMacros(store, commander, memoryUnits, tables.liveTable(),
                               tables.liveProfile(), tables.profileZeroTable(), &plan);
    if (result == 0) {
        if (plan.outcome == macros::MacroDownloadPlan::Outcome::TooLarge) {
            main.dialogs().showMessageNumber("message_text_16",
                                             static_cast<long long>(plan.actionsToRemove));
        } else {
            main.showMessage("message_text_7");
        }
    }
    main.handleMessage(app::msg::kHideProgressLater);
    return result == 1;
}

}  // namespace korvane::keys
