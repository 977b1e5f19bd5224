// Profile and mode buttons, Apply, OK, Cancel and Reset All: what is stored where, and what the
// mouse receives.

#include "gui_fixture.h"

#include "device/config_image.h"
#include "mainwindow/HelpUnit.h"
#include "mainwindow/MainConfig.h"
#include "platform/folders.h"
#include "settings/record_text.h"
#include "toolkit/busy_indicator.h"
#include "toolkit/function_menu.h"
#include "toolkit/caption_button.h"
#include "ui/uiThread.h"

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
    const auto bytes = rig.registry->readBinary(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse",
        "BVProfile" + std::to_string(index + 1) + ".pfd");
    if (!bytes || bytes->size() != sizeof(TMOUSEPROFILEINFO))
        return 0;
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    std::memcpy(static_cast<void*>(p.get()), bytes->data(), sizeof(TMOUSEPROFILEINFO));
    return p->ConfigInfo.ReportRate;
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
    void helpWindowOpensTheWebAddressAndClosesOnItsBackground();
    void presetLoadsTheFactoryPresetAndProfileFiles();
    void presetSavesTheProfileOrSaysWhyNot();
};

void ProfilesAndApplyTest::aProfileClickSwitchesAtOnceAndApplyWritesBothModes()
{
    WindowRig rig;
    rig.monitor.MonitorRunning = true;
    auto w = rig.Start();
    QVERIFY(!w->SettingsChanged);

    w->BtnProfile3->click();
    QCOMPARE(rig.dm->ProfileIndex(), 2);
    const int mode = rig.dm->ProfileGroupIndex();
    QCOMPARE(rig.dm->ProfileSettingGroup().ProfileIndexOfProfileGroup[mode], 2);
    QVERIFY(w->BtnProfile3->isChecked());
    VirtualMouseState s = rig.mouse->state();
    QCOMPARE(int(s.memory[kSetSelector]), 2);
    QCOMPARE(int(s.notice[0]), 1);
    QCOMPARE(int(s.notice[1]), 2);
    QVERIFY(s.previewShown);
    QCOMPARE(w->LastChosenProfile(), std::uint8_t(2));
    QVERIFY(std::find(rig.monitor.Sent.begin(), rig.monitor.Sent.end(),
                platform::WindowMessage{platform::MSG_SETTINGS_CHANGED, 1, 2})
        != rig.monitor.Sent.end());
    QVERIFY(rig.registry->readDword(platform::RootKey::CurrentUser, "software\\BrisvaneGMMouse", "ProfileID")
        == std::optional<std::uint32_t>(2));

    rig.monitor.Sent.clear();
    w->BSBTNAPPLY->click();
    s = rig.mouse->state();
    const auto& group = rig.dm->ProfileSettingGroup();
    QVERIFY(MouseHoldsProfile(s, *StoredProfile(*rig.dm, group.ProfileIndexOfProfileGroup[0]), 0));
    QVERIFY(MouseHoldsProfile(s, *StoredProfile(*rig.dm, group.ProfileIndexOfProfileGroup[1]), 1));
    QCOMPARE(int(s.memory[kSetSelector]), mode);
    QCOMPARE(int(s.memory[kReportRates]), 8 * 16 + 8);
    QCOMPARE(int(s.notice[1]), 2); // the notice carries the profile chosen last
    QVERIFY(!s.bracketOpen);
    QCOMPARE(rig.monitor.Sent.back(), (platform::WindowMessage{platform::MSG_SETTINGS_CHANGED, 0, 0}));
    QVERIFY(!w->APPLYAniIndicator->IsRunning());
    QVERIFY(w->BSBTNAPPLY->isEnabled());
    QVERIFY(!w->SettingsChanged);
    // Apply also keeps all five profiles as files.
    for (int i = 1; i <= 5; ++i)
        QVERIFY(std::filesystem::exists(rig.home / "Documents" / "Brisvane Gaming Mouse" / ("BVProfile" + std::to_string(i) + ".pfd")));
}

void ProfilesAndApplyTest::modeTwoMakesItsProfileCurrentAndSelectsItsSet()
{
    WindowRig rig;
    auto w = rig.Start();
    const int modeTwoProfile = rig.dm->ProfileSettingGroup().ProfileIndexOfProfileGroup[1];

    w->BSBTNMODE2->click();
    QCOMPARE(rig.dm->ProfileGroupIndex(), 1);
    QCOMPARE(rig.dm->ProfileIndex(), modeTwoProfile);
    QVERIFY(w->ProfileButtons()[modeTwoProfile]->isChecked());
    QCOMPARE(w->BSBTNMODE2->StyleName(), QStringLiteral("MyMODEBtnA"));
    QCOMPARE(w->BSBTNMODE1->StyleName(), QStringLiteral("MyMODEBtn"));
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
    w->RD500HZ->click();
    QVERIFY(w->SettingsChanged);
    rig.mouse->unplug();

    QVERIFY(!w->ApplySettings());
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Text, QStringLiteral("    Please connect your mouse device before apply new settings!"));
    QVERIFY(!w->SettingsChanged);
    QCOMPARE(StoredReportRate(rig, rig.dm->ProfileIndex()), 500);

    w->AskSaveOnCancel();
    QCOMPARE(int(rig.dialogs.Calls.size()), 1); // nothing left to ask about
    // The pending system mouse settings went to the worker all the same.
    TuiThread::WaitForAll();
    QVERIFY(rig.mouseSettings->Requested().PointerSpeed.has_value());
}

