// The update window in the whole program: headless sessions with simulated devices, a local
// update service and the test updater (tests/update/test_updater.sh).

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "backends/curl/curl_http_client.h"
#include "connection/connection_fixture.h"
#include "core/platform/debug_line.h"
#include "core/platform/main_ini.h"
#include "core/platform/paths.h"
#include "update/service_fixtures.h"

namespace korvane::update {
namespace {

using namespace std::chrono_literals;
using testing::Answer;
using testing::LocalServer;
using testing::ScopedEnv;
using testing::SeenRequest;
using testing::SilentListener;

const std::filesystem::path kTestUpdater =
    std::filesystem::path(KORVANE_SOURCE_DIR) / "tests/update/test_updater.sh";

// Counts the requests the program makes, passing them on.
class CountingClient final : public HttpClient {
  public:
    explicit CountingClient(HttpClient& inner) : inner_(inner) {}
    int send(const HttpRequest& request, ResponseBuffer& response,
             const platform::StopEvent& abandon) override {
        ++calls;
        return inner_.send(request, response, abandon);
    }
    std::atomic<int> calls{0};

  private:
    HttpClient& inner_;
};

// How the test updater was started.
struct UpdaterRecord {
    int argumentCount = -1;
    std::string argument;
    std::string workingFolder;
};

// One control as "print" shows it: its properties by name.
using Printed = std::map<std::string, std::string>;

class UpdateWindowTest : public app::testing::ConnectionFixture {
  protected:
    void SetUp() override {
        ConnectionFixture::SetUp();
        http_ = client_.get();
        installer_["DisplayVersion"] = "3.0.1";
        setEnv("KORVANE_UPDATE_URL", server_.url());
        setEnv("KORVANE_UPDATER", kTestUpdater.string());
        setEnv("KORVANE_TEST_UPDATER_RECORD", (root_ / "record").string());
        setEnv("KORVANE_TEST_UPDATER_LINES", (root_ / "lines").string());
        updaterLines("");
    }
    void TearDown() override {
        ConnectionFixture::TearDown();
        env_.clear();
    }

    void setEnv(const char* name, const std::string& value) {
        env_.push_back(std::make_unique<ScopedEnv>(name, value));
    }
    void writeInstaller() {
        std::ofstream ini(root_ / "install.ini");
        ini << "[Qv Korvane Gaming Software 3.0]\n";
        for (const auto& [key, value] : installer_) {
            ini << key << "=" << value << "\n";
        }
    }
    void startProgram() {
        writeInstaller();
        start();
    }

    // The service names these versions (code → version); the announce answers the code given.
    // Versions listed in once_ are named newer only the first time they are asked for, so the
    // start-up check that follows a few seconds later finds nothing newer.
    void serve(std::map<std::string, std::string> versions, std::string announce = "2",
               std::map<std::string, std::string> once = {}) {
        server_.setHandler([versions, announce, once,
                            asked = std::make_shared<std::map<std::string, int>>()](
                               const SeenRequest& request) mutable {
            if (request.isAnnounce()) {
                return Answer{200, R"({"Result_Code":")" + announce + R"("})"};
            }
            const std::string code = request.code();
            std::string version;
            if (const auto it = once.find(code); it != once.end() && (*asked)[code]++ == 0) {
                version = it->second;
            } else if (const auto v = versions.find(code); v != versions.end()) {
                version = v->second;
            } else {
                return Answer{200, R"({"Result_Code":"2"})"};
            }
            return Answer{200, R"({"Result_Code":"2","Data":{"version":")" + version + R"("}})"};
        });
    }

    void updaterLines(const std::string& lines) { std::ofstream(root_ / "lines") << lines; }
    std::optional<UpdaterRecord> record() const {
        std::ifstream in(root_ / "record");
        if (!in) {
            return std::nullopt;
        }
        UpdaterRecord r;
        std::string pid;
        std::string count;
        std::getline(in, pid);
        std::getline(in, count);
        std::getline(in, r.argument);
        std::getline(in, r.workingFolder);
        r.argumentCount = std::stoi(count);
        return r;
    }

    // The controls the last script printed.
    Printed printed(const std::string& name) const {
        std::istringstream lines(printed_.str());
        for (std::string line; std::getline(lines, line);) {
            if (!line.starts_with(name + " ")) {
                continue;
            }
            Printed p;
            const auto text = line.find(" text=");
            std::istringstream words(line.substr(0, text));
            std::string word;
            words >> word;
            while (words >> word) {
                const auto eq = word.find('=');
                p[word.substr(0, eq)] = word.substr(eq + 1);
            }
            p["text"] = text == std::string::npos ? "" : line.substr(text + 6);
            return p;
        }
        return {};
    }

