#include "core/platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

namespace korvane::platform {
namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now so a failing close (delayed write errors on some file systems) is seen.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Short and independent of the target's name, so a target name near the file-name limit
// still gets a temp file; pid + counter + random keep threads and processes apart.
std::string tempName() {
    static std::atomic<unsigned long> counter{0};
    thread_local std::mt19937_64 rng{std::random_device{}()};
    return ".korvane-tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1)) + "-" + std::to_string(rng() & 0xFFFFFFu);
}

void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a chain of symbolic links ends at (the path itself when it is no link), so a
// settings file kept elsewhere through a link is updated there and the link survives.
// Relative targets count from the link's folder. nullopt for a loop.
std::optional<std::filesystem::path> linkTarget(std::filesystem::path path) {
    constexpr int kMaxLinks = 40;  // the kernel's own limit for one lookup
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::error_code ec;
        const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
        if (ec) {
            return std::nullopt;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return std::nullopt;
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& requested,
                         std::span<const std::uint8_t> bytes) {
    if (requested.empty() || !requested.has_filename()) {
        return false;
    }
    const auto resolved = linkTarget(requested);
    if (!resolved || !resolved->has_filename()) {
        return false;
    }
    const std::filesystem::path& path = *resolved;
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }

    // A replaced file keeps its permissions; a new one gets the usual 0666 & ~umask.
    mode_t mode = 0666;
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode)) {
            return false;
        }
        mode = existing.st_mode & 07777;
    }

    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = folder / tempName();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    Fd file(fd);
    bool ok = writeAll(file.get(), bytes);
    if (ok && exists) {
        ok = ::fchmod(file.get(), mode) == 0;
    }
    ok = ok && ::fsync(file.get()) == 0;
    ok = file.close() && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

bool canCreateFilesIn(const std::filesystem::path& folder) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path probe = folder / tempName();
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

std::optional<std::vector<std::uint8_t>> readFileLimited(const std::filesystem::path& path,
                                                         std::size_t maxBytes) {
    // Non-blocking so that a FIFO put where a settings file belongs cannot hang the
    // caller in open(); it is refused below as not a regular file.
    Fd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        return std::nullopt;
    }
    // The size may change between fstat and read: read until end of file, but never
    // more than one byte past the limit.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > maxBytes) {
                return std::nullopt;
            }
            const std::size_t cap = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
            bytes.resize(std::min(cap, std::max<std::size_t>(used * 2, 4096)));
        }
        const ssize_t n = ::read(file.get(), bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    if (used > maxBytes) {
        return std::nullopt;
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace korvane::platform
