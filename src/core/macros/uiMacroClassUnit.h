#pragma once
// The macro model: TuiMacroClass owns a profile's macro list and knows the current macro;
// TuiActionsClass edits the actions of one macro and writes every change back into its owner.
// Both also carry the macro files (one raw record per ".macro" file).

#include "settings/macro_records.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bv {

class TuiMacroClass;

/// What is wrong with the counts of a stored macro, or nullopt when they are in range.
[[nodiscard]] std::optional<std::string> MacroRecordDamage(const TMACROKEYINFO& macro);
/// The damage of a stored macro list: its own count and the counts of the macros it holds.
std::vector<std::string> MacroListDamage(const TMACROKEYINFOLIST& list);

/// Edits the actions of one macro; every change is stored back into the owning TuiMacroClass.
class TuiActionsClass {
public:
    /// An empty action list with no owner.
    TuiActionsClass();
    /// The actions of `AMacroKeyInfo` (at most 128), which sits at `AMacroIndex` in `AMacroClass`
    /// (may be null: changes then stay in this object).
    TuiActionsClass(const TMACROKEYINFO& AMacroKeyInfo, int AMacroIndex, TuiMacroClass* AMacroClass);
    TuiActionsClass(const TuiActionsClass&) = delete;
    TuiActionsClass& operator=(const TuiActionsClass&) = delete;

    int ActionIndex() const { return FActionsIndex; }
    /// Accepted only for 0 <= value < count.
    void SetActionIndex(int Value);
    int MacroListCount() const { return static_cast<int>(FActionsList.size()); }
    [[nodiscard]] bool IsFull() const { return MacroListCount() >= FMaxActionsCount; }
    [[nodiscard]] bool IsEmpty() const { return FActionsList.empty(); }
    int TotalDelay() const { return GetTotalDelay(); }
    const std::vector<TMACROKEY>& Actions() const { return FActionsList; }
    int MacroIndex() const { return FMacroIndex; }
    /// True while the clipboard holds an action; ClipboardIsCut when a cut put it there.
    [[nodiscard]] bool HasClipboard() const { return FSavedActionsList.has_value(); }
    [[nodiscard]] bool ClipboardIsCut() const { return FCutOperationFlag; }

    /// The kept record with the edited actions in slots 0..count-1.
    void GetMacroKeyInfo(TMACROKEYINFO& AMacroKeyInfo) const;
    /// Stores the record into the owner and takes the owner's copy back.
    void SaveBack();
    /// Takes over the whole record: its actions, loop count, delay flag and every other field.
    void SetMacroKeyInfo(const TMACROKEYINFO& AMacroKeyInfo);

    /// Inserts before AIndex (0 <= AIndex < count); cannot append. False when refused.
    bool InsertAction(const TMACROKEY& AAction, int AIndex);
    /// Inserts after AIndex, or appends when AIndex == count. False when refused.
    bool InsertActionAfter(const TMACROKEY& AAction, int AIndex);
    bool DeleteAction(int AIndex);
    bool MoveUpAction(int AIndex);
    bool MoveDownAction(int AIndex);
    bool CopyAction(int AIndex);
    bool CutAction(int AIndex);
    /// Inserts the clipboard before AIndex. A cut action is pasted once; a copied one any number
    /// of times. A refused paste keeps the clipboard.
    bool PasteAction(int AIndex);
    /// VALUE1 + 256 * VALUE2 of the action, whatever its kind; 0 for an invalid index.
    int GetDelayValue(int AIndex) const;
    bool SetDelayValue(int AIndex, std::uint16_t ADelay);
    /// Sum of the delays of the delay actions, in ms.
    int GetTotalDelay() const;
    /// Marks presses without a release, releases without a press and repeated presses; stores
    /// HaveErrors and ErrorCount in the owner's macro and returns the count.
    int CheckErrors();

private:
    friend class TuiMacroClass;
    [[nodiscard]] bool validIndex(int AIndex) const { return AIndex >= 0 && AIndex < MacroListCount(); }
    void loadActions(const TMACROKEYINFO& AMacroKeyInfo);

    TMACROKEYINFO FORGMacroKeyInfo {};
    std::vector<TMACROKEY> FActionsList;
    int FActionsIndex = -1;
    int FMaxActionsCount = kMacroActionsMax;
    TuiMacroClass* FMacroClass = nullptr;
    int FMacroIndex = -1;
    std::optional<TMACROKEY> FSavedActionsList;
    bool FCutOperationFlag = false;
};

/// A profile's macros in order, with the current one and the actions object that edits it.
class TuiMacroClass {
public:
    /// An empty list with no current macro.
    TuiMacroClass();
    /// Create, then SetMacroKeyInfoList (use MacroListDamage first to learn of damaged input).
    explicit TuiMacroClass(const TMACROKEYINFOLIST& AMacroKeyInfoList);
    ~TuiMacroClass();
    TuiMacroClass(const TuiMacroClass&) = delete;
    TuiMacroClass& operator=(const TuiMacroClass&) = delete;

