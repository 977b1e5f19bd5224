// The controls of the main window, their names, default captions and places.

#include "mainwindow/MainConfig.h"

#include "mainwindow/slot_leaders.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/language_box.h"
#include "toolkit/number_box.h"
#include "toolkit/picture.h"
#include "toolkit/track_bar.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

namespace bv::gui {

namespace {

constexpr QSize kWindowSize(801, 638);

QRadioButton* radio(QWidget* parent, QButtonGroup* group, const char* name, const QString& caption, QRect place)
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

NumberBox* numberBox(QWidget* parent, const char* name, int tag, QRect place)
{
    auto* n = new NumberBox(parent);
    n->setObjectName(name);
    n->setProperty("tag", tag);
    n->SetLimits(100, 3500, 100);
    n->setGeometry(place);
    return n;
}

TrackBar* trackBar(QWidget* parent, const char* name, int minimum, int maximum, int step, QRect place)
{
    auto* t = new TrackBar(parent);
    t->setObjectName(name);
    t->SetLimits(minimum, maximum, step);
    t->setGeometry(place);
    return t;
}

} // namespace

void TBrisvaneCfgMain::CreateControls()
{
    setObjectName("BrisvaneCfgMain");
    CreateTopBar();
    CreateLeftArea();
    CreateBottomBar();

    TabControlMain = new QTabWidget(this);
    TabControlMain->setObjectName("TabControlMain");
    TabControlMain->setGeometry(458, 64, 326, 510);
    TabControlMain->setFocusPolicy(Qt::NoFocus);
    TabControlMain->tabBar()->setExpanding(true);
    TabGeneral = new QWidget;
    TabGeneral->setObjectName("TabGeneral");
    TabLight = new QWidget;
    TabLight->setObjectName("TabLight");
    TabAdvanced = new QWidget;
    TabAdvanced->setObjectName("TabAdvanced");
    TabControlMain->addTab(TabGeneral, QString());
    TabControlMain->addTab(TabLight, QString());
    TabControlMain->addTab(TabAdvanced, QString());
    SetSourceTabText(TabControlMain, 0, "General");
    SetSourceTabText(TabControlMain, 1, "Light");
    SetSourceTabText(TabControlMain, 2, "Advanced");
    CreateGeneralTab();
    CreateLightTab();
    CreateAdvancedTab();

    FDoubleClickTimer = new QTimer(this);
    FDoubleClickTimer->setSingleShot(true);
    FDoubleClickTimer->setInterval(150);
    connect(FDoubleClickTimer, &QTimer::timeout, this, &TBrisvaneCfgMain::FlushDoubleClickTime);
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(500);
}

void TBrisvaneCfgMain::CreateTopBar()
{
    auto* logo = new SvgPicture(":/images/logo.svg", this);
    logo->setObjectName("ImageLogo");
    logo->setGeometry(18, 11, 30, 30);

    FAppTitle = MakeLabel(this, "LabelAppTitle", "Brisvane Gaming Mouse Config", QRect(58, 10, 420, 32), "title");

    PopBoxLanguage = new LanguageBox(this);
    PopBoxLanguage->setObjectName("PopBoxLanguage");
    PopBoxLanguage->setCursor(Qt::PointingHandCursor);
    PopBoxLanguage->setFocusPolicy(Qt::NoFocus);
    PopBoxLanguage->setGeometry(548, 13, 132, 26);

    BSBTNHELP = MakeButton(this, "BSBTNHELP", {}, "MyTitleBtn", QRect(690, 12, 28, 28));
    BSBTNHELP->setIcon(QIcon(":/images/help.svg"));
    BSBTNMIN = MakeButton(this, "BSBTNMIN", {}, "MyTitleBtn", QRect(722, 12, 28, 28));
    BSBTNMIN->setIcon(QIcon(":/images/minimize.svg"));
    BtnClose = MakeButton(this, "BtnClose", {}, "MyCloseBtn", QRect(754, 12, 28, 28));
    BtnClose->setIcon(QIcon(":/images/close.svg"));
    for (auto* b : { BSBTNHELP, BSBTNMIN, BtnClose })
        b->setIconSize(QSize(14, 14));

    MakeRule(this, QRect(1, 52, kWindowSize.width() - 2, 1));
}

void TBrisvaneCfgMain::CreateLeftArea()
{
    BSBTNMODE1 = MakeButton(this, "BSBTNMODE1", "Mode 1", "MyMODEBtn", QRect(24, 66, 100, 30));
    BSBTNMODE2 = MakeButton(this, "BSBTNMODE2", "Mode 2", "MyMODEBtn", QRect(130, 66, 100, 30));
    BSBTNMODE1->setProperty("tag", 0);
    BSBTNMODE2->setProperty("tag", 1);
    BtnLoadProfile = MakeButton(this, "BtnLoadProfile", "PRESET", "MyPresetBtn", QRect(338, 66, 100, 30));

    // The mouse, seen from above, with its nine slots around it.
    const QRect mouse(151, 114, 160, 320);
    ImageMouse = new SvgPicture(":/images/mouse.svg", this);
    ImageMouse->setObjectName("ImageMouse");
    ImageMouse->setGeometry(mouse);

    FSlotLeaders = new SlotLeaders(this);
    FSlotLeaders->setGeometry(0, 56, 456, 470);

    struct SlotPlace {
        CaptionButton** Control;
        const char* Name;
        const char* Caption;
        bool Left;
        int CentreY;
        QPoint Anchor; // in the picture's own coordinates
    };
    const SlotPlace places[] = {
        { &BtnSet1, "BtnSet1", "1.Default", true, 136, { 50, 58 } },
        { &BtnSet8, "BtnSet8", "8.Default", true, 186, { 80, 44 } },
        { &BtnSet6, "BtnSet6", "6.Default", true, 236, { 80, 104 } },
        { &BtnSet4, "BtnSet4", "4.Default", true, 286, { 12, 146 } },
        { &BtnSet5, "BtnSet5", "5.Default", true, 336, { 11, 186 } },
        { &BtnSet2, "BtnSet2", "2.Default", false, 136, { 110, 58 } },
        { &BtnSet3, "BtnSet3", "3.Default", false, 186, { 80, 62 } },
        { &Btnset9, "Btnset9", "9.Default", false, 236, { 80, 80 } },
        { &BtnSet7, "BtnSet7", "7.Default", false, 286, { 80, 124 } },
    };
    for (const SlotPlace& s : places) {
        const QRect place(s.Left ? 16 : 326, s.CentreY - 15, 120, 30);
        *s.Control = MakeButton(this, s.Name, s.Caption, "MySlotBtn", place);
        FSlotLeaders->AddLeader(*s.Control, mouse.topLeft() + s.Anchor - FSlotLeaders->pos());
    }
    CaptionButton* const buttons[] = { BtnSet1, BtnSet2, BtnSet3, BtnSet4, BtnSet5, BtnSet6, BtnSet7 };
    for (int i = 0; i < 7; ++i)
        buttons[i]->setProperty("tag", i);
    BtnSet8->setProperty("tag", 0);
    Btnset9->setProperty("tag", 1);

    MakeRule(this, QRect(24, 472, 414, 1));
    CaptionButton** profiles[] = { &BtnProfile1, &BtnProfile2, &BtnProfile3, &BtnProfile4, &BtnProfile5 };
    FProfileButtons = new QButtonGroup(this);
    FProfileButtons->setExclusive(true);
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "BtnProfile" + QByteArray::number(i + 1);
        *profiles[i] = MakeButton(this, name.constData(), "PROFILE" + QString::number(i + 1), "MyProfileBtn",
            QRect(24 + i * 84, 490, 78, 40));
        (*profiles[i])->SetStaysPressed(true);
        (*profiles[i])->setProperty("tag", i);
        FProfileButtons->addButton(*profiles[i], i);
    }
}

