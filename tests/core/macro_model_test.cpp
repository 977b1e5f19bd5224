#include "macro_test_support.h"
#include "macros/macro_name.h"
#include "macros/uiMacroClassUnit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace bv;

namespace {

using bv::test::macroList;

TMACROKEY key(int vk, int state, int ext = 0)
{
    return { kActionKey, static_cast<std::uint16_t>(state), static_cast<std::uint8_t>(vk),
        static_cast<std::uint8_t>(ext) };
}
TMACROKEY down(int vk, int ext = 0)
{
    return key(vk, 1, ext);
}
TMACROKEY up(int vk, int ext = 0)
{
    return key(vk, 0, ext);
}
TMACROKEY delay(int ms)
{
    return { kActionDelay, 0, static_cast<std::uint8_t>(ms & 0xFF), static_cast<std::uint8_t>(ms >> 8) };
}
TMACROKEY action(int type, int state, int v1, int v2)
{
    return { static_cast<std::uint16_t>(type), static_cast<std::uint16_t>(state), static_cast<std::uint8_t>(v1),
        static_cast<std::uint8_t>(v2) };
}

bool sameAction(const TMACROKEY& a, const TMACROKEY& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TMACROKEYINFO macro(const std::string& name, const std::vector<TMACROKEY>& actions = {})
{
    TMACROKEYINFO m {};
    SetMacroName(m, name);
    m.MacroListCount = static_cast<std::int32_t>(actions.size());
    std::copy(actions.begin(), actions.end(), m.MacroList);
    return m;
}

std::vector<std::string> names(const TuiMacroClass& model)
{
    std::vector<std::string> out;
    for (const auto& m : model.MacroKeyInfos())
        out.push_back(MacroName(m));
    return out;
}

void expectNumbered(const TuiMacroClass& model)
{
    for (int i = 0; i < model.MacroListCount(); ++i)
        EXPECT_EQ(model.MacroKeyInfos()[static_cast<std::size_t>(i)].nMacroIndex, i) << "macro " << i;
}

// A model holding macros named a, b, c, ... with `count` entries.
std::unique_ptr<TuiMacroClass> model(int count)
{
    std::vector<TMACROKEYINFO> macros;
    for (int i = 0; i < count; ++i)
        macros.push_back(macro(std::string(1, static_cast<char>('a' + i)), { down('A' + i), up('A' + i) }));
    return std::make_unique<TuiMacroClass>(*macroList(macros));
}

// ---- the macro list --------------------------------------------------------

TEST(MacroModel, EmptyModelHasNoCurrentMacro)
{
    TuiMacroClass m;
    EXPECT_TRUE(m.IsEmpty());
    EXPECT_FALSE(m.IsFull());
    EXPECT_EQ(m.MacroListIndex(), -1);
    EXPECT_EQ(m.CurrentMacroAction(), nullptr);
    EXPECT_FALSE(m.SetMacroListIndex(0));

    TMACROKEYINFO probe = macro("untouched");
    EXPECT_FALSE(m.GetCurrentMacroKeyItem(probe));
    EXPECT_EQ(MacroName(probe), "untouched");
    EXPECT_FALSE(m.SaveBackCurrentMacroKeyInfo(probe));
}

TEST(MacroModel, ListGoesInAndComesBackOut)
{
    auto in = macroList({ macro("one", { down('A'), up('A') }), macro("two") });
    in->MacroInfos[0].nLoopCount = 7;
    TuiMacroClass m(*in);
    EXPECT_EQ(m.MacroListCount(), 2);
    EXPECT_EQ(m.MacroListIndex(), 0);
    ASSERT_NE(m.CurrentMacroAction(), nullptr);
    EXPECT_EQ(m.CurrentMacroAction()->MacroListCount(), 2);

    auto out = macroList({ macro("x"), macro("y"), macro("z") });
    m.GetMacroKeyInfoList(*out);
    EXPECT_EQ(out->nMacroInfoCount, 2);
    EXPECT_EQ(std::memcmp(&out->MacroInfos[0], &in->MacroInfos[0], sizeof(TMACROKEYINFO)), 0);
    EXPECT_EQ(MacroName(out->MacroInfos[1]), "two");
    EXPECT_EQ(MacroName(out->MacroInfos[2]), "z"); // beyond the count: left as it was
}

TEST(MacroModel, CreateNewMacroAppendsAnEmptyCurrentMacro)
{
    auto m = model(2);
    ASSERT_TRUE(m->CreateNewMacro("new"));
    EXPECT_EQ(m->MacroListIndex(), 2);
    const TMACROKEYINFO created = m->CurrentMacroKeyInfo();
    TMACROKEYINFO expected = macro("new");
    expected.nMacroIndex = 2;
    EXPECT_EQ(std::memcmp(&created, &expected, sizeof created), 0);
    EXPECT_EQ(created.Version, 0u);
    ASSERT_NE(m->CurrentMacroAction(), nullptr);
    EXPECT_EQ(m->CurrentMacroAction()->MacroIndex(), 2);
    EXPECT_TRUE(m->CurrentMacroAction()->IsEmpty());
    EXPECT_EQ(m->CurrentMacroAction()->ActionIndex(), -1);

    // The editor refuses a 21st macro; the model stops only where the stored list has no room.
    while (m->MacroListCount() < 20)
        EXPECT_TRUE(m->CreateNewMacro("m" + std::to_string(m->MacroListCount())));
    EXPECT_TRUE(m->IsFull());
    EXPECT_TRUE(m->CreateNewMacro("twenty-first"));
    EXPECT_FALSE(m->CreateNewMacro("twenty-second"));
    EXPECT_EQ(m->MacroListCount(), 21);
    expectNumbered(*m);

    auto out = macroList({});
    m->GetMacroKeyInfoList(*out);
    EXPECT_EQ(out->nMacroInfoCount, 21);
    EXPECT_EQ(MacroName(out->MacroInfos[20]), "twenty-first");
}

TEST(MacroModel, NamesAreCutToTheFieldAndComparedExactly)
{
    TuiMacroClass m;
    const std::string long60(60, 'n');
    EXPECT_TRUE(m.CreateNewMacro(long60));
    EXPECT_TRUE(m.CreateNewMacro("Abc"));
    EXPECT_TRUE(m.CreateNewMacro("abc"));
    EXPECT_TRUE(m.CreateNewMacro("abc"));
    EXPECT_EQ(names(m)[0], std::string(50, 'n'));
    EXPECT_EQ(m.MacroKeyInfos()[0].szMacroName[49], u'n'); // full field, no terminator
    EXPECT_EQ(m.IndexOfMacroName("abc"), 2);
    EXPECT_EQ(m.IndexOfMacroName("ABC"), -1);
    EXPECT_EQ(m.IndexOfMacroName(long60), -1);
    EXPECT_TRUE(m.MacroExists(std::string(50, 'n')));

    // Renaming to a shorter name leaves no trace of the old one in the field.
    ASSERT_TRUE(m.ReNameMacro("xy", 0));
    const auto& field = m.MacroKeyInfos()[0].szMacroName;
    EXPECT_EQ(std::u16string(field, field + 3), std::u16string(u"xy\0", 3));
    EXPECT_EQ(field[49], 0);
    EXPECT_FALSE(m.ReNameMacro("zz", 4));

    // Duplicates: the first one is deleted.
    ASSERT_TRUE(m.DeleteMacro(std::string("abc")));
    EXPECT_EQ(names(m), (std::vector<std::string> { "xy", "Abc", "abc" }));
    EXPECT_EQ(m.MacroKeyInfos()[2].nMacroIndex, 2);
    EXPECT_FALSE(m.DeleteMacro(std::string("missing")));
}

TEST(MacroModel, CutNamesNeverSplitACharacter)
{
    // 49 units, then a character that needs two.
    const std::string name = std::string(49, 'a') + "\xF0\x9F\x98\x80";
    EXPECT_EQ(CutMacroName(name), std::string(49, 'a'));
    EXPECT_EQ(CutMacroName(std::string(48, 'a') + "\xF0\x9F\x98\x80"), std::string(48, 'a') + "\xF0\x9F\x98\x80");
    EXPECT_EQ(CutMacroName(std::string("ab\0cd", 5)), "ab");
}

TEST(MacroModel, DeleteKeepsTheCurrentIndexInRange)
{
    struct Case {
        int count, current, deleted, expectedIndex;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        { 3, 2, 2, 1, { "a", "b" } }, // the last one: current becomes count - 1
        { 1, 0, 0, -1, {} }, // the only one
        { 3, 1, 0, 1, { "b", "c" } }, // one before the current: the index stays
        { 3, 0, 2, 0, { "a", "b" } }, // one after the current
        { 3, 1, 3, 1, { "a", "b", "c" } }, // invalid: ignored
        { 3, 1, -1, 1, { "a", "b", "c" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << c.count << " current " << c.current << " delete " << c.deleted);
        auto m = model(c.count);
        m->SetMacroListIndex(c.current);
        m->DeleteMacro(c.deleted);
        EXPECT_EQ(m->MacroListIndex(), c.expectedIndex);
        EXPECT_EQ(names(*m), c.left);
        expectNumbered(*m);
        if (c.expectedIndex >= 0) {
            ASSERT_NE(m->CurrentMacroAction(), nullptr);
            EXPECT_EQ(m->CurrentMacroAction()->MacroIndex(), c.expectedIndex);
        } else {
            EXPECT_EQ(m->CurrentMacroAction(), nullptr);
        }
    }
}

TEST(MacroModel, MovesSwapRenumberAndTheCurrentMacroFollows)
{
    struct Case {
        bool up;
        int index, current;
        std::vector<std::string> order;
        int expectedCurrent;
    };
    const Case cases[] = {
        { true, 2, 2, { "a", "c", "b", "d" }, 1 },
        { true, 2, 1, { "a", "c", "b", "d" }, 2 },
        { true, 2, 0, { "a", "c", "b", "d" }, 0 },
        { false, 1, 1, { "a", "c", "b", "d" }, 2 },
        { false, 1, 2, { "a", "c", "b", "d" }, 1 },
        { true, 0, 0, { "a", "b", "c", "d" }, 0 }, // nothing above the first
        { false, 3, 3, { "a", "b", "c", "d" }, 3 }, // nothing below the last
        { true, -1, 0, { "a", "b", "c", "d" }, 0 },
        { false, -1, 0, { "a", "b", "c", "d" }, 0 },
        { true, 4, 0, { "a", "b", "c", "d" }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.up ? "up " : "down ") << c.index << " current " << c.current);
        auto m = model(4);
        m->SetMacroListIndex(c.current);
        c.up ? m->MoveUpMacro(c.index) : m->MoveDownMacro(c.index);
        EXPECT_EQ(names(*m), c.order);
        EXPECT_EQ(m->MacroListIndex(), c.expectedCurrent);
        EXPECT_EQ(m->CurrentMacroAction()->MacroIndex(), c.expectedCurrent);
        expectNumbered(*m);
    }
}

// The actions object always edits the current macro in its current slot, however the list moved.
TEST(MacroModel, ActionEditsLandInTheCurrentMacroAfterTheListChanges)
{
    auto m = model(4);
    m->SetMacroListIndex(2); // "c"
    m->CurrentMacroAction()->CopyAction(0);

    m->MoveUpMacro(2); // "c" is now at 1 and keeps its actions object and clipboard
    TuiActionsClass* actions = m->CurrentMacroAction();
    ASSERT_TRUE(actions->HasClipboard());
    ASSERT_TRUE(actions->PasteAction(0));
    EXPECT_EQ(m->MacroKeyInfos()[1].MacroListCount, 3);
    EXPECT_EQ(m->MacroKeyInfos()[1].nMacroIndex, 1); // not the old position written back
    EXPECT_EQ(m->MacroKeyInfos()[2].MacroListCount, 2);
    EXPECT_EQ(names(*m), (std::vector<std::string> { "a", "c", "b", "d" }));

    // Deleting the macro before the current: the index stays, so "b" becomes current.
    m->DeleteMacro(0);
    ASSERT_EQ(m->MacroListIndex(), 1);
    m->CurrentMacroAction()->DeleteAction(0);
    EXPECT_EQ(names(*m), (std::vector<std::string> { "c", "b", "d" }));
    EXPECT_EQ(m->MacroKeyInfos()[0].MacroListCount, 3);
    EXPECT_EQ(m->MacroKeyInfos()[1].MacroListCount, 1);
    EXPECT_EQ(m->MacroKeyInfos()[2].MacroListCount, 2);
    expectNumbered(*m);

    // A new macro becomes current with its own actions object.
    EXPECT_TRUE(m->CreateNewMacro("e"));
    m->CurrentMacroAction()->InsertActionAfter(down('E'), 0);
    EXPECT_EQ(m->MacroKeyInfos()[3].MacroListCount, 1);
    EXPECT_EQ(m->MacroKeyInfos()[1].MacroListCount, 1);

    // Renaming the current macro survives its next action edit.
    EXPECT_TRUE(m->ReNameMacro("renamed", 3));
    m->CurrentMacroAction()->InsertActionAfter(up('E'), 1);
    EXPECT_EQ(MacroName(m->MacroKeyInfos()[3]), "renamed");
    EXPECT_EQ(m->MacroKeyInfos()[3].MacroListCount, 2);
}

TEST(MacroModel, InsertMacroAfterAddsWhatFitsAndRemakesTheActions)
{
    auto m = model(1); // a: A down, A up
    m->CurrentMacroAction()->CopyAction(0);
    m->InsertMacroAfter(macro("src", { down('X'), up('X') }), 0);
    const TMACROKEYINFO& a = m->MacroKeyInfos()[0];
    ASSERT_EQ(a.MacroListCount, 4);
    EXPECT_TRUE(sameAction(a.MacroList[1], down('X')));
    EXPECT_TRUE(sameAction(a.MacroList[2], up('X')));
    EXPECT_TRUE(sameAction(a.MacroList[3], up('A')));
    EXPECT_FALSE(m->CurrentMacroAction()->HasClipboard());

    std::vector<TMACROKEY> many(126, delay(10));
    m->InsertMacroAfter(macro("big", many), 4);
    EXPECT_EQ(m->MacroKeyInfos()[0].MacroListCount, 128);
    EXPECT_TRUE(m->CurrentMacroAction()->IsFull());
}

TEST(MacroModel, LoopValueAndSaveBackReplaceTheStoredMacro)
{
    auto m = model(2);
    m->SetMacroListIndex(1);
    m->CurrentMacroAction()->CopyAction(0);
    ASSERT_TRUE(m->SetMacroLoopValue(1, 9));
    EXPECT_EQ(m->MacroKeyInfos()[1].nLoopCount, 9);
    EXPECT_FALSE(m->CurrentMacroAction()->HasClipboard());
    EXPECT_FALSE(m->SetMacroLoopValue(2, 9));

    TMACROKEYINFO replacement = macro("b", { delay(30), down('Q'), up('Q') });
    replacement.nAutoAddDelay = 1;
    replacement.nMacroIndex = 1;
    ASSERT_TRUE(m->SaveBackCurrentMacroKeyInfo(replacement));
    EXPECT_EQ(std::memcmp(&m->MacroKeyInfos()[1], &replacement, sizeof replacement), 0);
    EXPECT_EQ(m->CurrentMacroAction()->MacroListCount(), 3);
    EXPECT_EQ(m->CurrentMacroAction()->TotalDelay(), 30);
}

TEST(MacroModel, DamagedCountsAreClampedAndReported)
{
    auto l = macroList({ macro("ok", { down('A') }), macro("huge"), macro("negative") });
    l->MacroInfos[1].MacroListCount = 500;
    l->MacroInfos[2].MacroListCount = -3;
    EXPECT_EQ(MacroListDamage(*l).size(), 2u);
    TuiMacroClass m;
    const auto damage = m.SetMacroKeyInfoList(*l);
    ASSERT_EQ(damage.size(), 2u);
    EXPECT_NE(damage[0].find("\"huge\""), std::string::npos) << damage[0];
    EXPECT_NE(damage[0].find("500"), std::string::npos) << damage[0];
    EXPECT_EQ(m.MacroKeyInfos()[1].MacroListCount, 128);
    EXPECT_EQ(m.MacroKeyInfos()[2].MacroListCount, 0);
    m.SetMacroListIndex(1);
    EXPECT_EQ(m.CurrentMacroAction()->MacroListCount(), 128);

    l->nMacroInfoCount = 300;
    TuiMacroClass full;
    const auto listDamage = full.SetMacroKeyInfoList(*l);
    ASSERT_FALSE(listDamage.empty());
    EXPECT_NE(listDamage[0].find("300"), std::string::npos) << listDamage[0];
    EXPECT_EQ(full.MacroListCount(), 21);

    TMACROKEYINFO one = macro("x");
    EXPECT_FALSE(MacroRecordDamage(one));
    one.MacroListCount = 129;
    EXPECT_TRUE(MacroRecordDamage(one));
}

// ---- the actions of one macro ----------------------------------------------

std::unique_ptr<TuiActionsClass> actions(const std::vector<TMACROKEY>& list)
{
    return std::make_unique<TuiActionsClass>(macro("m", list), 0, nullptr);
}

std::vector<int> codes(const TuiActionsClass& a)
{
    std::vector<int> out;
    for (const auto& k : a.Actions())
        out.push_back(k.VALUE1);
    return out;
}

TEST(MacroActions, InsertRules)
{
    struct Case {
        bool after;
        int index, selected;
        std::vector<int> expected;
        int expectedSelection;
    };
    const Case cases[] = {
        { false, 0, 0, { 'X', 'A', 'B', 'C' }, 1 }, // before the selected action: the selection moves with it
        { false, 1, 2, { 'A', 'X', 'B', 'C' }, 3 },
        { false, 2, 0, { 'A', 'B', 'X', 'C' }, 0 },
        { false, 3, 0, { 'A', 'B', 'C' }, 0 }, // cannot append
        { false, -1, 0, { 'A', 'B', 'C' }, 0 },
        { true, 0, 0, { 'A', 'X', 'B', 'C' }, 0 },
        { true, 3, 1, { 'A', 'B', 'C', 'X' }, 1 }, // after the last: appends
        { true, -1, 0, { 'A', 'B', 'C' }, 0 },
        { true, 4, 0, { 'A', 'B', 'C' }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.after ? "after " : "before ") << c.index);
        auto a = actions({ down('A'), down('B'), down('C') });
        a->SetActionIndex(c.selected);
        c.after ? a->InsertActionAfter(down('X'), c.index) : a->InsertAction(down('X'), c.index);
        EXPECT_EQ(codes(*a), c.expected);
        EXPECT_EQ(a->ActionIndex(), c.expectedSelection);
    }

    auto full = actions(std::vector<TMACROKEY>(128, delay(10)));
    EXPECT_TRUE(full->IsFull());
    EXPECT_FALSE(full->InsertAction(down('X'), 0));
    EXPECT_FALSE(full->InsertActionAfter(down('X'), 127));
    EXPECT_EQ(full->MacroListCount(), 128);
}

TEST(MacroActions, DeleteAndMoveKeepTheSelectionSensible)
{
    auto a = actions({ down('A'), down('B'), down('C') });
    a->SetActionIndex(2);
    EXPECT_TRUE(a->MoveUpAction(2));
    EXPECT_EQ(codes(*a), (std::vector<int> { 'A', 'C', 'B' }));
    EXPECT_EQ(a->ActionIndex(), 1); // follows "C"
    EXPECT_TRUE(a->MoveDownAction(0));
    EXPECT_EQ(codes(*a), (std::vector<int> { 'C', 'A', 'B' }));
    EXPECT_EQ(a->ActionIndex(), 0);
    for (int bad : { 0, -1, 3 })
        EXPECT_FALSE(a->MoveUpAction(bad)) << bad;
    for (int bad : { 2, -1, 3 })
        EXPECT_FALSE(a->MoveDownAction(bad)) << bad;

    a->SetActionIndex(2);
    EXPECT_TRUE(a->DeleteAction(2));
    EXPECT_EQ(a->ActionIndex(), 1);
    EXPECT_FALSE(a->DeleteAction(2));
    a->DeleteAction(0);
    a->DeleteAction(0);
    EXPECT_TRUE(a->IsEmpty());
    EXPECT_EQ(a->ActionIndex(), -1);
    EXPECT_FALSE(a->DeleteAction(0));

    a->SetActionIndex(0); // ignored on an empty list
    EXPECT_EQ(a->ActionIndex(), -1);
}

TEST(MacroActions, ClipboardPastesACutOnceAndACopyAgain)
{
    auto a = actions({ down('A'), down('B'), down('C') });
    ASSERT_TRUE(a->CutAction(0));
    EXPECT_EQ(codes(*a), (std::vector<int> { 'B', 'C' }));
    EXPECT_TRUE(a->ClipboardIsCut());
    EXPECT_FALSE(a->PasteAction(2)); // refused: the cut action is kept, not lost
    EXPECT_TRUE(a->HasClipboard());
    EXPECT_TRUE(a->PasteAction(1));
    EXPECT_FALSE(a->PasteAction(0));
    EXPECT_EQ(codes(*a), (std::vector<int> { 'B', 'A', 'C' }));

    ASSERT_TRUE(a->CopyAction(2));
    EXPECT_TRUE(a->PasteAction(0));
    EXPECT_TRUE(a->PasteAction(0));
    EXPECT_EQ(codes(*a), (std::vector<int> { 'C', 'C', 'B', 'A', 'C' }));

    EXPECT_FALSE(a->CopyAction(5));
    EXPECT_FALSE(a->CutAction(-1));
    EXPECT_FALSE(actions({})->PasteAction(0));
}

TEST(MacroActions, DelaysAreReadAndWrittenAsTwoBytes)
{
    auto a = actions({ delay(300), down('A'), delay(65535), up('A') });
    EXPECT_EQ(a->GetDelayValue(0), 300);
    EXPECT_EQ(a->GetDelayValue(1), 'A'); // any kind: the two value bytes
    EXPECT_EQ(a->GetDelayValue(4), 0);
    EXPECT_EQ(a->TotalDelay(), 300 + 65535);
    EXPECT_TRUE(a->SetDelayValue(0, 0x1234));
    EXPECT_EQ(a->Actions()[0].VALUE1, 0x34);
    EXPECT_EQ(a->Actions()[0].VALUE2, 0x12);
    EXPECT_FALSE(a->SetDelayValue(-1, 5));
}

TEST(MacroActions, RecordKeepsItsOtherFieldsAndStaleSlots)
{
    TMACROKEYINFO m = macro("m", { down('A'), up('A'), down('B') });
    m.nLoopCount = 5;
    m.MacroUse = 3;
    TuiActionsClass a(m, 0, nullptr);
    a.DeleteAction(0);
    TMACROKEYINFO out;
    a.GetMacroKeyInfo(out);
    EXPECT_EQ(out.MacroListCount, 2);
    EXPECT_EQ(out.nLoopCount, 5);
    EXPECT_EQ(out.MacroUse, 3);
    EXPECT_TRUE(sameAction(out.MacroList[0], up('A')));
    EXPECT_TRUE(sameAction(out.MacroList[2], down('B'))); // beyond the count: old bytes

    TMACROKEYINFO other = macro("other", { delay(10) });
    other.nLoopCount = 2;
    other.nAutoAddDelay = 1;
    a.SetMacroKeyInfo(other);
    a.GetMacroKeyInfo(out);
    EXPECT_EQ(out.nLoopCount, 2);
    EXPECT_EQ(out.nAutoAddDelay, 1);
    EXPECT_EQ(MacroName(out), "other");
    EXPECT_EQ(a.ActionIndex(), 0);

    a.SetMacroKeyInfo(macro("empty"));
    EXPECT_EQ(a.ActionIndex(), -1);
}

// ---- the error check ---------------------------------------------------------

TEST(MacroErrors, PressesAndReleasesMustPairUp)
{
    struct Case {
        const char* what;
        std::vector<TMACROKEY> list;
        int errors;
    };
    const Case cases[] = {
        { "press, release", { down('A'), up('A') }, 0 },
        { "press, press, release", { down('A'), down('A'), up('A') }, 1 },
        { "release alone", { up('A') }, 1 },
        { "press alone", { down('A') }, 1 },
        { "two keys interleaved", { down('A'), down('B'), up('A'), up('B') }, 0 },
        { "extended key pairs only with itself", { down(0x11, 1), up(0x11) }, 2 },
        { "extended press and release", { down(0xA3, 1), delay(20), up(0xA3, 1) }, 0 },
        { "kinds share one table", { action(kActionMouseButton, 1, 'A', 0), up('A') }, 0 },
        { "mouse button left down is not counted", { action(kActionMouseButton, 1, 1, 0) }, 0 },
        { "media key left down is not counted", { action(kActionMediaKey, 1, 0xCD, 0) }, 0 },
        { "media key released twice", { action(kActionMediaKey, 0, 0xCD, 0), action(kActionMediaKey, 0, 0xCD, 0) }, 2 },
        { "state other than 1 is a release", { down('A'), key('A', 7) }, 0 },
        { "delays and other kinds are skipped", { delay(5), action(9, 1, 'A', 0), action(kActionLoop, 1, 2, 0) }, 0 },
        { "key left down after a mouse release", { action(kActionMouseButton, 0, 'A', 0), down('A') }, 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto m = std::make_unique<TuiMacroClass>(*macroList({ macro("m", c.list) }));
        EXPECT_EQ(m->CurrentMacroAction()->CheckErrors(), c.errors);
        const TMACROKEYINFO& stored = m->MacroKeyInfos()[0];
        EXPECT_EQ(stored.ErrorCount, c.errors);
        EXPECT_EQ(stored.HaveErrors, c.errors > 0 ? 1 : 0);
    }
}

TEST(MacroErrors, ResultSurvivesLaterEditsAndCoversEveryMacro)
{
    auto m = std::make_unique<TuiMacroClass>(*macroList({ macro("bad", { down('A'), delay(30) }),
        macro("good", { down('B'), up('B') }), macro("worse", { up('C'), up('D') }) }));
    m->CheckAllErrors();
    EXPECT_EQ(m->MacroKeyInfos()[0].ErrorCount, 1);
    EXPECT_EQ(m->MacroKeyInfos()[1].HaveErrors, 0);
    EXPECT_EQ(m->MacroKeyInfos()[2].ErrorCount, 2);

    // An edit that does not rerun the check must not put the old result back.
    m->CurrentMacroAction()->SetDelayValue(1, 40);
    EXPECT_EQ(m->MacroKeyInfos()[0].HaveErrors, 1);
    EXPECT_EQ(m->MacroKeyInfos()[0].ErrorCount, 1);

    m->CurrentMacroAction()->InsertActionAfter(up('A'), 1);
    m->CurrentMacroAction()->CheckErrors();
    EXPECT_EQ(m->MacroKeyInfos()[0].HaveErrors, 0);
    EXPECT_EQ(m->MacroKeyInfos()[0].ErrorCount, 0);
}

} // namespace
