// The main window's start-up, language, monitor messages and close paths.

#include "gui_fixture.h"

#include "platform/locale.h"

#include "device/udev_rule.h"
#include "keys/uiStdCmd.h"
#include "platform_scoped_env_qt.h"

#include "device/config_image.h"
#include "dialogs/dialogmessage.h"
#include "mainwindow/button_captions.h"
#include "settings/record_text.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/glow.h"
#include "toolkit/language_box.h"
#include "toolkit/number_box.h"
#include "toolkit/picture.h"
#include "toolkit/track_bar.h"
#include "toolkit/translation.h"

#include <QCheckBox>
#include <QProcess>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <fstream>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

namespace {

// A current profile that differs from the factory values in every panel.
void MakeDistinctiveProfile(TDM& dm)
{
    TMOUSECONFIGINFO& c = dm.CurrentProfileInfo().ConfigInfo;
    const std::uint16_t xs[4] = { 500, 1200, 2000, 3500 };
    const std::uint16_t ys[4] = { 600, 1300, 2000, 3400 };
    for (int i = 0; i < 4; ++i) {
        c.CPIState[i].X = xs[i];
        c.CPIState[i].Y = ys[i];
        c.CPIState[i].State = 1;
    }
    c.CPIState[2].State = 0;
    c.CPIState[3].State = 5; // anything but 0 counts as enabled
    c.ApplyDiffirentXY = 1;
    c.ApplyAccelaration = 0;
    c.ReportRate = 500;
    c.LEDConfig.R = 0;
    c.LEDConfig.G = 96;
    c.LEDConfig.B = 96;
    c.LEDConfig.BRIGHT_LEVEL = 3;
    c.LEDConfig.BREATH_SPEED = 3;
    c.VWheelSpeed = 20;
    c.DoubleClickSpeed = 300;
    c.PointerSpeed = 7;
    c.PointerAcceleration = 1;

    TBUTTONFUNCINFO& combo = c.ButtonFuncInfo[3];
    combo.MenuID = 7;
    combo.nMenuRow = 6;
    combo.ComboKey = { 0x41, 0, 0x70, 0, std::uint16_t(kModifierCtrl | kModifierShift) }; // Ctrl+Shift+A, then F1
    TBUTTONFUNCINFO& macro = c.ButtonFuncInfo[4];
    macro.MenuID = kMacroMenuIDBase + 1;
    macro.nMenuRow = kMacroMenuRow;
    macro.MacroKeyInfo.nMacroIndex = 1;
    c.VWheelButtonFuncInfo[1].MenuID = 3; // Volume +
    dm.SaveBackToCurrentProfileInfo();
}

QString Caption(QWidget* w)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    return {};
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramLook(); }
    void startUpFillsEveryPanelFromTheCurrentProfile();
    void factoryProfileShowsItsFunctionsAndTheSelectedLevel();
    void controlsHaveTheirNamesCaptionsAndPlaces();
    void withoutTheMouseOneDialogThenTheEnd();
    void withoutTheMouseTheDialogSpeaksTheStoredLanguage();
    void aMouseThisUserMayNotOpenIsNamedWithWhatToDo();
    void languageSwitchRetranslatesStoresAndTellsTheMonitor();
    void storeFailureOfTheLanguageIsReported();
    void monitorMessagesReachTheWindow();
    void monitorIsRaisedOrStartedOnlyWhenItExists();
    void closePathsStoreNothingAndAskNothing();
};

