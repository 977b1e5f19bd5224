#include "dialogs/dialogmessage.h"

#include "dialogs/Dialogs.h"
#include "toolkit/caption_button.h"
#include "toolkit/picture.h"
#include "toolkit/screen_cursors.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"

#include <QLabel>

namespace bv::gui {

TFrmMessageDialog::TFrmMessageDialog(QWidget* parent)
    : FramelessDialog(QSize(488, 302), parent)
{
    setObjectName("FrmMessageDialog");
    setWindowTitle(QStringLiteral("Brisvane"));

    MakeDialogBanner(this, 440, "BannerRule");

    IMGWARNING = new Picture("warning", this);
    IMGWARNING->setObjectName("IMGWARNING");
    IMGWARNING->setGeometry(28, 78, 72, 72);

    LabelTitle = MakeFontLabel(this, "LabelTitle", "RESET", QRect(120, 66, 340, 36), 16, true);
    LabelText = MakeFontLabel(
        this, "LabelText", "Are you sure reset the current settings back to install?", QRect(120, 104, 340, 64), 15);
    LabelText1 = MakeFontLabel(this, "LabelText1", "Macro will be retained", QRect(120, 170, 340, 44), 11);
    LabelText1->setProperty("bvRole", "muted");
    for (QLabel* l : { LabelTitle, LabelText, LabelText1 })
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    const OkCancelButtons okCancel
        = MakeOkCancel(this, "BTNOK", "BTNCANCEL", QPoint(228, 244), EnterKey::PressesButton);
    BTNOK = okCancel.Ok;
    BTNCANCEL = okCancel.Cancel;
    connect(BTNOK, &QPushButton::clicked, this, [this] { done(kMessageOK); });
    connect(BTNCANCEL, &QPushButton::clicked, this, [this] { done(kMessageCancel); });

    ApplyScreenCursors(this);
}

void TFrmMessageDialog::reject()
{
    done(kMessageCancel);
}

void TFrmMessageDialog::showEvent(QShowEvent* event)
{
    CentreOnParent();
    FramelessDialog::showEvent(event);
}

int ShowMessageDialog(QWidget* parent, const QString& title, const QString& text, const QString& secondLine)
{
    TFrmMessageDialog dialog(parent);
    dialog.FCreateByOther = true;
    SetPlainText(dialog.LabelTitle, title);
    SetPlainText(dialog.LabelText, text);
    SetPlainText(dialog.LabelText1, secondLine);
    const int result = dialog.exec();
    return result == kMessageOK ? kMessageOK : kMessageCancel;
}

int ModalDialogs::ShowMessageDialog(
    QWidget* parent, const QString& title, const QString& text, const QString& secondLine)
{
    return gui::ShowMessageDialog(parent, title, text, secondLine);
}

int ModalDialogs::ShowModal(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace bv::gui
