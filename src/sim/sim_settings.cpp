#include "sim/sim_settings.h"

#include "core/platform/text.h"

#include <array>
#include <charconv>
#include <utility>

namespace korvane::sim {
namespace {

struct FaultName {
    std::string_view name;
    FaultKind kind;
};

constexpr std::array<FaultName, 6> kFaultNames{{
    {"status-ff", FaultKind::StatusFF},
    {"status-fe", FaultKind::StatusFE},
    {"silent", FaultKind::Silent},
    {"unplug", FaultKind::Unplug},
    {"late", FaultKind::Late},
    {"eacces", FaultKind::PermissionDenied},
}};

constexpr std::string_view kKnownKeys =
    "keys, macro-units, sensor, dpi-step, dpi-max, latency-ms, fault, answer-id, descriptor";
constexpr std::string_view kFaultForms =
    "KIND@N (KIND status-ff, status-fe, silent or unplug), late@N:MS or eacces";

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    const auto value = platform::parseWholeNumber(text);
    if (!value || *value < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*value);
}

std::optional<std::uint64_t> parseInRange(std::string_view text, std::uint64_t low,
                                          std::uint64_t high) {
    const auto value = parseNumber(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

std::string rangeError(std::string_view key, std::string_view value, std::uint64_t low,
                       std::uint64_t high) {
    return std::string(key) + ": '" + std::string(value) + "' is not a number from " +
           std::to_string(low) + " to " + std::to_string(high);
}

std::optional<std::string> applyFault(std::string_view value, SimSettings& settings) {
    if (value == "eacces") {
        settings.faults.push_back(Fault{FaultKind::PermissionDenied, 0});
        return std::nullopt;
    }
    const auto at = value.find('@');
    if (at == std::string_view::npos) {
        return "fault: '" + std::string(value) + "' must be " + std::string(kFaultForms);
    }
    const auto kindText = value.substr(0, at);
    auto countText = value.substr(at + 1);
    const FaultName* found = nullptr;
    for (const auto& entry : kFaultNames) {
        if (entry.name == kindText && entry.kind != FaultKind::PermissionDenied) {
            found = &entry;
        }
    }
    if (found == nullptr) {
        return "fault: unknown kind '" + std::string(kindText) + "' (expected " +
               std::string(kFaultForms) + ")";
    }
    int delayMs = 0;
    if (found->kind == FaultKind::Late) {
        const auto colon = countText.find(':');
        const auto delay = colon == std::string_view::npos
                               ? std::nullopt
                               : parseInRange(countText.substr(colon + 1), 1, kMaxLatencyMs);
        if (!delay) {
            return "fault: '" + std::string(value) + "' must be late@N:MS, MS from 1 to " +
                   std::to_string(kMaxLatencyMs);
        }
        delayMs = static_cast<int>(*delay);
        countText = countText.substr(0, colon);
    }
    const auto request = parseInRange(countText, 1, UINT32_MAX);
    if (!request) {
        return "fault: request number '" + std::string(countText) + "' must be 1 or more";
    }
    settings.faults.push_back(Fault{found->kind, static_cast<std::uint32_t>(*request), delayMs});
    return std::nullopt;
}

}  // namespace

bool SimSettings::permissionDenied() const {
    for (const auto& fault : faults) {
        if (fault.kind == FaultKind::PermissionDenied) {
            return true;
        }
    }
    return false;
}

std::string_view faultKindName(FaultKind kind) {
    for (const auto& entry : kFaultNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return "?";
}

std::optional<std::string> applySimSetting(std::string_view keyValue, SimSettings& settings) {
    const auto text = trim(keyValue);
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) {
        return "simulation setting '" + std::string(text) + "' must be KEY=VALUE";
    }
    const auto key = trim(text.substr(0, eq));
    const auto value = trim(text.substr(eq + 1));
    if (value.empty()) {
        return "simulation setting '" + std::string(key) + "' has no value";
    }
    if (key == "keys") {
        const auto n = parseInRange(value, 0, 255);
        if (!n) {
            return rangeError(key, value, 0, 255);
        }
        settings.keys = static_cast<std::uint8_t>(*n);
    } else if (key == "macro-units") {
        const auto n = parseInRange(value, 0, 255);
        if (!n) {
            return rangeError(key, value, 0, 255);
        }
        settings.macroUnits = static_cast<std::uint8_t>(*n);
    } else if (key == "sensor") {
        const auto n = parseInRange(value, 0, 0xFFFF);
        if (!n) {
            return "sensor: '" + std::string(value) + "' is not a 16-bit identifier (e.g. 0x3325)";
        }
        settings.sensor = static_cast<std::uint16_t>(*n);
    } else if (key == "dpi-step" || key == "dpi-max") {
        const auto n = parseInRange(value, 0, 255);
        if (!n) {
            return rangeError(key, value, 0, 255);
        }
        (key == "dpi-step" ? settings.dpiStep : settings.dpiMaximum) =
            static_cast<std::uint8_t>(*n);
    } else if (key == "latency-ms") {
        const auto n = parseInRange(value, 0, kMaxLatencyMs);
        if (!n) {
            return rangeError(key, value, 0, kMaxLatencyMs);
        }
        settings.latencyMs = static_cast<int>(*n);
    } else if (key == "fault") {
        return applyFault(value, settings);
    } else if (key == "answer-id") {
        const auto n = parseInRange(value, 1, 255);
        if (!n) {
            return rangeError(key, value, 1, 255);
        }
        settings.answerReportId = static_cast<std::uint8_t>(*n);
    } else if (key == "descriptor") {
        if (value != "empty" && value != "normal") {
            return "descriptor: '" + std::string(value) + "' must be empty or normal";
        }
        settings.emptyDescriptor = value == "empty";
    } else {
        return "unknown simulation setting '" + std::string(key) + "' (expected " +
               std::string(kKnownKeys) + ")";
    }
    return std::nullopt;
}

std::optional<std::string> applySimSettingList(std::string_view list, SimSettings& settings) {
    SimSettings updated = settings;
    while (!list.empty()) {
        const auto comma = list.find(',');
        const auto item = trim(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        if (item.empty()) {
            continue;
        }
        if (auto error = applySimSetting(item, updated)) {
            return error;
        }
    }
    settings = std::move(updated);
    return std::nullopt;
}

}  // namespace korvane::sim
