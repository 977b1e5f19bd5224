#pragma once
// The frame the three capture dialogs share: banner, title, hint, OK and CANCEL. A dialog made
// by one of the opening operations is used once and returns kMessageOK or kMessageCancel.

#include "dialogs/answer_dialog.h"
#include "toolkit/keyboard_capture.h"
#include "util/user_text.h"

#include <functional>
#include <memory>

class QLabel;

namespace bv::gui {

class CaptionButton;
class Dialogs;

/// What the recorders show when the system refuses the keyboard hook.
inline constexpr const char* kKeyboardHookFailed = "Keys cannot be recorded: the system refused the keyboard hook. "
                                                   "Close other programs that capture the keyboard and try again.";

class CaptureDialog : public AnswerDialog {
    Q_OBJECT

public:
    QLabel* LabelTitle;
    QLabel* LabelHint;
    CaptionButton* BTNOK;
    CaptionButton* BTNCANCEL;

protected:
    CaptureDialog(const QString& objectName, const QString& title, const QString& hint, QWidget* parent);

    /// Takes what the controls show into the dialog's record before the dialog ends with OK.
    virtual void AcceptValues() { }
};

/// A capture dialog that records keys: it starts its recorder when shown and stops it when hidden,
/// and does not act on keys itself, so that every key, Escape and Enter included, can be captured.
class KeyCaptureDialog : public CaptureDialog {
    Q_OBJECT

public:
    /// Runs once when the recorder cannot start (the message dialog of whoever opened this one).
    std::function<void(QWidget* dialog)> OnRecorderFailed;
    /// Sets OnRecorderFailed to the warning that keys cannot be recorded, through `messages`
    /// (nothing when it is null).
    void WarnWhenRecorderFails(Dialogs* messages);

protected:
    KeyCaptureDialog(const QString& objectName, const QString& title, const QString& hint, QWidget* parent);

    /// Starts the recorder; false when the keyboard hook could not be installed.
    virtual bool StartRecorder() = 0;
    virtual void StopRecorder() = 0;

    /// Says in the hint's place why the key cannot be taken (the mouse cannot send a browser, mail
    /// or launch key); the captured key stays what it was.
    void RefuseKey(const util::UserText& why);
    /// Shows the dialog's own hint again after a refusal.
    void ShowHint();

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString FHint;
    std::unique_ptr<KeyboardCapture> FKeyboardCapture;
};

/// Dimensions the capture dialogs share.
inline constexpr QSize kCaptureDialogSize(478, 292);

} // namespace bv::gui
