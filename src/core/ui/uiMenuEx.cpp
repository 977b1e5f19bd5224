#include "ui/uiMenuEx.h"

#include "ui/collection_names.h"
#include "ui/uiFunctionManager.h"

#include <algorithm>

namespace bv {

namespace {

std::int64_t gSelectedMenuID = 0;

TuiMenuItemEx* findIn(const TuiMenuItemsEx& items, std::uint32_t id)
{
    for (int i = 0; i < items.Count(); ++i) {
        TuiMenuItemEx* item = items.Items(i);
        if (item->ItemID == id)
            return item;
        if (TuiMenuItemEx* found = findIn(item->SubItems(), id))
            return found;
    }
    return nullptr;
}

} // namespace

TuiMenuItemEx& TuiMenuItemsEx::Add()
{
    const int n = ui_detail::FirstFreeNumber("Item", [this](auto&& visit) {
        for (const auto& existing : FItems)
            visit(existing->Name);
    });
    auto item = std::make_unique<TuiMenuItemEx>(FRoot, *this);
    item->Name = "Item" + std::to_string(n);
    item->ItemID = FParentItem ? FParentItem->ItemID * 100 + std::uint32_t(n) : std::uint32_t(n);
    FItems.push_back(std::move(item));
    return *FItems.back();
}

TuiMenuItemEx* TuiMenuItemsEx::Items(int index) const
{
    return index >= 0 && index < Count() ? FItems[std::size_t(index)].get() : nullptr;
}

void TuiMenuItemsEx::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    FItems.erase(FItems.begin() + index);
    if (ItemIndex >= Count())
        ItemIndex = -1;
}

void TuiMenuItemsEx::Clear()
{
    FItems.clear();
    ItemIndex = -1;
}

int TuiMenuItemsEx::IndexOfID(std::uint32_t id) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[std::size_t(i)]->ItemID == id)
            return i;
    return -1;
}

std::int64_t TuiMenuEx::SelectedMenuID()
{
    return gSelectedMenuID;
}

void TuiMenuEx::SetSelectedMenuID(std::int64_t id)
{
    gSelectedMenuID = id;
}

TuiMenuItemEx* TuiMenuEx::FindItem(std::uint32_t id) const
{
    return findIn(FItems, id);
}

void TuiMenuEx::ItemClick(TuiMenuItemEx& item)
{
    const void* buffer = nullptr;
    std::uint32_t size = 0;
    if (FunctionManager != nullptr && FunctionItemIndex >= 0)
        if (const TuiFunctionItem* f = FunctionManager->Items().Items(FunctionItemIndex)) {
            buffer = f->Buffer();
            size = f->GetBufferSize();
        }
    if (item.OnClick) {
        const TMenuItemClickEvent handler = item.OnClick; // the handler may delete the item
        handler(item, buffer, size);
    } else if (OnItemsClick) {
        const TMenuItemsClickEvent handler = OnItemsClick;
        const std::string name = item.Name;
        handler(item, name, item.ItemID, buffer, size);
    }
}

const TMenuParams* MenuLevelParams(const TuiMenuItemsEx& level)
{
    const TuiMenuEx& menu = level.RootMenu();
    if (!menu.UseCustomMenuParams)
        return nullptr;
    return level.UseParentParameter ? &menu.Parameters : &level.Parameters;
}

int MenuRowHeight(const TuiMenuItemsEx& level)
{
    const TMenuParams* params = MenuLevelParams(level);
    if (params == nullptr)
        return 40;
    if (level.UseParentParameter)
        return std::max(params->ItemHeight, 20);
    return std::max(params->ItemHeight, 1); // a row must stay reachable
}

int MenuLevelHeight(const TuiMenuItemsEx& level, int rowHeightSum, int screenHeight)
{
    const TMenuParams* params = MenuLevelParams(level);
    if (params != nullptr && params->CustomHeight != 0)
        return params->CustomHeight;
    int height = rowHeightSum + 5;
    if (params != nullptr)
        height += params->BGMargins.Top + params->BGMargins.Bottom;
    return std::min(height, screenHeight);
}

int MenuLevelWidth(const TuiMenuItemsEx& level, int captionWidth)
{
    const TMenuParams* params = MenuLevelParams(level);
    if (params == nullptr)
        return captionWidth + 100;
    if (params->CustomWidth != 0)
        return params->CustomWidth;
    const int margins = params->BGMargins.Left + params->BGMargins.Right;
    if (!level.UseParentParameter && !params->ItemAutoSize)
        return params->ItemWidth + margins;
    return captionWidth + 100 + margins;
}

int PreselectedRow(const TuiMenuItemsEx& level, std::int64_t selectedID)
{
    if (selectedID >= 0 && (std::uint64_t(selectedID) >> 32) == 0) {
        const int row = level.IndexOfID(std::uint32_t(selectedID));
        if (row >= 0)
            return row;
    }
    return level.ItemIndex >= 0 && level.ItemIndex < level.Count() ? level.ItemIndex : -1;
}

} // namespace bv
