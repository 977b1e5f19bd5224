#include "toolkit/function_menu.h"

#include "toolkit/translation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>

namespace bv::gui {

namespace {

constexpr int kTopPadding = 2; // of the 5 extra pixels of a level; the rest lies below the rows
constexpr int kCheckColumn = 26;
constexpr int kExtenderColumn = 22;

void resetOtherLevels(TuiMenuItemsEx& items, const TuiMenuItemsEx* keep)
{
    if (&items != keep)
        items.ItemIndex = -1;
    for (int i = 0; i < items.Count(); ++i)
        resetOtherLevels(items.Items(i)->SubItems(), keep);
}

QRect screenFor(const QRect& target)
{
    QScreen* screen = QGuiApplication::screenAt(target.center());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

QPoint PlaceMenuPopup(const QRect& target, const QSize& popup, const QRect& screen, MenuPlacement placement)
{
    QPoint at;
    switch (placement) {
    case MenuPlacement::Right:
        at = QPoint(target.x() + target.width(), target.y());
        break;
    case MenuPlacement::RightCenter:
        at = QPoint(target.x() + target.width(), target.y() + (target.height() - popup.height()) / 2);
        break;
    case MenuPlacement::Bottom:
        at = QPoint(target.x(), target.y() + target.height());
        break;
    }
    if (target.x() + target.width() + popup.width() >= screen.x() + screen.width())
        at += QPoint(-target.width(), 20);
    // The shift alone can leave a wide pop-up (or one beside a low control) partly off the
    // screen, where its rows could not be reached.
    at.setX(std::max(screen.x(), std::min(at.x(), screen.x() + screen.width() - popup.width())));
    at.setY(std::max(screen.y(), std::min(at.y(), screen.y() + screen.height() - popup.height())));
    return at;
}

// ---- TuiMenuBox -------------------------------------------------------------------------------

TuiMenuBox::TuiMenuBox(FunctionMenu& menu)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
    , FMenu(menu)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    resize(100, 0);
}

QRect TuiMenuBox::RowRect(int row) const
{
    return QRect(FMargins.Left, FMargins.Top + kTopPadding + row * FRowHeight - FScroll,
        width() - FMargins.Left - FMargins.Right, FRowHeight);
}

int TuiMenuBox::RowAt(const QPoint& local) const
{
    if (!rect().contains(local))
        return -1;
    const int y = local.y() - FMargins.Top - kTopPadding + FScroll;
    if (y < 0 || local.x() < FMargins.Left || local.x() >= width() - FMargins.Right)
        return -1;
    const int row = y / FRowHeight;
    return row < int(FRows.size()) ? row : -1;
}

void TuiMenuBox::ScrollTo(int row)
{
    if (row < 0 || row >= int(FRows.size()))
        return;
    const int viewTop = FMargins.Top + kTopPadding;
    const int viewHeight = std::max(FRowHeight, height() - viewTop - FMargins.Bottom - (5 - kTopPadding));
    const int rowTop = row * FRowHeight;
    if (rowTop < FScroll)
        FScroll = rowTop;
    else if (rowTop + FRowHeight > FScroll + viewHeight)
        FScroll = rowTop + FRowHeight - viewHeight;
}

void TuiMenuBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), FBGFill);
    p.setPen(QPen(FBorderFill, 1));
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    p.setClipRect(rect().adjusted(1, 1, -1, -1));
    p.setFont(FMenu.RowFont());

    for (int i = 0; i < int(FRows.size()); ++i) {
        const TuiMenuBoxItem& row = FRows[std::size_t(i)];
        const QRect r = RowRect(i).adjusted(2, 1, -2, -1);
        if (!r.intersects(rect()))
            continue;
        const bool selected = row.IsSelected && FParams.MenuShowSelectedState;
        if (selected)
            p.fillRect(r, FItemDownFill);
        else if (i == FHoverRow)
            p.fillRect(r, FItemOverFill);
        if (i == FHoverRow) {
            p.fillRect(QRect(r.left(), r.top(), 3, r.height()), FBorderFill);
        }

        const bool check
            = (row.IsSelected && FParams.MenuShowSelectedCheckMark) || (row.IsChecked && FParams.ItemShowCheck);
        if (check) {
            const QPointF c(r.left() + kCheckColumn / 2.0 + 1, r.center().y() + 0.5);
            QPainterPath mark;
            mark.moveTo(c + QPointF(-5, 0));
            mark.lineTo(c + QPointF(-1.5, 3.5));
            mark.lineTo(c + QPointF(5, -4));
            p.setPen(QPen(FItemCheckFill, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(mark);
        }
        if (row.IsExtender) {
            const QPointF c(r.right() - kExtenderColumn / 2.0, r.center().y() + 0.5);
            QPainterPath chevron;
            chevron.moveTo(c + QPointF(-2.5, -5));
            chevron.lineTo(c + QPointF(2.5, 0));
            chevron.lineTo(c + QPointF(-2.5, 5));
            p.setPen(QPen(
                i == FHoverRow ? FItemFontFill : FItemExtenderFill, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(chevron);
        }
        const QRect textRect = r.adjusted(kCheckColumn + 2, 0, -kExtenderColumn, 0);
        p.setPen(FItemFontFill);
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
            p.fontMetrics().elidedText(row.Text, Qt::ElideRight, textRect.width()));
    }
}

void TuiMenuBox::mouseMoveEvent(QMouseEvent* e)
{
    FMenu.PointerMoved(e->globalPosition().toPoint());
}

void TuiMenuBox::mousePressEvent(QMouseEvent* e)
{
    // Not the base class: its pop-up handling would close only this level.
    e->accept();
    if (FMenu.FTargetRect.contains(e->globalPosition().toPoint()))
        setAttribute(Qt::WA_NoMouseReplay); // a click on the menu's own control only closes it
    FMenu.ButtonPressed(e->globalPosition().toPoint(), e->button());
}

void TuiMenuBox::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    FMenu.ButtonReleased(e->globalPosition().toPoint(), e->button());
}

void TuiMenuBox::wheelEvent(QWheelEvent* e)
{
    e->accept();
    FMenu.WheelTurned(e->globalPosition().toPoint(), e->angleDelta().y() > 0 ? -1 : 1);
}

void TuiMenuBox::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    FMenu.KeyPressed(e);
}

