#include "monitor/monitor_records.h"

#include "settings/DMUnit.h"

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
    for (int k = 0; k < kRuleProfileCount; ++k)
        if (dm.ReadProfileInfo(*profile, k))
            records.Applications[k] = ReadProfileApplications(profile->ConfigInfo);
    return records;
}

} // namespace bv::monitor
