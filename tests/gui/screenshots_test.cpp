// Pictures of the windows in every language, saved into the build folder for review. Run at 100 %
// and again at 200 % scaling (QT_SCALE_FACTOR=2); the file names say which.

#include "gui_fixture.h"

#include "toolkit/caption_button.h"
#include "toolkit/function_menu.h"
#include "toolkit/language_box.h"

#include "dialogs/dialogmessage.h"
#include "dialogs/macrofrm.h"
#include "macros/macro_name.h"
#include "mainwindow/HelpUnit.h"
#include "toolkit/translation.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>
#include <QTabWidget>
#include <QtTest>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

class ScreenshotsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramLook(); }
    void mainWindowInEachLanguage();
    void oneFontRuleAtStartUpAndAfterASwitch();
    void helpWindowAndMacroManagerInEachLanguage();
};

void ScreenshotsTest::mainWindowInEachLanguage()
{
    const char* const ids[] = { "0409", "0804", "0404" };
    for (int language = 0; language < 3; ++language) {
        WindowRig rig(language);
        const auto w = rig.Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));

        const qreal ratio = w->devicePixelRatioF();
        const QString suffix = ratio > 1.5 ? "@2x" : "";
        const QString base = ScreenshotFolder() + "/main-" + ids[language];
        for (int tab = 0; tab < 3; ++tab) {
            Control<QTabWidget>(w, "TabControlMain")->setCurrentIndex(tab);
            const QPixmap shot = w->grab();
            QCOMPARE(shot.size(), QSize(801, 638) * ratio);
            QVERIFY(shot.save(base + "-tab" + QString::number(tab + 1) + suffix + ".png"));
        }

        // Every caption fits its control: nothing is cut in any language.
        for (auto* b : w->findChildren<QAbstractButton*>()) {
            if (b->text().isEmpty() || !b->isVisibleTo(w.get()))
                continue;
            const int needed = b->sizeHint().width();
            QVERIFY2(needed <= b->width() + 2,
                qPrintable(QString("%1 in %2 needs %3 px, has %4")
                               .arg(b->objectName(), ids[language])
                               .arg(needed)
                               .arg(b->width())));
        }

        // The PRESET menu beside its button, in the window's font.
        Control<CaptionButton>(w, "BtnLoadProfile")->click();
        auto* preset = Control<FunctionMenu>(w, "uiMenuEx3Popup");
        QVERIFY(preset->IsShown());
        QCOMPARE(QFontInfo(preset->RowFont()).pointSizeF(), QFontInfo(QApplication::font()).pointSizeF());
        TuiMenuBox* box = preset->OpenLevel(0);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        const QRect area = w->geometry() | box->geometry();
        QPixmap menuShot(area.size() * ratio);
        menuShot.setDevicePixelRatio(ratio);
        menuShot.fill(Qt::black);
        QPainter painter(&menuShot);
        painter.drawPixmap(w->geometry().topLeft() - area.topLeft(), w->grab());
        painter.drawPixmap(box->geometry().topLeft() - area.topLeft(), box->grab());
        painter.end();
        QVERIFY(menuShot.save(ScreenshotFolder() + "/preset-menu-" + ids[language] + suffix + ".png"));
        preset->CloseMenu();

        TFrmMessageDialog dialog(w.get());
        dialog.FCreateByOther = true;
        SetPlainText(dialog.LabelTitle, Tr("No Device Found!"));
        SetPlainText(dialog.LabelText, Tr("Please connect your mouse device!"));
        SetPlainText(dialog.LabelText1, QString());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.grab().save(ScreenshotFolder() + "/dialog-" + ids[language] + suffix + ".png"));
    }
}

namespace {

/// What each visible control looks like: its font and its place in the window.
QStringList Looks(QWidget& window)
{
    QStringList looks;
    for (auto* c : window.findChildren<QWidget*>()) {
        if (!c->isVisibleTo(&window) || c->objectName().isEmpty())
            continue;
        const QFontInfo font(c->font());
        looks << QString("%1 %2pt%3 at %4,%5 %6x%7")
                     .arg(c->objectName())
                     .arg(font.pointSizeF())
                     .arg(font.bold() ? " bold" : "")
                     .arg(c->mapTo(&window, QPoint()).x())
                     .arg(c->mapTo(&window, QPoint()).y())
                     .arg(c->width())
                     .arg(c->height());
    }
    looks.sort();
    return looks;
}

} // namespace

void ScreenshotsTest::oneFontRuleAtStartUpAndAfterASwitch()
{
    // Each language: the window started in it looks exactly like a window switched into it.
    QStringList startedIn[3];
    for (int language = 0; language < 3; ++language) {
        WindowRig rig(language);
        const auto w = rig.Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        startedIn[language] = Looks(*w);
    }
    WindowRig rig(0);
    const auto w = rig.Start();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    for (const int language : { 1, 2, 0 }) {
        Control<LanguageBox>(w, "PopBoxLanguage")->setCurrentIndex(language);
        QApplication::processEvents();
        const QStringList switched = Looks(*w);
        for (int i = 0; i < switched.size() && i < startedIn[language].size(); ++i)
            QCOMPARE(switched[i], startedIn[language][i]);
        QCOMPARE(switched.size(), startedIn[language].size());
    }

    // The tab row stays where it is in every language.
    QCOMPARE(startedIn[1].filter("TabGeneral "), startedIn[0].filter("TabGeneral "));
    QCOMPARE(startedIn[2].filter("TabGeneral "), startedIn[0].filter("TabGeneral "));
}

void ScreenshotsTest::helpWindowAndMacroManagerInEachLanguage()
{
    const char* const ids[] = { "0409", "0804", "0404" };
    for (int language = 0; language < 3; ++language) {
        WindowRig rig(language);
        const auto w = rig.Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QString suffix = w->devicePixelRatioF() > 1.5 ? "@2x" : "";

        const auto openNothing = [] {};
        THelpForm help(w.get(), openNothing, [](const QString&) {});
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QVERIFY(help.grab().save(ScreenshotFolder() + "/help-" + ids[language] + suffix + ".png"));

        // A macro as the Macro Manager shows one after recording Ctrl+C.
        TMACROKEYINFOLIST macros {};
        TMACROKEYINFO& m = macros.MacroInfos[0];
        SetMacroName(m, "Copy");
        const TMACROKEY actions[] = { { kActionKey, 1, 0x11, 0 }, { kActionDelay, 0, 120, 0 },
            { kActionKey, 1, 'C', 0 }, { kActionDelay, 0, 80, 0 }, { kActionKey, 0, 'C', 0 },
            { kActionDelay, 0, 60, 0 }, { kActionKey, 0, 0x11, 0 } };
        std::copy(std::begin(actions), std::end(actions), m.MacroList);
        m.MacroListCount = std::int32_t(std::size(actions));
        m.nAutoAddDelay = 1;
        m.Version = kMacroVersion;
        macros.nMacroInfoCount = 1;
        TFrmMacro editor(rig.dialogs, nullptr, w.get());
        editor.SetMacroKeyInfoList(macros);
        editor.SetMacroListIndex(0);
        editor.SetMacroPath(rig.home.path().string());
        editor.FillMacroList();
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QVERIFY(editor.grab().save(ScreenshotFolder() + "/macro-" + ids[language] + suffix + ".png"));
    }
}

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