void TBrisvaneCfgMain::CreateBottomBar()
{
    MakeRule(this, QRect(1, 582, kWindowSize.width() - 2, 1));
    BSBTNRESTOREDEFAULTS
        = MakeButton(this, "BSBTNRESTOREDEFAULTS", "Reset All", "MyBottomBtn", QRect(24, 594, 120, 32));
    APPLYAniIndicator = new BusyIndicator(this);
    APPLYAniIndicator->setObjectName("APPLYAniIndicator");
    APPLYAniIndicator->setGeometry(470, 596, 28, 28);
    BSBTNOK = MakeButton(this, "BSBTNOK", "OK", "MyPrimaryBtn", QRect(508, 594, 88, 32));
    BSBTNCANCEL = MakeButton(this, "BSBTNCANCEL", "Cancel", "MyBottomBtn", QRect(602, 594, 88, 32));
    BSBTNAPPLY = MakeButton(this, "BSBTNAPPLY", "Apply", "MyBottomBtn", QRect(696, 594, 88, 32));
}

void TBrisvaneCfgMain::CreateGeneralTab()
{
    QWidget* t = TabGeneral;
    MakeLabel(t, "LabelDPILevel", "DPI Level", QRect(14, 14, 96, 20));
    MakeLabel(t, "LabelXAxis", "X-Axis", QRect(118, 14, 92, 20));
    MakeLabel(t, "LabelYAxis", "Y-Axis", QRect(214, 14, 92, 20));

    CaptionButton** levels[] = { &DPI1, &dpi2, &DPI3, &DPI4 };
    const char* levelNames[] = { "DPI1", "dpi2", "DPI3", "DPI4" };
    NumberBox** xs[] = { &X1, &X2, &X3, &X4 };
    NumberBox** ys[] = { &Y1, &Y2, &Y3, &Y4 };
    NumberBox** xys[] = { &XY1, &XY2, &XY3, &XY4 };
    const char* xNames[] = { "X1", "X2", "X3", "X4" };
    const char* yNames[] = { "Y1", "Y2", "Y3", "Y4" };
    const char* xyNames[] = { "XY1", "XY2", "XY3", "XY4" };
    for (int i = 0; i < 4; ++i) {
        const int y = 40 + i * 42;
        *levels[i] = MakeButton(t, levelNames[i], "DPI" + QString::number(i + 1), "MyDPIBtnA", QRect(14, y, 94, 30));
        (*levels[i])->SetStaysPressed(true);
        (*levels[i])->setProperty("tag", i);
        *xs[i] = numberBox(t, xNames[i], i, QRect(118, y, 88, 30));
        *ys[i] = numberBox(t, yNames[i], i, QRect(214, y, 88, 30));
        *xys[i] = numberBox(t, xyNames[i], i, QRect(118, y, 184, 30));
        (*xys[i])->hide();
    }

    CHKApplyDiffirentXY = MakeCheck(t, "CHKApplyDiffirentXY", "Diffirent X/Y setting", QRect(14, 214, 190, 24));
    CHKApplyDiffirentXY->setChecked(true);
    CHKApplyAccelaration = MakeCheck(t, "CHKApplyAccelaration", "Accelaration", QRect(14, 242, 190, 24));
    BSBTNSENSDEFAULTS = MakeButton(t, "BSBTNSENSDEFAULTS", "Defaults", "MyBottomBtn", QRect(214, 224, 88, 30));

    MakeRule(t, QRect(14, 284, 288, 1));
    MakeLabel(t, "LabelReportRate", "Mouse Report Rate", QRect(14, 298, 288, 20));
    REPORTRATERADIO = new QButtonGroup(t);
    REPORTRATERADIO->setObjectName("REPORTRATERADIO");
    RD125HZ = radio(t, REPORTRATERADIO, "RD125HZ", "125Hz", QRect(14, 328, 130, 24));
    RD250HZ = radio(t, REPORTRATERADIO, "RD250HZ", "250Hz", QRect(160, 328, 130, 24));
    RD500HZ = radio(t, REPORTRATERADIO, "RD500HZ", "500Hz", QRect(14, 358, 130, 24));
    RD1000HZ = radio(t, REPORTRATERADIO, "RD1000HZ", "1000Hz", QRect(160, 358, 130, 24));
}

