#pragma once
// The pop-up function menus: a TuiMenuEx item tree shown as cascading pop-up lists beside a
// control. Sub-menus open on hover, the keyboard moves the selection, and only a mouse click on a
// row chooses it. Nothing here blocks: the choice arrives through the menu's click events.

#include "ui/uiMenuEx.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace bv::gui {

class FunctionMenu;

/// Where a pop-up opens relative to its control.
enum class MenuPlacement {
    Right, // beside the right edge, tops aligned (sub-menus)
    RightCenter, // beside the right edge, centres aligned (the main window's slots)
    Bottom, // below, left edges aligned
};

/// Top-left corner of a pop-up of `popup` size beside `target` (screen coordinates). When the
/// pop-up would reach the screen's right edge it moves left by the target's width and 20 down;
/// then it is kept inside `screen`.
QPoint PlaceMenuPopup(const QRect& target, const QSize& popup, const QRect& screen, MenuPlacement placement);

/// One row of a shown level.
struct TuiMenuBoxItem {
    QString Text;
    std::uint32_t ItemID = 0;
    bool IsExtender = false; // the item has sub-items
    bool IsChecked = false;
    bool IsSelected = false;
};

/// The pop-up of one level: draws its rows and hands every input to its FunctionMenu.
class TuiMenuBox : public QWidget {
    Q_OBJECT
    // Colours, set from theme.qss.
    Q_PROPERTY(QColor bgFill MEMBER FBGFill)
    Q_PROPERTY(QColor borderFill MEMBER FBorderFill)
    Q_PROPERTY(QColor itemFontFill MEMBER FItemFontFill)
    Q_PROPERTY(QColor itemOverFill MEMBER FItemOverFill)
    Q_PROPERTY(QColor itemDownFill MEMBER FItemDownFill)
    Q_PROPERTY(QColor itemCheckFill MEMBER FItemCheckFill)
    Q_PROPERTY(QColor itemExtenderFill MEMBER FItemExtenderFill)

public:
    explicit TuiMenuBox(FunctionMenu& menu);

    const std::vector<TuiMenuBoxItem>& Rows() const { return FRows; }
    /// The row under a point of this widget, -1 for none.
    int RowAt(const QPoint& local) const;
    /// A row's rectangle in this widget (scrolled rows may lie outside it).
    QRect RowRect(int row) const;
    int HoverRow() const { return FHoverRow; }

private:
    friend class FunctionMenu;

    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;

    void ScrollTo(int row);

    FunctionMenu& FMenu;
    std::vector<TuiMenuBoxItem> FRows;
    int FRowHeight = 40;
    TMenuMargins FMargins;
    TMenuParams FParams;
    int FScroll = 0; // pixels scrolled
    int FHoverRow = -1;
    QColor FBGFill { 0x1A, 0x1E, 0x25 };
    QColor FBorderFill { 0xE0, 0x20, 0x2A };
    QColor FItemFontFill { 0xE6, 0xE8, 0xEC };
    QColor FItemOverFill { 0x2A, 0x30, 0x3A };
    QColor FItemDownFill { 0x8C, 0x12, 0x18 };
    QColor FItemCheckFill { 0xFF, 0xFF, 0xFF };
    QColor FItemExtenderFill { 0x9A, 0xA3, 0xB0 };
};

/// A function menu: owns its TuiMenuEx and shows it as pop-ups.
class FunctionMenu : public QObject {
    Q_OBJECT

public:
    /// Reports a closed menu: the chosen item ID, or nothing when it was dismissed.
    using ClosedHandler = std::function<void(std::optional<std::uint32_t>)>;

    explicit FunctionMenu(QObject* parent = nullptr);
    ~FunctionMenu() override;

    TuiMenuEx& Menu() { return FMenu; }
    TuiMenuItemsEx& Items() { return FMenu.Items(); }

    /// The row font when the menu uses custom parameters.
    void SetItemFont(const QFont& font) { FItemFont = font; }
    /// The font the rows are drawn in.
    QFont RowFont() const;

    /// Makes `selectedMenuID` the pre-selection of this and every later showing of any menu,
    /// then shows the menu.
    void ShowMainMenu(std::int64_t selectedMenuID, QWidget* target, MenuPlacement placement);
    /// Shows the root level beside `target`. An open showing is dismissed first.
    void ShowMainMenu(QWidget* target, MenuPlacement placement);
    /// Shows the menu at the right-centre of `target` (with `selectedMenuID` when given) and calls
    /// `closed` once when it closes, after the item's click event.
    void Popup(QWidget* target, std::optional<std::int64_t> selectedMenuID, ClosedHandler closed);

    /// Closes every pop-up without an item event.
    void CloseMenu();
    /// Chooses an item as a click on its row does: closes, then raises the item's event.
    /// False when the menu has no such item.
    bool ChooseItem(std::uint32_t itemID);

    bool IsShown() const { return !FOpen.empty(); }
    /// The number of open levels (root, sub-menu, ...).
    int OpenLevelCount() const { return int(FOpen.size()); }
    /// The pop-up of an open level, nullptr beyond them.
    TuiMenuBox* OpenLevel(int depth) const;
    /// The level the keys act on.
    int KeyLevel() const { return FKeyDepth; }

signals:
    /// Every pop-up has closed, chosen or not.
    void Closed();
    /// An item was chosen (after its click event).
    void ItemChosen(quint32 itemID);

private:
    friend class TuiMenuBox;

    struct Level {
        TuiMenuItemsEx* Items = nullptr;
        TuiMenuBox* Box = nullptr;
    };

    void ShowLevel(int depth, TuiMenuItemsEx& items, const QRect& target, MenuPlacement placement);
    void CloseLevelsBelow(int depth);
    void SelectRow(int depth, int row);
    /// The deepest open level whose pop-up holds the point, and the row under it.
    std::pair<int, int> HitTest(const QPoint& global) const;

    void PointerMoved(const QPoint& global);
    void ButtonPressed(const QPoint& global, Qt::MouseButton button);
    void ButtonReleased(const QPoint& global, Qt::MouseButton button);
    void KeyPressed(QKeyEvent* event);
    void WheelTurned(const QPoint& global, int rows);
    void BoxClosedByToolkit();

    void HideAll();
    void Finish(TuiMenuItemsEx* chosenLevel, int chosenRow);

    TuiMenuEx FMenu;
    QFont FItemFont;
    std::vector<std::unique_ptr<TuiMenuBox>> FBoxes; // one per depth, kept for later showings
    std::vector<Level> FOpen;
    QRect FTargetRect;
    int FKeyDepth = 0;
    TuiMenuItemsEx* FPressedLevel = nullptr;
    int FPressedRow = -1;
    bool FHiding = false;
    ClosedHandler FClosed;
};

} // namespace bv::gui
