#pragma once
// Texts of the windows: every caption is set from its English source text and shown through
// Translate, and the source is remembered so that a language switch can show it again.

#include "util/user_text.h"

#include <QString>

#include <string_view>
#include <vector>

class QTabWidget;
class QWidget;

namespace bv::gui {

/// Translate for the windows.
QString Tr(std::string_view source);
QString Tr(const char* source);
QString Tr(const QString& source);
/// A sentence with values: its source translated, then the values filled in.
QString Tr(const util::UserText& text);
/// Several such sentences, one per line.
QString TrLines(const std::vector<util::UserText>& texts);

/// Shows Tr(source) as the control's text (button, label, group box; window title for a window)
/// and remembers the source.
void SetSourceText(QWidget* control, const QString& source);
/// The same for the control's hint (tool tip).
void SetSourceHint(QWidget* control, const QString& source);
/// The same for one tab of a tab control.
void SetSourceTabText(QTabWidget* tabs, int index, const QString& source);
/// Shows a text built at run time, already translated; a language switch leaves it to its owner.
void SetPlainText(QWidget* control, const QString& text);

/// The remembered source text, empty when the control shows a plain text.
QString SourceText(const QWidget* control);

/// Shows every remembered source text of `root` and its children again through Translate.
void RetranslateWidgetTree(QWidget* root);
/// The same for every open window of the program.
void RetranslateWindows();

} // namespace bv::gui
