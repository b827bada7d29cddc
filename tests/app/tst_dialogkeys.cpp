// The application core's dialogs with real message boxes and real key events: the
// password prompt's one attempt, and Enter on a focused command button, the panel menu's
// buttons included.

#include "app/Main.h"
#include "app/frmAbout.h"
#include "app/frmConfiguration.h"
#include "app/frmDisclaimer.h"
#include "app/frmGetUserData.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlSettings.h"
#include "platform/TextBox.h"
#include "tests/support/Account.h"
#include "tests/support/Fixture.h"
#include "tests/support/RealKeys.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using testsupport::mainWindow;
using testsupport::RealWindows;

namespace {

const QString wrongPasswordBox = QStringLiteral("box: Ο κωδικός που δώσατε δεν είναι σωστός.\n");

// A complete account; the password prompt guards what the flags say.
void writeSettings(quint8 askOnStartUp, quint8 enableSecurity)
{
    testsupport::Account{.originator = QStringLiteral("Vantrel"),
                         .host = QStringLiteral("127.0.0.1"),
                         .port = 80,
                         .user = QStringLiteral("χρήστης"),
                         .password = QStringLiteral("μυστικό"),
                         .security = enableSecurity,
                         .startup = askOnStartUp}
        .apply();
    QVERIFY(mdlSettings::SaveSettings());
}

// The prompt's step: the password typed into its field, then Enter.
RealWindows::Step typePassword(const QString& password)
{
    return [password](QWidget& prompt) {
        RealWindows::typeText(prompt, password);
        RealWindows::pressKeys(prompt, {Qt::Key_Return});
    };
}

// A step that presses Enter on one of the window's buttons, by its name.
RealWindows::Step enterOn(const QString& name)
{
    return [name](QWidget& window) {
        QPushButton* button = window.findChild<QPushButton*>(name);
        QVERIFY2(button, qPrintable(name));
        // Back from a box, the window takes the keyboard again first (the window
        // manager gives it back; the test's display leaves that to a click).
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        button->setFocus();
        RealWindows::pressKeys(window, {Qt::Key_Return});
    };
}

RealWindows::Step press(int key)
{
    return [key](QWidget& window) { RealWindows::pressKeys(window, {key}); };
}

} // namespace

class tst_dialogkeys : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    QTemporaryDir m_current;
    QString m_previousCurrent;

