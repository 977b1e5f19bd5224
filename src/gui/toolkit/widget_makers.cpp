#include "toolkit/widget_makers.h"

#include "toolkit/caption_button.h"
#include "toolkit/translation.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace bv::gui {

CaptionButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& style, QRect place)
{
    auto* b = new CaptionButton(parent, style);
    b->setObjectName(name);
    if (!caption.isEmpty())
        SetSourceText(b, caption);
    b->setGeometry(place);
    return b;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect place, const char* role)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setProperty("bvRole", role);
    // No remembered source, so a language switch keeps whatever the caller shows.
    if (!caption.isEmpty())
        SetSourceText(l, caption);
    l->setGeometry(place);
    return l;
}

QLabel* MakeFontLabel(
    QWidget* parent, const char* name, const QString& caption, QRect place, int pointSize, bool bold, const char* role)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    l->setFont(f);
    l->setWordWrap(true);
    if (role)
        l->setProperty("bvRole", role);
    SetSourceText(l, caption);
    l->setGeometry(place);
    return l;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, QRect place)
{
    auto* c = new QCheckBox(parent);
    c->setObjectName(name);
    c->setCursor(Qt::PointingHandCursor);
    c->setFocusPolicy(Qt::NoFocus);
    SetSourceText(c, caption);
    c->setGeometry(place);
    return c;
}

QRadioButton* MakeRadio(QWidget* parent, QButtonGroup* group, const char* name, const QString& caption, QRect place)
{
    auto* r = new QRadioButton(parent);
    r->setObjectName(name);
    r->setCursor(Qt::PointingHandCursor);
    r->setFocusPolicy(Qt::NoFocus);
    SetSourceText(r, caption);
    r->setGeometry(place);
    group->addButton(r);
    return r;
}

QWidget* MakeRule(QWidget* parent, QRect place, const char* name)
{
    auto* r = new QWidget(parent);
    if (name)
        r->setObjectName(name);
    r->setProperty("bvRole", "rule");
    r->setGeometry(place);
    return r;
}

QLabel* MakeBanner(QWidget* parent, QRect place)
{
    QLabel* banner = MakeLabel(parent, "LabelBanner", {}, place, "banner");
    banner->setText(QStringLiteral("BRISVANE <span style='color:#E0202A'>GAMING</span>"));
    return banner;
}

void MakeDialogBanner(QWidget* dialog, int width, const char* ruleName)
{
    MakeBanner(dialog, QRect(24, 14, 300, 26));
    MakeRule(dialog, QRect(24, 46, width, 1), ruleName);
}

OkCancelButtons MakeOkCancel(QWidget* parent, const char* okName, const char* cancelName, QPoint okAt, EnterKey enter)
{
    const QSize size(112, 34);
    OkCancelButtons b;
    b.Ok = MakeButton(parent, okName, "OK", "MyPrimaryBtn", QRect(okAt, size));
    b.Cancel
        = MakeButton(parent, cancelName, "CANCEL", "MyBottomBtn", QRect(okAt + QPoint(size.width() + 12, 0), size));
    if (enter == EnterKey::LeftToDialog) {
        b.Ok->setAutoDefault(false);
        b.Cancel->setAutoDefault(false);
    }
    return b;
}

} // namespace bv::gui
