#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <thread>
#include <tuple>
#include <vector>

#include "core/keys/factory_tables.h"
#include "core/keys/keyboard_picture_layout.h"
#include "sim/report_descriptors.h"
#include "sim/sim_harness.h"

namespace korvane::sim {
namespace {

using device::DeviceKind;
using device::kResultDone;
using testing::SimRig;
using namespace std::chrono_literals;

std::vector<std::uint8_t> pattern(std::size_t n, std::uint8_t seed) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        v[i] = static_cast<std::uint8_t>(seed + i * 13);
    }
    return v;
}

SimSettings withFault(FaultKind kind, std::uint32_t request) {
    SimSettings s;
    s.faults.push_back({kind, request});
    return s;
}

// --- profile tables -------------------------------------------------------------------

struct TableCase {
    DeviceKind kind;
    std::optional<std::uint8_t> keys;  // keyboards: TableLength = 3 × keys
};

class ProfileTableRoundTrip : public ::testing::TestWithParam<std::tuple<TableCase, int>> {};

TEST_P(ProfileTableRoundTrip, WrittenTableReadsBackAndLeavesTheOthers) {
    const auto [c, index] = GetParam();
    SimSettings settings;
    settings.keys = c.keys;
    SimRig rig(c.kind, settings);
    const std::uint16_t length = c.keys ? static_cast<std::uint16_t>(3 * *c.keys) : 512;
    rig.commander.setTableLength(length);

    const auto data = pattern(length, static_cast<std::uint8_t>(index + 1));
    ASSERT_EQ(rig.commander.WriteProfileTable(data, index), kResultDone);

    std::vector<std::uint8_t> back(length);
    ASSERT_EQ(rig.commander.ReadProfileTable(back, index), kResultDone);
    EXPECT_EQ(back, data);

    const auto base = keys::FactoryBaseTable(c.kind);
    rig.device->inspect([&](const Firmware& fw) {
        const auto& table = fw.profileTable(index);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), table.begin()));
        EXPECT_TRUE(std::equal(table.begin() + length, table.end(), base.begin() + length))
            << "bytes past TableLength keep their contents";
        for (int other = 0; other < kProfileCount; ++other) {
            if (other != index) {
                EXPECT_EQ(fw.profileTable(other), base) << "profile " << other;
            }
        }
        EXPECT_EQ(fw.badChecksumCount(), 0u);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ProfileTableRoundTrip,
    ::testing::Combine(::testing::Values(TableCase{DeviceKind::Mouse, std::nullopt},
                                         TableCase{DeviceKind::RgbKeyboard, 170},
                                         TableCase{DeviceKind::MonoKeyboard, 104},
                                         TableCase{DeviceKind::MousePad, std::nullopt}),
                       ::testing::Range(0, kProfileCount)));

TEST(SimCommander, ProfileIndexFiveIsRefusedWithNothingSent) {
    SimRig rig(DeviceKind::Mouse);
    std::vector<std::uint8_t> table(512);
    EXPECT_EQ(rig.commander.WriteProfileTable(table, 5), device::kResultBadProfileIndex);
    EXPECT_EQ(rig.device->requestCount(), 0u);
}

// --- factory contents -----------------------------------------------------------------

class FactoryContents : public ::testing::TestWithParam<DeviceKind> {};

TEST_P(FactoryContents, BaseTableCarriesEveryPictureKeyOrButton) {
    const DeviceKind kind = GetParam();
    SimRig rig(kind);
    device::DeviceInfo info;
    ASSERT_EQ(rig.commander.ReadDeviceInfo(info), kResultDone);
    const int n = info.keyCount();
    EXPECT_EQ(n, keys::FactoryKeyCount(kind));

    const bool keyboard = device::modelOf(kind).deviceClass == device::DeviceClass::Keyboard;
    rig.commander.setTableLength(keyboard ? static_cast<std::uint16_t>(3 * n) : 512);
    std::vector<std::uint8_t> base(rig.commander.TableLength());
    ASSERT_EQ(rig.commander.ReadBaseTable(base), kResultDone);

    auto hasRecord = [&](const keys::KeyFunction& f) {
        for (int j = 0; j < n; ++j) {
            if (base[3 * j] == f.type && base[3 * j + 1] == f.p1 && base[3 * j + 2] == f.p2) {
                return true;
            }
        }
        return false;
    };
    if (keyboard) {
        int mapped = 0;
        for (std::size_t pos = 0; pos < keys::kPicturePositions; ++pos) {
            mapped += keys::isKeyPosition(pos) && hasRecord(keys::kKeyboardPictureLayout[pos]);
        }
        EXPECT_GE(mapped, n - 3) << "nearly every key record belongs to a picture position";
        EXPECT_TRUE(hasRecord(keys::kKeyboardPictureLayout[110])) << "the Fn key";
    } else if (kind != DeviceKind::MousePad) {
        const std::array<std::uint8_t, 18> buttons{0x10, 0x01, 0, 0x10, 0x04, 0, 0x10, 0x02, 0,
                                                   0x10, 0x10, 0, 0x10, 0x08, 0, 0x13, 0x03, 0};
        EXPECT_TRUE(std::equal(buttons.begin(), buttons.end(), base.begin()));
    }
}

