#include "cli/ctl_commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cli/hex_text.h"
#include "core/device/device_commander.h"
#include "core/device/device_matching.h"
#include "core/device/device_permissions.h"

namespace korvane::cli {
namespace {

using device::DeviceClass;
using device::DeviceCommander;
using device::HidInterfaceInfo;
using device::InterfaceRole;

constexpr std::uint16_t kMaxKeyboardTable = 512;

std::string_view className(DeviceClass deviceClass) {
    switch (deviceClass) {
        case DeviceClass::Keyboard:
            return "keyboard";
        case DeviceClass::Mouse:
            return "mouse";
        case DeviceClass::MousePad:
            return "mousepad";
    }
    return "?";
}

std::string hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

int exitFor(int result) {
    return result == device::kResultDone ? kExitDone : kExitFailed;
}

int printResult(std::ostream& out, int result) {
    out << "result " << result << '\n';
    return exitFor(result);
}

int list(device::HidBackend& backend, std::ostream& out, std::ostream& err) {
    const auto interfaces = backend.enumerate();
    if (!interfaces) {
        err << "korvanectl: the HID interfaces cannot be listed\n";
        return kExitFailed;
    }
    for (const auto& info : *interfaces) {
        for (const auto& owner : device::kCommanderIdentities) {
            const auto kind = device::acceptedKind(owner.role, info);
            if (!kind) {
                continue;
            }
            out << className(owner.deviceClass) << ' ' << device::modelOf(*kind).cliName << ' '
                << hex4(info.vendorId) << ':' << hex4(info.productId) << ' '
                << firmwareVersionText(info.versionNumber) << ' ' << info.path << '\n';
        }
    }
    return kExitDone;
}

enum class Connect : std::uint8_t { Connected, NotFound, PermissionDenied };

// Opens the first interface the class's commander accepts, as a connection thread does.
// denied names the first match this user may not open.
Connect connect(DeviceCommander& commander, DeviceClass deviceClass, device::HidBackend& backend,
                HidInterfaceInfo& denied) {
    const auto& owner = device::commanderIdentity(deviceClass);
    commander.setIdentity(owner.identity);
    const auto interfaces = backend.enumerate();
    if (!interfaces) {
        return Connect::NotFound;
    }
    const auto access = device::interfaceMatch(owner.role).access;
    Connect result = Connect::NotFound;
    for (const auto& info : *interfaces) {
        if (!device::matchesInterface(owner.role, info)) {
            continue;
        }
        if (auto handle = backend.open(info, access)) {
            commander.attach(std::move(handle));
            commander.setConnected(true);
            return Connect::Connected;
        }
        if (result == Connect::NotFound &&
            backend.whyNotOpened(info, access) == device::HidOpenFailure::PermissionDenied) {
            result = Connect::PermissionDenied;
            denied = info;
        }
    }
    return result;
}

// The keyboard's tables are 3 bytes per key, as the connection sequence sets them; nullopt
// (after a message) when the key count cannot be had or is too large.
std::optional<int> prepareTableLength(DeviceCommander& commander, DeviceClass deviceClass,
                                      std::ostream& out, std::ostream& err) {
    if (deviceClass != DeviceClass::Keyboard) {
        return device::kResultDone;
    }
    device::DeviceInfo info;
    const int result = commander.ReadDeviceInfo(info);
    if (result != device::kResultDone) {
        err << "korvanectl: the keyboard's information record could not be read\n";
        printResult(out, result);
        return std::nullopt;
    }
    const auto length = static_cast<std::uint16_t>(3 * info.keyCount());
    if (length > kMaxKeyboardTable) {
        err << "korvanectl: the keyboard reports " << int(info.keyCount())
            << " keys, more than 170; its tables are not read\n";
        return std::nullopt;
    }
    commander.setTableLength(length);
    return result;
}

// BeginTransfer … EndTransfer around body, which returns the exit code.
template <class Body>
int inTransfer(DeviceCommander& commander, Body&& body) {
    commander.BeginTransfer();
    const int code = body();
    commander.EndTransfer();
    return code;
}

}  // namespace

std::string firmwareVersionText(std::uint16_t version) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%x", version);
    std::string text;
    for (std::size_t i = 0; digits[i] != '\0'; ++i) {
        if (i == 1 || i == 2) {
            text += '.';
        }
        text += digits[i];
    }
    return text;
}

int runCtlCommand(const CtlOptions& options, device::HidBackend& backend, std::ostream& out,
                  std::ostream& err) {
    if (options.command == CtlCommand::List) {
        return list(backend, out, err);
    }
    DeviceCommander commander;
    HidInterfaceInfo denied;
    switch (connect(commander, options.deviceClass, backend, denied)) {
        case Connect::Connected:
            break;
        case Connect::NotFound:
            err << "korvanectl: no " << className(options.deviceClass) << " found\n";
            break;
        case Connect::PermissionDenied:
            // Nothing can be sent; the fix is the user's, once.
            err << "korvanectl: " << device::PermissionDeniedText(denied) << '\n';
            return kExitFailed;
    }

    switch (options.command) {
        case CtlCommand::Info:
            return inTransfer(commander, [&] {
                device::DeviceInfo info;
                const int result = commander.ReadDeviceInfo(info);
                if (result == device::kResultDone) {
                    out << formatHex(info.bytes) << '\n';
                }
                return printResult(out, result);
            });
        case CtlCommand::Table:
            return inTransfer(commander, [&] {
                if (!prepareTableLength(commander, options.deviceClass, out, err)) {
                    return kExitFailed;
                }
                std::vector<std::uint8_t> table(commander.TableLength());
                const int result = options.table == kBaseTable
                                       ? commander.ReadBaseTable(table)
                                       : commander.ReadProfileTable(table, options.table);
                if (result == device::kResultDone) {
                    out << formatHex(table) << '\n';
                }
                return printResult(out, result);
            });
        case CtlCommand::WriteTable:
            return inTransfer(commander, [&] {
                if (!prepareTableLength(commander, options.deviceClass, out, err)) {
                    return kExitFailed;
                }
                if (options.data.size() != commander.TableLength()) {
                    err << "korvanectl: write-table: the " << className(options.deviceClass)
                        << " table is " << commander.TableLength() << " bytes, got "
                        << options.data.size() << '\n';
                    return kExitUsage;
                }
                return printResult(out, commander.WriteProfileTable(options.data, options.table));
            });
        case CtlCommand::Record:
            return inTransfer(commander, [&] {
                std::vector<std::uint8_t> record(options.length);
                const int result = commander.ReadRecord(options.address, options.length, record);
                if (result == device::kResultDone) {
                    out << formatHex(record) << '\n';
                }
                return printResult(out, result);
            });
        case CtlCommand::Frame:
            return printResult(out, commander.WriteLightFrame(options.data));
        case CtlCommand::Reset:
            return printResult(out, commander.ResetDevice());
        case CtlCommand::List:
        case CtlCommand::Effect:
        case CtlCommand::Help:
            break;
    }
    return kExitUsage;
}

}  // namespace korvane::cli
