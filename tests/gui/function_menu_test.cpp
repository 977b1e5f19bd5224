// The pop-up function menus: choosing with the mouse, keyboard selection, pre-selection,
// dismissal, placement on the screen, translated captions, and a picture for review.

#include "gui_fixture.h"

#include "mainwindow/button_menus.h"
#include "toolkit/function_menu.h"
#include "toolkit/theme.h"
#include "toolkit/translation.h"
#include "ui/uiLanguage.h"
#include "ui/uiMenuEx.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <optional>
#include <vector>

using namespace bv;
using namespace bv::gui;

namespace {

/// A window with one slot button, and the button menu set up as the main window sets it.
struct MenuRig {
    QWidget host;
    QPushButton* slot = new QPushButton("Slot", &host);
    FunctionMenu menu;
    std::vector<std::uint32_t> events; // OnItemsClick
    std::vector<std::optional<std::uint32_t>> closes; // the closed handler

    explicit MenuRig(const MenuTree& tree = MenuTree(ButtonMenuCaptions()))
    {
        host.setGeometry(40, 40, 420, 300);
        slot->setGeometry(20, 100, 150, 30);
        LoadMenuTree(menu.Menu(), tree);
        menu.Menu().UseCustomMenuParams = true;
        menu.Menu().Parameters.ItemHeight = 30;
        menu.SetItemFont(FunctionMenuItemFont("0409"));
        menu.Menu().OnItemsClick = [this](TuiMenuItemEx&, const std::string&, std::uint32_t id, const void*,
                                       std::uint32_t) { events.push_back(id); };
        host.show();
        // A menu pops up from an active window; one still on its way to being active would take
        // the activation from the pop-up, and the toolkit closes pop-ups on that.
        (void)QTest::qWaitForWindowActive(&host);
    }

    void Popup(std::optional<std::int64_t> id)
    {
        menu.Popup(slot, id, [this](std::optional<std::uint32_t> chosen) { closes.push_back(chosen); });
    }

    TuiMenuBox* Level(int depth) const { return menu.OpenLevel(depth); }
};

/// Pointer input as the window system delivers it: to the window under the pointer, from where
/// the toolkit hands it to the open pop-up.
QPoint rowCentre(TuiMenuBox* box, int row)
{
    return box->RowRect(row).center();
}

void hover(TuiMenuBox* box, int row)
{
    // The toolkit drops a move to where the pointer already is, and the rigs of consecutive
    // tests lie in the same place.
    QTest::mouseMove(box->windowHandle(), rowCentre(box, row) - QPoint(3, 0));
    QTest::mouseMove(box->windowHandle(), rowCentre(box, row));
}

void press(TuiMenuBox* box, int row)
{
    QTest::mousePress(box->windowHandle(), Qt::LeftButton, {}, rowCentre(box, row));
}

void release(TuiMenuBox* box, int row)
{
    QTest::mouseRelease(box->windowHandle(), Qt::LeftButton, {}, rowCentre(box, row));
}

void key(int k, const QString& text = {})
{
    QWidget* popup = QApplication::activePopupWidget();
    QVERIFY(popup != nullptr);
    QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(popup, &e);
}

/// The rows shown selected.
std::vector<int> selectedRows(const TuiMenuBox* box)
{
    std::vector<int> rows;
    for (int i = 0; i < int(box->Rows().size()); ++i)
        if (box->Rows()[std::size_t(i)].IsSelected)
            rows.push_back(i);
    return rows;
}

} // namespace

class FunctionMenuTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::test::UseProgramLook(); }
    void init() { TuiMenuEx::SetSelectedMenuID(0); }
    void mouseChoosesInSubMenu();
    void keysMoveTheSelectionButNeverChoose();
    void preselectionFollowsTheLastGivenID();
    void dismissalRaisesNoItemEvent_data();
    void dismissalRaisesNoItemEvent();
    void popupStaysOnTheScreen_data();
    void popupStaysOnTheScreen();
    void captionsAreTranslatedAtEachShowing();
    void screenshots();
};