INSTANTIATE_TEST_SUITE_P(AllModels, FactoryContents,
                         ::testing::Values(DeviceKind::RgbKeyboard, DeviceKind::MonoKeyboard,
                                           DeviceKind::RegionKeyboard, DeviceKind::MembraneKeyboard,
                                           DeviceKind::Mouse, DeviceKind::MouseAlt,
                                           DeviceKind::Mouse2, DeviceKind::MousePad));

TEST(SimCommander, MousePadSlotsAndActiveIndexFollowSettings) {
    SimRig rig(DeviceKind::MousePad);
    std::vector<std::uint8_t> record(56, 0);
    record[0] = 3;
    record[1] = 6;
    ASSERT_EQ(rig.commander.WriteSettings(record), kResultDone);

    std::array<std::uint8_t, 1> active{};
    ASSERT_EQ(rig.commander.ReadRecord(0, 1, active), kResultDone);
    EXPECT_EQ(active[0], 3);
    std::array<std::uint8_t, 56> slot{};
    ASSERT_EQ(rig.commander.ReadRecord(3 * 64, 56, slot), kResultDone);
    EXPECT_EQ(slot[0], 3);
    EXPECT_EQ(slot[1], 6);
    ASSERT_EQ(rig.commander.ReadRecord(4 * 64, 56, slot), kResultDone);
    EXPECT_EQ(slot[1], 4) << "factory slot 4 untouched";
}

TEST(SimCommander, ResetBringsBackTheFactoryAndNeedsNoChecksum) {
    SimRig rig(DeviceKind::Mouse);
    ASSERT_EQ(rig.commander.WriteProfileTable(pattern(512, 9), 2), kResultDone);
    ASSERT_EQ(rig.commander.WriteCursorData(pattern(100, 4)), kResultDone);
    EXPECT_EQ(rig.commander.ResetDevice(), kResultDone);
    rig.device->inspect([](const Firmware& fw) {
        EXPECT_EQ(fw.profileTable(2), fw.baseTable());
        EXPECT_EQ(fw.cursorMemory()[0], 0);
        EXPECT_EQ(fw.resetCount(), 1u);
        EXPECT_EQ(fw.badChecksumCount(), 0u);
    });
}

TEST(SimCommander, CursorAndMacroMemoryThroughTheCommander) {
    SimSettings settings;
    settings.macroUnits = 4;
    SimRig rig(DeviceKind::Mouse, settings);
    const auto cursor = pattern(3072, 3);
    ASSERT_EQ(rig.commander.WriteCursorData(cursor), kResultDone);
    std::vector<std::uint8_t> back(3072);
    ASSERT_EQ(rig.commander.ReadCursorData(back), kResultDone);
    EXPECT_EQ(back, cursor);

    EXPECT_EQ(rig.commander.WriteMacroData(pattern(512, 1)), kResultDone);
    const auto before = rig.device->requestCount();
    EXPECT_EQ(rig.commander.WriteMacroData(pattern(516, 2)), device::kResultStatusFF)
        << "the chunk past 512 bytes is refused";
    EXPECT_EQ(rig.device->requestCount() - before, 10u);
}

// --- light frames ---------------------------------------------------------------------

TEST(SimCommander, LightFramesAreCountedAndKeptPerLength) {
    SimRig rig(DeviceKind::RgbKeyboard);
    const auto full = pattern(378, 1);
    const auto mono = pattern(126, 2);
    ASSERT_EQ(rig.commander.WriteLightFrame(full), kResultDone);
    ASSERT_EQ(rig.commander.WriteLightFrame(mono), kResultDone);
    const auto second = pattern(378, 3);
    ASSERT_EQ(rig.commander.WriteLightFrame(second), kResultDone);
    EXPECT_EQ(rig.device->requestCount(), 7u + 3u + 7u);
    rig.device->inspect([&](const Firmware& fw) {
        EXPECT_EQ(fw.frameCount(), 3u);
        EXPECT_EQ(fw.lastFrame(378), second);
        EXPECT_EQ(fw.lastFrame(126), mono);
        EXPECT_EQ(fw.badChecksumCount(), 0u) << "leftover data bytes are in the checksum";
    });
}

