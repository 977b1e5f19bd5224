#include "macro_test_support.h"
#include "macros/macro_name.h"
#include "macros/uiMacroClassUnit.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace bv;
namespace fs = std::filesystem;

namespace {

using bv::test::macroList;

std::vector<std::uint8_t> readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void writeBytes(const fs::path& p, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> bytesOf(const TMACROKEYINFO& m)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(&m);
    return { p, p + sizeof m };
}

TMACROKEYINFO macro(const std::string& name, int actions = 0)
{
    TMACROKEYINFO m {};
    SetMacroName(m, name);
    m.MacroListCount = actions;
    for (int i = 0; i < actions; ++i)
        m.MacroList[i]
            = { kActionKey, static_cast<std::uint16_t>(i % 2 == 0), static_cast<std::uint8_t>('A' + i / 2), 0 };
    return m;
}

std::set<std::string> filesIn(const fs::path& folder)
{
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        out.insert(fs::relative(e.path(), folder).generic_string());
    return out;
}

class MacroFiles : public ::testing::Test {
protected:
    fs::path folder() const { return tmp / "BVProfile1_Macros"; }
    std::string folderText() const { return folder().string(); }
    test::TempDir tmp;
};

TEST_F(MacroFiles, PlaceholderIsAnEmptyVersion258RecordWithTheName)
{
    ASSERT_TRUE(TuiMacroClass::WriteMacroPlaceholder(folderText(), "abc"));
    const auto bytes = readBytes(folder() / "abc.macro");
    ASSERT_EQ(bytes.size(), 892u);
    std::vector<std::uint8_t> expected(892, 0);
    const std::uint8_t name[] = { 0x61, 0x00, 0x62, 0x00, 0x63, 0x00 };
    std::copy(std::begin(name), std::end(name), expected.begin() + 780);
    expected[880] = 0x02;
    expected[881] = 0x01;
    EXPECT_EQ(bytes, expected);
}

TEST_F(MacroFiles, PlaceholderNeverReplacesAnExistingMacroFile)
{
    auto l = macroList({ macro("kept", 4) });
    TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, folderText());
    const auto before = readBytes(folder() / "kept.macro");

    EXPECT_FALSE(TuiMacroClass::WriteMacroPlaceholder(folderText(), "kept"));
    EXPECT_EQ(readBytes(folder() / "kept.macro"), before);

    // The name is cut to the field first, so the file matches the macro the editor will hold.
    const std::string longName(60, 'L');
    ASSERT_TRUE(TuiMacroClass::WriteMacroPlaceholder(folderText(), longName));
    TMACROKEYINFO loaded {};
    ASSERT_TRUE(TuiMacroClass::LoadMacroFromFile((folder() / (std::string(50, 'L') + ".macro")).string(), loaded));
    EXPECT_EQ(MacroName(loaded), std::string(50, 'L'));
    EXPECT_TRUE(TuiMacroClass::IsValidMacroVersion(loaded));
}

TEST_F(MacroFiles, SavingWritesOneRawRecordPerMacro)
{
    TMACROKEYINFO full = macro(std::string(50, 'F'), 3);
    full.Version = 258;
    full.nLoopCount = 3;
    auto l = macroList({ macro("first", 2), full, macro("dup", 1), macro("dup", 4) });

    // With and without a trailing separator: the same folder.
    TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, folderText());
    TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, folderText() + "/");
    EXPECT_EQ(filesIn(tmp.path()),
        (std::set<std::string> { "BVProfile1_Macros", "BVProfile1_Macros/first.macro",
            "BVProfile1_Macros/" + std::string(50, 'F') + ".macro", "BVProfile1_Macros/dup.macro" }));
    EXPECT_EQ(readBytes(folder() / "first.macro"), bytesOf(l->MacroInfos[0]));
    EXPECT_EQ(readBytes(folder() / (std::string(50, 'F') + ".macro")), bytesOf(l->MacroInfos[1]));
    EXPECT_EQ(readBytes(folder() / "dup.macro"), bytesOf(l->MacroInfos[3])); // the later one wins

    // A renamed macro gets a new file; the old one stays.
    SetMacroName(l->MacroInfos[0], "second");
    l->MacroInfos[0].nLoopCount = 9;
    TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, folderText());
    EXPECT_TRUE(fs::exists(folder() / "first.macro"));
    EXPECT_EQ(readBytes(folder() / "second.macro"), bytesOf(l->MacroInfos[0]));
}