void FunctionMenuTest::mouseChoosesInSubMenu()
{
    MenuRig rig;
    QSignalSpy chosen(&rig.menu, &FunctionMenu::ItemChosen);
    rig.Popup(5);
    QVERIFY(rig.menu.IsShown());
    TuiMenuBox* root = rig.Level(0);
    QVERIFY(QTest::qWaitForWindowExposed(root));
    QCOMPARE(int(root->Rows().size()), 16);
    // Right-centre of the slot, rows 30 high.
    const QRect slot(rig.slot->mapToGlobal(QPoint(0, 0)), rig.slot->size());
    QCOMPARE(root->x(), slot.x() + slot.width());
    QCOMPARE(root->height(), 16 * 30 + 5);

    hover(root, 7); // "Basic"
    QCOMPARE(rig.menu.OpenLevelCount(), 2);
    TuiMenuBox* basic = rig.Level(1);
    QCOMPARE(basic->Rows().size(), std::size_t(8));
    QCOMPARE(basic->Rows()[1].Text, QString("Copy"));
    QCOMPARE(basic->Rows()[1].ItemID, 802u);
    QVERIFY(root->Rows()[7].IsExtender);
    QCOMPARE(basic->y(), root->mapToGlobal(root->RowRect(7).topLeft()).y());

    // A click on a row with sub-items chooses nothing.
    press(root, 7);
    release(root, 7);
    QVERIFY(rig.menu.IsShown());
    QCOMPARE(rig.menu.OpenLevelCount(), 2);

    // Moving onto a plain row closes the sub-menu; back onto "Basic" opens it again.
    hover(root, 6);
    QCOMPARE(rig.menu.OpenLevelCount(), 1);
    QVERIFY(!basic->isVisible());
    hover(root, 7);
    QCOMPARE(rig.menu.OpenLevelCount(), 2);

    hover(basic, 1);
    press(basic, 1);
    release(basic, 1);
    QVERIFY(!rig.menu.IsShown());
    QVERIFY(!root->isVisible() && !basic->isVisible());
    QCOMPARE(rig.events, std::vector<std::uint32_t> { 802 });
    QCOMPARE(rig.closes, (std::vector<std::optional<std::uint32_t>> { 802u }));
    QCOMPARE(chosen.count(), 1);
    // Only the level chosen from remembers its row.
    QCOMPARE(rig.menu.Items().Items(7)->SubItems().ItemIndex, 1);
    QCOMPARE(rig.menu.Items().ItemIndex, -1);

    // The handler may rebuild the level chosen from ("Macro Manager" rebuilds the macro list).
    MenuTree tree(ButtonMenuCaptions());
    rig.menu.Menu().OnItemsClick
        = [&](TuiMenuItemEx&, const std::string&, std::uint32_t id, const void*, std::uint32_t) {
              rig.events.push_back(id);
              tree.SetSubItems(kMacroMenuPosition, { "Macro Manager", "Macro<a>", "Macro<b>" });
              LoadMenuTree(rig.menu.Menu(), tree);
          };
    rig.Popup(0);
    hover(rig.Level(0), 10);
    hover(rig.Level(1), 0);
    press(rig.Level(1), 0);
    release(rig.Level(1), 0);
    QCOMPARE(rig.events, (std::vector<std::uint32_t> { 802, 1101 }));
    rig.Popup(0);
    hover(rig.Level(0), 10);
    QCOMPARE(rig.Level(1)->Rows().size(), std::size_t(3));
    QCOMPARE(rig.Level(1)->Rows()[2].ItemID, 1103u);
    rig.menu.CloseMenu();
}

void FunctionMenuTest::keysMoveTheSelectionButNeverChoose()
{
    MenuRig rig;
    rig.Popup(0);
    TuiMenuBox* root = rig.Level(0);
    TuiMenuItemsEx& items = rig.menu.Items();
    QCOMPARE(items.ItemIndex, -1);

    struct Step {
        int key;
        QString text;
        int row;
    };
    const Step steps[] = {
        { Qt::Key_Down, {}, 0 },
        { Qt::Key_Up, {}, 0 },
        { Qt::Key_End, {}, 15 },
        { Qt::Key_Right, {}, 15 },
        { Qt::Key_Home, {}, 0 },
        { Qt::Key_D, "d", 11 },
        { Qt::Key_F, "F", 3 },
        { Qt::Key_Left, {}, 2 },
        { Qt::Key_Q, "q", 2 },
        { Qt::Key_Return, {}, 2 },
    };
    for (const Step& s : steps) {
        key(s.key, s.text);
        QCOMPARE(items.ItemIndex, s.row);
        QCOMPARE(selectedRows(root), std::vector<int> { s.row });
    }
    QVERIFY(rig.menu.IsShown());
    QVERIFY(rig.events.empty());

    // A row with sub-items becomes the current row without the selected look, and opens nothing.
    key(Qt::Key_B, "b"); // "Backward" comes before "Basic"
    QCOMPARE(items.ItemIndex, 4);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    QCOMPARE(items.ItemIndex, 7);
    QVERIFY(selectedRows(root).empty());
    QCOMPARE(rig.menu.OpenLevelCount(), 1);

    // Keys follow the pointer into a sub-menu once it rests on a plain row there.
    hover(root, 9); // "Media"
    QCOMPARE(rig.menu.KeyLevel(), 0);
    TuiMenuBox* media = rig.Level(1);
    hover(media, 2);
    QCOMPARE(rig.menu.KeyLevel(), 1);
    key(Qt::Key_V, "v");
    QCOMPARE(selectedRows(media), std::vector<int> { 4 }); // "Volume Up"
    key(Qt::Key_Down);
    QCOMPARE(selectedRows(media), std::vector<int> { 5 });
    QCOMPARE(items.ItemIndex, 7);

    // The mouse chooses.
    hover(media, 5);
    press(media, 5);
    release(media, 5);
    QCOMPARE(rig.events, std::vector<std::uint32_t> { 1006 });
}

