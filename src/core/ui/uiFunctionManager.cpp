#include "ui/uiFunctionManager.h"

#include "ui/collection_names.h"
#include "util/ascii.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace bv {

void TuiFunctionItem::SetBuffer(std::span<const std::uint8_t> buffer)
{
    if (buffer.empty() || buffer.data() == nullptr)
        return;
    if (buffer.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("a function item's buffer is limited to 4 GiB");
    FBuffer.assign(buffer.begin(), buffer.end());
}

void TuiFunctionItem::SetBuffer(const void* buffer, std::uint32_t size)
{
    if (buffer == nullptr)
        return;
    SetBuffer(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(buffer), size));
}

std::uint32_t TuiFunctionItem::GetBuffer(std::span<std::uint8_t> out) const
{
    const std::size_t n = std::min(out.size(), FBuffer.size());
    if (n != 0)
        std::memcpy(out.data(), FBuffer.data(), n);
    return static_cast<std::uint32_t>(n);
}

void TuiFunctionItem::RunIt() const
{
    if (OnExecute)
        OnExecute(static_cast<std::int32_t>(ItemID), Buffer(), GetBufferSize());
}

TuiFunctionItem& TuiFunctions::Add(std::string name)
{
    auto item = std::make_unique<TuiFunctionItem>();
    if (name.empty()) {
        const int n = ui_detail::FirstFreeNumber("Item", [this](auto&& visit) {
            for (const auto& existing : FItems)
                visit(existing->Name);
        });
        name = "Item" + std::to_string(n);
        item->ItemID = static_cast<std::uint32_t>(n);
    }
    item->Name = std::move(name);
    FItems.push_back(std::move(item));
    return *FItems.back();
}

TuiFunctionItem* TuiFunctions::Items(int index)
{
    return index >= 0 && index < Count() ? FItems[static_cast<std::size_t>(index)].get() : nullptr;
}

const TuiFunctionItem* TuiFunctions::Items(int index) const
{
    return index >= 0 && index < Count() ? FItems[static_cast<std::size_t>(index)].get() : nullptr;
}

int TuiFunctions::IndexOf(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i)
        if (util::SameIgnoringAsciiCase(FItems[static_cast<std::size_t>(i)]->Name, name))
            return i;
    return -1;
}

void TuiFunctions::Delete(int index)
{
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

} // namespace bv
