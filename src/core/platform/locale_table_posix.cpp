#include "platform/locale.h"

namespace bv::platform {

std::vector<LocaleLanguage> supportedLocaleLanguages()
{
    return builtInLocaleLanguages();
}

} // namespace bv::platform
