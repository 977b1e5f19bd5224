// Pictures of the windows in every language, saved into the build folder for review. Run at 100 %
// and again at 200 % scaling (QT_SCALE_FACTOR=2); the file names say which.

#include "gui_fixture.h"

#include "dialogs/dialogmessage.h"
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

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
