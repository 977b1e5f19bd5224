// Profile and mode buttons, Apply, OK, Cancel and Reset All: what is stored where, and what the
// mouse receives.

#include "gui_fixture.h"

#include "device/config_image.h"
#include "mainwindow/MainConfig.h"
#include "platform/folders.h"
#include "settings/record_text.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/caption_button.h"
#include "toolkit/function_menu.h"
#include "toolkit/track_bar.h"
#include "util/uiThread.h"

#include <QRadioButton>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <fstream>

using namespace bv;
using namespace bv::gui;
using namespace bv::gui::test;

namespace {

constexpr std::uint16_t kSetSelector = 64;
constexpr std::uint16_t kReportRates = 69;

std::unique_ptr<TMOUSEPROFILEINFO> StoredProfile(TDM& dm, int index)
{
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    dm.ReadProfileInfo(*p, index);
    return p;
}

// The report rate of game profile `index` as the registry holds it; 0 when it holds none.
int StoredReportRate(const WindowRig& rig, int index)
{
    const auto bytes = rig.registry->readBinary(
        platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse", "BVProfile" + std::to_string(index + 1) + ".pfd");
    if (!bytes || bytes->size() != sizeof(TMOUSEPROFILEINFO))
        return 0;
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    std::memcpy(static_cast<void*>(p.get()), bytes->data(), sizeof(TMOUSEPROFILEINFO));
    return p->ConfigInfo.ReportRate;
}

std::unique_ptr<TProfileSettingGroup> StoredModes(const WindowRig& rig)
{
    const auto bytes = rig.registry->readBinary(
        platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse", "BVProfileSettingGroup.pfd");
    auto g = std::make_unique<TProfileSettingGroup>();
    std::memset(static_cast<void*>(g.get()), 0, sizeof *g);
    if (bytes)
        std::memcpy(static_cast<void*>(g.get()), bytes->data(), std::min(bytes->size(), sizeof *g));
    return g;
}

bool SameProfile(const TMOUSEPROFILEINFO& a, const TMOUSEPROFILEINFO& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class ProfilesAndApplyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramLook(); }
    void aProfileClickSwitchesAtOnceAndApplyWritesBothModes();
    void modeTwoMakesItsProfileCurrentAndSelectsItsSet();
    void applyWithoutTheMouseStoresEverythingAndWarns();
    void cancelOffersToStoreOnlyAfterChanges();
    void resetAllAsksThenRestoresTheProfile();
    void okAppliesChangesThenCloses();
    void presetLoadsTheFactoryPresetAndProfileFiles();
    void presetSavesTheProfileOrSaysWhyNot();
    void switchingShowsTheNewProfileWithoutChangingIt();
    void applyStoresWhatItCanAndListsWhatFailed();
    void aMouseThatFailsMidwayIsToldAndTheWindowStays();
    void aSwitchTheMouseRefusesIsToldOnce();
    void refusalsAndNotesAreShownTranslated();
    void cancelStoresTheModesToo();
};

void ProfilesAndApplyTest::aProfileClickSwitchesAtOnceAndApplyWritesBothModes()
{
    WindowRig rig;
    rig.monitor.MonitorRunning = true;
    auto w = rig.Start();
    QVERIFY(!w->SettingsChanged);

    Control<CaptionButton>(w, "BtnProfile3")->click();
    QCOMPARE(rig.dm->ProfileIndex(), 2);
    const int mode = rig.dm->ProfileGroupIndex();
    QCOMPARE(rig.dm->ProfileSettingGroup().ProfileIndexOfProfileGroup[mode], 2);
    QVERIFY(Control<CaptionButton>(w, "BtnProfile3")->isChecked());
    VirtualMouseState s = rig.mouse->state();
    QCOMPARE(int(s.memory[kSetSelector]), 2);
    QCOMPARE(int(s.notice[0]), 1);
    QCOMPARE(int(s.notice[1]), 2);
    QVERIFY(s.previewShown);
    QCOMPARE(w->LastChosenProfile(), std::uint8_t(2));
    QVERIFY(std::find(rig.monitor.Sent.begin(), rig.monitor.Sent.end(),
                platform::WindowMessage { platform::MSG_SETTINGS_CHANGED, 1, 2 })
        != rig.monitor.Sent.end());
    QVERIFY(rig.registry->readDword(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse", "ProfileID")
        == std::optional<std::uint32_t>(2));
    // The mouse uses profile 3 now, so the mode keeps that choice at once: a restart shows it.
    QCOMPARE(StoredModes(rig)->ProfileIndexOfProfileGroup[mode], 2);
    QVERIFY(!w->SettingsChanged);

    rig.monitor.Sent.clear();
    Control<CaptionButton>(w, "BSBTNAPPLY")->click();
    s = rig.mouse->state();
    const auto& group = rig.dm->ProfileSettingGroup();
    QVERIFY(MouseHoldsProfile(s, *StoredProfile(*rig.dm, group.ProfileIndexOfProfileGroup[0]), 0));
    QVERIFY(MouseHoldsProfile(s, *StoredProfile(*rig.dm, group.ProfileIndexOfProfileGroup[1]), 1));
    QCOMPARE(int(s.memory[kSetSelector]), mode);
    QCOMPARE(int(s.memory[kReportRates]), 8 * 16 + 8);
    QCOMPARE(int(s.notice[1]), 2); // the notice carries the profile chosen last
    QVERIFY(!s.bracketOpen);
    QCOMPARE(rig.monitor.Sent.back(), (platform::WindowMessage { platform::MSG_SETTINGS_CHANGED, 0, 0 }));
    QVERIFY(!Control<BusyIndicator>(w, "APPLYAniIndicator")->IsRunning());
    QVERIFY(Control<CaptionButton>(w, "BSBTNAPPLY")->isEnabled());
    QVERIFY(!w->SettingsChanged);
    // Apply also keeps all five profiles as files.
    for (int i = 1; i <= 5; ++i)
        QVERIFY(std::filesystem::exists(
            rig.home / "Documents" / "Brisvane Gaming Mouse" / ("BVProfile" + std::to_string(i) + ".pfd")));
}

void ProfilesAndApplyTest::modeTwoMakesItsProfileCurrentAndSelectsItsSet()
{
    WindowRig rig;
    auto w = rig.Start();
    const int modeTwoProfile = rig.dm->ProfileSettingGroup().ProfileIndexOfProfileGroup[1];

    Control<CaptionButton>(w, "BSBTNMODE2")->click();
    QCOMPARE(rig.dm->ProfileGroupIndex(), 1);
    QCOMPARE(rig.dm->ProfileIndex(), modeTwoProfile);
    QVERIFY(w->Profiles().ProfileButtons()[modeTwoProfile]->isChecked());
    QCOMPARE(Control<CaptionButton>(w, "BSBTNMODE2")->StyleName(), QStringLiteral("MyMODEBtnA"));
    QCOMPARE(Control<CaptionButton>(w, "BSBTNMODE1")->StyleName(), QStringLiteral("MyMODEBtn"));
    const VirtualMouseState s = rig.mouse->state();
    QCOMPARE(int(s.memory[kSetSelector]), 1);
    QCOMPARE(int(s.notice[0]), 1);
    QCOMPARE(int(s.notice[1]), 1);
    QVERIFY(!s.bracketOpen);
    QVERIFY(std::find(rig.pauses.begin(), rig.pauses.end(), 100) != rig.pauses.end());
}

void ProfilesAndApplyTest::applyWithoutTheMouseStoresEverythingAndWarns()
{
    WindowRig rig;
    auto w = rig.Start();
    Control<QRadioButton>(w, "RD500HZ")->click();
    QVERIFY(w->SettingsChanged);
    rig.mouse->unplug();

    QVERIFY(!w->ApplySettings());
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(
        rig.dialogs.Calls[0].Text, QStringLiteral("    Please connect your mouse device before apply new settings!"));
    QVERIFY(!w->SettingsChanged);
    QCOMPARE(StoredReportRate(rig, rig.dm->ProfileIndex()), 500);

    w->AskSaveOnCancel();
    QCOMPARE(int(rig.dialogs.Calls.size()), 1); // nothing left to ask about
    // The pending system mouse settings went to the worker all the same.
    TuiThread::WaitForAll();
    QVERIFY(rig.mouseSettings->Requested().PointerSpeed.has_value());

    // What the system refuses is told once the worker is done, not passed over.
    rig.mouseSettings->SpeedAnswer = { platform::SettingStatus::Failed, "the desktop refused 10" };
    w->ApplySettings();
    TuiThread::WaitForAll();
    QTRY_COMPARE(rig.dialogs.Calls.back().Text, QStringLiteral("The system did not take these mouse settings:"));
    QCOMPARE(rig.dialogs.Calls.back().SecondLine, QStringLiteral("pointer speed: the desktop refused 10"));
}

void ProfilesAndApplyTest::cancelOffersToStoreOnlyAfterChanges()
{
    WindowRig rig;
    auto w = rig.Start();
    const std::uint32_t notices = rig.mouse->state().noticeCount;
    w->AskSaveOnCancel();
    QVERIFY(rig.dialogs.Calls.empty());

    Control<QRadioButton>(w, "RD1000HZ")->click();
    rig.dialogs.Answers = { kMessageCancel };
    w->AskSaveOnCancel();
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Text, QStringLiteral("The settings was changed, save the current setting anyway?"));
    QVERIFY(StoredReportRate(rig, rig.dm->ProfileIndex()) != 1000); // CANCEL stores nothing

    rig.dialogs.Answers = { kMessageOK };
    w->AskSaveOnCancel();
    QCOMPARE(StoredReportRate(rig, rig.dm->ProfileIndex()), 1000);
    QCOMPARE(rig.mouse->state().noticeCount, notices); // Cancel never writes the mouse
}

void ProfilesAndApplyTest::resetAllAsksThenRestoresTheProfile()
{
    WindowRig rig;
    auto w = rig.Start();
    Control<QRadioButton>(w, "RD1000HZ")->click();
    w->SettingsChanged = false;

    rig.dialogs.Answers = { kMessageCancel };
    Control<CaptionButton>(w, "BSBTNRESTOREDEFAULTS")->click();
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 1000);
    QVERIFY(!w->SettingsChanged);

    rig.dialogs.Answers = { kMessageOK };
    Control<CaptionButton>(w, "BSBTNRESTOREDEFAULTS")->click();
    QCOMPARE(rig.dialogs.Calls.back().Title, QStringLiteral("Reset This Profile"));
    QCOMPARE(rig.dialogs.Calls.back().SecondLine, QStringLiteral("Reset the current profile back to factory setting."));
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 125);
    QVERIFY(Control<QRadioButton>(w, "RD125HZ")->isChecked());
    QVERIFY(w->SettingsChanged); // so Cancel asks next
}

