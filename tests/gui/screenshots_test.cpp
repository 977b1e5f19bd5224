// Pictures of the windows in every language, saved into the build folder for review. Run at 100 %
// and again at 200 % scaling (QT_SCALE_FACTOR=2); the file names say which.

#include "gui_fixture.h"

#include "dialogs/dialogmessage.h"
#include "dialogs/macrofrm.h"
#include "macros/macro_name.h"
#include "mainwindow/HelpUnit.h"
#include "toolkit/translation.h"

#include <QAbstractButton>
#include <QLabel>
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