void TBrisvaneCfgMain::CreateLightTab()
{
    QWidget* t = TabLight;
    MakeLabel(t, "LabelBreathingState", "Breathing State", QRect(14, 14, 288, 20));
    LIGHTSSPEEDGROUPRADIO = new QButtonGroup(t);
    LIGHTSSPEEDGROUPRADIO->setObjectName("LIGHTSSPEEDGROUPRADIO");
    rlow = radio(t, LIGHTSSPEEDGROUPRADIO, "rlow", "Low Speed", QRect(14, 44, 140, 24));
    rMedium = radio(t, LIGHTSSPEEDGROUPRADIO, "rMedium", "Medium Speed", QRect(160, 44, 140, 24));
    rHigh = radio(t, LIGHTSSPEEDGROUPRADIO, "rHigh", "High Speed", QRect(14, 74, 140, 24));
    rClose = radio(t, LIGHTSSPEEDGROUPRADIO, "rClose", "Closed", QRect(160, 74, 140, 24));

    MakeRule(t, QRect(14, 114, 288, 1));
    MakeLabel(t, "LabelBreathingColor", "Breathing Color", QRect(14, 128, 288, 20));
    static constexpr std::uint32_t kSwatches[6]
        = { 0xFFFF0000, 0xFFFFFF00, 0xFF00FF00, 0xFF006060, 0xFFFF00FF, 0xFF0000FF };
    PictureBox** swatches[] = { &C1, &C2, &C3, &C4, &C5, &C6 };
    for (int i = 0; i < 6; ++i) {
        FLight_Colors[i].Color = kSwatches[i];
        FLight_Colors[i].Picture = MakeColourPicture(QColor::fromRgba(kSwatches[i]), QSize(40, 40));
        auto* c = new PictureBox(t);
        c->setObjectName("C" + QString::number(i + 1));
        c->setProperty("tag", i);
        c->setCursor(Qt::PointingHandCursor);
        c->SetPicture(FLight_Colors[i].Picture);
        c->setGeometry(14 + i * 48, 158, 42, 42);
        *swatches[i] = c;
    }

    MakeRule(t, QRect(14, 222, 288, 1));
    MakeLabel(t, "LabelCurrentLightColor", "Current light color", QRect(14, 258, 180, 20));
    ImageLightColor = new PictureBox(t);
    ImageLightColor->setObjectName("ImageLightColor");
    ImageLightColor->setGeometry(206, 236, 64, 64);

    BSBTNADVDEFAULTS = MakeButton(t, "BSBTNADVDEFAULTS", "Defaults", "MyBottomBtn", QRect(214, 436, 88, 30));
}