void MainWindowTest::startUpFillsEveryPanelFromTheCurrentProfile()
{
    WindowRig rig;
    MakeDistinctiveProfile(*rig.dm);
    const auto w = rig.Start();

    QVERIFY(!w->IsTerminating());
    QVERIFY(rig.dialogs.Calls.empty());
    QVERIFY(!w->Initialising());
    QVERIFY(!w->SettingsChanged);
    QCOMPARE(Control<QTabWidget>(w, "TabControlMain")->currentWidget(), Control<QWidget>(w, "TabGeneral"));
    QCOMPARE(w->Buttons().CurrentMacro(), 0);

    // Sensitivity.
    const int xs[4] = { 500, 1200, 2000, 3500 }, ys[4] = { 600, 1300, 2000, 3400 };
    for (int i = 0; i < 4; ++i) {
        const TCPILevelControls& row = w->Sensitivity().CPILevelControls()[i];
        QCOMPARE(row.X->value(), xs[i]);
        QCOMPARE(row.Y->value(), ys[i]);
        QCOMPARE(row.X->isEnabled(), i != 2);
        QCOMPARE(row.Y->isEnabled(), i != 2);
        QVERIFY(w->Sensitivity().CPINumberBoxes()[i].XY->isHidden());
    }
    QCOMPARE(Control<CaptionButton>(w, "DPI1")->StyleName(), QString("MyDPIBtnA"));
    QCOMPARE(Control<CaptionButton>(w, "DPI3")->StyleName(), QString("MyDPIBtn"));
    // A damaged State of 5 shows as enabled, as the mouse gets it, and stays as stored.
    QCOMPARE(Control<CaptionButton>(w, "DPI4")->StyleName(), QString("MyDPIBtnA"));
    QVERIFY(!Control<CaptionButton>(w, "DPI4")->isChecked());
    QVERIFY(Control<CaptionButton>(w, "DPI3")->isChecked());
    const TMOUSECONFIGINFO& c = rig.dm->CurrentProfileInfo().ConfigInfo;
    QCOMPARE(int(c.CPIState[3].State), 5);
    QVERIFY(Control<QCheckBox>(w, "CHKApplyDiffirentXY")->isChecked());
    QVERIFY(!Control<QCheckBox>(w, "CHKApplyAccelaration")->isChecked());
    QVERIFY(Control<QRadioButton>(w, "RD500HZ")->isChecked());

    // Light: swatch C4 is shown and sent to the mouse.
    QVERIFY(Control<QRadioButton>(w, "rHigh")->isChecked());
    QCOMPARE(Control<PictureBox>(w, "ImageLightColor")->Picture().cacheKey(),
        w->Light().LightColours()[3].Picture.cacheKey());
    QVERIFY(Control<PictureBox>(w, "C4")->IsRinged());
    const VirtualMouseState mouse = rig.mouse->state();
    QVERIFY(mouse.previewShown);
    TLightBlock expected {};
    EncodeLightBlock(c.LEDConfig, expected);
    QVERIFY(std::equal(mouse.preview.begin(), mouse.preview.end(), expected.begin()));
    QVERIFY(!mouse.bracketOpen);

    // Windows mouse settings.
    QVERIFY(Control<QRadioButton>(w, "RDSCROLLONEPAGE")->isChecked());
    QVERIFY(!Control<TrackBar>(w, "TRACKBARSCROLLSPEED")->isEnabled());
    QCOMPARE(Control<TrackBar>(w, "TrackBarDoubleClickSpeed")->Value(), 800);
    QCOMPARE(Control<TrackBar>(w, "TrackBarPointerSpeed")->Value(), 7);
    QVERIFY(Control<QCheckBox>(w, "CHKENHANCEPOINTER")->isChecked());
    QCOMPARE(w->SystemMouseParams.PointerSpeed, 7);
    QCOMPARE(w->SystemMouseParams.WheelLines, 20);
    QCOMPARE(w->SystemMouseParams.AccelerationIndex, 1);

    // Slots.
    QCOMPARE(Control<CaptionButton>(w, "BtnSet4")->text(), QString("<Ctrl+Shi..."));
    QCOMPARE(Control<CaptionButton>(w, "BtnSet5")->text(), QString("Macro #2"));
    QCOMPARE(Control<CaptionButton>(w, "Btnset9")->text(), QString("Volume +"));

    // Profiles and modes.
    QCOMPARE(Control<CaptionButton>(w, "BSBTNMODE1")->StyleName(), QString("MyMODEBtnA"));
    QCOMPARE(Control<CaptionButton>(w, "BSBTNMODE2")->StyleName(), QString("MyMODEBtn"));
    for (int k = 0; k < 5; ++k)
        QCOMPARE(w->Profiles().ProfileButtons()[k]->isChecked(), k == rig.dm->ProfileIndex());

    // Folders of the current profile.
    const TPROFILESETTING& where = rig.dm->ProfileSettingGroup().ProfileSettingList[rig.dm->ProfileIndex()];
    QCOMPARE(w->ProfilePath(), RecordText(where.FilePath));
    QCOMPARE(w->Buttons().MacroPath(), RecordText(where.MacroPath));
    QVERIFY(!w->ProfilePath().empty());
}

