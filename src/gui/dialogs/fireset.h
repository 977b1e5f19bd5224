#pragma once
// TFrmFire: the repeat count and the delay of a fire key.

#include "dialogs/capture_dialog.h"
#include "settings/pubunit_solmarch.h"

#include <optional>

class QLabel;

namespace bv::gui {

class NumberBox;

/// What a fire key without a repeat count starts with.
inline constexpr int kFireLoopCountDefault = 2;
inline constexpr int kFireDelayDefault = 60;
inline constexpr int kFireValueMin = 1;
inline constexpr int kFireValueMax = 255;

class TFrmFire : public CaptureDialog {
    Q_OBJECT

public:
    explicit TFrmFire(const TFIREKEYINFO& fire, QWidget* parent = nullptr);

    QLabel* LabelFire;
    NumberBox* NumBoxFire;
    QLabel* LabelDelay;
    NumberBox* NumboxDelay;
    QLabel* LabelMs;

    /// The record as the dialog will return it: changed only by OK.
    const TFIREKEYINFO& FireKeyInfo() const { return FFireKeyInfo; }

protected:
    void AcceptValues() override;

private:
    TFIREKEYINFO FFireKeyInfo;
};

/// Runs the dialog modally on `fire`; the settings on OK, nothing on CANCEL.
std::optional<TFIREKEYINFO> EditFireKey(QWidget* parent, const TFIREKEYINFO& fire);

} // namespace bv::gui
