// Times the import of extra numbers from a file into the extra-phones control: 10,000,
// 50,000 and 100,000 numbers (a few of them twice) through the control's own button,
// beside the plain read of the same file's fields and, for the smallest file, the rule
// done literally (each number looked up in the whole list before it is appended); then
// the deletion of every other entry through the control's button, beside the entries
// taken out of a list box one at a time from the last to the first.
// Run: build/bench/bench_extraphones [--literal-all]
// (--literal-all runs the literal ways on every size; at 100,000 they take minutes.)
#include "BenchSupport.h"
#include "addressbook/mdlGroups.h"
#include "compose/ExtraPhonesEditor.h"
#include "platform/FileDialog.h"
#include "platform/TextFile.h"
#include "platform/Toolbar.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>
#include <cstring>
#include <random>

using bench::timed;

namespace {

// Ten-digit mobile numbers, one in twenty of them a repeat of an earlier one.
QStringList fileNumbers(int count)
{
    std::mt19937 random(2121);
    std::uniform_int_distribution<int> digits(0, 99999999);
    QStringList numbers;
    numbers.reserve(count);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && random() % 20 == 0)
            numbers << numbers.at(int(random() % numbers.size()));
        else
            numbers << QStringLiteral("69%1").arg(digits(random), 8, 10, QLatin1Char('0'));
    }
    return numbers;
}

QStringList readFields(const QString& path)
{
    rt::FieldReader reader;
    QStringList fields;
    if (!reader.open(path))
        return fields;
    while (!reader.atEnd())
        fields << reader.readField();
    return fields;
}

QStringList entries(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

QStringList literalImport(const QStringList& fields)
{
    QListWidget list;
    for (const QString& field : fields) {
        if (mdlGroups::FindListItem(list, field, true) < 0)
            list.addItem(field);
    }
    return entries(list);
}

void selectEveryOther(QListWidget& list)
{
    list.setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    for (int i = 2; i < list.count(); i += 2)
        list.item(i)->setSelected(true);
}

QStringList literalDelete(const QStringList& phones)
{
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.addItems(phones);
    selectEveryOther(list);
    for (int i = list.count() - 1; i >= 0; --i) {
        if (list.item(i)->isSelected())
            delete list.takeItem(i);
    }
    return entries(list);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool literalAll = argc > 1 && std::strcmp(argv[1], "--literal-all") == 0;
    // Yes to the question before a deletion.
    bench::printBoxesAndErrors(rt::mb::Yes);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("numbers.phn"));
    rt::setFileDialogHandler([&](const rt::FileDialogRequest&) { return std::optional(path); });

    std::printf("%-8s %7s %8s %10s %6s %11s %11s %11s %5s\n", "numbers", "added", "read ms",
                "import ms", "ratio", "literal ms", "delete ms", "literal ms", "same");
    for (const int count : {10000, 50000, 100000}) {
        // As the control's export writes it: one line, joined by commas.
        if (!rt::WriteLines(path, {fileNumbers(count).join(u',')}))
            return 1;
        QStringList fields;
        const double readMs = timed([&] { fields = readFields(path); });

        ExtraPhonesEditor editor(QStringLiteral("cntrlPhones"), nullptr);
        editor.resize(260, 400);
        editor.show();
        QCoreApplication::processEvents();
        auto* toolbar = editor.findChild<rt::Toolbar*>(QStringLiteral("tlbrExtraPhones"));
        auto* list = editor.findChild<QListWidget*>(QStringLiteral("lstExtraPhones"));
        const double importMs = timed([&] { toolbar->Button(QStringLiteral("btnLoad"))->click(); });
        const QStringList imported = entries(*list);
        const qsizetype added = imported.size();
        selectEveryOther(*list);
        const double deleteMs =
            timed([&] { toolbar->Button(QStringLiteral("btnDelete"))->click(); });

        // The deletion leaves the entries that stood at odd places.
        QStringList left;
        for (qsizetype i = 1; i < added; i += 2)
            left << imported.at(i);
        bool same = entries(*list) == left;
        char literalImportText[32] = "-", literalDeleteText[32] = "-";
        if (count <= 10000 || literalAll) {
            QStringList literal;
            std::snprintf(literalImportText, sizeof literalImportText, "%.1f",
                          timed([&] { literal = literalImport(fields); }));
            same = same && literal == imported;
            std::snprintf(literalDeleteText, sizeof literalDeleteText, "%.1f",
                          timed([&] { literal = literalDelete(imported); }));
            same = same && literal == left;
        }
        std::printf("%-8d %7lld %8.1f %10.1f %6.1f %11s %11.1f %11s %5s\n", count,
                    static_cast<long long>(added), readMs, importMs, importMs / readMs,
                    literalImportText, deleteMs, literalDeleteText, same ? "yes" : "NO");
        if (!same)
            return 1;
    }
    return 0;
}
