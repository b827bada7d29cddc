#include "platform/FileDialog.h"

#include "platform/Form.h"
#include "platform/Formats.h"
#include "platform/WindowServices.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMimeDatabase>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QTreeView>

namespace rt {

namespace {
FileDialogHandler& handler()
{
    static FileDialogHandler value;
    return value;
}

// The columns of the toolkit's file model.
enum Column { NameColumn, SizeColumn, TypeColumn, DateColumn, ColumnCount };

// The file list's sizes and dates as the program's own lists show them, whatever the
// machine's locale: the toolkit's model formats both with the system's.
class FileDetails : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr ||
            (index.column() != SizeColumn && index.column() != DateColumn))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == SizeColumn)
            return files->isDir(source) ? QString() : FileSizeText(files->size(source));
        const QDateTime modified = files->lastModified(source);
        if (!modified.isValid())
            return QString();
        return ShortDate(modified.date()) + QLatin1Char(' ') + ShortTime(modified.time());
    }
};

// Each column of the detail view at least as wide as its head and as a typical entry,
// so that neither is cut short.
void fitColumns(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QTreeView*>();
    if (view == nullptr)
        return;
    QHeaderView* header = view->header();
    const int margin =
        2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    const auto entry = [&](const QString& text) {
        return view->fontMetrics().horizontalAdvance(text) + margin;
    };
    // The longest size text, the type of the text files the program writes, a date of
    // wide digits.
    const QDateTime wideDate(QDate(2028, 12, 28), QTime(23, 58));
    int typical[ColumnCount] = {};
    typical[SizeColumn] = entry(FileSizeText((qint64(1) << 30) - 1));
    typical[TypeColumn] =
        entry(QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment());
    typical[DateColumn] =
        entry(ShortDate(wideDate.date()) + QLatin1Char(' ') + ShortTime(wideDate.time()));
    for (int column = 0; column < header->count(); ++column) {
        const int wanted =
            qMax(header->sectionSizeHint(column), column < ColumnCount ? typical[column] : 0);
        if (header->sectionSize(column) < wanted)
            header->resizeSection(column, wanted);
    }
}

// Once the dialog is laid out, just before it shows: as wide as the detail view needs to
// show every column whole, as far as the screen allows, then centred over the window
// that asked for it. Both wait for the Show event, as the view's width is known only
// then; and the placing is ours because any size or place given to the dialog there
// tells it that it was placed, so it no longer centres itself.
class SizedAndPlacedOnShow : public QObject {
public:
    explicit SizedAndPlacedOnShow(QFileDialog& dialog) : QObject(&dialog), m_dialog(dialog)
    {
        dialog.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_dialog && event->type() == QEvent::Show) {
            m_dialog.removeEventFilter(this);
            const QWidget* owner =
                m_dialog.parentWidget() != nullptr ? m_dialog.parentWidget()->window() : nullptr;
            if (owner != nullptr && !owner->isVisible())
                owner = nullptr;
            widen(owner);
            PlaceOver(m_dialog, owner);
        }
        return false;
    }

private:
    void widen(const QWidget* owner)
    {
        const auto* view = m_dialog.findChild<QTreeView*>();
        const QScreen* screen = owner != nullptr ? owner->screen() : m_dialog.screen();
        if (view == nullptr || screen == nullptr)
            return;
        const QHeaderView* header = view->header();
        int columns = 0;
        for (int column = 0; column < header->count(); ++column) {
            if (!header->isSectionHidden(column))
                columns += header->sectionSize(column);
        }
        const int room = view->width() - 2 * view->frameWidth() -
                         view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
        // Not yet shown, the dialog has no frame: the owner's tells what it will get.
        const QSize frame =
            owner != nullptr ? owner->frameGeometry().size() - owner->size() : QSize(0, 0);
        const QRect available = screen->availableGeometry();
        const int width =
            qMin(m_dialog.width() + qMax(0, columns - room), available.width() - frame.width());
        const int height = qMin(m_dialog.height(), available.height() - frame.height());
        if (width != m_dialog.width() || height != m_dialog.height())
            m_dialog.resize(width, height);
    }

    QFileDialog& m_dialog;
};

} // namespace

QString FileSizeText(qint64 bytes)
{
    return QLocale(QLocale::Greek, QLocale::Greece)
        .formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

bool ChosenFileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    // A link is replaced by the write whether or not it leads anywhere.
    return !info.isDir() && (info.exists() || info.isSymLink());
}

void setFileDialogHandler(FileDialogHandler value)
{
    handler() = std::move(value);
}

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
    dialog.setProxyModel(new FileDetails(&dialog));
    fitColumns(dialog);
    new SizedAndPlacedOnShow(dialog);
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
