#include "platform/locale.h"

#include <windows.h>

#include <cstdio>

namespace bv::platform {

std::string osDefaultLangId()
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(GetSystemDefaultLangID()));
    return text;
}

} // namespace bv::platform
