#include "toolkit/images.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <cstring>

namespace bv::gui {

namespace {

// Read as PNG and nothing else: a reader free to guess loads every image plugin installed to ask
// it, at start-up.
QPixmap loadPicture(const QString& name, bool twice)
{
    QImageReader reader(":/images/" + name + (twice ? "@2x" : "") + ".png", "PNG");
    reader.setAutoDetectImageFormat(false);
    QPixmap picture = QPixmap::fromImage(reader.read());
    picture.setDevicePixelRatio(twice ? 2.0 : 1.0);
    return picture;
}

} // namespace

QIcon ProgramIcon(const QString& name)
{
    QIcon icon;
    for (const bool twice : { false, true })
        if (const QPixmap picture = loadPicture(name, twice); !picture.isNull())
            icon.addPixmap(picture);
    return icon;
}

QPixmap ProgramPicture(const QString& name, qreal devicePixelRatio)
{
    return loadPicture(name, devicePixelRatio > 1.0);
}

QImage ReadRawPicture(const QByteArray& bytes)
{
    constexpr qsizetype kHeader = 12;
    constexpr quint32 kMaxSide = 4096;
    if (bytes.size() < kHeader || !bytes.startsWith("BVPX"))
        return {};
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const quint32 width = qFromLittleEndian<quint32>(data + 4);
    const quint32 height = qFromLittleEndian<quint32>(data + 8);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide
        || bytes.size() != kHeader + qsizetype(width) * height * 4)
        return {};
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    const uchar* from = data + kHeader;
    for (int y = 0; y < image.height(); ++y, from += width * 4) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
            std::memcpy(row, from, width * 4);
        else
            for (quint32 x = 0; x < width; ++x)
                row[x] = qFromLittleEndian<quint32>(from + x * 4);
    }
    return image;
}

QImage ProgramImage(const QString& name, qreal devicePixelRatio)
{
    const bool twice = devicePixelRatio > 1.0;
    QFile file(":/images/" + name + (twice ? "@2x" : "") + ".argb");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImage image = ReadRawPicture(file.readAll());
    image.setDevicePixelRatio(twice ? 2.0 : 1.0);
    return image;
}

} // namespace bv::gui
