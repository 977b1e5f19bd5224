#pragma once
// A unique temporary folder for one test, removed afterwards.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace bv::test {

class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("bvtest-" + std::to_string(::getpid()) + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
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
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& sub) const { return path_ / sub; }

private:
    std::filesystem::path path_;
};

} // namespace bv::test
