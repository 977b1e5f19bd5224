#include "bvctl.h"

#include "platform/atomic_file.h"
#include "platform/registry.h"
#include "profile_json.h"
#include "settings/DMUnit.h"
#include "settings/record_text.h"
#include "settings/uiProfile.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstring>
#include <iostream>
#include <memory>

namespace bv::cli {

namespace fs = std::filesystem;

namespace {

fs::path toPath(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

/// An error the user caused (bad file, bad value): message on stderr, exit 2.
struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void printJson(const nlohmann::ordered_json& j)
{
    std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

int profileNew(int index, const std::string& output)
{
    std::vector<std::uint8_t> image(sizeof(TMOUSEPROFILEINFO), 0);
    uiProfileGame1RestoreToDefault(image);
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();
    std::memcpy(static_cast<void*>(profile.get()), image.data(), image.size());
    profile->ConfigInfo.LEDConfig = ProfileLedColour(index, profile->ConfigInfo.LEDConfig);
    std::memcpy(image.data(), profile.get(), image.size());
    platform::writeFileAtomic(toPath(output), image);
    return kOk;
}

int profileShow(const std::string& file)
{
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::readFile(toPath(file), 16u * 1024u * 1024u);
    } catch (const std::exception& e) {
        throw BadInput("\"" + file + "\" cannot be read: " + e.what());
    }
    if (!bytes)
        throw BadInput("\"" + file + "\" is not a profile file: the file does not exist.");
    std::string why;
    if (!IsAcceptableProfileImage(*bytes, &why))
        throw BadInput("\"" + file + "\" is not a profile file: " + why + ".");
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();
    std::memcpy(static_cast<void*>(profile.get()), bytes->data(), sizeof(TMOUSEPROFILEINFO));
    printJson(ProfileToJson(*profile));
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
        const std::string file = s.StorageType == 1 ? WithTrailingSeparator(RecordText(s.FilePath)) + RecordText(s.FileName)
                                                    : RecordText(s.FileName);
        profiles.push_back({{"file", file}, {"storage", storage}});
    }
    printJson({{"mode", dm->ProfileGroupIndex()},
               {"profile", dm->ProfileIndex()},
               {"mode_profiles", {group.ProfileIndexOfProfileGroup[0], group.ProfileIndexOfProfileGroup[1]}},
               {"documents_folder", dm->DocumentsFolder()},
               {"profiles", profiles}});
    return kOk;
}

} // namespace

int run(int argc, char** argv)
{
    CLI::App app{"bvctl: inspect and apply bvconfig profiles from the command line", "bvctl"};
    app.require_subcommand(1);
    std::function<int()> action;

    auto* profile = app.add_subcommand("profile", "Create and inspect profile files (.pfd)");
    profile->require_subcommand(1);

    int index = 0;
    std::string output;
    auto* create = profile->add_subcommand("new", "Write a factory game profile");
    create->add_option("--index", index, "Profile index 0..4; picks the LED colour")->check(CLI::Range(0, 4));
    create->add_option("-o,--output", output, "File to write")->required();
    create->callback([&] { action = [&] { return profileNew(index, output); }; });

    std::string showFile;
    auto* show = profile->add_subcommand("show", "Print a profile file as JSON");
    show->add_option("FILE", showFile, "Profile file")->required();
    show->callback([&] { action = [&] { return profileShow(showFile); }; });

    auto* stat = app.add_subcommand("status", "Run the profile manager's start-up and print the modes and profiles");
    stat->callback([&] { action = [&] { return status(); }; });

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kOk : kUsage;
    }
    try {
        return action ? action() : kUsage;
    } catch (const BadInput& e) {
        std::cerr << "bvctl: " << e.what() << '\n';
        return kBadInput;
    } catch (const std::exception& e) {
        std::cerr << "bvctl: " << e.what() << '\n';
        return kBadInput;
    }
}

} // namespace bv::cli
