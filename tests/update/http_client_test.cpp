// The HTTP client on libcurl against servers of the test's own on 127.0.0.1.

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "backends/curl/curl_http_client.h"
#include "core/update/http_client.h"
#include "core/update/update_protocol.h"
#include "update/service_fixtures.h"

namespace korvane::update {
namespace {

using namespace std::chrono_literals;
using testing::Answer;
using testing::Certificate;
using testing::LocalServer;
using testing::ScopedEnv;
using testing::SeenRequest;
using testing::SilentListener;

std::string text(const ResponseBuffer& buffer, int stored) {
    return std::string(buffer.data(), static_cast<std::size_t>(std::max(stored, 0)));
}

class HttpClientTest : public ::testing::Test {
  protected:
    int post(const std::string& url, const std::string& body, ResponseBuffer& response) {
        return PostForm(*client_, url, body, response, never_);
    }
    std::string endpoint(const LocalServer& server, const std::string& scheme = "http") {
        return server.url(scheme) + std::string(kServicePath);
    }

    std::unique_ptr<HttpClient> client_ = backends::makeCurlHttpClient();
    platform::StopEvent never_;
};

struct CodeCase {
    std::string code;
    std::string json;
};

class RequestPerCode : public HttpClientTest, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(RequestPerCode, IsOneFormPostOfTheBase64TextAndItsZeroByte) {
    LocalServer server;
    server.setHandler([](const SeenRequest&) {
        return Answer{200, R"({"Result_Code":"2","Data":{"version":"1.0.6"}})"};
    });
    platform::StopEvent stop;
    ServiceClient service(*client_, endpoint(server), stop);
    EXPECT_EQ(service.QueryServerVersionText(GetParam().code), "1.0.6");

