#pragma once
// A caption button whose look is chosen by a style name (see theme.qss) and which can stay pressed.

#include <QPushButton>

namespace bv::gui {

class CaptionButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString styleName READ StyleName WRITE SetStyleName)

public:
    explicit CaptionButton(QWidget* parent = nullptr, const QString& styleName = {});

    QString StyleName() const { return FStyleName; }
    /// Changes the look at once.
    void SetStyleName(const QString& name);

    /// A button that stays pressed after a click, released by the next one (or from code).
    void SetStaysPressed(bool stays) { setCheckable(stays); }

private:
    QString FStyleName;
};

} // namespace bv::gui
