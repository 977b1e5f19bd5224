// Reaching the real mouse: the udev rule that gives the user at the local seat access to it, and a
// short report of what stands between this user and the mouse.
#include "commands.h"

#include "bvctl.h"
#include "device/udev_rule.h"
#include "device/uiHIDData.h"
#include "device_session.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/hid_access.h"
#include "platform/registry.h"
#include "util/utf8_path.h"

#include <fstream>

namespace bv::cli {

namespace {

namespace fs = std::filesystem;

// The probe beside this bvctl: in the build tree beside it, installed in ../libexec/bvconfig.
fs::path defaultProbe()
{
    const fs::path exe = platform::executableFolder();
    std::error_code ec;
    if (fs::is_regular_file(exe / kUdevProbeName, ec))
        return exe / kUdevProbeName;
    return (exe / ".." / "libexec" / "bvconfig" / kUdevProbeName).lexically_normal();
}

int udevRule(const std::string& probe, const std::string& output)
{
    const std::string text = UdevRuleText(probe.empty() ? util::Utf8FromPath(defaultProbe()) : probe,
        TuiHIDData::LoadHidDeviceList(platform::programFolder()));
    if (output.empty()) {
        std::cout << text;
        return kOk;
    }
    try {
        platform::writeFileAtomic(
            util::PathFromUtf8(output), { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() });
    } catch (const std::exception& e) {
        throw BadInput("the rule cannot be written to \"" + output + "\": " + e.what());
    }
    return kOk;
}

// Whether files can be made in `folder`, or, while it does not exist, in the nearest folder above
// it that does (where it would be made). Tried with a file that is removed at once.
nlohmann::ordered_json folderReport(const fs::path& folder)
{
    nlohmann::ordered_json j { { "path", util::Utf8FromPath(folder) } };
    std::error_code ec;
    j["exists"] = fs::is_directory(folder, ec);
    fs::path existing = folder;
    while (!existing.empty() && !fs::is_directory(existing, ec) && existing.has_parent_path()
        && existing.parent_path() != existing)
        existing = existing.parent_path();
    const fs::path probe = existing / ".bvctl-doctor-write-test";
    bool writable = false;
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        writable = static_cast<bool>(out << 'x');
    }
    fs::remove(probe, ec);
    j["writable"] = writable;
    return j;
}

int doctor(const GlobalOptions& global)
{
    std::vector<std::string> problems;
    nlohmann::ordered_json out;

    const auto nodes = platform::InspectHidNodes();
    const auto rule = platform::FindInstalledUdevRule();
    nlohmann::ordered_json nodeList = nlohmann::ordered_json::array();
    bool mouseNode = false, mouseOpens = false;
    for (const auto& n : nodes) {
        nlohmann::ordered_json j { { "node", n.node }, { "mouse_collection", n.mouseCollection },
            { "access", platform::AccessWord(n.openError == 0, static_cast<std::uint32_t>(n.openError)) } };
        if (n.openError != 0)
            j["error"] = platform::OpenErrorText(n.openError);
        if (!n.problem.empty())
            j["problem"] = n.problem;
        nodeList.push_back(std::move(j));
        mouseNode = mouseNode || n.mouseCollection;
        mouseOpens = mouseOpens || (n.mouseCollection && n.openError == 0);
    }
    // The same words as the window's.
    if (const auto denied = DeniedMouseNode(nodes))
        problems.push_back(DeniedMouseText(*denied).English() + " " + DeniedMouseAdvice(rule).English());
#ifndef _WIN32
    out["hidraw_nodes"] = nodeList;
    out["udev_rule"] = rule ? nlohmann::ordered_json(util::Utf8FromPath(*rule)) : nlohmann::ordered_json(nullptr);
    if (!rule)
        problems.push_back("The udev rule " + std::string(platform::kUdevRuleFileName)
            + " is not installed, so only root may open the mouse.");
    if (!mouseNode)
        problems.push_back("No hidraw node carries the mouse's configuration collection: is the mouse plugged in?");
#endif

    // The mouse as the window finds it: through --device / BV_VIRTUAL_MOUSE and config.ini.
    DeviceSession session = OpenDeviceSession(global);
    auto request = std::make_unique<THIDDataParam>();
    request->UsageAndPage = MouseUsageAndPage;
    const bool found = session.hid->IsDeviceExist(*request);
    out["device"] = session.link.virtualMouse ? "virtual" : "system";
    out["mouse_found"] = found;
    if (!found && mouseOpens && !session.link.virtualMouse)
        problems.push_back("The mouse opens, but config.ini's IncludeHIDDeviceList does not accept it.");

    const fs::path program = platform::programFolder();
    nlohmann::ordered_json files = nlohmann::ordered_json::object();
    for (const char* name :
        { "config.ini", "ui.local", "BVPresetProfile1.pfd", "images/hand.cur", "images/attack.cur" }) {
        std::error_code ec;
        const bool present = fs::is_regular_file(program / fs::path(name), ec);
        files[name] = present;
        if (!present && std::string(name) != "config.ini")
            problems.push_back("\"" + std::string(name) + "\" is missing from the program folder "
                + util::Utf8FromPath(program) + ".");
    }
    out["program_folder"] = util::Utf8FromPath(program);
    out["data_files"] = files;

    const fs::path registry = platform::userRegistryFolder();
    if (!registry.empty()) {
        out["settings_folder"] = folderReport(registry);
        if (!out["settings_folder"]["writable"].get<bool>())
            problems.push_back("The settings folder " + util::Utf8FromPath(registry) + " cannot be written.");
    }
    const fs::path documents = platform::userDocumentsFolder() / "Brisvane Gaming Mouse";
    out["documents_folder"] = folderReport(documents);
    if (!out["documents_folder"]["writable"].get<bool>())
        problems.push_back("The profiles' folder " + util::Utf8FromPath(documents) + " cannot be written.");

    out["problems"] = problems;
    printJson(out);
    return kOk;
}

} // namespace

void addAccessCommands(CLI::App& app, Action& action, const GlobalOptions& global)
{
    struct Options {
        std::string probe;
        std::string output;
    };
    auto opts = std::make_shared<Options>();
    auto* rule = app.add_subcommand("udev-rule",
        "Print the udev rule that lets the user at the local seat open the mouse (install it as "
        "/etc/udev/rules.d/70-bvconfig.rules)");
    rule->add_option("--probe", opts->probe, "The probe program the rule runs (default: the one installed with bvctl)");
    rule->add_option("-o,--output", opts->output, "Write the rule to this file instead of printing it");
    rule->callback([&action, opts] { action = [opts] { return udevRule(opts->probe, opts->output); }; });

    auto* doc = app.add_subcommand("doctor",
        "Report what stands between this user and the mouse: nodes, access, the udev rule, data files, folders");
    doc->callback([&action, &global] { action = [&global] { return doctor(global); }; });
}

} // namespace bv::cli
