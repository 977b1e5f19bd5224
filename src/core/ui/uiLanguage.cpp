#include "ui/uiLanguage.h"

#include "platform/atomic_file.h"
#include "platform/locale.h"
#include "util/utf16.h"

#include <bit>
#include <climits>
#include <cstdio>
#include <map>
#include <mutex>
#include <system_error>

namespace bv {

static_assert(std::endian::native == std::endian::little);

namespace {

// ---- the binary format ------------------------------------------------------------------------

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes)
        : FBytes(bytes)
    {
    }

    std::size_t Offset() const { return FPos; }
    std::size_t Left() const { return FBytes.size() - FPos; }

    std::int32_t ReadInt32(const std::string& what)
    {
        if (Left() < 4)
            Fail(what, "the file ends inside its 4-byte length or count");
        const std::uint32_t v = static_cast<std::uint32_t>(FBytes[FPos])
            | static_cast<std::uint32_t>(FBytes[FPos + 1]) << 8 | static_cast<std::uint32_t>(FBytes[FPos + 2]) << 16
            | static_cast<std::uint32_t>(FBytes[FPos + 3]) << 24;
        FPos += 4;
        return static_cast<std::int32_t>(v);
    }

    std::string ReadString(const std::string& what)
    {
        const std::size_t start = FPos;
        const std::int32_t units = ReadInt32(what);
        if (units < 0)
            Fail(what, "its length is " + std::to_string(units), start);
        // Checked before anything is allocated: a length can never claim more than the file holds.
        if (static_cast<std::uint64_t>(units) * 2 > Left())
            Fail(what,
                "its length is " + std::to_string(units) + " UTF-16 units but only " + std::to_string(Left())
                    + " bytes are left",
                start);
        std::u16string text(static_cast<std::size_t>(units), u'\0');
        for (auto& unit : text) {
            unit = static_cast<char16_t>(FBytes[FPos] | FBytes[FPos + 1] << 8);
            FPos += 2;
        }
        if (!IsWellFormed(text))
            Fail(what, "it holds an unpaired UTF-16 surrogate", start);
        return util::utf16ToUtf8(text);
    }

    [[noreturn]] void Fail(const std::string& what, const std::string& problem) const { Fail(what, problem, FPos); }
    [[noreturn]] static void Fail(const std::string& what, const std::string& problem, std::size_t offset)
    {
        throw LanguageFileError(what + " at byte " + std::to_string(offset) + ": " + problem);
    }

private:
    static bool IsWellFormed(std::u16string_view text)
    {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF) {
                if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                    return false;
                ++i;
            } else if (c >= 0xDC00 && c <= 0xDFFF) {
                return false;
            }
        }
        return true;
    }

    std::span<const std::uint8_t> FBytes;
    std::size_t FPos = 0;
};

// CR LF, a lone CR and a lone LF all end a line; a final line break adds no empty line.
std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

void AppendString(std::vector<std::uint8_t>& out, std::string_view utf8, const std::string& what)
{
    const std::u16string text = util::utf8ToUtf16(utf8);
    if (text.size() > static_cast<std::size_t>(INT32_MAX))
        throw LanguageFileError(what + " is too long for a language file");
    const auto units = static_cast<std::uint32_t>(text.size());
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(units >> shift));
    for (char16_t unit : text) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
}

// Each line ends with CR LF, so an empty last line survives the trip.
std::string JoinLines(const std::vector<std::string>& lines, const std::string& what)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find_first_of("\r\n") != std::string::npos)
            throw LanguageFileError(
                what + ", line " + std::to_string(i + 1) + ", holds a line break: \"" + lines[i] + "\"");
        text += lines[i];
        text += "\r\n";
    }
    return text;
}

std::string LanguageLabel(std::size_t index)
{
    return "language " + std::to_string(index + 1);
}

// ---- the program-wide translation state ---------------------------------------------------------

struct ActiveTranslation {
    std::shared_ptr<const TranslationTable> Table;
    bool Reverse = false; // the table is being dropped
};

std::mutex gMutex;
ActiveTranslation gActive;
std::shared_ptr<const std::function<void(std::string_view)>> gObserver;

void SetActiveTranslation(ActiveTranslation active)
{
    const std::lock_guard lock(gMutex);
    gActive = std::move(active);
}

