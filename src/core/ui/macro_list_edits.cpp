#include "ui/macro_list_edits.h"

#include "macros/macro_name.h"
#include "macros/uiMacroClassUnit.h"
#include "ui/button_functions.h"

#include <algorithm>
#include <optional>

namespace bv {

util::UserText TooManyMacrosInListText()
{
    return { "You can create macros shall not exceed 20 .", {} };
}

std::optional<util::UserText> NewMacroNameProblem(const TMACROKEYINFOLIST& list, const std::string& name)
{
    if (const auto problem = MacroFileNameProblem(name))
        return util::UserText { "This name cannot be used for a macro: %1", { *problem } };
    const int count = std::min<int>(list.nMacroInfoCount, kMacroListSlots);
    for (int i = 0; i < count; ++i)
        if (MacroNameEquals(list.MacroInfos[i], name))
            return util::UserText { "The profile already has a macro named \"%1\".", { name } };
    return std::nullopt;
}

bool AddMacroToProfile(TMOUSEPROFILEINFO& profile, const TMACROKEYINFO& macro, util::UserText* why)
{
    TMACROKEYINFOLIST& list = profile.MacroKeyInfoList;
    if (!MacroListDamage(list).empty())
        return util::Refuse(why, { "The profile's macro list is damaged: %1", { MacroListDamage(list).front() } });
    if (list.nMacroInfoCount >= kMacroListMax)
        return util::Refuse(why, TooManyMacrosInListText());
    if (const auto damage = MacroRecordDamage(macro))
        return util::Refuse(why, { "%1", { *damage } });
    if (auto problem = NewMacroNameProblem(list, MacroName(macro)))
        return util::Refuse(why, std::move(*problem));
    const int index = list.nMacroInfoCount;
    list.MacroInfos[index] = macro;
    list.MacroInfos[index].nMacroIndex = static_cast<std::uint16_t>(index);
    list.nMacroInfoCount = static_cast<std::uint16_t>(index + 1);
    return true;
}

bool RemoveMacroFromProfile(TMOUSEPROFILEINFO& profile, const std::string& name, util::UserText* why)
{
    TuiMacroClass macros;
    // Damaged counts are clamped here and stored so below; the list is usable again afterwards.
    (void)macros.SetMacroKeyInfoList(profile.MacroKeyInfoList);
    if (!macros.DeleteMacro(name))
        return util::Refuse(why, { "The profile has no macro named \"%1\".", { name } });
    macros.GetMacroKeyInfoList(profile.MacroKeyInfoList);
    FollowMacroList(profile);
    return true;
}

} // namespace bv
