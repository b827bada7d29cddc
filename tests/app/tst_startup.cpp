#include "app/Main.h"
#include "app/PasswordField.h"
#include "app/frmDisclaimer.h"
#include "app/frmGetUserData.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "tests/support/Account.h"
#include "tests/support/ControlLibrary.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using testsupport::ControlLibrary;
using testsupport::EndCatcher;
using testsupport::ModalScript;
using testsupport::ProgramFolder;
using testsupport::ScriptedMessageBoxes;

namespace {

// What the user saw, in order: each window as it appears ("frmSplash") and each box
// by its first line ("box: ...").
class Timeline : public QObject {
public:
    explicit Timeline(ScriptedMessageBoxes& boxes)
    {
        qApp->installEventFilter(this);
        boxes.onShow([this](const testsupport::ShownBox& box) {
            events << QStringLiteral("box: ") + box.text.section(QLatin1Char('\n'), 0, 0);
            splashUnderBox << mdlDataBase::IsFormLoaded(QStringLiteral("frmSplash"));
        });
    }
    ~Timeline() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* form = qobject_cast<rt::Form*>(watched); form && form->isWindow())
                events << form->Name();
        }
        return false;
    }
    QStringList events;
    QList<bool> splashUnderBox;
};

// Posts a key press (Enter) or a click to a form the moment it is first shown, so that
// the events run wherever the form's code lets events run next.
class PostOnShow : public QObject {
public:
    PostOnShow(const QString& name, bool click) : m_name(name), m_click(click)
    {
        qApp->installEventFilter(this);
    }
    ~PostOnShow() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* form = qobject_cast<rt::Form*>(watched);
        if (posted || event->type() != QEvent::Show || form == nullptr || form->Name() != m_name)
            return false;
        posted = true;
        splash = form;
        if (m_click) {
            const QPointF at(form->width() / 2.0, form->height() / 2.0);
            QCoreApplication::postEvent(
                form, new QMouseEvent(QEvent::MouseButtonPress, at, form->mapToGlobal(at),
                                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(
                form, new QMouseEvent(QEvent::MouseButtonRelease, at, form->mapToGlobal(at),
                                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        } else {
            QCoreApplication::postEvent(form, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return,
                                                            Qt::NoModifier, QStringLiteral("\r")));
            QCoreApplication::postEvent(form, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return,
                                                            Qt::NoModifier, QStringLiteral("\r")));
        }
        return false;
    }
    bool posted = false;
    QPointer<rt::Form> splash;

private:
    QString m_name;
    bool m_click;
};

const QString incompleteQuestion =
    QStringLiteral("box: Κάποια από τα στοιχεία στις παραμέτρους του προγράμματος είναι ελλιπή.");

} // namespace

class tst_startup : public QObject {
    Q_OBJECT

    QTemporaryDir m_current;
    QString m_previousCurrent;
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ControlLibrary> m_library;
    std::unique_ptr<ScriptedMessageBoxes> m_boxes;
    std::unique_ptr<ModalScript> m_modals;
    std::unique_ptr<Timeline> m_timeline;
    std::unique_ptr<EndCatcher> m_end;

