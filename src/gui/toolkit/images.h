#pragma once
// The program's pictures, compiled in as PNG at 1x and 2x (rendered from their SVG sources when
// the program is built). Every picture is loaded here, by its name.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace bv::gui {

/// An icon for buttons: Qt picks the 2x picture on screens that need it.
QIcon ProgramIcon(const QString& name);

/// The picture for a device pixel ratio: the 2x one above 1, marked with its ratio so that it is
/// drawn at its own size. Null when there is no such picture.
QPixmap ProgramPicture(const QString& name, qreal devicePixelRatio);

} // namespace bv::gui
