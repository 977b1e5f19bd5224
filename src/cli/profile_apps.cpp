#include "profile_apps.h"

#include "bvctl.h"
#include "monitor/application_rules.h"
#include "profile_edit.h"
#include "profile_file.h"

#include <memory>
#include <string>

namespace bv::cli {

namespace {

struct AppsOptions {
    std::string file;
    std::string add, remove, autoSwitch;
    // Given or not, apart from the values: an empty --add is for the rules to refuse.
    bool adding = false, removing = false, switching = false;
};

int showApps(const std::string& file)
{
    const monitor::ProfileApplications apps = monitor::ReadProfileApplications(LoadProfileFile(file)->ConfigInfo);
    printJson({ { "file", file }, { "auto_switch", apps.AutoSwitch }, { "applications", apps.Paths } });
    return kOk;
}

void check(monitor::ApplicationEdit result, const std::string& what)
{
    if (result != monitor::ApplicationEdit::Done)
        throw BadInput(what + ": " + monitor::ApplicationEditText(result));
}

int editApps(const AppsOptions& o)
{
    return changeProfileFile(o.file, [&o](TMOUSEPROFILEINFO& p) {
        TMOUSECONFIGINFO& c = p.ConfigInfo;
        if (o.adding)
            check(monitor::AddApplication(c, o.add), "\"" + o.add + "\" cannot be added");
        if (o.removing)
            check(monitor::RemoveApplication(c, o.remove), "\"" + o.remove + "\" cannot be removed");
        if (o.switching)
            monitor::SetAutoSwitch(c, o.autoSwitch == "on");
    });
}

} // namespace

void addProfileAppsCommand(CLI::App& profile, Action& action)
{
    auto o = std::make_shared<AppsOptions>();
    auto* cmd = profile.add_subcommand(
        "apps", "Print or change the programs that switch the monitor to this profile, and its switch");
    cmd->add_option("FILE", o->file, "Profile file")->required();
    auto* add = cmd->add_option("--add", o->add, "Add a program (full path, or a bare file name for any folder)");
    auto* remove = cmd->add_option("--remove", o->remove, "Remove a listed program");
    auto* autoSwitch
        = cmd->add_option("--auto", o->autoSwitch, "on|off: switch to the profile when a program of it has the focus")
              ->transform(CLI::IsMember({ "on", "off" }, CLI::ignore_case));
    // One edit a run, as the dialog makes them: "--add A --auto off" would hide which one wins.
    add->excludes(remove)->excludes(autoSwitch);
    remove->excludes(autoSwitch);
    cmd->callback([o, add, remove, autoSwitch, &action] {
        o->adding = add->count() > 0;
        o->removing = remove->count() > 0;
        o->switching = autoSwitch->count() > 0;
        const bool edit = o->adding || o->removing || o->switching;
        action = [o, edit] { return edit ? editApps(*o) : showApps(o->file); };
    });
}

} // namespace bv::cli