void MainWindowTest::factoryProfileShowsItsFunctionsAndTheSelectedLevel()
{
    WindowRig rig;
    rig.dm->SwitchToProfileGroup(1); // mode 2 and its profile
    const auto w = rig.Start();

    const QStringList captions = { "Click", "Right Click", "Middle Button", "Forward", "Backward", "DPI +", "DPI -" };
    for (int s = 0; s < 7; ++s)
        QCOMPARE(w->Buttons().ConfigButtonSet()[s]->text(), captions[s]);
    for (int s = 7; s < 10; ++s)
        QVERIFY(!w->Buttons().ConfigButtonSet()[s]);
    QCOMPARE(Control<CaptionButton>(w, "BtnSet8")->text(), QString("Wheel Up"));
    QCOMPARE(Control<CaptionButton>(w, "Btnset9")->text(), QString("Wheel Down"));

    // Level index 1 (DPI2) glows, and no other.
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(IsGlowing(w->Sensitivity().CPINumberBoxes()[i].X), i == 1);
        QCOMPARE(IsGlowing(w->Sensitivity().CPINumberBoxes()[i].Y), i == 1);
    }
    QCOMPARE(Control<CaptionButton>(w, "BSBTNMODE2")->StyleName(), QString("MyMODEBtnA"));
    QVERIFY(w->Profiles().ProfileButtons()[rig.dm->ProfileIndex()]->isChecked());

    // Each factory colour is one of the swatches; the macro menu holds only the manager.
    const TLEDCONFIG& led = rig.dm->CurrentProfileInfo().ConfigInfo.LEDConfig;
    const std::uint32_t argb = 0xFF000000u | led.R << 16 | led.G << 8 | led.B;
    int swatch = -1;
    for (int k = 0; k < 6; ++k)
        if (w->Light().LightColours()[k].Color == argb)
            swatch = k;
    QVERIFY(swatch >= 0);
    QCOMPARE(Control<PictureBox>(w, "ImageLightColor")->Picture().cacheKey(),
        w->Light().LightColours()[swatch].Picture.cacheKey());
    QCOMPARE(int(w->uiMenuEx1.Items()[kMacroMenuPosition - 1].SubItems.size()), 1);

    // The refresh commands, in order; SetLED has no handler.
    const char* names[] = { "SetButton", "SetCPI", "SetMouseParam", "SetProfileBtn", "SetReport", "SetLED" };
    QCOMPARE(w->uiCommandSetting1.Commands().Count(), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(QString::fromStdString(w->uiCommandSetting1.Commands().Items(i)->Name()), QString(names[i]));
        QCOMPARE(bool(w->uiCommandSetting1.Commands().Items(i)->OnExecute), i < 5);
    }
}

