// Linked into every test program: from the first line of main on, the process and the programs it
// starts are a test run whose sandbox is the temporary folder, where every fixture keeps its files.
#include <cstdlib>
#include <filesystem>

namespace {

const bool kSandboxed = [] {
    if (std::getenv("BV_TEST_SANDBOX"))
        return true;
    const std::string folder = std::filesystem::temp_directory_path().string();
#ifdef _WIN32
    _putenv_s("BV_TEST_SANDBOX", folder.c_str());
#else
    ::setenv("BV_TEST_SANDBOX", folder.c_str(), 1);
#endif
    return true;
}();

} // namespace
