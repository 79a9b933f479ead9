#include "core/update/http_client.h"

#include <vector>

#ifndef KORVANE_VERSION
#error "the build sets KORVANE_VERSION"
#endif

namespace korvane::update {

std::string_view BuildVersion() {
    return KORVANE_VERSION;
}

HttpClientSettings ResetHttpClient() {
    HttpClientSettings settings;
    settings.userAgent = "korvane/" + std::string(BuildVersion());
    return settings;
}

int PostForm(HttpClient& client, const std::string& url, std::string_view text,
             ResponseBuffer& response, const platform::StopEvent& abandon) {
    std::vector<std::uint8_t> body(text.begin(), text.end());
    body.push_back(0);
    HttpRequest request;
    request.url = url;
    request.body = body;
    return client.send(request, response, abandon);
}

}  // namespace korvane::update