    const std::vector<SeenRequest> seen = server.requests();
    ASSERT_EQ(seen.size(), 1u);
    const SeenRequest& request = seen[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/download/getVersionV1");
    EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded");
    // n text characters go as n + 1 bytes, the last one zero, and say so.
    EXPECT_EQ(request.header("Content-Length"), std::to_string(request.body.size()));
    ASSERT_FALSE(request.body.empty());
    EXPECT_EQ(request.body.back(), '\0');
    EXPECT_EQ(request.body.find('\0'), request.body.size() - 1);
    EXPECT_EQ(request.json(), GetParam().json);
    EXPECT_TRUE(request.header("User-Agent").starts_with("korvane/"))
        << request.header("User-Agent");
    EXPECT_EQ(request.header("Expect"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RequestPerCode,
    ::testing::Values(CodeCase{"Qv021", R"({"command_type":"Qv021","getUrl":1})"},
                      CodeCase{"Qv022", R"({"command_type":"Qv022","getUrl":1})"},
                      CodeCase{"Qv023", R"({"command_type":"Qv023","getUrl":1})"},
                      CodeCase{"Qv024", R"({"command_type":"Qv024","getUrl":1})"},
                      CodeCase{"Qv033", R"({"command_type":"Qv033","getUrl":1})"},
                      CodeCase{"Qv034", R"({"command_type":"Qv034","getUrl":1})"}));

TEST_F(HttpClientTest, TheWholeBodyOfOneQueryIsTheDocumentedText) {
    LocalServer server;
    platform::StopEvent stop;
    ServiceClient(*client_, endpoint(server), stop).QueryServerVersionText("Qv021");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].body,
              std::string("ActiveData=eyJjb21tYW5kX3R5cGUiOiJRdjAyMSIsImdldFVybCI6MX0=") + '\0');
}

TEST_F(HttpClientTest, TheAnnounceSendsAGuidAndTheCodeAndReadsTheResultCode) {
    LocalServer server;
    server.setHandler([](const SeenRequest&) { return Answer{200, R"({"Result_Code":"2"})"}; });
    platform::StopEvent stop;
    ServiceClient service(*client_, endpoint(server), stop);
    EXPECT_EQ(service.Announce("Qv023"), 2);
    EXPECT_EQ(service.Announce("Qv023"), 2);
    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 2u);
    const std::regex announce(
        R"(\{"UUID":"[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}","command_type":"Qv023"\})");
    EXPECT_TRUE(std::regex_match(seen[0].json(), announce)) << seen[0].json();
    EXPECT_TRUE(std::regex_match(seen[1].json(), announce)) << seen[1].json();
    EXPECT_NE(seen[0].json(), seen[1].json()) << "a fresh GUID each time";
}

TEST_F(HttpClientTest, AnswersAreKeptTo1023BytesAndStayZeroTerminated) {
    LocalServer server;
    std::string body;
    for (int i = 0; body.size() < 2000; ++i) {
        body += static_cast<char>('a' + i % 26);
    }
    server.setHandler([&body](const SeenRequest&) { return Answer{200, body}; });
    ResponseBuffer response{};
    EXPECT_EQ(post(endpoint(server), "x", response), 1023);
    EXPECT_EQ(text(response, 1023), body.substr(0, 1023));
    EXPECT_EQ(response[1023], '\0');

    server.setHandler([](const SeenRequest&) { return Answer{200, std::string(1023, 'z')}; });
    EXPECT_EQ(post(endpoint(server), "x", response), 1023);
    server.setHandler([](const SeenRequest&) { return Answer{200, "{}"}; });
    EXPECT_EQ(post(endpoint(server), "x", response), 2);
    EXPECT_EQ(text(response, 2), "{}");
    EXPECT_EQ(response[2], '\0') << "the buffer is zeroed before each answer";
}

TEST_F(HttpClientTest, ATenMegabyteAnswerIsCutShortNotDownloaded) {
    LocalServer server;
    const std::string huge(10 * 1024 * 1024, '{');
    server.setHandler([&huge](const SeenRequest&) { return Answer{200, huge}; });
    ResponseBuffer response{};
    EXPECT_EQ(post(endpoint(server), "x", response), 1023);
    platform::StopEvent stop;
    EXPECT_EQ(ServiceClient(*client_, endpoint(server), stop).QueryServerVersionText("Qv024"), "");
}

TEST_F(HttpClientTest, ARedirectIsNotFollowedAndGivesNoAnswer) {
    LocalServer other;
    LocalServer server;
    server.setHandler([&other](const SeenRequest&) {
        return Answer{302, R"({"Data":{"version":"1.0.6"}})", other.url() + "/elsewhere"};
    });
    ResponseBuffer response{};
    EXPECT_EQ(post(endpoint(server), "x", response), kHttpNoAnswer);
    EXPECT_TRUE(other.requests().empty());
}

TEST_F(HttpClientTest, ErrorStatusesAndClosedPortsGiveNoAnswer) {
    LocalServer server;
    server.setHandler([](const SeenRequest&) { return Answer{500, R"({"Result_Code":"2"})"}; });
    ResponseBuffer response{};
    EXPECT_EQ(post(endpoint(server), "x", response), kHttpNoAnswer);
    int closedPort = 0;
    {
        LocalServer gone;
        closedPort = gone.port();
    }
    EXPECT_EQ(post("http://127.0.0.1:" + std::to_string(closedPort) + "/x", "x", response),
              kHttpNoAnswer);
}

TEST_F(HttpClientTest, OnlyPostAndGetAreSpoken) {
    LocalServer server;
    server.setHandler([](const SeenRequest&) { return Answer{200, "ok"}; });
    ResponseBuffer response{};
    HttpRequest request;
    request.url = endpoint(server);
    request.verb = "PUT";
    EXPECT_EQ(client_->send(request, response, never_), kHttpNoSession);
    request.verb = "GET";
    EXPECT_EQ(client_->send(request, response, never_), 2);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].method, "GET");
}

// The certificates of the TLS cases, made once for all of them.
class TlsTest : public HttpClientTest {
  protected:
    static void SetUpTestSuite() {
        ip_ = Certificate::make("127.0.0.1", "IP:127.0.0.1");
        otherName_ = Certificate::make("korvane.invalid", "DNS:korvane.invalid");
    }
    static void TearDownTestSuite() {
        ip_.remove();
        otherName_.remove();
    }
    void SetUp() override {
        ASSERT_TRUE(ip_.ok() && otherName_.ok()) << "openssl could not make a certificate";
    }

