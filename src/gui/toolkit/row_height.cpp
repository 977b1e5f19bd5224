#include "toolkit/row_height.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

namespace bv::gui {

namespace {

class FixedRowHeight final : public QStyledItemDelegate {
public:
    FixedRowHeight(int pixels, QObject* parent)
        : QStyledItemDelegate(parent)
        , FPixels(pixels)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(FPixels);
        return size;
    }

private:
    int FPixels;
};

} // namespace

void SetRowHeight(QAbstractItemView* view, int pixels)
{
    view->setItemDelegate(new FixedRowHeight(pixels, view));
}

} // namespace bv::gui
