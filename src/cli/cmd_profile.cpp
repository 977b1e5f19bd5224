#include "commands.h"

#include "bvctl.h"

#include "platform/atomic_file.h"
#include "platform/registry.h"
#include "profile_apps.h"
#include "profile_edit.h"
#include "profile_file.h"
#include "profile_json.h"
#include "settings/DMUnit.h"
#include "settings/record_text.h"
#include "settings/uiProfile.h"
#include "util/utf8_path.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <iostream>
#include <memory>

namespace bv::cli {

namespace {

int profileNew(int index, const std::string& output)
{
    std::vector<std::uint8_t> image(sizeof(TMOUSEPROFILEINFO), 0);
    uiProfileGame1RestoreToDefault(image);
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();
    std::memcpy(static_cast<void*>(profile.get()), image.data(), image.size());
    profile->ConfigInfo.LEDConfig = ProfileLedColour(index, profile->ConfigInfo.LEDConfig);
    std::memcpy(image.data(), profile.get(), image.size());
    platform::writeFileAtomic(util::PathFromUtf8(output), image);
    return kOk;
}

int profileShow(const std::string& file)
{
    printJson(ProfileToJson(*LoadProfileFile(file)));
    return kOk;
}

int status()
{
    auto registry = platform::openUserRegistry();
    auto dm = std::make_unique<TDM>(DMEnvironment::FromSystem(*registry));
    dm->DataModuleCreate();
    for (const auto& problem : dm->StartupProblems())
        std::cerr << "warning: " << problem << '\n';

    const auto& group = dm->ProfileSettingGroup();
    nlohmann::ordered_json profiles = nlohmann::ordered_json::array();
    for (int i = 0; i < kProfileCount; ++i) {
        const auto& s = group.ProfileSettingList[i];
        const char* storage = s.StorageType == 0 ? "registry" : s.StorageType == 1 ? "file" : "none";
        const std::string file = s.StorageType == 1
            ? WithTrailingSeparator(RecordText(s.FilePath)) + RecordText(s.FileName)
            : RecordText(s.FileName);
        profiles.push_back({ { "file", file }, { "storage", storage } });
    }
    printJson({ { "mode", dm->ProfileGroupIndex() }, { "profile", dm->ProfileIndex() },
        { "mode_profiles", { group.ProfileIndexOfProfileGroup[0], group.ProfileIndexOfProfileGroup[1] } },
        { "documents_folder", dm->DocumentsFolder() }, { "profiles", profiles } });
    return kOk;
}

} // namespace

void addProfileCommands(CLI::App& app, Action& action, const GlobalOptions&)
{
    auto* profile = app.add_subcommand("profile", "Create, inspect and change profile files (.pfd)");
    profile->require_subcommand(1);

    struct Options {
        int index = 0;
        std::string output;
        std::string showFile;
    };
    auto opts = std::make_shared<Options>();

    auto* create = profile->add_subcommand("new", "Write a factory game profile");
    create->add_option("--index", opts->index, "Profile index 0..4; picks the LED colour")->check(CLI::Range(0, 4));
    create->add_option("-o,--output", opts->output, "File to write")->required();
    create->callback([opts, &action] { action = [opts] { return profileNew(opts->index, opts->output); }; });

    auto* show = profile->add_subcommand("show", "Print a profile file as JSON");
    show->add_option("FILE", opts->showFile, "Profile file")->required();
    show->callback([opts, &action] { action = [opts] { return profileShow(opts->showFile); }; });

    addProfileEditCommands(*profile, action);
    addProfileAppsCommand(*profile, action);

    auto* stat = app.add_subcommand("status", "Run the profile manager's start-up and print the modes and profiles");
    stat->callback([&action] { action = [] { return status(); }; });
}

} // namespace bv::cli
