#pragma once
// The system's language settings.

#include <string>

namespace bv::platform {

/// The system default language identifier as four upper-case hex digits ("0409", "0804", ...).
/// Windows: GetSystemDefaultLangID. POSIX: from LC_ALL, LC_MESSAGES or LANG (first one set);
/// "C", "POSIX" and unknown locales give English, "0409".
std::string osDefaultLangId();

/// The POSIX mapping on its own, for a locale name such as "zh_TW.UTF-8" or "de_DE@euro".
std::string langIdFromLocaleName(const std::string& localeName);

} // namespace bv::platform
