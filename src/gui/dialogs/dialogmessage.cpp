#include "dialogs/dialogmessage.h"

#include "dialogs/Dialogs.h"
#include "toolkit/caption_button.h"
#include "toolkit/picture.h"
#include "toolkit/screen_cursors.h"
#include "toolkit/translation.h"

#include <QLabel>

namespace bv::gui {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, int pointSize, bool bold, const QString& text)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    label->setFont(f);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetSourceText(label, text);
    return label;
}

} // namespace

TFrmMessageDialog::TFrmMessageDialog(QWidget* parent) : FramelessDialog(QSize(488, 302), parent)
{
    setObjectName("FrmMessageDialog");
    setWindowTitle(QStringLiteral("Brisvane"));

    // The title banner: fixed product words, never translated.
    auto* banner = new QLabel(this);
    banner->setObjectName("LabelBanner");
    banner->setProperty("bvRole", "banner");
    banner->setText(QStringLiteral("BRISVANE <span style='color:#E0202A'>GAMING</span>"));
    banner->setGeometry(24, 14, 300, 26);

    auto* rule = new QWidget(this);
    rule->setObjectName("BannerRule");
    rule->setProperty("bvRole", "rule");
    rule->setGeometry(24, 46, 440, 1);

    IMGWARNING = new SvgPicture(":/images/warning.svg", this);
    IMGWARNING->setObjectName("IMGWARNING");
    IMGWARNING->setGeometry(28, 78, 72, 72);

    LabelTitle = makeLabel(this, "LabelTitle", 16, true, "RESET");
    LabelTitle->setGeometry(120, 66, 340, 36);
    LabelText = makeLabel(this, "LabelText", 15, false, "Are you sure reset the current settings back to install?");
    LabelText->setGeometry(120, 104, 340, 64);
    LabelText1 = makeLabel(this, "LabelText1", 11, false, "Macro will be retained");
    LabelText1->setProperty("bvRole", "muted");
    LabelText1->setGeometry(120, 170, 340, 44);

    BTNOK = new CaptionButton(this, "MyPrimaryBtn");
    BTNOK->setObjectName("BTNOK");
    SetSourceText(BTNOK, "OK");
    BTNOK->setGeometry(228, 244, 112, 34);
    connect(BTNOK, &QPushButton::clicked, this, [this] { done(kMessageOK); });

    BTNCANCEL = new CaptionButton(this, "MyBottomBtn");
    BTNCANCEL->setObjectName("BTNCANCEL");
    SetSourceText(BTNCANCEL, "CANCEL");
    BTNCANCEL->setGeometry(352, 244, 112, 34);
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

int ModalDialogs::ShowMessageDialog(QWidget* parent, const QString& title, const QString& text,
                                    const QString& secondLine)
{
    return gui::ShowMessageDialog(parent, title, text, secondLine);
}

int ModalDialogs::ShowModal(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace bv::gui
