#include "temp_dir.h"
#include "ui/language_source.h"
#include "ui/uiLanguage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

using namespace bv;
using ::testing::HasSubstr;

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutInt(Bytes& b, std::int32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> shift));
}

// A string the way the file stores it: length in UTF-16 units, then the units (ASCII only here).
void PutString(Bytes& b, const std::string& ascii)
{
    PutInt(b, static_cast<std::int32_t>(ascii.size()));
    for (char c : ascii) {
        b.push_back(static_cast<std::uint8_t>(c));
        b.push_back(0);
    }
}

LanguageFile ThreeLanguages()
{
    return {
        { "Apply", "Cancel", "Macro", "OK" },
        {
            { "0409", { "Apply=Apply", "Cancel=Cancel", "Macro=Macro", "OK=OK" } },
            { "0804", { "Apply=应用", "Cancel=取消", "Macro=宏", "OK=" } },
            { "0404", { "Apply=套用", "Cancel=取消", "Macro=巨集" } },
        },
    };
}

void WriteBytes(const std::filesystem::path& p, const Bytes& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every test leaves the program-wide table as it found it: none.
class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        TuiLanguage reset;
        reset.SetLang("en");
        SetUntranslatedTextObserver({});
    }
    bv::test::TempDir dir;
};

} // namespace

TEST_F(LanguageTest, SavedFileLoadsBackIdentical)
{
    LanguageFile file = ThreeLanguages();
    // Text that needs surrogate pairs, an empty line, an equals sign in a translation, an empty table.
    file.Sources.insert(file.Sources.begin(), "");
    file.Languages[1].Lines.push_back("Smile=笑 😀 = joy");
    file.Languages.push_back({ "0411", {} });

    TuiLanguage saver;
    saver.SetFile(file);
    saver.SaveToFile(dir / "ui.local");

    TuiLanguage loader;
    ASSERT_TRUE(loader.LoadFromFile(dir / "ui.local")) << loader.LastLoadError();
    EXPECT_EQ(loader.File(), file);
    EXPECT_EQ(loader.LastLoadError(), "");
}

TEST_F(LanguageTest, EncodingIsLittleEndianUtf16WithCrLfLines)
{
    const LanguageFile file { { "A" }, { { "0409", { "A=B" } } } };
    Bytes expected;
    PutString(expected, "A\r\n");
    PutInt(expected, 1);
    PutString(expected, "0409");
    PutString(expected, "A=B\r\n");
    EXPECT_EQ(SerializeLanguageFile(file), expected);

    // Line ends written by other tools: no final break, lone LF, lone CR.
    Bytes loose;
    PutString(loose, "A\nB\rC");
    PutInt(loose, 1);
    PutString(loose, "0804");
    PutString(loose, "A=x\r\nB=y");
    const LanguageFile read = ParseLanguageFile(loose);
    EXPECT_EQ(read.Sources, (std::vector<std::string> { "A", "B", "C" }));
    EXPECT_EQ(read.Languages.at(0).Lines, (std::vector<std::string> { "A=x", "B=y" }));

    // A non-ASCII unit is stored low byte first.
    const Bytes cjk = SerializeLanguageFile({ { "宏" }, {} });
    EXPECT_EQ(cjk, (Bytes { 3, 0, 0, 0, 0x8F, 0x5B, 0x0D, 0, 0x0A, 0, 0, 0, 0, 0 }));
}

TEST_F(LanguageTest, WritingRefusesLineBreaksInsideALine)
{
    EXPECT_THROW(SerializeLanguageFile({ { "two\nlines" }, {} }), LanguageFileError);
    EXPECT_THROW(SerializeLanguageFile({ {}, { { "0804", { "A=x\ry" } } } }), LanguageFileError);
}

