#include "macros/uiMacroClassUnit.h"

#include "macros/macro_name.h"
#include "platform/atomic_file.h"
#include "util/utf8_path.h"

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <span>
#include <utility>

namespace bv {

namespace fs = std::filesystem;

namespace {

int usableActionCount(std::int32_t count)
{
    return std::clamp<std::int32_t>(count, 0, kMacroActionsMax);
}

std::optional<std::string> countDamage(std::int32_t count)
{
    if (count < 0)
        return "claims " + std::to_string(count) + " actions; none are used";
    if (count > kMacroActionsMax)
        return "claims " + std::to_string(count) + " actions, more than the " + std::to_string(kMacroActionsMax)
            + " it has room for; only the first " + std::to_string(kMacroActionsMax) + " are used";
    return std::nullopt;
}

std::string listCountDamage(int count)
{
    return "The macro list claims " + std::to_string(count) + " macros, more than the "
        + std::to_string(kMacroListSlots) + " it has room for; only the first " + std::to_string(kMacroListSlots)
        + " are used.";
}

std::string sentence(std::string reason)
{
    if (!reason.empty() && reason.front() >= 'a' && reason.front() <= 'z')
        reason.front() = static_cast<char>(reason.front() - 'a' + 'A');
    if (!reason.empty() && reason.back() != '.')
        reason.push_back('.');
    return reason;
}

// Creates the macro folder itself, not its parents: a missing parent means the folder was
// mistyped or its drive is gone, and guessing a tree of folders would hide that.
void ensureMacroFolder(const std::string& folder)
{
    const fs::path p = util::PathFromUtf8(folder);
    std::error_code ec;
    if (fs::is_directory(p, ec))
        return;
    fs::create_directory(p, ec);
    std::error_code statError;
    if (!ec && fs::is_directory(p, statError))
        return;
    const std::string reason = ec ? sentence(ec.message()) : "Something that is not a folder has that name.";
    throw MacroFileError("Cannot create folder \"" + folder + "\". " + reason, p);
}

void writeMacroFile(const fs::path& file, const TMACROKEYINFO& macro, const std::string& shownName)
{
    try {
        platform::writeFileAtomic(file, std::span(reinterpret_cast<const std::uint8_t*>(&macro), sizeof macro));
    } catch (const fs::filesystem_error& e) {
        throw MacroFileError("Cannot create file \"" + shownName + "\". " + sentence(e.code().message()), file);
    }
}

} // namespace

std::optional<std::string> MacroRecordDamage(const TMACROKEYINFO& macro)
{
    if (const auto damage = countDamage(macro.MacroListCount))
        return "The macro " + *damage + ".";
    return std::nullopt;
}

std::vector<std::string> MacroListDamage(const TMACROKEYINFOLIST& list)
{
    std::vector<std::string> damage;
    const int count = list.nMacroInfoCount;
    if (count > kMacroListSlots)
        damage.push_back(listCountDamage(count));
    for (int i = 0; i < std::min(count, kMacroListSlots); ++i) {
        if (const auto d = countDamage(list.MacroInfos[i].MacroListCount))
            damage.push_back(
                "Macro " + std::to_string(i + 1) + " \"" + MacroName(list.MacroInfos[i]) + "\" " + *d + ".");
    }
    return damage;
}

// ---- TuiActionsClass ----------------------------------------------------------

TuiActionsClass::TuiActionsClass() = default;

TuiActionsClass::TuiActionsClass(const TMACROKEYINFO& AMacroKeyInfo, int AMacroIndex, TuiMacroClass* AMacroClass)
    : FMacroClass(AMacroClass)
    , FMacroIndex(AMacroIndex)
{
    loadActions(AMacroKeyInfo);
}

void TuiActionsClass::loadActions(const TMACROKEYINFO& AMacroKeyInfo)
{
    FORGMacroKeyInfo = AMacroKeyInfo;
    const int count = usableActionCount(AMacroKeyInfo.MacroListCount);
    FActionsList.assign(AMacroKeyInfo.MacroList, AMacroKeyInfo.MacroList + count);
    // An empty macro has no selection; a stale index would point past the list.
    FActionsIndex = FActionsList.empty() ? -1 : 0;
}

void TuiActionsClass::SetActionIndex(int Value)
{
    if (validIndex(Value))
        FActionsIndex = Value;
}

void TuiActionsClass::GetMacroKeyInfo(TMACROKEYINFO& AMacroKeyInfo) const
{
    AMacroKeyInfo = FORGMacroKeyInfo;
    AMacroKeyInfo.MacroListCount = MacroListCount();
    std::copy(FActionsList.begin(), FActionsList.end(), AMacroKeyInfo.MacroList);
}

void TuiActionsClass::SaveBack()
{
    TMACROKEYINFO record;
    GetMacroKeyInfo(record);
    if (FMacroClass && FMacroClass->validIndex(FMacroIndex)) {
        auto& stored = FMacroClass->FMacroKeyInfoList[static_cast<std::size_t>(FMacroIndex)];
        stored = record;
        FORGMacroKeyInfo = stored;
    } else {
        FORGMacroKeyInfo = record;
    }
}

void TuiActionsClass::SetMacroKeyInfo(const TMACROKEYINFO& AMacroKeyInfo)
{
    loadActions(AMacroKeyInfo);
    SaveBack();
}

bool TuiActionsClass::InsertAction(const TMACROKEY& AAction, int AIndex)
{
    if (IsFull() || !validIndex(AIndex))
        return false;
    FActionsList.insert(FActionsList.begin() + AIndex, AAction);
    // The selection stays on the action it was on.
    if (FActionsIndex >= AIndex)
        ++FActionsIndex;
    SaveBack();
    return true;
}

bool TuiActionsClass::InsertActionAfter(const TMACROKEY& AAction, int AIndex)
{
    if (IsFull())
        return false;
    if (validIndex(AIndex))
        FActionsList.insert(FActionsList.begin() + AIndex + 1, AAction);
    else if (AIndex == MacroListCount())
        FActionsList.push_back(AAction);
    else
        return false;
    SaveBack();
    return true;
}

bool TuiActionsClass::DeleteAction(int AIndex)
{
    if (IsEmpty() || !validIndex(AIndex))
        return false;
    FActionsList.erase(FActionsList.begin() + AIndex);
    if (FActionsIndex >= MacroListCount())
        FActionsIndex = MacroListCount() - 1;
    SaveBack();
    return true;
}

bool TuiActionsClass::MoveUpAction(int AIndex)
{
    if (AIndex < 1 || AIndex >= MacroListCount())
        return false;
    std::swap(FActionsList[static_cast<std::size_t>(AIndex - 1)], FActionsList[static_cast<std::size_t>(AIndex)]);
    if (FActionsIndex == AIndex)
        FActionsIndex = AIndex - 1;
    else if (FActionsIndex == AIndex - 1)
        FActionsIndex = AIndex;
    SaveBack();
    return true;
}

bool TuiActionsClass::MoveDownAction(int AIndex)
{
    if (AIndex < 0 || AIndex >= MacroListCount() - 1)
        return false;
    return MoveUpAction(AIndex + 1);
}

bool TuiActionsClass::CopyAction(int AIndex)
{
    if (!validIndex(AIndex))
        return false;
    FSavedActionsList = FActionsList[static_cast<std::size_t>(AIndex)];
    FCutOperationFlag = false;
    return true;
}

bool TuiActionsClass::CutAction(int AIndex)
{
    if (!validIndex(AIndex))
        return false;
    FSavedActionsList = FActionsList[static_cast<std::size_t>(AIndex)];
    DeleteAction(AIndex);
    FCutOperationFlag = true;
    return true;
}

bool TuiActionsClass::PasteAction(int AIndex)
{
    if (!FSavedActionsList)
        return false;
    // A cut action lives only in the clipboard, so it is kept until a paste succeeds.
    const bool pasted = InsertAction(*FSavedActionsList, AIndex);
    if (pasted && FCutOperationFlag) {
        FSavedActionsList.reset();
        FCutOperationFlag = false;
    }
    return pasted;
}

int TuiActionsClass::GetDelayValue(int AIndex) const
{
    if (!validIndex(AIndex))
        return 0;
    const TMACROKEY& a = FActionsList[static_cast<std::size_t>(AIndex)];
    return a.VALUE1 + 256 * a.VALUE2;
}

bool TuiActionsClass::SetDelayValue(int AIndex, std::uint16_t ADelay)
{
    if (!validIndex(AIndex))
        return false;
    TMACROKEY& a = FActionsList[static_cast<std::size_t>(AIndex)];
    a.VALUE1 = static_cast<std::uint8_t>(ADelay & 0xFF);
    a.VALUE2 = static_cast<std::uint8_t>(ADelay >> 8);
    SaveBack();
    return true;
}

int TuiActionsClass::GetTotalDelay() const
{
    int total = 0;
    for (const TMACROKEY& a : FActionsList)
        if (a.nKeyType == kActionDelay)
            total += a.VALUE1 + 256 * a.VALUE2;
    return total;
}

int TuiActionsClass::CheckErrors()
{
    // Mouse buttons, keys and media keys share one table, so a press pairs with a release of the
    // same value even across kinds.
    std::bitset<65536> down;
    std::bitset<65536> isKey;
    std::vector<std::uint16_t> keys;
    int errors = 0;
    for (const TMACROKEY& a : FActionsList) {
        if (a.nKeyType != kActionMouseButton && a.nKeyType != kActionKey && a.nKeyType != kActionMediaKey)
            continue;
        const std::uint16_t index = static_cast<std::uint16_t>(a.VALUE2 * 256 + a.VALUE1);
        if (a.nKeyState == 1) {
            if (down[index])
                ++errors;
            else
                down.set(index);
        } else {
            if (!down[index])
                ++errors;
            else
                down.reset(index);
        }
        if (a.nKeyType == kActionKey && !isKey[index]) {
            isKey.set(index);
            keys.push_back(index);
        }
    }
    // Only keys left down count: a held mouse button or media key may be intended.
    for (const std::uint16_t k : keys)
        if (down[k])
            ++errors;

    const auto mark = [errors](TMACROKEYINFO& m) {
        m.HaveErrors = errors > 0 ? 1 : 0;
        m.ErrorCount = errors;
    };
    if (FMacroClass && FMacroClass->validIndex(FMacroIndex))
        mark(FMacroClass->FMacroKeyInfoList[static_cast<std::size_t>(FMacroIndex)]);
    // The kept copy too: the next SaveBack would otherwise put the old result back.
    mark(FORGMacroKeyInfo);
    return errors;
}

// ---- TuiMacroClass ------------------------------------------------------------

TuiMacroClass::TuiMacroClass() = default;

TuiMacroClass::TuiMacroClass(const TMACROKEYINFOLIST& AMacroKeyInfoList)
{
    SetMacroKeyInfoList(AMacroKeyInfoList);
}

TuiMacroClass::~TuiMacroClass() = default;

std::vector<std::string> TuiMacroClass::SetMacroKeyInfoList(const TMACROKEYINFOLIST& AMacroKeyInfoList)
{
    std::vector<std::string> damage = MacroListDamage(AMacroKeyInfoList);
    const int count = std::min<int>(AMacroKeyInfoList.nMacroInfoCount, kMacroListSlots);
    for (int i = 0; i < count; ++i) {
        TMACROKEYINFO macro = AMacroKeyInfoList.MacroInfos[i];
        macro.MacroListCount = usableActionCount(macro.MacroListCount);
        FMacroKeyInfoList.push_back(macro);
    }
    if (!IsEmpty()) {
        FMacroListIndex = 0;
        // Made now rather than on the next SetMacroListIndex, so the current macro always has one.
        makeCurrentActions();
    }
    return damage;
}

void TuiMacroClass::GetMacroKeyInfoList(TMACROKEYINFOLIST& AMacroKeyInfoList) const
{
    const int count = std::min(MacroListCount(), kMacroListSlots);
    AMacroKeyInfoList.nMacroInfoCount = static_cast<std::uint16_t>(count);
    for (int i = 0; i < count; ++i)
        AMacroKeyInfoList.MacroInfos[i] = FMacroKeyInfoList[static_cast<std::size_t>(i)];
}

bool TuiMacroClass::SetMacroListIndex(int Value)
{
    if (!validIndex(Value))
        return false;
    FMacroListIndex = Value;
    makeCurrentActions();
    return true;
}

TMACROKEYINFO TuiMacroClass::CurrentMacroKeyInfo() const
{
    TMACROKEYINFO macro {};
    GetCurrentMacroKeyItem(macro);
    return macro;
}

bool TuiMacroClass::GetCurrentMacroKeyItem(TMACROKEYINFO& AMacroKeyInfo) const
{
    if (!validIndex(FMacroListIndex))
        return false;
    AMacroKeyInfo = FMacroKeyInfoList[static_cast<std::size_t>(FMacroListIndex)];
    return true;
}

void TuiMacroClass::renumber()
{
    for (std::size_t i = 0; i < FMacroKeyInfoList.size(); ++i)
        FMacroKeyInfoList[i].nMacroIndex = static_cast<std::uint16_t>(i);
}

void TuiMacroClass::makeCurrentActions()
{
    if (validIndex(FMacroListIndex))
        FCurrentMacroAction = std::make_unique<TuiActionsClass>(
            FMacroKeyInfoList[static_cast<std::size_t>(FMacroListIndex)], FMacroListIndex, this);
    else
        FCurrentMacroAction.reset();
}

// After the list changed shape: the actions object keeps editing its macro (and keeps its
// clipboard) when that macro is still the current one, now at `AActionsMacroNow`; otherwise the
// current macro gets a new one. Either way it never writes into a slot that holds another macro.
void TuiMacroClass::followActions(int AActionsMacroNow)
{
    if (FCurrentMacroAction && AActionsMacroNow >= 0 && AActionsMacroNow == FMacroListIndex) {
        FCurrentMacroAction->FMacroIndex = AActionsMacroNow;
        FCurrentMacroAction->FORGMacroKeyInfo = FMacroKeyInfoList[static_cast<std::size_t>(AActionsMacroNow)];
    } else {
        makeCurrentActions();
    }
}

bool TuiMacroClass::CreateNewMacro(const std::string& AMacroName)
{
    // The stored list has 21 slots; a macro beyond them could never be handed back.
    if (MacroListCount() >= kMacroListSlots)
        return false;
    const int actionsMacro = FCurrentMacroAction ? FCurrentMacroAction->FMacroIndex : -1;
    TMACROKEYINFO macro {};
    SetMacroName(macro, AMacroName);
    FMacroListIndex = MacroListCount();
    FMacroKeyInfoList.push_back(macro);
    renumber();
    followActions(actionsMacro);
    return true;
}

bool TuiMacroClass::ReNameMacro(const std::string& AMacroName, int AIndex)
{
    if (!validIndex(AIndex))
        return false;
    SetMacroName(FMacroKeyInfoList[static_cast<std::size_t>(AIndex)], AMacroName);
    if (FCurrentMacroAction && FCurrentMacroAction->FMacroIndex == AIndex)
        followActions(AIndex);
    return true;
}

bool TuiMacroClass::DeleteMacro(int AIndex)
{
    if (!validIndex(AIndex))
        return false;
    int actionsMacro = FCurrentMacroAction ? FCurrentMacroAction->FMacroIndex : -1;
    if (actionsMacro == AIndex)
        actionsMacro = -1;
    else if (actionsMacro > AIndex)
        --actionsMacro;
    FMacroKeyInfoList.erase(FMacroKeyInfoList.begin() + AIndex);
    renumber();
    if (IsEmpty())
        FMacroListIndex = -1;
    else if (FMacroListIndex >= MacroListCount())
        FMacroListIndex = MacroListCount() - 1;
    followActions(actionsMacro);
    return true;
}

bool TuiMacroClass::DeleteMacro(const std::string& AMacroName)
{
    const int index = IndexOfMacroName(AMacroName);
    return index >= 0 && DeleteMacro(index);
}

bool TuiMacroClass::MoveUpMacro(int AIndex)
{
    if (AIndex < 1 || AIndex >= MacroListCount())
        return false;
    std::swap(
        FMacroKeyInfoList[static_cast<std::size_t>(AIndex - 1)], FMacroKeyInfoList[static_cast<std::size_t>(AIndex)]);
    renumber();
    const auto follow = [AIndex](int i) { return i == AIndex ? AIndex - 1 : i == AIndex - 1 ? AIndex : i; };
    FMacroListIndex = follow(FMacroListIndex);
    followActions(FCurrentMacroAction ? follow(FCurrentMacroAction->FMacroIndex) : -1);
    return true;
}

bool TuiMacroClass::MoveDownMacro(int AIndex)
{
    if (AIndex < 0 || AIndex >= MacroListCount() - 1)
        return false;
    return MoveUpMacro(AIndex + 1);
}

int TuiMacroClass::IndexOfMacroName(const std::string& AMacroName) const
{
    for (std::size_t i = 0; i < FMacroKeyInfoList.size(); ++i)
        if (MacroNameEquals(FMacroKeyInfoList[i], AMacroName))
            return static_cast<int>(i);
    return -1;
}

void TuiMacroClass::InsertMacroAfter(const TMACROKEYINFO& AMacroKeyInfo, int AIndex)
{
    if (!FCurrentMacroAction)
        return;
    const int count = usableActionCount(AMacroKeyInfo.MacroListCount);
    for (int i = 0; i < count; ++i) {
        if (FCurrentMacroAction->IsFull() || AIndex > INT_MAX - i)
            break;
        FCurrentMacroAction->InsertActionAfter(AMacroKeyInfo.MacroList[i], AIndex + i);
    }
    makeCurrentActions();
}

bool TuiMacroClass::SetMacroLoopValue(int AIndex, std::uint16_t ALoopValue)
{
    if (!validIndex(AIndex))
        return false;
    FMacroKeyInfoList[static_cast<std::size_t>(AIndex)].nLoopCount = ALoopValue;
    makeCurrentActions();
    return true;
}

bool TuiMacroClass::SaveBackCurrentMacroKeyInfo(const TMACROKEYINFO& AMacroKeyInfo)
{
    if (!validIndex(FMacroListIndex))
        return false;
    TMACROKEYINFO macro = AMacroKeyInfo;
    macro.MacroListCount = usableActionCount(macro.MacroListCount);
    FMacroKeyInfoList[static_cast<std::size_t>(FMacroListIndex)] = macro;
    makeCurrentActions();
    return true;
}

void TuiMacroClass::CheckAllErrors()
{
    for (int i = 0; i < MacroListCount(); ++i) {
        if (FCurrentMacroAction && FCurrentMacroAction->FMacroIndex == i) {
            FCurrentMacroAction->CheckErrors();
        } else {
            TuiActionsClass actions(FMacroKeyInfoList[static_cast<std::size_t>(i)], i, this);
            actions.CheckErrors();
        }
    }
}

// ---- macro files --------------------------------------------------------------

void TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(
    const TMACROKEYINFOLIST& AMacroKeyInfoList, const std::string& AMacroPath)
{
    if (AMacroPath.empty())
        throw MacroFileError("Cannot save the macro files: the profile has no macro folder.", {});
    std::vector<std::string> problems;
    int count = AMacroKeyInfoList.nMacroInfoCount;
    if (count > kMacroListSlots) {
        problems.push_back(listCountDamage(count));
        count = kMacroListSlots;
    }
    bool folderReady = false;
    for (int i = 0; i < count; ++i) {
        const TMACROKEYINFO& macro = AMacroKeyInfoList.MacroInfos[i];
        const std::string name = MacroName(macro);
        // A name that cannot be a file name costs only its own file; the others are still written.
        if (const auto problem = MacroRecordFileNameProblem(macro)) {
            problems.push_back("Cannot create file \"" + MacroFileText(AMacroPath, name) + "\". " + *problem);
            continue;
        }
        if (!folderReady) {
            ensureMacroFolder(AMacroPath);
            folderReady = true;
        }
        writeMacroFile(MacroFilePath(AMacroPath, name), macro, MacroFileText(AMacroPath, name));
    }
    if (!problems.empty()) {
        std::string message;
        for (const auto& p : problems)
            message += (message.empty() ? "" : "\n") + p;
        throw MacroFileError(message, {});
    }
}

bool TuiMacroClass::LoadMacroFromFile(const std::string& AMacroFile, TMACROKEYINFO& AMacroKeyInfo)
{
    // The shared reader refuses what is no regular file (a FIFO would hang) and says why.
    constexpr std::uintmax_t kMaxMacroFile = 1024 * 1024;
    const auto bytes = platform::readFile(util::PathFromUtf8(AMacroFile), kMaxMacroFile);
    if (!bytes)
        return false;
    std::memcpy(static_cast<void*>(&AMacroKeyInfo), bytes->data(), std::min(bytes->size(), sizeof(TMACROKEYINFO)));
    return true;
}

bool TuiMacroClass::WriteMacroPlaceholder(const std::string& AMacroPath, const std::string& AMacroName)
{
    const std::string name = CutMacroName(AMacroName);
    const fs::path file = MacroFilePath(AMacroPath, name);
    ensureMacroFolder(AMacroPath);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(file, ec)))
        return false;
    TMACROKEYINFO macro {};
    SetMacroName(macro, name);
    macro.Version = kMacroVersion;
    writeMacroFile(file, macro, MacroFileText(AMacroPath, name));
    return true;
}

} // namespace bv
