#include "mainwindow/button_captions.h"

#include "keys/uiStdCmd.h"
#include "ui/uiLanguage.h"
#include "util/utf16.h"

namespace bv::gui {

namespace {

constexpr std::size_t kLongestCombo = 12;
constexpr std::size_t kComboCut = 9;

} // namespace

std::string ComboKeyText(const TCOMBOKEYINFO& combo)
{
    std::string text = GetModifierText(combo.nModifier);
    const std::string first = GetKeyName(combo.nKeyValue1, combo.nKey1Extended);
    if (!first.empty())
        text += first;
    const std::string second = GetKeyName(combo.nKeyValue2, combo.nKey2Extended);
    if (!second.empty())
        text = "<" + text + "+" + second + ">";
    return text;
}

std::string ButtonCaption(const MenuTree& buttonMenu, const TBUTTONFUNCINFO& entry, std::int64_t id)
{
    std::string text = id <= 0 ? std::string() : Translate(buttonMenu.CaptionOfID(id));
    if (id == kMenuSingleKey) {
        if (entry.nMenuRow == kSingleKeyMenuRow)
            text = "<" + GetKeyName(entry.SingleKey.nKeyValue1, entry.SingleKey.nKey1Extended) + ">";
    } else if (id == kMenuComboKey) {
        if (entry.nMenuRow == kComboKeyMenuRow) {
            std::u16string combo = util::utf8ToUtf16(ComboKeyText(entry.ComboKey));
            if (combo.size() > kLongestCombo)
                combo = combo.substr(0, kComboCut) + u"...";
            if (!combo.empty())
                text = util::utf16ToUtf8(combo);
        }
    } else if (ParentMenuOf(id) == kMenuMacro || id == kMenuMacro) {
        text = Translate("Macro") + " #" + std::to_string(entry.MacroKeyInfo.nMacroIndex + 1);
    }
    return text;
}

std::string WheelCaption(const MenuTree& wheelMenu, std::int64_t id)
{
    return id <= 0 ? std::string() : Translate(wheelMenu.CaptionOfID(id));
}

std::int64_t SlotMenuID(const TBUTTONFUNCINFO& entry)
{
    return entry.MenuID != 0 ? std::int64_t(entry.MenuID) : FunctionMenuIDOfRow(entry.nMenuRow);
}

} // namespace bv::gui
