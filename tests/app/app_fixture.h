#pragma once

#include "support/output_lines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "core/app/headless_app.h"
#include "core/app/scripted_session.h"

namespace korvane::app::testing {

// A headless program over the real skin and shipped defaults, with its data folder, config
// folder and installer file in a temp folder of its own.
class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "korvane-app-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
        setenv("KORVANE_DATA_ROOT", (root_ / "QV").c_str(), 1);
        setenv("KORVANE_PROGRAM_FOLDER", KORVANE_SOURCE_DIR "/data", 1);
    }
    void TearDown() override {
        app_.reset();
        unsetenv("KORVANE_DATA_ROOT");
        unsetenv("KORVANE_PROGRAM_FOLDER");
        std::filesystem::remove_all(root_);
    }

    HeadlessAppOptions options() {
        HeadlessAppOptions o;
        o.skinFolder = KORVANE_SOURCE_DIR "/skin";
        o.programFile = "/usr/bin/korvane";
        o.installerFile = root_ / "install.ini";
        o.configHome = root_ / "config";
        o.output = output_.sink();
        return o;
    }

    void start(HeadlessAppOptions o) {
        app_ = std::make_unique<HeadlessApp>(std::move(o));
        std::string error;
        ASSERT_TRUE(app_->start(error)) << error;
    }
    void start() { start(options()); }

    int run(const std::string& script, DevicePlugger* plugger = nullptr) {
        std::istringstream in(script);
        printed_.str({});
        errors_.str({});
        return RunScript(*app_, plugger, in, printed_, errors_);
    }

    std::vector<std::string> lines() const { return output_.lines(); }
    int count(const std::string& line) const { return output_.count(line); }

    std::filesystem::path root_;
    std::unique_ptr<HeadlessApp> app_;
    std::ostringstream printed_;
    std::ostringstream errors_;
    korvane::testing::OutputLines output_;
};

}  // namespace korvane::app::testing
