// Renders the program's SVG pictures to PNG (or raw pixels, below) at build time, at their own
// size and at twice it, so that the program draws pictures without an SVG renderer (none on
// Windows, and faster to start).
//
//     render_images OUTDIR [--light NAME=#rrggbb,#rrggbb] FILE.svg...
//
// A picture with a light (--light) becomes two: NAME-base, with the light's colours black, and
// NAME-light, how much of the light each pixel shows (white, in its alpha). Since a pixel is
// affine in the light's colour, base + light x colour is the picture in any colour. These two are
// drawn on every start, so they are written as raw pixels (.argb), which need no decoding: PNG's
// row filters made them a costly part of the first frame. The format: "BVPX", width and height
// as 32-bit little-endian numbers, then each row's premultiplied ARGB pixels, 32-bit
// little-endian.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>

namespace {

QImage render(const QByteArray& svg, int scale, bool* ok)
{
    QSvgRenderer renderer(svg);
    *ok = renderer.isValid();
    QImage image(renderer.defaultSize() * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

QByteArray withColours(QByteArray svg, const QStringList& colours, const char* colour)
{
    for (const QString& c : colours)
        svg.replace(c.toLatin1(), colour);
    return svg;
}

bool save(const QImage& image, const QString& dir, const QString& name, int scale)
{
    const QString file = dir + '/' + name + (scale == 2 ? "@2x" : "") + ".png";
    if (image.save(file, "PNG"))
        return true;
    std::fprintf(stderr, "render_images: cannot write %s\n", qPrintable(file));
    return false;
}

bool saveRaw(const QImage& image, const QString& dir, const QString& name, int scale)
{
    const QString file = dir + '/' + name + (scale == 2 ? "@2x" : "") + ".argb";
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray bytes("BVPX");
    bytes.reserve(12 + qsizetype(pixels.width()) * pixels.height() * 4);
    auto put = [&bytes](quint32 v) {
        const quint32 le = qToLittleEndian(v);
        bytes.append(reinterpret_cast<const char*>(&le), 4);
    };
    put(quint32(pixels.width()));
    put(quint32(pixels.height()));
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            put(row[x]);
    }
    QFile f(file);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush())
        return true;
    std::fprintf(stderr, "render_images: cannot write %s\n", qPrintable(file));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: render_images OUTDIR [--light NAME=#rrggbb,...] FILE.svg...\n");
        return 1;
    }
    const QString out = args.takeFirst();
    QMap<QString, QStringList> lights;
    while (args.size() >= 2 && args.front() == "--light") {
        args.removeFirst();
        const QStringList light = args.takeFirst().split('=');
        if (light.size() == 2)
            lights[light[0]] = light[1].toLower().split(',');
    }
    for (const QString& file : args) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "render_images: cannot read %s\n", qPrintable(file));
            return 1;
        }
        const QByteArray svg = f.readAll();
        const QString name = QFileInfo(file).completeBaseName();
        for (const int scale : { 1, 2 }) {
            bool ok = false;
            if (!lights.contains(name)) {
                const QImage image = render(svg, scale, &ok);
                if (!ok || !save(image, out, name, scale))
                    return 1;
                continue;
            }
            const QImage base = render(withColours(svg, lights[name], "#000000"), scale, &ok);
            const QImage white = render(withColours(svg, lights[name], "#ffffff"), scale, &ok);
            // On premultiplied pixels: white - black is the light's coverage, the same in each channel.
            QImage light(base.size(), QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < base.height(); ++y) {
                const auto* b = reinterpret_cast<const QRgb*>(base.constScanLine(y));
                const auto* w = reinterpret_cast<const QRgb*>(white.constScanLine(y));
                auto* l = reinterpret_cast<QRgb*>(light.scanLine(y));
                for (int x = 0; x < base.width(); ++x) {
                    const int a = qMax(0, qRed(w[x]) - qRed(b[x]));
                    l[x] = qRgba(a, a, a, a);
                }
            }
            if (!ok || !saveRaw(base, out, name + "-base", scale) || !saveRaw(light, out, name + "-light", scale))
                return 1;
        }
    }
    return 0;
}