    void prepare(bool withDatabase)
    {
        m_folder = std::make_unique<ProgramFolder>(withDatabase);
        QVERIFY(m_folder->isValid());
        m_library = std::make_unique<ControlLibrary>(m_folder->path());
        QVERIFY2(m_library->isValid(), qPrintable(m_library->error()));
    }
    // A complete account with every flag off.
    void writeSettings(const QString& originator = QStringLiteral("Vantrel"), int port = 80,
                       quint8 askOnStartUp = 0, quint8 enableSecurity = 0)
    {
        testsupport::Account{.originator = originator,
                             .host = QStringLiteral("127.0.0.1"),
                             .port = static_cast<quint16>(port),
                             .user = QStringLiteral("χρήστης"),
                             .password = QStringLiteral("μυστικό"),
                             .security = enableSecurity,
                             .startup = askOnStartUp}
            .apply();
        QVERIFY(mdlSettings::SaveSettings());
    }
    void writeIni(const QByteArray& lines)
    {
        QFile ini(m_folder->file(QStringLiteral("Vantrel.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(lines);
    }
    bool runMain()
    {
        try {
            mdlDataBase::Main();
            return true;
        } catch (const rt::ProgramEnded&) {
            return false;
        }
    }
    QStringList events() const { return m_timeline->events; }

private slots:
    void init()
    {
        QVERIFY(m_current.isValid());
        m_previousCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_current.path()));
        QFile::remove(m_current.filePath(QStringLiteral("IMPORTANT.TXT")));
        m_end = std::make_unique<EndCatcher>();
        m_boxes = std::make_unique<ScriptedMessageBoxes>();
        m_modals = std::make_unique<ModalScript>();
        m_timeline = std::make_unique<Timeline>(*m_boxes);
        rt::setUntrappedErrorReporter(mdlDialogs::ReportUntrappedError);
        mdlSettings::LoginResult = 0;
        mdlDataBase::SwallowNextKey = 1;
    }
    void cleanup()
    {
        rt::Forms::discardAll();
        mdlDataBase::MainDatabase().close();
        m_timeline.reset();
        m_modals.reset();
        m_boxes.reset();
        m_library.reset();
        m_folder.reset();
        m_end.reset();
        QDir::setCurrent(m_previousCurrent);
    }

    void theProgramRunsWhileAnyWindowIsLoaded()
    {
        rt::Form& shown = rt::Forms::get<frmDisclaimer>();
        shown.show();
        rt::Form& hidden = rt::Forms::get<frmGetUserData>();
        bool hiddenLeftLast = false;
        // The terms refuse their close box; only Agree lets them go.
        QTimer::singleShot(10, &shown,
                           [&shown] { static_cast<frmDisclaimer&>(shown).cmdAgree_Click(); });
        QTimer::singleShot(60, &hidden, [&hidden, &hiddenLeftLast] {
            hiddenLeftLast = !mdlDataBase::IsFormLoaded(QStringLiteral("frmDisclaimer"));
            rt::Forms::unload(&hidden);
        });
        app::RunWhileAnyWindowIsLoaded();
        QVERIFY(hiddenLeftLast);
        QVERIFY(rt::Forms::loaded().isEmpty());
    }

    void noSettingsFile()
    {
        prepare(true);
        QVERIFY(!runMain());
        QCOMPARE(m_boxes->shown().size(), 1);
        QVERIFY(m_boxes->shown().first().text.startsWith(
            QStringLiteral("Το αρχείο ρυθμίσεων του προγράμματος δεν βρέθηκε..\n")));
        QCOMPARE(m_boxes->shown().first().icon(), int(rt::mb::Critical));
        QVERIFY(!events().contains(QStringLiteral("frmSplash")));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmSplash")));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMain")));
        // The note is the one thing written before.
        QVERIFY(QFile::exists(m_current.filePath(QStringLiteral("IMPORTANT.TXT"))));
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("ERROR.LOG"))));
    }

    void settingsButNoDatabase()
    {
        prepare(false);
        writeSettings();
        QVERIFY(!runMain());
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(events().size(), 2);
        QCOMPARE(events().first(), QStringLiteral("frmSplash"));
        QVERIFY(events().last().startsWith(QStringLiteral("box: Σφάλμα: ")));
        QCOMPARE(m_boxes->shown().first().icon(), int(rt::mb::Exclamation));
        QFile log(m_folder->file(QStringLiteral("ERROR.LOG")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("\r\n"), 1);
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMain")));
        QVERIFY(!QFile::exists(m_folder->databasePath()));
    }

    void disagreeEndsBeforeTheMainWindowIsShown()
    {
        prepare(true);
        writeSettings();
        m_modals->then([](rt::Form& form) {
            QCOMPARE(form.Name(), QStringLiteral("frmDisclaimer"));
            QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmSplash")));
            static_cast<frmDisclaimer&>(form).cmdDisagree_Click();
        });
        QVERIFY(!runMain());
        QCOMPARE(m_end->count(), 1);
        QVERIFY(mdlDataBase::IsFormLoaded(QStringLiteral("frmMain")));
        QVERIFY(!events().contains(QStringLiteral("frmMain")));
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("Vantrel.INI"))));
    }

    void agreeShowsTheMainWindowAndIsRecordedOnClose()
    {
        prepare(true);
        writeSettings();
        m_modals->then([](rt::Form& form) { static_cast<frmDisclaimer&>(form).cmdAgree_Click(); });
        QVERIFY(runMain());
        QCOMPARE(events(), (QStringList{"frmSplash", "frmDisclaimer", "frmMain"}));
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(mdlSettings::ShowDisclaimer, quint8(0));
        QCOMPARE(mdlDataBase::SwallowNextKey, 0);
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("Vantrel.INI"))));
        frmMain& main = rt::Forms::get<frmMain>();
        QVERIFY(main.isVisible());
        QVERIFY(main.close());
        QFile ini(m_folder->file(QStringLiteral("Vantrel.INI")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().startsWith("Disclaimer = 0\r\n"));
    }

    void termsAreNotShownOnceAgreed()
    {
        prepare(true);
        writeSettings();
        writeIni("Disclaimer = 0\r\nWindowState = 1\r\n");
        QVERIFY(runMain());
        QVERIFY(m_modals->shownNames().isEmpty());
        QVERIFY(rt::Forms::get<frmMain>().isMaximized());
        // With nothing to ask, the splash is left to close itself.
        QVERIFY(mdlDataBase::IsFormLoaded(QStringLiteral("frmSplash")));
    }

    // A key or click that reaches the splash while it is being shown, inside its own
    // load: the splash closes and start-up goes on to the main window.
    void splashClosedWhileItLoads_data()
    {
        QTest::addColumn<bool>("click");
        QTest::newRow("Enter") << false;
        QTest::newRow("click") << true;
    }
    void splashClosedWhileItLoads()
    {
        QFETCH(bool, click);
        prepare(true);
        writeSettings();
        writeIni("Disclaimer = 0\r\n");
        PostOnShow poster(QStringLiteral("frmSplash"), click);
        QVERIFY(runMain());
        QVERIFY(poster.posted);
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmSplash")));
        QVERIFY(poster.splash);
        QVERIFY(!poster.splash->isVisible());
        QVERIFY(rt::Forms::get<frmMain>().isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!poster.splash);
    }

    void startUpPassword_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<int>("boxes");
        QTest::newRow("right") << QStringLiteral("μυστικό") << false << true << 0;
        QTest::newRow("wrong") << QStringLiteral("λάθος") << false << false << 1;
        QTest::newRow("escape") << QStringLiteral("μυστικό") << true << false << 0;
    }
    void startUpPassword()
    {
        QFETCH(QString, typed);
        QFETCH(bool, escape);
        QFETCH(bool, runs);
        QFETCH(int, boxes);
        prepare(true);
        writeSettings(QStringLiteral("Vantrel"), 80, 1, 0);
        writeIni("Disclaimer = 0\r\n");
        bool mainShownFirst = false;
        m_modals->then([&](rt::Form& form) {
            QCOMPARE(form.Name(), QStringLiteral("frmGetUserData"));
            mainShownFirst = rt::Forms::get<frmMain>().isVisible();
            auto& prompt = static_cast<frmGetUserData&>(form);
            prompt.txtPassword->setText(typed);
            if (escape)
                QTest::keyClick(prompt.txtPassword->findChild<QWidget*>(), Qt::Key_Escape);
            else
                prompt.cmdOK_Click();
        });
        QCOMPARE(runMain(), runs);
        QVERIFY(mainShownFirst);
        QCOMPARE(m_boxes->shown().size(), boxes);
        if (boxes)
            QCOMPARE(events().last(),
                     QStringLiteral("box: Ο κωδικός που δώσατε δεν είναι σωστός."));
        QCOMPARE(mdlSettings::LoginResult, escape ? 0 : runs ? 1 : -1);
    }

    void incompleteSettingsAreOffered_data()
    {
        QTest::addColumn<QString>("originator");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("asked");
        QTest::newRow("empty originator") << QString() << 80 << true;
        QTest::newRow("port 0") << QStringLiteral("Vantrel") << 0 << true;
        QTest::newRow("wrong but not 0 port") << QStringLiteral("Vantrel") << 1 << false;
        QTest::newRow("port above 32767") << QStringLiteral("Vantrel") << 40000 << false;
        QTest::newRow("highest port") << QStringLiteral("Vantrel") << 65535 << false;
    }
    void incompleteSettingsAreOffered()
    {
        QFETCH(QString, originator);
        QFETCH(int, port);
        QFETCH(bool, asked);
        prepare(true);
        writeSettings(originator, port);
        writeIni("Disclaimer = 0\r\n");
        m_boxes->answer(rt::mb::No);
        QVERIFY(runMain());
        QCOMPARE(events().contains(incompleteQuestion), asked);
        if (asked) {
            QCOMPARE(m_boxes->shown().size(), 1);
            QCOMPARE(m_boxes->shown().first().buttons(), int(rt::mb::YesNo));
            // The splash is gone before the question.
            QCOMPARE(m_timeline->splashUnderBox, QList<bool>{false});
        } else {
            QVERIFY(m_boxes->shown().isEmpty());
        }
        QVERIFY(m_modals->shownNames().isEmpty());
        QVERIFY(rt::Forms::get<frmMain>().isVisible());
    }

    void yesOpensTheConnectionSettings_data()
    {
        QTest::addColumn<quint8>("security");
        QTest::addColumn<bool>("cancelPassword");
        QTest::addColumn<QStringList>("modals");
        QTest::newRow("no security") << quint8(0) << false << QStringList{"frmConfiguration"};
        QTest::newRow("security, right password")
            << quint8(1) << false << QStringList{"frmGetUserData", "frmConfiguration"};
        QTest::newRow("security, cancelled password")
            << quint8(1) << true << QStringList{"frmGetUserData"};
    }
    void yesOpensTheConnectionSettings()
    {
        QFETCH(quint8, security);
        QFETCH(bool, cancelPassword);
        QFETCH(QStringList, modals);
        prepare(true);
        writeSettings(QString(), 80, 0, security);
        writeIni("Disclaimer = 0\r\n");
        m_boxes->answer(rt::mb::Yes);
        if (security) {
            m_modals->then([cancelPassword](rt::Form& form) {
                auto& prompt = static_cast<frmGetUserData&>(form);
                if (cancelPassword) {
                    prompt.cmdCancel_Click();
                } else {
                    prompt.txtPassword->setText(mdlSettings::Password);
                    prompt.cmdOK_Click();
                }
            });
        }
        m_modals->then([](rt::Form& form) { rt::Forms::unload(&form); });
        QVERIFY(runMain());
        QCOMPARE(m_modals->shownNames(), modals);
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