void TuiMenuBox::closeEvent(QCloseEvent* e)
{
    e->accept();
    if (!FMenu.FHiding)
        FMenu.BoxClosedByToolkit();
}

// ---- FunctionMenu -----------------------------------------------------------------------------

FunctionMenu::FunctionMenu(QObject* parent)
    : QObject(parent)
{
}

FunctionMenu::~FunctionMenu()
{
    FClosed = nullptr;
    HideAll();
    // A click handler may delete the menu while one of its pop-ups is still in its event handler.
    for (auto& box : FBoxes)
        box.release()->deleteLater();
}

QFont FunctionMenu::RowFont() const
{
    if (FMenu.UseCustomMenuParams)
        return FItemFont;
    // The window's font and size, so that a menu without its own parameters looks like the rest.
    QFont font = QApplication::font();
    QStringList families { QStringLiteral("楷体_GB2312") };
    families << font.families();
    font.setFamilies(families);
    font.setBold(true);
    return font;
}

TuiMenuBox* FunctionMenu::OpenLevel(int depth) const
{
    return depth >= 0 && depth < int(FOpen.size()) ? FOpen[std::size_t(depth)].Box : nullptr;
}

void FunctionMenu::ShowMainMenu(std::int64_t selectedMenuID, QWidget* target, MenuPlacement placement)
{
    TuiMenuEx::SetSelectedMenuID(selectedMenuID);
    ShowMainMenu(target, placement);
}

void FunctionMenu::ShowMainMenu(QWidget* target, MenuPlacement placement)
{
    if (IsShown())
        CloseMenu();
    if (target == nullptr)
        return;
    FTargetRect = QRect(target->mapToGlobal(QPoint(0, 0)), target->size());
    FKeyDepth = 0;
    FPressedLevel = nullptr;
    FPressedRow = -1;
    ShowLevel(0, FMenu.Items(), FTargetRect, placement);
}

void FunctionMenu::Popup(QWidget* target, std::optional<std::int64_t> selectedMenuID, ClosedHandler closed)
{
    if (IsShown())
        CloseMenu();
    if (selectedMenuID)
        TuiMenuEx::SetSelectedMenuID(*selectedMenuID);
    ShowMainMenu(target, MenuPlacement::RightCenter);
    if (IsShown())
        FClosed = std::move(closed);
    else if (closed)
        closed(std::nullopt);
}

