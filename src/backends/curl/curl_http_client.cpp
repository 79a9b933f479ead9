#include "backends/curl/curl_http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "core/platform/debug_line.h"

namespace korvane::backends {
namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// The longest a transfer may sit in one wait before curl's own timers are looked at again.
constexpr int kPollMs = 1000;

bool globalInit() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

// The answer's body as it arrives: stored up to the buffer's limit; anything beyond ends the
// transfer, since it would not be kept.
struct Sink {
    update::ResponseBuffer* buffer;
    std::size_t stored = 0;
    bool overflow = false;
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t length = size * count;
    const std::size_t room = update::kResponseKept - sink->stored;
    const std::size_t taken = std::min(room, length);
    std::memcpy(sink->buffer->data() + sink->stored, data, taken);
    sink->stored += taken;
    if (taken < length) {
        sink->overflow = true;
        return 0;
    }
    return length;
}

long seconds(int milliseconds) {
    return std::max(1L, (static_cast<long>(milliseconds) + 999) / 1000);
}

class CurlHttpClient final : public update::HttpClient {
  public:
    explicit CurlHttpClient(CurlHttpClientOptions options) : options_(std::move(options)) {}

    int send(const update::HttpRequest& request, update::ResponseBuffer& response,
             const platform::StopEvent& abandon) override {
        response.fill(0);
        const bool post = request.verb == "POST";
        if (!post && request.verb != "GET") {
            platform::debugLine("http: verb refused, error " +
                                std::to_string(update::kErrorInvalidParameter));
            return update::kHttpNoSession;
        }
        if (!globalInit()) {
            return update::kHttpNoSession;
        }
        const std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
        const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
        if (!multi || !easy) {
            return update::kHttpNoSession;
        }
        Sink sink{&response};
        char error[CURL_ERROR_SIZE] = {};
        std::unique_ptr<curl_slist, HeaderListDeleter> headers;
        const auto addHeader = [&headers](const char* header) {
            headers.reset(curl_slist_append(headers.release(), header));
        };
        CURL* e = easy.get();
        const update::HttpClientSettings& settings = request.settings;
        curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
        curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(e, CURLOPT_ERRORBUFFER, error);
        curl_easy_setopt(e, CURLOPT_USERAGENT, settings.userAgent.c_str());
        // Verified, whatever the defaults of the library's build.
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!options_.caFile.empty()) {
            curl_easy_setopt(e, CURLOPT_CAINFO, options_.caFile.c_str());
        }
#if LIBCURL_VERSION_NUM >= 0x075700
        // An abandoned request does not wait for a name lookup still under way.
        curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
#endif
        if (settings.connectTimeoutMs > 0) {
            curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                             static_cast<long>(settings.connectTimeoutMs));
        }
        // Sending and receiving: a transfer that moves nothing for the longer of the two
        // limits has stalled; the whole request never takes longer than all limits together.
        const int stall = std::max(settings.sendTimeoutMs, settings.receiveTimeoutMs);
        if (stall > 0) {
            curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
            curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, seconds(stall));
        }
        if (settings.connectTimeoutMs > 0 && settings.sendTimeoutMs > 0 &&
            settings.receiveTimeoutMs > 0) {
            curl_easy_setopt(e, CURLOPT_TIMEOUT_MS,
                             static_cast<long>(settings.resolveTimeoutMs) +
                                 settings.connectTimeoutMs + settings.sendTimeoutMs +
                                 settings.receiveTimeoutMs);
        }
        if (post) {
            curl_easy_setopt(e, CURLOPT_POST, 1L);
            curl_easy_setopt(e, CURLOPT_POSTFIELDS, request.body.data());
            curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(request.body.size()));
            addHeader("Content-Type: application/x-www-form-urlencoded");
            // The body goes with the request, never after a wait for "100 Continue".
            addHeader("Expect:");
        } else {
            curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
        }
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, writeBody);
        curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);

        if (curl_multi_add_handle(multi.get(), e) != CURLM_OK) {
            return update::kHttpNoSession;
        }
        const CURLcode result = run(multi.get(), abandon);
        curl_multi_remove_handle(multi.get(), e);
        if (abandon.isSet()) {
            response.fill(0);
            return update::kHttpNoAnswer;
        }
        long status = 0;
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
        const bool complete = result == CURLE_OK || (result == CURLE_WRITE_ERROR && sink.overflow);
        if (!complete || status < 200 || status > 299) {
            platform::debugLine("http: no answer from the update service: " +
                                std::string(error[0] != '\0' ? error : curl_easy_strerror(result)) +
                                " (status " + std::to_string(status) + ")");
            response.fill(0);
            return update::kHttpNoAnswer;
        }
        return static_cast<int>(sink.stored);
    }

  private:
    // Drives the transfer until it is done or abandoned; the abandon event wakes the wait.
    static CURLcode run(CURLM* multi, const platform::StopEvent& abandon) {
        const platform::ScopedWaker waker(abandon, [multi] { curl_multi_wakeup(multi); });
        int running = 1;
        while (!abandon.isSet()) {
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                return CURLE_FAILED_INIT;
            }
            if (running == 0) {
                break;
            }
            if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
                return CURLE_FAILED_INIT;
            }
        }
        if (abandon.isSet()) {
            return CURLE_ABORTED_BY_CALLBACK;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                return message->data.result;
            }
        }
        return CURLE_FAILED_INIT;
    }

    CurlHttpClientOptions options_;
};

}  // namespace

std::unique_ptr<update::HttpClient> makeCurlHttpClient(CurlHttpClientOptions options) {
    return std::make_unique<CurlHttpClient>(std::move(options));
}

}  // namespace korvane::backends