void ProfilesAndApplyTest::okAppliesChangesThenCloses()
{
    WindowRig rig;
    auto w = rig.Start();
    w->show();
    Control<QRadioButton>(w, "RD250HZ")->click();
    Control<CaptionButton>(w, "BSBTNOK")->click();
    const int rates = rig.mouse->state().memory[kReportRates];
    QCOMPARE(rig.dm->ProfileGroupIndex() == 0 ? rates & 0x0F : rates >> 4, 4); // 250 Hz
    QVERIFY(!w->SettingsChanged);
    QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 2000);
}

namespace {

// Opens PRESET and chooses an item, as a click on it does.
void ChoosePreset(TBrisvaneCfgMain& w, std::uint32_t id)
{
    Control<CaptionButton>(w, "BtnLoadProfile")->click();
    QVERIFY(Control<FunctionMenu>(w, "uiMenuEx3Popup")->IsShown());
    QVERIFY(Control<FunctionMenu>(w, "uiMenuEx3Popup")->ChooseItem(id));
}

void WriteProfile(const std::filesystem::path& file, const TMOUSEPROFILEINFO& profile, std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    std::memcpy(bytes.data(), &profile, std::min(size, sizeof profile));
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(size));
}

} // namespace

void ProfilesAndApplyTest::presetLoadsTheFactoryPresetAndProfileFiles()
{
    WindowRig rig;
    auto w = rig.Start();
    Control<QRadioButton>(w, "RD1000HZ")->click();
    w->SettingsChanged = false;

    ChoosePreset(*w, 1);
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 125);
    QVERIFY(Control<QRadioButton>(w, "RD125HZ")->isChecked());
    QCOMPARE(StoredReportRate(rig, rig.dm->ProfileIndex()), 125);
    // Not yet in the profile's file nor in the mouse: OK must apply it, Cancel must ask.
    QVERIFY(w->SettingsChanged);
    w->SettingsChanged = false;

    // A profile file with its own values becomes the current profile and its new home.
    auto mine = StoredProfile(*rig.dm, rig.dm->ProfileIndex());
    mine->ConfigInfo.ReportRate = 500;
    const auto good = rig.home / "mine.pfd";
    WriteProfile(good, *mine, sizeof *mine);
    const auto shorter = rig.home / "short.pfd";
    WriteProfile(shorter, *mine, sizeof *mine - 1);

    rig.dialogs.OpenFileAnswers = { shorter.string(), std::nullopt, good.string() };
    ChoosePreset(*w, 2);
    ChoosePreset(*w, 2);
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 125); // neither changed anything
    QVERIFY(!w->SettingsChanged);
    ChoosePreset(*w, 2);
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 500);
    QVERIFY(w->SettingsChanged);
    QVERIFY(Control<QRadioButton>(w, "RD500HZ")->isChecked());
    const TPROFILESETTING& where = rig.dm->ProfileSettingGroup().ProfileSettingList[rig.dm->ProfileIndex()];
    QCOMPARE(RecordText(where.FileName), std::string("mine.pfd"));
    QCOMPARE(rig.dialogs.FileDialogFolders.front().back(), platform::kPathSeparator);
    QVERIFY(rig.dialogs.Calls.empty());
}

