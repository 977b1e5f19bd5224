#pragma once
// The program's one look: a dark palette, the style sheet and the fonts of each language.

#include <QFont>
#include <QString>
#include <QStringList>

#include <string>

class QApplication;

namespace bv::gui {

/// Fusion style, the dark palette, the style sheet and the English fonts.
void ApplyTheme(QApplication& app);

/// A Chinese font of the system: Simplified or Traditional glyph forms; empty when there is none.
QString CjkFontFamily(bool traditional);

/// The font families for texts of a language (short ID): the window font first, then the
/// fallbacks that hold every character of that language.
QStringList FontFamiliesFor(const std::string& shortID);

/// Sets the program's font for a language, keeping its size.
void ApplyLanguageFont(QApplication& app, const std::string& shortID);

/// The item font of the button function menu for a language: "黑体" (or on systems without it a
/// Chinese font of the system) for Chinese, "Tahoma" otherwise.
QFont FunctionMenuItemFont(const std::string& shortID);

} // namespace bv::gui
