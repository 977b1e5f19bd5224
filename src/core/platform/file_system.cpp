#include "platform/file_system.h"

#include "platform/atomic_file.h"

#include <map>
#include <mutex>
#include <system_error>

namespace bv::platform {

namespace fs = std::filesystem;

std::error_code createFolders(FileSystem& files, const fs::path& folder)
{
    if (folder.empty())
        return {};
    switch (files.kind(folder)) {
    case EntryKind::Folder:
        return {};
    case EntryKind::None:
        break;
    default:
        return std::make_error_code(std::errc::not_a_directory);
    }
    const fs::path parent = folder.parent_path();
    if (parent != folder)
        if (const auto ec = createFolders(files, parent))
            return ec;
    return files.createFolder(folder);
}

namespace {

class DiskFileSystem final : public FileSystem {
public:
    EntryKind kind(const fs::path& path) const override
    {
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (ec || !fs::exists(status))
            return EntryKind::None;
        if (fs::is_regular_file(status))
            return EntryKind::File;
        return fs::is_directory(status) ? EntryKind::Folder : EntryKind::Other;
    }

    std::optional<std::vector<std::string>> list(const fs::path& folder) const override
    {
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        if (ec)
            return std::nullopt;
        std::vector<std::string> names;
        for (; it != fs::directory_iterator(); it.increment(ec))
            names.push_back(it->path().filename().string());
        return names;
    }

    std::error_code createFolder(const fs::path& folder) override
    {
        std::error_code ec;
        // Losing a race against another creator is fine; anything else in the way is not.
        fs::create_directory(folder, ec);
        if (!ec && !fs::is_directory(folder, ec) && !ec)
            ec = std::make_error_code(std::errc::not_a_directory);
        return ec;
    }

    std::optional<std::vector<std::uint8_t>> read(const fs::path& file, std::uintmax_t maxBytes) const override
    {
        return readFile(file, maxBytes);
    }

    void write(const fs::path& file, std::span<const std::uint8_t> data) override { writeFileAtomic(file, data); }
};

class MemoryFileSystem final : public FileSystem {
public:
    EntryKind kind(const fs::path& path) const override
    {
        const std::lock_guard lock(mutex_);
        return kindOf(key(path));
    }

    std::optional<std::vector<std::string>> list(const fs::path& folder) const override
    {
        const std::lock_guard lock(mutex_);
        const fs::path dir = key(folder);
        if (kindOf(dir) != EntryKind::Folder)
            return std::nullopt;
        std::vector<std::string> names;
        for (const auto& [path, entry] : entries_)
            if (path.parent_path() == dir && path != dir)
                names.push_back(path.filename().string());
        return names;
    }

    std::error_code createFolder(const fs::path& folder) override
    {
        const std::lock_guard lock(mutex_);
        const fs::path dir = key(folder);
        if (kindOf(dir) != EntryKind::None)
            return kindOf(dir) == EntryKind::Folder ? std::error_code() : std::make_error_code(std::errc::file_exists);
        if (kindOf(dir.parent_path()) != EntryKind::Folder)
            return std::make_error_code(std::errc::no_such_file_or_directory);
        entries_[dir] = Entry { true, {} };
        return {};
    }

    std::optional<std::vector<std::uint8_t>> read(const fs::path& file, std::uintmax_t maxBytes) const override
    {
        const std::lock_guard lock(mutex_);
        const fs::path p = key(file);
        switch (kindOf(p)) {
        case EntryKind::None:
            return std::nullopt;
        case EntryKind::File:
            break;
        default:
            throw fs::filesystem_error("cannot read", file, std::make_error_code(std::errc::is_a_directory));
        }
        const auto& data = entries_.at(p).data;
        if (data.size() > maxBytes)
            throw fs::filesystem_error("the file is too large", file, std::make_error_code(std::errc::file_too_large));
        return data;
    }

    void write(const fs::path& file, std::span<const std::uint8_t> data) override
    {
        const std::lock_guard lock(mutex_);
        const fs::path p = key(file);
        if (kindOf(p.parent_path()) != EntryKind::Folder)
            throw fs::filesystem_error(
                "cannot write the file", file, std::make_error_code(std::errc::no_such_file_or_directory));
        if (kindOf(p) == EntryKind::Folder)
            throw fs::filesystem_error("cannot write the file", file, std::make_error_code(std::errc::is_a_directory));
        entries_[p] = Entry { false, { data.begin(), data.end() } };
    }

private:
    struct Entry {
        bool folder;
        std::vector<std::uint8_t> data;
    };

    static fs::path key(const fs::path& path)
    {
        fs::path p = path.lexically_normal();
        // "a/b/" and "a/b" are the same entry.
        if (!p.has_filename() && p.has_relative_path())
            p = p.parent_path();
        return p;
    }

    EntryKind kindOf(const fs::path& p) const
    {
        if (p.empty() || p == p.root_path())
            return EntryKind::Folder;
        const auto it = entries_.find(p);
        if (it == entries_.end())
            return EntryKind::None;
        return it->second.folder ? EntryKind::Folder : EntryKind::File;
    }

    mutable std::mutex mutex_;
    std::map<fs::path, Entry> entries_;
};

} // namespace

FileSystem& diskFileSystem()
{
    static DiskFileSystem disk;
    return disk;
}

std::unique_ptr<FileSystem> openMemoryFileSystem()
{
    return std::make_unique<MemoryFileSystem>();
}

} // namespace bv::platform
