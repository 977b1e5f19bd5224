#pragma once
// TFrmCreat: asks for the name of a new macro and writes its placeholder file.

#include "dialogs/answer_dialog.h"

#include <string>

class QLabel;
class QLineEdit;

namespace bv::gui {

class CaptionButton;
class Dialogs;

class TFrmCreat : public AnswerDialog {
    Q_OBJECT

public:
    /// The placeholder goes into `macroFolder`; problems are told through `dialogs`.
    TFrmCreat(const std::string& macroFolder, Dialogs& dialogs, QWidget* parent = nullptr);

    QLabel* LabelTitle;
    QLabel* LabelPrompt;
    QLineEdit* TextboxMacroName;
    CaptionButton* BtnOK;
    CaptionButton* BtnCANCEL;

    /// The name confirmed with OK (at most 50 units); empty when none was entered.
    const std::string& MacroName() const { return FMacroName; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BtnOKClick();

    std::string FMacroPath;
    Dialogs& FDialogs;
    std::string FMacroName;
};

} // namespace bv::gui
