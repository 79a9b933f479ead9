// The start-up check: which installed versions the service's newest ones beat.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "backends/curl/curl_http_client.h"
#include "core/update/update_check.h"
#include "update/service_fixtures.h"

namespace korvane::update {
namespace {

using testing::Answer;
using testing::LocalServer;
using testing::SeenRequest;

struct CheckCase {
    const char* name;
    InstalledVersions installed;
    std::map<std::string, std::string> answers;  // code → the answer's text
    bool hint;
};

std::string versionAnswer(const std::string& version) {
    return R"({"Result_Code":"2","Data":{"version":")" + version + R"("}})";
}

class StartupCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(StartupCheck, HintsOnlyAtBelievableNewerVersions) {
    LocalServer server;
    server.setHandler([](const SeenRequest& request) {
        const auto& answers = GetParam().answers;
        const auto it = answers.find(request.code());
        return Answer{200, it == answers.end() ? std::string() : it->second};
    });
    const auto http = backends::makeCurlHttpClient();
    platform::StopEvent stop;
    ServiceClient service(*http, server.url() + "/download/getVersionV1", stop);
    EXPECT_EQ(CheckForUpdates(service, GetParam().installed), GetParam().hint);
}

InstalledVersions software(const char* version) {
    InstalledVersions v;
    v.software = version;
    return v;
}

InstalledVersions keyboard(int shown, std::uint16_t firmware) {
    InstalledVersions v = software("3.0.1");
    v.keyboardShown = shown;
    v.keyboardFirmware = firmware;
    return v;
}

InstalledVersions mouse(int shown, std::uint16_t firmware) {
    InstalledVersions v = software("3.0.1");
    v.mouseShown = shown;
    v.mouseFirmware = firmware;
    return v;
}

const std::string kSameSoftware = versionAnswer("3.0.1");

INSTANTIATE_TEST_SUITE_P(
    Versions, StartupCheck,
    ::testing::Values(
        CheckCase{"newer_software", software("3.0.1"), {{"Qv024", versionAnswer("3.0.2")}}, true},
        CheckCase{"same_software", software("3.0.1"), {{"Qv024", kSameSoftware}}, false},
        CheckCase{"older_software", software("3.0.1"), {{"Qv024", versionAnswer("2.9.9")}}, false},
        // 1.2.10 reads as 1210: newer, and not believed.
        CheckCase{
            "implausible_software", software("3.0.1"), {{"Qv024", versionAnswer("1.2.10")}}, false},
        CheckCase{"garbage_answer", software("3.0.1"), {{"Qv024", "not json at all"}}, false},
        CheckCase{"no_version_in_answer",
                  software("3.0.1"),
                  {{"Qv024", R"({"Result_Code":"2"})"}},
                  false},
        CheckCase{
            "letters_for_a_version", software("3.0.1"), {{"Qv024", versionAnswer("abc")}}, false},
        CheckCase{"blank_before_a_version",
                  software("3.0.1"),
                  {{"Qv024", versionAnswer(" 9999")}},
                  false},
        CheckCase{"empty_version", software("3.0.1"), {{"Qv024", versionAnswer("")}}, false},
        // Keyboard firmware 0x0105 compares as 105.
        CheckCase{"newer_rgb_keyboard",
                  keyboard(1, 0x0105),
                  {{"Qv024", kSameSoftware}, {"Qv021", versionAnswer("1.0.6")}},
                  true},
        CheckCase{"same_rgb_keyboard",
                  keyboard(1, 0x0105),
                  {{"Qv024", kSameSoftware}, {"Qv021", versionAnswer("1.0.5")}},
                  false},
        CheckCase{"implausible_keyboard",
                  keyboard(1, 0x0105),
                  {{"Qv024", kSameSoftware}, {"Qv021", versionAnswer("3.0.0")}},
                  false},
        CheckCase{"mono_keyboard_asks_qv022",
                  keyboard(2, 0x0105),
                  {{"Qv024", kSameSoftware}, {"Qv022", versionAnswer("2.9.9")}},
                  true},
        CheckCase{"membrane_keyboard_asks_qv033",
                  keyboard(4, 0x0105),
                  {{"Qv024", kSameSoftware}, {"Qv033", versionAnswer("1.1.0")}},
                  true},
        CheckCase{"newer_mouse",
                  mouse(1, 0x0105),
                  {{"Qv024", kSameSoftware}, {"Qv023", versionAnswer("1.0.6")}},
                  true},
        CheckCase{"newer_mouse2",
                  mouse(2, 0x0105),
                  {{"Qv024", kSameSoftware}, {"Qv034", versionAnswer("1.0.6")}},
                  true},
        CheckCase{"mouse_answer_for_the_other_mouse",
                  mouse(2, 0x0105),
                  {{"Qv024", kSameSoftware}, {"Qv023", versionAnswer("1.0.6")}},
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupCheckRequests, NoDeviceAttachedMeansOnlyTheSoftwareIsAskedAbout) {
    LocalServer server;
    server.setHandler([](const SeenRequest&) { return Answer{200, versionAnswer("1.0.6")}; });
    const auto http = backends::makeCurlHttpClient();
    platform::StopEvent stop;
    ServiceClient service(*http, server.url() + "/download/getVersionV1", stop);
    // Installed 3.0.1 is newer than 1.0.6; an unattached keyboard has nothing to compare.
    EXPECT_FALSE(CheckForUpdates(service, software("3.0.1")));
    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].code(), "Qv024");
}

}  // namespace
}  // namespace korvane::update
