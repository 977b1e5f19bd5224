// The help window: its texts in every language, its close controls, and the user manual and web
// address that its OPEN buttons hand to the desktop.

#include "gui_fixture.h"

#include "mainwindow/HelpUnit.h"
#include "toolkit/caption_button.h"
#include "toolkit/translation.h"

#include <QLabel>
#include <QtTest>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

namespace {

// Opens the help window of `w` and works it with `act` while it is shown.
void WithHelpWindow(WindowRig& rig, TBrisvaneCfgMain& w, std::function<void(THelpForm&)> act)
{
    bool shown = false;
    rig.dialogs.DuringModal = [&](QDialog& dialog) {
        auto* help = qobject_cast<THelpForm*>(&dialog);
        if (!help)
            return 0;
        shown = true;
        dialog.show();
        act(*help);
        return help->result();
    };
    Control<CaptionButton>(w, "BSBTNHELP")->click();
    QVERIFY(shown);
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramLook(); }
    void everyTextIsTranslated_data();
    void everyTextIsTranslated();
    void closesOnItsCloseButtonAndOnItsBackground();
    void openShowsTheManualOfTheLanguage_data();
    void openShowsTheManualOfTheLanguage();
    void openIsDisabledWithoutAManual();
    void whatTheDesktopCannotOpenIsNamed();
};

void HelpWindowTest::everyTextIsTranslated_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("product");
    QTest::newRow("0804") << 1 << QStringLiteral("Brisvane 有线光学游戏鼠标");
    QTest::newRow("0404") << 2 << QStringLiteral("Brisvane 有線光學電競滑鼠");
}

void HelpWindowTest::everyTextIsTranslated()
{
    QFETCH(int, language);
    QFETCH(QString, product);
    WindowRig rig(language);
    auto w = rig.Start();
    WithHelpWindow(rig, *w, [&](THelpForm& help) {
        QCOMPARE(help.LabelProduct->text(), product);
        // Only the banner and the web address stay as they are; every other text is shown in the
        // window's language.
        QStringList english;
        for (QWidget* control : help.findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(control);
            const auto* button = qobject_cast<QAbstractButton*>(control);
            const QString text = label ? label->text() : button ? button->text() : QString();
            if (text.isEmpty() || control == help.LabelWebAddress || control->objectName() == "LabelBanner")
                continue;
            if (SourceText(control).isEmpty() || text == SourceText(control))
                english << control->objectName() + ": " + text;
        }
        QVERIFY2(english.isEmpty(), qPrintable(english.join("; ")));
    });
}

void HelpWindowTest::closesOnItsCloseButtonAndOnItsBackground()
{
    WindowRig rig;
    auto w = rig.Start();
    WithHelpWindow(rig, *w, [](THelpForm& help) {
        QCOMPARE(help.BtnClose->property("styleName").toString(), QStringLiteral("MyCloseBtn"));
        QVERIFY(help.BtnClose->isVisible());
        QVERIFY(help.rect().contains(help.BtnClose->geometry()));
        QTest::mouseClick(help.BtnClose, Qt::LeftButton);
        QVERIFY(!help.isVisible());
        QCOMPARE(help.result(), int(QDialog::Rejected));
    });
    WithHelpWindow(rig, *w, [](THelpForm& help) {
        QTest::mouseClick(&help, Qt::LeftButton, {}, QPoint(10, 600));
        QVERIFY(!help.isVisible());
        QCOMPARE(help.result(), int(QDialog::Accepted));
    });
    QVERIFY(rig.opened.empty());
}

void HelpWindowTest::openShowsTheManualOfTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("manual");
    QTest::newRow("0409") << 0 << QStringLiteral("manual/manual_en.html");
    QTest::newRow("0804") << 1 << QStringLiteral("manual/manual_zh_CN.html");
    QTest::newRow("0404") << 2 << QStringLiteral("manual/manual_zh_TW.html");
}

// The shipped config.ini and the manuals beside the program in the build folder, as `make run`
// finds them.
void HelpWindowTest::openShowsTheManualOfTheLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, manual);
    WindowRig rig(language);
    auto w = rig.Start();
    WithHelpWindow(rig, *w, [](THelpForm& help) {
        QVERIFY(help.bsbtnopen1->isEnabled());
        help.bsbtnopen1->click();
        help.bsbtnweb->click();
    });
    const auto expected = (BuildFolder() / manual.toStdString()).make_preferred();
    QCOMPARE(rig.opened, (std::vector<std::string> { expected.string(), kProductWebAddress }));
    QVERIFY(std::filesystem::is_regular_file(expected));
    QVERIFY(rig.dialogs.Calls.empty());
}

void HelpWindowTest::openIsDisabledWithoutAManual()
{
    // Whatever config.ini names, no manual lies in this program folder.
    WindowRig rig;
    auto env = rig.Environment();
    env.ProgramFolder = rig.home.path();
    TBrisvaneCfgMain w(env);
    WithHelpWindow(rig, w, [](THelpForm& help) {
        QVERIFY(!help.bsbtnopen1->isEnabled());
        QTest::mouseClick(help.bsbtnopen1, Qt::LeftButton);
        QVERIFY(help.bsbtnweb->isEnabled());
    });
    QVERIFY(rig.opened.empty());
}

void HelpWindowTest::whatTheDesktopCannotOpenIsNamed()
{
    WindowRig rig;
    auto env = rig.Environment();
    env.OpenDocument = [](const std::string&) { return false; };
    TBrisvaneCfgMain w(env);
    WithHelpWindow(rig, w, [](THelpForm& help) {
        help.bsbtnopen1->click();
        help.bsbtnweb->click();
    });
    const auto manual = (BuildFolder() / "manual" / "manual_en.html").make_preferred();
    QCOMPARE(rig.dialogs.Calls.size(), std::size_t(2));
    QCOMPARE(rig.dialogs.Calls[0].Text, QStringLiteral("The user manual could not be opened."));
    QCOMPARE(rig.dialogs.Calls[0].SecondLine, QString::fromStdString(manual.string()));
    QCOMPARE(rig.dialogs.Calls[1].Text, QStringLiteral("The web address could not be opened."));
    QCOMPARE(rig.dialogs.Calls[1].SecondLine, QString::fromLatin1(kProductWebAddress));
}

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