void MainWindowTest::controlsHaveTheirNamesCaptionsAndPlaces()
{
    WindowRig rig;
    const auto w = rig.Start();
    QCOMPARE(w->size(), QSize(801, 638));
    QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w->windowTitle(), QString("Brisvane_CONFIG_EX"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QString("Brisvane Gaming Mouse Config"));

    enum Area { Top, Left, Bottom, General, Light, Advanced };
    struct Expect {
        const char* Name;
        const char* Caption; // default caption; nullptr: none
        Area Where;
    };
    const Expect table[] = {
        { "PopBoxLanguage", nullptr, Top },
        { "BSBTNHELP", nullptr, Top },
        { "BSBTNMIN", nullptr, Top },
        { "BtnClose", nullptr, Top },
        { "BtnSet1", nullptr, Left },
        { "BtnSet2", nullptr, Left },
        { "BtnSet3", nullptr, Left },
        { "BtnSet4", nullptr, Left },
        { "BtnSet5", nullptr, Left },
        { "BtnSet6", nullptr, Left },
        { "BtnSet7", nullptr, Left },
        { "BtnSet8", nullptr, Left },
        { "Btnset9", nullptr, Left },
        { "BSBTNMODE1", "Mode 1", Left },
        { "BSBTNMODE2", "Mode 2", Left },
        { "BtnLoadProfile", "PRESET", Left },
        { "BtnProfile1", "PROFILE1", Left },
        { "BtnProfile2", "PROFILE2", Left },
        { "BtnProfile3", "PROFILE3", Left },
        { "BtnProfile4", "PROFILE4", Left },
        { "BtnProfile5", "PROFILE5", Left },
        { "BSBTNAPPLY", "Apply", Bottom },
        { "BSBTNCANCEL", "Cancel", Bottom },
        { "BSBTNOK", "OK", Bottom },
        { "BSBTNRESTOREDEFAULTS", "Reset All", Bottom },
        { "APPLYAniIndicator", nullptr, Bottom },
        { "DPI1", "DPI1", General },
        { "dpi2", "DPI2", General },
        { "DPI3", "DPI3", General },
        { "DPI4", "DPI4", General },
        { "X1", nullptr, General },
        { "Y4", nullptr, General },
        { "XY2", nullptr, General },
        { "CHKApplyDiffirentXY", "Diffirent X/Y setting", General },
        { "CHKApplyAccelaration", "Accelaration", General },
        { "BSBTNSENSDEFAULTS", "Defaults", General },
        { "RD125HZ", "125Hz", General },
        { "RD250HZ", "250Hz", General },
        { "RD500HZ", "500Hz", General },
        { "RD1000HZ", "1000Hz", General },
        { "rlow", "Low Speed", Light },
        { "rMedium", "Medium Speed", Light },
        { "rHigh", "High Speed", Light },
        { "rClose", "Closed", Light },
        { "C1", nullptr, Light },
        { "C6", nullptr, Light },
        { "ImageLightColor", nullptr, Light },
        { "BSBTNADVDEFAULTS", "Defaults", Light },
        { "TrackBarDoubleClickSpeed", nullptr, Advanced },
        { "TrackBarPointerSpeed", nullptr, Advanced },
        { "CHKENHANCEPOINTER", "Enhance pointer precision", Advanced },
        { "RDSCROLL", "Scroll Speed", Advanced },
        { "TRACKBARSCROLLSPEED", nullptr, Advanced },
        { "RDSCROLLONEPAGE", "Scroll for one page", Advanced },
        { "imageTest", nullptr, Advanced },
    };
    QWidget* const tabs[]
        = { Control<QWidget>(w, "TabGeneral"), Control<QWidget>(w, "TabLight"), Control<QWidget>(w, "TabAdvanced") };
    for (const Expect& e : table) {
        auto* control = w->findChild<QWidget*>(e.Name);
        QVERIFY2(control, e.Name);
        if (e.Caption) {
            QCOMPARE(SourceText(control), QString(e.Caption));
            QCOMPARE(Caption(control), QString(e.Caption));
        }
        const QRect r(control->mapTo(w.get(), QPoint(0, 0)), control->size());
        switch (e.Where) {
        case Top:
            QVERIFY2(r.bottom() < 52, e.Name);
            break;
        case Left:
            QVERIFY2(r.top() > 52 && r.bottom() < 582 && r.right() < 456, e.Name);
            break;
        case Bottom:
            QVERIFY2(r.top() > 582, e.Name);
            break;
        default:
            QVERIFY2(tabs[e.Where - General]->isAncestorOf(control), e.Name);
            break;
        }
        QVERIFY2(w->rect().contains(r), e.Name);
    }
    QCOMPARE(Control<QTabWidget>(w, "TabControlMain")->count(), 3);
    QCOMPARE(Control<QTabWidget>(w, "TabControlMain")->tabText(0), QString("General"));
    QCOMPARE(Control<QTabWidget>(w, "TabControlMain")->tabText(1), QString("Light"));
    QCOMPARE(Control<QTabWidget>(w, "TabControlMain")->tabText(2), QString("Advanced"));
    QVERIFY(!Control<BusyIndicator>(w, "APPLYAniIndicator")->isVisible()
        && !Control<BusyIndicator>(w, "APPLYAniIndicator")->IsRunning());
    QVERIFY(!Control<QTimer>(w, "Timer2")->isActive());
    QCOMPARE(Control<QTimer>(w, "Timer2")->interval(), 500);
    QCOMPARE(w->uiMenuEx1ItemFont.families().value(0), QString("Tahoma"));
}