void FunctionMenuTest::preselectionFollowsTheLastGivenID()
{
    MenuRig rig;
    rig.Popup(5);
    QCOMPARE(selectedRows(rig.Level(0)), std::vector<int> { 4 });
    rig.menu.CloseMenu();

    // A sub-item's ID: the root shows its last row, the sub-menu the item.
    rig.Popup(802);
    QCOMPARE(selectedRows(rig.Level(0)), std::vector<int> { 4 });
    hover(rig.Level(0), 7);
    QCOMPARE(selectedRows(rig.Level(1)), std::vector<int> { 1 });
    rig.menu.CloseMenu();

    // A row with sub-items is current but not drawn selected.
    rig.Popup(8);
    QCOMPARE(rig.menu.Items().ItemIndex, 7);
    QVERIFY(selectedRows(rig.Level(0)).empty());
    rig.menu.CloseMenu();

    // A menu shown without an ID uses the one last given to any menu.
    FunctionMenu wheel, primary;
    LoadMenuTree(wheel.Menu(), MenuTree(WheelMenuCaptions()));
    LoadMenuTree(primary.Menu(), MenuTree(PrimaryButtonMenuCaptions()));
    wheel.ShowMainMenu(2, rig.slot, MenuPlacement::RightCenter);
    wheel.CloseMenu();
    primary.ShowMainMenu(rig.slot, MenuPlacement::RightCenter);
    QCOMPARE(selectedRows(primary.OpenLevel(0)), std::vector<int> { 1 });
    QCOMPARE(primary.OpenLevel(0)->height(), 2 * 40 + 5); // no custom parameters
    primary.CloseMenu();
}

void FunctionMenuTest::dismissalRaisesNoItemEvent_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("escape") << 0;
    QTest::newRow("click outside") << 1;
    QTest::newRow("released on another row") << 2;
    QTest::newRow("closed by the toolkit") << 3;
    QTest::newRow("closed from code") << 4;
    QTest::newRow("shown again") << 5;
}

