// bvctl switch and apply-settings: what the window's mode and profile buttons and its Apply do to
// the stored settings and the mouse.
#include "commands.h"

#include "bvctl.h"
#include "device_session.h"
#include "settings/app_settings.h"
#include "settings/profile_actions.h"
#include "settings/record_text.h"
#include "settings/store_error.h"
#include "settings_session.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

namespace bv::cli {

std::string hexAddress(std::uint16_t a)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", unsigned { a });
    return text;
}

std::string VerifyProblem(const VerifyResult& v, const std::string& readError)
{
    std::string text;
    if (!v.Differing.empty()) {
        // One group per block: "Mode 1 button block at 0x0090-0x0091, 0x0095".
        text = "The mouse does not hold what was written:";
        for (std::size_t i = 0; i < v.Differing.size(); ++i) {
            const auto& d = v.Differing[i];
            const bool newBlock = i == 0 || v.Differing[i - 1].What != d.What;
            text += newBlock ? std::string(i == 0 ? " " : "; ") + d.What + " at " : std::string(", ");
            text += hexAddress(d.First) + (d.Last != d.First ? "-" + hexAddress(d.Last) : "");
        }
        text += ".";
    }
    if (!v.Unread.empty()) {
        text += std::string(text.empty() ? "" : " ") + "The mouse did not answer the read-back of the "
            + v.Unread.front() + (v.Unread.size() > 1 ? " and " + std::to_string(v.Unread.size() - 1) + " more" : "")
            + " (" + readError + ").";
    }
    return text;
}