void MainWindowTest::withoutTheMouseOneDialogThenTheEnd()
{
    WindowRig rig(0, false);
    const auto w = rig.Start();
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Title, QString("No Device Found!"));
    QCOMPARE(rig.dialogs.Calls[0].Text, QString("Please connect your mouse device!"));
    QVERIFY(rig.dialogs.Calls[0].SecondLine.isEmpty());
    QCOMPARE(rig.terminations, 1);
    QVERIFY(w->IsTerminating());
    QVERIFY(!w->isVisible());
    QVERIFY(rig.started.empty()); // no monitor is started
    QCOMPARE(rig.mouse->transferCount(), std::uint64_t(0));

    // Cancel ends it just the same.
    WindowRig again(0, false);
    again.dialogs.Answers = { kMessageCancel };
    const auto w2 = again.Start();
    QCOMPARE(again.terminations, 1);
    QCOMPARE(int(again.dialogs.Calls.size()), 1);
}

void MainWindowTest::withoutTheMouseTheDialogSpeaksTheStoredLanguage()
{
    WindowRig rig(1, false);
    const auto w = rig.Start();
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Title, QString::fromUtf8("未找到设备！"));
    QCOMPARE(rig.dialogs.Calls[0].Text, QString::fromUtf8("请连接鼠标！"));
}

void MainWindowTest::aMouseThisUserMayNotOpenIsNamedWithWhatToDo()
{
    // Traditional Chinese: the node and the rule's path are filled into the translated sentences.
    WindowRig rig(2, false);
    auto env = rig.Environment();
    platform::HidNodeAccess node { "/dev/hidraw5", true, EACCES, {} };
    env.WhyMouseDenied = [node]() -> std::optional<std::pair<util::UserText, util::UserText>> {
        return std::make_pair(
            DeniedMouseText(node), DeniedMouseAdvice(std::filesystem::path("/usr/lib/udev/rules.d/70-bvconfig.rules")));
    };
    const auto w = std::make_unique<TBrisvaneCfgMain>(std::move(env));
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Title, QString::fromUtf8("沒有使用滑鼠的權限"));
    QCOMPARE(rig.dialogs.Calls[0].Text, QString::fromUtf8("目前的使用者無法開啟滑鼠裝置 /dev/hidraw5。"));
    QCOMPARE(rig.dialogs.Calls[0].SecondLine,
        QString::fromUtf8("udev 規則已安裝（/usr/lib/udev/rules.d/70-bvconfig.rules）。請拔下滑鼠後重新插上。"));
    QCOMPARE(rig.terminations, 1);

    // Without a denied node it is the plain "not found".
    WindowRig plain(0, false);
    auto env2 = plain.Environment();
    env2.WhyMouseDenied = [] { return std::optional<std::pair<util::UserText, util::UserText>>(); };
    const auto w2 = std::make_unique<TBrisvaneCfgMain>(std::move(env2));
    QCOMPARE(plain.dialogs.Calls[0].Title, QString("No Device Found!"));
}

