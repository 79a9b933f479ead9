// The hidapi backend's own rules, over a fake of the hidapi calls that notices when two calls
// run at once where hidapi does not allow it.

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "backends/hidapi/hidapi_backend.h"
#include "backends/hidapi/hidapi_calls.h"
#include "backends/hidapi/hidapi_handle.h"

namespace korvane::backends {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Counts the callers inside a region; a second one inside at the same time is an overlap.
class Region {
  public:
    class Inside {
      public:
        explicit Inside(Region& r) : region_(r) {
            if (region_.inside_.fetch_add(1) != 0) {
                region_.overlaps_.fetch_add(1);
            }
            region_.calls_.fetch_add(1);
        }
        ~Inside() { region_.inside_.fetch_sub(1); }
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;

      private:
        Region& region_;
    };

    int overlaps() const { return overlaps_.load(); }
    int calls() const { return calls_.load(); }

  private:
    std::atomic<int> inside_{0};
    std::atomic<int> overlaps_{0};
    std::atomic<int> calls_{0};
};

// A switch the test holds closed to keep a call from returning.
class Gate {
  public:
    void close() {
        std::lock_guard guard(mutex_);
        open_ = false;
    }
    void open() {
        {
            std::lock_guard guard(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    // Called by the fake: marks itself waiting and returns once the gate is open.
    void pass() {
        std::unique_lock guard(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(guard, [&] { return open_; });
        --waiting_;
    }
    bool waitForCaller(std::chrono::milliseconds limit = 2000ms) {
        std::unique_lock guard(mutex_);
        return changed_.wait_for(guard, limit, [&] { return waiting_ > 0; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int waiting_ = 0;
};

class FakeHidapiCalls final : public HidapiCalls {
  public:
    struct Device {
        std::string path;
        Region io;
    };

    FakeHidapiCalls() {
        for (int i = 0; i < 3; ++i) {
            EnumeratedInterface e;
            e.path = "/dev/hidraw" + std::to_string(i);
            e.vendorId = 0x0C45;
            e.productId = 0x5523;
            e.usagePage = 0xFF1C;
            e.usage = 0x0092;
            entries_.push_back(e);
        }
    }

    // Library-wide calls, each taking a little time so that unserialised callers meet.
    bool init() override {
        Region::Inside in(library);
        return true;
    }
    std::vector<EnumeratedInterface> enumerate() override {
        Region::Inside in(library);
        std::this_thread::sleep_for(200us);
        return entries_;
    }
    HidapiDevice* openPath(const std::string& path) override {
        Region::Inside in(library);
        std::this_thread::sleep_for(200us);
        if (accessErrors.contains(path)) {
            return nullptr;
        }
        auto* device = new Device{path, {}};
        return reinterpret_cast<HidapiDevice*>(device);
    }
    void close(HidapiDevice* device) override {
        Region::Inside in(library);
        std::this_thread::sleep_for(100us);
        auto* d = reinterpret_cast<Device*>(device);
        // The per-device region goes with the device; its overlaps are kept.
        deviceOverlaps.fetch_add(d->io.overlaps());
        delete d;
        closes.fetch_add(1);
    }

    int write(HidapiDevice* device, std::span<const std::uint8_t> report) override {
        Region::Inside in(reinterpret_cast<Device*>(device)->io);
        {
            std::lock_guard guard(mutex_);
            written_.emplace_back(report.begin(), report.end());
        }
        writeGate.pass();
        std::this_thread::sleep_for(100us);
        return static_cast<int>(report.size());
    }
    int readTimeout(HidapiDevice* device, std::span<std::uint8_t> buffer,
                    int milliseconds) override {
        Region::Inside in(reinterpret_cast<Device*>(device)->io);
        readGate.pass();
        {
            std::lock_guard guard(mutex_);
            if (!inputs_.empty()) {
                const Bytes report = inputs_.front();
                inputs_.erase(inputs_.begin());
                const std::size_t n = std::min(report.size(), buffer.size());
                std::copy_n(report.begin(), n, buffer.begin());
                return static_cast<int>(n);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(milliseconds, 1)));
        return 0;
    }

    int accessError(const std::string& path, bool write) override {
        std::lock_guard guard(mutex_);
        accessAskedForWrite = write;
        const auto it = accessErrors.find(path);
        return it == accessErrors.end() ? 0 : it->second;
    }
    std::optional<Bytes> reportDescriptor(const std::string&) override { return descriptor; }
    bool exists(const std::string&) override { return true; }

    void queueInput(Bytes report) {
        std::lock_guard guard(mutex_);
        inputs_.push_back(std::move(report));
    }
    std::vector<Bytes> written() const {
        std::lock_guard guard(mutex_);
        return written_;
    }
    const std::vector<EnumeratedInterface>& entries() const { return entries_; }

    Region library;
    std::atomic<int> deviceOverlaps{0};
    std::atomic<int> closes{0};
    Gate writeGate;
    Gate readGate;
    std::map<std::string, int> accessErrors;  // set before the backend is used
    bool accessAskedForWrite = false;
    std::optional<Bytes> descriptor;

  private:
    std::vector<EnumeratedInterface> entries_;
    mutable std::mutex mutex_;
    std::vector<Bytes> written_;
    std::vector<Bytes> inputs_;
};

// The vendor collection 0xFF1C/0x92 with 63-byte reports under ID 4.
const Bytes kNumbered{0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04,
                      0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0xC0};
// The same without report IDs.
const Bytes kUnnumbered{0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x75,
                        0x08, 0x95, 0x40, 0x09, 0x01, 0x81, 0x02, 0xC0};

class HidapiBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_ = std::make_shared<FakeHidapiCalls>();
        fake_->descriptor = kNumbered;
        library_ = std::make_shared<HidapiLibrary>(fake_);
        backend_ = makeHidapiBackend(library_);
    }

    std::unique_ptr<device::HidHandle> openFirst() {
        const auto list = backend_->enumerate();
        EXPECT_TRUE(list.has_value() && !list->empty());
        return backend_->open(list->front(), device::HidAccess::ReadWrite);
    }

    // Waits (without limit of its own beyond a generous one) for the fake to close n devices.
    bool waitForCloses(int n) {
        const auto deadline = Clock::now() + 5s;
        while (fake_->closes.load() < n) {
            if (Clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    std::shared_ptr<FakeHidapiCalls> fake_;
    std::shared_ptr<HidapiLibrary> library_;
    std::unique_ptr<device::HidBackend> backend_;
};

// The connection threads, the listener and the holder enumerate, open and close at once; two
// backends share the library as two parts of one process would.
TEST_F(HidapiBackendTest, LibraryCallsNeverRunTogether) {
    auto second = makeHidapiBackend(library_);
    std::vector<std::thread> threads;
    for (int t = 0; t < 5; ++t) {
        device::HidBackend& backend = t % 2 == 0 ? *backend_ : *second;
        threads.emplace_back([&backend] {
            for (int i = 0; i < 30; ++i) {
                const auto list = backend.enumerate();
                ASSERT_TRUE(list.has_value());
                auto handle = backend.open((*list)[i % list->size()], device::HidAccess::ReadWrite);
                ASSERT_NE(handle, nullptr);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_GE(fake_->library.calls(), 5 * 30 * 3);
    EXPECT_EQ(fake_->library.overlaps(), 0);
    EXPECT_EQ(fake_->closes.load(), 5 * 30);
}

TEST_F(HidapiBackendTest, ReadsAndWritesOfOneDeviceNeverRunTogether) {
    auto handle = openFirst();
    ASSERT_NE(handle, nullptr);
    std::atomic<bool> writing{true};
    std::thread reader([&] {
        Bytes buffer(64);
        std::size_t n = 0;
        while (writing.load()) {
            handle->read(buffer, 2ms, n);
            handle->read(buffer, 0ms, n);
        }
    });
    const Bytes report(64, 0x04);
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(handle->write(report, 1000ms));
    }
    writing = false;
    reader.join();
    handle.reset();
    EXPECT_EQ(fake_->deviceOverlaps.load(), 0);
    EXPECT_EQ(fake_->written().size(), 100u);
}

// A device that does not take a write (the kernel keeps it for seconds).
TEST_F(HidapiBackendTest, StuckWriteIsGivenUpAndLaterWritesFailAtOnce) {
    auto handle = openFirst();
    const Bytes a(64, 0xA1), b(64, 0xB2), c(64, 0xC3);
    fake_->writeGate.close();
    EXPECT_FALSE(handle->write(a, 50ms));
    const auto before = Clock::now();
    EXPECT_FALSE(handle->write(b, 1000ms));
    EXPECT_LT(Clock::now() - before, 1000ms) << "did not wait for its own time limit";
    fake_->writeGate.open();
    // Once the device has let go, writing works again.
    const auto deadline = Clock::now() + 5s;
    bool written = false;
    while (!written && Clock::now() < deadline) {
        written = handle->write(c, 1000ms);
        if (!written) {
            std::this_thread::sleep_for(1ms);
        }
    }
    EXPECT_TRUE(written);
    EXPECT_EQ(fake_->written(), (std::vector<Bytes>{a, c})) << "b is never sent";
}

// A write that cannot begin within its time limit (the device busy with a read that does
// not return) is cancelled, not sent once the device is free.
TEST_F(HidapiBackendTest, WriteThatCouldNotBeginIsNeverSent) {
    auto handle = openFirst();
    fake_->readGate.close();
    std::thread reader([&] {
        Bytes buffer(64);
        std::size_t n = 0;
        handle->read(buffer, 100ms, n);
    });
    ASSERT_TRUE(fake_->readGate.waitForCaller());
    const Bytes late(64, 0x11), next(64, 0x22);
    EXPECT_FALSE(handle->write(late, 30ms));
    fake_->readGate.open();
    reader.join();
    EXPECT_TRUE(handle->write(next, 1000ms));
    EXPECT_EQ(fake_->written(), (std::vector<Bytes>{next}));
}

TEST_F(HidapiBackendTest, ClosingDoesNotWaitForAStuckWriteAndSendsNothingMore) {
    auto handle = openFirst();
    const Bytes a(64, 0xA1);
    fake_->writeGate.close();
    EXPECT_FALSE(handle->write(a, 20ms));
    const auto before = Clock::now();
    handle.reset();
    EXPECT_LT(Clock::now() - before, 1000ms);
    // The stuck write's thread keeps the device until the kernel gives the write up.
    EXPECT_EQ(fake_->closes.load(), 0);
    fake_->writeGate.open();
    EXPECT_TRUE(waitForCloses(1));
    EXPECT_EQ(fake_->written(), (std::vector<Bytes>{a}));
}

struct AccessCase {
    const char* name;
    int error;
    device::HidAccess access;
    device::HidOpenFailure expected;
};

void PrintTo(const AccessCase& c, std::ostream* os) {
    *os << c.name;
}

class HidapiOpenFailure : public HidapiBackendTest,
                          public ::testing::WithParamInterface<AccessCase> {};

TEST_P(HidapiOpenFailure, IsToldFromTheNodesAccess) {
    const auto& c = GetParam();
    const std::string path = fake_->entries().front().path;
    fake_->accessErrors[path] = c.error;
    const auto list = backend_->enumerate();
    EXPECT_EQ(backend_->open(list->front(), c.access), nullptr);
    EXPECT_EQ(backend_->whyNotOpened(list->front(), c.access), c.expected);
    EXPECT_EQ(fake_->accessAskedForWrite, c.access == device::HidAccess::ReadWrite);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidapiOpenFailure,
    ::testing::Values(
        AccessCase{"NoAccess", EACCES, device::HidAccess::ReadWrite,
                   device::HidOpenFailure::PermissionDenied},
        AccessCase{"NotPermitted", EPERM, device::HidAccess::ReadOnly,
                   device::HidOpenFailure::PermissionDenied},
        AccessCase{"Gone", ENOENT, device::HidAccess::ReadWrite, device::HidOpenFailure::Other},
        // Accessible, yet hidapi could not open it (busy, not HID).
        AccessCase{"Accessible", 0, device::HidAccess::ReadWrite, device::HidOpenFailure::Other}),
    [](const auto& info) { return std::string(info.param.name); });

struct NumberingCase {
    const char* name;
    std::optional<Bytes> descriptor;
    Bytes expected;  // what a reader gets for the node's report 04 AA
};

void PrintTo(const NumberingCase& c, std::ostream* os) {
    *os << c.name;
}

class HidapiReportNumbering : public HidapiBackendTest,
                              public ::testing::WithParamInterface<NumberingCase> {};

TEST_P(HidapiReportNumbering, ByteZeroIsAlwaysTheReportId) {
    const auto& c = GetParam();
    fake_->descriptor = c.descriptor;
    auto handle = openFirst();
    fake_->queueInput({0x04, 0xAA});
    Bytes buffer(64, 0xEE);
    std::size_t n = 0;
    ASSERT_EQ(handle->read(buffer, 1000ms, n), device::HidReadStatus::Ok);
    buffer.resize(n);
    EXPECT_EQ(buffer, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidapiReportNumbering,
    ::testing::Values(NumberingCase{"Numbered", kNumbered, {0x04, 0xAA}},
                      // Bare data from the node: the 0 ID goes in front.
                      NumberingCase{"Unnumbered", kUnnumbered, {0x00, 0x04, 0xAA}},
                      // Nothing known of the descriptor: report IDs stay on.
                      NumberingCase{"Unreadable", std::nullopt, {0x04, 0xAA}},
                      NumberingCase{"Empty", Bytes{}, {0x04, 0xAA}},
                      NumberingCase{"Malformed", Bytes{0x06, 0x1C}, {0x04, 0xAA}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::backends
