#pragma once
// TuiFunctionManager: a named list of function items, each with its own data buffer, that a
// function menu can hand to its click event.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bv {

/// (item ID, the item's buffer, its size).
using TuiFunctionItemEvent
    = std::function<void(std::int32_t AFunctionID, const void* BufferPointer, std::uint32_t Size)>;

class TuiFunctionItem {
public:
    std::string Name;
    std::string Caption;
    std::string Hint;
    std::string Data;
    std::string Description;
    std::string ShortDescription;
    std::uint32_t ItemID = 0;
    TuiFunctionItemEvent OnExecute;

    /// Replaces the item's block with a copy of `buffer`; an empty buffer (or none) changes nothing.
    void SetBuffer(std::span<const std::uint8_t> buffer);
    void SetBuffer(const void* buffer, std::uint32_t size);
    /// Copies the item's bytes into `out`, at most out.size() of them; returns the number copied.
    [[nodiscard]] std::uint32_t GetBuffer(std::span<std::uint8_t> out) const;
    [[nodiscard]] std::uint32_t GetBufferSize() const { return static_cast<std::uint32_t>(FBuffer.size()); }
    /// The item's block (FBuffer), nullptr while it has none.
    const std::uint8_t* Buffer() const { return FBuffer.empty() ? nullptr : FBuffer.data(); }

    /// Calls OnExecute(ItemID, buffer, size) when it is assigned.
    void RunIt() const;
    /// Name, or the class name when Name is empty (what a collection item shows by default).
    std::string DisplayName() const { return Name.empty() ? std::string("TuiFunctionItem") : Name; }

private:
    std::vector<std::uint8_t> FBuffer;
};

class TuiFunctions {
public:
    /// Appends an item; without a name it is called "Item<n>" with the smallest n >= 1 not yet
    /// used (ignoring case), and its ItemID becomes n.
    TuiFunctionItem& Add(std::string name = {});
    int Count() const { return static_cast<int>(FItems.size()); }
    /// The item at `index`, nullptr when out of range.
    TuiFunctionItem* Items(int index);
    const TuiFunctionItem* Items(int index) const;
    /// Position of the first item with that name (ignoring case), -1 when none.
    int IndexOf(std::string_view name) const;
    /// Removes the item at `index`; nothing happens for an index out of range.
    void Delete(int index);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TuiFunctionItem>> FItems;
};

class TuiFunctionManager {
public:
    TuiFunctions& Items() { return FFunctionItems; }
    const TuiFunctions& Items() const { return FFunctionItems; }

private:
    TuiFunctions FFunctionItems;
};

} // namespace bv
