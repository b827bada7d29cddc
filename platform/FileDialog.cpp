#include "platform/FileDialog.h"

#include "platform/Form.h"
#include "platform/WindowServices.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace rt {

namespace {
FileDialogHandler& handler()
{
    static FileDialogHandler value;
    return value;
}
} // namespace

void setFileDialogHandler(FileDialogHandler value) { handler() = std::move(value); }

QString toolkitFilter(const QString& runtimeFilter)
{
    const QStringList parts = runtimeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = parts.at(i);
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (%1)").arg(patterns);
        else
            description = description.section(QLatin1Char('('), 0, 0).trimmed() +
                          QStringLiteral(" (%1)").arg(patterns);
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> ShowFileDialog(const FileDialogRequest& request)
{
    if (handler())
        return handler()(request);

    QFileDialog dialog(OwnerWindow(), request.title, request.initialDir,
                       toolkitFilter(request.filter));
    // The same dialog on every desktop, in the program's language.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(request.kind == FileDialogRequest::Save ? QFileDialog::AcceptSave
                                                                 : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.kind == FileDialogRequest::Save ? QFileDialog::AnyFile
                                                               : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.defaultExt.isEmpty())
        dialog.setDefaultSuffix(request.defaultExt);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    const EventWait wait;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace rt
