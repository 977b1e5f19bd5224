#pragma once
// Writing files so that a failure never leaves a half-written file behind.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace bv::platform {

/// A path that names a FIFO, socket or device where a file is expected; what() says so in words.
class NotARegularFileError : public std::filesystem::filesystem_error {
public:
    explicit NotARegularFileError(const std::filesystem::path& path)
        : std::filesystem::filesystem_error(
            "not a regular file", path, std::make_error_code(std::errc::invalid_argument))
        , FText("\"" + path.string() + "\" is not a regular file (it is a pipe, socket or device)")
    {
    }
    const char* what() const noexcept override { return FText.c_str(); }

private:
    std::string FText;
};

/// Writes `data` to a temporary file in the target's folder, flushes it to disk and renames it
/// over `target`. A target that is a symbolic link is written through: the file it leads to is
/// replaced, beside itself, and the link stays. Throws std::filesystem::filesystem_error; on
/// failure the old file is intact.
void writeFileAtomic(const std::filesystem::path& target, std::span<const std::uint8_t> data);

/// Removes what earlier saves of `target` left behind when they were killed: files beside it named
/// as this program names its temporary files (".<name>.<letters and digits>", on Windows with
/// ".tmp"), last written more than `age` ago. Failures to remove are passed over.
void removeStaleTemporaries(const std::filesystem::path& target, std::chrono::seconds age = std::chrono::seconds(60));

/// removeStaleTemporaries() on the first save of `target` in this process only: what a killed
/// save left was left before this process began, and a folder scan on every save would slow each
/// transfer of a file that is written often.
void removeStaleTemporariesOnce(const std::filesystem::path& target);

/// The file a write to `target` lands in: `target` itself, or where its chain of symbolic links
/// ends (which need not exist yet). Throws std::filesystem::filesystem_error for a link loop.
std::filesystem::path resolveWriteTarget(const std::filesystem::path& target);

/// Reads a whole file; nullopt when it does not exist. Throws std::filesystem::filesystem_error
/// when it exists but cannot be read, is not a regular file (a FIFO is refused at once, never
/// waited on) or is larger than `maxBytes`.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> readFile(
    const std::filesystem::path& file, std::uintmax_t maxBytes = 64u * 1024u * 1024u);

} // namespace bv::platform
