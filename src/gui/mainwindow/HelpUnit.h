#pragma once
// THelpForm: the help window with the version, the user manual, the web address and the
// product's contact. A click on its background or on its close button closes it.

#include "toolkit/frameless_window.h"

#include <functional>
#include <string>

class QLabel;

namespace bv {
class TuiLanguage;
}

namespace bv::gui {

class CaptionButton;

class THelpForm : public FramelessDialog {
    Q_OBJECT

public:
    /// `openManual` opens the user manual of the active language; without one there is no manual
    /// and its OPEN is disabled. `openAddress` opens a web address.
    THelpForm(QWidget* parent, std::function<void()> openManual, std::function<void(const QString&)> openAddress);

    TuiLanguage* FLanguage = nullptr;

    CaptionButton* BtnClose;
    QLabel* LabelVersionInfo;
    QLabel* LabelHardware;
    QLabel* LabelSoftware;
    QLabel* LabelHelpInfo;
    QLabel* LabelHelp;
    QLabel* LabelManual;
    CaptionButton* bsbtnopen1;
    QLabel* LabelWeb;
    QLabel* LabelWebAddress;
    CaptionButton* bsbtnweb;
    QLabel* LabelProduct;
    QLabel* LabelFeatures;
    QLabel* LabelContact;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::function<void()> FOpenManual;
    std::function<void(const QString&)> FOpenAddress;
};

/// The product's web address shown in the help window.
inline constexpr const char* kProductWebAddress = "https://www.brisvane.com";

} // namespace bv::gui
