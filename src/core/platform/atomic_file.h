#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace korvane::platform {

// Replaces the file's contents as a whole: writes a temp file in the same folder,
// flushes it and renames it over the target. On any failure returns false and leaves the
// old file (or its absence) untouched; a missing folder is not created. A path that is a
// symbolic link writes the file the link points to (the link stays a link).
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Whether a file can be created in the folder right now (it exists, is a folder, and this
// process may write there; read-only mounts and ACLs included): a probe file is created and
// removed at once.
bool canCreateFilesIn(const std::filesystem::path& folder);

// Reads a whole file of at most maxBytes; nullopt when it is missing, unreadable or larger
// (files from outside are never trusted to be small).
std::optional<std::vector<std::uint8_t>> readFileLimited(const std::filesystem::path& path,
                                                         std::size_t maxBytes);

}  // namespace korvane::platform