    // Opens the update window as message 3429 does, waits until the button can be pressed,
    // then presses it; the program keeps running (a script would end it).
    bool openAndPress(const std::string& button) {
        if (!app_->act([this] { main().handleMessage(0x0D65); })) {
            return false;
        }
        const bool enabled = waitUntil([&](app::MainWindow&) {
            const ui::ControlTree* tree = app_->updateWindowTree();
            const ui::Control* control = tree != nullptr ? tree->find(button) : nullptr;
            return control != nullptr && control->enabled();
        });
        return enabled && app_->act([&] { app_->updateWindowTree()->deliver("click", button); });
    }
    bool waitForRecord(std::chrono::milliseconds timeout = 5000ms) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!record()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    bool waitForRequests(std::size_t n, std::chrono::milliseconds timeout = 5000ms) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (server_.requests().size() < n) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

    LocalServer server_;
    std::unique_ptr<HttpClient> client_ = backends::makeCurlHttpClient();
    std::map<std::string, std::string> installer_;
    std::vector<std::unique_ptr<ScopedEnv>> env_;
};

// Script lines: a keyboard attached; a keyboard and a mouse attached and the window opened.
const std::string kPlugKeyboard =
    "plug rgb-keyboard\n"
    "wait-for kb_tab visible=1 4000\n";
const std::string kOpenWithKeyboardAndMouse = kPlugKeyboard +
                                              "plug mouse\n"
                                              "wait-for ms_tab visible=1 4000\n"
                                              "notify click setbtn\n"
                                              "wait-for update:window visible=1 1000\n";

TEST_F(UpdateWindowTest, ShowsTheInstalledAndTheNewestVersions) {
    serve({{"Qv024", "3.0.2"}, {"Qv021", "1.0.6"}, {"Qv023", "1.0.4"}});
    startProgram();
    ASSERT_EQ(run(kOpenWithKeyboardAndMouse +
                  "wait-for soft_new_version text=V3.0.2 3000\n"
                  "wait-for RGB_KB_F text=V1.0.6 3000\n"
                  "wait-for ms_new text=V1.0.4 3000\n"
                  "print soft_now_version\nprint RGB_KB_N\nprint ms_now_fw\n"
                  "print soft_update_btn\nprint rgb_kb_btn\nprint ms_update_btn\n"
                  "print rgb_page\nprint blue_page\nprint region_page\nprint ZR530X_page\n"
                  "print ms_page\nprint MS2_page\n"),
              app::kScriptDone)
        << errors_.str();
    EXPECT_EQ(printed("soft_now_version")["text"], "V3.0.1");
    // The simulated devices report version word 0x0105.
    EXPECT_EQ(printed("RGB_KB_N")["text"], "V105");
    EXPECT_EQ(printed("ms_now_fw")["text"], "V105");
    EXPECT_EQ(printed("soft_update_btn")["enabled"], "1");
    EXPECT_EQ(printed("rgb_kb_btn")["enabled"], "1") << "1.0.6 is above 105";
    EXPECT_EQ(printed("ms_update_btn")["enabled"], "0") << "1.0.4 is not above 105";
    EXPECT_EQ(printed("rgb_page")["visible"], "1");
    EXPECT_EQ(printed("blue_page")["visible"], "0");
    EXPECT_EQ(printed("region_page")["visible"], "0");
    EXPECT_EQ(printed("ZR530X_page")["visible"], "0");
    EXPECT_EQ(printed("ms_page")["visible"], "1");
    EXPECT_EQ(printed("MS2_page")["visible"], "0");
}

TEST_F(UpdateWindowTest, AnswersWithNothingBelievableShowUnknownAndDisableTheButtons) {
    server_.setHandler([](const SeenRequest& request) {
        if (request.code() == "Qv024") {
            return Answer{200, "<html>maintenance</html>"};
        }
        return Answer{200, R"({"Result_Code":"2","Data":{"version":"3.0.0"}})"};
    });
    startProgram();
    ASSERT_EQ(run(kPlugKeyboard + "notify click setbtn\n"
                                  "wait 800\n"
                                  "print soft_new_version\nprint soft_update_btn\nprint RGB_KB_F\n"
                                  "print rgb_kb_btn\n"),
              app::kScriptDone)
        << errors_.str();
    EXPECT_EQ(printed("soft_new_version")["text"], "unknown");
    EXPECT_EQ(printed("soft_update_btn")["enabled"], "0");
    EXPECT_EQ(printed("RGB_KB_F")["text"], "unknown") << "3.0.0 reads as 300: not believed";
    EXPECT_EQ(printed("rgb_kb_btn")["enabled"], "0");
    // Only the attached keyboard is asked about besides the software; no mouse is attached.
    ASSERT_GE(server_.requests().size(), 2u);
    for (const SeenRequest& request : server_.requests()) {
        EXPECT_TRUE(request.code() == "Qv024" || request.code() == "Qv021") << request.code();
    }
}

TEST_F(UpdateWindowTest, WithoutAnEndpointNothingIsSentAndTheVersionsAreUnknown) {
    env_.clear();
    setEnv("KORVANE_UPDATE_URL", "");
    setEnv("KORVANE_UPDATER", kTestUpdater.string());
    setEnv("KORVANE_TEST_UPDATER_RECORD", (root_ / "record").string());
    CountingClient counting(*client_);
    http_ = &counting;
    startProgram();
    ASSERT_EQ(run(kPlugKeyboard + "notify click setbtn\n"
                                  "wait-for update:window visible=1 1000\n"
                                  "notify click rgb_kb_btn\n"
                                  "notify click soft_update_btn\n"
                                  "wait 500\n"
                                  "print soft_now_version\nprint soft_new_version\nprint RGB_KB_F\n"
                                  "print rgb_kb_btn\nprint soft_update_btn\n"),
              app::kScriptDone)
        << errors_.str();
    EXPECT_EQ(counting.calls, 0);
    EXPECT_TRUE(server_.requests().empty());
    EXPECT_FALSE(record());
    EXPECT_EQ(printed("soft_now_version")["text"], "V3.0.1");
    EXPECT_EQ(printed("soft_new_version")["text"], "unknown");
    EXPECT_EQ(printed("RGB_KB_F")["text"], "unknown");
    EXPECT_EQ(printed("rgb_kb_btn")["enabled"], "0");
    EXPECT_EQ(printed("soft_update_btn")["enabled"], "0");
}

TEST_F(UpdateWindowTest, AnUpdateRunsTheUpdaterShowsItsProgressAndSuccessClosesTheWindow) {
    serve({{"Qv024", "3.0.1"}, {"Qv021", "1.0.5"}}, "2", {{"Qv021", "1.0.6"}});
    updaterLines("4 42\nsleep 1\n1\n");
    startProgram();
    ASSERT_EQ(run(kPlugKeyboard + "notify click setbtn\n"
                                  "wait-for rgb_kb_btn enabled=1 3000\n"
                                  "notify click rgb_kb_btn\n"
                                  "wait-for rgb_progress_text text=42% 5000\n"
                                  "print rgb_progress_text\nprint rgb_kb_btn\n"
                                  "wait-for update:window visible=0 5000\n"),
              app::kScriptDone)
        << errors_.str();
    EXPECT_EQ(printed("rgb_progress_text")["visible"], "1");
    EXPECT_EQ(printed("rgb_kb_btn")["visible"], "0");
    const auto started = record();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->argumentCount, 1);
    // Product, "en", the keyboard's firmware 0x0105 in its dotted form.
    EXPECT_EQ(started->argument, "HalvaneEliteRGB;en;1.0.5");
    EXPECT_EQ(std::filesystem::path(started->workingFolder),
              std::filesystem::path(KORVANE_SOURCE_DIR "/data"));
    // The launch announces, then asks for the version.
    const auto seen = server_.requests();
    const auto announce =
        std::find_if(seen.begin(), seen.end(), [](const SeenRequest& r) { return r.isAnnounce(); });
    ASSERT_NE(announce, seen.end());
    EXPECT_EQ(announce->code(), "Qv021");
    ASSERT_NE(announce + 1, seen.end());
    EXPECT_EQ((announce + 1)->json(), R"({"command_type":"Qv021","getUrl":1})");
    EXPECT_EQ(count("update window hidden"), 1);
}

TEST_F(UpdateWindowTest, TwoUpdatesAtOnceShowTheSamePercentage) {
    serve({{"Qv024", "3.0.1"}, {"Qv021", "1.0.5"}, {"Qv023", "1.0.5"}}, "2",
          {{"Qv021", "1.0.6"}, {"Qv023", "1.0.7"}});
    // Each updater reports once and then ends without a result: a failure, which gives the
    // rows their buttons back.
    updaterLines("sleep 0.5\n4 42\nsleep 1.5\n");
    startProgram();
    ASSERT_EQ(run(kOpenWithKeyboardAndMouse + "wait-for rgb_kb_btn enabled=1 3000\n"
                                              "wait-for ms_update_btn enabled=1 3000\n"
                                              "notify click rgb_kb_btn\n"
                                              "notify click ms_update_btn\n"
                                              "wait-for rgb_progress_text text=42% 5000\n"
                                              "wait-for ms_progress_text text=42% 5000\n"
                                              "wait-for rgb_kb_btn visible=0 10\n"
                                              "wait-for ms_update_btn visible=0 10\n"
                                              "wait-for rgb_kb_btn visible=1 5000\n"
                                              "wait-for rgb_progress_text visible=0 10\n"
                                              "wait-for ms_update_btn visible=1 10\n"
                                              "wait-for update:window visible=1 10\n"),
              app::kScriptDone)
        << errors_.str();
}

TEST_F(UpdateWindowTest, ARefusedAnnounceStartsNothing) {
    serve({{"Qv024", "3.0.2"}}, "1");
    std::atomic<bool> refused{false};
    platform::setDebugSink([&refused](std::string_view line) {
        refused = refused || line == "update not accepted for Qv024";
    });
    startProgram();
    ASSERT_TRUE(openAndPress("soft_update_btn"));
    ASSERT_TRUE(waitForRequests(2));
    const auto seen = server_.requests();
    EXPECT_TRUE(seen[1].isAnnounce());
    // The launch ends at the refusal: no version query for it, no updater.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!refused && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    platform::setDebugSink({});
    EXPECT_TRUE(refused);
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(record());
}

class MissingUpdater : public UpdateWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MissingUpdater, SaysSoInAMessage) {
    const bool exists = GetParam();
    const auto path = root_ / "DravenholmeUpdate";
    if (exists) {
        std::ofstream(path) << "#!/bin/sh\necho 1\n";
        ::chmod(path.c_str(), 0644);
    }
    setEnv("KORVANE_UPDATER", path.string());
    serve({{"Qv024", "3.0.2"}});
    startProgram();
    ASSERT_TRUE(openAndPress("soft_update_btn"));
    EXPECT_TRUE(waitForLine("message update_no_updater", 1, 5000ms));
}

