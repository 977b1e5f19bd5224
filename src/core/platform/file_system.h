#pragma once
// The few file operations the stores (profile files, the registry stand-in) need, behind one
// interface so tests and fuzz targets can run the stores in memory at full speed.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace bv::platform {

enum class EntryKind { None, File, Folder, Other };

class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// What `path` names, links followed; None when nothing is there or it cannot be reached.
    virtual EntryKind kind(const std::filesystem::path& path) const = 0;
    /// The names in a folder; nullopt when it cannot be listed.
    [[nodiscard]] virtual std::optional<std::vector<std::string>> list(const std::filesystem::path& folder) const = 0;
    /// Creates one folder whose parent exists; an existing folder is fine. The reason when impossible.
    [[nodiscard]] virtual std::error_code createFolder(const std::filesystem::path& folder) = 0;
    /// As readFile(): nullopt when missing, throws when unreadable, not a file or too large.
    [[nodiscard]] virtual std::optional<std::vector<std::uint8_t>> read(
        const std::filesystem::path& file, std::uintmax_t maxBytes) const = 0;
    /// As writeFileAtomic(): the old file stays whole when this throws.
    virtual void write(const std::filesystem::path& file, std::span<const std::uint8_t> data) = 0;
};

/// Creates `folder` and its missing parents; the reason when that is impossible.
[[nodiscard]] std::error_code createFolders(FileSystem& files, const std::filesystem::path& folder);

/// The real file system.
FileSystem& diskFileSystem();

/// A file system held in memory, empty at first. Paths are taken as written (made lexically
/// normal); the roots ("/", "C:\\") always exist.
std::unique_ptr<FileSystem> openMemoryFileSystem();

} // namespace bv::platform
