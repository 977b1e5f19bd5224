#include "ui/language_source.h"

#include "platform/atomic_file.h"
#include "util/utf16.h"

#include <algorithm>
#include <map>
#include <set>

namespace bv {

namespace {

constexpr std::uintmax_t kMaxSourceBytes = 4u * 1024u * 1024u;
constexpr std::size_t kMaxListed = 10; // names listed in one message before "and N more"

class LineParser {
public:
    LineParser(std::string_view line, std::string where)
        : FLine(line)
        , FWhere(std::move(where))
    {
    }

    [[noreturn]] void Fail(const std::string& problem) const { throw LanguageSourceError(FWhere + ": " + problem); }

    void SkipSpaces()
    {
        while (FPos < FLine.size() && (FLine[FPos] == ' ' || FLine[FPos] == '\t'))
            ++FPos;
    }
    bool AtEnd()
    {
        SkipSpaces();
        return FPos == FLine.size();
    }
    bool Take(char c)
    {
        SkipSpaces();
        if (FPos < FLine.size() && FLine[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }

    std::string Quoted()
    {
        if (!Take('"'))
            Fail("expected a text in double quotes");
        std::string text;
        while (true) {
            if (FPos >= FLine.size())
                Fail("the text has no closing double quote");
            const char c = FLine[FPos++];
            if (c == '"')
                return text;
            if (c == '\\') {
                if (FPos >= FLine.size() || (FLine[FPos] != '"' && FLine[FPos] != '\\'))
                    Fail("only \\\" and \\\\ may follow a backslash");
                text += FLine[FPos++];
                continue;
            }
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                Fail("the text holds a control character");
            text += c;
        }
    }

    std::string_view Rest()
    {
        SkipSpaces();
        return FLine.substr(FPos);
    }

private:
    std::string_view FLine;
    std::string FWhere;
    std::size_t FPos = 0;
};

bool IsValidUtf8(std::string_view text)
{
    return util::utf16ToUtf8(util::utf8ToUtf16(text)) == text;
}

bool IsShortID(std::string_view id)
{
    return id.size() == 4 && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string ListOf(const std::vector<std::string>& texts)
{
    std::string out;
    for (std::size_t i = 0; i < texts.size() && i < kMaxListed; ++i)
        out += (i ? ", " : "") + Quote(texts[i]);
    if (texts.size() > kMaxListed)
        out += " and " + std::to_string(texts.size() - kMaxListed) + " more";
    return out;
}

void ParseDirective(LanguageSource& source, std::string_view line, const std::string& where)
{
    const auto space = line.find_first_of(" \t");
    const std::string_view key = line.substr(0, space);
    std::string_view value = space == std::string_view::npos ? std::string_view() : line.substr(space);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);

    if (key == "@id") {
        if (!source.ShortID.empty())
            throw LanguageSourceError(where + ": @id is given twice");
        if (!IsShortID(value))
            throw LanguageSourceError(where + ": @id needs four hex digits, such as 0804");
        source.ShortID = std::string(value);
    } else if (key == "@position") {
        if (source.Position >= 0)
            throw LanguageSourceError(where + ": @position is given twice");
        int position = 0;
        if (value.empty() || value.size() > 4
            || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
            throw LanguageSourceError(where + ": @position needs a number from 0 up");
        for (char c : value)
            position = position * 10 + (c - '0');
        source.Position = position;
    } else if (key == "@source") {
        if (!value.empty())
            throw LanguageSourceError(where + ": @source takes no value");
        if (!source.Entries.empty())
            throw LanguageSourceError(where + ": @source must come before the texts");
        source.IsSourceList = true;
    } else {
        throw LanguageSourceError(
            where + ": unknown directive " + std::string(key) + " (use @id, @position or @source)");
    }
}

} // namespace

LanguageSource ParseLanguageSource(std::string_view text, const std::string& name)
{
    LanguageSource source;
    source.Name = name;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    if (!IsValidUtf8(text))
        throw LanguageSourceError(name + ": the file is not valid UTF-8");

    std::set<std::string, std::less<>> seen;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find('\n', start);
        std::string_view line
            = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string where = name + ":" + std::to_string(lineNumber);

        LineParser parser(line, where);
        if (parser.AtEnd() || parser.Rest().front() == '#')
            continue;
        if (parser.Rest().front() == '@') {
            ParseDirective(source, parser.Rest(), where);
            continue;
        }

        std::string from = parser.Quoted();
        std::string to;
        if (parser.Take('=')) {
            if (source.IsSourceList)
                parser.Fail("the source list holds bare texts; translations go into the other languages' files");
            to = parser.Quoted();
        } else if (!source.IsSourceList) {
            parser.Fail("the text has no translation (write \"text\" = \"translation\")");
        } else {
            to = from;
        }
        if (!parser.AtEnd())
            parser.Fail("unexpected text after the entry: " + std::string(parser.Rest()));
        if (from.empty())
            parser.Fail("the source text is empty");
        // The table line splits at its first equals sign, so a source text cannot hold one.
        if (from.find('=') != std::string::npos)
            parser.Fail("a source text cannot hold an equals sign");
        if (!seen.insert(from).second)
            parser.Fail(Quote(from) + " is listed twice");
        source.Entries.emplace_back(std::move(from), std::move(to));
    }

    if (source.ShortID.empty())
        throw LanguageSourceError(name + ": the file has no @id line");
    if (source.Position < 0)
        throw LanguageSourceError(name + ": the file has no @position line");
    return source;
}

std::vector<LanguageSource> ReadLanguageSources(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    try {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().extension() == ".lang")
                files.push_back(entry.path());
    } catch (const std::filesystem::filesystem_error& e) {
        throw LanguageSourceError("\"" + folder.string() + "\" cannot be listed: " + e.code().message());
    }
    if (files.empty())
        throw LanguageSourceError("\"" + folder.string() + "\" holds no .lang files");
    std::sort(files.begin(), files.end());