void FunctionMenuTest::dismissalRaisesNoItemEvent()
{
    QFETCH(int, way);
    MenuRig rig;
    QSignalSpy closedSignal(&rig.menu, &FunctionMenu::Closed);
    rig.Popup(0);
    TuiMenuBox* root = rig.Level(0);
    QVERIFY(QTest::qWaitForWindowExposed(root));
    hover(root, 8); // a sub-menu is open too
    QCOMPARE(rig.menu.OpenLevelCount(), 2);

    switch (way) {
    case 0:
        key(Qt::Key_Escape);
        break;
    case 1:
        QTest::mouseClick(rig.host.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        break;
    case 2:
        hover(root, 0);
        press(root, 0);
        release(root, 1);
        QCOMPARE(rig.menu.Items().ItemIndex, 0);
        break;
    case 3:
        QApplication::activePopupWidget()->close();
        break;
    case 4:
        rig.menu.CloseMenu();
        break;
    case 5:
        rig.Popup(0);
        QCOMPARE(rig.closes, (std::vector<std::optional<std::uint32_t>> { std::nullopt }));
        rig.menu.CloseMenu();
        rig.closes.pop_back();
        break;
    }
    QVERIFY(!rig.menu.IsShown());
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(rig.events.empty());
    QCOMPARE(rig.closes, (std::vector<std::optional<std::uint32_t>> { std::nullopt }));
    QVERIFY(closedSignal.count() >= 1);
}

void FunctionMenuTest::popupStaysOnTheScreen_data()
{
    QTest::addColumn<QRect>("target");
    QTest::addColumn<QSize>("popup");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("placement");
    QTest::addColumn<QPoint>("expected");

    const QRect hd(0, 0, 1920, 1080);
    const int right = int(MenuPlacement::Right), centre = int(MenuPlacement::RightCenter),
              bottom = int(MenuPlacement::Bottom);
    QTest::newRow("right-centre") << QRect(100, 400, 150, 30) << QSize(200, 200) << hd << centre << QPoint(250, 315);
    QTest::newRow("right") << QRect(100, 400, 150, 30) << QSize(200, 200) << hd << right << QPoint(250, 400);
    QTest::newRow("bottom") << QRect(100, 400, 150, 30) << QSize(200, 200) << hd << bottom << QPoint(100, 430);
    // Reaching the right edge: left by the control's width and 20 lower.
    QTest::newRow("edge shift") << QRect(1600, 400, 150, 30) << QSize(170, 200) << hd << centre << QPoint(1600, 335);
    // The shift alone would leave it off the screen.
    QTest::newRow("wide pop-up kept on") << QRect(1700, 400, 150, 30) << QSize(300, 200) << hd << centre
                                         << QPoint(1620, 335);
    QTest::newRow("low control") << QRect(100, 1000, 150, 30) << QSize(200, 400) << hd << centre << QPoint(250, 680);
    QTest::newRow("high control") << QRect(100, 10, 150, 30) << QSize(200, 400) << hd << centre << QPoint(250, 0);
    // A second monitor to the right of the first.
    QTest::newRow("second screen") << QRect(3600, 400, 150, 30) << QSize(200, 200) << QRect(1920, 0, 1920, 1080)
                                   << centre << QPoint(3600, 335);
}

void FunctionMenuTest::popupStaysOnTheScreen()
{
    QFETCH(QRect, target);
    QFETCH(QSize, popup);
    QFETCH(QRect, screen);
    QFETCH(int, placement);
    QFETCH(QPoint, expected);
    QCOMPARE(PlaceMenuPopup(target, popup, screen, MenuPlacement(placement)), expected);
}

void FunctionMenuTest::captionsAreTranslatedAtEachShowing()
{
    TuiLanguage language;
    QVERIFY(language.LoadFromFolder(gui::test::BuildFolder()));
    MenuRig rig;

    language.SetLang("0804");
    rig.Popup(0);
    QCOMPARE(rig.Level(0)->Rows()[1].Text, QString::fromUtf8("右键"));
    hover(rig.Level(0), 7);
    QCOMPARE(rig.Level(1)->Rows()[1].Text, QString::fromUtf8("复制"));
    rig.menu.CloseMenu();

    language.SetLang("0409");
    rig.Popup(0);
    QCOMPARE(rig.Level(0)->Rows()[1].Text, QString("Right Click"));
    rig.menu.CloseMenu();
}

void FunctionMenuTest::screenshots()
{
    TuiLanguage language;
    QVERIFY(language.LoadFromFolder(gui::test::BuildFolder()));
    for (const char* id : { "0409", "0804" }) {
        language.SetLang(id);
        MenuRig rig;
        rig.host.setStyleSheet("background: #14171C;");
        rig.slot->setText(Tr("Copy"));
        rig.menu.SetItemFont(FunctionMenuItemFont(id));
        rig.Popup(802);
        QVERIFY(QTest::qWaitForWindowExposed(rig.Level(0)));
        hover(rig.Level(0), 7);
        hover(rig.Level(1), 3);

        // The window and its open pop-ups in one picture, as they lie on the screen.
        QRect area = rig.host.geometry();
        for (int d = 0; d < rig.menu.OpenLevelCount(); ++d)
            area |= rig.Level(d)->geometry();
        QPixmap shot(area.size());
        shot.fill(Qt::black);
        QPainter p(&shot);
        p.drawPixmap(rig.host.geometry().topLeft() - area.topLeft(), rig.host.grab());
        for (int d = 0; d < rig.menu.OpenLevelCount(); ++d)
            p.drawPixmap(rig.Level(d)->geometry().topLeft() - area.topLeft(), rig.Level(d)->grab());
        p.end();
        QVERIFY(shot.save(gui::test::ScreenshotFolder() + "/function-menu-" + id + ".png"));
        rig.menu.CloseMenu();
    }
    language.SetLang("0409");
}

QTEST_MAIN(FunctionMenuTest)
#include "function_menu_test.moc"
