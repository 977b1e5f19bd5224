#pragma once
// Sets environment variables for one test and restores them afterwards.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace bv::platform_test {

class ScopedEnv {
public:
    ScopedEnv() = default;
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv()
    {
        for (const auto& [name, old] : saved_)
            apply(name, old);
    }

    /// Sets `name` to `value`, or unsets it for nullopt.
    void set(const std::string& name, const std::optional<std::string>& value)
    {
        if (!saved_.contains(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        apply(name, value);
    }

private:
    static void apply(const std::string& name, const std::optional<std::string>& value)
    {
#ifdef _WIN32
        _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
#endif
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

} // namespace bv::platform_test
