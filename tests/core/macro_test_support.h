#pragma once
// Builds the stored macro list that the macro file and model tests start from.

#include "settings/macro_records.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace bv::test {

/// A stored list holding `macros` in order, each numbered by its place; everything past them is zero.
inline std::unique_ptr<TMACROKEYINFOLIST> macroList(const std::vector<TMACROKEYINFO>& macros)
{
    auto l = std::make_unique<TMACROKEYINFOLIST>();
    std::memset(static_cast<void*>(l.get()), 0, sizeof *l);
    for (std::size_t i = 0; i < macros.size(); ++i) {
        l->MacroInfos[i] = macros[i];
        l->MacroInfos[i].nMacroIndex = static_cast<std::uint16_t>(i);
    }
    l->nMacroInfoCount = static_cast<std::uint16_t>(macros.size());
    return l;
}

} // namespace bv::test
