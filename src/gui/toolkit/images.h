#pragma once
// The program's pictures, compiled in as PNG at 1x and 2x (rendered from their SVG sources when
// the program is built). Every picture is loaded here, by its name.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace bv::gui {

/// An icon for buttons: Qt picks the 2x picture on screens that need it.
QIcon ProgramIcon(const QString& name);

/// The picture for a device pixel ratio: the 2x one above 1, marked with its ratio so that it is
/// drawn at its own size. Null when there is no such picture.
QPixmap ProgramPicture(const QString& name, qreal devicePixelRatio);

/// A picture kept as raw pixels (.argb), premultiplied, chosen and marked as ProgramPicture does.
/// Null when there is no such picture or it is damaged.
QImage ProgramImage(const QString& name, qreal devicePixelRatio);

/// The pixels of an .argb file: "BVPX", width and height (32-bit little-endian), then the rows'
/// premultiplied ARGB pixels (32-bit little-endian). Null when the bytes are not such a file.
QImage ReadRawPicture(const QByteArray& bytes);

} // namespace bv::gui