void FunctionMenu::ShowLevel(int depth, TuiMenuItemsEx& items, const QRect& target, MenuPlacement placement)
{
    while (int(FBoxes.size()) <= depth)
        FBoxes.push_back(std::make_unique<TuiMenuBox>(*this));
    TuiMenuBox& box = *FBoxes[std::size_t(depth)];

    const TMenuParams* params = MenuLevelParams(items);
    box.FParams = params ? *params : TMenuParams {};
    box.FMargins = params ? params->BGMargins : TMenuMargins {};
    box.FRowHeight = MenuRowHeight(items);
    box.FRows.resize(std::size_t(items.Count()));
    box.FScroll = 0;
    box.FHoverRow = -1;

    const QFontMetrics metrics(RowFont());
    int widest = 0;
    for (int i = 0; i < items.Count(); ++i) {
        const TuiMenuItemEx& item = *items.Items(i);
        TuiMenuBoxItem& row = box.FRows[std::size_t(i)];
        row.Text = Tr(item.Caption);
        row.ItemID = item.ItemID;
        row.IsExtender = item.HasSubItems();
        row.IsChecked = item.Checked;
        row.IsSelected = false;
        // Every caption is measured: the one with most characters is not always the widest.
        widest = std::max(widest, metrics.horizontalAdvance(row.Text));
    }

    const QRect screen = screenFor(target);
    const QSize size(
        MenuLevelWidth(items, widest), MenuLevelHeight(items, box.FRowHeight * items.Count(), screen.height()));
    box.resize(size);

    FOpen.resize(std::size_t(depth));
    FOpen.push_back({ &items, &box });
    SelectRow(depth, PreselectedRow(items, TuiMenuEx::SelectedMenuID()));

    box.move(PlaceMenuPopup(target, size, screen, placement));
    box.setAttribute(Qt::WA_NoMouseReplay, false);
    box.show();
    box.raise();
}

void FunctionMenu::CloseLevelsBelow(int depth)
{
    FHiding = true;
    while (int(FOpen.size()) > depth + 1) {
        FOpen.back().Box->hide();
        FOpen.pop_back();
    }
    FHiding = false;
    FKeyDepth = std::min(FKeyDepth, depth);
}

void FunctionMenu::SelectRow(int depth, int row)
{
    const Level& level = FOpen[std::size_t(depth)];
    TuiMenuBox& box = *level.Box;
    if (row < 0 || row >= int(box.FRows.size()))
        return;
    for (TuiMenuBoxItem& r : box.FRows)
        r.IsSelected = false;
    box.ScrollTo(row);
    box.FRows[std::size_t(row)].IsSelected = !box.FRows[std::size_t(row)].IsExtender;
    level.Items->ItemIndex = row;
    box.update();
}

std::pair<int, int> FunctionMenu::HitTest(const QPoint& global) const
{
    for (int d = int(FOpen.size()) - 1; d >= 0; --d) {
        const TuiMenuBox* box = FOpen[std::size_t(d)].Box;
        if (box->geometry().contains(global))
            return { d, box->RowAt(box->mapFromGlobal(global)) };
    }
    return { -1, -1 };
}

void FunctionMenu::PointerMoved(const QPoint& global)
{
    const auto [depth, row] = HitTest(global);
    if (depth < 0)
        return;
    TuiMenuBox& box = *FOpen[std::size_t(depth)].Box;
    if (row == box.FHoverRow)
        return;
    box.FHoverRow = row;
    box.update();
    if (row < 0)
        return;
    CloseLevelsBelow(depth);
    TuiMenuItemEx* item = FOpen[std::size_t(depth)].Items->Items(row);
    if (item != nullptr && item->HasSubItems()) {
        const QRect rowRect(box.mapToGlobal(box.RowRect(row).topLeft()), box.RowRect(row).size());
        ShowLevel(depth + 1, item->SubItems(), rowRect, MenuPlacement::Right);
    } else {
        FKeyDepth = depth;
    }
}

void FunctionMenu::ButtonPressed(const QPoint& global, Qt::MouseButton button)
{
    const auto [depth, row] = HitTest(global);
    if (depth < 0) {
        CloseMenu(); // a click outside the pop-ups
        return;
    }
    if (button != Qt::LeftButton || row < 0)
        return;
    FPressedLevel = FOpen[std::size_t(depth)].Items;
    FPressedRow = row;
    SelectRow(depth, row);
}