TEST_F(LanguageTest, DamagedFilesFailCleanlyAndLeaveEnglish)
{
    const Bytes good = SerializeLanguageFile(ThreeLanguages());
    struct Case {
        const char* name;
        Bytes bytes;
        const char* why;
    };
    std::vector<Case> cases;
    cases.push_back({ "empty file", {}, "the source texts at byte 0" });
    {
        Bytes b;
        PutInt(b, -1);
        cases.push_back({ "negative length", b, "its length is -1" });
    }
    {
        Bytes b;
        PutInt(b, 0x7FFFFFFF);
        b.resize(64, 0x41);
        cases.push_back({ "huge length", b, "only 60 bytes are left" });
    }
    {
        Bytes b;
        PutString(b, "A");
        PutInt(b, 1);
        PutString(b, "0409");
        PutInt(b, 10);
        b.push_back('A');
        b.push_back(0);
        cases.push_back({ "truncated table", b, "the table of language 1" });
    }
    {
        Bytes b;
        PutString(b, "A");
        PutInt(b, -3);
        cases.push_back({ "negative count", b, "it is -3" });
    }
    {
        Bytes b;
        PutString(b, "A");
        PutInt(b, 4);
        PutString(b, "0409");
        PutString(b, "A=A");
        cases.push_back({ "count above the languages present", b, "it is 4" });
    }
    {
        Bytes b;
        PutString(b, "A");
        PutInt(b, 2);
        PutString(b, "0409");
        PutString(b, "A=A");
        PutString(b, "0804");
        cases.push_back({ "second language without table", b, "the table of language 2" });
    }
    {
        Bytes b;
        PutString(b, "A");
        PutInt(b, 0);
        PutString(b, "0409");
        PutString(b, "A=A");
        cases.push_back({ "count below the languages present", b, "follow the last of 0 languages" });
    }
    {
        Bytes b = good;
        b.push_back(0x00);
        cases.push_back({ "odd trailing byte", b, "1 bytes follow" });
    }
    {
        Bytes b = good;
        b.resize(b.size() - 1);
        cases.push_back({ "last byte cut", b, "the table of language 3" });
    }
    {
        Bytes b;
        PutInt(b, 1);
        b.push_back(0x00);
        b.push_back(0xD8); // a high surrogate with nothing after it
        PutInt(b, 0);
        cases.push_back({ "unpaired surrogate", b, "unpaired UTF-16 surrogate" });
    }
    {
        Bytes b;
        PutString(b, "A");
        b.push_back(1);
        cases.push_back({ "count cut short", b, "the language count" });
    }

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ParseLanguageFile(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const LanguageFileError& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.why));
        }

        // A component that had languages ends up with none, and texts stay English.
        const auto path = dir / "ui.local";
        WriteBytes(path, good);
        TuiLanguage language;
        ASSERT_TRUE(language.LoadFromFile(path));
        language.SetLang("0804");
        WriteBytes(path, c.bytes);
        EXPECT_FALSE(language.LoadFromFile(path));
        EXPECT_EQ(language.LanguageCount(), 0);
        EXPECT_TRUE(language.File().Sources.empty());
        EXPECT_THAT(language.LastLoadError(), HasSubstr(path.string()));
        EXPECT_THAT(language.LastLoadError(), HasSubstr(c.why));
        language.SetLang("0804");
        language.SetLang("en");
        EXPECT_EQ(Translate("Apply"), "Apply");
    }
}

TEST_F(LanguageTest, ProgramFolderWithoutLanguageFileLoadsNothing)
{
    TuiLanguage language;
    EXPECT_FALSE(language.LoadFromFolder(dir.path()));
    EXPECT_EQ(language.LastLoadError(), "");
    EXPECT_EQ(language.LanguageCount(), 0);

    WriteLanguageFile(dir / "ui.local", ThreeLanguages());
    EXPECT_TRUE(language.LoadFromFolder(dir.path()));
    EXPECT_EQ(language.LanguageCount(), 3);
}

TEST_F(LanguageTest, TranslateFollowsTheActiveTable)
{
    EXPECT_EQ(Translate("Apply"), "Apply") << "no table yet";

    TuiLanguage language;
    language.SetFile({ {},
        { { "0804",
            { "Apply=应用", "apply=wrong case", "OK=", "a=b=c", "no equals sign", "=orphan", "Dup=first",
                "Dup=second" } } } });
    language.SetLang("0804");

    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        { "Apply", "应用" }, { "APPLY", "APPLY" }, // case-sensitive: no line for this spelling
        { "OK", "OK" }, // empty translation keeps the English text
        { "a", "b=c" }, // the first equals sign splits
        { "Cancel", "Cancel" }, // no line at all
        { "", "" }, { "no equals sign", "no equals sign" }, { "Dup", "first" },
        { "Apply ", "Apply " }, // exact: a trailing space is a different text
    };
    for (const auto& c : cases)
        EXPECT_EQ(Translate(c.text), c.expected) << '"' << c.text << '"';
}

