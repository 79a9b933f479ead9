// What a first connection and a start over damaged or locked user data do to the user's files
// and to the device, seen on the wire and in the data folder.

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "connection/connection_fixture.h"
#include "core/platform/debug_line.h"

namespace korvane::app::testing {
namespace {

using device::DeviceKind;
namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

Bytes fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool keyboardShown(MainWindow& m) {
    return m.kinds().keyboardShown.load() != 0;
}

// ---------------------------------------------------------------------------------------
// The key table a keyboard receives at its first connection

// The default function of every keyboard picture position, as the key tables define them:
// position, then the HID usage, "none", "mod" with a modifier bit, or "Fn".
constexpr std::string_view kPictureLayout =
    "0 29, 1 3A, 2 3B, 3 3C, 4 3D, 5 3E, 6 3F, 7 40, 8 41, 9 42, 10 43, 11 44, 12 45, 13 46, "
    "14 47, 15 48, 16-20 none, 21 35, 22 1E, 23 1F, 24 20, 25 21, 26 22, 27 23, 28 24, 29 25, "
    "30 26, 31 27, 32 2D, 33 2E, 34 2A, 35 49, 36 4A, 37 4B, 38 53, 39 54, 40 55, 41 56, 42 2B, "
    "43 14, 44 1A, 45 08, 46 15, 47 17, 48 1C, 49 18, 50 0C, 51 12, 52 13, 53 2F, 54 30, "
    "55 31, 56 4C, 57 4D, 58 4E, 59 5F, 60 60, 61 61, 62 none, 63 39, 64 04, 65 16, 66 07, "
    "67 09, 68 0A, 69 0B, 70 0D, 71 0E, 72 0F, 73 33, 74 34, 75 28, 76 5C, 77 5D, 78 5E, "
    "79-83 none, 84 mod 0x02, 85 1D, 86 1B, 87 06, 88 19, 89 05, 90 11, 91 10, 92 36, 93 37, "
    "94 38, 95 mod 0x20, 96 52, 97 59, 98 5A, 99 5B, 100-101 none, 102 64, 103-104 none, "
    "105 mod 0x01, 106 mod 0x08, 107 mod 0x04, 108 2C, 109 mod 0x40, 110 Fn, 111 65, "
    "112 mod 0x10, 113 50, 114 51, 115 4F, 116 62, 117 63, 118 58, 119 57, 120-124 none, "
    "125 mod 0x80";

using Record = std::array<std::uint8_t, 3>;

// Record of each position, or nothing for a place without a key.
std::array<std::optional<Record>, 126> pictureRecords() {
    std::array<std::optional<Record>, 126> records;
    std::stringstream entries{std::string(kPictureLayout)};
    for (std::string entry; std::getline(entries, entry, ',');) {
        std::istringstream words(entry);
        std::string positions;
        std::string what;
        words >> positions >> what;
        const auto dash = positions.find('-');
        const int first = std::stoi(positions.substr(0, dash));
        const int last = dash == std::string::npos ? first : std::stoi(positions.substr(dash + 1));
        std::optional<Record> record;
        if (what == "mod") {
            std::string bit;
            words >> bit;
            record = Record{0x20, static_cast<std::uint8_t>(std::stoi(bit, nullptr, 16)), 0x00};
        } else if (what == "Fn") {
            record = Record{0xA0, 0x02, 0x02};
        } else if (what != "none") {
            record = Record{0x20, 0x00, static_cast<std::uint8_t>(std::stoi(what, nullptr, 16))};
        }
        for (int p = first; p <= last; ++p) {
            records.at(static_cast<std::size_t>(p)) = record;
        }
    }
    return records;
}

// A keyboard's factory table: records that come before its picture keys, then the keys of
// the picture in position order, without the positions the model has no key for.
struct KeyboardModel {
    const char* name;
    DeviceKind kind;
    std::vector<Record> leading;
    std::vector<int> missingPositions;
};

void PrintTo(const KeyboardModel& model, std::ostream* out) {
    *out << model.name;
}

Bytes factoryTable(const KeyboardModel& model) {
    Bytes table;
    for (const Record& r : model.leading) {
        table.insert(table.end(), r.begin(), r.end());
    }
    const auto records = pictureRecords();
    for (int p = 0; p < 126; ++p) {
        const auto& record = records[static_cast<std::size_t>(p)];
        if (record && std::find(model.missingPositions.begin(), model.missingPositions.end(), p) ==
                          model.missingPositions.end()) {
            table.insert(table.end(), record->begin(), record->end());
        }
    }
    return table;
}

// The profile table 0 as the program wrote it to the device (command 0x09), from the wire
// trace; later writes of a chunk replace earlier ones.
Bytes tableWritten(const fs::path& trace, std::size_t length) {
    Bytes table(length, 0xEE);
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string time;
        std::string direction;
        std::string path;
        std::string hex;
        words >> time >> direction >> path >> hex;
        if (direction != "W" || hex.size() != 128) {
            continue;
        }
        Bytes report(64);
        for (std::size_t i = 0; i < 64; ++i) {
            report[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        }
        if (report[3] != 0x09) {
            continue;
        }
        const std::size_t offset = report[5] | (report[6] << 8);
        const std::size_t chunk = report[4];
        for (std::size_t i = 0; i < chunk && offset + i < length; ++i) {
            table[offset + i] = report[8 + i];
        }
    }
    return table;
}

class FirstConnectionKeyTable : public ConnectionFixture,
                                public ::testing::WithParamInterface<KeyboardModel> {};

TEST_P(FirstConnectionKeyTable, IsTheKeyboardsOwnFactoryTable) {
    const fs::path trace = root_ / "wire.txt";
    traceWireTo(trace);
    auto keyboard = backend().plug(GetParam().kind);
    start();
    ASSERT_TRUE(waitUntil(keyboardShown));
    ASSERT_TRUE(settle(*keyboard));
    const Bytes expected = factoryTable(GetParam());
    EXPECT_EQ(tableWritten(trace, expected.size()), expected);
    // And what the program keeps as the key profile is that table too.
    const Bytes profile = fileBytes(root_ / "QV" / "kb" / "New Profile 1.pro");
    ASSERT_EQ(profile.size(), 16u + 512u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), profile.begin() + 16));
}

