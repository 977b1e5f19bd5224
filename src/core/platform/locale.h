#pragma once
// The system's language settings.

#include <cstdint>
#include <string>
#include <vector>

namespace bv::platform {

/// The system default language identifier as four upper-case hex digits ("0409", "0804", ...).
/// Windows: GetSystemDefaultLangID. POSIX: from LC_ALL, LC_MESSAGES or LANG (first one set);
/// "C", "POSIX" and unknown locales give English, "0409".
std::string osDefaultLangId();

/// The POSIX mapping on its own, for a locale name such as "zh_TW.UTF-8" or "de_DE@euro".
std::string langIdFromLocaleName(const std::string& localeName);

/// A language the system knows: its identifier and its name written in that language.
struct LocaleLanguage {
    std::uint16_t langId;
    std::string nativeName; // UTF-8, e.g. "Deutsch", "中文(简体)"
};

/// The system's supported locales in enumeration order; an identifier may appear more than once.
/// Windows: every supported locale with its LOCALE_SNATIVELANGNAME, then the built-in table for
/// anything the system lacks. POSIX: the built-in table, since a POSIX locale has a Windows
/// identifier only through that same table.
std::vector<LocaleLanguage> supportedLocaleLanguages();

/// Native names for every locale that langIdFromLocaleName knows, on every platform.
std::vector<LocaleLanguage> builtInLocaleLanguages();

} // namespace bv::platform
