#pragma once
// TFrmCombo: captures a key combination (up to two keys with Alt, Ctrl, Shift, Win).

#include "dialogs/capture_dialog.h"
#include "macros/uiHook.h"
#include "settings/pubunit_solmarch.h"

#include <optional>

class QLineEdit;

namespace bv::gui {

class Dialogs;

class TFrmCombo : public KeyCaptureDialog {
    Q_OBJECT

public:
    /// Shows `combo`; the recorder listens on `hook` while the dialog is shown.
    TFrmCombo(const TCOMBOKEYINFO& combo, platform::KeyboardHook* hook, QWidget* parent = nullptr);

    /// Read-only: the captured combination.
    QLineEdit* TextCombo;

    /// The combination as captured so far.
    const TCOMBOKEYINFO& ComboKey() const { return FComboKey; }

protected:
    bool StartRecorder() override;
    void StopRecorder() override;

private:
    TCOMBOKEYINFO FComboKey;
    TuiHook FKeyHook;
};

/// How a stored combination reads when the dialog opens: the modifier text, then key 1 and, when
/// there is one, "+" and key 2. Empty without key 1.
QString ComboKeyText(const TCOMBOKEYINFO& combo);

/// Runs the dialog modally on `combo`; the captured combination on OK, nothing on CANCEL.
std::optional<TCOMBOKEYINFO> EditComboKey(
    QWidget* parent, const TCOMBOKEYINFO& combo, platform::KeyboardHook* hook, Dialogs* messages = nullptr);

} // namespace bv::gui
