#include "applications_dialog.h"

#include "monitor_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace bv::monitor_app {

ApplicationsDialog::ApplicationsDialog(const monitor::MonitorRecords& records, int profile,
    monitor::MonitorSwitching& switching, ProgramChooser chooser, QWidget* parent)
    : QDialog(parent)
    , FSwitching(switching)
    , FChooser(std::move(chooser))
    , FStored(records.Applications)
{
    setWindowTitle(Tr("Profiles for applications"));
    for (int k = 0; k < monitor::kRuleProfileCount; ++k) {
        FEdited[k] = std::make_unique<TMOUSECONFIGINFO>();
        WriteProfileApplications(*FEdited[k], FStored[k]);
    }

    FProfile = new QComboBox(this);
    for (int k = 0; k < monitor::kRuleProfileCount; ++k)
        FProfile->addItem(Tr("PROFILE" + std::to_string(k + 1)));
    FAutoSwitch = new QCheckBox(Tr("Switch to this profile while one of its programs has the focus"), this);
    FPrograms = new QListWidget(this);
    FPrograms->setMinimumWidth(420);
    FBrowse = new QPushButton(Tr("Add program…"), this);
    FRunning = new QPushButton(Tr("Add running program…"), this);
    FRemove = new QPushButton(Tr("Remove"), this);
    FProblem = new QLabel(this);
    FProblem->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Tr("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Tr("Cancel"), QDialogButtonBox::RejectRole);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(Tr("Profile:"), this));
    top->addWidget(FProfile, 1);
    auto* edit = new QHBoxLayout;
    edit->addWidget(FBrowse);
    edit->addWidget(FRunning);
    edit->addStretch(1);
    edit->addWidget(FRemove);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(FAutoSwitch);
    layout->addWidget(FPrograms, 1);
    layout->addLayout(edit);
    layout->addWidget(FProblem);
    layout->addWidget(buttons);

    connect(FProfile, &QComboBox::currentIndexChanged, this, [this] {
        FProblem->clear();
        ShowProfile();
    });
    connect(FAutoSwitch, &QCheckBox::toggled, this,
        [this](bool on) { monitor::SetAutoSwitch(*FEdited[FProfile->currentIndex()], on); });
    connect(FBrowse, &QPushButton::clicked, this, [this] {
        if (FChooser.Browse)
            Add(FChooser.Browse(this));
    });
    connect(FRunning, &QPushButton::clicked, this, [this] {
        if (FChooser.PickRunning)
            Add(FChooser.PickRunning(this));
    });
    connect(FRemove, &QPushButton::clicked, this, &ApplicationsDialog::RemoveSelected);
    connect(FPrograms, &QListWidget::currentRowChanged, this, [this](int row) { FRemove->setEnabled(row >= 0); });
    connect(buttons, &QDialogButtonBox::accepted, this, &ApplicationsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ApplicationsDialog::reject);

    FProfile->setCurrentIndex(profile);
    ShowProfile();
}

ApplicationsDialog::~ApplicationsDialog() = default;

monitor::ProfileApplications ApplicationsDialog::Edited(int profile) const
{
    return monitor::ReadProfileApplications(*FEdited[profile]);
}

void ApplicationsDialog::ShowProfile()
{
    const monitor::ProfileApplications shown = Edited(FProfile->currentIndex());
    {
        const QSignalBlocker block(FAutoSwitch);
        FAutoSwitch->setChecked(shown.AutoSwitch);
    }
    FPrograms->clear();
    for (const std::string& path : shown.Paths)
        FPrograms->addItem(QString::fromStdString(path));
    FRemove->setEnabled(FPrograms->currentRow() >= 0);
}

void ApplicationsDialog::Add(const QString& path)
{
    if (path.isEmpty())
        return; // cancelled
    const monitor::ApplicationEdit result
        = monitor::AddApplication(*FEdited[FProfile->currentIndex()], path.toStdString());
    ShowResult(result);
}

void ApplicationsDialog::ShowResult(monitor::ApplicationEdit result)
{
    FProblem->setText(result == monitor::ApplicationEdit::Done ? QString() : Tr(monitor::ApplicationEditText(result)));
    ShowProfile();
}

void ApplicationsDialog::RemoveSelected()
{
    const QListWidgetItem* item = FPrograms->currentItem();
    if (!item)
        return;
    const monitor::ApplicationEdit result
        = monitor::RemoveApplication(*FEdited[FProfile->currentIndex()], item->text().toStdString());
    ShowResult(result);
}

void ApplicationsDialog::accept()
{
    for (int k = 0; k < monitor::kRuleProfileCount; ++k) {
        const monitor::ProfileApplications edited = Edited(k);
        if (edited == FStored[k])
            continue;
        if (!FSwitching.EditProfile(
                k, [&edited](TMOUSECONFIGINFO& c) { monitor::WriteProfileApplications(c, edited); })) {
            FProblem->setText(Tr(FSwitching.LastError()));
            return;
        }
        FStored[k] = edited; // a second OK after a failure stores only what is left
    }
    QDialog::accept();
}

} // namespace bv::monitor_app
