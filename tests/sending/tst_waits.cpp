// Windows that go away while the send batch waits for the service: the main window's
// commands run during the wait and replace the docked window, the one the batch was
// started from included.

#include "app/frmMain.h"
#include "app/mdlMainOutbox.h"
#include "app/mdlSettings.h"
#include "compose/ExtraPhonesEditor.h"
#include "compose/MessageEditor.h"
#include "compose/frmMessage_Edit.h"
#include "messages/frmMessage_OutBox.h"
#include "platform/ListView.h"
#include "platform/Form.h"
#include "sending/frmSendMessages.h"
#include "tests/support/FakeSmsService.h"
#include "tests/support/Fixture.h"
#include "tests/support/RealKeys.h"

#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

using testsupport::FakeSmsService;
using Answer = testsupport::FakeSmsService::Answer;

class tst_waits : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    std::function<void()> m_onRequest;

    qint32 addMessage(const QString& text)
    {
        return mdlMain::AddOutboxMessage(QStringLiteral("Τίτλος ") + text, text, QString(),
                                         QStringLiteral("6900000001"), QString(), QString(), false);
    }

    // Runs the action from the event loop once the n-th request has reached the service,
    // while the batch waits for its reply.
    void whenRequested(int nth, std::function<void()> action)
    {
        m_onRequest = [this, nth, action] {
            if (m_fx.service().requests().size() == nth)
                QTimer::singleShot(0, action);
        };
    }

    static QString docked()
    {
        QList<rt::Form*> forms = rt::Forms::loaded();
        for (rt::Form* form : forms) {
            if (!form->isWindow() && form->Name() != QLatin1String("frmMain"))
                return form->Name();
        }
        return QString();
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true, .service = true}), qPrintable(m_fx.error()));
        testsupport::useTestAccount(m_fx.service());
        mdlSettings::ShowDisclaimer = 0;
        m_onRequest = nullptr;
        connect(&m_fx.service(), &FakeSmsService::requestReceived, this, [this] {
            if (m_onRequest)
                m_onRequest();
        });
        rt::Forms::get<frmMain>().show();
    }
    void cleanup() { m_fx.stop(); }

    // The out-box sends all; while the first message waits for its reply the user opens
    // the groups organiser, which unloads the docked out-box. The batch goes on without
    // the list and sends the rest.
    void dockedListReplacedDuringTheWait()
    {
        addMessage(QStringLiteral("one"));
        addMessage(QStringLiteral("two"));
        frmMain& main = rt::Forms::get<frmMain>();
        main.mnOutBox_Click();
        QPointer<frmMessage_OutBox> outbox = rt::Forms::find<frmMessage_OutBox>();
        QVERIFY(outbox);
        QCOMPARE(outbox->OutList()->ListItems().Count(), 2);
        m_fx.service().script(Answer::code(11).delayed(100));
        m_fx.service().script(Answer::code(12));
        m_fx.service().script(Answer::code(500));
        bool replacedInsideTheWait = false;
        whenRequested(1, [&] {
            main.mnGroupOrganize_Click();
            replacedInsideTheWait = docked() == QLatin1String("frmGroup_Organize") &&
                                    rt::Forms::isLoaded(QStringLiteral("frmSendMessages"));
        });

        outbox->SendMessage();

        QVERIFY(replacedInsideTheWait);
        QCOMPARE(testsupport::tableRows(QStringLiteral("sended_messages")).size(), 2);
        QVERIFY(testsupport::tableRows(QStringLiteral("outbox_messages")).isEmpty());
        QCOMPARE(mdlSettings::AvailableSMS, 500);
        QCOMPARE(docked(), QStringLiteral("frmGroup_Organize"));
        QVERIFY(m_fx.boxes().shown().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!outbox);
    }

    // The message window sends its message; while it waits, the user opens the out-box,
    // which takes the message window's place. The message reaches the sent box and no
    // window is left pointing at the one that went.
    void messageWindowReplacedDuringItsOwnSend()
    {
        frmMain& main = rt::Forms::get<frmMain>();
        main.mnNewMessage_Click();
        QPointer<frmMessage_Edit> message = rt::Forms::find<frmMessage_Edit>();
        QVERIFY(message);
        message->Message()->setText(QStringLiteral("ΓΕΙΑ"));
        message->cntrlPhones()->AddPhone(QStringLiteral("6900000002"));
        m_fx.service().script(Answer::code(21).delayed(100));
        m_fx.service().script(Answer::code(400));
        whenRequested(1, [&] { main.mnOutBox_Click(); });

        message->SendMessage();

        QCOMPARE(docked(), QStringLiteral("frmMessage_OutBox"));
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmMessage_Edit")));
        const QList<QVariantMap> sent = testsupport::tableRows(QStringLiteral("sended_messages"));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().value(QStringLiteral("msg_text")).toString(), QStringLiteral("ΓΕΙΑ"));
        // The out-box that docked during the wait saw the message leave it.
        frmMessage_OutBox* outbox = rt::Forms::find<frmMessage_OutBox>();
        QVERIFY(outbox);
        QCOMPARE(outbox->OutList()->ListItems().Count(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!message);
    }

    // The out-box's context menu sends the message: the batch runs inside the menu, and
    // while it waits the user replaces the out-box, menu and all. The menu ends, then the
    // window that owned it goes.
    void contextMenuCommandOutlivesItsWindow()
    {
        addMessage(QStringLiteral("one"));
        frmMain& main = rt::Forms::get<frmMain>();
        main.mnOutBox_Click();
        QPointer<frmMessage_OutBox> outbox = rt::Forms::find<frmMessage_OutBox>();
        QVERIFY(outbox);
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        m_fx.service().script(Answer::code(31).delayed(100));
        m_fx.service().script(Answer::code(300));
        whenRequested(1, [&] { main.mnGroupOrganize_Click(); });
        testsupport::RealWindows windows;
        // The first entry, "Αποστολή Μηνύματος".
        windows.then([](QWidget& menu) {
            testsupport::RealWindows::pressKeys(menu, {Qt::Key_Down, Qt::Key_Return});
        });
        QWidget* rows = outbox->OutList()->viewport();
        QTest::mouseClick(rows, Qt::RightButton, {}, QPoint(20, 10));

        QCOMPARE(windows.shown().size(), 1);
        QVERIFY(windows.unanswered().isEmpty());
        QCOMPARE(testsupport::tableRows(QStringLiteral("sended_messages")).size(), 1);
        QCOMPARE(docked(), QStringLiteral("frmGroup_Organize"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!outbox);
    }

    // A list counts the numbers of each row while it loads; a command that comes in the
    // meantime (here one already waiting) runs after the load, never inside it.
    void aCommandWaitsForTheListToLoad()
    {
        for (int i = 0; i < 5; ++i)
            addMessage(QString::number(i));
        frmMain& main = rt::Forms::get<frmMain>();
        int rowsWhenTheCommandRan = -1;
        QMetaObject::invokeMethod(
            this,
            [&] {
                frmMessage_OutBox* outbox = rt::Forms::find<frmMessage_OutBox>();
                rowsWhenTheCommandRan = outbox ? outbox->OutList()->ListItems().Count() : 0;
                main.mnGroupOrganize_Click();
            },
            Qt::QueuedConnection);
        main.mnOutBox_Click();
        QCOMPARE(rowsWhenTheCommandRan, -1);
        QCOMPARE(rt::Forms::find<frmMessage_OutBox>()->OutList()->ListItems().Count(), 5);
        QCoreApplication::processEvents();
        QCOMPARE(rowsWhenTheCommandRan, 5);
        QCOMPARE(docked(), QStringLiteral("frmGroup_Organize"));
    }
};

QTEST_MAIN(tst_waits)
#include "tst_waits.moc"
