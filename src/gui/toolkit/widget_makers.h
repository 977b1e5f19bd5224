#pragma once
// Small builders for the controls the windows place by hand: each sets the object name, the
// source text (shown through Translate), the look and the place in one call.

#include <QRect>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QRadioButton;
class QWidget;

namespace bv::gui {

class CaptionButton;

/// A caption button in the look `style`; an empty caption leaves the text to the caller.
CaptionButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& style, QRect place);

/// A label in the look `role`; an empty caption leaves the text to the caller.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect place, const char* role = "heading");

/// A word-wrapped label in a font of its own size and weight; `role`, when given, picks its look.
QLabel* MakeFontLabel(QWidget* parent, const char* name, const QString& caption, QRect place, int pointSize,
    bool bold = false, const char* role = nullptr);

/// A check box that takes no keyboard focus.
QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, QRect place);

/// A radio button of `group` that takes no keyboard focus.
QRadioButton* MakeRadio(QWidget* parent, QButtonGroup* group, const char* name, const QString& caption, QRect place);

/// A thin line that parts areas of a window; `name` may be null.
QWidget* MakeRule(QWidget* parent, QRect place, const char* name = nullptr);

/// The product banner: fixed words, never translated.
QLabel* MakeBanner(QWidget* parent, QRect place);

/// The banner at the top left of a dialog with a rule `width` long under it; `ruleName` may be null.
void MakeDialogBanner(QWidget* dialog, int width, const char* ruleName = nullptr);

/// Whether Enter presses the focused button (Qt's auto-default) or is left to the dialog.
enum class EnterKey { PressesButton, LeftToDialog };

struct OkCancelButtons {
    CaptionButton* Ok;
    CaptionButton* Cancel;
};

/// The OK and CANCEL buttons side by side (112 x 34, 12 apart), OK's top left at `okAt`.
OkCancelButtons MakeOkCancel(QWidget* parent, const char* okName, const char* cancelName, QPoint okAt, EnterKey enter);

} // namespace bv::gui
