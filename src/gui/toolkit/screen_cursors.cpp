#include "toolkit/screen_cursors.h"

#include "toolkit/cursor_file.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <optional>

namespace bv::gui {

namespace {

std::optional<QCursor>& hand()
{
    static std::optional<QCursor> cursor;
    return cursor;
}

std::optional<QCursor>& arrow()
{
    static std::optional<QCursor> cursor;
    return cursor;
}

constexpr const char* kWantsHand = "bvWantsHand";

} // namespace

int ReplaceScreenCursors(const QString& imagesFolder)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    const QDir dir(imagesFolder);
    int replaced = 0;
    if (auto c = LoadCursorFile(dir.filePath("hand.cur"), ratio)) {
        hand() = *c;
        ++replaced;
    }
    if (auto c = LoadCursorFile(dir.filePath("attack.cur"), ratio)) {
        arrow() = *c;
        ++replaced;
    }
    return replaced;
}

QCursor HandCursor()
{
    return hand().value_or(QCursor(Qt::PointingHandCursor));
}

QCursor ArrowCursor()
{
    return arrow().value_or(QCursor(Qt::ArrowCursor));
}

bool IsHandReplaced()
{
    return hand().has_value();
}

bool IsArrowReplaced()
{
    return arrow().has_value();
}

void ApplyScreenCursors(QWidget* window)
{
    window->setCursor(ArrowCursor());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // Remember which controls asked for the hand before their cursor is replaced.
        if (w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::PointingHandCursor)
            w->setProperty(kWantsHand, true);
        if (w->property(kWantsHand).toBool())
            w->setCursor(HandCursor());
    }
}

} // namespace bv::gui
