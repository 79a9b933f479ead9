#include "core/platform/paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <optional>
#include <string>

#include "platform/temp_folder.h"

namespace korvane::platform {
namespace {

using testing_support::TempFolder;
using testing_support::writeBytes;

// Sets the variables for one test and puts the old values back afterwards.
class EnvGuard {
  public:
    void set(const char* name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~EnvGuard() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

  private:
    std::map<std::string, std::optional<std::string>> saved_;
};

class PathsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        env_.set("KORVANE_DATA_ROOT", std::nullopt);
        env_.set("XDG_DOCUMENTS_DIR", std::nullopt);
        env_.set("XDG_CONFIG_HOME", std::nullopt);
        env_.set("HOME", home_.path().string());
    }
    EnvGuard env_;
    TempFolder home_;
};

TEST_F(PathsTest, FallsBackToDocumentsInHome) {
    EXPECT_EQ(DataRoot(), home_ / "Documents" / "QV");
    EXPECT_TRUE(std::filesystem::is_directory(home_ / "Documents" / "QV"));
}

TEST_F(PathsTest, EnvironmentDocumentsFolderWins) {
    env_.set("XDG_DOCUMENTS_DIR", (home_ / "Dokumente").string());
    EXPECT_EQ(DataRoot(), home_ / "Dokumente" / "QV");
}

struct UserDirsCase {
    const char* name;
    std::string file;
    std::string expectedRelativeToHome;  // empty: the file gives nothing
};

class UserDirsTest : public PathsTest, public ::testing::WithParamInterface<UserDirsCase> {};

TEST_P(UserDirsTest, ReadsXdgDocumentsDir) {
    std::filesystem::create_directories(home_ / ".config");
    writeBytes(home_ / ".config" / "user-dirs.dirs", GetParam().file);
    const std::string expected =
        GetParam().expectedRelativeToHome.empty() ? "Documents" : GetParam().expectedRelativeToHome;
    EXPECT_EQ(DataRoot(), (home_ / expected / "QV").lexically_normal());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserDirsTest,
    ::testing::Values(UserDirsCase{"homeRelative",
                                   "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                   "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n",
                                   "Dokumente"},
                      UserDirsCase{"escapedQuote", "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\n",
                                   "My \"Docs\""},
                      UserDirsCase{"lastWins",
                                   "XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n",
                                   "b"},
                      UserDirsCase{"homeItself", "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "."},
                      UserDirsCase{"unquotedIgnored", "XDG_DOCUMENTS_DIR=$HOME/x\n", ""},
                      UserDirsCase{"relativeIgnored", "XDG_DOCUMENTS_DIR=\"x/y\"\n", ""},
                      UserDirsCase{"otherVariableOnly", "XDG_DOCUMENTS_DIRX=\"$HOME/x\"\n", ""},
                      UserDirsCase{"binary", std::string("\x00\xff\n=\"", 5), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PathsTest, UserDirsAbsolutePathAndConfigHome) {
    TempFolder config;
    TempFolder docs;
    env_.set("XDG_CONFIG_HOME", config.path().string());
    writeBytes(config / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + docs.path().string() + "\"\n");
    EXPECT_EQ(DataRoot(), docs / "QV");
}

TEST_F(PathsTest, OverrideReplacesTheWholePathAndFoldersAreRepaired) {
    TempFolder root;
    env_.set("KORVANE_DATA_ROOT", (root / "data").string());
    EXPECT_EQ(DataRoot(), root / "data");
    EXPECT_EQ(MainIniPath(), root / "data" / "main.ini");
    EXPECT_EQ(KeyboardFolder(), root / "data" / "kb");
    EXPECT_EQ(MouseFolder(), root / "data" / "ms");
    EXPECT_EQ(MousePadFolder(), root / "data" / "mp");
    for (const char* sub : {"kb", "ms", "mp"}) {
        EXPECT_TRUE(std::filesystem::is_directory(root / "data" / sub)) << sub;
    }
    // A folder deleted while the program runs comes back with the next path.
    std::filesystem::remove_all(root / "data");
    EXPECT_EQ(MouseFolder(), root / "data" / "ms");
    EXPECT_TRUE(std::filesystem::is_directory(root / "data" / "ms"));
    EXPECT_FALSE(std::filesystem::exists(home_ / "Documents")) << "the real home is untouched";
}

TEST_F(PathsTest, ProgramFolderOverrideAndBuildTreeFallback) {
    env_.set("KORVANE_PROGRAM_FOLDER", "/opt/somewhere");
    EXPECT_EQ(ProgramFolder(), "/opt/somewhere");
    env_.set("KORVANE_PROGRAM_FOLDER", std::nullopt);
    // Tests run from the build tree, where no installed share folder exists.
    EXPECT_EQ(ProgramFolder(), std::filesystem::path(KORVANE_SOURCE_DIR) / "data");
}

// An installation under any prefix: <prefix>/bin holds the programs, <prefix>/share/korvane the
// skin and default files, <prefix>/lib/udev/rules.d the device rule.
TEST(InstalledFolder, FoundFromTheProgramsFolderUnderAnyPrefix) {
    TempFolder stage;
    const std::filesystem::path prefix = stage / "opt" / "korvane prefix";
    std::filesystem::create_directories(prefix / "bin");
    EXPECT_EQ(InstalledFolder(InstalledPart::Data, prefix / "bin"), "") << "nothing installed yet";
    EXPECT_EQ(InstalledFolder(InstalledPart::UdevRules, prefix / "bin"), "");

    std::filesystem::create_directories(prefix / "share" / "korvane");
    std::filesystem::create_directories(prefix / "lib" / "udev" / "rules.d");
    EXPECT_EQ(InstalledFolder(InstalledPart::Data, prefix / "bin"), prefix / "share" / "korvane");
    EXPECT_EQ(InstalledFolder(InstalledPart::UdevRules, prefix / "bin"),
              prefix / "lib" / "udev" / "rules.d");
    // Another prefix's programs do not find this one's files; an unknown folder finds nothing.
    std::filesystem::create_directories(stage / "usr" / "bin");
    EXPECT_EQ(InstalledFolder(InstalledPart::Data, stage / "usr" / "bin"), "");
    EXPECT_EQ(InstalledFolder(InstalledPart::Data, ""), "");
}

TEST(InstalledFolder, NotFoundBesideTheTestProgram) {
    // The tests run from the build tree, where nothing is installed.
    EXPECT_FALSE(ExecutableFolder().empty());
    EXPECT_EQ(InstalledFolder(InstalledPart::Data, ExecutableFolder()), "");
}

}  // namespace
}  // namespace korvane::platform