TEST_F(LanguageTest, SetLangSwitchesTablesAndReportsTheChange)
{
    TuiLanguage language;
    language.SetFile(ThreeLanguages());
    std::vector<std::pair<std::string, std::string>> changes;
    language.OnLanguageChanged = [&](TuiLanguage& sender, const std::string& id, const std::string& name) {
        EXPECT_EQ(&sender, &language);
        EXPECT_EQ(sender.LanguageName(), id) << "the short ID is recorded before the event";
        changes.emplace_back(id, name);
    };

    language.SetLang("0804");
    EXPECT_EQ(Translate("Macro"), "宏");
    language.SetLang("0404");
    EXPECT_EQ(Translate("Macro"), "巨集");

    // A language missing from the file keeps the previous table, but is still recorded.
    language.SetLang("0411");
    EXPECT_EQ(Translate("Macro"), "巨集");
    EXPECT_EQ(language.LanguageName(), "0411");

    language.SetLang("0409");
    EXPECT_EQ(Translate("Macro"), "Macro");

    ASSERT_EQ(changes.size(), 4u);
    const char* ids[] = { "0804", "0404", "0411", "0409" };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        EXPECT_EQ(changes[i].first, ids[i]);
        EXPECT_EQ(changes[i].second, TuiLanguage::GetLanguageLongNameByShortID(ids[i]));
    }
    EXPECT_EQ(changes[3].second, "English");
}

TEST_F(LanguageTest, DroppingTheTableTurnsShownTextsBackIntoEnglish)
{
    TuiLanguage language;
    language.SetFile(ThreeLanguages());
    language.SetLang("0804");

    std::vector<std::string> whileDropping;
    language.OnTranslateWindows = [&] {
        // The windows hand in what they show; the lookup gives the source text back.
        whileDropping = { Translate("应用"), Translate("宏"), Translate("Apply"), Translate("") };
    };
    std::string afterDrop;
    language.OnLanguageChanged = [&](TuiLanguage&, const std::string&, const std::string&) {
        afterDrop = Translate("Apply") + "|" + Translate("应用");
    };
    language.SetLang("en");

    EXPECT_EQ(whileDropping, (std::vector<std::string> { "Apply", "Macro", "Apply", "" }));
    EXPECT_EQ(afterDrop, "Apply|应用") << "no table, no reverse lookup once the windows are done";
    EXPECT_EQ(language.LanguageName(), "en");
    EXPECT_EQ(Translate("Macro"), "Macro");

    // A window that fails while its texts are restored does not leave the reverse lookup behind.
    language.SetLang("0804");
    language.OnTranslateWindows = [] { throw std::runtime_error("window gone"); };
    EXPECT_THROW(language.SetLang("en"), std::runtime_error);
    EXPECT_EQ(Translate("Macro"), "Macro");
    EXPECT_EQ(Translate("宏"), "宏");
}

TEST_F(LanguageTest, TheTableOutlivesTheComponentThatSetIt)
{
    {
        TuiLanguage language;
        language.SetFile(ThreeLanguages());
        language.SetLang("0404");
    }
    EXPECT_EQ(Translate("Apply"), "套用");
}

TEST_F(LanguageTest, LanguageListLookups)
{
    TuiLanguage language;
    language.SetFile(ThreeLanguages());
    EXPECT_EQ(language.GetLanguageIndexByShortID("0409"), 0);
    EXPECT_EQ(language.GetLanguageIndexByShortID("0404"), 2);
    EXPECT_EQ(language.GetLanguageIndexByShortID("0c0a"), -1);
    EXPECT_EQ(language.GetLanguageIndexByShortID(""), -1);
    EXPECT_EQ(language.GetLanguageShortIDByIndex(1), "0804");
    for (int outside : { -1, 3, 1000 })
        EXPECT_EQ(language.GetLanguageShortIDByIndex(outside), "") << outside;
}

TEST_F(LanguageTest, LocaleTableGivesNativeNames)
{
    TuiLanguage language;
    struct Case {
        const char* shortID;
        const char* name;
    };
    const Case cases[] = {
        { "0409", "English" },
        { "0804", "中文(简体)" },
        { "0404", "中文(繁體)" },
        { "0407", "Deutsch" },
        { "0c0a", "Español" },
        { "0C0A", "Español" },
        { "FFFF", "" },
        { "", "" },
        { "409", "" },
        { "en", "" },
    };
#ifdef _WIN32
    // Windows names its own locales; the spelling differs between versions.
    for (const auto& c : cases) {
        const std::string name = TuiLanguage::GetLanguageLongNameByShortID(c.shortID);
        EXPECT_EQ(name.empty(), std::string(c.name).empty()) << c.shortID;
    }
    EXPECT_EQ(TuiLanguage::GetLanguageLongNameByShortID("0409"), "English");
    EXPECT_EQ(TuiLanguage::GetLanguageLongNameByShortID("0404").rfind("中文", 0), 0u);
    EXPECT_EQ(TuiLanguage::GetLanguageLongNameByLangID(0x0804), TuiLanguage::GetLanguageLongNameByShortID("0804"));
#else
    for (const auto& c : cases)
        EXPECT_EQ(TuiLanguage::GetLanguageLongNameByShortID(c.shortID), c.name) << c.shortID;
    EXPECT_EQ(TuiLanguage::GetLanguageLongNameByLangID(0x0804), "中文(简体)");
#endif
    EXPECT_EQ(TuiLanguage::GetLanguageLongNameByLangID(0x0001), "");
}

