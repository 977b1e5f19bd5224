#pragma once
// A unique temporary folder for one test, removed afterwards.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>

namespace bv::test {

/// A path as UTF-8, the form core takes (path::string() is the ANSI code page on Windows).
inline std::string utf8(const std::filesystem::path& p)
{
    const auto s = p.u8string();
    return std::string(s.begin(), s.end());
}

/// A UTF-8 text as a path.
inline std::filesystem::path fromUtf8(const std::string& s)
{
    return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

/// The separator the program writes after folder names.
#ifdef _WIN32
inline const std::string kSep = "\\";
#else
inline const std::string kSep = "/";
#endif

class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter { 0 };
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path()
            / ("bvtest-" + std::to_string(std::random_device {}()) + "-" + std::to_string(stamp) + "-"
                + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return utf8(path_); }
    std::filesystem::path operator/(const std::string& sub) const { return path_ / sub; }

private:
    std::filesystem::path path_;
};

} // namespace bv::test