// ---- the locale table ---------------------------------------------------------------------------

std::string FormatLangID(std::uint16_t id)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(id));
    return text;
}

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Key: the identifier as 4 upper-case hex digits; the first locale found for a key wins.
const std::map<std::string, std::string, std::less<>>& LocaleTable()
{
    static const auto table = [] {
        std::map<std::string, std::string, std::less<>> names;
        for (const auto& locale : platform::supportedLocaleLanguages())
            names.emplace(FormatLangID(locale.langId), locale.nativeName);
        return names;
    }();
    return table;
}

bool SameTextAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

} // namespace

// ---- file ---------------------------------------------------------------------------------------

LanguageFile ParseLanguageFile(std::span<const std::uint8_t> bytes)
{
    Reader in(bytes);
    LanguageFile file;
    file.Sources = SplitLines(in.ReadString("the source texts"));

    const std::size_t countAt = in.Offset();
    const std::int32_t count = in.ReadInt32("the language count");
    // Each language needs at least two 4-byte lengths.
    if (count < 0 || static_cast<std::uint64_t>(count) > in.Left() / 8)
        Reader::Fail("the language count",
            "it is " + std::to_string(count) + " but the " + std::to_string(in.Left())
                + " bytes that follow hold at most " + std::to_string(in.Left() / 8),
            countAt);
    file.Languages.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < file.Languages.size(); ++i) {
        file.Languages[i].ShortID = in.ReadString("the short ID of " + LanguageLabel(i));
        file.Languages[i].Lines = SplitLines(in.ReadString("the table of " + LanguageLabel(i)));
    }
    if (in.Left() != 0)
        Reader::Fail("the end of the file",
            std::to_string(in.Left()) + " bytes follow the last of " + std::to_string(count) + " languages",
            in.Offset());
    return file;
}

std::vector<std::uint8_t> SerializeLanguageFile(const LanguageFile& file)
{
    if (file.Languages.size() > static_cast<std::size_t>(INT32_MAX))
        throw LanguageFileError("too many languages for a language file");
    std::vector<std::uint8_t> out;
    AppendString(out, JoinLines(file.Sources, "the source texts"), "the source texts");
    const auto count = static_cast<std::uint32_t>(file.Languages.size());
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(count >> shift));
    for (std::size_t i = 0; i < file.Languages.size(); ++i) {
        const auto& language = file.Languages[i];
        const std::string label = LanguageLabel(i) + " (\"" + language.ShortID + "\")";
        AppendString(out, language.ShortID, "the short ID of " + label);
        AppendString(out, JoinLines(language.Lines, "the table of " + label), "the table of " + label);
    }
    return out;
}

LanguageFile ReadLanguageFile(const std::filesystem::path& path)
{
    const std::string name = "\"" + path.string() + "\"";
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::readFile(path, kMaxLanguageFileBytes);
    } catch (const std::exception& e) {
        throw LanguageFileError(name + " cannot be read: " + e.what());
    }
    if (!bytes)
        throw LanguageFileError(name + " does not exist");
    try {
        return ParseLanguageFile(*bytes);
    } catch (const LanguageFileError& e) {
        throw LanguageFileError(name + " is not a valid language file: " + e.what());
    }
}

void WriteLanguageFile(const std::filesystem::path& path, const LanguageFile& file)
{
    platform::writeFileAtomic(path, SerializeLanguageFile(file));
}

std::optional<TranslationLine> SplitTranslationLine(std::string_view line)
{
    const auto equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return TranslationLine { line.substr(0, equals), line.substr(equals + 1) };
}

// ---- lookup -------------------------------------------------------------------------------------

struct TranslationTable::Impl {
    std::map<std::string, std::string, std::less<>> Forward;
    std::map<std::string, std::string, std::less<>> Backward;
};

TranslationTable::TranslationTable(const std::vector<std::string>& lines)
{
    auto impl = std::make_shared<Impl>();
    for (const auto& line : lines) {
        const auto split = SplitTranslationLine(line);
        if (!split)
            continue;
        impl->Forward.emplace(split->Source, split->Translation);
        if (!split->Translation.empty())
            impl->Backward.emplace(split->Translation, split->Source);
    }
    FImpl = std::move(impl);
}

