// The mouse's own cursor sequences, read at its connection.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "connection/connection_fixture.h"
#include "core/device/device_matching.h"
#include "core/macros/cursor_store.h"
#include "core/macros/sequence_image.h"

namespace korvane::app::testing {
namespace {

using device::DeviceKind;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CursorsAtConnection : public ConnectionFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(CursorsAtConnection, AnImageOnTheMouseReplacesTheSequenceFiles) {
    const bool withImage = GetParam();
    auto mouse = backend().plug(DeviceKind::Mouse);
    if (withImage) {
        const std::vector<std::vector<std::string>> sequences{{"a"}, {"b", "c"}, {}, {"d"}};
        const auto image = macros::BuildSequenceImage(sequences);
        ASSERT_TRUE(image.has_value());
        device::DeviceCommander commander;
        const auto interfaces = backend().enumerate();
        ASSERT_TRUE(interfaces.has_value());
        for (const auto& info : *interfaces) {
            if (device::matchesInterface(device::InterfaceRole::MouseCommander, info)) {
                commander.attach(backend().open(info, device::HidAccess::ReadWrite));
            }
        }
        commander.setConnected(true);
        ASSERT_EQ(commander.WriteCursorData(*image), device::kResultDone);
        commander.close();
    }
    start();
    ASSERT_TRUE(waitUntil([](MainWindow& m) { return m.kinds().mouseShown == 1; }));
    const auto file = onMain<std::filesystem::path>([](MainWindow&) {
        return macros::CursorStore::fromDataFolder().sequenceFile(1).value_or("");
    });
    ASSERT_FALSE(file.empty());
    const std::string shipped =
        fileText(std::filesystem::path(KORVANE_SOURCE_DIR "/data") / file.filename());
    EXPECT_EQ(fileText(file) != shipped, withImage);
    EXPECT_EQ(onMain<bool>([](MainWindow& m) { return m.tree().find("ms_gun_op_0")->selected(); }),
              withImage);
}

INSTANTIATE_TEST_SUITE_P(MouseMemory, CursorsAtConnection, ::testing::Bool());

}  // namespace
}  // namespace korvane::app::testing
