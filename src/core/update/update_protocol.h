#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/stop_event.h"
#include "core/update/http_client.h"

namespace korvane::update {

// Where a product's installed version comes from.
enum class LocalVersion { KeyboardFirmware, MouseFirmware, Software };

struct Product {
    std::string_view button;     // its update button in the update window
    std::string_view code;       // command code of its requests
    std::string_view productId;  // passed to the updater
    LocalVersion local;
};

inline constexpr std::array<Product, 7> kProducts{{
    {"rgb_kb_btn", "Qv021", "HalvaneEliteRGB", LocalVersion::KeyboardFirmware},
    {"bule_kb_btn", "Qv022", "HalvanePro", LocalVersion::KeyboardFirmware},
    {"ms_update_btn", "Qv023", "VESKOEliteRGB", LocalVersion::MouseFirmware},
    {"soft_update_btn", "Qv024", "QvKorvaneGaming", LocalVersion::Software},
    {"region_kb_btn", "Qv033", "BrakkenoreEliteRGBComboKeyboard", LocalVersion::KeyboardFirmware},
    {"membrane_kb_btn", "Qv033", "BrakkenoreEliteRGBComboKeyboard", LocalVersion::KeyboardFirmware},
    {"ms2_update_btn", "Qv034", "BrakkenoreEliteRGBComboGamingMouse", LocalVersion::MouseFirmware},
}};

inline constexpr std::string_view kSoftwareCode = "Qv024";
// The path of the service's one endpoint, after the configured base URL.
inline constexpr std::string_view kServicePath = "/download/getVersionV1";
// The Result_Code of an accepted announce.
inline constexpr long kAnnounceAccepted = 2;

const Product* ProductOfButton(std::string_view button);

// The JSON texts of the two requests, exactly as sent (no blanks).
std::string AnnounceText(std::string_view code, std::string_view uuid);
std::string VersionQueryText(std::string_view code);
// "ActiveData=" and the Base64 of the JSON text (not URL-encoded).
std::string FormBody(std::string_view json);
// A fresh GUID in registry form without braces: 8-4-4-4-12 upper-case hexadecimal digits.
std::string NewUuid();

// What an answer carries. Anything that is not a JSON object reads as an empty answer.
struct ServiceAnswer {
    std::optional<long> resultCode;  // "Result_Code": a decimal number in a string (or a number)
    std::string version;             // "Data"."version" when it is a string
};
ServiceAnswer ParseAnswer(std::string_view text);

// The update service at one URL, asked from one thread; setting abandon ends a request in
// flight at once (it then reads as an empty answer).
class ServiceClient {
  public:
    ServiceClient(HttpClient& http, std::string url, const platform::StopEvent& abandon)
        : http_(http), url_(std::move(url)), abandon_(abandon) {}

    // One exchange: the form body posted, the answer parsed.
    ServiceAnswer exchange(std::string_view json);
    // The version text the service names for the code; empty when it names none.
    std::string QueryServerVersionText(std::string_view code);
    // Its numeric form; 0 when there is none.
    long QueryServerVersion(std::string_view code);
    // The announce's Result_Code; none for an empty answer.
    std::optional<long> Announce(std::string_view code);

  private:
    HttpClient& http_;
    std::string url_;
    const platform::StopEvent& abandon_;
};

}  // namespace korvane::update
