#include "mainwindow/button_menus.h"

#include "settings/record_text.h"
#include "toolkit/function_menu.h"
#include "ui/uiLanguage.h"
#include "ui/uiMenuEx.h"

#include <algorithm>

namespace bv::gui {

namespace {

const MenuItem* at(const std::vector<MenuItem>& items, std::int64_t position)
{
    if (position < 1 || position > std::int64_t(items.size()))
        return nullptr;
    return &items[std::size_t(position - 1)];
}

// Both number items by position, so the collection's own IDs equal the tree's.
void loadLevel(TuiMenuItemsEx& level, const std::vector<MenuItem>& items)
{
    while (level.Count() > int(items.size()))
        level.Delete(level.Count() - 1);
    while (level.Count() < int(items.size()))
        level.Add();
    for (std::size_t i = 0; i < items.size(); ++i) {
        TuiMenuItemEx& item = *level.Items(int(i));
        item.Caption = items[i].Caption;
        loadLevel(item.SubItems(), items[i].SubItems);
    }
}

} // namespace

MenuTree::MenuTree(const MenuCaptions& items)
{
    std::uint32_t id = 0;
    for (const auto& [caption, subs] : items) {
        FItems.push_back({ caption, ++id, {} });
        SetSubItems(int(id), subs);
    }
}

void MenuTree::SetSubItems(int position, const std::vector<std::string>& captions)
{
    if (position < 1 || position > int(FItems.size()))
        return;
    MenuItem& parent = FItems[std::size_t(position - 1)];
    parent.SubItems.clear();
    std::uint32_t n = 0;
    for (const auto& caption : captions)
        parent.SubItems.push_back({ caption, SubmenuID(parent.ItemID, ++n), {} });
}

std::string MenuTree::CaptionOfID(std::int64_t id) const
{
    const MenuItem* item = nullptr;
    if (id >= 1 && id <= 99) {
        item = at(FItems, id);
    } else if (id >= 100 && id <= 9999) {
        if (const MenuItem* top = at(FItems, ParentMenuOf(id)))
            item = at(top->SubItems, SubmenuPosition(id));
    } else if (id >= 10000 && id <= 999999) {
        if (const MenuItem* top = at(FItems, ParentMenuOf(ParentMenuOf(id))))
            if (const MenuItem* sub = at(top->SubItems, SubmenuPosition(ParentMenuOf(id))))
                item = at(sub->SubItems, SubmenuPosition(id));
    }
    return item ? item->Caption : std::string();
}

void BuildMacroSubMenu(MenuTree& buttonMenu, const TMACROKEYINFOLIST& macros)
{
    std::vector<std::string> captions { Translate("Macro Manager") };
    // A damaged count must not reach past the list.
    const int count = std::min<int>(macros.nMacroInfoCount, kMacroListSlots);
    for (int k = 0; k < count; ++k)
        captions.push_back(Translate("Macro") + "<" + RecordText(macros.MacroInfos[k].szMacroName) + ">");
    buttonMenu.SetSubItems(kMacroMenuPosition, captions);
}

void LoadMenuTree(TuiMenuEx& menu, const MenuTree& tree)
{
    loadLevel(menu.Items(), tree.Items());
}

void ShowMenuTree(FunctionMenu& menu, const MenuTree& tree, QWidget* target, std::optional<std::int64_t> selectedMenuID,
    std::function<void(std::optional<std::uint32_t>)> closed)
{
    menu.CloseMenu(); // its items are about to change
    LoadMenuTree(menu.Menu(), tree);
    menu.Popup(target, selectedMenuID, std::move(closed));
}

} // namespace bv::gui
