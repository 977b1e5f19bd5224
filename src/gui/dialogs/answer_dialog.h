#pragma once
// AnswerDialog: a modal dialog that ends with kMessageOK or kMessageCancel.

#include "toolkit/frameless_window.h"

namespace bv::gui {

/// Each showing centres it on its parent and gives it the program's cursors.
class AnswerDialog : public FramelessDialog {
    Q_OBJECT

public slots:
    /// Escape and closing the window answer CANCEL.
    void reject() override;

protected:
    using FramelessDialog::FramelessDialog;

    void showEvent(QShowEvent* event) override;
};

} // namespace bv::gui
