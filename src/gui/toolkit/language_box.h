#pragma once
// The language combo box: a language is chosen from the list only, never by typing or by
// turning the wheel over it.

#include <QComboBox>

namespace bv::gui {

class LanguageBox : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace bv::gui
