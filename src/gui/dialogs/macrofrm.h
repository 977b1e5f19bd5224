#pragma once
// TFrmMacro, the "Macro Manager": creates, deletes and records the macros of a profile on a copy
// of its macro list, and picks the macro for a button. Keys are recorded through its own TuiHook.

#include "dialogs/Dialogs.h"
#include "macros/macro_recording.h"
#include "macros/uiHook.h"
#include "macros/uiMacroClassUnit.h"
#include "toolkit/frameless_window.h"
#include "toolkit/keyboard_capture.h"

#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace bv::gui {

class CaptionButton;
class NumberBox;

/// Data roles of the rows of ListBoxMacroKey.
inline constexpr int kActionRowKindRole = Qt::UserRole; // "Delay", "KeyDown", "KeyUp" or "Mouse"
inline constexpr int kActionRowIndexRole = Qt::UserRole + 1; // index of the row's action in the macro
/// Data role of the rows of ListBoxMacroList: true when the macro's error check found errors.
inline constexpr int kMacroRowErrorRole = Qt::UserRole;

class TFrmMacro : public FramelessDialog {
    Q_OBJECT

public:
    /// Questions go through `dialogs`; the recorder listens on `hook` while recording.
    TFrmMacro(Dialogs& dialogs, platform::KeyboardHook* hook, QWidget* parent = nullptr);
    ~TFrmMacro() override;

    // Opening: the list, then the macro to select (ignored when invalid), the folder, then FillMacroList.
    void SetMacroKeyInfoList(const TMACROKEYINFOLIST& list);
    void SetMacroListIndex(int index);
    void SetMacroPath(const std::string& folder) { FMacroPath = folder; }
    /// Shows the macros, selects the current one and shows its actions.
    void FillMacroList();

    /// The list as edited (slots past the count as they were given) and the current macro.
    MacroEditorResult Result() const;
    const TuiMacroClass& MacroClass() const { return FMacroClass; }
    bool IsRecording() const { return FRecording; }

    QLabel* LabelTitle;
    CaptionButton* BtnMin;
    CaptionButton* BtnClose;
    QListWidget* ListBoxMacroList;
    CaptionButton* IMGMACROLISTSCROLLUP;
    CaptionButton* IMGMACROLISTSCROLLDOWN;
    QLineEdit* TextBoxSelectedMacroName;
    CaptionButton* BSBTNNEWMACRO;
    CaptionButton* BSBTNDELETEMACRO;
    QCheckBox* BtnAutoDelay;
    QCheckBox* BtnCustomDelay;
    NumberBox* NumBoxDelay;
    QCheckBox* BtnMacroLoop;
    NumberBox* BoxMacroLoop;
    CaptionButton* BtnMacroStart;
    CaptionButton* BtnMacroStop;
    QTreeWidget* ListBoxMacroKey;
    QLineEdit* TextEditDelay;
    QLabel* LabelAllDelayTime;
    QLabel* lableTotalActions;
    QLabel* LayoutActionsFull;
    CaptionButton* BtnOK;
    CaptionButton* BtnCANCEL;

public slots:
    /// The title bar's close button ends it cancelled without asking.
    void reject() override;

protected:
    /// The window manager's close asks as CANCEL does.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();

    void ListBoxMacroListChange();
    void RenderMacroActions();
    void AddActionRows(const TMACROKEY* actions, int count, bool showDelays);
    void RefreshErrorIcons();
    void ShowTotals(int totalDelay, int rows);

    void BSBTNNEWMACROClick();
    void BSBTNDELETEMACROClick();
    void BtnMacroStartStopClick(CaptionButton* sender);
    void StartRecording();
    void StopRecording();
    void SetRecordingControlsEnabled(bool enabled);
    MacroRecordingOptions RecordingOptions() const;
    void RecordKeyboardMacroKeyEx(const TMacroKeyHookList& keyList);
    void StopRecordKeyboardMacroKey(const TMacroKeyHookList& keyList);

    void BtnAutoDelayChange(bool on);
    void BtnCustomDelayChange(bool on);
    void BtnMacroLoopChange(bool on);
    void StoreLoopValue();

    void ListBoxMacroKeyDblClick(QTreeWidgetItem* item);
    void CommitDelayEdit();

    void BtnOKClick();
    void BtnCANCELClick();
    void SaveMacroFiles(const TMACROKEYINFOLIST& list);

    Dialogs& FDialogs;
    TuiMacroClass FMacroClass;
    TuiHook FKeyHook;
    // Held while recording.
    std::unique_ptr<KeyboardCapture> FKeyboardCapture;
    std::string FMacroPath;
    // The list as given: slots past the count are handed back unchanged.
    std::unique_ptr<TMACROKEYINFOLIST> FGivenList;
    bool FRecording = false;
    bool FInitlizing = false;
    // The action whose delay TextEditDelay edits.
    int FEditedAction = -1;
};

/// Runs the editor modally on `macros`; on OK the macro files are written into `macroFolder` and
/// the edited list and chosen macro are returned.
std::optional<MacroEditorResult> EditMacros(QWidget* parent, const TMACROKEYINFOLIST& macros, int currentMacro,
    const std::string& macroFolder, Dialogs& dialogs, platform::KeyboardHook* hook);

} // namespace bv::gui