void MainWindowTest::languageSwitchRetranslatesStoresAndTellsTheMonitor()
{
    bv::test::TempDir runtime;
    ScopedEnvQt env("XDG_RUNTIME_DIR", runtime.str());
    std::vector<platform::WindowMessage> heard;
    platform::MessageEndpoint fakeMonitor(
        platform::kMonitorWindowClass, [&](const platform::WindowMessage& m) { heard.push_back(m); });
    QVERIFY2(fakeMonitor.IsOpen(), fakeMonitor.Error().c_str());
    const auto link = platform::OpenSystemMonitorLink();

    WindowRig rig;
    MainWindowEnvironment e = rig.Environment();
    e.Monitor = link.get();
    TBrisvaneCfgMain w(e);
    QCOMPARE(Control<LanguageBox>(w, "PopBoxLanguage")->count(), 3);
    // Names are the system's own: Windows writes "中文 (简体)", the built-in table "中文(简体)".
    const auto nativeName = [](std::uint16_t langId) {
        for (const auto& l : platform::supportedLocaleLanguages())
            if (l.langId == langId)
                return QString::fromStdString(l.nativeName);
        return QString();
    };
    QVERIFY(nativeName(0x0804).startsWith(QString::fromUtf8("中文")));
    QCOMPARE(Control<LanguageBox>(w, "PopBoxLanguage")->itemText(1), nativeName(0x0804));
    // The size the caption is drawn at, once the style sheet has had its say.
    const auto profileCaptionSize = [&w] {
        w.ensurePolished();
        return Control<CaptionButton>(w, "BtnProfile1")->font().pointSize();
    };
    QCOMPARE(profileCaptionSize(), 11);

    // Another open window follows the switch too.
    TFrmMessageDialog other;
    other.show();

    const auto shownTitle = [&w] {
        // Only a real display shows the title the platform made (run under Xvfb by ctest).
        QProcess xprop;
        xprop.start("xprop", { "-id", QString::number(w.winId()), "_NET_WM_NAME" });
        xprop.waitForFinished();
        return QString::fromUtf8(xprop.readAllStandardOutput());
    };
    const bool x11 = QGuiApplication::platformName() == "xcb";
    if (x11)
        QVERIFY2(shownTitle().contains("Brisvane Gaming Mouse Config"), qPrintable(shownTitle()));

    Control<LanguageBox>(w, "PopBoxLanguage")->setCurrentIndex(1);
    QCOMPARE(Control<CaptionButton>(w, "BSBTNAPPLY")->text(), QString::fromUtf8("应用"));
    // The standard dialogs speak it too.
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QString::fromUtf8("打开"));
    if (x11)
        QTRY_VERIFY2(shownTitle().contains(Tr("Brisvane Gaming Mouse Config")), qPrintable(shownTitle()));
    QCOMPARE(Control<QTabWidget>(w, "TabControlMain")->tabText(0), QString::fromUtf8("常规"));
    QCOMPARE(Control<CaptionButton>(w, "BtnSet1")->text(), QString::fromUtf8("左键"));
    QCOMPARE(Control<CaptionButton>(w, "BtnSet8")->text(), QString::fromUtf8("滚轮向上"));
    QCOMPARE(other.BTNCANCEL->text(), QString::fromUtf8("取消"));
    QCOMPARE(profileCaptionSize(), 10);
    QCOMPARE(QGuiApplication::applicationDisplayName(), Tr("Brisvane Gaming Mouse Config"));
    QVERIFY(QGuiApplication::applicationDisplayName() != QString("Brisvane Gaming Mouse Config"));
    QVERIFY(w.SettingsChanged);
    QVERIFY(w.uiMenuEx1ItemFont.families().value(0) != QString("Tahoma"));
    QCOMPARE(rig.dm->AllProfileSettingInfo().CurrentLanguage, 1);

    // Stored at once: a fresh start on the same registry finds it.
    {
        DMEnvironment again;
        again.Registry = rig.registry.get();
        again.DocumentsFolder = (rig.home / "Documents").string();
        again.ProgramFolder = BuildFolder().string();
        again.OSDefaultLang = "0409";
        TDM fresh(again);
        fresh.DataModuleCreate();
        QCOMPARE(fresh.AllProfileSettingInfo().CurrentLanguage, 1);
    }

    Control<LanguageBox>(w, "PopBoxLanguage")->setCurrentIndex(2);
    QCOMPARE(Control<CaptionButton>(w, "BSBTNAPPLY")->text(), QString::fromUtf8("套用"));
    Control<LanguageBox>(w, "PopBoxLanguage")->setCurrentIndex(0);
    QCOMPARE(Control<CaptionButton>(w, "BSBTNAPPLY")->text(), QString("Apply"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QString("Open"));
    QCOMPARE(Control<CaptionButton>(w, "BtnSet1")->text(), QString("Click"));
    QCOMPARE(other.BTNCANCEL->text(), QString("CANCEL"));
    QCOMPARE(profileCaptionSize(), 11);
    QCOMPARE(w.uiMenuEx1ItemFont.families().value(0), QString("Tahoma"));

    fakeMonitor.Dispatch();
    const std::vector<platform::WindowMessage> expected = { { platform::MSG_LANGUAGE_CHANGED, 1, 0 },
        { platform::MSG_LANGUAGE_CHANGED, 2, 0 }, { platform::MSG_LANGUAGE_CHANGED, 0, 0 } };
    QVERIFY(heard == expected);

    // Keys never change the language.
    QTest::keyClick(Control<LanguageBox>(w, "PopBoxLanguage"), Qt::Key_Down);
    QCOMPARE(Control<LanguageBox>(w, "PopBoxLanguage")->currentIndex(), 0);
}