    /// Appends the list's macros; counts out of range are clamped and returned as damage.
    /// The first macro becomes current when there is any.
    std::vector<std::string> SetMacroKeyInfoList(const TMACROKEYINFOLIST& AMacroKeyInfoList);
    /// Writes the count and the macros into slots 0..count-1; later slots are left as they were.
    void GetMacroKeyInfoList(TMACROKEYINFOLIST& AMacroKeyInfoList) const;

    int MacroListIndex() const { return FMacroListIndex; }
    /// Makes macro Value current with a new actions object; ignored (false) for an invalid index.
    bool SetMacroListIndex(int Value);
    int MacroListCount() const { return static_cast<int>(FMacroKeyInfoList.size()); }
    [[nodiscard]] bool IsFull() const { return MacroListCount() >= FMaxMacroListCount; }
    [[nodiscard]] bool IsEmpty() const { return FMacroKeyInfoList.empty(); }
    const std::vector<TMACROKEYINFO>& MacroKeyInfos() const { return FMacroKeyInfoList; }
    /// Copy of the current macro; all zero when there is none.
    TMACROKEYINFO CurrentMacroKeyInfo() const;
    /// The actions object of the current macro, or null when none is current. It is replaced
    /// whenever the current macro changes or is stored anew, so do not keep the pointer.
    TuiActionsClass* CurrentMacroAction() const { return FCurrentMacroAction.get(); }

    /// Copies the current macro into the argument; leaves it unchanged (false) when there is none.
    bool GetCurrentMacroKeyItem(TMACROKEYINFO& AMacroKeyInfo) const;
    /// Appends a new empty macro (name cut to 50 units) and makes it current. Checks neither the
    /// limit of 20 nor duplicate names (the editor does); refused (false) only when the 21 slots
    /// of the stored list are taken.
    [[nodiscard]] bool CreateNewMacro(const std::string& AMacroName);
    /// Renames macro AIndex (name cut to 50 units).
    [[nodiscard]] bool ReNameMacro(const std::string& AMacroName, int AIndex);
    bool DeleteMacro(int AIndex);
    /// Deletes the first macro of that name.
    [[nodiscard]] bool DeleteMacro(const std::string& AMacroName);
    bool MoveUpMacro(int AIndex);
    bool MoveDownMacro(int AIndex);
    [[nodiscard]] bool MacroExists(const std::string& AMacroName) const { return IndexOfMacroName(AMacroName) >= 0; }
    int IndexOfMacroName(const std::string& AMacroName) const;
    /// Inserts the actions of AMacroKeyInfo into the current macro after action AIndex, as many
    /// as fit.
    void InsertMacroAfter(const TMACROKEYINFO& AMacroKeyInfo, int AIndex);
    bool SetMacroLoopValue(int AIndex, std::uint16_t ALoopValue);
    bool SaveBackCurrentMacroKeyInfo(const TMACROKEYINFO& AMacroKeyInfo);
    /// Runs the error check on every macro.
    void CheckAllErrors();

    /// Writes macro i of the list to `<AMacroPath>/<name>.macro`, creating the folder (one level)
    /// when it is missing. Throws MacroFileError: at once for an empty path, a folder that cannot
    /// be made or a file that cannot be written (the macros before stay written); after writing
    /// the others for names that cannot name a file and for a damaged list count.
    static void SaveMacroKeyInfoListToMacroFiles(
        const TMACROKEYINFOLIST& AMacroKeyInfoList, const std::string& AMacroPath);
    /// Reads up to 892 bytes of the file into the record (a shorter file fills only its leading
    /// bytes). A missing file leaves the record unchanged and returns false. Throws
    /// std::filesystem::filesystem_error for a file that exists but cannot be read.
    [[nodiscard]] static bool LoadMacroFromFile(const std::string& AMacroFile, TMACROKEYINFO& AMacroKeyInfo);
    [[nodiscard]] static bool IsValidMacroVersion(const TMACROKEYINFO& AMacroKeyInfo)
    {
        return AMacroKeyInfo.Version == kMacroVersion;
    }
    /// The create dialog's placeholder: an empty version-258 macro named AMacroName (cut to 50
    /// units). Never replaces an existing file: returns false and writes nothing when one is
    /// there. Throws MacroFileError as SaveMacroKeyInfoListToMacroFiles does.
    [[nodiscard]] static bool WriteMacroPlaceholder(const std::string& AMacroPath, const std::string& AMacroName);

private:
    friend class TuiActionsClass;
    [[nodiscard]] bool validIndex(int AIndex) const { return AIndex >= 0 && AIndex < MacroListCount(); }
    void renumber();
    void makeCurrentActions();
    void followActions(int AActionsMacroNow);

    std::vector<TMACROKEYINFO> FMacroKeyInfoList;
    int FMacroListIndex = -1;
    int FMaxMacroListCount = kMacroListMax;
    std::unique_ptr<TuiActionsClass> FCurrentMacroAction;
};

} // namespace bv
