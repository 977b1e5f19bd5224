#pragma once
// Every modal interaction of the windows goes through here, so tests can answer in its place.

#include "settings/pubunit_solmarch.h"

#include <QString>

#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace bv::gui {

/// Results of the message dialog.
inline constexpr int kMessageOK = 1;
inline constexpr int kMessageCancel = 2;

/// What the macro editor hands back on OK.
struct MacroEditorResult {
    TMACROKEYINFOLIST Macros;
    /// Index in Macros of the macro selected when OK was pressed; -1 when there is none.
    int CurrentMacro = -1;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// The message dialog: a title, a text and a second line (each shown as given, empty ones
    /// stay empty). Returns kMessageOK or kMessageCancel.
    virtual int ShowMessageDialog(QWidget* parent, const QString& title, const QString& text, const QString& secondLine)
        = 0;

    // The key capture dialogs: each works on a copy of the record it is given and returns the
    // edited record only when the user ends it with OK.
    virtual std::optional<TSINGLEKEYINFO> EditSingleKey(QWidget* parent, const TSINGLEKEYINFO& key) = 0;
    virtual std::optional<TCOMBOKEYINFO> EditComboKey(QWidget* parent, const TCOMBOKEYINFO& combo) = 0;
    virtual std::optional<TFIREKEYINFO> EditFireKey(QWidget* parent, const TFIREKEYINFO& fire) = 0;

    /// The macro editor on a copy of a profile's macros. `currentMacro` is selected when it is
    /// a valid index; `macroFolder` receives a file per macro on OK. Returns the edited list and
    /// the chosen macro (-1 when the list is empty) only when the user ends it with OK.
    virtual std::optional<MacroEditorResult> EditMacros(
        QWidget* parent, const TMACROKEYINFOLIST& macros, int currentMacro, const std::string& macroFolder)
        = 0;

    /// Any other window shown modally (the help window, the create-macro dialog): returns its result.
    virtual int ShowModal(QDialog& dialog) = 0;

    /// The open-file and save-file dialogs for profile files, starting in `folder`: the chosen
    /// file (UTF-8), or nothing when cancelled. Saving adds ".pfd" when no extension is typed.
    virtual std::optional<std::string> OpenProfileFileName(QWidget*, const std::string& /*folder*/) { return {}; }
    virtual std::optional<std::string> SaveProfileFileName(QWidget*, const std::string& /*folder*/) { return {}; }
};

/// The real dialogs, shown modally.
class ModalDialogs final : public Dialogs {
public:
    int ShowMessageDialog(
        QWidget* parent, const QString& title, const QString& text, const QString& secondLine) override;
    /// The key dialogs record through the process's keyboard hook.
    std::optional<TSINGLEKEYINFO> EditSingleKey(QWidget* parent, const TSINGLEKEYINFO& key) override;
    std::optional<TCOMBOKEYINFO> EditComboKey(QWidget* parent, const TCOMBOKEYINFO& combo) override;
    std::optional<TFIREKEYINFO> EditFireKey(QWidget* parent, const TFIREKEYINFO& fire) override;
    /// Records through the process's keyboard hook; its own questions go through this object.
    std::optional<MacroEditorResult> EditMacros(
        QWidget* parent, const TMACROKEYINFOLIST& macros, int currentMacro, const std::string& macroFolder) override;
    int ShowModal(QDialog& dialog) override;
    std::optional<std::string> OpenProfileFileName(QWidget* parent, const std::string& folder) override;
    std::optional<std::string> SaveProfileFileName(QWidget* parent, const std::string& folder) override;
};

} // namespace bv::gui
