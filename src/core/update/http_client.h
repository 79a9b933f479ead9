#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/platform/stop_event.h"

namespace korvane::update {

// The caller's answer buffer: at most kResponseKept bytes are stored, so it always ends in
// a zero byte.
inline constexpr std::size_t kResponseCapacity = 1024;
inline constexpr std::size_t kResponseKept = kResponseCapacity - 1;
using ResponseBuffer = std::array<char, kResponseCapacity>;

// Result codes of a request besides the number of bytes stored.
inline constexpr int kHttpNoSession = -1;  // no session, or a verb other than POST and GET
inline constexpr int kHttpNoAnswer = 0;    // no connection, no request, no answer, abandoned

// The last error a refused verb leaves.
inline constexpr long kErrorInvalidParameter = 87;

struct HttpClientSettings {
    std::string userAgent;
    // Milliseconds; 0 is no limit. Sending and receiving count as stalled once nothing moved
    // for their time.
    int resolveTimeoutMs = 0;
    int connectTimeoutMs = 60000;
    int sendTimeoutMs = 30000;
    int receiveTimeoutMs = 30000;
};

// The settings every request starts from; the user agent names this program and its version.
HttpClientSettings ResetHttpClient();

struct HttpRequest {
    std::string_view verb = "POST";
    std::string url;
    // Sent as it stands, with "Content-Type: application/x-www-form-urlencoded" and a
    // Content-Length of its size.
    std::span<const std::uint8_t> body;
    HttpClientSettings settings = ResetHttpClient();
};

// One request at a time per caller; several callers may run requests at once. A request
// never throws and never shows anything to the user.
class HttpClient {
  public:
    virtual ~HttpClient() = default;

    // Sends the request and stores the start of the answer's body in the zeroed buffer.
    // Returns the number of bytes stored, kHttpNoAnswer, or kHttpNoSession; a debug line says
    // why nothing came. Setting abandon ends the call at once with kHttpNoAnswer.
    virtual int send(const HttpRequest& request, ResponseBuffer& response,
                     const platform::StopEvent& abandon) = 0;
};

// The form post every exchange with the update service makes: the body is the text and its
// terminating zero byte (Content-Length n + 1).
int PostForm(HttpClient& client, const std::string& url, std::string_view text,
             ResponseBuffer& response, const platform::StopEvent& abandon);

// The program's version as the build set it ("0.1.0").
std::string_view BuildVersion();

}  // namespace korvane::update