INSTANTIATE_TEST_SUITE_P(
    Keyboards, FirstConnectionKeyTable,
    ::testing::Values(KeyboardModel{"Rgb", DeviceKind::RgbKeyboard, {}, {}},
                      // no key left of Z and no menu key
                      KeyboardModel{"Mono", DeviceKind::MonoKeyboard, {}, {102, 111}},
                      KeyboardModel{"Region", DeviceKind::RegionKeyboard, {}, {102}},
                      // mute, volume down and volume up come before its ordinary keys
                      KeyboardModel{"Membrane",
                                    DeviceKind::MembraneKeyboard,
                                    {{0x30, 0xE2, 0x00}, {0x30, 0xEA, 0x00}, {0x30, 0xE9, 0x00}},
                                    {102, 111}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Capturing the keyboard's defaults from a build tree

TEST_F(ConnectionFixture, TheDefaultKeyCaptureLeavesTheSourceTreesDataAlone) {
    // The fixture runs with the source tree's data/ as the program folder.
    const fs::path shipped = fs::path(KORVANE_SOURCE_DIR) / "data" / "kbkeyonecolordefault.pro";
    const Bytes before = fileBytes(shipped);
    const auto modified = fs::last_write_time(shipped);
    sim::SimSettings settings;
    settings.keys = 90;  // a base table unlike the shipped one
    auto keyboard = backend(settings).plug(DeviceKind::MonoKeyboard);
    start();
    ASSERT_TRUE(waitUntil(keyboardShown));
    ASSERT_TRUE(settle(*keyboard));
    app_->query([this] { main().handleMessage(0x0B03); });
    const fs::path captured = root_ / "QV" / "kbkeyonecolordefault.pro";
    ASSERT_TRUE(waitUntil([&](MainWindow&) { return fs::exists(captured); }));
    const auto base = keyboard->inspect([](const sim::Firmware& f) { return f.baseTable(); });
    const Bytes saved = fileBytes(captured);
    ASSERT_EQ(saved.size(), 16u + 512u);
    EXPECT_TRUE(std::equal(base.begin(), base.begin() + 3 * 90, saved.begin() + 16));
    EXPECT_EQ(fileBytes(shipped), before);
    EXPECT_EQ(fs::last_write_time(shipped), modified);
}

// ---------------------------------------------------------------------------------------
// A start over an index file that cannot be read

TEST_F(ConnectionFixture, AnUnreadableIndexKeepsTheUsersProfilesThroughAConnection) {
    const fs::path kb = root_ / "QV" / "kb";
    fs::create_directories(kb / "kbProfile.ini");  // a folder where the index belongs
    std::ofstream(kb / "New Profile 1.led", std::ios::binary) << "user's own light profile";
    std::ofstream(kb / "New Profile 1.pro", std::ios::binary) << "user's own key profile";
    const Bytes light = fileBytes(kb / "New Profile 1.led");
    const Bytes keys = fileBytes(kb / "New Profile 1.pro");

    backend().plug(DeviceKind::MonoKeyboard);
    start();
    ASSERT_TRUE(waitUntil(keyboardShown));
    EXPECT_TRUE(waitForLine("message message_profile_index_unreadable"));
    EXPECT_EQ(count("message message_profile_index_unreadable"), 1);
    EXPECT_EQ(fileBytes(kb / "New Profile 1.led"), light);
    EXPECT_EQ(fileBytes(kb / "New Profile 1.pro"), keys);
    EXPECT_FALSE(fs::exists(kb / "Profile.led")) << "no seeding in that folder";
    EXPECT_TRUE(fs::is_directory(kb / "kbProfile.ini"));
    const auto items = [&](const char* combo) {
        return onMain<std::size_t>(
            [combo](MainWindow& m) { return m.tree().find(combo)->items().size(); });
    };
    EXPECT_EQ(items("kb_deng_profile_combo"), 0u);
    EXPECT_EQ(items("kb_key_profile_combo"), 0u);
    EXPECT_EQ(items("ms_deng_profile_combo"), 1u) << "the other classes start as usual";
}

// ---------------------------------------------------------------------------------------
// A data folder that cannot be written

TEST_F(ConnectionFixture, AnUnwritableDataFolderIsToldOnceAndEveryLostWriteIsLogged) {
    std::ofstream(root_ / "blocked") << "a file where the folders should be";
    setenv("KORVANE_DATA_ROOT", (root_ / "blocked" / "QV").c_str(), 1);
    std::vector<std::string> debug;
    std::mutex mutex;
    platform::setDebugSink([&](std::string_view line) {
        std::lock_guard lock(mutex);
        debug.emplace_back(line);
    });
    start();
    const int code = run("menu lan_en\nwait 50\n");
    platform::setDebugSink({});
    EXPECT_EQ(code, 0) << errors_.str();
    EXPECT_EQ(count("message message_data_folder_unwritable"), 1);
    const std::string mainIni = (root_ / "blocked" / "QV" / "main.ini").string();
    EXPECT_TRUE(std::any_of(debug.begin(), debug.end(), [&](const std::string& line) {
        return line.find(mainIni) != std::string::npos;
    })) << "the lost language setting is said";
}

}  // namespace
}  // namespace korvane::app::testing