std::optional<std::string_view> TranslationTable::Find(std::string_view source) const
{
    const auto it = FImpl->Forward.find(source);
    if (it == FImpl->Forward.end())
        return std::nullopt;
    return std::string_view(it->second);
}

std::optional<std::string_view> TranslationTable::FindSource(std::string_view translation) const
{
    const auto it = FImpl->Backward.find(translation);
    if (it == FImpl->Backward.end())
        return std::nullopt;
    return std::string_view(it->second);
}

std::string Translate(std::string_view text)
{
    if (text.empty())
        return {};
    ActiveTranslation active;
    std::shared_ptr<const std::function<void(std::string_view)>> observer;
    {
        const std::lock_guard lock(gMutex);
        active = gActive;
        observer = gObserver;
    }
    if (!active.Table)
        return std::string(text);
    if (active.Reverse) {
        const auto source = active.Table->FindSource(text);
        return std::string(source ? *source : text);
    }
    const auto translation = active.Table->Find(text);
    if (translation && !translation->empty())
        return std::string(*translation);
    if (observer)
        (*observer)(text);
    return std::string(text);
}

void SetUntranslatedTextObserver(std::function<void(std::string_view)> observer)
{
    auto shared
        = observer ? std::make_shared<const std::function<void(std::string_view)>>(std::move(observer)) : nullptr;
    const std::lock_guard lock(gMutex);
    gObserver = std::move(shared);
}

// ---- TuiLanguage --------------------------------------------------------------------------------

TuiLanguage::TuiLanguage()
{
    LocaleTable();
}

bool TuiLanguage::LoadFromFolder(const std::filesystem::path& folder)
{
    const auto path = folder / "ui.local";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        FLastLoadError.clear();
        return false;
    }
    return LoadFromFile(path);
}

bool TuiLanguage::LoadFromFile(const std::filesystem::path& path)
{
    FFile = {};
    FLastLoadError.clear();
    try {
        FFile = ReadLanguageFile(path);
        return true;
    } catch (const LanguageFileError& e) {
        FLastLoadError = e.what();
    } catch (const std::bad_alloc&) {
        FLastLoadError = "\"" + path.string() + "\" cannot be loaded: out of memory";
    }
    return false;
}

void TuiLanguage::SaveToFile(const std::filesystem::path& path) const
{
    WriteLanguageFile(path, FFile);
}

void TuiLanguage::SetLang(const std::string& shortID)
{
    const bool dropping = shortID == "en";
    if (!dropping) {
        // A language missing from the list leaves the active table as it was.
        const int index = GetLanguageIndexByShortID(shortID);
        if (index >= 0)
            SetActiveTranslation({ std::make_shared<const TranslationTable>(FFile.Languages[index].Lines), false });
    } else {
        const std::lock_guard lock(gMutex);
        gActive.Reverse = true;
    }

    {
        // The table goes once the windows have their English texts back, even if that fails.
        struct DropWhenDone {
            bool Dropping;
            ~DropWhenDone()
            {
                if (Dropping)
                    SetActiveTranslation({});
            }
        } dropWhenDone { dropping };
        if (OnTranslateWindows)
            OnTranslateWindows();
    }

    FLanguageName = shortID;
    if (OnLanguageChanged)
        OnLanguageChanged(*this, shortID, GetLanguageLongNameByShortID(shortID));
}

int TuiLanguage::GetLanguageIndexByShortID(std::string_view shortID) const
{
    for (std::size_t i = 0; i < FFile.Languages.size(); ++i)
        if (SameTextAscii(FFile.Languages[i].ShortID, shortID))
            return static_cast<int>(i);
    return -1;
}

std::string TuiLanguage::GetLanguageShortIDByIndex(int index) const
{
    if (index < 0 || index >= LanguageCount())
        return {};
    return FFile.Languages[static_cast<std::size_t>(index)].ShortID;
}

std::string TuiLanguage::GetLanguageLongNameByShortID(std::string_view shortID)
{
    const auto& table = LocaleTable();
    const auto it = table.find(UpperAscii(shortID));
    return it == table.end() ? std::string() : it->second;
}

std::string TuiLanguage::GetLanguageLongNameByLangID(std::uint16_t langID)
{
    return GetLanguageLongNameByShortID(FormatLangID(langID));
}

std::string TuiLanguage::GetOSDefaultLang()
{
    return platform::osDefaultLangId();
}

} // namespace bv
