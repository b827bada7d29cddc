#include "app/Main.h"

#include "app/frmDisclaimer.h"
#include "app/frmGetUserData.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/Application.h"
#include "platform/End.h"
#include "platform/Err.h"
#include "platform/FolderLock.h"
#include "platform/Form.h"
#include "platform/MsgBox.h"
#include "resources/QtTexts.h"
#include "sending/mdlInternet.h"

#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

namespace {

// After each window that goes away, look whether one is left.
class UntilNoWindowIsLoaded : public QObject {
public:
    explicit UntilNoWindowIsLoaded(QEventLoop& loop) : m_loop(loop) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Hide || event->type() == QEvent::DeferredDelete) &&
            qobject_cast<rt::Form*>(watched))
            QTimer::singleShot(0, this, [this] {
                if (rt::Forms::loaded().isEmpty())
                    m_loop.quit();
            });
        return false;
    }

private:
    QEventLoop& m_loop;
};

void unloadSplash()
{
    if (mdlDataBase::IsFormLoaded(QStringLiteral("frmSplash")))
        rt::Forms::unload<frmSplash>();
}

} // namespace

namespace mdlDataBase {

void Main()
{
    mdlSettings::WriteTestModeNote();
    if (!mdlSettings::LoadSettings())
        rt::End();
    rt::Forms::get<frmSplash>().show();
    OpenDatabase();
    mdlSettings::LoadIniSettings();
    mdlSettings::LoadLogoSettings();
    SwallowNextKey = 0;
    frmMain& main = rt::Forms::get<frmMain>();

    if (mdlSettings::ShowDisclaimer == 1) {
        unloadSplash();
        rt::Forms::showModal(rt::Forms::get<frmDisclaimer>());
    }

    main.show();
    if (mdlSettings::MainWindowState == 1)
        main.setWindowState(Qt::WindowMaximized);

    if (mdlSettings::AskOnStartUp != 0) {
        rt::Forms::showModal(rt::Forms::get<frmGetUserData>());
        if (mdlSettings::LoginResult != 1)
            rt::End();
    }

    const mdlInternet::Account account{mdlSettings::ServerURL, mdlSettings::ServerPort,
                                       mdlSettings::UserName, mdlSettings::Password};
    if (mdlInternet::ConnectionSettingsComplete(account, mdlSettings::Originator))
        return;
    unloadSplash();
    if (mdlDialogs::AskUser(1) == rt::mb::Yes)
        main.mnConfigureConnection_Click();
}

} // namespace mdlDataBase

namespace app {

void RunWhileAnyWindowIsLoaded()
{
    if (rt::Forms::loaded().isEmpty())
        return;
    QEventLoop loop;
    UntilNoWindowIsLoaded watcher(loop);
    QCoreApplication::instance()->installEventFilter(&watcher);
    loop.exec();
    QCoreApplication::instance()->removeEventFilter(&watcher);
}

int runProgram(int argc, char* argv[])
{
    rt::Application application(argc, argv);
    // Hidden windows keep the program running too, so the last window closed is no end.
    application.setQuitOnLastWindowClosed(false);
    resources::InstallQtTexts(application);
    rt::setUntrappedErrorReporter(mdlDialogs::ReportUntrappedError);
    // Two programs on one folder would each send the whole out-box, and each write the
    // address book over the other's changes: a second start says so and ends before it
    // writes anything. The hold lasts as long as this program, however it ends.
    const rt::FolderLock folder(rt::App::path());
    if (folder.inUse()) {
        mdlDialogs::ShowFolderInUse(QDir::toNativeSeparators(rt::App::path()));
        return 0;
    }
    try {
        mdlDataBase::Main();
    } catch (const rt::RuntimeError& error) {
        rt::reportUntrapped(error);
    }
    RunWhileAnyWindowIsLoaded();
    return 0;
}

} // namespace app
