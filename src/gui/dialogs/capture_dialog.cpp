#include "dialogs/capture_dialog.h"

#include "dialogs/Dialogs.h"
#include "toolkit/caption_button.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"

#include <QKeyEvent>
#include <QLabel>
#include <QStyle>

namespace bv::gui {

CaptureDialog::CaptureDialog(const QString& objectName, const QString& title, const QString& hint, QWidget* parent)
    : AnswerDialog(kCaptureDialogSize, parent)
{
    setObjectName(objectName);
    SetSourceText(this, title);

    MakeDialogBanner(this, 430, "BannerRule");

    LabelTitle = MakeLabel(this, "LabelTitle", title, QRect(24, 58, 430, 30), "title");

    LabelHint = MakeLabel(this, "LabelHint", hint, QRect(24, 92, 430, 40), "muted");
    LabelHint->setWordWrap(true);
    LabelHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const OkCancelButtons okCancel = MakeOkCancel(this, "BTNOK", "BTNCANCEL", QPoint(218, 238), EnterKey::LeftToDialog);
    BTNOK = okCancel.Ok;
    BTNCANCEL = okCancel.Cancel;
    connect(BTNOK, &QPushButton::clicked, this, [this] {
        AcceptValues();
        done(kMessageOK);
    });
    connect(BTNCANCEL, &QPushButton::clicked, this, [this] { done(kMessageCancel); });
}

KeyCaptureDialog::KeyCaptureDialog(
    const QString& objectName, const QString& title, const QString& hint, QWidget* parent)
    : CaptureDialog(objectName, title, hint, parent)
    , FHint(hint)
{
}

void KeyCaptureDialog::RefuseKey(const util::UserText& why)
{
    SetPlainText(LabelHint, Tr(why));
    LabelHint->setProperty("refused", true);
    LabelHint->style()->polish(LabelHint);
}

void KeyCaptureDialog::ShowHint()
{
    if (!LabelHint->property("refused").toBool())
        return;
    SetSourceText(LabelHint, FHint);
    LabelHint->setProperty("refused", false);
    LabelHint->style()->polish(LabelHint);
}

void KeyCaptureDialog::showEvent(QShowEvent* event)
{
    CaptureDialog::showEvent(event);
    const bool recording = StartRecorder();
    // Keys the desktop keeps for itself come here while the dialog listens.
    if (recording)
        FKeyboardCapture = std::make_unique<KeyboardCapture>(this);
    if (!recording && OnRecorderFailed) {
        // Once the dialog stands, and only once however often it is shown again.
        auto failed = std::move(OnRecorderFailed);
        OnRecorderFailed = nullptr;
        QMetaObject::invokeMethod(
            this, [this, failed] { failed(this); }, Qt::QueuedConnection);
    }
}

void KeyCaptureDialog::hideEvent(QHideEvent* event)
{
    FKeyboardCapture.reset();
    StopRecorder();
    CaptureDialog::hideEvent(event);
}

void KeyCaptureDialog::keyPressEvent(QKeyEvent* event)
{
    // The key pressed is what the user wants captured, not a command to this dialog.
    event->accept();
}

void KeyCaptureDialog::WarnWhenRecorderFails(Dialogs* messages)
{
    if (!messages)
        return;
    OnRecorderFailed = [messages](QWidget* shown) {
        messages->ShowMessageDialog(shown, Tr("Warning"), Tr(kKeyboardHookFailed), QString());
    };
}

} // namespace bv::gui