TEST_F(MacroFiles, AnEmptyListWritesNothing)
{
    TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*macroList({}), folderText());
    EXPECT_FALSE(fs::exists(folder()));
}

TEST_F(MacroFiles, LoadingFillsWhatTheFileHolds)
{
    const TMACROKEYINFO original = macro("orig", 6);
    TMACROKEYINFO target = original;

    EXPECT_FALSE(TuiMacroClass::LoadMacroFromFile((tmp / "missing.macro").string(), target));
    EXPECT_EQ(bytesOf(target), bytesOf(original));

    // A short file fills only its leading bytes.
    writeBytes(tmp / "short.macro", std::vector<std::uint8_t>(10, 0xAB));
    ASSERT_TRUE(TuiMacroClass::LoadMacroFromFile((tmp / "short.macro").string(), target));
    auto expected = bytesOf(original);
    std::fill(expected.begin(), expected.begin() + 10, 0xAB);
    EXPECT_EQ(bytesOf(target), expected);

    // A long file: its first 892 bytes.
    std::vector<std::uint8_t> longFile = bytesOf(macro("long", 2));
    longFile.resize(5000, 0xEE);
    writeBytes(tmp / "long.macro", longFile);
    ASSERT_TRUE(TuiMacroClass::LoadMacroFromFile((tmp / "long.macro").string(), target));
    EXPECT_EQ(bytesOf(target), bytesOf(macro("long", 2)));

    fs::create_directory(tmp / "dir.macro");
    EXPECT_THROW((void)TuiMacroClass::LoadMacroFromFile((tmp / "dir.macro").string(), target), fs::filesystem_error);
}

TEST(MacroVersion, OnlyTheCurrentLayoutIsValid)
{
    TMACROKEYINFO m {};
    for (const auto& [version, valid] :
        { std::pair { 258u, true }, { 0u, false }, { 259u, false }, { 0x01020000u, false } }) {
        m.Version = version;
        EXPECT_EQ(TuiMacroClass::IsValidMacroVersion(m), valid) << version;
    }
}

// ---- names that cannot name a file -------------------------------------------

TEST(MacroFileNames, NamesThatWouldLeaveTheFolderAreRefused)
{
    const std::string refused[] = {
        "",
        "../escape",
        "..\\escape",
        "sub/dir",
        "/etc/passwd",
        "C:evil",
        "stream:name",
        "what?",
        "star*",
        "a|b",
        "<tag>",
        "say \"hi\"",
        "tab\there",
        "line\nbreak",
        std::string("nul\0byte", 8),
        "del\x7F",
        "bad \xC3 text",
        "CON",
        "con",
        "Nul.txt",
        "aux ",
        "COM1",
        "lpt9.x",
        std::string(51, 'x'),
    };
    for (const auto& name : refused) {
        SCOPED_TRACE(name);
        const auto problem = MacroFileNameProblem(name);
        ASSERT_TRUE(problem.has_value());
        try {
            MacroFilePath("/macros", name);
            ADD_FAILURE() << "no error";
        } catch (const MacroFileError& e) {
            EXPECT_NE(std::string(e.what()).find(*problem), std::string::npos) << e.what();
        }
    }
}

TEST(MacroFileNames, EveryOtherNameIsUsedByteForByte)
{
    const std::string kept[] = {
        "abc",
        "..",
        ".",
        "...",
        "50% faster",
        "COM10",
        "console",
        "a.b.c",
        " lead",
        "trail ",
        "trail.",
        "\xC3\x9C"
        "ber \xF0\x9F\x98\x80",
        "#1 [combo] {x} ~!@$^&()-_=+;',",
        std::string(50, 'y'),
    };
    for (const auto& name : kept) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(MacroFileNameProblem(name).has_value());
        const fs::path file = MacroFilePath("/macros", name);
        EXPECT_EQ(file.parent_path(), fs::path("/macros"));
        EXPECT_TRUE(file.filename().u8string() == std::u8string(name.begin(), name.end()) + u8".macro") << file;
    }
    EXPECT_THROW(MacroFilePath("", "abc"), MacroFileError);
}