INSTANTIATE_TEST_SUITE_P(MissingOrNotExecutable, MissingUpdater, ::testing::Values(false, true));

TEST_F(UpdateWindowTest, AnUpdaterThatTalksNonsenseAndEndsGivesTheRowBack) {
    serve({{"Qv024", "3.0.1"}, {"Qv021", "1.0.5"}}, "2", {{"Qv021", "1.0.6"}});
    updaterLines("downloading...\n4 42\n4 abc\n42%\n9 9\n\n");
    startProgram();
    ASSERT_EQ(run(kPlugKeyboard + "notify click setbtn\n"
                                  "wait-for rgb_kb_btn enabled=1 3000\n"
                                  "notify click rgb_kb_btn\n"
                                  "wait-for rgb_progress_text text=42% 5000\n"
                                  "wait-for rgb_kb_btn visible=1 5000\n"
                                  "wait-for rgb_progress_text visible=0 10\n"
                                  "wait-for update:window visible=1 10\n"),
              app::kScriptDone)
        << errors_.str();
}

TEST_F(UpdateWindowTest, TheUpdaterIsDravenholmeUpdateInTheProgramFolder) {
    const auto folder = root_ / "program";
    std::filesystem::copy(KORVANE_SOURCE_DIR "/data", folder,
                          std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(kTestUpdater, folder / "DravenholmeUpdate");
    std::filesystem::permissions(folder / "DravenholmeUpdate", std::filesystem::perms::owner_all);
    setEnv("KORVANE_PROGRAM_FOLDER", folder.string());
    setEnv("KORVANE_UPDATER", "");
    serve({{"Qv024", "3.0.2"}});
    startProgram();
    ASSERT_TRUE(openAndPress("soft_update_btn"));
    ASSERT_TRUE(waitForRecord());
    const auto started = record();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->argument, "QvKorvaneGaming;en;3.0.1");
    EXPECT_EQ(std::filesystem::path(started->workingFolder), folder);
}

