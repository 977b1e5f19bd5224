#pragma once
// TFrmSingleKey: captures the one key that a mouse button sends.

#include "dialogs/capture_dialog.h"
#include "macros/uiHook.h"
#include "settings/pubunit_solmarch.h"

#include <optional>

class QLineEdit;

namespace bv::gui {

class Dialogs;

class TFrmSingleKey : public KeyCaptureDialog {
    Q_OBJECT

public:
    /// Shows `key`; the recorder listens on `hook` while the dialog is shown.
    TFrmSingleKey(const TSINGLEKEYINFO& key, platform::KeyboardHook* hook, QWidget* parent = nullptr);

    /// Read-only: the name of the captured key.
    QLineEdit* TextSingle;

    /// The key as captured so far.
    const TSINGLEKEYINFO& SingleKey() const { return FSingleKey; }

protected:
    bool StartRecorder() override;
    void StopRecorder() override;

private:
    TSINGLEKEYINFO FSingleKey;
    TuiHook FKeyHook;
};

/// Runs the dialog modally on `key`; the captured key on OK, nothing on CANCEL.
std::optional<TSINGLEKEYINFO> EditSingleKey(
    QWidget* parent, const TSINGLEKEYINFO& key, platform::KeyboardHook* hook, Dialogs* messages = nullptr);

} // namespace bv::gui
