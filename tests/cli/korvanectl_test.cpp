#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/keys/factory_tables.h"

namespace {

namespace fs = std::filesystem;

// The built program: KORVANECTL when set, else its place in the build tree beside tests/.
fs::path programPath() {
    if (const char* path = std::getenv("KORVANECTL")) {
        return path;
    }
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src" / "cli" /
           "korvanectl";
}

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (const char c : arg) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Run {
    int exitCode = -1;
    std::string out;
    std::string err;

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) {
            result.push_back(line);
        }
        return result;
    }
};

Run runCtl(const std::vector<std::string>& args, const std::string& simEnvironment = {},
           const std::string& traceFile = {}) {
    const auto program = programPath();
    EXPECT_TRUE(fs::exists(program)) << program << " is not built (target korvanectl)";
    const auto dir = fs::temp_directory_path() / ("korvanectl_test_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::string command = simEnvironment.empty()
                              ? "env -u KORVANE_SIM "
                              : "env KORVANE_SIM=" + quoted(simEnvironment) + " ";
    if (!traceFile.empty()) {
        command += "KORVANE_HID_TRACE=" + quoted(traceFile) + " ";
    }
    command += quoted(program.string());
    for (const auto& arg : args) {
        command += " " + quoted(arg);
    }
    command += " >" + quoted((dir / "out").string()) + " 2>" + quoted((dir / "err").string());
    const int status = std::system(command.c_str());
    Run run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = slurp(dir / "out");
    run.err = slurp(dir / "err");
    fs::remove_all(dir);
    return run;
}

std::string hexOf(std::size_t n, const std::string& pair) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        text += pair;
    }
    return text;
}

std::string joined(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to; ++i) {
        text += lines[i];
    }
    return text;
}