void ProfilesAndApplyTest::presetSavesTheProfileOrSaysWhyNot()
{
    WindowRig rig;
    auto w = rig.Start();
    Control<QRadioButton>(w, "RD250HZ")->click();
    const auto saved = rig.home / "saved.pfd";
    std::ofstream(rig.home / "a-file") << "x";
    const auto impossible = rig.home / "a-file" / "inside.pfd";
    rig.dialogs.SaveFileAnswers = { saved.string(), impossible.string() };

    ChoosePreset(*w, 3);
    QCOMPARE(std::filesystem::file_size(saved), sizeof(TMOUSEPROFILEINFO));
    auto back = std::make_unique<TMOUSEPROFILEINFO>();
    std::ifstream(saved, std::ios::binary).read(reinterpret_cast<char*>(back.get()), sizeof *back);
    QCOMPARE(int(back->ConfigInfo.ReportRate), 250);
    QVERIFY(rig.dialogs.Calls.empty());

    ChoosePreset(*w, 3);
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Text, QStringLiteral("No permission to save file!please change directory!"));
}

namespace {

struct ShownProfile {
    const char* name;
    void (*set)(TMOUSECONFIGINFO&);
};

// Each is stored in one profile, its opposite in another; switching between them must show each
// exactly as stored.
const std::pair<ShownProfile, ShownProfile> kProfilePairs[] = {
    { { "one page", [](TMOUSECONFIGINFO& c) { c.VWheelSpeed = 20; } },
        { "3 lines", [](TMOUSECONFIGINFO& c) { c.VWheelSpeed = 3; } } },
    { { "light closed",
          [](TMOUSECONFIGINFO& c) {
              c.LEDConfig.BRIGHT_LEVEL = 0;
              c.LEDConfig.BREATH_SPEED = 0;
              c.WheelLedOnOff = 0;
          } },
        { "breathing, wheel light off",
            [](TMOUSECONFIGINFO& c) {
                c.LEDConfig.BRIGHT_LEVEL = 2;
                c.LEDConfig.BREATH_SPEED = 2;
                c.WheelLedOnOff = 0;
            } } },
    { { "level 3 disabled", [](TMOUSECONFIGINFO& c) { c.CPIState[2].State = c.HWCPIState[2].State = 0; } },
        { "every level enabled", [](TMOUSECONFIGINFO&) {} } },
    { { "options on",
          [](TMOUSECONFIGINFO& c) {
              c.ApplyDiffirentXY = 1;
              c.ApplyAccelaration = 1;
              c.PointerAcceleration = 1;
              c.PointerSpeed = 17;
              c.DoubleClickSpeed = 300;
          } },
        { "options off", [](TMOUSECONFIGINFO&) {} } },
};

} // namespace

