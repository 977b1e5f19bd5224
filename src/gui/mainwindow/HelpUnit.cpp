#include "mainwindow/HelpUnit.h"

#include "toolkit/caption_button.h"
#include "toolkit/images.h"
#include "toolkit/screen_cursors.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"

#include <QIcon>
#include <QLabel>
#include <QMouseEvent>

namespace bv::gui {

namespace {

// The web address is the same in every language.
QLabel* fixedLabel(QWidget* parent, const char* name, const QString& text, QRect where, int pointSize)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setPointSize(pointSize);
    l->setFont(f);
    l->setWordWrap(true);
    l->setProperty("bvRole", "muted");
    l->setGeometry(where);
    return l;
}

CaptionButton* openButton(QWidget* parent, const char* name, QRect where)
{
    return MakeButton(parent, name, "OPEN", "MyBottomBtn", where);
}

} // namespace

THelpForm::THelpForm(QWidget* parent, std::function<void()> openManual, std::function<void(const QString&)> openAddress)
    : FramelessDialog(QSize(574, 638), parent)
    , FOpenManual(std::move(openManual))
    , FOpenAddress(std::move(openAddress))
{
    setObjectName("HelpForm");
    setWindowTitle(QStringLiteral("Brisvane"));

    MakeBanner(this, QRect(32, 22, 400, 30));
    BtnClose = MakeButton(this, "BtnClose", {}, "MyCloseBtn", QRect(534, 12, 28, 28));
    BtnClose->setIcon(ProgramIcon("close"));
    BtnClose->setIconSize(QSize(14, 14));
    BtnClose->setFocusPolicy(Qt::NoFocus);
    connect(BtnClose, &QPushButton::clicked, this, &THelpForm::reject);

    LabelVersionInfo = MakeFontLabel(this, "LabelVersionInfo", "Version Info", QRect(32, 84, 500, 28), 14, true);
    LabelHardware = MakeFontLabel(this, "LabelHardware", "Hardware Core: 1.00.00", QRect(48, 118, 480, 24), 11);
    LabelSoftware = MakeFontLabel(this, "LabelSoftware", "Software Core: 1.00.00", QRect(48, 144, 480, 24), 11);

    LabelHelpInfo = MakeFontLabel(this, "LabelHelpInfo", "Help Info", QRect(32, 196, 500, 28), 14, true);
    LabelHelp = MakeFontLabel(this, "LabelHelp", "Help:", QRect(48, 236, 90, 30), 11);
    LabelManual = MakeFontLabel(this, "LabelManual", "user manual", QRect(140, 236, 260, 30), 11);
    bsbtnopen1 = openButton(this, "bsbtnopen1", QRect(430, 234, 96, 32));
    bsbtnopen1->setEnabled(bool(FOpenManual));
    connect(bsbtnopen1, &QPushButton::clicked, this, [this] {
        if (FOpenManual)
            FOpenManual();
    });

    LabelWeb = MakeFontLabel(this, "LabelWeb", "Web:", QRect(48, 280, 90, 30), 11);
    LabelWebAddress
        = fixedLabel(this, "LabelWebAddress", QString::fromLatin1(kProductWebAddress), QRect(140, 280, 280, 30), 11);
    bsbtnweb = openButton(this, "bsbtnweb", QRect(430, 278, 96, 32));
    connect(bsbtnweb, &QPushButton::clicked, this, [this] {
        if (FOpenAddress)
            FOpenAddress(LabelWebAddress->text());
    });

    LabelProduct = MakeFontLabel(
        this, "LabelProduct", "Brisvane wired optical gaming mouse", QRect(32, 360, 510, 28), 11, false, "muted");
    LabelFeatures = MakeFontLabel(
        this, "LabelFeatures", "7 buttons · 100–3500 CPI · 125–1000 Hz", QRect(32, 388, 510, 28), 11, false, "muted");
    LabelContact = MakeFontLabel(
        this, "LabelContact", "Support: see the web address above.", QRect(32, 440, 510, 56), 11, false, "muted");

    ApplyScreenCursors(this);
}

void THelpForm::mousePressEvent(QMouseEvent* event)
{
    // The background closes the window; the buttons take their own clicks.
    if (event->button() == Qt::LeftButton)
        accept();
}

void THelpForm::showEvent(QShowEvent* event)
{
    CentreOnParent();
    FramelessDialog::showEvent(event);
}

} // namespace bv::gui
