// Feeds arbitrary bytes to the language file reader and, as text, to the source-file parser.
#include "ui/language_source.h"
#include "ui/uiLanguage.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        const bv::LanguageFile file = bv::ParseLanguageFile(bytes);
        // Whatever was accepted must be written back and read back unchanged.
        if (bv::ParseLanguageFile(bv::SerializeLanguageFile(file)) != file)
            std::abort();
        for (const auto& language : file.Languages) {
            const bv::TranslationTable table(language.Lines);
            for (const auto& source : file.Sources)
                (void)table.Find(source);
        }
    } catch (const bv::LanguageFileError&) {
    }

    try {
        const auto source
            = bv::ParseLanguageSource(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.lang");
        const bv::LanguageFile built = bv::BuildLanguageFile({ source });
        if (bv::ParseLanguageFile(bv::SerializeLanguageFile(built)) != built)
            std::abort();
    } catch (const bv::LanguageSourceError&) {
    }
    return 0;
}
