#include "platform/folders.h"

#include "platform/atomic_file.h"
#include "platform/xdg_dirs.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string_view skipBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// One `XDG_DOCUMENTS_DIR="..."` line of user-dirs.dirs, read the way xdg-user-dirs reads it:
// only "$HOME/..." or an absolute path, inside double quotes, backslash escaping one character.
std::optional<std::string> documentsDirFromLine(std::string_view line, const std::string& home)
{
    static constexpr std::string_view kName = "XDG_DOCUMENTS_DIR";
    line = skipBlanks(line);
    if (!line.starts_with(kName))
        return std::nullopt;
    line = skipBlanks(line.substr(kName.size()));
    if (!line.starts_with('='))
        return std::nullopt;
    line = skipBlanks(line.substr(1));
    if (!line.starts_with('"'))
        return std::nullopt;
    line.remove_prefix(1);

    std::string value;
    if (line.starts_with("$HOME") && (line.size() == 5 || line[5] == '/' || line[5] == '"')) {
        value = home;
        line.remove_prefix(5);
    } else if (!line.starts_with('/')) {
        return std::nullopt; // relative paths are not allowed
    }
    for (std::size_t i = 0; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        value += line[i];
    }
    return value;
}

std::optional<fs::path> documentsDirFromUserDirs(const std::string& home)
{
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = readFile(xdg::configHome() / "user-dirs.dirs", 1024 * 1024);
    } catch (const fs::filesystem_error&) {
        return std::nullopt; // unreadable: behave as if there were none
    }
    if (!bytes)
        return std::nullopt;

    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    std::optional<std::string> found;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (auto value = documentsDirFromLine(text.substr(start, end - start), home))
            found = std::move(value); // the last assignment wins, as in the shell
        start = end + 1;
    }
    // A folder set to $HOME itself means the user turned it off.
    if (!found || withoutTrailingSlashes(*found) == withoutTrailingSlashes(home))
        return std::nullopt;
    return fs::path(*found);
}

bool fileExists(const fs::path& p)
{
    std::error_code ec;
    return fs::exists(p, ec);
}

} // namespace

fs::path userDocumentsFolder()
{
    const fs::path home = xdg::homeFolder();
    if (auto fromUserDirs = documentsDirFromUserDirs(home.string()))
        return *fromUserDirs;
    return home / "Documents";
}

fs::path executableFolder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        const fs::path cwd = fs::current_path(ec);
        return ec ? fs::path(".") : cwd;
    }
    return exe.parent_path();
}

fs::path programFolder()
{
    if (const char* dir = std::getenv("BV_PROGRAM_DIR"); dir && *dir)
        return dir;

    std::error_code ec;
    const fs::path exeFolder = executableFolder();
    // Run from the build tree, or unpacked as one folder.
    if (fileExists(exeFolder / "ui.local") || fileExists(exeFolder / "config.ini"))
        return exeFolder;
    // Installed: <prefix>/bin/bvconfig with its files in <prefix>/share/bvconfig.
    const fs::path shared = (exeFolder / ".." / "share" / "bvconfig").lexically_normal();
    if (fs::is_directory(shared, ec))
        return shared;
    return exeFolder;
}

} // namespace bv::platform
