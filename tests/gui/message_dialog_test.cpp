// The message dialog and its ShowMessageDialog.

#include "gui_fixture.h"

#include "dialogs/Dialogs.h"
#include "dialogs/dialogmessage.h"
#include "toolkit/caption_button.h"
#include "toolkit/picture.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace bv::gui;
using namespace bv::gui::test;

class MessageDialogTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheStringsAsGivenAndAnswersByButton();
    void escapeAndClosingAnswerCancel();
    void defaultsAndPlace();
};

void MessageDialogTest::showsTheStringsAsGivenAndAnswersByButton()
{
    struct Case {
        const char* Button;
        int Result;
    } cases[] = { { "BTNOK", kMessageOK }, { "BTNCANCEL", kMessageCancel } };
    for (const Case& c : cases) {
        QString seen[3];
        bool byOther = false;
        WhenModalShown<TFrmMessageDialog>([&](TFrmMessageDialog& d) {
            seen[0] = d.LabelTitle->text();
            seen[1] = d.LabelText->text();
            seen[2] = d.LabelText1->text();
            byOther = d.FCreateByOther;
            d.findChild<CaptionButton*>(c.Button)->click();
        });
        ModalDialogs dialogs;
        QCOMPARE(dialogs.ShowMessageDialog(nullptr, "Warning", "Apply", QString()), c.Result);
        QCOMPARE(seen[0], QString("Warning"));
        QCOMPARE(seen[1], QString("Apply")); // never translated by the dialog
        QCOMPARE(seen[2], QString());
        QVERIFY(byOther);
    }
}

void MessageDialogTest::escapeAndClosingAnswerCancel()
{
    WhenModalShown<TFrmMessageDialog>([](TFrmMessageDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    QCOMPARE(ShowMessageDialog(nullptr, "t", "x", "y"), kMessageCancel);
    WhenModalShown<TFrmMessageDialog>([](TFrmMessageDialog& d) { d.close(); });
    QCOMPARE(ShowMessageDialog(nullptr, "t", "x", "y"), kMessageCancel);
}

void MessageDialogTest::defaultsAndPlace()
{
    QWidget owner;
    owner.setGeometry(100, 80, 801, 638);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    TFrmMessageDialog d(&owner);
    QCOMPARE(d.size(), QSize(488, 302));
    QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!d.FCreateByOther);
    QCOMPARE(d.LabelTitle->text(), QString("RESET"));
    QCOMPARE(d.LabelText->text(), QString("Are you sure reset the current settings back to install?"));
    QCOMPARE(d.LabelText1->text(), QString("Macro will be retained"));
    QCOMPARE(d.BTNOK->text(), QString("OK"));
    QCOMPARE(d.BTNCANCEL->text(), QString("CANCEL"));
    QCOMPARE(d.LabelTitle->font().pointSize(), 16);
    QCOMPARE(d.LabelText->font().pointSize(), 15);
    QVERIFY(d.IMGWARNING->isVisibleTo(&d));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QVERIFY((d.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <= 2);
}

QTEST_MAIN(MessageDialogTest)
#include "message_dialog_test.moc"
