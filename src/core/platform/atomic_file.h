#pragma once
// Writing files so that a failure never leaves a half-written file behind.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace bv::platform {

/// Writes `data` to a temporary file in the target's folder, flushes it to disk and renames it
/// over `target`. A target that is a symbolic link is written through: the file it leads to is
/// replaced, beside itself, and the link stays. Throws std::filesystem::filesystem_error; on
/// failure the old file is intact.
void writeFileAtomic(const std::filesystem::path& target, std::span<const std::uint8_t> data);

/// The file a write to `target` lands in: `target` itself, or where its chain of symbolic links
/// ends (which need not exist yet). Throws std::filesystem::filesystem_error for a link loop.
std::filesystem::path resolveWriteTarget(const std::filesystem::path& target);

/// Reads a whole file; nullopt when it does not exist. Throws std::filesystem::filesystem_error
/// when it exists but cannot be read. Refuses (throws) files larger than `maxBytes`.
std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& file,
                                                  std::uintmax_t maxBytes = 64u * 1024u * 1024u);

} // namespace bv::platform