void FunctionMenu::ButtonReleased(const QPoint& global, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    const auto [depth, row] = HitTest(global);
    if (depth < 0 || row < 0)
        return;
    TuiMenuItemsEx* level = FOpen[std::size_t(depth)].Items;
    const TuiMenuItemEx* item = level->Items(row);
    if (item == nullptr || item->HasSubItems())
        return; // its sub-menu is open from hovering
    const bool sameRow = level == FPressedLevel && row == FPressedRow;
    Finish(level, sameRow ? row : -1);
}

void FunctionMenu::KeyPressed(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        CloseMenu();
        return;
    }
    if (FOpen.empty())
        return;
    const int depth = std::clamp(FKeyDepth, 0, int(FOpen.size()) - 1);
    const TuiMenuBox& box = *FOpen[std::size_t(depth)].Box;
    const int count = int(box.FRows.size());
    if (count == 0)
        return;
    const int current = FOpen[std::size_t(depth)].Items->ItemIndex;
    int next = -1;
    switch (event->key()) {
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = count - 1;
        break;
    case Qt::Key_Up:
    case Qt::Key_Left:
        next = std::max(current - 1, 0);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        next = std::min(current + 1, count - 1);
        break;
    default: {
        const QString text = event->text();
        if (text.isEmpty() || !text.at(0).isPrint())
            return;
        for (int i = 0; i < count && next < 0; ++i)
            if (box.FRows[std::size_t(i)].Text.startsWith(text.at(0), Qt::CaseInsensitive))
                next = i;
    }
    }
    SelectRow(depth, next);
}

void FunctionMenu::WheelTurned(const QPoint& global, int rows)
{
    const auto [depth, row] = HitTest(global);
    Q_UNUSED(row);
    if (depth < 0)
        return;
    TuiMenuBox& box = *FOpen[std::size_t(depth)].Box;
    const int content = box.FRowHeight * int(box.FRows.size());
    const int view = box.height() - box.FMargins.Top - box.FMargins.Bottom - 5;
    box.FScroll = std::clamp(box.FScroll + rows * box.FRowHeight, 0, std::max(0, content - view));
    box.update();
}

void FunctionMenu::BoxClosedByToolkit()
{
    CloseMenu();
}

void FunctionMenu::HideAll()
{
    FHiding = true;
    while (!FOpen.empty()) {
        FOpen.back().Box->hide();
        FOpen.pop_back();
    }
    FHiding = false;
    FPressedLevel = nullptr;
    FPressedRow = -1;
}

void FunctionMenu::CloseMenu()
{
    if (!IsShown())
        return;
    Finish(nullptr, -1);
}

void FunctionMenu::Finish(TuiMenuItemsEx* chosenLevel, int chosenRow)
{
    HideAll();
    if (chosenLevel != nullptr)
        resetOtherLevels(FMenu.Items(), chosenLevel);

    ClosedHandler closed = std::move(FClosed);
    FClosed = nullptr;
    QPointer<FunctionMenu> alive(this);
    emit Closed();
    std::optional<std::uint32_t> chosen;
    if (alive && chosenLevel != nullptr && chosenRow >= 0) {
        if (TuiMenuItemEx* item = chosenLevel->Items(chosenRow)) {
            chosen = item->ItemID;
            FMenu.ItemClick(*item); // may rebuild the collection: the item is not used afterwards
            if (alive)
                emit ItemChosen(*chosen);
        }
    }
    if (closed)
        closed(chosen);
}

bool FunctionMenu::ChooseItem(std::uint32_t itemID)
{
    TuiMenuItemEx* item = FMenu.FindItem(itemID);
    if (item == nullptr)
        return false;
    TuiMenuItemsEx& level = item->Collection();
    const int row = level.IndexOfID(itemID);
    level.ItemIndex = row;
    if (!IsShown()) {
        resetOtherLevels(FMenu.Items(), &level);
        QPointer<FunctionMenu> alive(this);
        FMenu.ItemClick(*item);
        if (alive)
            emit ItemChosen(itemID);
        return true;
    }
    Finish(&level, row);
    return true;
}

} // namespace bv::gui