struct HintCase {
    const char* name;
    const char* software;
    bool opens;
};

class StartupHint : public UpdateWindowTest, public ::testing::WithParamInterface<HintCase> {};

TEST_P(StartupHint, OpensTheWindowOnlyForANewerVersion) {
    serve({{"Qv024", GetParam().software}});
    startProgram();
    if (GetParam().opens) {
        EXPECT_TRUE(waitForLine("update window shown", 1, 10000ms));
    } else {
        ASSERT_TRUE(waitForRequests(1, 10000ms));
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(count("update window shown"), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, StartupHint,
                         ::testing::Values(HintCase{"newer", "3.0.2", true},
                                           HintCase{"equal", "3.0.1", false},
                                           HintCase{"implausible", "5.0.0", false},
                                           HintCase{"garbage", "3.x", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateWindowTest, ExitIsQuickWhileEveryRequestHangs) {
    SilentListener silent;
    setEnv("KORVANE_UPDATE_URL", silent.url());
    startProgram();
    ASSERT_EQ(app_->act([this] { main().handleMessage(0x0D65); }), true);
    EXPECT_TRUE(silent.connectionWithin(3000ms));
    // The start-up check is under way too by now.
    std::this_thread::sleep_for(3500ms);
    const auto start = std::chrono::steady_clock::now();
    app_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, testing::kPromptly);
}

TEST_F(UpdateWindowTest, ExitIsQuickWhileAnUpdaterNeverEnds) {
    serve({{"Qv024", "3.0.2"}});
    updaterLines("4 10\nhang\n");
    startProgram();
    ASSERT_TRUE(openAndPress("soft_update_btn"));
    ASSERT_TRUE(waitForRecord());
    std::ifstream in(root_ / "record");
    pid_t pid = 0;
    in >> pid;
    const auto start = std::chrono::steady_clock::now();
    app_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, testing::kPromptly);
    // The updater goes on after the program; the test ends it.
    EXPECT_EQ(::kill(pid, SIGKILL), 0);
}

TEST_F(UpdateWindowTest, TheWindowClosesByItsButtonAndWhenTheLastDeviceGoes) {
    serve({{"Qv024", "3.0.1"}});
    startProgram();
    ASSERT_EQ(run(kPlugKeyboard + "notify click setbtn\n"
                                  "wait-for update:window visible=1 1000\n"
                                  "notify click update:closebtn\n"
                                  "wait-for update:window visible=0 1000\n"
                                  "wait-for window visible=1 10\n"
                                  "notify click setbtn\n"
                                  "wait-for update:window visible=1 1000\n"
                                  "unplug rgb-keyboard\n"
                                  "wait-for update:window visible=0 3000\n"),
              app::kScriptDone)
        << errors_.str();
    EXPECT_EQ(count("update window shown"), 2);
    EXPECT_EQ(count("update window hidden"), 2);
}

TEST_F(UpdateWindowTest, TheLanguageListShowsAndSwitchesTheLanguage) {
    serve({{"Qv024", "3.0.1"}});
    startProgram();
    ASSERT_EQ(run("notify click setbtn\n"
                  "print lanuage_select_combo\n"
                  "notify itemselect lanuage_select_combo 3\n"),
              app::kScriptDone)
        << errors_.str();
    // English (index 0) is the third item: simplified and traditional Chinese come first.
    EXPECT_EQ(printed("lanuage_select_combo")["item"], "2");
    EXPECT_EQ(printed("lanuage_select_combo")["count"], "10");
    EXPECT_EQ(platform::MainIni(platform::MainIniPath()).language(), 3);
    EXPECT_EQ(app_->languageHost().languageFile, "lan_jp.xml");
    EXPECT_EQ(app_->languageHost().fontFace, "Arial");
    EXPECT_EQ(app_->languageHost().fontPoints, 9);
}

TEST_F(UpdateWindowTest, TheWebButtonsOpenTheConfiguredPagesOnly) {
    installer_["HomePage"] = "https://korvane.example/";
    installer_["SocialPage"] = "javascript:alert(1)";
    serve({{"Qv024", "3.0.1"}});
    startProgram();
    ASSERT_EQ(run("notify click setbtn\n"
                  "notify click net_btn\n"
                  "print facebook_btn\n"),
              app::kScriptDone)
        << errors_.str();
    EXPECT_TRUE(waitForLine("open https://korvane.example/"));
    EXPECT_EQ(printed("facebook_btn")["enabled"], "0");
}

}  // namespace
}  // namespace korvane::update
