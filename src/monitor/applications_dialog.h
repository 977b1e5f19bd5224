#pragma once
// "Profiles for applications…": each profile's programs and its switch, edited on copies and
// stored through the monitor's switching when the user presses OK.

#include "monitor/monitor_records.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace bv::monitor_app {

/// How the dialog finds a program to add; tests pass their own.
struct ProgramChooser {
    std::function<QString(QWidget* parent)> Browse; // a chosen file; empty when cancelled
    std::function<QString(QWidget* parent)> PickRunning; // a running program; empty when cancelled
};

class ApplicationsDialog final : public QDialog {
    Q_OBJECT
public:
    /// Starts on `profile`, with the programs and switches that `records` hold.
    ApplicationsDialog(const monitor::MonitorRecords& records, int profile, monitor::MonitorSwitching& switching,
        ProgramChooser chooser, QWidget* parent = nullptr);
    ~ApplicationsDialog() override;

    /// Stores the profiles that changed; stays open, saying why, when one could not be stored.
    void accept() override;

    QComboBox* ProfileBox() const { return FProfile; }
    QCheckBox* AutoSwitchBox() const { return FAutoSwitch; }
    QListWidget* Programs() const { return FPrograms; }
    QPushButton* BrowseButton() const { return FBrowse; }
    QPushButton* RunningButton() const { return FRunning; }
    QPushButton* RemoveButton() const { return FRemove; }
    QLabel* Problem() const { return FProblem; }

private:
    void ShowProfile();
    void Add(const QString& path);
    void RemoveSelected();
    void ShowResult(monitor::ApplicationEdit result);
    monitor::ProfileApplications Edited(int profile) const;

    monitor::MonitorSwitching& FSwitching;
    ProgramChooser FChooser;
    std::array<monitor::ProfileApplications, monitor::kRuleProfileCount> FStored;
    // The edits go through the core's rules on copies of the records' fields.
    std::array<std::unique_ptr<TMOUSECONFIGINFO>, monitor::kRuleProfileCount> FEdited;
    QComboBox* FProfile = nullptr;
    QCheckBox* FAutoSwitch = nullptr;
    QListWidget* FPrograms = nullptr;
    QPushButton* FBrowse = nullptr;
    QPushButton* FRunning = nullptr;
    QPushButton* FRemove = nullptr;
    QLabel* FProblem = nullptr;
};

} // namespace bv::monitor_app
