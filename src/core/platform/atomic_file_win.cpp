#include "platform/atomic_file.h"

#include <windows.h>

#include <random>
#include <string>
#include <system_error>

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void throwLastError(const std::string& what, const fs::path& file, DWORD error = GetLastError())
{
    throw fs::filesystem_error(what, file, std::error_code(static_cast<int>(error), std::system_category()));
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};

} // namespace

void writeFileAtomic(const fs::path& requested, std::span<const std::uint8_t> data)
{
    // Renaming over a link would replace the link with a plain file.
    const fs::path target = resolveWriteTarget(requested);
    // What earlier saves that were killed left behind goes first.
    removeStaleTemporariesOnce(target);
    std::random_device rd;
    const fs::path temp
        = target.parent_path() / (L"." + target.filename().wstring() + L"." + std::to_wstring(rd()) + L".tmp");
    {
        Handle file;
        file.h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file.h == INVALID_HANDLE_VALUE)
            throwLastError("cannot create a temporary file for", target);
        std::size_t done = 0;
        while (done < data.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(file.h, data.data() + done, chunk, &written, nullptr) || written == 0) {
                const DWORD error = GetLastError();
                CloseHandle(file.h);
                file.h = INVALID_HANDLE_VALUE;
                DeleteFileW(temp.c_str());
                throwLastError("cannot write", target, error);
            }
            done += written;
        }
        if (!FlushFileBuffers(file.h)) {
            const DWORD error = GetLastError();
            CloseHandle(file.h);
            file.h = INVALID_HANDLE_VALUE;
            DeleteFileW(temp.c_str());
            throwLastError("cannot write", target, error);
        }
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        throwLastError("cannot replace", target, error);
    }
}

std::optional<std::vector<std::uint8_t>> readFile(const fs::path& file, std::uintmax_t maxBytes)
{
    Handle h;
    h.h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h.h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return std::nullopt;
        // A folder opens as "access denied"; say what it is.
        std::error_code ec;
        if (fs::is_directory(file, ec))
            throw fs::filesystem_error("cannot read", file, std::make_error_code(std::errc::is_a_directory));
        throwLastError("cannot open", file, error);
    }
    // A pipe or device is no file of ours, and reading one may never end.
    if (GetFileType(h.h) != FILE_TYPE_DISK)
        throw NotARegularFileError(file);
    LARGE_INTEGER size {};
    if (GetFileSizeEx(h.h, &size) && static_cast<std::uintmax_t>(size.QuadPart) > maxBytes)
        throw fs::filesystem_error("file is too large to read (limit " + std::to_string(maxBytes) + " bytes)", file,
            std::make_error_code(std::errc::file_too_large));
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[64 * 1024];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h.h, buffer, sizeof buffer, &n, nullptr))
            throwLastError("cannot read", file);
        if (n == 0)
            break;
        if (bytes.size() + n > maxBytes)
            throw fs::filesystem_error("file is too large to read (limit " + std::to_string(maxBytes) + " bytes)", file,
                std::make_error_code(std::errc::file_too_large));
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

} // namespace bv::platform