    std::vector<LanguageSource> sources;
    for (const auto& file : files) {
        std::optional<std::vector<std::uint8_t>> bytes;
        try {
            bytes = platform::readFile(file, kMaxSourceBytes);
        } catch (const std::exception& e) {
            throw LanguageSourceError("\"" + file.string() + "\" cannot be read: " + e.what());
        }
        if (!bytes)
            throw LanguageSourceError("\"" + file.string() + "\" disappeared while it was read");
        sources.push_back(ParseLanguageSource(
            std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), file.string()));
    }
    std::stable_sort(sources.begin(), sources.end(),
        [](const LanguageSource& a, const LanguageSource& b) { return a.Position < b.Position; });
    return sources;
}

LanguageFile BuildLanguageFile(const std::vector<LanguageSource>& sources)
{
    std::vector<const LanguageSource*> ordered;
    for (const auto& s : sources)
        ordered.push_back(&s);
    std::stable_sort(ordered.begin(), ordered.end(),
        [](const LanguageSource* a, const LanguageSource* b) { return a->Position < b->Position; });

    std::vector<std::string> problems;
    const LanguageSource* list = nullptr;
    std::map<std::string, std::string> ids; // upper-case ID -> file
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        const auto& s = *ordered[i];
        if (s.IsSourceList) {
            if (list)
                problems.push_back(s.Name + ": a second @source file besides " + list->Name);
            else
                list = &s;
        }
        if (s.Position != static_cast<int>(i))
            problems.push_back(s.Name + ": @position " + std::to_string(s.Position)
                + " leaves a gap or repeats one; the " + std::to_string(ordered.size()) + " files need positions 0 to "
                + std::to_string(ordered.size() - 1));
        std::string id = s.ShortID;
        std::transform(id.begin(), id.end(), id.begin(),
            [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : c; });
        if (const auto [it, added] = ids.emplace(id, s.Name); !added)
            problems.push_back(s.Name + ": @id " + s.ShortID + " is also the ID of " + it->second);
    }
    if (ordered.empty())
        problems.push_back("there are no language files");
    else if (!list)
        problems.push_back("no file says @source, so there is no source-text list");

    LanguageFile file;
    if (list) {
        for (const auto& entry : list->Entries)
            file.Sources.push_back(entry.first);
        std::sort(file.Sources.begin(), file.Sources.end());
    }
    const std::set<std::string, std::less<>> sourceSet(file.Sources.begin(), file.Sources.end());

    for (const auto* s : ordered) {
        std::map<std::string, std::string, std::less<>> byText(s->Entries.begin(), s->Entries.end());
        if (list && s != list) {
            std::vector<std::string> missing, stale;
            for (const auto& text : file.Sources)
                if (!byText.count(text))
                    missing.push_back(text);
            for (const auto& [text, translation] : byText)
                if (!sourceSet.count(text))
                    stale.push_back(text);
            if (!missing.empty())
                problems.push_back(s->Name + ": no translation for " + ListOf(missing));
            if (!stale.empty())
                problems.push_back(s->Name + ": " + ListOf(stale) + " is not in the source list " + list->Name);
        }
        LanguageTable table { s->ShortID, {} };
        for (const auto& text : file.Sources)
            if (const auto it = byText.find(text); it != byText.end())
                table.Lines.push_back(text + "=" + it->second);
        file.Languages.push_back(std::move(table));
    }

    if (!problems.empty()) {
        std::string message = "the language sources do not form a language file:";
        for (const auto& p : problems)
            message += "\n  " + p;
        throw LanguageSourceError(message);
    }
    return file;
}

} // namespace bv
