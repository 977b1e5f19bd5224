#include "platform/locale.h"

#include <cstdlib>

namespace bv::platform {

std::string osDefaultLangId()
{
    // The precedence the C library uses for message language.
    for (const char* variable : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        if (const char* value = std::getenv(variable); value && *value)
            return langIdFromLocaleName(value);
    }
    return langIdFromLocaleName("C");
}

} // namespace bv::platform
