// Times the program's start, from the start of mdlDataBase::Main to the main window shown
// (and painted), on a program folder with 50,000 members (or --members N) in 500 groups
// and 1,000 saved messages, all of which the New Message drop-down holds; beside, in the
// same run, the start on an empty database and the plain read of the saved messages from
// SQLite. The settings let the start go straight through: terms agreed, no password
// asked, the connection settings complete.
// Run: build/bench/bench_startup [--members N] [--messages N]
#include "BenchSupport.h"
#include "app/Main.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "platform/App.h"
#include "platform/Toolbar.h"
#include "tests/support/RoadFixture.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <cstdio>

using bench::report;
using bench::timed;

namespace {

struct ProgramFolder {
    QTemporaryDir folder;
    QString database;
};

bool addSavedMessages(int count)
{
    rt::Database& db = mdlDataBase::MainDatabase();
    for (int n = 1; n <= count; ++n) {
        // Saved over several days, each at its own minute.
        const QString date = QStringLiteral("2024-03-%1").arg(1 + n / 600, 2, 10, QLatin1Char('0'));
        const QString time = QStringLiteral("%1:%2")
                                 .arg(n / 60 % 24, 2, 10, QLatin1Char('0'))
                                 .arg(n % 60, 2, 10, QLatin1Char('0'));
        if (!bench::check(db.execute(
                {QStringLiteral("INSERT INTO saved_messages (msg_title, msg_text, msg_originator, "
                                "msg_flash, msg_datecreated, msg_timecreated) "
                                "VALUES (?, ?, ?, ?, ?, ?)"),
                 {QStringLiteral("Προσφορά %1").arg(n),
                  QStringLiteral("Καλημέρα σας, η προσφορά %1 ισχύει ως την Κυριακή.").arg(n),
                  QStringLiteral("Shop"), n % 5 == 0, date, time}})))
            return false;
    }
    return true;
}

// A program folder as the installation leaves it, then filled: its database (closed
// again, for the start to open), settings, INI file and the control library's
// registration.
bool makeFolder(ProgramFolder& program, bool filled, int messages)
{
    if (!bench::openDatabase(program.folder, &program.database))
        return false;
    if (filled &&
        (!bench::fillAddressBook(mdlDataBase::MainDatabase(), {}) || !addSavedMessages(messages)))
        return false;
    mdlDataBase::MainDatabase().close();
    return bench::registerControlLibrary(program.folder.path()) &&
           testsupport::road::writeSettings(program.folder.path(), QStringLiteral("127.0.0.1"), 80);
}

// From the start of Main to the main window shown; the window's drop-down entries
// through entries.
double start(const ProgramFolder& program, int* entries)
{
    rt::Forms::discardAll();
    mdlDataBase::MainDatabase().close();
    rt::App::setPath(program.folder.path());
    // The note file goes to the current folder.
    QDir::setCurrent(program.folder.path());
    const double ms = timed([] { mdlDataBase::Main(); });
    frmMain* main = rt::Forms::find<frmMain>();
    if (!main || !main->isVisible())
        return -1;
    *entries =
        int(main->MainToolBar()->ButtonMenu(QStringLiteral("btnNewMessage"))->actions().size());
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    bench::readMemberCount(argc, argv);
    const int messages = bench::option(argc, argv, "--messages", 1000, 0);
    bench::printBoxesAndErrors();
    const QString current = QDir::currentPath();

    ProgramFolder empty, full;
    if (!makeFolder(empty, false, 0) || !makeFolder(full, true, messages))
        return 1;
    std::printf("%d members, %d groups, %d saved messages\n\n", bench::memberCount(),
                bench::kGroups, messages);

    int rows = 0;
    report("raw SQLite read of the saved messages (C API, to strings)",
           bench::rawRead(full.database,
                          "SELECT * FROM saved_messages ORDER BY msg_datecreated, "
                          "msg_timecreated;",
                          &rows));
    // The first start in a process pays for fonts, styles and the library once.
    int emptyEntries = 0, fullEntries = 0;
    report("first start, empty database (warm-up)", start(empty, &emptyEntries));
    const double fullMs = start(full, &fullEntries);
    report("start to the main window shown", fullMs);
    std::printf("%58s %9d\n", "drop-down entries", fullEntries);
    report("the drop-down read again (ReadSavedMessages)",
           timed([] { rt::Forms::get<frmMain>().ReadSavedMessages(); }));
    const double emptyMs = start(empty, &emptyEntries);
    report("start again, empty database", emptyMs);
    std::printf("%58s %9.2f\n", "full start / empty start", fullMs / emptyMs);

    rt::Forms::discardAll();
    mdlDataBase::MainDatabase().close();
    QDir::setCurrent(current);
    return rows == messages && fullEntries == messages && emptyEntries == 0 ? 0 : 1;
}