TEST_F(MacroFiles, ARefusedNameCostsOnlyItsOwnFile)
{
    auto l = macroList({ macro("good one", 2), macro("../outside", 2), macro("C:drive", 2), macro("good two", 2) });
    try {
        TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, folderText());
        ADD_FAILURE() << "no error";
    } catch (const MacroFileError& e) {
        const std::string what = e.what();
        EXPECT_NE(
            what.find("Cannot create file \"" + folderText() + test::kSep + "../outside.macro\"."), std::string::npos)
            << what;
        EXPECT_NE(what.find("C:drive"), std::string::npos) << what;
    }
    EXPECT_EQ(filesIn(tmp.path()),
        (std::set<std::string> {
            "BVProfile1_Macros", "BVProfile1_Macros/good one.macro", "BVProfile1_Macros/good two.macro" }));

    EXPECT_THROW((void)TuiMacroClass::WriteMacroPlaceholder(folderText(), "../outside"), MacroFileError);
    EXPECT_FALSE(fs::exists(tmp / "outside.macro"));

    // Half of a two-unit character would show as a replacement character: a file of another name.
    auto halves = macroList({ macro("kept", 2), macro("half", 2) });
    halves->MacroInfos[1].szMacroName[4] = char16_t(0xD83D);
    try {
        TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*halves, folderText());
        ADD_FAILURE() << "no error";
    } catch (const MacroFileError& e) {
        EXPECT_NE(std::string(e.what()).find("half of a character"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::exists(tmp / "BVProfile1_Macros" / "kept.macro"));
}

TEST_F(MacroFiles, FailuresStopTheSaveWithAClearErrorAndKeepEarlierFiles)
{
    auto l = macroList({ macro("a", 2), macro("b", 2), macro("c", 2) });

    // An empty path: nothing is written anywhere.
    EXPECT_THROW(TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, ""), MacroFileError);
    EXPECT_THROW((void)TuiMacroClass::WriteMacroPlaceholder("", "a"), MacroFileError);

    // Only the last level of the folder is made.
    const fs::path deep = tmp / "missing-parent" / "macros";
    try {
        TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, deep.string());
        ADD_FAILURE() << "no error";
    } catch (const MacroFileError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot create folder \"" + deep.string() + "\"."), std::string::npos)
            << e.what();
        EXPECT_EQ(e.file(), deep);
    }
    EXPECT_FALSE(fs::exists(tmp / "missing-parent"));

    // A folder standing where b's file should go: a and its old contents are safe, c is not written.
    fs::create_directories(folder() / "b.macro");
    try {
        TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, folderText());
        ADD_FAILURE() << "no error";
    } catch (const MacroFileError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot create file \"" + folderText() + test::kSep + "b.macro\"."),
            std::string::npos)
            << e.what();
    }
    EXPECT_EQ(readBytes(folder() / "a.macro"), bytesOf(l->MacroInfos[0]));
    EXPECT_FALSE(fs::exists(folder() / "c.macro"));

    // A file standing where the folder should be.
    writeBytes(tmp / "plain", { 1 });
    EXPECT_THROW(TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, (tmp / "plain").string()), MacroFileError);
}

TEST_F(MacroFiles, ADamagedListCountWritesTheSlotsThereAreAndSaysSo)
{
    std::vector<TMACROKEYINFO> macros;
    for (int i = 0; i < kMacroListSlots; ++i)
        macros.push_back(macro("m" + std::to_string(i)));
    auto l = macroList(macros);
    l->nMacroInfoCount = 60000;
    try {
        TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(*l, folderText());
        ADD_FAILURE() << "no error";
    } catch (const MacroFileError& e) {
        EXPECT_NE(std::string(e.what()).find("60000"), std::string::npos) << e.what();
    }
    EXPECT_EQ(filesIn(folder()).size(), static_cast<std::size_t>(kMacroListSlots));
}

} // namespace
