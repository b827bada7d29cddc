// Does one scenario's real work in a program folder and dies by SIGKILL when the
// program reaches the named storage step for the given time:
//
//   crash_helper SCENARIO FOLDER STEP OCCURRENCE [SERVICE-PORT]
//
// STEP "none" runs the work to its end. Just before the kill the helper prints
// "killed at STEP OCCURRENCE" on its standard output; after a whole run it prints
// "finished" and exits 0 (1 when the work reported a failure).

#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "platform/App.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "tests/crash/Scenarios.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QDir>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

std::optional<rt::StorageStep> g_step;
int g_occurrence = 0;
int g_seen = 0;
QByteArray g_message;

void killAtStep(rt::StorageStep step)
{
    if (!g_step || step != *g_step || ++g_seen != g_occurrence)
        return;
    const ssize_t written = ::write(STDOUT_FILENO, g_message.constData(), size_t(g_message.size()));
    Q_UNUSED(written);
    ::kill(::getpid(), SIGKILL);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: crash_helper SCENARIO FOLDER STEP OCCURRENCE [PORT]\n");
        return 2;
    }
    const QString scenario = args.at(1);
    const QString folder = args.at(2);
    g_step = crash::stepNamed(args.at(3));
    if (!g_step && args.at(3) != QLatin1String("none")) {
        std::fprintf(stderr, "no such step: %s\n", qPrintable(args.at(3)));
        return 2;
    }
    g_occurrence = args.at(4).toInt();
    g_message = "killed at " + args.at(3).toUtf8() + ' ' + args.at(4).toUtf8() + '\n';
    const quint16 port = args.size() > 5 ? quint16(args.at(5).toUInt()) : 0;

    rt::App::setPath(folder);
    testsupport::ScriptedMessageBoxes boxes;
    rt::setUntrappedErrorReporter(mdlDialogs::ReportUntrappedError);
    if (scenario != QLatin1String("settings")) {
        const rt::DbResult opened =
            mdlDataBase::MainDatabase().open(QDir(folder).filePath(QStringLiteral("SMS.mdb")));
        if (!opened) {
            std::fprintf(stderr, "%s\n", qPrintable(opened.description));
            return 2;
        }
    }

    rt::storageStepHook = killAtStep;
    const bool done = crash::run(scenario, port);
    rt::storageStepHook = nullptr;

    for (const testsupport::ShownBox& box : boxes.shown())
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
    rt::Forms::discardAll();
    mdlDataBase::MainDatabase().close();
    rt::setUntrappedErrorReporter({});
    std::printf("finished\n");
    return done ? 0 : 1;
}
