// Times the import of extra numbers from a file into the extra-phones control: 10,000,
// 50,000 and 100,000 numbers (a few of them twice) through the control's own button,
// beside the plain read of the same file's fields and, for the smaller files, the rule
// done literally (each number looked up in the whole list before it is appended).
// Run: build/bench/bench_extraphones [--literal-all]
// (--literal-all runs the literal rule on every size; at 100,000 it takes minutes.)
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

QStringList literalImport(const QStringList& fields)
{
    QListWidget list;
    for (const QString& field : fields) {
        if (mdlGroups::FindListItem(list, field, true) < 0)
            list.addItem(field);
    }
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool literalAll = argc > 1 && std::strcmp(argv[1], "--literal-all") == 0;
    bench::printBoxesAndErrors();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("numbers.phn"));
    rt::setFileDialogHandler([&](const rt::FileDialogRequest&) { return std::optional(path); });

    std::printf("%-9s %10s %12s %12s %7s %12s %6s\n", "numbers", "added", "read ms", "import ms",
                "ratio", "literal ms", "same");
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
        const double importMs = timed([&] { toolbar->Button(QStringLiteral("btnLoad"))->click(); });
        const QStringList imported = editor.GetPhoneList().split(u',');

        char literalText[32] = "-";
        bool same = imported.size() == editor.PhoneCount();
        if (count <= 10000 || literalAll) {
            QStringList literal;
            const double literalMs = timed([&] { literal = literalImport(fields); });
            std::snprintf(literalText, sizeof literalText, "%.1f", literalMs);
            same = same && literal == imported;
        }
        std::printf("%-9d %10lld %12.1f %12.1f %7.1f %12s %6s\n", count,
                    static_cast<long long>(editor.PhoneCount()), readMs, importMs,
                    importMs / readMs, literalText, same ? "yes" : "NO");
        if (!same)
            return 1;
    }
    return 0;
}