void ProfilesAndApplyTest::cancelOffersToStoreOnlyAfterChanges()
{
    WindowRig rig;
    auto w = rig.Start();
    const std::uint32_t notices = rig.mouse->state().noticeCount;
    w->AskSaveOnCancel();
    QVERIFY(rig.dialogs.Calls.empty());

    w->RD1000HZ->click();
    rig.dialogs.Answers = {kMessageCancel};
    w->AskSaveOnCancel();
    QCOMPARE(int(rig.dialogs.Calls.size()), 1);
    QCOMPARE(rig.dialogs.Calls[0].Text, QStringLiteral("The settings was changed, save the current setting anyway?"));
    QVERIFY(StoredReportRate(rig, rig.dm->ProfileIndex()) != 1000); // CANCEL stores nothing

    rig.dialogs.Answers = {kMessageOK};
    w->AskSaveOnCancel();
    QCOMPARE(StoredReportRate(rig, rig.dm->ProfileIndex()), 1000);
    QCOMPARE(rig.mouse->state().noticeCount, notices); // Cancel never writes the mouse
}

void ProfilesAndApplyTest::resetAllAsksThenRestoresTheProfile()
{
    WindowRig rig;
    auto w = rig.Start();
    w->RD1000HZ->click();
    w->SettingsChanged = false;

    rig.dialogs.Answers = {kMessageCancel};
    w->BSBTNRESTOREDEFAULTS->click();
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 1000);
    QVERIFY(!w->SettingsChanged);

    rig.dialogs.Answers = {kMessageOK};
    w->BSBTNRESTOREDEFAULTS->click();
    QCOMPARE(rig.dialogs.Calls.back().Title, QStringLiteral("Reset This Profile"));
    QCOMPARE(rig.dialogs.Calls.back().SecondLine, QStringLiteral("Reset the current profile back to factory setting."));
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 125);
    QVERIFY(w->RD125HZ->isChecked());
    QVERIFY(w->SettingsChanged); // so Cancel asks next
}

void ProfilesAndApplyTest::okAppliesChangesThenCloses()
{
    WindowRig rig;
    auto w = rig.Start();
    w->show();
    w->RD250HZ->click();
    w->BSBTNOK->click();
    const int rates = rig.mouse->state().memory[kReportRates];
    QCOMPARE(rig.dm->ProfileGroupIndex() == 0 ? rates & 0x0F : rates >> 4, 4); // 250 Hz
    QVERIFY(!w->SettingsChanged);
    QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 2000);
}

void ProfilesAndApplyTest::helpWindowOpensTheWebAddressAndClosesOnItsBackground()
{
    WindowRig rig;
    auto w = rig.Start();
    bool closedByBackground = false;
    rig.dialogs.DuringModal = [&](QDialog& dialog) {
        auto* help = qobject_cast<THelpForm*>(&dialog);
        if (!help)
            return 0;
        dialog.show();
        help->bsbtnopen1->click(); // no manual is configured here: nothing to open
        help->bsbtnweb->click();
        QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(10, 600));
        closedByBackground = help->result() == QDialog::Accepted && !help->isVisible();
        return help->result();
    };
    w->BSBTNHELP->click();
    QCOMPARE(rig.dialogs.ModalWindows, std::vector<QString>{QStringLiteral("HelpForm")});
    QCOMPARE(rig.opened, std::vector<std::string>{kProductWebAddress});
    QVERIFY(closedByBackground);
}

namespace {

// Opens PRESET and chooses an item, as a click on it does.
void ChoosePreset(TBrisvaneCfgMain& w, std::uint32_t id)
{
    w.BtnLoadProfile->click();
    QVERIFY(w.uiMenuEx3Popup->IsShown());
    QVERIFY(w.uiMenuEx3Popup->ChooseItem(id));
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
    w->RD1000HZ->click();
    w->SettingsChanged = false;

    ChoosePreset(*w, 1);
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 125);
    QVERIFY(w->RD125HZ->isChecked());
    QCOMPARE(StoredReportRate(rig, rig.dm->ProfileIndex()), 125);

    // A profile file with its own values becomes the current profile and its new home.
    auto mine = StoredProfile(*rig.dm, rig.dm->ProfileIndex());
    mine->ConfigInfo.ReportRate = 500;
    const auto good = rig.home / "mine.pfd";
    WriteProfile(good, *mine, sizeof *mine);
    const auto shorter = rig.home / "short.pfd";
    WriteProfile(shorter, *mine, sizeof *mine - 1);

    rig.dialogs.OpenFileAnswers = {shorter.string(), std::nullopt, good.string()};
    ChoosePreset(*w, 2);
    ChoosePreset(*w, 2);
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 125); // neither changed anything
    ChoosePreset(*w, 2);
    QCOMPARE(int(rig.dm->CurrentProfileInfo().ConfigInfo.ReportRate), 500);
    QVERIFY(w->RD500HZ->isChecked());
    const TPROFILESETTING& where = rig.dm->ProfileSettingGroup().ProfileSettingList[rig.dm->ProfileIndex()];
    QCOMPARE(RecordText(where.FileName), std::string("mine.pfd"));
    QCOMPARE(rig.dialogs.FileDialogFolders.front().back(), platform::kPathSeparator);
    QVERIFY(rig.dialogs.Calls.empty());
}

void ProfilesAndApplyTest::presetSavesTheProfileOrSaysWhyNot()
{
    WindowRig rig;
    auto w = rig.Start();
    w->RD250HZ->click();
    const auto saved = rig.home / "saved.pfd";
    std::ofstream(rig.home / "a-file") << "x";
    const auto impossible = rig.home / "a-file" / "inside.pfd";
    rig.dialogs.SaveFileAnswers = {saved.string(), impossible.string()};

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

QTEST_MAIN(ProfilesAndApplyTest)
#include "profiles_and_apply_test.moc"