void TBrisvaneCfgMain::CreateAdvancedTab()
{
    QWidget* t = TabAdvanced;
    MakeLabel(t, "LabelDoubleClickSpeed", "Double Click Speed", QRect(14, 14, 288, 20));
    TrackBarDoubleClickSpeed = trackBar(t, "TrackBarDoubleClickSpeed", 200, 900, 10, QRect(14, 40, 288, 24));

    MakeLabel(t, "LabelPointerSpeed", "Pointer Speed", QRect(14, 80, 288, 20));
    TrackBarPointerSpeed = trackBar(t, "TrackBarPointerSpeed", 1, 20, 1, QRect(14, 106, 288, 24));
    CHKENHANCEPOINTER = MakeCheck(t, "CHKENHANCEPOINTER", "Enhance pointer precision", QRect(14, 138, 288, 24));

    MakeRule(t, QRect(14, 176, 288, 1));
    SCROLLSPEEDGROUP = new QButtonGroup(t);
    SCROLLSPEEDGROUP->setObjectName("SCROLLSPEEDGROUP");
    RDSCROLL = radio(t, SCROLLSPEEDGROUP, "RDSCROLL", "Scroll Speed", QRect(14, 190, 288, 24));
    TRACKBARSCROLLSPEED = trackBar(t, "TRACKBARSCROLLSPEED", 1, 10, 1, QRect(36, 218, 266, 24));
    RDSCROLLONEPAGE = radio(t, SCROLLSPEEDGROUP, "RDSCROLLONEPAGE", "Scroll for one page", QRect(14, 248, 288, 24));

    MakeRule(t, QRect(14, 286, 288, 1));
    MakeLabel(t, "LabelTestArea", "Test area", QRect(14, 298, 288, 20));
    auto* testArea = new QWidget(t);
    testArea->setObjectName("ListTestArea");
    testArea->setProperty("bvRole", "well");
    testArea->setGeometry(14, 324, 288, 144);
    imageTest = new SvgPicture(":/images/test_target.svg", testArea);
    imageTest->setObjectName("imageTest");
    imageTest->setCursor(Qt::PointingHandCursor);
    imageTest->setGeometry(96, 24, 96, 96);
}

} // namespace bv::gui