// A registry whose writes fail, as a full disk or a read-only home would make them.
class FailingRegistry final : public platform::Registry {
public:
    explicit FailingRegistry(platform::Registry& inner)
        : FInner(inner)
    {
    }
    bool Fail = false;
    bool keyExists(platform::RootKey r, const std::string& k) const override { return FInner.keyExists(r, k); }
    bool createKey(platform::RootKey r, const std::string& k) override { return FInner.createKey(r, k); }
    bool valueExists(platform::RootKey r, const std::string& k, const std::string& n) const override
    {
        return FInner.valueExists(r, k, n);
    }
    std::optional<std::vector<std::uint8_t>> readBinary(
        platform::RootKey r, const std::string& k, const std::string& n) const override
    {
        return FInner.readBinary(r, k, n);
    }
    std::optional<std::uint32_t> readDword(
        platform::RootKey r, const std::string& k, const std::string& n) const override
    {
        return FInner.readDword(r, k, n);
    }
    void writeBinary(
        platform::RootKey r, const std::string& k, const std::string& n, std::span<const std::uint8_t> d) override
    {
        if (Fail)
            throw std::system_error(std::make_error_code(std::errc::no_space_on_device), "writing " + n);
        FInner.writeBinary(r, k, n, d);
    }
    void writeDword(platform::RootKey r, const std::string& k, const std::string& n, std::uint32_t v) override
    {
        if (Fail)
            throw std::system_error(std::make_error_code(std::errc::no_space_on_device), "writing " + n);
        FInner.writeDword(r, k, n, v);
    }

private:
    platform::Registry& FInner;
};

void MainWindowTest::storeFailureOfTheLanguageIsReported()
{
    WindowRig rig;
    FailingRegistry failing(*rig.registry);
    DMEnvironment env;
    env.Registry = &failing;
    env.DocumentsFolder = (rig.home / "Documents").string();
    env.ProgramFolder = BuildFolder().string();
    env.OSDefaultLang = "0409";
    rig.dm = std::make_unique<TDM>(env);
    rig.dm->DataModuleCreate();
    const auto w = rig.Start();

    failing.Fail = true;
    Control<LanguageBox>(w, "PopBoxLanguage")->setCurrentIndex(1);
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Text, Tr("The settings could not be stored."));
    QVERIFY(!rig.dialogs.Calls[0].SecondLine.isEmpty()); // what failed, for the user
    // The switch itself still happens.
    QCOMPARE(Control<CaptionButton>(w, "BSBTNAPPLY")->text(), QString::fromUtf8("应用"));
    Control<LanguageBox>(w, "PopBoxLanguage")->setCurrentIndex(0);
}

