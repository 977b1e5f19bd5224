#include "dialogs/fireset.h"

#include "dialogs/Dialogs.h"
#include "toolkit/number_box.h"
#include "toolkit/translation.h"

#include <QLabel>

namespace bv::gui {

namespace {

QLabel* fieldLabel(QWidget* parent, const char* name, const QString& source, QRect place, Qt::Alignment align)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setProperty("bvRole", "heading");
    label->setAlignment(align | Qt::AlignVCenter);
    SetSourceText(label, source);
    label->setGeometry(place);
    return label;
}

NumberBox* fieldBox(QWidget* parent, const char* name, QRect place)
{
    auto* box = new NumberBox(parent);
    box->setObjectName(name);
    box->SetLimits(kFireValueMin, kFireValueMax, 1);
    box->setGeometry(place);
    return box;
}

} // namespace

TFrmFire::TFrmFire(const TFIREKEYINFO& fire, QWidget* parent)
    : CaptureDialog("FrmFire", "Fire Settings", QString(), parent)
    , FFireKeyInfo(fire)
{
    LabelFire = fieldLabel(this, "LabelFire", "Fire:", QRect(24, 112, 170, 32), Qt::AlignRight);
    NumBoxFire = fieldBox(this, "NumBoxFire", QRect(206, 112, 100, 32));
    LabelDelay = fieldLabel(this, "LabelDelay", "Delay:", QRect(24, 162, 170, 32), Qt::AlignRight);
    NumboxDelay = fieldBox(this, "NumboxDelay", QRect(206, 162, 100, 32));
    LabelMs = fieldLabel(this, "LabelMs", "ms", QRect(316, 162, 120, 32), Qt::AlignLeft);

    // A record that never had a count takes the defaults; the boxes keep out-of-range values
    // within their limits.
    if (FFireKeyInfo.nLoopCount != 0) {
        NumBoxFire->SetValue(FFireKeyInfo.nLoopCount);
        NumboxDelay->SetValue(FFireKeyInfo.DelyValue);
    } else {
        NumBoxFire->SetValue(kFireLoopCountDefault);
        NumboxDelay->SetValue(kFireDelayDefault);
    }
}

void TFrmFire::AcceptValues()
{
    // A number still being typed counts, as it does when the box loses focus.
    NumBoxFire->interpretText();
    NumboxDelay->interpretText();
    FFireKeyInfo.nLoopCount = static_cast<std::uint16_t>(NumBoxFire->value());
    FFireKeyInfo.DelyValue = static_cast<std::uint16_t>(NumboxDelay->value());
}

std::optional<TFIREKEYINFO> EditFireKey(QWidget* parent, const TFIREKEYINFO& fire)
{
    TFrmFire dialog(fire, parent);
    if (dialog.exec() != kMessageOK)
        return std::nullopt;
    return dialog.FireKeyInfo();
}

std::optional<TFIREKEYINFO> ModalDialogs::EditFireKey(QWidget* parent, const TFIREKEYINFO& fire)
{
    return gui::EditFireKey(parent, fire);
}

} // namespace bv::gui
