#pragma once
// What the window tests share: scripted dialogs, a fake monitor link, a keyboard fed by the test,
// and a main window started on a virtual mouse with a profile manager of its own (memory
// registry, temporary documents).

#include "device/config_image.h"
#include "device/virtual_hid_backend.h"
#include "device/virtual_mouse.h"
#include "dialogs/Dialogs.h"
#include "mainwindow/MainConfig.h"
#include "mainwindow/advanced_panel.h"
#include "mainwindow/button_panel.h"
#include "mainwindow/light_panel.h"
#include "mainwindow/profile_panel.h"
#include "mainwindow/sensitivity_panel.h"
#include "platform/keyboard_hook.h"
#include "platform/monitor_link.h"
#include "platform/registry.h"
#include "platform/system_mouse.h"
#include "settings/DMUnit.h"
#include "temp_dir.h"
#include "toolkit/key_event_feed.h"
#include "toolkit/theme.h"

#include <QApplication>
#include <QDialog>

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace bv::gui::test {

/// Answers message dialogs from a script (OK when it runs out) and records what was asked.
class ScriptedDialogs final : public Dialogs {
public:
    struct Call {
        QString Title, Text, SecondLine;
    };
    std::deque<int> Answers;
    std::vector<Call> Calls;

    int ShowMessageDialog(QWidget*, const QString& title, const QString& text, const QString& secondLine) override
    {
        Calls.push_back({ title, text, secondLine });
        if (Answers.empty())
            return kMessageOK;
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }

    // The capture dialogs: each answers with the front of its script, or CANCEL when that is
    // empty; the records given are kept.
    std::deque<std::optional<TSINGLEKEYINFO>> SingleKeyAnswers;
    std::deque<std::optional<TCOMBOKEYINFO>> ComboKeyAnswers;
    std::deque<std::optional<TFIREKEYINFO>> FireKeyAnswers;
    /// The file dialogs: each answer is a chosen file or a cancel; the folders they started in.
    std::deque<std::optional<std::string>> OpenFileAnswers, SaveFileAnswers;
    std::vector<std::string> FileDialogFolders;
    std::vector<TSINGLEKEYINFO> SingleKeyCalls;
    std::vector<TCOMBOKEYINFO> ComboKeyCalls;
    std::vector<TFIREKEYINFO> FireKeyCalls;

    std::optional<TSINGLEKEYINFO> EditSingleKey(QWidget*, const TSINGLEKEYINFO& key) override
    {
        SingleKeyCalls.push_back(key);
        return next(SingleKeyAnswers);
    }
    std::optional<TCOMBOKEYINFO> EditComboKey(QWidget*, const TCOMBOKEYINFO& combo) override
    {
        ComboKeyCalls.push_back(combo);
        return next(ComboKeyAnswers);
    }
    std::optional<TFIREKEYINFO> EditFireKey(QWidget*, const TFIREKEYINFO& fire) override
    {
        FireKeyCalls.push_back(fire);
        return next(FireKeyAnswers);
    }
    std::optional<std::string> OpenProfileFileName(QWidget*, const std::string& folder) override
    {
        FileDialogFolders.push_back(folder);
        return next(OpenFileAnswers);
    }
    std::optional<std::string> SaveProfileFileName(QWidget*, const std::string& folder) override
    {
        FileDialogFolders.push_back(folder);
        return next(SaveFileAnswers);
    }

    /// The macro editor: answers with the front of MacroAnswers (nothing, as CANCEL, when empty).
    struct MacroEditorCall {
        TMACROKEYINFOLIST Macros;
        int CurrentMacro;
        std::string MacroFolder;
    };
    std::deque<std::optional<MacroEditorResult>> MacroAnswers;
    std::vector<MacroEditorCall> MacroEditorCalls;
    std::optional<MacroEditorResult> EditMacros(
        QWidget*, const TMACROKEYINFOLIST& macros, int currentMacro, const std::string& macroFolder) override
    {
        MacroEditorCalls.push_back({ macros, currentMacro, macroFolder });
        return next(MacroAnswers);
    }

    /// Windows shown modally, by object name; `DuringModal` may work the window while it is
    /// "shown" and answers for it (default: closed without a choice).
    std::vector<QString> ModalWindows;
    std::function<int(QDialog&)> DuringModal;
    int ShowModal(QDialog& dialog) override
    {
        ModalWindows.push_back(dialog.objectName());
        return DuringModal ? DuringModal(dialog) : 0;
    }

private:
    template <class T> static std::optional<T> next(std::deque<std::optional<T>>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        std::optional<T> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

/// A monitor link that records what the window sends.
class RecordingMonitorLink final : public platform::MonitorLink {
public:
    bool MonitorRunning = false;
    int Raised = 0;
    std::vector<platform::WindowMessage> Sent;

    bool WindowExists(const std::string& windowClass) override
    {
        return MonitorRunning && windowClass == platform::kMonitorWindowClass;
    }
    bool Send(const std::string& windowClass, const platform::WindowMessage& m) override
    {
        if (!WindowExists(windowClass))
            return false;
        Sent.push_back(m);
        return true;
    }
    bool BringToFront(const std::string& windowClass) override
    {
        if (!WindowExists(windowClass))
            return false;
        ++Raised;
        return true;
    }
};

/// System mouse settings that only remember what they were asked, so no test changes the
/// desktop of whoever runs it.
class RecordingMouseSettings final : public platform::SystemMouseSettings {
public:
    /// What the pointer speed gets as its answer (the others are always taken).
    platform::SettingResult SpeedAnswer;
    /// How often the double-click time was set, and whether any of those calls came on the thread
    /// that made these settings (the window's).
    std::atomic<int> DoubleClickCalls { 0 };
    std::atomic<bool> DoubleClickOnMakersThread { false };

protected:
    platform::SettingResult DoSetDoubleClickTime(std::uint32_t) override
    {
        ++DoubleClickCalls;
        if (std::this_thread::get_id() == FMaker)
            DoubleClickOnMakersThread = true;
        return {};
    }
    platform::SettingResult DoSetMouseAcceleration(const platform::MouseAcceleration&) override { return {}; }
    platform::SettingResult DoSetMouseSpeed(std::int32_t) override { return SpeedAnswer; }
    platform::SettingResult DoSetWheelScrollLines(std::uint32_t) override { return {}; }

private:
    const std::thread::id FMaker = std::this_thread::get_id();
};

/// A keyboard hook that the system refuses, as Windows may.
class RefusingKeyboardHook final : public platform::KeyboardHook {
public:
    bool Available() const override { return true; }
    bool Enable(Callback, const void* = nullptr) override { return false; }
    void Disable() override { }
    bool IsEnabled() const override { return false; }
    const void* Owner() const override { return nullptr; }
    bool IsModifierDown(platform::ModifierKey) const override { return false; }
};

/// The program's own look, as main() sets it.
inline void UseProgramLook()
{
    ApplyTheme(*qApp);
}

/// The build folder: ui.local, config.ini and the cursor files lie there, as beside the program.
inline std::filesystem::path BuildFolder()
{
    return std::filesystem::path(BV_BUILD_DIR);
}

/// A control of a window by its object name. A missing one ends the run at once with its name,
/// where every use of it would crash without one.
template <class T> T* Control(const QObject* window, const char* name)
{
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    if (!control)
        qFatal("The window has no %s", name);
    return control;
}
template <class T> T* Control(const QObject& window, const char* name)
{
    return Control<T>(&window, name);
}
template <class T, class W> T* Control(const std::unique_ptr<W>& window, const char* name)
{
    return Control<T>(window.get(), name);
}

inline QString ScreenshotFolder()
{
    const QString dir = QString::fromStdString((BuildFolder() / "screenshots").string());
    QDir().mkpath(dir);
    return dir;
}

/// True when the mouse's memory holds every block that `profile` becomes in configuration `set`.
inline bool MouseHoldsProfile(const VirtualMouseState& s, const TMOUSEPROFILEINFO& profile, int set)
{
    const auto image = EncodeConfigurationImage(profile);
    if (!image)
        return false;
    for (const TDeviceWrite& w : ConfigurationImageWrites(*image, set))
        if (!std::equal(w.Data.begin(), w.Data.end(), s.memory.begin() + w.Address))
            return false;
    return true;
}

/// A keyboard hook fed from the application's key events, stamped by a clock the test moves.
struct FedKeyboard {
    explicit FedKeyboard(std::uint32_t start)
        : Now(start)
    {
        qApp->installEventFilter(&Feed);
    }

    std::uint32_t Now;
    platform::FedKeyboardHook Hook { [this] { return Now; } };
    KeyEventFeed Feed { Hook };
};

/// Acts on the dialog of type T once it runs modally.
template <class T> void WhenModalShown(std::function<void(T&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(*dialog);
    });
}

/// One profile manager, one virtual mouse and the environment of a main window.
struct WindowRig {
    bv::test::TempDir home;
    std::unique_ptr<platform::Registry> registry = platform::openMemoryRegistry();
    std::unique_ptr<TDM> dm;
    std::shared_ptr<VirtualMouse> mouse = std::make_shared<VirtualMouse>();
    std::shared_ptr<VirtualHidBackend> backend = std::make_shared<VirtualHidBackend>();
    ScriptedDialogs dialogs;
    RecordingMonitorLink monitor;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> started;
    int terminations = 0;
    std::shared_ptr<RecordingMouseSettings> mouseSettings = std::make_shared<RecordingMouseSettings>();
    std::vector<int> pauses; // the waits for the mouse, which tests do not sleep through
    std::vector<std::string> opened; // documents and web addresses handed to the desktop
#ifndef _WIN32
    /// The kernel's end of the last window's device notices: uevents sent here reach uiHIDEvent1.
    int kernelEnd = -1;
#endif

    /// `language`: the stored CurrentLanguage (0 English, 1 Simplified, 2 Traditional Chinese).
    explicit WindowRig(int language = 0, bool withMouse = true)
    {
        DMEnvironment env;
        env.Registry = registry.get();
        env.DocumentsFolder = (home / "Documents").string();
        env.ProgramFolder = BuildFolder().string();
        env.OSDefaultLang = "0409";
        dm = std::make_unique<TDM>(env);
        dm->DataModuleCreate();
        dm->AllProfileSettingInfo().CurrentLanguage = language;
        if (withMouse)
            backend->add(mouse);
    }

    ~WindowRig()
    {
#ifndef _WIN32
        if (kernelEnd >= 0)
            ::close(kernelEnd);
#endif
    }

    MainWindowEnvironment Environment()
    {
        MainWindowEnvironment env;
        env.DM = dm.get();
        env.Backend = backend;
        env.UserDialogs = &dialogs;
        env.Monitor = &monitor;
        env.ProgramFolder = BuildFolder();
        env.ExecutableFolder = home.path();
        env.ReceiveMessages = false;
        env.StartProgram = [this](const std::filesystem::path& program, const std::filesystem::path& folder) {
            started.emplace_back(program, folder);
            return true;
        };
        env.Terminate = [this] { ++terminations; };
        env.MouseSettings = mouseSettings;
        env.Pause = [this](int ms) { pauses.push_back(ms); };
        env.OpenDocument = [this](const std::string& target) {
            opened.push_back(target);
            return true;
        };
#ifndef _WIN32
        // Device notices come from the test, never from the machine's own devices.
        env.DeviceNotices = [this](const std::string&, platform::DeviceNotificationWindow::Handlers handlers) {
            int fds[2] = { -1, -1 };
            ::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds);
            if (kernelEnd >= 0)
                ::close(kernelEnd);
            kernelEnd = fds[1];
            return platform::OpenUeventNotificationWindow(
                fds[0], std::move(handlers), [](const void*, std::size_t) { return true; });
        };
#endif
        return env;
    }

    std::unique_ptr<TBrisvaneCfgMain> Start()
    {
        return std::make_unique<TBrisvaneCfgMain>(Environment());
    }
};

} // namespace bv::gui::test
