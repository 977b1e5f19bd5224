#include "platform/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void throwErrno(const std::string& what, const fs::path& file, int error)
{
    throw fs::filesystem_error(what, file, std::error_code(error, std::system_category()));
}

// Closes the descriptor and removes the temporary file unless the write was committed.
class TempFile {
public:
    TempFile(int fd, fs::path path)
        : fd_(fd)
        , path_(std::move(path))
    {
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    TempFile& operator=(TempFile&&) = delete;
    ~TempFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlink(path_.c_str());
    }
    TempFile(TempFile&& other) noexcept
        : fd_(other.fd_)
        , path_(std::move(other.path_))
        , committed_(other.committed_)
    {
        other.fd_ = -1;
        other.committed_ = true;
    }

    int fd() const { return fd_; }
    const fs::path& path() const { return path_; }
    /// Closes the descriptor; returns the close() error, or 0.
    int close()
    {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }
    void commit() { committed_ = true; }

private:
    int fd_;
    fs::path path_;
    bool committed_ = false;
};

std::string randomSuffix()
{
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 rng { std::random_device {}() };
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kChars) - 2);
    std::string s(6, ' ');
    for (auto& c : s)
        c = kChars[pick(rng)];
    return s;
}

// Opens a new file ".<name>.XXXXXX" beside the target. Created with 0666 so that the umask
// applies, as it would to a file written in place (mkstemp would force 0600).
TempFile createTempBeside(const fs::path& target)
{
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    // Leave room for the dot and suffix within the 255-byte name limit.
    const std::string name = target.filename().string().substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temp = folder / ("." + name + "." + randomSuffix());
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return TempFile(fd, std::move(temp));
        if (errno != EEXIST)
            throwErrno("cannot create a temporary file to write", target, errno);
    }
    throwErrno("cannot find a free temporary file name to write", target, EEXIST);
}

void writeAll(int fd, const std::uint8_t* data, std::size_t size, const fs::path& target)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwErrno("cannot write", target, errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// Gives the new file the old one's permissions, fills it and flushes it to disk.
void writeAndSync(int fd, std::span<const std::uint8_t> data, const struct stat* old, const fs::path& target)
{
    if (old)
        ::fchmod(fd, old->st_mode & 07777);
    writeAll(fd, data.data(), data.size(), target);
    if (::fsync(fd) != 0)
        throwErrno("cannot flush to disk", target, errno);
}

// Makes the rename itself durable. Best effort: the new file is already in place, so a failure
// here must not be reported as if the old contents had survived.
void syncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

namespace {

// Writes the data into a file that has no name until it is complete (O_TMPFILE), then gives it
// the temporary name only for the moment before the rename. A process killed while writing
// leaves nothing behind. nullopt when the file system cannot make unnamed files.
std::optional<TempFile> writeUnnamed(const fs::path& target, std::span<const std::uint8_t> data, const struct stat* old)
{
#ifdef O_TMPFILE
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::nullopt;
    struct Closer {
        int fd;
        ~Closer()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } closer { fd };
    writeAndSync(fd, data, old, target);
    // Linking through /proc needs no privilege, unlike AT_EMPTY_PATH.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const std::string name = target.filename().string().substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temp = folder / ("." + name + "." + randomSuffix());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            const int error = ::close(fd) == 0 ? 0 : errno;
            closer.fd = -1;
            TempFile named(-1, std::move(temp));
            if (error)
                throwErrno("cannot finish writing", target, error);
            return named;
        }
        if (errno != EEXIST)
            return std::nullopt; // no /proc: write again the named way
    }
    return std::nullopt;
#else
    (void)target;
    (void)data;
    (void)old;
    return std::nullopt;
#endif
}

} // namespace

void writeFileAtomic(const fs::path& requested, std::span<const std::uint8_t> data)
{
    if (!requested.has_filename())
        throwErrno("cannot write a file without a name", requested, EINVAL);
    // Renaming over a link would replace the link with a plain file.
    const fs::path target = resolveWriteTarget(requested);
    // What earlier saves that were killed left behind goes first.
    removeStaleTemporariesOnce(target);

    // Someone may have restricted the old file on purpose; keep its permissions.
    struct stat old { };
    const bool hadOld = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    std::optional<TempFile> temp = writeUnnamed(target, data, hadOld ? &old : nullptr);
    if (!temp) {
        temp.emplace(createTempBeside(target));
        writeAndSync(temp->fd(), data, hadOld ? &old : nullptr, target);
        if (const int error = temp->close())
            throwErrno("cannot finish writing", target, error);
    }
    if (::rename(temp->path().c_str(), target.c_str()) != 0)
        throwErrno("cannot replace", target, errno);
    temp->commit();
    syncFolder(target.parent_path());
}

std::optional<std::vector<std::uint8_t>> readFile(const fs::path& file, std::uintmax_t maxBytes)
{
    // Without O_NONBLOCK a FIFO with no writer would hold the open for ever.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        throwErrno("cannot open", file, errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer { fd };

    struct stat st { };
    if (::fstat(fd, &st) != 0)
        throwErrno("cannot read", file, errno);
    if (S_ISDIR(st.st_mode))
        throwErrno("cannot read", file, EISDIR);
    // A FIFO, socket or device is no file of ours, and reading one may never end.
    if (!S_ISREG(st.st_mode))
        throw NotARegularFileError(file);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        throwErrno("file is too large to read (limit " + std::to_string(maxBytes) + " bytes)", file, EFBIG);

    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwErrno("cannot read", file, errno);
        }
        if (n == 0)
            break;
        // The file may grow while we read.
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes)
            throwErrno("file is too large to read (limit " + std::to_string(maxBytes) + " bytes)", file, EFBIG);
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

} // namespace bv::platform
