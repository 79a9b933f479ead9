#pragma once

// Local stand-ins for the update service: an HTTP(S) server on 127.0.0.1 with a port of its
// own, a listener that never answers, a self-signed certificate made for the run, and a
// Base64 decoder of the tests' own.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace korvane::update::testing {

// What "at once" allows: a second, or three when sanitizers slow everything down.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr std::chrono::milliseconds kPromptly{3000};
#else
inline constexpr std::chrono::milliseconds kPromptly{1000};
#endif

// RFC 4648 decoding, written apart from the program's encoder.
inline std::optional<std::string> DecodeBase64(const std::string& text) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        unsigned value = 0;
        int pad = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const char c = text[i + j];
            value <<= 6;
            if (c == '=') {
                ++pad;
                continue;
            }
            const auto pos = alphabet.find(c);
            if (pos == std::string::npos || pad > 0) {
                return std::nullopt;
            }
            value |= static_cast<unsigned>(pos);
        }
        out += static_cast<char>(value >> 16 & 0xFF);
        if (pad < 2) {
            out += static_cast<char>(value >> 8 & 0xFF);
        }
        if (pad < 1) {
            out += static_cast<char>(value & 0xFF);
        }
    }
    return out;
}

// A self-signed certificate and its key, made with the openssl tool in a folder of their own.
struct Certificate {
    std::filesystem::path folder;
    std::filesystem::path cert;
    std::filesystem::path key;

    // subjectAltName as openssl writes it, e.g. "IP:127.0.0.1" or "DNS:korvane.invalid".
    static Certificate make(const std::string& name, const std::string& altName) {
        Certificate c;
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "korvane-cert-XXXXXX").string();
        if (mkdtemp(tmpl.data()) == nullptr) {
            return c;
        }
        c.folder = tmpl;
        c.cert = c.folder / (name + ".pem");
        c.key = c.folder / (name + ".key");
        const std::string command =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
            " -subj /CN=" +
            name + " -addext subjectAltName=" + altName + " -keyout '" + c.key.string() +
            "' -out '" + c.cert.string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            c.cert.clear();
        }
        return c;
    }
    bool ok() const { return !cert.empty() && std::filesystem::exists(cert); }
    void remove() const {
        if (!folder.empty()) {
            std::filesystem::remove_all(folder);
        }
    }
};

// What the server saw of one request.
struct SeenRequest {
    std::string method;
    std::string path;
    std::string body;
    std::multimap<std::string, std::string, httplib::detail::ci> headers;

    std::string header(const std::string& name) const {
        const auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
    // The JSON text inside "ActiveData=<Base64>" and its zero byte; empty when it is not that.
    std::string json() const {
        const std::string prefix = "ActiveData=";
        if (body.size() < prefix.size() + 1 || body.compare(0, prefix.size(), prefix) != 0 ||
            body.back() != '\0') {
            return {};
        }
        return DecodeBase64(body.substr(prefix.size(), body.size() - prefix.size() - 1))
            .value_or(std::string());
    }
    // The command code the request asks about; empty when it names none.
    std::string code() const {
        const std::string text = json();
        const std::string key = "\"command_type\":\"";
        const auto at = text.find(key);
        return at == std::string::npos ? std::string() : text.substr(at + key.size(), 5);
    }
    bool isAnnounce() const { return json().find("\"UUID\"") != std::string::npos; }
};

struct Answer {
    Answer(int status_ = 200, std::string body_ = {}, std::string location_ = {})
        : status(status_), body(std::move(body_)), location(std::move(location_)) {}

    int status;
    std::string body;
    std::string location;  // for a redirect
};

// An HTTP or HTTPS server on 127.0.0.1 answering every request with the handler's answer.
class LocalServer {
  public:
    using Handler = std::function<Answer(const SeenRequest&)>;

    LocalServer() : server_(std::make_unique<httplib::Server>()) { start(); }
    LocalServer(const Certificate& certificate)
        : server_(std::make_unique<httplib::SSLServer>(certificate.cert.c_str(),
                                                       certificate.key.c_str())) {
        start();
    }
    ~LocalServer() {
        server_->stop();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& scheme = "http") const {
        return scheme + "://127.0.0.1:" + std::to_string(port_);
    }
    void setHandler(Handler handler) {
        std::lock_guard lock(mutex_);
        handler_ = std::move(handler);
    }
    std::vector<SeenRequest> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void start() {
        const auto serve = [this](const httplib::Request& request, httplib::Response& response) {
            SeenRequest seen{request.method, request.path, request.body, {}};
            for (const auto& [name, value] : request.headers) {
                seen.headers.emplace(name, value);
            }
            Handler handler;
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(seen);
                handler = handler_;
            }
            const Answer answer = handler ? handler(seen) : Answer{};
            response.status = answer.status;
            if (!answer.location.empty()) {
                response.set_header("Location", answer.location);
            }
            response.set_content(answer.body, "application/json");
        };
        server_->Post(".*", serve);
        server_->Get(".*", serve);
        port_ = server_->bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        while (!server_->is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = -1;
    mutable std::mutex mutex_;
    Handler handler_;
    std::vector<SeenRequest> requests_;
};

// A socket on 127.0.0.1 that takes connections (the system completes them) and never reads
// or answers: a service that hangs.
class SilentListener {
  public:
    SilentListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 16);
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentListener() { ::close(fd_); }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    int fd() const { return fd_; }
    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // Whether a connection came within the time.
    bool connectionWithin(std::chrono::milliseconds time) const {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, static_cast<int>(time.count())) > 0;
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// Sets an environment variable for a scope (tests run one at a time in a process).
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace korvane::update::testing