void ProfilesAndApplyTest::switchingShowsTheNewProfileWithoutChangingIt()
{
    for (const auto& pair : kProfilePairs) {
        for (const bool reversed : { false, true }) {
            const ShownProfile& from = reversed ? pair.second : pair.first;
            const ShownProfile& to = reversed ? pair.first : pair.second;
            const QByteArray what = QByteArray(from.name) + " -> " + to.name;
            WindowRig rig;
            // Start on a third profile whose scroll lines and light differ from both.
            for (int i = 0; i < 3; ++i) {
                auto p = StoredProfile(*rig.dm, i);
                p->ConfigInfo.VWheelSpeed = 9;
                p->ConfigInfo.LEDConfig.BRIGHT_LEVEL = 1;
                p->ConfigInfo.LEDConfig.BREATH_SPEED = 1;
                if (i == 0)
                    from.set(p->ConfigInfo);
                if (i == 1)
                    to.set(p->ConfigInfo);
                rig.dm->SaveBackToProfileInfo(*p, i);
            }
            rig.dm->ProfileSettingGroup().ProfileIndexOfProfileGroup[0] = 2;
            rig.dm->SwitchToProfileGroup(0);
            std::unique_ptr<TMOUSEPROFILEINFO> before[3];
            for (int i = 0; i < 3; ++i)
                before[i] = StoredProfile(*rig.dm, i);
            auto w = rig.Start();

            for (CaptionButton* button : { Control<CaptionButton>(w, "BtnProfile1"),
                     Control<CaptionButton>(w, "BtnProfile2"), Control<CaptionButton>(w, "BtnProfile1") }) {
                button->click();
                QVERIFY2(!w->SettingsChanged, what);
                QVERIFY2(SameProfile(rig.dm->CurrentProfileInfo(), *before[rig.dm->ProfileIndex()]), what);
                for (int i = 0; i < 3; ++i)
                    QVERIFY2(SameProfile(*StoredProfile(*rig.dm, i), *before[i]),
                        what + " profile " + QByteArray::number(i + 1));
                const TMOUSECONFIGINFO& c = rig.dm->CurrentProfileInfo().ConfigInfo;
                for (int level = 0; level < 4; ++level)
                    QCOMPARE(
                        w->Sensitivity().CPILevelControls()[level].Level->isChecked(), c.CPIState[level].State == 0);
                QCOMPARE(Control<QRadioButton>(w, "RDSCROLLONEPAGE")->isChecked(), c.VWheelSpeed >= 20);
                if (c.VWheelSpeed < 20)
                    QCOMPARE(Control<TrackBar>(w, "TRACKBARSCROLLSPEED")->Value(), int(c.VWheelSpeed));
                QCOMPARE(Control<QRadioButton>(w, "rClose")->isChecked(), c.LEDConfig.BRIGHT_LEVEL == 0);
                QCOMPARE(w->SystemMouseParams.WheelLines, int(c.VWheelSpeed));
                QCOMPARE(w->SystemMouseParams.PointerSpeed, int(c.PointerSpeed));
                QCOMPARE(w->SystemMouseParams.AccelerationIndex, int(c.PointerAcceleration));
            }
            // The switch sets the profile's double-click time for the system, as a move of the bar does.
            QTRY_COMPARE(rig.mouseSettings->Requested().DoubleClickTime.value_or(550),
                std::uint32_t(rig.dm->CurrentProfileInfo().ConfigInfo.DoubleClickSpeed));
            // And the next Apply writes the profiles as they were stored.
            Control<CaptionButton>(w, "BSBTNAPPLY")->click();
            for (int i = 0; i < 3; ++i)
                QVERIFY2(SameProfile(*StoredProfile(*rig.dm, i), *before[i]) || i == rig.dm->ProfileIndex(), what);
        }
    }
}

