#include "FileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace kestrel::qt {

QString QtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromLocal8Bit(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty()) {
            break; // "||" ends the list
        }
        const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(' ');
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        // Qt reads the patterns from the parentheses, so they must be the real ones.
        entries << (description.endsWith(shown) ? description : description + ' ' + shown);
    }
    return entries.join(QStringLiteral(";;"));
}

std::unique_ptr<QFileDialog> BuildFileOpenDialog(const FileOpenRequest& request, QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setWindowTitle(QString::fromLocal8Bit(request.title));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilter(QtNameFilters(request.filter));
    dialog->setDefaultSuffix(QString::fromLocal8Bit(request.defaultExtension));
    const QString initial = QFile::decodeName(request.initialName.c_str());
    if (initial.isEmpty()) {
        dialog->setDirectory(QDir::current());
    } else {
        const QFileInfo info(initial);
        dialog->setDirectory(info.absoluteDir());
        dialog->selectFile(info.fileName());
    }
    return dialog;
}

std::optional<std::string> RunFileOpenDialog(const FileOpenRequest& request, QWidget* parent,
                                             const FileDialogAnswer& answer) {
    const std::unique_ptr<QFileDialog> dialog = BuildFileOpenDialog(request, parent);
    std::optional<QString> chosen;
    if (answer) {
        chosen = answer(*dialog);
    } else if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        chosen = dialog->selectedFiles().first();
    }
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    const QString path = QDir::toNativeSeparators(QFileInfo(*chosen).absoluteFilePath());
    return QFile::encodeName(path).toStdString();
}

} // namespace kestrel::qt