private slots:
    void init()
    {
        // Start-up writes its note into the current folder.
        QVERIFY(m_current.isValid());
        m_previousCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_current.path()));
        QVERIFY2(m_fx.start({.openDatabase = false, .controlLibrary = true, .boxes = false}),
                 qPrintable(m_fx.error()));
        mdlSettings::LoginResult = 0;
        mdlDataBase::SwallowNextKey = 0;
    }
    void cleanup()
    {
        m_fx.stop();
        QDir::setCurrent(m_previousCurrent);
    }

    // A wrong start-up password and Enter: the box comes once, one key closes it, and the
    // program ends.
    void wrongPasswordAtStartUpShowsOneBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void wrongPasswordAtStartUpShowsOneBox()
    {
        QFETCH(int, key);
        writeSettings(1, 1);
        QFile ini(m_fx.folder().file(QStringLiteral("Vantrel.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("Disclaimer = 0\r\n");
        ini.close();
        testsupport::EndCatcher end;
        RealWindows windows;
        windows.thenClosed(typePassword(QStringLiteral("λάθος")));
        windows.thenClosed(press(key));
        bool ended = false;
        try {
            mdlDataBase::Main();
        } catch (const rt::ProgramEnded&) {
            ended = true;
        }
        QVERIFY(ended);
        QCOMPARE(end.count(), 1);
        QCOMPARE(windows.shown(),
                 (QStringList{QStringLiteral("frmGetUserData"), wrongPasswordBox}));
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
        QCOMPARE(mdlSettings::LoginResult, -1);
    }

    // The connection-settings command behind the password: a wrong one shows its box once
    // and nothing follows; the right one opens the settings, whose Cancel takes Enter.
    void passwordBeforeTheConnectionSettings_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("login");
        QTest::newRow("wrong") << QStringLiteral("λάθος")
                               << QStringList{QStringLiteral("frmGetUserData"), wrongPasswordBox}
                               << -1;
        QTest::newRow("right") << QStringLiteral("μυστικό")
                               << QStringList{QStringLiteral("frmGetUserData"),
                                              QStringLiteral("frmConfiguration")}
                               << 1;
    }
    void passwordBeforeTheConnectionSettings()
    {
        QFETCH(QString, password);
        QFETCH(QStringList, shown);
        QFETCH(int, login);
        writeSettings(0, 1);
        QVERIFY(mdlDataBase::MainDatabase().open(m_fx.folder().databasePath()).ok);
        mainWindow().show();
        RealWindows windows;
        windows.thenClosed(typePassword(password));
        windows.thenClosed(login == 1 ? enterOn(QStringLiteral("cmdCancel"))
                                      : press(Qt::Key_Return));
        mainWindow().mnConfigureConnection_Click();
        QCOMPARE(windows.shown(), shown);
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
        QCOMPARE(mdlSettings::LoginResult, login);
        QVERIFY(rt::Forms::loaded() == QList<rt::Form*>{&mainWindow()});
    }

    // Enter on a focused command button of a dialog that leaves Enter to its controls
    // presses that button.
    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button");
        QTest::newRow("About, OK") << QStringLiteral("frmAbout") << QStringLiteral("cmdOK");
        QTest::newRow("terms, Agree")
            << QStringLiteral("frmDisclaimer") << QStringLiteral("cmdAgree");
        QTest::newRow("settings, Cancel")
            << QStringLiteral("frmConfiguration") << QStringLiteral("cmdCancel");
        QTest::newRow("settings, OK")
            << QStringLiteral("frmConfiguration") << QStringLiteral("cmdOK");
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        writeSettings(0, 0);
        QVERIFY(mdlDataBase::MainDatabase().open(m_fx.folder().databasePath()).ok);
        mdlSettings::ShowDisclaimer = 1;
        mainWindow().show();
        RealWindows windows;
        QString typed;
        if (dialog == QLatin1String("frmConfiguration")) {
            // A changed user name tells OK from Cancel.
            windows.thenClosed([button](QWidget& settings) {
                static_cast<frmConfiguration&>(settings).txtUserName->setText(
                    QStringLiteral("άλλος"));
                enterOn(button)(settings);
            });
        } else {
            windows.thenClosed(enterOn(button));
        }
        if (dialog == QLatin1String("frmAbout"))
            mainWindow().mnAbout_Click();
        else if (dialog == QLatin1String("frmDisclaimer"))
            mainWindow().mnDisclaimer_Click();
        else
            mainWindow().mnConfigureConnection_Click();
        QCOMPARE(windows.shown(), QStringList{dialog});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(!rt::IsFormLoaded(dialog));
        if (dialog == QLatin1String("frmDisclaimer"))
            QCOMPARE(mdlSettings::ShowDisclaimer, 0);
        if (dialog == QLatin1String("frmConfiguration"))
            QCOMPARE(mdlSettings::UserName, button == QLatin1String("cmdOK")
                                                ? QStringLiteral("άλλος")
                                                : QStringLiteral("χρήστης"));
    }

    // A box that a dialog's button shows on Enter takes one key; the dialog behind acts
    // once: the About box stays open for its OK, the settings close after their failed save.
    void boxOfAButtonTakesOneKey_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("key");
        QTest::newRow("About, System Info, Enter")
            << QStringLiteral("frmAbout") << int(Qt::Key_Return);
        QTest::newRow("About, System Info, Escape")
            << QStringLiteral("frmAbout") << int(Qt::Key_Escape);
        QTest::newRow("settings not saved, Enter")
            << QStringLiteral("frmConfiguration") << int(Qt::Key_Return);
        QTest::newRow("settings not saved, Escape")
            << QStringLiteral("frmConfiguration") << int(Qt::Key_Escape);
    }
    void boxOfAButtonTakesOneKey()
    {
        QFETCH(QString, dialog);
        QFETCH(int, key);
        writeSettings(0, 0);
        QVERIFY(mdlDataBase::MainDatabase().open(m_fx.folder().databasePath()).ok);
        mainWindow().show();
        const bool about = dialog == QLatin1String("frmAbout");
        if (!about) {
            // The settings file cannot be written where a folder stands in its place.
            QVERIFY(QFile::remove(m_fx.folder().file(QStringLiteral("Vantrel.SET"))));
            QVERIFY(QDir(m_fx.folder().path()).mkdir(QStringLiteral("Vantrel.SET")));
        }
        RealWindows windows;
        bool openAfterBox = false;
        windows.thenClosed([&](QWidget& shown) {
            enterOn(about ? QStringLiteral("cmdSysInfo") : QStringLiteral("cmdOK"))(shown);
            openAfterBox = rt::IsFormLoaded(dialog) && shown.isVisible();
            if (openAfterBox)
                enterOn(about ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel"))(shown);
        });
        windows.thenClosed(press(key));
        if (about)
            mainWindow().mnAbout_Click();
        else
            mainWindow().mnConfigureConnection_Click();
        QCOMPARE(windows.shown().size(), 2);
        QCOMPARE(windows.shown().first(), dialog);
        QCOMPARE(windows.boxTexts().size(), 1);
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
        // After its box the About box waits for its OK; OK in the settings closes them.
        QCOMPARE(openAfterBox, about);
        QVERIFY(!rt::IsFormLoaded(dialog));
    }

    // The panel menu's buttons come from the control library, which the program reaches
    // only through its registration: one of them with the focus takes Enter as its click.
    void enterPressesAFocusedPanelButton()
    {
        writeSettings(0, 0);
        QVERIFY(mdlDataBase::MainDatabase().open(m_fx.folder().databasePath()).ok);
        mainWindow().show();
        mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
        QWidget* panelButton = nullptr;
        for (QWidget* w : mainWindow().VMenu()->findChildren<QWidget*>()) {
            if (w->property("Tag").toString() == QLatin1String("btnGroups") &&
                w->property("Caption").isValid())
                panelButton = w;
        }
        QVERIFY(panelButton);
        QVERIFY(panelButton->isVisible());
        panelButton->setFocus();
        QCOMPARE(QApplication::focusWidget(), panelButton);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmGroup_Organize")));
        RealWindows::pressKeys(mainWindow(), {Qt::Key_Return});
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmGroup_Organize")));
    }
};

QTEST_MAIN(tst_dialogkeys)
#include "tst_dialogkeys.moc"
