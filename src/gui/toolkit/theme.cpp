#include "toolkit/theme.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QPalette>
#include <QStyleFactory>

namespace bv::gui {

namespace {

constexpr const char* kWindowFont = "Tahoma";
constexpr const char* kLatinFallback = "DejaVu Sans";
constexpr int kBasePointSize = 9;

bool isChinese(const std::string& shortID)
{
    return shortID == "0804" || shortID == "0404";
}

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x14, 0x17, 0x1C);
    const QColor base(0x0F, 0x12, 0x16);
    const QColor text(0xE6, 0xE8, 0xEC);
    const QColor muted(0x6B, 0x73, 0x80);
    const QColor accent(0xE0, 0x20, 0x2A);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x22, 0x27, 0x2F));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0x1A, 0x1E, 0x25));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, muted);
    p.setColor(QPalette::Link, accent.lighter(130));
    for (auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        p.setColor(QPalette::Disabled, role, muted);
    return p;
}

} // namespace

QString CjkFontFamily(bool traditional)
{
    const QStringList families = QFontDatabase::families();
    const QStringList preferred = traditional
        ? QStringList { "Noto Sans CJK TC", "Noto Sans CJK HK", "Source Han Sans TC", "WenQuanYi Zen Hei",
              "Microsoft JhengHei", "Noto Sans CJK SC" }
        : QStringList { "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Zen Hei", "Microsoft YaHei", "SimHei",
              "Noto Sans CJK TC" };
    for (const QString& name : preferred)
        if (families.contains(name, Qt::CaseInsensitive))
            return name;
    for (const QString& name : families)
        if (name.contains("CJK", Qt::CaseInsensitive) || name.contains("Hei", Qt::CaseInsensitive))
            return name;
    return {};
}

QStringList FontFamiliesFor(const std::string& shortID)
{
    QStringList families { kWindowFont, kLatinFallback };
    // Chinese texts get the glyph forms of their own script; English keeps a fallback for
    // the native language names in the language box.
    const QString first = CjkFontFamily(shortID == "0404");
    const QString second = CjkFontFamily(shortID != "0404");
    for (const QString& f : { first, second })
        if (!f.isEmpty() && !families.contains(f))
            families << f;
    return families;
}

void ApplyLanguageFont(QApplication& app, const std::string& shortID)
{
    QFont font = app.font();
    font.setFamilies(FontFamiliesFor(shortID));
    app.setFont(font);
}

QFont FunctionMenuItemFont(const std::string& shortID)
{
    QFont font;
    if (isChinese(shortID)) {
#ifdef Q_OS_WIN
        font.setFamilies({ QStringLiteral("黑体"), CjkFontFamily(shortID == "0404") });
#else
        font.setFamilies({ CjkFontFamily(shortID == "0404"), QStringLiteral("黑体") });
#endif
    } else {
        font.setFamilies({ kWindowFont, kLatinFallback });
    }
    return font;
}

void ApplyTheme(QApplication& app)
{
    app.setStyle(QStyleFactory::create("Fusion"));
    app.setPalette(darkPalette());
    QFont font(kWindowFont, kBasePointSize);
    font.setFamilies(FontFamiliesFor("0409"));
    font.setHintingPreference(QFont::PreferNoHinting);
    app.setFont(font);
    QFile sheet(":/theme/theme.qss");
    if (sheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(sheet.readAll()));
}

} // namespace bv::gui
