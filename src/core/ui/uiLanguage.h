#pragma once
// The language file "ui.local", the one translation lookup Translate, and TuiLanguage: the list
// of languages, the active translation table and the language names of the locale table.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bv {

/// One language of a language file: its short ID ("0804") and its "source=translation" lines.
struct LanguageTable {
    std::string ShortID;
    std::vector<std::string> Lines;

    bool operator==(const LanguageTable&) const = default;
};

/// The whole contents of a language file, text in UTF-8.
struct LanguageFile {
    std::vector<std::string> Sources; // the English source texts, for the language editor
    std::vector<LanguageTable> Languages;

    bool operator==(const LanguageFile&) const = default;
};

/// A language file that cannot be read or written; what() says what is wrong and where.
struct LanguageFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// Largest language file read; a real one is a few hundred kilobytes at most.
inline constexpr std::uintmax_t kMaxLanguageFileBytes = 16u * 1024u * 1024u;

/// Decodes a language file. Every length and count is checked against the bytes that are left,
/// so nothing larger than the input is ever allocated. Throws LanguageFileError.
LanguageFile ParseLanguageFile(std::span<const std::uint8_t> bytes);

/// Encodes a language file. Throws LanguageFileError for a text that the format cannot carry
/// (a line break inside a line).
std::vector<std::uint8_t> SerializeLanguageFile(const LanguageFile& file);

/// Reads and decodes a file. Throws LanguageFileError (also when the file is missing or unreadable).
LanguageFile ReadLanguageFile(const std::filesystem::path& path);

/// Encodes and writes a file atomically. Throws LanguageFileError or std::filesystem::filesystem_error.
void WriteLanguageFile(const std::filesystem::path& path, const LanguageFile& file);

/// Splits a table line at its first equals sign; nullopt for a line without one.
struct TranslationLine {
    std::string_view Source;
    std::string_view Translation;
};
[[nodiscard]] std::optional<TranslationLine> SplitTranslationLine(std::string_view line);

/// A table prepared for lookups in both directions. The first line of a source text wins.
class TranslationTable {
public:
    explicit TranslationTable(const std::vector<std::string>& lines);

    /// The translation of `source`, nullopt when the table has no line for it.
    [[nodiscard]] std::optional<std::string_view> Find(std::string_view source) const;
    /// The source text of the first line whose translation is `translation`.
    [[nodiscard]] std::optional<std::string_view> FindSource(std::string_view translation) const;

private:
    struct Impl;
    std::shared_ptr<const Impl> FImpl;
};

/// The translation lookup of every window: the active table's non-empty translation of `text`,
/// otherwise `text` itself. While the table is being dropped (back to English) the lookup runs
/// in reverse and turns a translation back into its source text. Case-sensitive.
std::string Translate(std::string_view text);

/// Called by Translate for every non-empty text that the active table cannot translate (no line
/// or an empty translation); tests and the language editor use it to find missing lines.
/// Pass an empty function to remove it.
void SetUntranslatedTextObserver(std::function<void(std::string_view)> observer);

/// The language component: the languages of a file, the active language and the locale names.
/// Lives on the UI thread; the active translation table it sets is shared by the whole program.
class TuiLanguage {
public:
    /// (component, short ID, long name), after every SetLang.
    using TLanguageChangedEvent = std::function<void(TuiLanguage&, const std::string&, const std::string&)>;

    /// Builds the program-wide locale table on first use; loads no file.
    TuiLanguage();
    TuiLanguage(const TuiLanguage&) = delete;
    TuiLanguage& operator=(const TuiLanguage&) = delete;

    /// What the component does when the main window creates it: loads "ui.local" from `folder`
    /// when that file exists. Returns false when there is no file or it could not be loaded.
    [[nodiscard]] bool LoadFromFolder(const std::filesystem::path& folder);

    /// Replaces the language list with the file's. On failure the list is empty, LastLoadError()
    /// says why, and every text stays English.
    [[nodiscard]] bool LoadFromFile(const std::filesystem::path& path);
    /// Writes the source texts and the language list. Throws like WriteLanguageFile.
    void SaveToFile(const std::filesystem::path& path) const;
    const std::string& LastLoadError() const { return FLastLoadError; }

    /// The source texts and languages as loaded (or as set for saving).
    const LanguageFile& File() const { return FFile; }
    void SetFile(LanguageFile file) { FFile = std::move(file); }

    /// Activates a language of the list ("en" drops the active table), lets the windows show their
    /// texts again, records the short ID and raises OnLanguageChanged.
    void SetLang(const std::string& shortID);
    /// The short ID given to the last SetLang (FLanguageName).
    const std::string& LanguageName() const { return FLanguageName; }

    int GetLanguageIndexByShortID(std::string_view shortID) const;
    std::string GetLanguageShortIDByIndex(int index) const;
    int LanguageCount() const { return static_cast<int>(FFile.Languages.size()); }

    /// Native language names from the locale table; empty when the table has no such entry.
    static std::string GetLanguageLongNameByShortID(std::string_view shortID);
    static std::string GetLanguageLongNameByLangID(std::uint16_t langID);
    /// The system default language as four upper-case hex digits.
    static std::string GetOSDefaultLang();

    TLanguageChangedEvent OnLanguageChanged;
    /// Run by SetLang at the point where every open window shows Translate of its texts again
    /// (the reverse lookup is in force during it when the table is being dropped).
    std::function<void()> OnTranslateWindows;

private:
    LanguageFile FFile;
    std::string FLanguageName;
    std::string FLastLoadError;
};

} // namespace bv
