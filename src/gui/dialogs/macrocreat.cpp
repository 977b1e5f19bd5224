#include "dialogs/macrocreat.h"

#include "dialogs/Dialogs.h"
#include "macros/macro_name.h"
#include "macros/uiMacroClassUnit.h"
#include "toolkit/caption_button.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace bv::gui {

TFrmCreat::TFrmCreat(const std::string& macroFolder, Dialogs& dialogs, QWidget* parent)
    : AnswerDialog(QSize(478, 292), parent)
    , FMacroPath(macroFolder)
    , FDialogs(dialogs)
{
    setObjectName("FrmCreat");
    SetSourceText(this, "Create macro");

    MakeDialogBanner(this, 430);

    LabelTitle = MakeLabel(this, "LabelTitle", "Create macro", QRect(24, 58, 430, 30), "title");
    LabelPrompt = MakeLabel(this, "LabelPrompt", "New macro name:", QRect(24, 108, 430, 24));

    TextboxMacroName = new QLineEdit(this);
    TextboxMacroName->setObjectName("TextboxMacroName");
    TextboxMacroName->setProperty("bvRole", "namebox");
    TextboxMacroName->setGeometry(24, 138, 430, 38);
    TextboxMacroName->installEventFilter(this);

    const OkCancelButtons okCancel = MakeOkCancel(this, "BtnOK", "BtnCANCEL", QPoint(218, 238), EnterKey::LeftToDialog);
    BtnOK = okCancel.Ok;
    BtnCANCEL = okCancel.Cancel;
    connect(BtnOK, &QPushButton::clicked, this, &TFrmCreat::BtnOKClick);
    connect(BtnCANCEL, &QPushButton::clicked, this, [this] { done(kMessageCancel); });
}

void TFrmCreat::showEvent(QShowEvent* event)
{
    AnswerDialog::showEvent(event);
    // The editor may sit behind the window the user was typing in: the name goes here.
    activateWindow();
    TextboxMacroName->setFocus(Qt::ActiveWindowFocusReason);
}

bool TFrmCreat::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TextboxMacroName && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The release acts, so the key does not go on to the window that comes up next.
            if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
                BtnOKClick();
            return true;
        }
    }
    return AnswerDialog::eventFilter(watched, event);
}

void TFrmCreat::BtnOKClick()
{
    const std::string name = CutMacroName(TextboxMacroName->text().toStdString());
    if (!name.empty()) {
        // A name that cannot name a file would never be saved: the user picks another one now.
        if (const auto problem = MacroFileNameProblem(name)) {
            FDialogs.ShowMessageDialog(
                this, Tr("Warning"), Tr("This name cannot be used for a macro."), QString::fromStdString(*problem));
            TextboxMacroName->setFocus();
            return;
        }
        // The placeholder only marks the name on disk; the macro itself lives in the profile and
        // is written again on OK, so a failure here is told but does not stop the macro.
        try {
            // False when a file of that name is there already: it marks the name just as well.
            (void)TuiMacroClass::WriteMacroPlaceholder(FMacroPath, name);
        } catch (const std::exception& e) {
            FDialogs.ShowMessageDialog(
                this, Tr("Warning"), Tr("The macro file could not be written."), QString::fromStdString(e.what()));
        }
    }
    FMacroName = name;
    done(kMessageOK);
}

} // namespace bv::gui
