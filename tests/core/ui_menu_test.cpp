// The function menu's item tree: item IDs, click events, pre-selection and level sizes.

#include "ui/uiFunctionManager.h"
#include "ui/uiMenuEx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace bv;

namespace {

void addItems(TuiMenuItemsEx& level, int count)
{
    for (int i = 0; i < count; ++i)
        level.Add();
}

std::vector<std::uint32_t> idsOf(const TuiMenuItemsEx& level)
{
    std::vector<std::uint32_t> ids;
    for (int i = 0; i < level.Count(); ++i)
        ids.push_back(level.Items(i)->ItemID);
    return ids;
}

} // namespace

TEST(TuiMenuEx, ItemIDsFollowPositionAndParent)
{
    TuiMenuEx menu;
    addItems(menu.Items(), 16);
    TuiMenuItemEx& basic = *menu.Items().Items(7);
    addItems(basic.SubItems(), 8);
    addItems(basic.SubItems().Items(0)->SubItems(), 2);

    std::vector<std::uint32_t> top;
    for (std::uint32_t n = 1; n <= 16; ++n)
        top.push_back(n);
    EXPECT_EQ(idsOf(menu.Items()), top);
    EXPECT_EQ(idsOf(basic.SubItems()), (std::vector<std::uint32_t> { 801, 802, 803, 804, 805, 806, 807, 808 }));
    EXPECT_EQ(idsOf(basic.SubItems().Items(0)->SubItems()), (std::vector<std::uint32_t> { 80101, 80102 }));
    EXPECT_EQ(menu.Items().Items(15)->Name, "Item16");
    EXPECT_EQ(menu.FindItem(80102), basic.SubItems().Items(0)->SubItems().Items(1));
    EXPECT_EQ(menu.FindItem(17), nullptr);

    // Cleared and refilled (the macro sub-menu): numbered from 1 again.
    TuiMenuItemEx& macro = *menu.Items().Items(10);
    addItems(macro.SubItems(), 5);
    macro.SubItems().ItemIndex = 4;
    macro.SubItems().Clear();
    EXPECT_EQ(macro.SubItems().ItemIndex, -1);
    addItems(macro.SubItems(), 3);
    EXPECT_EQ(idsOf(macro.SubItems()), (std::vector<std::uint32_t> { 1101, 1102, 1103 }));

    // A gap left by a deleted item is the smallest free number.
    macro.SubItems().Delete(1);
    macro.SubItems().Delete(7); // out of range: nothing
    EXPECT_EQ(macro.SubItems().Add().ItemID, 1102u);
    EXPECT_EQ(macro.SubItems().Items(2)->Name, "Item2");
}

TEST(TuiMenuEx, ClickRunsItemHandlerOrMenuEventWithFunctionBuffer)
{
    TuiFunctionManager manager;
    manager.Items().Add();
    const std::uint8_t bytes[] = { 1, 2, 3 };
    manager.Items().Add().SetBuffer(bytes, sizeof bytes);

    struct Case {
        bool attach;
        int index;
        bool expectBuffer;
    };
    for (const Case c :
        { Case { true, 1, true }, Case { true, -1, false }, Case { true, 5, false }, Case { false, 1, false } }) {
        SCOPED_TRACE(testing::Message() << "attach " << c.attach << " index " << c.index);
        TuiMenuEx menu;
        menu.FunctionManager = c.attach ? &manager : nullptr;
        menu.FunctionItemIndex = c.index;
        addItems(menu.Items(), 2);
        menu.Items().Items(1)->Name = "Paste";

        std::string name;
        std::uint32_t id = 0, size = 99;
        const void* buffer = &name;
        menu.OnItemsClick = [&](TuiMenuItemEx&, const std::string& n, std::uint32_t i, const void* b, std::uint32_t s) {
            name = n, id = i, buffer = b, size = s;
        };
        menu.ItemClick(*menu.Items().Items(1));
        EXPECT_EQ(name, "Paste");
        EXPECT_EQ(id, 2u);
        EXPECT_EQ(buffer, c.expectBuffer ? manager.Items().Items(1)->Buffer() : nullptr);
        EXPECT_EQ(size, c.expectBuffer ? 3u : 0u);
    }

    // An item's own handler replaces the menu's event, and may rebuild the level it sits in.
    TuiMenuEx menu;
    addItems(menu.Items(), 1);
    int menuEvents = 0, itemEvents = 0;
    menu.OnItemsClick
        = [&](TuiMenuItemEx&, const std::string&, std::uint32_t, const void*, std::uint32_t) { ++menuEvents; };
    menu.Items().Items(0)->OnClick = [&](TuiMenuItemEx& sender, const void*, std::uint32_t) {
        ++itemEvents;
        sender.Collection().Clear();
    };
    menu.ItemClick(*menu.Items().Items(0));
    EXPECT_EQ(itemEvents, 1);
    EXPECT_EQ(menuEvents, 0);
    EXPECT_EQ(menu.Items().Count(), 0);
}