void ProfilesAndApplyTest::applyStoresWhatItCanAndListsWhatFailed()
{
    WindowRig rig;
    auto w = rig.Start();
    w->show();
    Control<QRadioButton>(w, "RD500HZ")->click();
    // The profiles' folder is gone (a stick pulled): their files cannot be written.
    std::filesystem::remove_all(rig.home / "Documents" / "Brisvane Gaming Mouse");

    QVERIFY(!w->ApplySettings());
    QCOMPARE(w->LastApplyOutcome(), TBrisvaneCfgMain::ApplyOutcome::StoreFailed);
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Text, QStringLiteral("The settings could not be stored."));
    const QStringList failed = rig.dialogs.Calls[0].SecondLine.split('\n');
    QCOMPARE(failed.size(), 5);
    for (int i = 0; i < 5; ++i)
        QVERIFY2(failed[i].startsWith(QStringLiteral("Profile %1").arg(i + 1)), qPrintable(failed[i]));
    // What could be stored was: every profile's registry value and the modes; the mouse too.
    QCOMPARE(StoredReportRate(rig, rig.dm->ProfileIndex()), 500);
    QCOMPARE(StoredModes(rig)->CurrentProfileGroup, rig.dm->ProfileGroupIndex());
    QVERIFY(MouseHoldsProfile(rig.mouse->state(), rig.dm->CurrentProfileInfo(), rig.dm->ProfileGroupIndex()));
    // The changes stay marked: OK keeps the window, Cancel asks.
    QVERIFY(w->SettingsChanged);
    Control<CaptionButton>(w, "BSBTNOK")->click();
    QVERIFY(w->isVisible());
    QVERIFY(!Control<QTimer>(w, "Timer2")->isActive());
}

