#include "core/keys/factory_tables.h"
#include "sim/firmware.h"

namespace korvane::sim {
namespace {

using device::DeviceClass;
using device::DeviceKind;

struct ModelFactory {
    std::uint8_t macroUnits;
    std::uint16_t sensorId;  // mice only
    std::uint8_t sensorStep;
    std::uint8_t sensorMaximum;
};

// Index = DeviceKind. Sensor steps and maxima span the DPI ranges the host shows for each
// sensor (200..5000, 250..4000, 100..12000).
constexpr std::array<ModelFactory, 8> kModelFactory{{
    {32, 0, 0, 0},           // RgbKeyboard
    {32, 0, 0, 0},           // MonoKeyboard
    {16, 0, 0, 0},           // RegionKeyboard
    {16, 0, 0, 0},           // MembraneKeyboard
    {16, 0x3325, 50, 96},    // Mouse
    {16, 0x3050, 50, 75},    // MouseAlt
    {16, 0x3360, 100, 119},  // Mouse2
    {0, 0, 0, 0},            // MousePad
}};

constexpr std::size_t kInfoKeyCount = 5;
constexpr std::size_t kInfoMacroUnits = 6;
constexpr std::size_t kInfoSensorId = 9;
constexpr std::size_t kInfoSensorStep = 11;
constexpr std::size_t kInfoSensorMaximum = 12;

// Light settings of every slot as shipped: static red at full brightness; slot s starts
// with mode s so that the slots can be told apart.
void fillRecords(std::array<std::uint8_t, kRecordMemorySize>& records, std::uint8_t sensorMaximum,
                 DeviceClass deviceClass) {
    for (int slot = 0; slot < kProfileCount; ++slot) {
        auto* r = records.data() + slot * kRecordSlotSize;
        r[0] = static_cast<std::uint8_t>(slot);  // slot 0's first byte is the active index
        r[1] = static_cast<std::uint8_t>(slot);  // mode
        r[2] = 14;                               // brightness
        r[3] = 7;                                // speed
        r[4] = 1;                                // direction
        r[5] = 0;                                // colourful
        r[6] = 255;
        r[7] = 0;
        r[8] = 0;
        if (deviceClass == DeviceClass::Mouse) {
            r[14] = 1;  // report-rate code
            for (int stage = 0; stage < 6; ++stage) {
                r[15 + stage] = static_cast<std::uint8_t>(sensorMaximum * (stage + 1) / 6);
            }
            r[21] = 1;  // current DPI stage
        }
    }
}

}  // namespace

FactoryImage makeFactoryImage(DeviceKind kind, const SimSettings& settings) {
    const auto& model = kModelFactory[static_cast<std::size_t>(kind)];
    const auto deviceClass = device::modelOf(kind).deviceClass;
    FactoryImage image;
    image.kind = kind;

    image.baseTable = keys::FactoryBaseTable(kind);
    // keys=N changes what a keyboard reports, not its base table, so that a host's refusal
    // of too many keys and short tables can be tried on any model.
    auto keyCount = static_cast<std::uint8_t>(keys::FactoryKeyCount(kind));
    if (deviceClass == DeviceClass::Keyboard && settings.keys) {
        keyCount = *settings.keys;
    }
    image.deviceInfo[kInfoKeyCount] = keyCount;
    image.deviceInfo[kInfoMacroUnits] = settings.macroUnits.value_or(model.macroUnits);
    if (deviceClass == DeviceClass::Mouse) {
        const std::uint16_t sensor = settings.sensor.value_or(model.sensorId);
        image.deviceInfo[kInfoSensorId] = static_cast<std::uint8_t>(sensor & 0xFF);
        image.deviceInfo[kInfoSensorId + 1] = static_cast<std::uint8_t>(sensor >> 8);
        image.deviceInfo[kInfoSensorStep] = settings.dpiStep.value_or(model.sensorStep);
        image.deviceInfo[kInfoSensorMaximum] = settings.dpiMaximum.value_or(model.sensorMaximum);
    }
    fillRecords(image.records, image.deviceInfo[kInfoSensorMaximum], deviceClass);
    return image;
}

}  // namespace korvane::sim