namespace {

using Json = nlohmann::ordered_json;

Json stateJson(const TDM& dm)
{
    const auto& group = dm.ProfileSettingGroup();
    return { { "mode", dm.ProfileGroupIndex() }, { "profile", dm.ProfileIndex() },
        { "mode_profiles", { group.ProfileIndexOfProfileGroup[0], group.ProfileIndexOfProfileGroup[1] } } };
}

void keepFailures(std::vector<std::string>& problems, const std::function<void()>& store)
{
    try {
        store();
    } catch (const StoreError& e) {
        problems.insert(problems.end(), e.Failures().begin(), e.Failures().end());
    } catch (const std::exception& e) {
        problems.push_back(e.what());
    }
}

int finish(const Json& out, const std::vector<std::string>& problems, bool failedBefore = false)
{
    printJson(out);
    for (const auto& p : problems)
        std::cerr << "bvctl: " << p << '\n';
    return problems.empty() && !failedBefore ? kOk : kBadInput;
}

int switchTo(const GlobalOptions& global, std::optional<int> mode, std::optional<int> profile)
{
    const WindowExcluded excluded("switch");
    DeviceSession device = OpenDeviceSession(global);
    ProfileManagerSession s = StartProfileManager();
    TDM& dm = *s.dm;
    std::vector<std::string> problems;
    std::uint32_t sent = 0;
    if (profile) {
        keepFailures(problems, [&] { (void)SwitchToProfileAndStore(dm, *profile); });
        keepFailures(problems, [&] {
            // Written only where the monitor made its key; without the monitor no one reads it.
            (void)SaveProfileIDToRegistry(dm.Registry(), *profile);
        });
        const auto game = static_cast<std::uint8_t>(dm.AllProfileSettingInfo().CurrentGame);
        sent = ProfileSwitchSequence(*device.hid, *profile, game, dm.CurrentProfileInfo().ConfigInfo);
        TellMonitor(1, *profile);
    } else {
        keepFailures(problems, [&] { (void)SwitchToModeAndStore(dm, *mode); });
        sent = ModeButtonSequence(*device.hid, *mode, CliSequenceHooks(0, 0));
    }
    if (sent != 0)
        problems.push_back("The switch is stored, but the mouse did not take it: " + device.describe(sent)
            + ". Apply the settings when it is connected (bvctl apply-settings).");
    return finish(stateJson(dm), problems);
}

int applySettings(const GlobalOptions& global, bool verify)
{
    const WindowExcluded excluded("apply-settings");
    DeviceSession device = OpenDeviceSession(global);
    ProfileManagerSession s = StartProfileManager();
    TDM& dm = *s.dm;
    std::vector<std::string> problems;
    Json out = stateJson(dm);

    keepFailures(problems, [&] { StoreProfilesForApply(dm); });
    out["stored"] = problems.empty();
    // What the system refused is told on stderr as it happens.
    std::vector<std::string> refused;
    out["system_mouse"] = ApplyProfileSystemMouse(dm.CurrentProfileInfo().ConfigInfo, refused);

    out["written"] = false;
    auto request = std::make_unique<THIDDataParam>();
    request->UsageAndPage = MouseUsageAndPage;
    if (!device.hid->IsDeviceExist(*request)) {
        problems.push_back("Please connect your mouse device before apply new settings! ("
            + device.describe(kHidErrorNoDevice) + ") The settings are stored.");
        return finish(out, problems, !refused.empty());
    }
    DMApplyProfiles profiles(dm);
    ApplyHooks hooks;
    hooks.Sequence = CliSequenceHooks(0, 0);
    // The settings notice names the profile the user chose last.
    const auto notice = static_cast<std::uint8_t>(dm.AllProfileSettingInfo().CurrentGame);
    const ApplyResult result = ApplyDeviceSequence(*device.hid, profiles, notice, hooks);
    for (const auto& note : result.Notes)
        std::cerr << "warning: " << note.English() << '\n';
    if (result.Refused()) {
        problems.push_back(result.Error.English() + " Nothing was written to the mouse.");
        return finish(out, problems, !refused.empty());
    }
    out["written"] = result.Written;
    out["current_cpi_index"] = result.CurrentCPIIndex;
    if (!result.Written)
        problems.push_back("The mouse did not take all settings: the " + result.FailedSteps.front() + " failed ("
            + device.describe(result.FirstError)
            + "). It may hold a mix of old and new settings: connect it and apply again.");
    if (verify) {
        const VerifyResult v = VerifyDeviceWrites(*device.hid, result.Writes);
        out["verify"] = VerifyJson(v);
        if (!v.Matches())
            problems.push_back(VerifyProblem(v, device.describe(v.FirstError)));
    }
    return finish(out, problems, !refused.empty());
}

} // namespace

void addSwitchCommands(CLI::App& app, Action& action, const GlobalOptions& global)
{
    struct Options {
        int mode = -1;
        int profile = -1;
        bool verify = false;
    };
    auto opts = std::make_shared<Options>();
    auto* sw = app.add_subcommand(
        "switch", "Switch the mode or the profile as the window's buttons do: stored, and told to the mouse");
    auto* m = sw->add_option("--mode", opts->mode, "Mode 0 or 1")->check(CLI::Range(0, 1));
    auto* p
        = sw->add_option("--profile", opts->profile, "Profile 0..4 (as status prints them)")->check(CLI::Range(0, 4));
    m->excludes(p);
    sw->callback([sw, opts, &action, &global] {
        if (sw->count("--mode") + sw->count("--profile") != 1)
            throw CLI::ValidationError("switch", "name --mode M or --profile K");
        action = [opts, &global] {
            return switchTo(global, opts->mode >= 0 ? std::optional<int>(opts->mode) : std::nullopt,
                opts->profile >= 0 ? std::optional<int>(opts->profile) : std::nullopt);
        };
    });

    auto* ap = app.add_subcommand(
        "apply-settings", "Store the profiles and write both modes into the mouse, as the window's Apply does");
    ap->add_flag("--verify", opts->verify, "Read back every block written and compare");
    ap->callback(
        [opts, &action, &global] { action = [opts, &global] { return applySettings(global, opts->verify); }; });
}

} // namespace bv::cli
