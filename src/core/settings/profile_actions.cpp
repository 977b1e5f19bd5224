#include "settings/profile_actions.h"

#include "settings/DMUnit.h"
#include "settings/store_error.h"

namespace bv {

bool SwitchToProfileAndStore(TDM& dm, int profileIndex)
{
    if (!TDM::IsProfileIndexInRange(profileIndex))
        return false;
    StoreBatch stores;
    dm.SwitchToProfile(profileIndex);
    stores.Try("The current profile and language", [&dm] { dm.SaveBackAllProfileSettingInfo(); });
    TProfileSettingGroup& group = dm.ProfileSettingGroup();
    const int mode = group.CurrentProfileGroup;
    if (TDM::IsProfileGroupIndexInRange(mode)) {
        group.ProfileIndexOfProfileGroup[mode] = profileIndex;
        // The mouse switches at once, so the mode's choice is kept at once: a restart shows the
        // profile the mouse is using.
        stores.Try("The modes", [&dm] { dm.SaveProfileGroupSettingInfoToRegistry(); });
        dm.SwitchToProfileGroup(mode);
    }
    stores.ThrowIfFailed();
    return true;
}

bool SwitchToModeAndStore(TDM& dm, int modeIndex)
{
    if (!TDM::IsProfileGroupIndexInRange(modeIndex))
        return false;
    dm.SwitchToProfileGroup(modeIndex);
    StoreBatch stores;
    stores.Try("The modes", [&dm] {
        dm.SaveBackToProfileGroupSettingInfo();
        dm.SaveProfileGroupSettingInfoToRegistry();
    });
    stores.ThrowIfFailed();
    return true;
}

void StoreProfilesForApply(TDM& dm)
{
    StoreBatch stores;
    stores.Try("The current profile", [&dm] { dm.SaveBackToCurrentProfileInfo(); });
    stores.Try("The current profile", [&dm] { dm.SaveCurrentProfileInfoToRegistry(); });
    stores.Try("The current profile's file", [&dm] { dm.SaveCurrentProfileInfoToFile(); });
    stores.Try("The profile files", [&dm] { dm.SaveBackAllProfileInfoToFile(); });
    stores.Try("The profiles", [&dm] { dm.SaveBackAllProfileInfoToRegistry(); });
    stores.Try("The modes", [&dm] { dm.SaveBackToProfileGroupSettingInfo(); });
    stores.Try("The modes", [&dm] { dm.SaveProfileGroupSettingInfoToRegistry(); });
    stores.ThrowIfFailed();
}

} // namespace bv
