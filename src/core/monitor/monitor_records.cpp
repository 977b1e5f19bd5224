#include "monitor/monitor_records.h"

#include "settings/DMUnit.h"
#include "settings/store_error.h"

#include <memory>

namespace bv::monitor {

MonitorRecords ReadMonitorRecords(const TDM& dm)
{
    MonitorRecords records;
    const TProfileSettingGroup& group = dm.ProfileSettingGroup();
    records.Mode = TDM::IsProfileGroupIndexInRange(group.CurrentProfileGroup) ? group.CurrentProfileGroup : 0;
    for (int g = 0; g < 2; ++g) {
        const int k = group.ProfileIndexOfProfileGroup[g];
        records.ModeProfiles[g] = TDM::IsProfileIndexInRange(k) ? k : 0;
    }
    records.Language = dm.AllProfileSettingInfo().CurrentLanguage;
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();
    for (int k = 0; k < kRuleProfileCount; ++k) {
        if (!dm.ReadProfileInfo(*profile, k))
            continue;
        const TMOUSECONFIGINFO& c = profile->ConfigInfo;
        records.Applications[k] = ReadProfileApplications(c);
        records.CPIOnScreen[k] = c.UseCPIOnScreenFlyShow != 0;
        for (int level = 0; level < kCPILevelsUsed; ++level)
            records.Levels[k][level] = c.CPIState[level];
    }
    return records;
}

bool StoreProfileEdit(TDM& dm, int profile, const ProfileEdit& edit)
{
    auto record = std::make_unique<TMOUSEPROFILEINFO>();
    if (!dm.ReadProfileInfo(*record, profile))
        return false;
    edit(record->ConfigInfo);
    (void)dm.SaveBackToProfileInfo(*record, profile);
    StoreBatch stores;
    stores.Try("The profile", [&] { (void)dm.SaveProfileInfoToRegistry(profile); });
    stores.Try("The profile's file", [&] { (void)dm.SaveProfileInfoToFile(profile); });
    stores.ThrowIfFailed();
    return true;
}

} // namespace bv::monitor
