#include "platform/locale.h"
#include "platform/win_text.h"

#include <windows.h>

#include <cwchar>

namespace bv::platform {

namespace {

std::vector<LocaleLanguage>* gEnumerated = nullptr;

BOOL CALLBACK addLocale(LPWSTR localeText)
{
    // The callback receives the locale identifier as 8 hex digits.
    const auto lcid = static_cast<LCID>(std::wcstoul(localeText, nullptr, 16));
    wchar_t name[128] = {};
    if (GetLocaleInfoW(lcid, LOCALE_SNATIVELANGNAME, name, static_cast<int>(std::size(name))) > 0)
        gEnumerated->push_back({ LANGIDFROMLCID(lcid), win::narrow(name) });
    return TRUE;
}

} // namespace

std::vector<LocaleLanguage> supportedLocaleLanguages()
{
    std::vector<LocaleLanguage> table;
    gEnumerated = &table;
    EnumSystemLocalesW(addLocale, LCID_SUPPORTED);
    gEnumerated = nullptr;
    for (auto& entry : builtInLocaleLanguages())
        table.push_back(std::move(entry));
    return table;
}

} // namespace bv::platform
