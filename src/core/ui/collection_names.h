#pragma once
// Default names for items added to a collection without one ("Command1", "Item2", ...).

#include <string>
#include <string_view>

namespace bv::ui_detail {

/// True when the two names are equal without regard to ASCII letter case.
inline bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

/// The smallest n >= 1 for which no existing name equals prefix + n (ignoring case).
/// `names(visit)` calls visit(name) for every name of the collection.
template <typename ForEachName> int FirstFreeNumber(std::string_view prefix, ForEachName&& names)
{
    for (int n = 1;; ++n) {
        const std::string candidate = std::string(prefix) + std::to_string(n);
        bool taken = false;
        names([&](std::string_view name) { taken = taken || SameName(name, candidate); });
        if (!taken)
            return n;
    }
}

} // namespace bv::ui_detail