// --- injected faults ------------------------------------------------------------------

struct FaultCase {
    const char* name;
    FaultKind kind;
    std::uint32_t request;
    int expected;
    std::uint32_t requestsSeen;
    bool stillPresent;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class InjectedFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(InjectedFault, FrameGivesTheResultCode) {
    const auto& c = GetParam();
    SimRig rig(DeviceKind::RgbKeyboard, withFault(c.kind, c.request));
    rig.commander.setAnswerTimeLimit(20ms);
    EXPECT_EQ(rig.commander.WriteLightFrame(pattern(378, 5)), c.expected);
    EXPECT_EQ(rig.device->requestCount(), c.requestsSeen);
    EXPECT_EQ(rig.backend.isStillPresent(rig.device->path(SimInterface::Vendor)), c.stillPresent);
    EXPECT_TRUE(rig.commander.lock().try_lock()) << "lock released";
    rig.commander.lock().unlock();
    rig.device->inspect([](const Firmware& fw) { EXPECT_EQ(fw.frameCount(), 0u); });
}

INSTANTIATE_TEST_SUITE_P(
    Faults, InjectedFault,
    ::testing::Values(
        FaultCase{"StatusFEOnThird", FaultKind::StatusFE, 3, device::kResultStatusFE, 3, true},
        FaultCase{"StatusFFOnFirst", FaultKind::StatusFF, 1, device::kResultStatusFF, 1, true},
        // Four attempts of the second chunk, none answered.
        FaultCase{"SilentFromSecond", FaultKind::Silent, 2, device::kResultNotDone, 5, true},
        FaultCase{"UnplugAtFourth", FaultKind::Unplug, 4, device::kResultWriteFailed, 4, false}));

TEST(SimCommander, StatusFaultHitsOnlyItsRequest) {
    SimRig rig(DeviceKind::Mouse, withFault(FaultKind::StatusFF, 1));
    EXPECT_EQ(rig.commander.BeginTransfer(), device::kResultStatusFF);
    EXPECT_EQ(rig.commander.BeginTransfer(), kResultDone);
}

TEST(SimCommander, UnplugFromAnotherThreadMidTransferEndsTheCommand) {
    SimSettings settings;
    settings.latencyMs = 100;
    SimRig rig(DeviceKind::RgbKeyboard, settings);
    int result = 99;
    std::thread writer([&] { result = rig.commander.WriteLightFrame(pattern(378, 1)); });
    while (rig.device->requestCount() == 0) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(rig.backend.unplug(rig.device->name()));
    writer.join();
    EXPECT_EQ(result, device::kResultWriteFailed);
    EXPECT_EQ(rig.device->requestCount(), 1u);
    EXPECT_FALSE(rig.backend.isStillPresent(rig.device->path(SimInterface::Vendor)));
    EXPECT_TRUE(rig.backend.enumerate()->empty());
}

// --- late answers ----------------------------------------------------------------------

struct LateCase {
    const char* name;
    std::vector<Fault> faults;
    int latencyMs;
    std::uint32_t minimumRequests;  // ten chunks, plus the retries the late answers cost
};

void PrintTo(const LateCase& c, std::ostream* os) {
    *os << c.name;
}

class LateAnswers : public ::testing::TestWithParam<LateCase> {};

// The mouse's base table read through late answers still lands chunk by chunk in place.
TEST_P(LateAnswers, BaseTableReadsBackWhole) {
    const auto& c = GetParam();
    SimSettings settings;
    settings.faults = c.faults;
    settings.latencyMs = c.latencyMs;
    SimRig rig(DeviceKind::Mouse, settings);
    rig.commander.setAnswerTimeLimit(100ms);
    std::vector<std::uint8_t> table(512, 0xEE);
    ASSERT_EQ(rig.commander.ReadBaseTable(table), kResultDone);
    rig.device->inspect([&](const Firmware& fw) {
        EXPECT_TRUE(std::equal(table.begin(), table.end(), fw.baseTable().begin()));
    });
    EXPECT_GE(rig.device->requestCount(), c.minimumRequests);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LateAnswers,
    ::testing::Values(
        LateCase{"FirstAnswerLate", {{FaultKind::Late, 1, 150}}, 0, 11},
        LateCase{"MiddleAnswerLate", {{FaultKind::Late, 5, 150}}, 0, 11},
        LateCase{"TwoAnswersLate", {{FaultKind::Late, 2, 150}, {FaultKind::Late, 7, 150}}, 0, 12},
        // Every answer later than the time limit allows.
        LateCase{"DeviceSlowerThanTheLimit", {}, 130, 11}),
    [](const auto& info) { return std::string(info.param.name); });

// One late answer early in a frame does not hide the refusal of its last chunk.
TEST(SimCommander, RefusedLastChunkAfterALateAnswerIsReported) {
    SimSettings settings;
    settings.faults = {{FaultKind::Late, 1, 150}, {FaultKind::StatusFE, 8}};
    SimRig rig(DeviceKind::RgbKeyboard, settings);
    rig.commander.setAnswerTimeLimit(100ms);
    EXPECT_EQ(rig.commander.WriteLightFrame(pattern(378, 9)), device::kResultStatusFE);
    EXPECT_EQ(rig.device->requestCount(), 8u);  // the first chunk twice, then six more
}

// The host takes the answer report ID from the vendor node's descriptor, and keeps to the
// requests' ID when the descriptor cannot be had.
TEST(SimCommander, AnswersArriveUnderTheDescribedReportId) {
    for (const char* setting : {"answer-id=5", "answer-id=4", "descriptor=empty"}) {
        SCOPED_TRACE(setting);
        SimSettings settings;
        ASSERT_FALSE(applySimSetting(setting, settings).has_value());
        SimRig rig(DeviceKind::Mouse, settings);
        rig.commander.setAnswerTimeLimit(100ms);
        device::DeviceInfo info;
        EXPECT_EQ(rig.commander.ReadDeviceInfo(info), kResultDone);
        EXPECT_EQ(rig.device->requestCount(), 1u);
    }
}

TEST(SimInterfaces, PermissionFaultListsTheDeviceButRefusesToOpenIt) {
    SimulatedBackend backend(withFault(FaultKind::PermissionDenied, 0));
    backend.plug(DeviceKind::Mouse);
    const auto list = backend.enumerate();
    ASSERT_EQ(list->size(), 2u);
    for (const auto& info : *list) {
        EXPECT_EQ(backend.open(info, device::HidAccess::ReadWrite), nullptr);
        EXPECT_EQ(backend.whyNotOpened(info, device::HidAccess::ReadWrite),
                  device::HidOpenFailure::PermissionDenied);
    }
    SimulatedBackend allowed;
    allowed.plug(DeviceKind::Mouse);
    device::HidInterfaceInfo gone;
    gone.path = "sim:mouse#9/vendor";
    EXPECT_EQ(allowed.whyNotOpened(gone, device::HidAccess::ReadWrite),
              device::HidOpenFailure::Other);
}

// --- the interfaces themselves --------------------------------------------------------

TEST(SimInterfaces, EachDeviceShowsItsVendorAndConsumerCollections) {
    SimulatedBackend backend;
    backend.plug(DeviceKind::RegionKeyboard);
    backend.plug(DeviceKind::MousePad);
    const auto list = *backend.enumerate();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].path, "sim:region-keyboard#1/vendor");
    EXPECT_EQ(list[0].productId, 0x6523);
    EXPECT_EQ(list[0].usagePage, 0xFF1C);
    EXPECT_EQ(list[0].usage, 0x0092);
    EXPECT_EQ(list[1].path, "sim:region-keyboard#1/consumer");
    EXPECT_EQ(list[1].usagePage, 0x000C);
    EXPECT_EQ(list[1].usage, 0x0001);
    EXPECT_EQ(list[3].path, "sim:mousepad#2/consumer");
    for (const auto& info : list) {
        EXPECT_EQ(info.vendorId, 0x0C45);
        EXPECT_EQ(info.versionNumber, kSimVersionNumber);
    }
    const auto handle = backend.open(list[0], device::HidAccess::ReadWrite);
    ASSERT_NE(handle, nullptr);
    const auto descriptor = handle->reportDescriptor();
    EXPECT_TRUE(std::equal(descriptor.begin(), descriptor.end(), kVendorReportDescriptor.begin(),
                           kVendorReportDescriptor.end()));
}