TEST_F(LanguageTest, ObserverHearsOfTextsTheTableCannotTranslate)
{
    TuiLanguage language;
    language.SetFile(ThreeLanguages());
    std::vector<std::string> missing;
    SetUntranslatedTextObserver([&](std::string_view text) { missing.emplace_back(text); });

    Translate("Cancel"); // no table: English is not missing anything
    language.SetLang("0804");
    Translate("Cancel");
    Translate("Help:");
    Translate("OK"); // empty translation
    Translate("");
    EXPECT_EQ(missing, (std::vector<std::string> { "Help:", "OK" }));
}

// ---- the shipped translations -------------------------------------------------------------------

namespace {

LanguageFile ShippedLanguages()
{
    return BuildLanguageFile(ReadLanguageSources(BV_LANG_SOURCE_DIR));
}

} // namespace

// Every text the program passes to Translate is in the English list; every window's texts must
// therefore come out translated in both Chinese languages.
TEST_F(LanguageTest, ShippedSourcesTranslateEveryTextIntoBothChineseLanguages)
{
    TuiLanguage language;
    language.SetFile(ShippedLanguages());
    ASSERT_EQ(language.LanguageCount(), 3);
    EXPECT_EQ(language.GetLanguageShortIDByIndex(0), "0409");
    EXPECT_EQ(language.GetLanguageShortIDByIndex(1), "0804");
    EXPECT_EQ(language.GetLanguageShortIDByIndex(2), "0404");
    ASSERT_GT(language.File().Sources.size(), 100u);

    std::vector<std::string> missing;
    SetUntranslatedTextObserver([&](std::string_view text) { missing.emplace_back(text); });
    for (const char* id : { "0409", "0804", "0404" }) {
        SCOPED_TRACE(id);
        missing.clear();
        language.SetLang(id);
        for (const auto& text : language.File().Sources)
            EXPECT_FALSE(Translate(text).empty()) << text;
        EXPECT_EQ(missing, std::vector<std::string> {});
    }

    language.SetLang("0804");
    EXPECT_EQ(Translate("Brisvane Gaming Mouse Config"), "Brisvane 游戏鼠标设置");
    EXPECT_EQ(Translate("    Please connect your mouse device before apply new settings!").substr(0, 4), "    ");
}

// One term per concept, and no characters of the other script.
TEST_F(LanguageTest, ShippedTranslationsUseOneTermAndOneScript)
{
    const LanguageFile file = ShippedLanguages();
    struct Script {
        std::size_t index;
        std::vector<std::pair<std::string, std::string>> terms; // English word -> required term
        std::vector<std::string> foreign; // characters of the other script
    };
    const Script scripts[] = {
        { 1,
            { { "acro", "宏" }, { "rofile", "配置文件" }, { "PROFILE", "配置文件" }, { "Mode", "模式" },
                { "Fire", "连发" } },
            { "設", "檔", "鍵", "體", "軟", "網", "說", "開", "關", "儲", "刪", "選", "應", "啟", "連", "滑", "巨",
                "視", "鈕", "顏", "燈", "標", "準", "確", "與", "層", "個", "執", "預", "捲", "動", "輪", "錄",
                "遲" } },
        { 2,
            { { "acro", "巨集" }, { "rofile", "設定檔" }, { "PROFILE", "設定檔" }, { "Mode", "模式" },
                { "Fire", "連發" } },
            { "设", "档", "键", "体", "软", "网", "说", "开", "关", "储", "删", "选", "应", "启", "连", "标", "宏",
                "窗口", "颜", "灯", "准", "确", "与", "个", "执", "预", "滚", "动", "轮", "录", "迟", "复" } },
    };
    for (const auto& script : scripts) {
        const auto& table = file.Languages.at(script.index);
        SCOPED_TRACE(table.ShortID);
        for (const auto& line : table.Lines) {
            const auto split = SplitTranslationLine(line);
            ASSERT_TRUE(split);
            for (const auto& [word, term] : script.terms) {
                if (split->Source.find(word) != std::string_view::npos) {
                    EXPECT_NE(split->Translation.find(term), std::string_view::npos) << line;
                }
            }
            for (const auto& character : script.foreign)
                EXPECT_EQ(split->Translation.find(character), std::string_view::npos) << line << " holds " << character;
        }
    }
}