    static Certificate ip_;
    static Certificate otherName_;
};

Certificate TlsTest::ip_;
Certificate TlsTest::otherName_;

TEST_F(TlsTest, ACertificateNobodyVouchesForIsRefused) {
    LocalServer server(ip_);
    server.setHandler([](const SeenRequest&) { return Answer{200, "{}"}; });
    ResponseBuffer response{};
    EXPECT_EQ(post(endpoint(server, "https"), "x", response), kHttpNoAnswer);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(TlsTest, ATrustedCertificateForTheHostIsTaken) {
    LocalServer server(ip_);
    server.setHandler([](const SeenRequest&) { return Answer{200, "{}"}; });
    client_ = backends::makeCurlHttpClient({ip_.cert});
    ResponseBuffer response{};
    EXPECT_EQ(post(endpoint(server, "https"), "x", response), 2);
}

TEST_F(TlsTest, ATrustedCertificateForAnotherHostIsRefused) {
    LocalServer server(otherName_);
    server.setHandler([](const SeenRequest&) { return Answer{200, "{}"}; });
    client_ = backends::makeCurlHttpClient({otherName_.cert});
    ResponseBuffer response{};
    EXPECT_EQ(post(endpoint(server, "https"), "x", response), kHttpNoAnswer);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(HttpClientTest, AnAbandonedRequestEndsAtOnceWhateverTheServerDoes) {
    SilentListener silent;
    platform::StopEvent abandon;
    ResponseBuffer response{};
    std::thread later([&] {
        std::this_thread::sleep_for(200ms);
        abandon.set();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PostForm(*client_, silent.url() + "/x", "x", response, abandon), kHttpNoAnswer);
    const auto took = std::chrono::steady_clock::now() - start;
    later.join();
    EXPECT_LT(took, testing::kPromptly);

    // Abandoned before it starts: nothing waits at all.
    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(PostForm(*client_, silent.url() + "/x", "x", response, abandon), kHttpNoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - again, testing::kPromptly);
}

TEST_F(HttpClientTest, AServerThatNeverAnswersTimesOutOnTheReceiveLimit) {
    SilentListener silent;
    ResponseBuffer response{};
    HttpRequest request;
    request.url = silent.url() + "/x";
    request.settings.sendTimeoutMs = 1000;
    request.settings.receiveTimeoutMs = 1000;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client_->send(request, response, never_), kHttpNoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

// A proxy that takes one request and answers it, recording the request line.
class OneShotProxy {
  public:
    OneShotProxy() {
        thread_ = std::thread([this] {
            const int client = ::accept(listener_.fd(), nullptr, nullptr);
            if (client < 0) {
                return;
            }
            std::string head;
            char c = 0;
            while (head.find("\r\n\r\n") == std::string::npos && ::read(client, &c, 1) == 1) {
                head += c;
            }
            requestLine_ = head.substr(0, head.find("\r\n"));
            const std::string answer =
                "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}";
            [[maybe_unused]] const auto n = ::write(client, answer.data(), answer.size());
            ::close(client);
        });
    }
    ~OneShotProxy() {
        ::shutdown(listener_.fd(), SHUT_RDWR);
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    std::string url() const { return listener_.url(); }
    // Once the request has been answered.
    std::string requestLine() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return requestLine_;
    }

  private:
    testing::SilentListener listener_;
    std::thread thread_;
    std::string requestLine_;
};

TEST_F(HttpClientTest, ProxiesComeFromTheEnvironment) {
    OneShotProxy proxy;
    ScopedEnv noProxy("no_proxy", "");
    ScopedEnv httpProxy("http_proxy", proxy.url());
    ResponseBuffer response{};
    EXPECT_EQ(post("http://updates.korvane.invalid/download/getVersionV1", "x", response), 2);
    EXPECT_EQ(proxy.requestLine(),
              "POST http://updates.korvane.invalid/download/getVersionV1 HTTP/1.1");
}

}  // namespace
}  // namespace korvane::update
