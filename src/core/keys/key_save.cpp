#include "core/keys/key_save.h"

#include <vector>

#include "core/app/device_transfer.h"
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
    const auto macroClass = MacroClassOf(keyClass);
    const std::uint8_t memoryUnits =
        keyboard ? stores.keyboardInfo.macroUnits() : stores.mouseInfo.macroUnits();

    macros::MacroDownloadPlan plan =
        macros::PrepareMacroDownload(macros::MacroStore::forClass(macroClass), memoryUnits);
    using Outcome = macros::MacroDownloadPlan::Outcome;
    if (plan.outcome == Outcome::TooLarge || plan.outcome == Outcome::OutOfMemory) {
        main.handleMessage(app::msg::kShowProgress);
        main.handleMessage(app::msg::kHideProgressLater);
        if (plan.outcome == Outcome::TooLarge) {
            main.dialogs().showMessageNumber("message_text_16",
                                             static_cast<long long>(plan.actionsToRemove));
        } else {
            main.showMessage("message_text_7");
        }
        return false;
    }

    // What goes is what the page shows now; later edits wait for the next save.
    std::vector<std::uint8_t> image;
    if (plan.outcome == Outcome::Ready) {
        image = std::move(plan.image);
    }
    const app::TableBytes live = tables.liveTable();
    const int liveProfile = tables.liveProfile();
    const app::TableBytes profileZero = tables.profileZeroTable();
    app::RunDeviceTransfer(
        main, keyboard ? device::DeviceClass::Keyboard : device::DeviceClass::Mouse,
        [image = std::move(image), live, liveProfile](device::DeviceCommander& commander,
                                                      const macros::TransferProgress& progress) {
            return macros::SendMacroDownload(commander, image, live, liveProfile, progress);
        },
        [&main, macroClass, profileZero](int result) {
            macros::SaveDownloadedKeyProfile(macroClass, profileZero);
            if (result != macros::kDownloadSent) {
                // A device that stopped answering must not look saved.
                main.showMessage("message_text_10");
            }
        });
    return true;
}

}  // namespace korvane::keys