void MainWindowTest::monitorMessagesReachTheWindow()
{
    bv::test::TempDir runtime;
    ScopedEnvQt env("XDG_RUNTIME_DIR", runtime.str());
    const auto link = platform::OpenSystemMonitorLink();

    WindowRig rig;
    MainWindowEnvironment e = rig.Environment();
    e.ReceiveMessages = true;
    TBrisvaneCfgMain w(e);
    QVERIFY(w.IsReceivingMessages());

    // The registry holds a changed profile that the window's memory does not know yet.
    TMOUSECONFIGINFO& c = rig.dm->CurrentProfileInfo().ConfigInfo;
    const std::uint16_t shown = c.CPIState[0].X;
    c.CPIState[0].X = 1700;
    rig.dm->SaveBackToCurrentProfileInfo();
    rig.dm->SaveCurrentProfileInfoToRegistry();
    c.CPIState[0].X = shown;
    rig.dm->SaveBackToCurrentProfileInfo();

    QVERIFY(link->Send(platform::kConfigWindowClass, { platform::MSG_RELOAD_PROFILE, 0, 0 }));
    QTRY_COMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.CPIState[0].X), 1700);
    QCOMPARE(Control<NumberBox>(w, "X1")->value(), int(shown)); // the controls wait for the next refresh
    QVERIFY(!w.SettingsChanged);

    // MSG_LANGUAGE_CHANGED applies the language held in memory.
    rig.dm->AllProfileSettingInfo().CurrentLanguage = 2;
    QVERIFY(link->Send(platform::kConfigWindowClass, { platform::MSG_LANGUAGE_CHANGED, 2, 0 }));
    QTRY_COMPARE(Control<CaptionButton>(w, "BSBTNAPPLY")->text(), QString::fromUtf8("套用"));
    QVERIFY(rig.monitor.Sent.empty()); // a received language notice is not echoed

    QVERIFY(link->Send(platform::kConfigWindowClass, { platform::MSG_CLOSE_CONFIG, 0, 0 }));
    QTRY_COMPARE(rig.terminations, 1);
    QVERIFY(w.IsTerminating());

    rig.dm->AllProfileSettingInfo().CurrentLanguage = 0;
    w.ApplyLanguage();
}

void MainWindowTest::monitorIsRaisedOrStartedOnlyWhenItExists()
{
    // Only once the first frame is out, so that the monitor does not compete with it.
    auto shown = [](const std::unique_ptr<TBrisvaneCfgMain>& w) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    };
    {
        WindowRig rig;
        rig.monitor.MonitorRunning = true;
        const auto w = rig.Start();
        QCOMPARE(rig.monitor.Raised, 0);
        shown(w);
        QTRY_COMPARE(rig.monitor.Raised, 1);
        QVERIFY(rig.started.empty());
    }
    {
        WindowRig rig;
        const auto w = rig.Start();
        shown(w);
        QTest::qWait(20);
        QVERIFY(rig.started.empty()); // no monitor program beside the program
    }
    {
        WindowRig rig;
        std::ofstream(rig.home / kMonitorProgramName) << "#!/bin/sh\n";
        const auto w = rig.Start();
        QVERIFY(rig.started.empty());
        shown(w);
        QTRY_COMPARE(int(rig.started.size()), 1);
        QCOMPARE(rig.started[0].first, rig.home / kMonitorProgramName);
        QCOMPARE(rig.started[0].second, rig.home.path());
        QCOMPARE(rig.monitor.Raised, 0);
        w->update();
        QTest::qWait(20);
        QCOMPARE(int(rig.started.size()), 1); // once, not at every paint
    }
}

void MainWindowTest::closePathsStoreNothingAndAskNothing()
{
    {
        WindowRig rig;
        const auto w = rig.Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->SettingsChanged = true;
        QTest::mouseClick(Control<CaptionButton>(w, "BtnClose"), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QVERIFY(rig.dialogs.Calls.empty());
    }
    {
        WindowRig rig;
        const auto w = rig.Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        Control<QTimer>(w, "Timer2")->start();
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(!Control<QTimer>(w, "Timer2")->isActive());
    }
    {
        WindowRig rig;
        const auto w = rig.Start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->uiHIDEvent1DeviceArrival();
        QVERIFY(Control<CaptionButton>(w, "BSBTNAPPLY")->isEnabled());
        QTest::mouseClick(Control<CaptionButton>(w, "BSBTNOK"), Qt::LeftButton);
        QVERIFY(!w->isVisible()); // OK with nothing changed closes at once
    }
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
