#include "toolkit/images.h"

#include <QImageReader>

namespace bv::gui {

namespace {

// Read as PNG and nothing else: a reader free to guess loads every image plugin installed to ask
// it, which took a tenth of the time to the first frame.
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

} // namespace bv::gui
