#pragma once

#include <filesystem>
#include <memory>

#include "core/update/http_client.h"

namespace korvane::backends {

struct CurlHttpClientOptions {
    // Certificates to trust instead of the system's store (tests use their own authority).
    std::filesystem::path caFile;
};

// Requests through libcurl. TLS certificates and host names are always verified; proxies come
// from the usual environment variables (http_proxy, https_proxy, no_proxy, …); redirects are
// not followed and only http and https are spoken. The request's stop event wakes the
// transfer at once, so an abandoned request ends in moments whatever the server does.
std::unique_ptr<update::HttpClient> makeCurlHttpClient(CurlHttpClientOptions options = {});

}  // namespace korvane::backends
