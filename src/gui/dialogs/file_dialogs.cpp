// The open-file and save-file dialogs for profile files.

#include "dialogs/Dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace bv::gui {

namespace {

const QString kProfileFilter = QStringLiteral("pfd (*.pfd)");

std::optional<std::string> chosen(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString file = dialog.selectedFiles().front();
    if (file.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(file).toStdString();
}

} // namespace

std::optional<std::string> ModalDialogs::OpenProfileFileName(QWidget* parent, const std::string& folder)
{
    QFileDialog dialog(parent, QString(), QString::fromStdString(folder), kProfileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosen(dialog);
}

std::optional<std::string> ModalDialogs::SaveProfileFileName(QWidget* parent, const std::string& folder)
{
    QFileDialog dialog(parent, QString(), QString::fromStdString(folder), kProfileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pfd"));
    return chosen(dialog);
}

} // namespace bv::gui
