#include "platform/locale.h"
#include "util/ascii.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bv::platform {

namespace {

struct LocaleId {
    std::string_view name; // "ll_CC" or "ll_CC@modifier"
    std::uint16_t langId;
    std::string_view nativeName; // the language's name in itself, as Windows shows it
};

// The first entry of each language is the one a bare or unlisted "ll_XX" falls back to.
constexpr LocaleId kLocales[] = {
    { "en_US", 0x0409, "English" },
    { "en_GB", 0x0809, "English" },
    { "en_AU", 0x0C09, "English" },
    { "en_CA", 0x1009, "English" },
    { "en_NZ", 0x1409, "English" },
    { "en_IE", 0x1809, "English" },
    { "en_ZA", 0x1C09, "English" },
    { "en_PH", 0x3409, "English" },
    { "en_IN", 0x4009, "English" },
    { "en_SG", 0x4809, "English" },
    // Hong Kong and Macao read Traditional Chinese, so they get the Taiwan language.
    { "zh_CN", 0x0804, "中文(简体)" },
    { "zh_SG", 0x1004, "中文(简体)" },
    { "zh_TW", 0x0404, "中文(繁體)" },
    { "zh_HK", 0x0404, "中文(繁體)" },
    { "zh_MO", 0x0404, "中文(繁體)" },
    { "de_DE", 0x0407, "Deutsch" },
    { "de_CH", 0x0807, "Deutsch" },
    { "de_AT", 0x0C07, "Deutsch" },
    { "de_LU", 0x1007, "Deutsch" },
    { "de_LI", 0x1407, "Deutsch" },
    { "fr_FR", 0x040C, "Français" },
    { "fr_BE", 0x080C, "Français" },
    { "fr_CA", 0x0C0C, "Français" },
    { "fr_CH", 0x100C, "Français" },
    { "fr_LU", 0x140C, "Français" },
    { "es_ES", 0x0C0A, "Español" },
    { "es_MX", 0x080A, "Español" },
    { "es_CO", 0x240A, "Español" },
    { "es_AR", 0x2C0A, "Español" },
    { "es_CL", 0x340A, "Español" },
    { "es_US", 0x540A, "Español" },
    { "it_IT", 0x0410, "Italiano" },
    { "it_CH", 0x0810, "Italiano" },
    { "pt_BR", 0x0416, "Português" },
    { "pt_PT", 0x0816, "Português" },
    { "nl_NL", 0x0413, "Nederlands" },
    { "nl_BE", 0x0813, "Nederlands" },
    { "sv_SE", 0x041D, "Svenska" },
    { "sv_FI", 0x081D, "Svenska" },
    { "ar_SA", 0x0401, "العربية" },
    { "ar_EG", 0x0C01, "العربية" },
    { "ar_AE", 0x3801, "العربية" },
    { "sr_RS", 0x281A, "Српски" },
    { "sr_RS@latin", 0x241A, "Srpski" },
    { "ja_JP", 0x0411, "日本語" },
    { "ko_KR", 0x0412, "한국어" },
    { "ru_RU", 0x0419, "Русский" },
    { "pl_PL", 0x0415, "Polski" },
    { "tr_TR", 0x041F, "Türkçe" },
    { "bg_BG", 0x0402, "Български" },
    { "ca_ES", 0x0403, "Català" },
    { "cs_CZ", 0x0405, "Čeština" },
    { "da_DK", 0x0406, "Dansk" },
    { "el_GR", 0x0408, "Ελληνικά" },
    { "fi_FI", 0x040B, "Suomi" },
    { "he_IL", 0x040D, "עברית" },
    { "hu_HU", 0x040E, "Magyar" },
    { "is_IS", 0x040F, "Íslenska" },
    { "nb_NO", 0x0414, "Norsk bokmål" },
    { "no_NO", 0x0414, "Norsk bokmål" },
    { "nn_NO", 0x0814, "Norsk nynorsk" },
    { "ro_RO", 0x0418, "Română" },
    { "hr_HR", 0x041A, "Hrvatski" },
    { "sk_SK", 0x041B, "Slovenčina" },
    { "sq_AL", 0x041C, "Shqip" },
    { "th_TH", 0x041E, "ไทย" },
    { "ur_PK", 0x0420, "اردو" },
    { "id_ID", 0x0421, "Bahasa Indonesia" },
    { "uk_UA", 0x0422, "Українська" },
    { "be_BY", 0x0423, "Беларуская" },
    { "sl_SI", 0x0424, "Slovenščina" },
    { "et_EE", 0x0425, "Eesti" },
    { "lv_LV", 0x0426, "Latviešu" },
    { "lt_LT", 0x0427, "Lietuvių" },
    { "fa_IR", 0x0429, "فارسی" },
    { "vi_VN", 0x042A, "Tiếng Việt" },
    { "hy_AM", 0x042B, "Հայերեն" },
    { "eu_ES", 0x042D, "Euskara" },
    { "mk_MK", 0x042F, "Македонски" },
    { "af_ZA", 0x0436, "Afrikaans" },
    { "ka_GE", 0x0437, "ქართული" },
    { "hi_IN", 0x0439, "हिन्दी" },
    { "ms_MY", 0x043E, "Bahasa Melayu" },
    { "kk_KZ", 0x043F, "Қазақ тілі" },
    { "sw_KE", 0x0441, "Kiswahili" },
    { "bn_IN", 0x0445, "বাংলা" },
    { "bn_BD", 0x0845, "বাংলা" },
    { "ta_IN", 0x0449, "தமிழ்" },
    { "gl_ES", 0x0456, "Galego" },
    { "fil_PH", 0x0464, "Filipino" },
};

constexpr std::uint16_t kEnglish = 0x0409;

std::string formatLangId(std::uint16_t id)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    return { kHex[id >> 12], kHex[(id >> 8) & 0xF], kHex[(id >> 4) & 0xF], kHex[id & 0xF] };
}

