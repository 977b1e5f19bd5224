#include "toolkit/translation.h"

#include "ui/uiLanguage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QStringList>
#include <QTabWidget>
#include <QTranslator>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <memory>

namespace bv::gui {

namespace {

constexpr const char* kSourceText = "bvSourceText";
constexpr const char* kSourceHint = "bvSourceHint";
constexpr const char* kSourceTabs = "bvSourceTabs";

void showText(QWidget* control, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (control->isWindow())
        control->setWindowTitle(text);
}

void retranslateOne(QWidget* w)
{
    const QVariant text = w->property(kSourceText);
    if (text.isValid())
        showText(w, Tr(text.toString()));
    const QVariant hint = w->property(kSourceHint);
    if (hint.isValid())
        w->setToolTip(Tr(hint.toString()));
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        const QStringList sources = tabs->property(kSourceTabs).toStringList();
        for (int i = 0; i < sources.size() && i < tabs->count(); ++i)
            if (!sources[i].isEmpty())
                tabs->setTabText(i, Tr(sources[i]));
    }
}

} // namespace

QString Tr(std::string_view source)
{
    return QString::fromStdString(Translate(source));
}

QString Tr(const char* source)
{
    return Tr(std::string_view(source));
}

QString Tr(const QString& source)
{
    const QByteArray utf8 = source.toUtf8();
    return Tr(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString Tr(const util::UserText& text)
{
    return QString::fromStdString(text.Fill(Translate(text.Source)));
}

QString TrLines(const std::vector<util::UserText>& texts)
{
    QStringList lines;
    for (const auto& t : texts)
        lines << Tr(t);
    return lines.join('\n');
}

void SetSourceText(QWidget* control, const QString& source)
{
    control->setProperty(kSourceText, source);
    showText(control, Tr(source));
}

void SetSourceHint(QWidget* control, const QString& source)
{
    control->setProperty(kSourceHint, source);
    control->setToolTip(Tr(source));
}

void SetSourceTabText(QTabWidget* tabs, int index, const QString& source)
{
    QStringList sources = tabs->property(kSourceTabs).toStringList();
    while (sources.size() <= index)
        sources.append(QString());
    sources[index] = source;
    tabs->setProperty(kSourceTabs, sources);
    tabs->setTabText(index, Tr(source));
}

void SetPlainText(QWidget* control, const QString& text)
{
    control->setProperty(kSourceText, QVariant());
    showText(control, text);
}

QString SourceText(const QWidget* control)
{
    return control->property(kSourceText).toString();
}

void RetranslateWidgetTree(QWidget* root)
{
    retranslateOne(root);
    for (QWidget* child : root->findChildren<QWidget*>())
        retranslateOne(child);
}

void RetranslateWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        RetranslateWidgetTree(window);
}

void SetApplicationTitle(const QString& title)
{
    QGuiApplication::setApplicationDisplayName(title);
    for (QWindow* window : QGuiApplication::topLevelWindows())
        window->setTitle(window->title());
}

bool LoadToolkitTranslations(const std::string& shortID, const QString& extraFolder)
{
    static QTranslator* loaded = nullptr;
    if (loaded) {
        QCoreApplication::removeTranslator(loaded);
        delete loaded;
        loaded = nullptr;
    }
    QString locale;
    if (shortID == "0804")
        locale = QStringLiteral("zh_CN");
    else if (shortID == "0404")
        locale = QStringLiteral("zh_TW");
    else
        return true;
    auto translator = std::make_unique<QTranslator>();
    const QString name = QStringLiteral("qtbase_") + locale;
    for (const QString& folder : { extraFolder, QLibraryInfo::path(QLibraryInfo::TranslationsPath) })
        if (!folder.isEmpty() && translator->load(name, folder)) {
            loaded = translator.release();
            QCoreApplication::installTranslator(loaded);
            return true;
        }
    return false;
}

} // namespace bv::gui
