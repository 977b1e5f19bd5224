#include "platform/test_sandbox.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bv::platform {

namespace fs = std::filesystem;

std::optional<fs::path> testSandbox()
{
    const char* value = std::getenv("BV_TEST_SANDBOX");
    if (!value || !*value)
        return std::nullopt;
    return fs::path(value);
}

namespace {

[[noreturn]] void fail(std::string_view what, const std::string& where)
{
    std::fprintf(stderr,
        "A test opened %.*s%s. Tests use the virtual mouse, fake device trees and registries in "
        "their own folders.\n",
        static_cast<int>(what.size()), what.data(), where.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace

void requireInsideTestSandbox(std::string_view what, const fs::path& path)
{
    const auto sandbox = testSandbox();
    if (!sandbox)
        return;
    const fs::path inside = fs::weakly_canonical(path).lexically_relative(fs::weakly_canonical(*sandbox));
    if (inside.empty() || *inside.begin() == "..")
        fail(what, " (" + path.string() + ", outside " + sandbox->string() + ")");
}

void refuseInTestSandbox(std::string_view what)
{
    if (testSandbox())
        fail(what, "");
}

} // namespace bv::platform
