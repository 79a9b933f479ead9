// The update service's texts and numbers: Base64, the request texts, the answers, the version
// forms, the endpoint address and the updater's report lines.

#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <set>
#include <string>

#include "core/update/base64.h"
#include "core/update/update_protocol.h"
#include "core/update/update_settings.h"
#include "core/update/updater.h"
#include "core/update/versions.h"

namespace korvane::update {
namespace {

struct Base64Case {
    std::string in;
    std::string out;
};

class Base64Vectors : public ::testing::TestWithParam<Base64Case> {};

TEST_P(Base64Vectors, EncodeAsTheRfcSays) {
    EXPECT_EQ(EncodeBase64(GetParam().in), GetParam().out);
}

// RFC 4648 section 10, and bytes above 0x7F that need the last two letters of the alphabet.
INSTANTIATE_TEST_SUITE_P(Rfc4648, Base64Vectors,
                         ::testing::Values(Base64Case{"", ""}, Base64Case{"f", "Zg=="},
                                           Base64Case{"fo", "Zm8="}, Base64Case{"foo", "Zm9v"},
                                           Base64Case{"foob", "Zm9vYg=="},
                                           Base64Case{"fooba", "Zm9vYmE="},
                                           Base64Case{"foobar", "Zm9vYmFy"},
                                           Base64Case{"\xfb\xff\xfe", "+//+"}));

TEST(RequestTexts, TheVersionQueryIsExactlyTheDocumentedText) {
    EXPECT_EQ(VersionQueryText("Qv021"), R"({"command_type":"Qv021","getUrl":1})");
    EXPECT_EQ(FormBody(VersionQueryText("Qv021")),
              "ActiveData=eyJjb21tYW5kX3R5cGUiOiJRdjAyMSIsImdldFVybCI6MX0=");
}

TEST(RequestTexts, TheAnnounceCarriesAFreshGuidThenTheCode) {
    const std::string first = NewUuid();
    const std::string second = NewUuid();
    const std::regex registryForm("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
    EXPECT_TRUE(std::regex_match(first, registryForm)) << first;
    EXPECT_TRUE(std::regex_match(second, registryForm)) << second;
    EXPECT_NE(first, second);
    EXPECT_EQ(AnnounceText("Qv034", "0A1B2C3D-0000-4000-8000-00000000000F"),
              R"({"UUID":"0A1B2C3D-0000-4000-8000-00000000000F","command_type":"Qv034"})");
}

TEST(ProductTable, TheRegionAndMembraneKeyboardsShareCodeAndProduct) {
    const Product* region = ProductOfButton("region_kb_btn");
    const Product* membrane = ProductOfButton("membrane_kb_btn");
    ASSERT_NE(region, nullptr);
    ASSERT_NE(membrane, nullptr);
    EXPECT_EQ(region->code, "Qv033");
    EXPECT_EQ(membrane->code, "Qv033");
    EXPECT_EQ(region->productId, "BrakkenoreEliteRGBComboKeyboard");
    EXPECT_EQ(membrane->productId, "BrakkenoreEliteRGBComboKeyboard");
    EXPECT_EQ(ProductOfButton("soft_update_btn")->productId, "QvKorvaneGaming");
    EXPECT_EQ(ProductOfButton("net_btn"), nullptr);
}

struct AnswerCase {
    std::string text;
    std::optional<long> resultCode;
    std::string version;
};

class Answers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(Answers, CarryOnlyWhatIsThere) {
    const ServiceAnswer answer = ParseAnswer(GetParam().text);
    EXPECT_EQ(answer.resultCode, GetParam().resultCode);
    EXPECT_EQ(answer.version, GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Answers,
    ::testing::Values(AnswerCase{R"({"Result_Code":"2","Data":{"version":"1.0.6"}})", 2, "1.0.6"},
                      AnswerCase{R"({"Result_Code":2})", 2, ""},
                      AnswerCase{R"({"Result_Code":"1"})", 1, ""},
                      AnswerCase{R"({"Result_Code":"two"})", std::nullopt, ""},
                      AnswerCase{"<html>Service unavailable</html>", std::nullopt, ""},
                      AnswerCase{"", std::nullopt, ""}, AnswerCase{R"(["Data"])", std::nullopt, ""},
                      AnswerCase{R"({"Data":"1.0.6"})", std::nullopt, ""},
                      AnswerCase{R"({"Data":{"version":106}})", std::nullopt, ""},
                      AnswerCase{R"({"Data":{"Version":"1.0.6"}})", std::nullopt, ""},
                      AnswerCase{R"({"Data":{"version":"1.0.6"}} trailing)", std::nullopt, ""},
                      // An answer cut off at the buffer's end is not JSON.
                      AnswerCase{R"({"Data":{"version":"1.0)", std::nullopt, ""}));

struct VersionCase {
    std::string text;
    std::optional<long> number;
};

class VersionTexts : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTexts, LoseTheirDotsAndReadAsDecimal) {
    EXPECT_EQ(VersionNumber(GetParam().text), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Texts, VersionTexts,
                         ::testing::Values(VersionCase{"1.2.10", 1210}, VersionCase{"1.0.6", 106},
                                           VersionCase{"3.0.1", 301}, VersionCase{"42", 42},
                                           VersionCase{"", {}}, VersionCase{"abc", {}},
                                           VersionCase{" 9999", {}}, VersionCase{"...", {}},
                                           VersionCase{"1.0.6-beta", {}},
                                           VersionCase{"12345678901", {}}));

TEST(Versions, ImplausibleServerVersionsAreNone) {
    // 1.2.10 reads as 1210: newer than anything installed, and still not believed.
    EXPECT_EQ(PlausibleVersion("1.2.10", kSoftwareVersionLimit), std::nullopt);
    EXPECT_EQ(PlausibleVersion("4.9.9", kSoftwareVersionLimit), 499);
    EXPECT_EQ(PlausibleVersion("5.0.0", kSoftwareVersionLimit), std::nullopt);
    EXPECT_EQ(PlausibleVersion("2.9.9", kFirmwareVersionLimit), 299);
    EXPECT_EQ(PlausibleVersion("3.0.0", kFirmwareVersionLimit), std::nullopt);
}

TEST(Versions, AFirmwareWordIsItsHexDigitsReadAsDecimal) {
    EXPECT_EQ(FirmwareNumber(0x0105), 105);
    EXPECT_EQ(FirmwareDisplay(0x0105), "1.0.5");
    EXPECT_EQ(FirmwareLabel(0x0105), "V105");
    EXPECT_EQ(FirmwareNumber(0x1234), 1234);
    EXPECT_EQ(FirmwareDisplay(0x1234), "1.2.34");
    EXPECT_EQ(FirmwareDisplay(0x0007), "7");
    EXPECT_EQ(FirmwareDisplay(0x0012), "1.2");
    // A hexadecimal letter ends the decimal reading.
    EXPECT_EQ(FirmwareNumber(0x10A), 10);
    EXPECT_EQ(FirmwareNumber(0xABCD), 0);
}

struct EndpointCase {
    std::string base;
    std::optional<std::string> url;
};

class Endpoints : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(Endpoints, TakeTheServicePathAfterAnHttpBase) {
    EXPECT_EQ(EndpointUrl(GetParam().base), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, Endpoints,
    ::testing::Values(
        EndpointCase{"http://127.0.0.1:8080", "http://127.0.0.1:8080/download/getVersionV1"},
        EndpointCase{"https://updates.example/", "https://updates.example/download/getVersionV1"},
        EndpointCase{"HTTPS://updates.example", "HTTPS://updates.example/download/getVersionV1"},
        EndpointCase{"ftp://updates.example", {}}, EndpointCase{"file:///etc/passwd", {}},
        EndpointCase{"http://", {}}, EndpointCase{"http:///path", {}},
        EndpointCase{"http://host name", {}}, EndpointCase{"http://host/?q=1", {}},
        EndpointCase{"updates.example", {}}, EndpointCase{"", {}}));

struct LineCase {
    std::string line;
    std::optional<std::pair<int, int>> report;  // type, value
};

class UpdaterLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(UpdaterLines, AreOneOfTheFourReportsOrNothing) {
    const std::optional<UpdaterMessage> message = ParseUpdaterLine(GetParam().line);
    ASSERT_EQ(message.has_value(), GetParam().report.has_value()) << GetParam().line;
    if (message) {
        EXPECT_EQ(static_cast<int>(message->type), GetParam().report->first);
        EXPECT_EQ(message->value, GetParam().report->second);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, UpdaterLines,
    ::testing::Values(LineCase{"1", std::pair{1, 0}}, LineCase{"2", std::pair{2, 0}},
                      LineCase{"3 -7", std::pair{3, -7}}, LineCase{"3 404", std::pair{3, 404}},
                      LineCase{"4 42", std::pair{4, 42}}, LineCase{"  4   100 ", std::pair{4, 100}},
                      LineCase{"4 0", std::pair{4, 0}}, LineCase{"4", {}}, LineCase{"4 101", {}},
                      LineCase{"4 -1", {}}, LineCase{"4 42%", {}}, LineCase{"5 1", {}},
                      LineCase{"0", {}}, LineCase{"-1", {}}, LineCase{"1 2 3", {}},
                      LineCase{"", {}}, LineCase{"downloading...", {}},
                      LineCase{"3 99999999999", {}}));

}  // namespace
}  // namespace korvane::update