TEST(TuiMenuEx, PreselectionByIdThenLastChosenRow)
{
    TuiMenuEx menu;
    addItems(menu.Items(), 3);
    TuiMenuItemsEx& subs = menu.Items().Items(1)->SubItems();
    addItems(subs, 4);

    EXPECT_EQ(PreselectedRow(subs, 203), 2);
    EXPECT_EQ(PreselectedRow(menu.Items(), 203), -1); // the ID lies in the sub-menu
    menu.Items().ItemIndex = 2;
    EXPECT_EQ(PreselectedRow(menu.Items(), 203), 2);
    EXPECT_EQ(PreselectedRow(menu.Items(), 1), 0);
    // The ID must fit the 32-bit item IDs; a value with high bits set matches nothing.
    EXPECT_EQ(PreselectedRow(menu.Items(), (std::int64_t(1) << 32) | 1), 2);
    EXPECT_EQ(PreselectedRow(menu.Items(), -1), 2);

    const std::int64_t before = TuiMenuEx::SelectedMenuID();
    TuiMenuEx::SetSelectedMenuID(2);
    TuiMenuEx other;
    EXPECT_EQ(TuiMenuEx::SelectedMenuID(), 2); // shared by every menu
    TuiMenuEx::SetSelectedMenuID(before);
}

TEST(TuiMenuEx, LevelSizeRules)
{
    TuiMenuEx menu;
    addItems(menu.Items(), 1);
    TuiMenuItemsEx& root = menu.Items();
    TuiMenuItemsEx& sub = root.Items(0)->SubItems();

    // Without custom parameters: 40-pixel rows, no margins.
    EXPECT_EQ(MenuRowHeight(root), 40);
    EXPECT_EQ(MenuLevelHeight(root, 120, 1080), 125);
    EXPECT_EQ(MenuLevelWidth(root, 80), 180);

    menu.UseCustomMenuParams = true;
    menu.Parameters.ItemHeight = 12;
    menu.Parameters.BGMargins = { 3, 4, 5, 6 };
    EXPECT_EQ(MenuRowHeight(root), 20); // the menu's height has a floor
    EXPECT_EQ(MenuLevelHeight(root, 120, 1080), 135);
    EXPECT_EQ(MenuLevelHeight(root, 2000, 1080), 1080);
    EXPECT_EQ(MenuLevelWidth(root, 80), 188);

    sub.UseParentParameter = false;
    sub.Parameters.ItemHeight = 12;
    sub.Parameters.ItemAutoSize = false;
    sub.Parameters.ItemWidth = 150;
    EXPECT_EQ(MenuRowHeight(sub), 12); // a level's own height has none
    EXPECT_EQ(MenuLevelWidth(sub, 80), 150);
    sub.Parameters.BGMargins = { 1, 0, 1, 0 };
    EXPECT_EQ(MenuLevelWidth(sub, 80), 152);

    menu.Parameters.CustomWidth = 250;
    menu.Parameters.CustomHeight = 2000;
    EXPECT_EQ(MenuLevelWidth(root, 80), 250);
    EXPECT_EQ(MenuLevelHeight(root, 120, 1080), 2000);
}
