#pragma once
// A folder of this process's own for the targets that work in files. Made on first use and removed
// again when the process ends normally (a corpus replay, or libFuzzer's end).

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace bvfuzz {

inline const std::filesystem::path& workFolder(const char* name)
{
    struct Folder {
        std::filesystem::path dir;
        explicit Folder(const char* name)
            : dir(std::filesystem::temp_directory_path()
                / ("bvfuzz-" + std::string(name) + "-" + std::to_string(::getpid())))
        {
            std::filesystem::create_directories(dir);
        }
        ~Folder()
        {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        }
    };
    static const Folder folder(name);
    return folder.dir;
}

} // namespace bvfuzz
