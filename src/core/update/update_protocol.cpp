#include "core/update/update_protocol.h"

#include <json/json.h>

#include <array>
#include <cctype>
#include <fstream>
#include <memory>
#include <random>

#include "core/update/base64.h"
#include "core/update/versions.h"

namespace korvane::update {
namespace {

constexpr std::string_view kKernelUuid = "/proc/sys/kernel/random/uuid";
constexpr std::size_t kUuidLength = 36;

bool isUuid(std::string_view text) {
    if (text.size() != kUuidLength) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : std::isxdigit(static_cast<unsigned char>(text[i])) == 0) {
            return false;
        }
    }
    return true;
}

std::string randomUuid() {
    std::random_device source;
    std::array<unsigned, 16> bytes{};
    for (unsigned& b : bytes) {
        b = source() & 0xFF;
    }
    bytes[6] = (bytes[6] & 0x0F) | 0x40;  // version 4
    bytes[8] = (bytes[8] & 0x3F) | 0x80;  // RFC 4122 variant
    std::string text;
    constexpr std::string_view kHex = "0123456789ABCDEF";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text += '-';
        }
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace

const Product* ProductOfButton(std::string_view button) {
    for (const Product& product : kProducts) {
        if (product.button == button) {
            return &product;
        }
    }
    return nullptr;
}

std::string AnnounceText(std::string_view code, std::string_view uuid) {
    return "{\"UUID\":\"" + std::string(uuid) + "\",\"command_type\":\"" + std::string(code) +
           "\"}";
}

std::string VersionQueryText(std::string_view code) {
    return "{\"command_type\":\"" + std::string(code) + "\",\"getUrl\":1}";
}

std::string FormBody(std::string_view json) {
    return "ActiveData=" + EncodeBase64(json);
}

std::string NewUuid() {
    std::ifstream kernel{std::string(kKernelUuid)};
    std::string text;
    if (kernel && std::getline(kernel, text) && isUuid(text)) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return text;
    }
    return randomUuid();
}

ServiceAnswer ParseAnswer(std::string_view text) {
    ServiceAnswer answer;
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors) ||
        !root.isObject()) {
        return answer;
    }
    if (const Json::Value* code = root.find("Result_Code", "Result_Code" + 11)) {
        if (code->isString()) {
            answer.resultCode = DecimalNumber(code->asString());
        } else if (code->isInt()) {
            answer.resultCode = code->asInt();
        }
    }
    const Json::Value* data = root.find("Data", "Data" + 4);
    if (data != nullptr && data->isObject()) {
        if (const Json::Value* version = data->find("version", "version" + 7);
            version != nullptr && version->isString()) {
            answer.version = version->asString();
        }
    }
    return answer;
}

ServiceAnswer ServiceClient::exchange(std::string_view json) {
    ResponseBuffer response{};
    const int stored = PostForm(http_, url_, FormBody(json), response, abandon_);
    if (stored <= 0 || abandon_.isSet()) {
        return {};
    }
    // The buffer keeps its terminating zero; the answer is the text before the first zero.
    std::string_view text(response.data(), static_cast<std::size_t>(stored));
    text = text.substr(0, text.find('\0'));
    return ParseAnswer(text);
}

std::string ServiceClient::QueryServerVersionText(std::string_view code) {
    return exchange(VersionQueryText(code)).version;
}

long ServiceClient::QueryServerVersion(std::string_view code) {
    return VersionNumber(QueryServerVersionText(code)).value_or(0);
}

std::optional<long> ServiceClient::Announce(std::string_view code) {
    return exchange(AnnounceText(code, NewUuid())).resultCode;
}

}  // namespace korvane::update
