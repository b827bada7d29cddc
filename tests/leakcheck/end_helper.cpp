// Ends through the program-level stop (rt::End), as the Exit command ends the program:
//
//   end_helper clean            a shown window, then the stop
//   end_helper leak             the same, with a few blocks dropped just before the stop
//   end_helper program FOLDER   the program started in FOLDER (made empty by the caller),
//                               every docked window opened in turn, twice, then Exit
//
// Message boxes are answered by script and printed to stderr as "box: <text>".

#include "app/Main.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "platform/App.h"
#include "platform/Application.h"
#include "platform/DatabaseCreation.h"
#include "platform/End.h"
#include "platform/Err.h"
#include "tests/support/ControlLibrary.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RoadFixture.h"
#include "tests/support/Seams.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// Blocks nothing points to once the function has returned.
[[gnu::noinline]] void dropBlocks()
{
    for (int i = 0; i < 8; ++i) {
        char* volatile block = new char[1000 + i];
        block[0] = char(i);
    }
}

// One step per turn of the event loop, as clicks come.
void runSteps(const std::vector<std::function<void()>>& steps)
{
    size_t next = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (next < steps.size())
            steps[next++]();
    });
    timer.start();
    QCoreApplication::exec();
}

int runProgram(const QString& folder, testsupport::ScriptedMessageBoxes& boxes)
{
    testsupport::ControlLibrary library(folder);
    QString error;
    if (!library.isValid() ||
        !rt::createDatabaseFromSchema(QDir(folder).filePath(QStringLiteral("SMS.mdb")),
                                      testsupport::ProgramFolder::schemaPath(), &error) ||
        !testsupport::road::writeAddressBook(QDir(folder).filePath(QStringLiteral("SMS.mdb"))) ||
        !testsupport::road::writeSettings(folder, QStringLiteral("127.0.0.1"), 9)) {
        std::fprintf(stderr, "cannot prepare the program folder: %s %s\n",
                     qPrintable(library.error()), qPrintable(error));
        return 2;
    }
    rt::App::setPath(folder);
    QDir::setCurrent(folder);
    rt::setUntrappedErrorReporter(mdlDialogs::ReportUntrappedError);
    boxes.onShow([](const testsupport::ShownBox& box) {
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
    });

    const auto command = [](const char* name) {
        return [name] {
            if (frmMain* main = rt::Forms::find<frmMain>())
                main->MenuItem(QLatin1String(name))->trigger();
        };
    };
    std::vector<std::function<void()>> steps{[] { mdlDataBase::Main(); }, [] {}};
    for (int round = 0; round < 2; ++round) {
        for (const char* name : {"mnGroupOrganize", "mnMemberList", "mnOutBox", "mnSendBox",
                                 "mnSavedBox", "mnNewMessage"}) {
            steps.push_back(command(name));
            steps.push_back([] {});
        }
    }
    steps.push_back(command("mnExit"));
    runSteps(steps);
    std::fprintf(stderr, "the program did not end through Exit\n");
    return 3;
}

} // namespace

int main(int argc, char** argv)
{
    rt::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    testsupport::ScriptedMessageBoxes boxes;
    if (mode == QLatin1String("program") && args.size() == 3)
        return runProgram(args.at(2), boxes);
    if (mode != QLatin1String("clean") && mode != QLatin1String("leak")) {
        std::fprintf(stderr, "usage: end_helper clean|leak|program FOLDER\n");
        return 2;
    }
    QLabel window(QStringLiteral("Τέλος"));
    window.show();
    QCoreApplication::processEvents();
    if (mode == QLatin1String("leak"))
        dropBlocks();
    rt::End();
}