TEST(Korvanectl, SimulateListShowsTheThreeDefaultDevices) {
    const auto run = runCtl({"--simulate", "list"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "keyboard rgb-keyboard 0c45:8611 1.0.5 sim:rgb-keyboard#1/vendor\n"
              "mouse mouse 0c45:5523 1.0.5 sim:mouse#2/vendor\n"
              "mousepad mousepad 0c45:5104 1.0.5 sim:mousepad#3/vendor\n");
}

TEST(Korvanectl, ListShowsEveryModelOnlyByItsVendorCollection) {
    const auto run = runCtl({"--simulate=membrane-keyboard,mouse-alt,mouse2", "list"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "keyboard membrane-keyboard 0c45:5006 1.0.5 sim:membrane-keyboard#1/vendor\n"
              "mouse mouse-alt 0c45:6656 1.0.5 sim:mouse-alt#2/vendor\n"
              "mouse mouse2 0c45:764d 1.0.5 sim:mouse2#3/vendor\n");
    EXPECT_EQ(runCtl({"--simulate=none", "list"}).out, "");
}

TEST(Korvanectl, KeyboardTableIsThreeBytesPerKey) {
    const auto run = runCtl({"--simulate", "table", "keyboard", "base"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto lines = run.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "result 1");
    const auto kind = korvane::device::DeviceKind::RgbKeyboard;
    const auto base = korvane::keys::FactoryBaseTable(kind);
    std::string expected;
    for (int i = 0; i < 3 * korvane::keys::FactoryKeyCount(kind); ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", base[i]);
        expected += pair;
    }
    EXPECT_EQ(joined(lines, 0, lines.size() - 1), expected);

    const auto short_ = runCtl({"--simulate", "--sim-set", "keys=104", "table", "keyboard", "0"});
    const auto shortLines = short_.lines();
    ASSERT_FALSE(shortLines.empty());
    EXPECT_EQ(joined(shortLines, 0, shortLines.size() - 1).size(), 2u * 312);
}

TEST(Korvanectl, InfoOfTheMouseCarriesItsSensor) {
    const auto run = runCtl({"--simulate", "--sim-set=sensor=0x3360", "info", "mouse"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[0].size(), 62u);
    EXPECT_EQ(lines[0].substr(18, 4), "6033") << "identifier little-endian at bytes 9..10";
}

struct CtlCase {
    const char* name;
    std::vector<std::string> args;
    std::string simEnvironment;
    int exitCode;
    std::string lastLine;  // of stdout; empty: no output expected
    std::string errorPart;
};

void PrintTo(const CtlCase& c, std::ostream* os) {
    *os << c.name;
}

class KorvanectlCases : public ::testing::TestWithParam<CtlCase> {};

TEST_P(KorvanectlCases, ExitCodeAndResult) {
    const auto& c = GetParam();
    const auto run = runCtl(c.args, c.simEnvironment);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    const auto lines = run.lines();
    if (c.lastLine.empty()) {
        EXPECT_TRUE(lines.empty()) << run.out;
    } else {
        ASSERT_FALSE(lines.empty()) << run.err;
        EXPECT_EQ(lines.back(), c.lastLine);
    }
    if (c.errorPart.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << run.err;
    }
    if (c.exitCode == 2) {
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one-line message";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, KorvanectlCases,
    ::testing::Values(
        CtlCase{
            "Frame", {"--simulate", "frame", "keyboard", hexOf(378, "a5")}, "", 0, "result 1", ""},
        CtlCase{"EmptyFrameSendsNothing",
                {"--simulate", "frame", "mousepad", ""},
                "",
                0,
                "result 1",
                ""},
        CtlCase{"WriteTable",
                {"--simulate", "write-table", "mouse", "4", hexOf(512, "05")},
                "",
                0,
                "result 1",
                ""},
        CtlCase{"RecordActiveIndex",
                {"--simulate", "record", "mousepad", "0", "1"},
                "",
                0,
                "result 1",
                ""},
        CtlCase{"Reset", {"--simulate", "reset", "mousepad"}, "", 0, "result 1", ""},
        CtlCase{
            "NoDevice", {"--simulate=none", "info", "mouse"}, "", 1, "result 0", "no mouse found"},
        CtlCase{"OnlyTheNamedClass",
                {"--simulate=mouse", "reset", "keyboard"},
                "",
                1,
                "result 0",
                "no keyboard found"},
        // Request 1 is BeginTransfer, 2 ReadDeviceInfo.
        CtlCase{"StatusFF",
                {"--simulate", "--sim-set", "fault=status-ff@2", "info", "keyboard"},
                "",
                1,
                "result -102",
                ""},
        CtlCase{"StatusFEFromEnvironment",
                {"--simulate", "frame", "mouse", hexOf(60, "01")},
                "fault=status-fe@2",
                1,
                "result -103",
                ""},
        CtlCase{"BadEnvironment",
                {"--simulate", "--sim-set", "fault=status-ff@9", "frame", "mouse", "01"},
                "latency-ms=abc",
                2,
                "",
                "KORVANE_SIM"},
        // The first chunk's answer misses its window; the last chunk is refused.
        CtlCase{"RefusalAfterALateAnswer",
                {"--simulate", "--sim-set", "fault=late@1:350", "--sim-set", "fault=status-fe@8",
                 "frame", "keyboard", hexOf(378, "11")},
                "",
                1,
                "result -103",
                ""},
        CtlCase{"PermissionDenied",
                {"--simulate", "--sim-set", "fault=eacces", "info", "mouse"},
                "",
                1,
                "",
                "sim:mouse#2/vendor (0c45:5523) was found but cannot be opened"},
        CtlCase{"Unplugged",
                {"--simulate", "--sim-set", "fault=unplug@2", "table", "mouse", "base"},
                "",
                1,
                "result -1",
                ""},
        CtlCase{"TooManyKeys",
                {"--simulate", "--sim-set", "keys=171", "table", "keyboard", "0"},
                "",
                1,
                "",
                "171 keys"},
        CtlCase{"TableOfWrongLength",
                {"--simulate", "write-table", "mouse", "0", "0102"},
                "",
                2,
                "",
                "512 bytes, got 2"},
        CtlCase{"NoCommand", {"--simulate"}, "", 2, "", "no command"},
        CtlCase{"UnknownCommand", {"--simulate", "flash", "mouse"}, "", 2, "", "unknown command"},
        CtlCase{"UnknownClass", {"--simulate", "info", "trackball"}, "", 2, "", "device class"},
        CtlCase{"ProfileFive", {"--simulate", "table", "mouse", "5"}, "", 2, "", "base or 0..4"},
        CtlCase{"OddHex", {"--simulate", "frame", "mouse", "abc"}, "", 2, "", "hex"},
        CtlCase{"RecordTooLong", {"--simulate", "record", "mouse", "0", "57"}, "", 2, "", "0..56"},
        CtlCase{"WrongArgumentCount", {"--simulate", "reset"}, "", 2, "", "argument"},
        CtlCase{"SimSetWithoutSimulate", {"--sim-set", "keys=3", "list"}, "", 2, "", "--simulate"},
        CtlCase{"BadSimSet",
                {"--simulate", "--sim-set", "fault=melt@1", "list"},
                "",
                2,
                "",
                "unknown kind"},
        CtlCase{"UnknownModel", {"--simulate=trackball", "list"}, "", 2, "", "trackball"},
        CtlCase{"UnknownOption", {"--verbose", "list"}, "", 2, "", "--verbose"},
        CtlCase{
            "EffectWithoutSettings", {"effect", "mouse"}, "", 2, "", "usage: korvanectl effect"},
        CtlCase{"EffectSevenSettings",
                {"effect", "mouse", "--settings", "1,2,3,4,5,6,7"},
                "",
                2,
                "",
                "usage: korvanectl effect"},
        CtlCase{"EffectSettingAbove255",
                {"effect", "mouse", "--settings", "1,2,3,4,5,6,7,256"},
                "",
                2,
                "",
                "usage: korvanectl effect"},
        CtlCase{"EffectUnknownModel",
                {"effect", "trackball", "--settings", "0,0,0,0,0,0,0,0"},
                "",
                2,
                "",
                "trackball"},
        CtlCase{"EffectSlotFive",
                {"effect", "rgb-keyboard", "--settings", "11,14,0,1,0,0,0,0", "--slot", "5"},
                "",
                2,
                "",
                "usage: korvanectl effect"},
        CtlCase{"EffectOddRandomHex",
                {"effect", "rgb-keyboard", "--settings", "1,14,0,1,1,0,0,0", "--random", "abc"},
                "",
                2,
                "",
                "usage: korvanectl effect"},
        CtlCase{"EffectUnknownOption",
                {"effect", "mouse", "--settings", "0,0,0,0,0,0,0,0", "--fast"},
                "",
                2,
                "",
                "--fast"}));

// The effect of a device replayed without device or clock: one line per step with the frame
// and the picture (alpha, red, green, blue per position), then the result.
TEST(Korvanectl, EffectPrintsTheFramesAndPicturesOfEachStep) {
    // Pad mode 3: the single colour on the 15 LEDs of a 60-byte frame; full brightness
    // scales by 256 >> 8.
    const auto pad =
        runCtl({"effect", "mousepad", "--settings", "3,14,0,1,0,1,128,255", "--steps", "2"});
    ASSERT_EQ(pad.exitCode, 0) << pad.err;
    const std::string padStep =
        " frame " + hexOf(15, "0180ff") + hexOf(15, "00") + " preview " + hexOf(15, "ff0180ff");
    EXPECT_EQ(pad.lines(),
              (std::vector<std::string>{"step 1" + padStep, "step 2" + padStep, "result 1"}));

    // Mono mode 10: the stored bytes scaled by the brightness (255 x 255 >> 8 = 254,
    // 128 x 255 >> 8 = 127); only full bytes show lit, in (36, 0, 255).
    const auto mono =
        runCtl({"effect", "mono-keyboard", "--settings", "10,14,0,1,0,0,0,0", "--custom", "ff80"});
    ASSERT_EQ(mono.exitCode, 0) << mono.err;
    ASSERT_EQ(mono.lines().size(), 2u);
    EXPECT_TRUE(mono.lines()[0].starts_with("step 1 frame fe7f0000")) << mono.lines()[0];
    EXPECT_NE(mono.lines()[0].find(" preview ff2400ffff000000ff000000"), std::string::npos);

    // Mouse modes 8 and above send nothing: the frame is empty.
    const auto idle = runCtl({"effect", "mouse2", "--settings", "8,14,0,1,0,0,0,0"});
    ASSERT_EQ(idle.exitCode, 0) << idle.err;
    EXPECT_EQ(idle.lines()[0], "step 1 frame  preview " + hexOf(20, "00000000"));
}

TEST(Korvanectl, EffectTakesTheRandomBytesInTurnAndStartsFromTheModesInitialisation) {
    // RGB mode 1 takes a random hue each time its phase wraps at 128: from step 128 on the
    // colour is ColourWheel[0x40] = (0, 255, 1), at PulseCurve[0] = 0, then PulseCurve[1] = 1.
    const auto pulse = runCtl({"effect", "rgb-keyboard", "--settings", "1,14,0,1,1,0,0,0",
                               "--steps", "129", "--random", "40"});
    ASSERT_EQ(pulse.exitCode, 0) << pulse.err;
    const auto lines = pulse.lines();
    ASSERT_EQ(lines.size(), 130u);
    const std::string last = lines[128];
    // Key 0's preview: alpha 255 x 1 >> 8 = 0, colour (0, 255, 1); before the wrap the hue was
    // 0: ColourWheel[0] = (255, 1, 0).
    EXPECT_NE(last.find(" preview 0000ff01"), std::string::npos) << last.substr(0, 60);
    EXPECT_NE(lines[126].find(" preview 00ff0100"), std::string::npos);

    // Zoned mode 4: selecting it starts with one dark frame; --no-init starts filling at once.
    const auto blocks = runCtl({"effect", "region-keyboard", "--settings", "4,14,0,1,1,0,0,0"});
    EXPECT_TRUE(blocks.lines()[0].starts_with("step 1 frame " + hexOf(36, "00") + " "));
    const auto noInit =
        runCtl({"effect", "region-keyboard", "--settings", "4,14,0,1,1,0,0,0", "--no-init"});
    EXPECT_FALSE(noInit.lines()[0].starts_with("step 1 frame " + hexOf(36, "00") + " "));
}

// A device slower than the answer time limit: every answer arrives during the next attempt
// or the next chunk's wait, and each still lands in its own chunk.
TEST(Korvanectl, SlowDeviceStillReadsTheTableInPlace) {
    const auto prompt = runCtl({"--simulate", "table", "mouse", "base"});
    const auto slow =
        runCtl({"--simulate", "--sim-set", "latency-ms=350", "table", "mouse", "base"});
    ASSERT_EQ(slow.exitCode, 0) << slow.err;
    EXPECT_EQ(slow.out, prompt.out);
    EXPECT_EQ(slow.lines().back(), "result 1");
}

// The advice names the rule file shipped with the program and the whole command.
TEST(Korvanectl, PermissionAdviceIsACommandToPaste) {
    const auto run = runCtl({"--simulate", "--sim-set", "fault=eacces", "table", "mouse", "0"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    const std::string tail =
        " /etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger\n";
    const auto cp = run.err.find("sudo cp ");
    ASSERT_NE(cp, std::string::npos) << run.err;
    ASSERT_GE(run.err.size(), tail.size());
    EXPECT_EQ(run.err.substr(run.err.size() - tail.size()), tail);
    const std::string rule = run.err.substr(cp + 8, run.err.size() - tail.size() - cp - 8);
    EXPECT_EQ(fs::path(rule).filename(), "70-korvane.rules");
    EXPECT_TRUE(fs::exists(rule)) << rule;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

TEST(Korvanectl, CommandLineSettingBeatsTheEnvironment) {
    const auto run = runCtl({"--simulate", "--sim-set", "keys=20", "table", "keyboard", "0"},
                            "keys=30,latency-ms=0");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto lines = run.lines();
    EXPECT_EQ(joined(lines, 0, lines.size() - 1).size(), 2u * 60);
}

struct TraceLine {
    char direction = '?';
    std::string path;
    std::vector<std::uint8_t> report;
};

std::vector<TraceLine> readTrace(const fs::path& file) {
    std::vector<TraceLine> lines;
    std::ifstream in(file);
    long ms = 0;
    TraceLine line;
    std::string hex;
    while (in >> ms >> line.direction >> line.path >> hex) {
        line.report.clear();
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            line.report.push_back(
                static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        }
        lines.push_back(line);
    }
    return lines;
}

class KorvanectlTrace : public ::testing::Test {
  protected:
    void TearDown() override { fs::remove(file_); }

    std::vector<TraceLine> writes() const {
        std::vector<TraceLine> result;
        for (auto& line : readTrace(file_)) {
            if (line.direction == 'W') {
                result.push_back(line);
            }
        }
        return result;
    }

    const fs::path file_ =
        fs::temp_directory_path() / ("korvanectl_trace_" + std::to_string(getpid()) + ".txt");
};

TEST_F(KorvanectlTrace, FrameGoesOutInSevenChunks) {
    ASSERT_EQ(runCtl({"--simulate", "frame", "keyboard", hexOf(378, "11")}, {}, file_).exitCode, 0);
    const auto lines = readTrace(file_);
    ASSERT_EQ(lines.size(), 14u);
    const auto sent = writes();
    ASSERT_EQ(sent.size(), 7u);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const auto& r = sent[i].report;
        ASSERT_EQ(r.size(), 64u);
        EXPECT_EQ(sent[i].path, "sim:rgb-keyboard#1/vendor");
        EXPECT_EQ(r[3], 0x12);
        EXPECT_EQ(r[4], i < 6 ? 56 : 42);
        EXPECT_EQ(r[5] | (r[6] << 8), static_cast<int>(56 * i));
        unsigned sum = 0;
        for (std::size_t b = 3; b < 64; ++b) {
            sum += r[b];
        }
        EXPECT_EQ(r[1] | (r[2] << 8), static_cast<int>(sum & 0xFFFF));
    }
}

TEST_F(KorvanectlTrace, StatusFEStopsAfterThreeReports) {
    const auto run = runCtl(
        {"--simulate", "--sim-set", "fault=status-fe@3", "frame", "keyboard", hexOf(378, "22")}, {},
        file_);
    EXPECT_EQ(run.lines().back(), "result -103");
    EXPECT_EQ(writes().size(), 3u);
}

TEST_F(KorvanectlTrace, ResetGoesOutWithoutChecksum) {
    ASSERT_EQ(runCtl({"--simulate", "reset", "mouse"}, {}, file_).exitCode, 0);
    const auto sent = writes();
    ASSERT_EQ(sent.size(), 1u);
    std::vector<std::uint8_t> expected(64, 0);
    expected[0] = 0x04;
    expected[3] = 0x0D;
    EXPECT_EQ(sent[0].report, expected);
}

}  // namespace