std::optional<std::uint16_t> lookup(std::string_view name)
{
    for (const auto& entry : kLocales)
        if (entry.name == name)
            return entry.langId;
    return std::nullopt;
}

std::optional<std::uint16_t> lookupLanguage(std::string_view language)
{
    for (const auto& entry : kLocales) {
        const auto underscore = entry.name.find('_');
        if (entry.name.substr(0, underscore) == language)
            return entry.langId;
    }
    return std::nullopt;
}

} // namespace

std::vector<LocaleLanguage> builtInLocaleLanguages()
{
    std::vector<LocaleLanguage> table;
    table.reserve(std::size(kLocales));
    for (const auto& entry : kLocales)
        table.push_back({ entry.langId, std::string(entry.nativeName) });
    return table;
}

std::string langIdFromLocaleName(const std::string& localeName)
{
    // language[_territory][.codeset][@modifier]; the codeset does not change the language.
    std::string_view rest(localeName);
    std::string modifier;
    if (const auto at = rest.find('@'); at != std::string_view::npos) {
        for (char c : rest.substr(at + 1))
            modifier += util::AsciiLower(c);
        rest = rest.substr(0, at);
    }
    rest = rest.substr(0, rest.find('.'));
    const auto underscore = rest.find('_');

    std::string language;
    for (char c : rest.substr(0, underscore))
        language += util::AsciiLower(c);
    std::string territory;
    if (underscore != std::string_view::npos)
        for (char c : rest.substr(underscore + 1))
            territory += util::AsciiUpper(c);

    std::optional<std::uint16_t> id;
    if (!territory.empty()) {
        const std::string full = language + "_" + territory;
        if (!modifier.empty())
            id = lookup(full + "@" + modifier);
        if (!id)
            id = lookup(full);
    }
    if (!id && !language.empty())
        id = lookupLanguage(language);
    // "C", "POSIX" and anything unknown.
    return formatLangId(id.value_or(kEnglish));
}

} // namespace bv::platform