void ProfilesAndApplyTest::aMouseThatFailsMidwayIsToldAndTheWindowStays()
{
    // An Apply of factory profiles is 18 transfers; the mouse goes after the first, the seventh
    // and the seventeenth.
    for (const std::uint64_t after : { 1u, 7u, 17u }) {
        WindowRig rig(1); // Simplified Chinese
        auto w = rig.Start();
        w->show();
        Control<QRadioButton>(w, "RD1000HZ")->click();
        VirtualMouseFaults faults;
        faults.unplugAfter = after;
        rig.mouse->setFaults(faults);

        QVERIFY(w->SettingsChanged);
        Control<CaptionButton>(w, "BSBTNOK")->click();
        QCOMPARE(w->LastApplyOutcome(), TBrisvaneCfgMain::ApplyOutcome::NotTaken);
        QCOMPARE(int(rig.dialogs.Calls.size()), 1);
        QCOMPARE(rig.dialogs.Calls[0].Text, QStringLiteral("鼠标没有接收全部设置。请连接鼠标后再次点击应用。"));
        QVERIFY(!rig.dialogs.Calls[0].SecondLine.isEmpty());
        QVERIFY(w->SettingsChanged);
        QVERIFY(w->isVisible());
        QVERIFY(!Control<QTimer>(w, "Timer2")->isActive());
        QVERIFY(!Control<BusyIndicator>(w, "APPLYAniIndicator")->IsRunning());
        // Stored on the computer all the same.
        QCOMPARE(StoredReportRate(rig, rig.dm->ProfileIndex()), 1000);

        // Plugged in again, Apply is done and says nothing more.
        rig.mouse->plug();
        QVERIFY(w->ApplySettings());
        QCOMPARE(int(rig.dialogs.Calls.size()), 1);
        QVERIFY(!w->SettingsChanged);
    }
}

