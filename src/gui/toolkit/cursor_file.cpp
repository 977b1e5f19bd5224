#include "toolkit/cursor_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>

#include <cmath>
#include <cstdint>

namespace bv::gui {

namespace {

constexpr int kDirectoryHeader = 6;
constexpr int kEntrySize = 16;
constexpr qint64 kMaxCursorFile = 1 << 20;

std::uint32_t le(const QByteArray& b, int at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= std::uint32_t(std::uint8_t(b[at + i])) << (8 * i);
    return v;
}

} // namespace

std::optional<std::vector<CursorFileEntry>> ReadCursorDirectory(const QByteArray& bytes)
{
    if (bytes.size() < kDirectoryHeader || le(bytes, 0, 2) != 0 || le(bytes, 2, 2) != 2)
        return std::nullopt;
    const int count = int(le(bytes, 4, 2));
    if (count == 0 || bytes.size() < kDirectoryHeader + count * kEntrySize)
        return std::nullopt;
    std::vector<CursorFileEntry> entries;
    for (int i = 0; i < count; ++i) {
        const int at = kDirectoryHeader + i * kEntrySize;
        // A stored size of 0 means 256.
        const int w = le(bytes, at, 1) ? int(le(bytes, at, 1)) : 256;
        const int h = le(bytes, at + 1, 1) ? int(le(bytes, at + 1, 1)) : 256;
        const std::uint32_t length = le(bytes, at + 8, 4);
        const std::uint32_t offset = le(bytes, at + 12, 4);
        if (offset > std::uint32_t(bytes.size()) || length > std::uint32_t(bytes.size()) - offset)
            return std::nullopt;
        const QPoint hot(int(le(bytes, at + 4, 2)), int(le(bytes, at + 6, 2)));
        if (hot.x() >= w || hot.y() >= h)
            return std::nullopt;
        entries.push_back({ QSize(w, h), hot });
    }
    return entries;
}

std::optional<QCursor> LoadCursorFile(const QString& path, qreal devicePixelRatio)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxCursorFile)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const auto entries = ReadCursorDirectory(bytes);
    if (!entries)
        return std::nullopt;

    const qreal wanted = 32 * devicePixelRatio;
    int best = 0;
    for (int i = 1; i < int(entries->size()); ++i)
        if (std::abs((*entries)[i].Size.width() - wanted) < std::abs((*entries)[best].Size.width() - wanted))
            best = i;

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    // Only the icon reader may see these bytes; left to guess, the reader loads and asks every
    // image plugin installed.
    reader.setAutoDetectImageFormat(false);
    if (!reader.jumpToImage(best))
        return std::nullopt;
    const QImage image = reader.read();
    const CursorFileEntry& entry = (*entries)[best];
    if (image.isNull() || image.size() != entry.Size)
        return std::nullopt;

    // The picture covers 32 logical pixels, whatever its own size.
    const qreal ratio = entry.Size.width() / 32.0;
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return QCursor(pixmap, int(std::lround(entry.HotSpot.x() / ratio)), int(std::lround(entry.HotSpot.y() / ratio)));
}

} // namespace bv::gui
