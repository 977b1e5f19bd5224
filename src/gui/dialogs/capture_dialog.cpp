#include "dialogs/capture_dialog.h"

#include "dialogs/Dialogs.h"
#include "toolkit/caption_button.h"
#include "toolkit/screen_cursors.h"
#include "toolkit/translation.h"

#include <QKeyEvent>
#include <QLabel>

namespace bv::gui {

CaptureDialog::CaptureDialog(const QString& objectName, const QString& title, const QString& hint, QWidget* parent)
    : FramelessDialog(kCaptureDialogSize, parent)
{
    setObjectName(objectName);
    SetSourceText(this, title);

    // The title banner: fixed product words, never translated.
    auto* banner = new QLabel(this);
    banner->setObjectName("LabelBanner");
    banner->setProperty("bvRole", "banner");
    banner->setText(QStringLiteral("BRISVANE <span style='color:#E0202A'>GAMING</span>"));
    banner->setGeometry(24, 14, 300, 26);

    auto* rule = new QWidget(this);
    rule->setObjectName("BannerRule");
    rule->setProperty("bvRole", "rule");
    rule->setGeometry(24, 46, 430, 1);

    LabelTitle = new QLabel(this);
    LabelTitle->setObjectName("LabelTitle");
    LabelTitle->setProperty("bvRole", "title");
    SetSourceText(LabelTitle, title);
    LabelTitle->setGeometry(24, 58, 430, 30);

    LabelHint = new QLabel(this);
    LabelHint->setObjectName("LabelHint");
    LabelHint->setProperty("bvRole", "muted");
    LabelHint->setWordWrap(true);
    LabelHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (!hint.isEmpty())
        SetSourceText(LabelHint, hint);
    LabelHint->setGeometry(24, 92, 430, 40);

    BTNOK = new CaptionButton(this, "MyPrimaryBtn");
    BTNOK->setObjectName("BTNOK");
    SetSourceText(BTNOK, "OK");
    BTNOK->setAutoDefault(false);
    BTNOK->setGeometry(218, 238, 112, 34);
    connect(BTNOK, &QPushButton::clicked, this, [this] {
        AcceptValues();
        done(kMessageOK);
    });

    BTNCANCEL = new CaptionButton(this, "MyBottomBtn");
    BTNCANCEL->setObjectName("BTNCANCEL");
    SetSourceText(BTNCANCEL, "CANCEL");
    BTNCANCEL->setAutoDefault(false);
    BTNCANCEL->setGeometry(342, 238, 112, 34);
    connect(BTNCANCEL, &QPushButton::clicked, this, [this] { done(kMessageCancel); });
}

void CaptureDialog::reject()
{
    done(kMessageCancel);
}

void CaptureDialog::showEvent(QShowEvent* event)
{
    ApplyScreenCursors(this);
    CentreOnParent();
    FramelessDialog::showEvent(event);
}

void KeyCaptureDialog::showEvent(QShowEvent* event)
{
    CaptureDialog::showEvent(event);
    StartRecorder();
}

void KeyCaptureDialog::hideEvent(QHideEvent* event)
{
    StopRecorder();
    CaptureDialog::hideEvent(event);
}

void KeyCaptureDialog::keyPressEvent(QKeyEvent* event)
{
    // The key pressed is what the user wants captured, not a command to this dialog.
    event->accept();
}

} // namespace bv::gui
