#pragma once
// TFrmMessageDialog: the program's modal message dialog with a warning picture, a title, two text
// lines, OK and CANCEL.

#include "toolkit/frameless_window.h"

class QLabel;

namespace bv::gui {

class CaptionButton;
class Picture;

class TFrmMessageDialog : public FramelessDialog {
    Q_OBJECT

public:
    explicit TFrmMessageDialog(QWidget* parent = nullptr);

    Picture* IMGWARNING;
    QLabel* LabelTitle;
    QLabel* LabelText;
    QLabel* LabelText1;
    CaptionButton* BTNOK;
    CaptionButton* BTNCANCEL;

    /// Set when the dialog was made by ShowMessageDialog.
    bool FCreateByOther = false;

public slots:
    /// Escape and closing the window answer CANCEL.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
};

/// Creates the dialog, shows the three strings as given (no translation), runs it modally and
/// returns its result: kMessageOK (1) or kMessageCancel (2).
int ShowMessageDialog(QWidget* parent, const QString& title, const QString& text, const QString& secondLine);

} // namespace bv::gui
