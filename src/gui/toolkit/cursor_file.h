#pragma once
// Windows cursor files (.cur): one or more pictures of a pointer, each with its hot spot.

#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <QSize>

#include <optional>
#include <vector>

namespace bv::gui {

struct CursorFileEntry {
    QSize Size;
    QPoint HotSpot;
};

/// The directory of a cursor file; nullopt for anything else (an icon, a short or damaged file).
std::optional<std::vector<CursorFileEntry>> ReadCursorDirectory(const QByteArray& bytes);

/// A cursor from the file's picture that suits `devicePixelRatio` best (32 × 32 at 100 %);
/// nullopt when the file is missing or unreadable.
std::optional<QCursor> LoadCursorFile(const QString& path, qreal devicePixelRatio);

} // namespace bv::gui