void ProfilesAndApplyTest::aSwitchTheMouseRefusesIsToldOnce()
{
    WindowRig rig;
    auto w = rig.Start();
    w->show();
    const QString told = QStringLiteral("The mouse did not take all settings. Connect it and press Apply again.");
    VirtualMouseFaults faults;
    faults.failTransfer = 1;

    // A profile switch and a mode switch each tell of a refused transfer; the rest of the
    // sequence still goes out.
    rig.mouse->setFaults(faults);
    Control<CaptionButton>(w, "BtnProfile2")->click();
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Text, told);
    QVERIFY(rig.mouse->state().previewShown);
    Control<CaptionButton>(w, "BtnProfile3")->click(); // goes through
    rig.mouse->setFaults(faults);
    Control<CaptionButton>(w, "BSBTNMODE2")->click();
    QCOMPARE(int(rig.dialogs.Calls.size()), 2);
    QCOMPARE(rig.dialogs.Calls[1].Text, told);

    // Colour previews come one per step: a run of refusals is told once.
    w->PreviewLightOnDevice(); // goes through
    for (int step = 0; step < 3; ++step) {
        rig.mouse->setFaults(faults);
        w->PreviewLightOnDevice();
    }
    QCOMPARE(int(rig.dialogs.Calls.size()), 3);

    // Without the mouse there is nothing to tell: Apply says so, and sends everything then.
    rig.mouse->setFaults({});
    w->PreviewLightOnDevice();
    rig.mouse->unplug();
    Control<CaptionButton>(w, "BtnProfile4")->click();
    Control<CaptionButton>(w, "BSBTNMODE1")->click();
    w->PreviewLightOnDevice();
    QCOMPARE(int(rig.dialogs.Calls.size()), 3);
}

void ProfilesAndApplyTest::refusalsAndNotesAreShownTranslated()
{
    WindowRig rig(2); // Traditional Chinese
    // A damaged breathing speed: sent as the highest, and the user hears of it.
    rig.dm->CurrentProfileInfo().ConfigInfo.LEDConfig.BREATH_SPEED = 202;
    rig.dm->SaveBackToCurrentProfileInfo();
    auto w = rig.Start();
    w->show();
    QVERIFY(w->ApplySettings());
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Text, QStringLiteral("滑鼠已接收設定，但有以下變更："));
    QCOMPARE(
        rig.dialogs.Calls[0].SecondLine, QStringLiteral("模式 1：BREATH_SPEED 為 202，滑鼠無法接受；已改為傳送 3。"));

    // Six macros on buttons: refused before anything is sent, in the window's language, and OK
    // keeps the window so that a macro can be taken off.
    TMOUSEPROFILEINFO& p = rig.dm->CurrentProfileInfo();
    for (int i = 0; i < 6; ++i) {
        TBUTTONFUNCINFO& b = p.ConfigInfo.ButtonFuncInfo[i];
        b.FuncKind = kFuncKindMacro;
        b.DeviceCode = 17;
        b.MacroKeyInfo.nMacroIndex = i + 1;
    }
    rig.dm->SaveBackToCurrentProfileInfo();
    w->SettingsChanged = true;
    const std::uint64_t transfers = rig.mouse->transferCount();
    Control<CaptionButton>(w, "BSBTNOK")->click();
    QCOMPARE(w->LastApplyOutcome(), TBrisvaneCfgMain::ApplyOutcome::Refused);
    QCOMPARE(rig.dialogs.Calls.back().Text,
        QStringLiteral("模式 %1：按鍵使用了 6 個不同的巨集，滑鼠最多只能儲存 5 個。請減少指派的巨集後再次套用。")
            .arg(rig.dm->ProfileGroupIndex() + 1));
    QCOMPARE(rig.mouse->transferCount(), transfers);
    QVERIFY(w->SettingsChanged);
    QVERIFY(w->isVisible());
    QVERIFY(!Control<QTimer>(w, "Timer2")->isActive());
}

void ProfilesAndApplyTest::cancelStoresTheModesToo()
{
    WindowRig rig;
    auto w = rig.Start();
    Control<QRadioButton>(w, "RD250HZ")->click();
    rig.dm->ProfileSettingGroup().ProfileIndexOfProfileGroup[1] = 4;
    rig.dialogs.Answers = { kMessageOK };
    QVERIFY(w->AskSaveOnCancel());
    QCOMPARE(StoredModes(rig)->ProfileIndexOfProfileGroup[1], 4);

    // A store that fails keeps the window and the changes, and says which.
    std::filesystem::remove_all(rig.home / "Documents" / "Brisvane Gaming Mouse");
    rig.dialogs.Answers = { kMessageOK };
    w->show();
    Control<CaptionButton>(w, "BSBTNCANCEL")->click();
    QVERIFY(w->isVisible());
    QCOMPARE(rig.dialogs.Calls.back().Text, QStringLiteral("The settings could not be stored."));
}

QTEST_MAIN(ProfilesAndApplyTest)
#include "profiles_and_apply_test.moc"