TEST(SimInterfaces, ConsumerReportsArriveOnTheConsumerCollectionOnly) {
    SimRig rig(DeviceKind::Mouse);
    auto consumer = rig.openInterface(SimInterface::Consumer);
    auto vendor = rig.openInterface(SimInterface::Vendor);
    ASSERT_TRUE(consumer && vendor);
    for (std::uint16_t usage : {0x0401, 0x0402, 0x0403}) {
        rig.device->emitConsumer(usage);
    }
    std::array<std::uint8_t, 64> buffer{};
    std::size_t n = 0;
    for (std::uint16_t usage : {0x0401, 0x0402, 0x0403}) {
        ASSERT_EQ(consumer->read(buffer, 100ms, n), device::HidReadStatus::Ok);
        ASSERT_EQ(n, kConsumerReportSize);
        EXPECT_EQ(buffer[0], kConsumerReportId);
        EXPECT_EQ(buffer[1] | (buffer[2] << 8), usage);
    }
    EXPECT_EQ(vendor->read(buffer, 0ms, n), device::HidReadStatus::Timeout);
    EXPECT_FALSE(consumer->write(std::array<std::uint8_t, 64>{0x04}, 10ms));
}

TEST(SimInterfaces, ReadOnlyHandleCannotWrite) {
    SimRig rig(DeviceKind::Mouse);
    const auto list = rig.backend.enumerate();
    auto handle = rig.backend.open(list->front(), device::HidAccess::ReadOnly);
    ASSERT_NE(handle, nullptr);
    EXPECT_FALSE(handle->write(std::array<std::uint8_t, 64>{0x04, 0x01, 0x00, 0x01}, 10ms));
    EXPECT_EQ(rig.device->requestCount(), 0u);
}

