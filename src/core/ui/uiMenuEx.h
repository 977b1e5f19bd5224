#pragma once
// TuiMenuEx: the item tree of a function menu, its item IDs, the selected ID shared by every menu,
// the click events, and the size rules of a shown level. The pop-ups themselves live in the GUI.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bv {

class TuiFunctionManager;
class TuiMenuEx;
class TuiMenuItemEx;

struct TMenuMargins {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

/// Layout parameters of a menu or of one level.
struct TMenuParams {
    TMenuMargins BGMargins;
    int ItemHeight = 30;
    int ItemWidth = 0;
    bool ItemShowCheck = true;
    bool ItemAutoSize = true;
    bool MenuShowSelectedState = true;
    bool MenuShowSelectedCheckMark = true;
    int CustomWidth = 0;
    int CustomHeight = 0;
};

/// (chosen item, function buffer, its size).
using TMenuItemClickEvent = std::function<void(TuiMenuItemEx& Sender, const void* ABufferPointer, std::uint32_t ASize)>;
/// (chosen item, its name, its ItemID, function buffer, its size).
using TMenuItemsClickEvent = std::function<void(TuiMenuItemEx& Sender, const std::string& AMenuItemName,
    std::uint32_t AMenuItemID, const void* ABufferPointer, std::uint32_t ASize)>;

/// The items of one level.
class TuiMenuItemsEx {
public:
    TuiMenuItemsEx(TuiMenuEx& root, TuiMenuItemEx* parentItem)
        : FRoot(root)
        , FParentItem(parentItem)
    {
    }
    TuiMenuItemsEx(const TuiMenuItemsEx&) = delete;
    TuiMenuItemsEx& operator=(const TuiMenuItemsEx&) = delete;

    /// Appends an item named "Item<n>" with the smallest free n >= 1; its ItemID is n at the top
    /// level and the parent's ItemID × 100 + n below it.
    TuiMenuItemEx& Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    /// The item at `index`, nullptr when out of range.
    TuiMenuItemEx* Items(int index) const;
    /// Removes the item at `index`; nothing happens for an index out of range.
    void Delete(int index);
    void Clear();
    /// Position of the first item with that ItemID, -1 when none.
    int IndexOfID(std::uint32_t id) const;

    TuiMenuItemEx* ParentItem() const { return FParentItem; }
    TuiMenuEx& RootMenu() const { return FRoot; }

    /// The last chosen row of this level, -1 for none.
    int ItemIndex = -1;
    TMenuParams Parameters;
    bool UseParentParameter = true;

private:
    TuiMenuEx& FRoot;
    TuiMenuItemEx* FParentItem;
    std::vector<std::unique_ptr<TuiMenuItemEx>> FItems;
};

/// One item; owns its sub-items.
class TuiMenuItemEx {
public:
    TuiMenuItemEx(TuiMenuEx& root, TuiMenuItemsEx& collection)
        : FCollection(collection)
        , FSubItems(root, this)
    {
    }
    TuiMenuItemEx(const TuiMenuItemEx&) = delete;
    TuiMenuItemEx& operator=(const TuiMenuItemEx&) = delete;

    std::string Caption;
    std::string Name;
    bool Checked = false;
    std::uint32_t ItemID = 0;
    /// Called instead of the menu's OnItemsClick when assigned.
    TMenuItemClickEvent OnClick;

    TuiMenuItemsEx& SubItems() { return FSubItems; }
    const TuiMenuItemsEx& SubItems() const { return FSubItems; }
    [[nodiscard]] bool HasSubItems() const { return FSubItems.Count() > 0; }
    TuiMenuItemsEx& Collection() const { return FCollection; }

private:
    TuiMenuItemsEx& FCollection;
    TuiMenuItemsEx FSubItems;
};

/// The menu component: root items, parameters and the click event.
class TuiMenuEx {
public:
    TuiMenuEx()
        : FItems(*this, nullptr)
    {
    }
    TuiMenuEx(const TuiMenuEx&) = delete;
    TuiMenuEx& operator=(const TuiMenuEx&) = delete;

    TuiMenuItemsEx& Items() { return FItems; }
    const TuiMenuItemsEx& Items() const { return FItems; }

    bool UseCustomMenuParams = false;
    TMenuParams Parameters;
    /// Optional; item FunctionItemIndex's buffer goes with every click event.
    TuiFunctionManager* FunctionManager = nullptr;
    int FunctionItemIndex = -1;
    TMenuItemsClickEvent OnItemsClick;

    /// The ID that every showing of any menu pre-selects; 0 at start.
    static std::int64_t SelectedMenuID();
    static void SetSelectedMenuID(std::int64_t id);

    /// The item with that ID anywhere in the tree (first in depth order), nullptr when none.
    TuiMenuItemEx* FindItem(std::uint32_t id) const;

    /// Runs the item's click: its OnClick when assigned, otherwise OnItemsClick. The handler may
    /// clear the collection that holds the item, so nothing touches it afterwards.
    void ItemClick(TuiMenuItemEx& item);

private:
    TuiMenuItemsEx FItems;
};

/// The row height of a shown level.
int MenuRowHeight(const TuiMenuItemsEx& level);
/// The parameters that govern a level's size and look.
const TMenuParams* MenuLevelParams(const TuiMenuItemsEx& level);
/// The pop-up height: the rows plus 5 and the margins, at most the screen height; CustomHeight wins.
int MenuLevelHeight(const TuiMenuItemsEx& level, int rowHeightSum, int screenHeight);
/// The pop-up width from the widest caption as measured in the row font.
int MenuLevelWidth(const TuiMenuItemsEx& level, int captionWidth);
/// The row a level shows selected: the one whose ItemID is the selected ID, else ItemIndex.
int PreselectedRow(const TuiMenuItemsEx& level, std::int64_t selectedID);

} // namespace bv
