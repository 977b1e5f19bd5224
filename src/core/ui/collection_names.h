#pragma once
// Default names for items added to a collection without one ("Command1", "Item2", ...).

#include "util/ascii.h"

#include <string>
#include <string_view>

namespace bv::ui_detail {

/// The smallest n >= 1 for which no existing name equals prefix + n (ignoring case).
/// `names(visit)` calls visit(name) for every name of the collection.
template <typename ForEachName> int FirstFreeNumber(std::string_view prefix, ForEachName&& names)
{
    for (int n = 1;; ++n) {
        const std::string candidate = std::string(prefix) + std::to_string(n);
        bool taken = false;
        names([&](std::string_view name) { taken = taken || util::SameIgnoringAsciiCase(name, candidate); });
        if (!taken)
            return n;
    }
}

} // namespace bv::ui_detail
