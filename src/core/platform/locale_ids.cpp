#include "platform/locale.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bv::platform {

namespace {

struct LocaleId {
    std::string_view name; // "ll_CC" or "ll_CC@modifier"
    std::uint16_t langId;
};

// The first entry of each language is the one a bare or unlisted "ll_XX" falls back to.
constexpr LocaleId kLocales[] = {
    { "en_US", 0x0409 },
    { "en_GB", 0x0809 },
    { "en_AU", 0x0C09 },
    { "en_CA", 0x1009 },
    { "en_NZ", 0x1409 },
    { "en_IE", 0x1809 },
    { "en_ZA", 0x1C09 },
    { "en_PH", 0x3409 },
    { "en_IN", 0x4009 },
    { "en_SG", 0x4809 },
    // Hong Kong and Macao read Traditional Chinese, so they get the Taiwan language.
    { "zh_CN", 0x0804 },
    { "zh_SG", 0x1004 },
    { "zh_TW", 0x0404 },
    { "zh_HK", 0x0404 },
    { "zh_MO", 0x0404 },
    { "de_DE", 0x0407 },
    { "de_CH", 0x0807 },
    { "de_AT", 0x0C07 },
    { "de_LU", 0x1007 },
    { "de_LI", 0x1407 },
    { "fr_FR", 0x040C },
    { "fr_BE", 0x080C },
    { "fr_CA", 0x0C0C },
    { "fr_CH", 0x100C },
    { "fr_LU", 0x140C },
    { "es_ES", 0x0C0A },
    { "es_MX", 0x080A },
    { "es_CO", 0x240A },
    { "es_AR", 0x2C0A },
    { "es_CL", 0x340A },
    { "es_US", 0x540A },
    { "it_IT", 0x0410 },
    { "it_CH", 0x0810 },
    { "pt_BR", 0x0416 },
    { "pt_PT", 0x0816 },
    { "nl_NL", 0x0413 },
    { "nl_BE", 0x0813 },
    { "sv_SE", 0x041D },
    { "sv_FI", 0x081D },
    { "ar_SA", 0x0401 },
    { "ar_EG", 0x0C01 },
    { "ar_AE", 0x3801 },
    { "sr_RS", 0x281A },
    { "sr_RS@latin", 0x241A },
    { "ja_JP", 0x0411 },
    { "ko_KR", 0x0412 },
    { "ru_RU", 0x0419 },
    { "pl_PL", 0x0415 },
    { "tr_TR", 0x041F },
    { "bg_BG", 0x0402 },
    { "ca_ES", 0x0403 },
    { "cs_CZ", 0x0405 },
    { "da_DK", 0x0406 },
    { "el_GR", 0x0408 },
    { "fi_FI", 0x040B },
    { "he_IL", 0x040D },
    { "hu_HU", 0x040E },
    { "is_IS", 0x040F },
    { "nb_NO", 0x0414 },
    { "no_NO", 0x0414 },
    { "nn_NO", 0x0814 },
    { "ro_RO", 0x0418 },
    { "hr_HR", 0x041A },
    { "sk_SK", 0x041B },
    { "sq_AL", 0x041C },
    { "th_TH", 0x041E },
    { "ur_PK", 0x0420 },
    { "id_ID", 0x0421 },
    { "uk_UA", 0x0422 },
    { "be_BY", 0x0423 },
    { "sl_SI", 0x0424 },
    { "et_EE", 0x0425 },
    { "lv_LV", 0x0426 },
    { "lt_LT", 0x0427 },
    { "fa_IR", 0x0429 },
    { "vi_VN", 0x042A },
    { "hy_AM", 0x042B },
    { "eu_ES", 0x042D },
    { "mk_MK", 0x042F },
    { "af_ZA", 0x0436 },
    { "ka_GE", 0x0437 },
    { "hi_IN", 0x0439 },
    { "ms_MY", 0x043E },
    { "kk_KZ", 0x043F },
    { "sw_KE", 0x0441 },
    { "bn_IN", 0x0445 },
    { "bn_BD", 0x0845 },
    { "ta_IN", 0x0449 },
    { "gl_ES", 0x0456 },
    { "fil_PH", 0x0464 },
};

constexpr std::uint16_t kEnglish = 0x0409;

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

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

std::string langIdFromLocaleName(const std::string& localeName)
{
    // language[_territory][.codeset][@modifier]; the codeset does not change the language.
    std::string_view rest(localeName);
    std::string modifier;
    if (const auto at = rest.find('@'); at != std::string_view::npos) {
        for (char c : rest.substr(at + 1))
            modifier += lower(c);
        rest = rest.substr(0, at);
    }
    rest = rest.substr(0, rest.find('.'));
    const auto underscore = rest.find('_');

    std::string language;
    for (char c : rest.substr(0, underscore))
        language += lower(c);
    std::string territory;
    if (underscore != std::string_view::npos)
        for (char c : rest.substr(underscore + 1))
            territory += upper(c);

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