TEST(SimInterfaces, AbortEndsAnEndlessRead) {
    SimRig rig(DeviceKind::Mouse);
    auto consumer = rig.openInterface(SimInterface::Consumer);
    device::HidReadStatus status = device::HidReadStatus::Ok;
    std::thread reader([&] {
        std::array<std::uint8_t, 8> buffer{};
        std::size_t n = 0;
        status = consumer->read(buffer, device::HidHandle::kInfinite, n);
    });
    std::this_thread::sleep_for(5ms);
    consumer->abortRead();
    reader.join();
    EXPECT_EQ(status, device::HidReadStatus::Aborted);
}

TEST(SimInterfaces, AnswerWaitsForTheLatency) {
    SimSettings settings;
    settings.latencyMs = 300;
    SimRig rig(DeviceKind::Mouse, settings);
    auto vendor = rig.openInterface(SimInterface::Vendor);
    std::array<std::uint8_t, 64> request{0x04, 0x01, 0x00, 0x01};
    ASSERT_TRUE(vendor->write(request, 10ms));
    std::array<std::uint8_t, 64> answer{};
    std::size_t n = 0;
    EXPECT_EQ(vendor->read(answer, 0ms, n), device::HidReadStatus::Timeout);
    EXPECT_EQ(vendor->read(answer, 2000ms, n), device::HidReadStatus::Ok);
    EXPECT_EQ(answer[3], 0x01);
}

TEST(SimInterfaces, WrongChecksumIsCountedAndAnsweredFF) {
    SimRig rig(DeviceKind::Mouse);
    auto vendor = rig.openInterface(SimInterface::Vendor);
    std::array<std::uint8_t, 64> request{0x04, 0x02, 0x00, 0x01};  // BeginTransfer sums to 1
    ASSERT_TRUE(vendor->write(request, 10ms));
    std::array<std::uint8_t, 64> answer{};
    std::size_t n = 0;
    ASSERT_EQ(vendor->read(answer, 1000ms, n), device::HidReadStatus::Ok);
    EXPECT_EQ(answer[7], kStatusRejected);
    rig.device->inspect([](const Firmware& fw) { EXPECT_EQ(fw.badChecksumCount(), 1u); });
}

TEST(SimInterfaces, PluggingWhileOthersEnumerateAndTalk) {
    SimulatedBackend backend;
    auto mouse = backend.plug(DeviceKind::Mouse);
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        for (int i = 0; i < 200; ++i) {
            auto pad = backend.plug(DeviceKind::MousePad);
            backend.unplug(pad->name());
        }
        stop = true;
    });
    device::DeviceCommander commander;
    commander.attach(backend.open(mouse->interfaces()[0], device::HidAccess::ReadWrite));
    commander.setConnected(true);
    int done = 0;
    // At least a few exchanges even when the churn happens to finish first.
    for (int i = 0; !stop || i < 20; ++i) {
        const auto list = backend.enumerate();
        ASSERT_TRUE(list.has_value());
        EXPECT_GE(list->size(), 2u);
        done += commander.BeginTransfer() == kResultDone;
    }
    churn.join();
    EXPECT_GT(done, 0);
    EXPECT_EQ(backend.devices().size(), 1u);
}

}  // namespace
}  // namespace korvane::sim
