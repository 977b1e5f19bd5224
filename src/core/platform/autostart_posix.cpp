#include "platform/autostart.h"

#include "platform/atomic_file.h"
#include "platform/test_sandbox.h"
#include "platform/xdg_dirs.h"

#include <fstream>
#include <sstream>

namespace bv::platform {

namespace {

std::filesystem::path EntryPath(const std::string& name)
{
    const auto path = xdg::configHome() / "autostart" / (name + ".desktop");
    requireInsideTestSandbox("the user's autostart folder", path);
    return path;
}

// The quoting that the Exec key of a desktop entry asks for.
std::string ExecArgument(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::string AutostartDesktopEntry(const std::filesystem::path& program)
{
    std::string exec = ExecArgument(program.string());
    // A desktop entry escapes its own backslashes once more, and '%' introduces a field code.
    std::string escaped;
    for (const char c : exec) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '%')
            escaped += "%%";
        else
            escaped += c;
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=bvmon\n"
           "Comment=Mouse modes and profiles from the tray, and profiles that follow the game\n"
           "Exec="
        + escaped
        + "\n"
          "Icon=com.brisvane.bvconfig\n"
          "Terminal=false\n"
          "NoDisplay=true\n"
          "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartReachable()
{
    return true; // the entry lies under XDG_CONFIG_HOME, which a test run points into its sandbox
}

bool IsAutostartOn(const std::string& name)
{
    std::ifstream in(EntryPath(name));
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return false;
    }
    return true;
}

void SetAutostart(const std::string& name, bool on, const std::filesystem::path& program)
{
    const auto path = EntryPath(name);
    if (!on) {
        std::filesystem::remove(path); // throws when it exists and cannot be removed
        return;
    }
    std::filesystem::create_directories(path.parent_path());
    const std::string text = AutostartDesktopEntry(program);
    writeFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string AutostartLocation(const std::string& name)
{
    return EntryPath(name).string();
}

} // namespace bv::platform
