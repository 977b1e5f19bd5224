#pragma once
// Texts of the windows: every caption is set from its English source text and shown through
// Translate, and the source is remembered so that a language switch can show it again.

#include "util/user_text.h"

#include <QString>

#include <string>
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

/// Makes `title` the application's title and shows it in the title of every open window (the
/// platform joins the two only when a window's title is set).
void SetApplicationTitle(const QString& title);

/// Loads Qt's own translations (the standard dialogs' texts) for a language's short ID from
/// `extraFolder` or Qt's translations folder; English and languages without them unload them.
/// False when a translation the language needs was not found.
bool LoadToolkitTranslations(const std::string& shortID, const QString& extraFolder = {});

} // namespace bv::gui
