#include "toolkit/images.h"

namespace bv::gui {

QIcon ProgramIcon(const QString& name)
{
    return QIcon(":/images/" + name + ".png");
}

QPixmap ProgramPicture(const QString& name, qreal devicePixelRatio)
{
    const bool twice = devicePixelRatio > 1.0;
    QPixmap picture(":/images/" + name + (twice ? "@2x" : "") + ".png");
    picture.setDevicePixelRatio(twice ? 2.0 : 1.0);
    return picture;
}

} // namespace bv::gui
