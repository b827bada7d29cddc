#include "app/ChildFormCollection.h"
#include "app/PasswordField.h"
#include "app/frmGetUserData.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlMainOutbox.h"
#include "app/mdlSettings.h"
#include "messages/frmMessage_Properties.h"
#include "platform/Clock.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/ProgressBar.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "platform/Winsock.h"
#include "sending/TCPSender.h"
#include "sending/frmSendMessages.h"
#include "sending/mdlInternet.h"
#include "sending/mdlUnrecorded.h"
#include "tests/support/FakeSmsService.h"
#include "tests/support/Fixture.h"
#include "tests/support/MomentaryLock.h"
#include "tests/support/Seams.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using testsupport::FakeSmsService;
using Answer = FakeSmsService::Answer;

Q_DECLARE_METATYPE(FakeSmsService::Answer)
using Hold = testsupport::MomentaryLock::Hold;
Q_DECLARE_METATYPE(Hold)

namespace {

// Stand-ins for the docked lists: they dock as the lists do and note what the batch
// asked of them, and what the database held at that moment.
class frmMessage_OutBox : public rt::Form {
    Q_OBJECT
public:
    frmMessage_OutBox()
        : rt::Form(QStringLiteral("frmMessage_OutBox")), OutList(new rt::ListView(this))
    {
        OutList->setObjectName(QStringLiteral("OutList"));
    }
    rt::ListView* OutList;
    QList<int> itemsAtSetControlState;
    std::function<void()> onSetControlState;

    Q_INVOKABLE void SetControlState()
    {
        itemsAtSetControlState.append(OutList->ListItems().Count());
        if (onSetControlState)
            onSetControlState();
    }

protected:
    void Form_Load() override { mdlMain::AttachChildForm(*this); }
    void Form_Unload(bool& cancel) override
    {
        Q_UNUSED(cancel);
        mdlMain::DetachChildForm(*this);
    }
};

class frmMessage_Sended : public rt::Form {
    Q_OBJECT
public:
    frmMessage_Sended() : rt::Form(QStringLiteral("frmMessage_Sended")) {}
    std::function<void()> onRefresh;
    int refreshed = 0;

    Q_INVOKABLE void RefreshSendList()
    {
        ++refreshed;
        if (onRefresh)
            onRefresh();
    }

protected:
    void Form_Load() override { mdlMain::AttachChildForm(*this); }
    void Form_Unload(bool& cancel) override
    {
        Q_UNUSED(cancel);
        mdlMain::DetachChildForm(*this);
    }
};

// A sent list built without the method the batch calls.
class frmBrokenSentList : public rt::Form {
public:
    frmBrokenSentList() : rt::Form(QStringLiteral("frmMessage_Sended")) {}

protected:
    void Form_Load() override { mdlMain::AttachChildForm(*this); }
    void Form_Unload(bool& cancel) override
    {
        Q_UNUSED(cancel);
        mdlMain::DetachChildForm(*this);
    }
};

struct Row {
    qint64 id = 0;
    QVariantMap fields;
    QVariant operator[](const char* name) const { return fields.value(QLatin1String(name)); }
};

QList<Row> rows(const QString& table)
{
    QList<Row> result;
    for (const QVariantMap& fields : testsupport::tableRows(table))
        result.append(Row{fields.value(QStringLiteral("msg_id")).toLongLong(), fields});
    return result;
}

QList<Row> outbox()
{
    return rows(QStringLiteral("outbox_messages"));
}
QList<Row> sent()
{
    return rows(QStringLiteral("sended_messages"));
}

QString script(const QByteArray& request)
{
    const int start = int(request.indexOf("/prog/")) + 6;
    return QString::fromLatin1(request.mid(start, request.indexOf(' ', start) - start));
}

QString messageText(const QByteArray& request)
{
    const int start = int(request.indexOf("&M=")) + 3;
    return rt::cp1253::toUnicode(request.mid(start, request.indexOf('&', start) - start));
}

bool sameImage(const QIcon& a, const QIcon& b)
{
    return !a.isNull() && a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

frmSendMessages* sendingWindow()
{
    return rt::Forms::find<frmSendMessages>();
}

bool sendingWindowLoaded()
{
    return mdlDataBase::IsFormLoaded(QStringLiteral("frmSendMessages"));
}

} // namespace

// The sending window against the loopback service: batches, credits, their failures and
// the connection panel, with the real main window around it.
class tst_sendmessages : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    rt::TestClock m_clock{QDateTime(QDate(2024, 3, 5), QTime(9, 7, 42))};
    // What the window showed whenever a request reached the service.
    QStringList m_statusLines;
    QList<int> m_progress;
    std::function<void()> m_onRequest;

    qint32 addMessage(const QString& text, const QString& phones = QStringLiteral("6900000001"))
    {
        return mdlMain::AddOutboxMessage(QStringLiteral("Τίτλος ") + text, text, QString(), phones,
                                         QString(), QString(), false);
    }

    frmSendMessages& window(int replyLimitMs = 2000)
    {
        frmSendMessages& w = rt::Forms::get<frmSendMessages>();
        w.Sender->setReplyLimitMs(replyLimitMs);
        return w;
    }

    QStringList scripts() const
    {
        QStringList names;
        for (const QByteArray& request : m_fx.service().requests())
            names.append(script(request));
        return names;
    }

    QList<testsupport::ShownBox> boxes() const { return m_fx.boxes().shown(); }

    rt::StatusPanel* panel(const QString& key) const
    {
        return rt::Forms::get<frmMain>().StatusBar()->Panel(key);
    }

    QString log() const
    {
        QFile file(m_fx.folder().file(QStringLiteral("ERROR.LOG")));
        return file.open(QIODevice::ReadOnly) ? rt::cp1253::toUnicode(file.readAll()) : QString();
    }

    // A row's msg_error as another program reads it from the file at this moment: what is
    // committed, nothing else; "gone" when the row is not in the out-box.
    QVariant codeOnDisk(qint32 id) const
    {
        rt::Database other;
        if (!other.open(m_fx.folder().databasePath()))
            return QStringLiteral("unreadable");
        rt::Recordset rs = other.openRecordset(
            {QStringLiteral("SELECT msg_error FROM outbox_messages WHERE msg_id = ?"), {id}},
            rt::RecordsetType::Snapshot);
        if (!rs.isOpen())
            return QStringLiteral("unreadable");
        return rs.eof() ? QVariant(QStringLiteral("gone")) : rs.field(0);
    }

    static void setCode(qint32 id, const QVariant& code)
    {
        QVERIFY(mdlDataBase::MainDatabase().execute(
            {QStringLiteral("UPDATE outbox_messages SET msg_error = ? WHERE msg_id = ?"),
             {code, id}}));
    }

    // What a row may carry from an earlier batch: it is the row's own, and a batch that
    // stops before sending the row leaves it exactly so.
    static void earlierCodes()
    {
        QTest::addColumn<QVariant>("earlier");
        QTest::newRow("clean") << QVariant();
        QTest::newRow("an earlier refusal") << QVariant(-700);
        QTest::newRow("an earlier mark") << QVariant(int(mdlInternet::NoReply));
    }

    // What the user is told of a message the service accepted and the program could not
    // record.
    static QString unrecordedText(const QString& title, int serverId, int number,
                                  const QString& description)
    {
        return QStringLiteral("Το μήνυμα \"") + title +
               QStringLiteral("\" έγινε δεκτό από τον διακομιστή μηνυμάτων\n"
                              "με αριθμό ") +
               QString::number(serverId) +
               QStringLiteral(", αλλά δεν ήταν δυνατό να καταχωρηθεί στα Απεσταλμένα.\n"
                              "Παραμένει στα Εξερχόμενα με την ένδειξη αποτυχίας και δεν θα "
                              "σταλεί ξανά:\n"
                              "με την επόμενη Αποστολή θα καταχωρηθεί στα Απεσταλμένα με τον "
                              "ίδιο αριθμό.\n\nΣφάλμα: ") +
               QString::number(number) + QLatin1Char('\n') + description;
    }

    // What the database layer says of a write that another program's lock kept out.
    QString lockedDescription() const
    {
        testsupport::MomentaryLock lock(m_fx.folder().databasePath(), -1);
        rt::Database other;
        other.open(m_fx.folder().databasePath());
        other.setLockWaitMs(0);
        return other.execute({QStringLiteral("BEGIN IMMEDIATE"), {}}).description;
    }

    QString acceptedFile() const { return m_fx.folder().file(mdlUnrecorded::FileName); }

    // The batch that sends `newer` and `older` (newest first) meets another program's lock
    // held for good once the service has accepted `newer` as 1001: the user is told, and
    // the row waits to be recorded.
    void acceptedButLockedOut(qint32 older, qint32 newer)
    {
        m_fx.service().script(Answer::code(1001));
        std::unique_ptr<testsupport::MomentaryLock> lock;
        m_onRequest = [&] {
            lock = std::make_unique<testsupport::MomentaryLock>(m_fx.folder().databasePath(), -1);
        };
        frmSendMessages& w = window();
        w.setAcceptedMoveLimitMs(600);
        w.SendOutBoxMessages(-1);
        m_onRequest = nullptr;
        QVERIFY(lock && lock->isHeld());
        lock.reset();
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(outbox().size(), 2);
        QCOMPARE(outbox().at(1).id, qint64(newer));
        QCOMPARE(outbox().at(1)["msg_error"].toInt(), int(mdlInternet::NoReply));
        QVERIFY(!outbox().at(0)["msg_error"].isValid());
        QCOMPARE(outbox().at(0).id, qint64(older));
        QVERIFY(sent().isEmpty());
    }

    static bool sameCode(const QVariant& actual, const QVariant& expected)
    {
        return actual.isValid() == expected.isValid() && actual.toInt() == expected.toInt();
    }

    // The batch stopped after its first message: that one is in the sent box, the other
    // row waits with `code`, and the window is gone.
    void stoppedAfterTheFirst(qint32 waiting, const QVariant& code) const
    {
        QCOMPARE(scripts(), QStringList{"send.php"});
        QCOMPARE(sent().size(), 1);
        const QList<Row> left = outbox();
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().id, qint64(waiting));
        QVERIFY2(sameCode(left.first()["msg_error"], code),
                 qPrintable(left.first()["msg_error"].toString()));
        QVERIFY(!sendingWindowLoaded());
    }

    // Runs an action once the window's current request has reached the service, from the
    // event loop, as a click would come.
    void whenRequested(int nth, std::function<void()> action)
    {
        m_onRequest = [this, nth, action] {
            if (m_fx.service().requests().size() == nth)
                QTimer::singleShot(0, action);
        };
    }

private slots:
    void init()
    {
        rt::setClock(&m_clock);
        QVERIFY2(m_fx.start({.controlLibrary = true, .service = true}), qPrintable(m_fx.error()));
        testsupport::useTestAccount(m_fx.service());
        mdlSettings::AvailableSMS = -1;
        mdlSettings::ShowDisclaimer = 0;
        m_statusLines.clear();
        m_progress.clear();
        m_onRequest = nullptr;
        connect(&m_fx.service(), &FakeSmsService::requestReceived, this, [this] {
            if (frmSendMessages* w = sendingWindow()) {
                m_statusLines.append(w->lblStatus->text());
                m_progress.append(w->PrgBar->Value());
            }
            if (m_onRequest)
                m_onRequest();
        });
        rt::Forms::get<frmMain>();
        mdlMain::ShowCredits();
        m_fx.boxes().clear();
    }
    void cleanup()
    {
        m_fx.stop();
        mdlUnrecorded::Reset();
        rt::setClock(nullptr);
        mdlSettings::AskOnSend = 0;
    }

    // ---- the batch --------------------------------------------------------------------

    void threeAcceptedAreSentNewestFirstAndMoved()
    {
        addMessage(QStringLiteral("one"));
        const qint32 two = addMessage(QStringLiteral("two"), QStringLiteral(",6900000002"));
        addMessage(QStringLiteral("three"));
        QVERIFY(mdlDataBase::MainDatabase().execute(
            {QStringLiteral("UPDATE outbox_messages SET msg_groups = ?, msg_schdate = ?, "
                            "msg_schtime = ? WHERE msg_id = ?"),
             {QStringLiteral("3,4"), QStringLiteral("2024-03-07"), QStringLiteral("18:30"), two}}));
        m_fx.service().script(Answer::code(101));
        m_fx.service().script(Answer::code(102));
        m_fx.service().script(Answer::code(103));
        m_fx.service().script(Answer::code(1250));
        m_clock.set(QDateTime(QDate(2024, 3, 6), QTime(20, 15)));

        window().SendOutBoxMessages(-1);

        QCOMPARE(scripts(), (QStringList{"send.php", "send.php", "send.php", "credits.php"}));
        QCOMPARE(messageText(m_fx.service().requests().at(0)), QStringLiteral("three"));
        QCOMPARE(messageText(m_fx.service().requests().at(1)), QStringLiteral("two"));
        QCOMPARE(messageText(m_fx.service().requests().at(2)), QStringLiteral("one"));
        QVERIFY(m_fx.service().requests().at(1).contains("&D=2024.03.07.18.30&"));
        QCOMPARE(m_statusLines, (QStringList{QStringLiteral("Αποστολή μηνύματος 1 από 3"),
                                             QStringLiteral("Αποστολή μηνύματος 2 από 3"),
                                             QStringLiteral("Αποστολή μηνύματος 3 από 3"),
                                             QStringLiteral("Γίνεται έλεγχος μονάδων (Credits)")}));
        QCOMPARE(m_progress, (QList<int>{0, 1, 2, 3}));

        QVERIFY(outbox().isEmpty());
        const QList<Row> moved = sent();
        QCOMPARE(moved.size(), 3);
        const QList<int> sids{101, 102, 103};
        for (int i = 0; i < 3; ++i) {
            const Row& row = moved.at(i);
            QCOMPARE(row["msg_SID"].toInt(), sids.at(i));
            QCOMPARE(row["msg_Status"].toInt(), 1);
            QCOMPARE(row["msg_date"].toString(), QStringLiteral("2024-03-06"));
            QCOMPARE(row["msg_time"].toString(), QStringLiteral("20:15"));
            QCOMPARE(row["msg_originator"].toString(), QStringLiteral("Shop"));
            QCOMPARE(row["msg_flash"].toInt(), 0);
            QCOMPARE(row["msg_title"].toString(),
                     QStringLiteral("Τίτλος ") + messageText(m_fx.service().requests().at(i)));
        }
        QCOMPARE(moved.at(1)["msg_groups"].toString(), QStringLiteral("3,4"));
        QCOMPARE(moved.at(1)["msg_phonelist"].toString(), QStringLiteral(",6900000002"));
        QCOMPARE(moved.at(1)["msg_schdate"].toString(), QStringLiteral("2024-03-07"));
        QCOMPARE(moved.at(1)["msg_schtime"].toString(), QStringLiteral("18:30"));
        QVERIFY(!moved.at(0)["msg_schtime"].isValid());

        QCOMPARE(mdlSettings::AvailableSMS, 1250);
        QCOMPARE(panel(QStringLiteral("pnlSMSAvailable"))->Text(), QStringLiteral("1250 SMS"));
        QVERIFY(!sendingWindowLoaded());
        QVERIFY(boxes().isEmpty());
    }

    void refusedSecondStopsTheBatch()
    {
        const qint32 one = addMessage(QStringLiteral("one"));
        const qint32 two = addMessage(QStringLiteral("two"));
        addMessage(QStringLiteral("three"));
        m_fx.service().script(Answer::code(101));
        m_fx.service().script(Answer::code(-700));

        window().SendOutBoxMessages(-1);

        QCOMPARE(scripts(), (QStringList{"send.php", "send.php"}));
        const QList<Row> moved = sent();
        QCOMPARE(moved.size(), 1);
        QCOMPARE(moved.first()["msg_text"].toString(), QStringLiteral("three"));
        const QList<Row> left = outbox();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.at(0).id, qint64(one));
        QVERIFY(!left.at(0)["msg_error"].isValid());
        QCOMPARE(left.at(1).id, qint64(two));
        QCOMPARE(left.at(1)["msg_error"].toInt(), -700);

        QCOMPARE(boxes().size(), 1);
        const QString expected =
            QStringLiteral("Σφάλμα: -700\n") + mdlInternet::ServerErrorText(-700);
        QCOMPARE(boxes().first().text, expected);
        QCOMPARE(boxes().first().text.count(QLatin1Char('\n')), 4);
        QVERIFY(log().contains(QStringLiteral("Source: Internet Connection")));
        QVERIFY(log().contains(QStringLiteral("Σφάλμα: -700")));
        QCOMPARE(mdlSettings::AvailableSMS, -1);
        QVERIFY(!sendingWindowLoaded());
    }

    void everyFaultEndsWithItsCode_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("code");
        QTest::newRow("no reply") << Answer::never() << false << -31000;
        QTest::newRow("unreadable")
            << Answer::raw(FakeSmsService::httpReply("busy")) << false << -32000;
        QTest::newRow("refused") << Answer::code(0) << true << -31000;
        QTest::newRow("reset") << Answer::reset() << false << -31000;
        QTest::newRow("closed without a byte") << Answer::closeAfterRequest() << false << -31000;
        QTest::newRow("server code") << Answer::code(-400) << false << -400;
    }
    void everyFaultEndsWithItsCode()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, refused);
        QFETCH(int, code);
        const qint32 older = addMessage(QStringLiteral("older"));
        const qint32 newer = addMessage(QStringLiteral("newer"));
        m_fx.service().script(answer);
        if (refused)
            mdlSettings::ServerPort = FakeSmsService::unusedPort();

        window(400).SendOutBoxMessages(-1);

        // Each message is in exactly one box: the failed one marked, the other untouched.
        QVERIFY(sent().isEmpty());
        const QList<Row> left = outbox();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.at(0).id, qint64(older));
        QVERIFY(!left.at(0)["msg_error"].isValid());
        QCOMPARE(left.at(1).id, qint64(newer));
        QCOMPARE(left.at(1)["msg_error"].toInt(), code);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes().first().text, QStringLiteral("Σφάλμα: ") + QString::number(code) +
                                           QLatin1Char('\n') + mdlInternet::ServerErrorText(code));
        QCOMPARE(log().count(QStringLiteral("\r\n")), 1);
        QCOMPARE(m_fx.service().requests().size(), refused ? 0 : 1);
        QVERIFY(!sendingWindowLoaded());
    }

    void cancelDuringAnExchange_data()
    {
        QTest::addColumn<int>("before"); // messages accepted before the one cancelled
        QTest::newRow("the first") << 0;
        // Marked with the move of the one before it.
        QTest::newRow("a later one") << 1;
    }
    void cancelDuringAnExchange()
    {
        QFETCH(int, before);
        const qint32 older = addMessage(QStringLiteral("older"));
        const qint32 newer = addMessage(QStringLiteral("newer"));
        for (int i = 0; i < before; ++i) {
            addMessage(QStringLiteral("newest"));
            m_fx.service().script(Answer::code(5));
        }
        m_fx.service().script(Answer::never());
        bool checked = false;
        whenRequested(before + 1, [&] {
            frmSendMessages* w = sendingWindow();
            QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
            checked = !w->cmdCancel->isEnabled() && !w->cmdHide->isEnabled() &&
                      !w->cmdClose->isHidden() && w->cmdHide->isHidden() &&
                      w->lblStatus->text() ==
                          QStringLiteral("Γίνεται προσπάθεια διακοπής της σύνδεσης ...") &&
                      w->CancelRequested;
        });

        // A limit far beyond the test's run: only the Cancel ends this wait.
        window(60000).SendOutBoxMessages(-1);

        QVERIFY(checked);
        QCOMPARE(scripts(), QStringList(before + 1, QStringLiteral("send.php")));
        const QList<Row> left = outbox();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.at(0).id, qint64(older));
        QVERIFY(!left.at(0)["msg_error"].isValid());
        // The request may have reached the service: the row keeps the mark it had before
        // it left.
        QCOMPARE(left.at(1).id, qint64(newer));
        QCOMPARE(left.at(1)["msg_error"].toInt(), int(mdlInternet::NoReply));
        QCOMPARE(sent().size(), before);
        QVERIFY(boxes().isEmpty());
        QVERIFY(!sendingWindowLoaded());
    }

    void cancelAfterAnAcceptedReplyKeepsTheMove_data() { earlierCodes(); }
    void cancelAfterAnAcceptedReplyKeepsTheMove()
    {
        QFETCH(QVariant, earlier);
        const qint32 older = addMessage(QStringLiteral("older"));
        addMessage(QStringLiteral("newer"));
        setCode(older, earlier);
        m_fx.service().script(Answer::code(77));
        frmSendMessages& w = window();
        // The reply is in, the job has not looked at it yet: the user presses Cancel.
        connect(w.Sender, &TCPSender::DataArrival, &w,
                [&w] { QTest::mouseClick(w.cmdCancel, Qt::LeftButton); });

        w.SendOutBoxMessages(-1);

        const QList<Row> moved = sent();
        QCOMPARE(moved.size(), 1);
        QCOMPARE(moved.first()["msg_text"].toString(), QStringLiteral("newer"));
        QCOMPARE(moved.first()["msg_SID"].toInt(), 77);
        // Never sent: it is as it was before the batch.
        stoppedAfterTheFirst(older, earlier);
        QVERIFY(boxes().isEmpty());
    }

    // The window goes while the docked list follows a move: the row marked ahead with that
    // move gets its code back; when the database will not take it, the row keeps the
    // mark, so that it looks as if it may have gone rather than looking unsent.
    void windowUnloadedAfterTheMove_data()
    {
        QTest::addColumn<QVariant>("earlier");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QVariant>("expected");
        const QVariant marked = int(mdlInternet::NoReply);
        QTest::newRow("clean") << QVariant() << false << QVariant();
        QTest::newRow("an earlier refusal") << QVariant(-700) << false << QVariant(-700);
        QTest::newRow("the database locked meanwhile") << QVariant() << true << marked;
    }
    void windowUnloadedAfterTheMove()
    {
        QFETCH(QVariant, earlier);
        QFETCH(bool, locked);
        QFETCH(QVariant, expected);
        const qint32 older = addMessage(QStringLiteral("older"));
        addMessage(QStringLiteral("newer"));
        setCode(older, earlier);
        m_fx.service().script(Answer::code(77));
        QVariant olderAtTheUpdate;
        std::unique_ptr<testsupport::MomentaryLock> lock;
        frmMessage_OutBox& list = rt::Forms::get<frmMessage_OutBox>();
        list.onSetControlState = [&] {
            olderAtTheUpdate = codeOnDisk(older);
            if (locked)
                lock =
                    std::make_unique<testsupport::MomentaryLock>(m_fx.folder().databasePath(), -1);
            QVERIFY(rt::Forms::unload(sendingWindow()));
        };

        window().SendOutBoxMessages(-1);

        QCOMPARE(olderAtTheUpdate.toInt(), int(mdlInternet::NoReply));
        if (locked) {
            QVERIFY(lock->isHeld());
            QVERIFY(lock->waits() > 0);
            lock.reset();
        }
        stoppedAfterTheFirst(older, expected);
        QVERIFY(boxes().isEmpty());
    }

    void hideKeepsTheWorkGoing()
    {
        addMessage(QStringLiteral("one"));
        m_fx.service().script(Answer::code(5).delayed(200));
        m_fx.service().script(Answer::code(9));
        bool hidden = false;
        whenRequested(1, [&] {
            QTest::mouseClick(sendingWindow()->cmdHide, Qt::LeftButton);
            hidden = !sendingWindow()->isVisible() && sendingWindowLoaded();
        });

        window().SendOutBoxMessages(-1);

        QVERIFY(hidden);
        QCOMPARE(scripts(), (QStringList{"send.php", "credits.php"}));
        QCOMPARE(sent().size(), 1);
        QVERIFY(!sendingWindowLoaded());
    }

    void passwordOnSend_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("sends");
        QTest::newRow("right") << QStringLiteral("secret") << false << true;
        QTest::newRow("wrong") << QStringLiteral("Secret") << false << false;
        QTest::newRow("cancelled") << QStringLiteral("secret") << true << false;
    }
    void passwordOnSend()
    {
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(bool, sends);
        mdlSettings::AskOnSend = 1;
        addMessage(QStringLiteral("one"));
        m_fx.service().script(Answer::code(5));
        testsupport::ModalScript modal;
        bool shownBeforeAnswer = true;
        modal.then([&](rt::Form& form) {
            shownBeforeAnswer = sendingWindow()->isVisible();
            auto& prompt = static_cast<frmGetUserData&>(form);
            prompt.txtPassword->setText(typed);
            if (cancel)
                prompt.cmdCancel_Click();
            else
                prompt.cmdOK_Click();
        });
        window().SendOutBoxMessages(-1);

        QCOMPARE(modal.shownNames(), QStringList{"frmGetUserData"});
        QVERIFY(!shownBeforeAnswer);
        QCOMPARE(m_fx.service().requests().isEmpty(), !sends);
        QCOMPARE(outbox().size(), sends ? 0 : 1);
        QVERIFY(!sendingWindowLoaded());
    }

    void unknownIdDoesNothingVisible()
    {
        addMessage(QStringLiteral("one"));
        frmSendMessages& w = window();
        w.installEventFilter(this);
        m_shownWindows = 0;

        w.SendOutBoxMessages(999);

        QCOMPARE(m_shownWindows, 0);
        QVERIFY(m_fx.service().requests().isEmpty());
        QCOMPARE(outbox().size(), 1);
        QVERIFY(boxes().isEmpty());
        QVERIFY(!sendingWindowLoaded());
    }

    void oneMessageById()
    {
        const qint32 first = addMessage(QStringLiteral("first"));
        addMessage(QStringLiteral("second"));
        m_fx.service().script(Answer::code(12));
        m_fx.service().script(Answer::code(40));

        window().SendOutBoxMessages(first);

        QCOMPARE(scripts(), (QStringList{"send.php", "credits.php"}));
        QCOMPARE(messageText(m_fx.service().requests().first()), QStringLiteral("first"));
        QCOMPARE(m_statusLines.first(), QStringLiteral("Αποστολή μηνύματος 1 από 1"));
        QCOMPARE(outbox().size(), 1);
        QCOMPARE(outbox().first()["msg_text"].toString(), QStringLiteral("second"));
    }

    // A row that leaves the out-box while the batch is at work is passed by, and the one
    // after it is still marked on disk before its request leaves.
    void rowDeletedDuringTheBatchIsNotSent_data()
    {
        QTest::addColumn<bool>("markedAhead");
        QTest::newRow("while the message before it is on its way") << false;
        QTest::newRow("after it was marked with the move before it") << true;
    }
    void rowDeletedDuringTheBatchIsNotSent()
    {
        QFETCH(bool, markedAhead);
        const qint32 oldest = addMessage(QStringLiteral("oldest"));
        const qint32 middle = addMessage(QStringLiteral("middle"));
        addMessage(QStringLiteral("newest"));
        m_fx.service().script(Answer::code(3).delayed(100));
        m_fx.service().script(Answer::code(4));
        m_fx.service().script(Answer::code(8));
        // The out-box list deletes it.
        const auto remove = [middle] {
            mdlDataBase::MainDatabase().execute(
                {QStringLiteral("DELETE FROM outbox_messages WHERE msg_id = ?"), {middle}});
        };
        QVariant middleWhenDeleted;
        if (markedAhead) {
            frmMessage_OutBox& list = rt::Forms::get<frmMessage_OutBox>();
            list.onSetControlState = [&] {
                if (!middleWhenDeleted.isValid()) {
                    middleWhenDeleted = codeOnDisk(middle);
                    remove();
                }
            };
        }
        QVariant oldestWhenSent;
        m_onRequest = [&] {
            const qsizetype n = m_fx.service().requests().size();
            if (n == 1 && !markedAhead)
                QTimer::singleShot(0, remove);
            if (n == 2)
                oldestWhenSent = codeOnDisk(oldest);
        };

        window().SendOutBoxMessages(-1);

        QCOMPARE(scripts(), (QStringList{"send.php", "send.php", "credits.php"}));
        QCOMPARE(messageText(m_fx.service().requests().at(1)), QStringLiteral("oldest"));
        if (markedAhead)
            QCOMPARE(middleWhenDeleted.toInt(), int(mdlInternet::NoReply));
        QCOMPARE(oldestWhenSent.toInt(), int(mdlInternet::NoReply));
        QCOMPARE(sent().size(), 2);
        QVERIFY(outbox().isEmpty());
        QVERIFY(boxes().isEmpty());
    }

    void exactRequestOfASend()
    {
        const qint32 id = mdlMain::AddOutboxMessage(
            QStringLiteral("Προσφορά"), QStringLiteral("Καλή ΑΡΧΗ 50% & +"),
            QStringLiteral("Κ&Σ Shop"), QStringLiteral(",6900000001,,306900000002"),
            QStringLiteral("07/03/2024"), QStringLiteral("09:05"), true);
        QVERIFY(id > 0);
        m_fx.service().script(Answer::code(12));

        window().SendOutBoxMessages(id);

        const QByteArray body = "UID=user&PWD=secret&&O=\xCA%26\xD3%20Shop"
                                "&R=306900000001,306900000002"
                                "&M=K\xE1\xEB\xDE%20APXH%2050%25%20%26%20%2B&F=1"
                                "&D=2024.03.07.9.5&VIA=0";
        QCOMPARE(m_fx.service().requests().first(),
                 "POST /prog/send.php HTTP/1.0\r\n"
                 "HOST: 127.0.0.1\r\n"
                 "Content-Length: " +
                     QByteArray::number(body.size()) +
                     "\r\n"
                     "Content-Type: application/x-www-form-urlencoded\r\n"
                     "\r\n" +
                     body);
    }

    // ---- docked lists -----------------------------------------------------------------

    void dockedOutBoxLosesEachSentItemAfterTheCommit()
    {
        const qint32 one = addMessage(QStringLiteral("one"));
        const qint32 two = addMessage(QStringLiteral("two"));
        const qint32 three = addMessage(QStringLiteral("three"));
        frmMessage_OutBox& list = rt::Forms::get<frmMessage_OutBox>();
        for (qint32 id : {one, two, three})
            list.OutList->ListItems().Add(QStringLiteral("MSG_") + QString::number(id), QString());
        QList<int> committed;
        list.onSetControlState = [&] {
            committed.append(int(sent().size() * 10 + outbox().size()));
        };
        m_fx.service().script(Answer::code(1));
        m_fx.service().script(Answer::code(2));
        m_fx.service().script(Answer::code(-600));

        window().SendOutBoxMessages(-1);

        QCOMPARE(list.itemsAtSetControlState, (QList<int>{2, 1}));
        QVERIFY(!list.OutList->ListItems().Exists(QStringLiteral("MSG_") + QString::number(three)));
        QVERIFY(!list.OutList->ListItems().Exists(QStringLiteral("MSG_") + QString::number(two)));
        QVERIFY(list.OutList->ListItems().Exists(QStringLiteral("MSG_") + QString::number(one)));
        // When the list is told, the move is already in the database.
        QCOMPARE(committed, (QList<int>{12, 21}));
        QCOMPARE(boxes().size(), 1);
    }

    void dockedSentListIsRefreshedAfterTheCommit()
    {
        addMessage(QStringLiteral("one"));
        frmMessage_Sended& list = rt::Forms::get<frmMessage_Sended>();
        int sentAtRefresh = -1;
        list.onRefresh = [&] { sentAtRefresh = int(sent().size()); };
        m_fx.service().script(Answer::code(1));

        window().SendOutBoxMessages(-1);

        QCOMPARE(list.refreshed, 1);
        QCOMPARE(sentAtRefresh, 1);
    }

    void failingListUpdateKeepsTheMoveAndStops_data() { earlierCodes(); }
    void failingListUpdateKeepsTheMoveAndStops()
    {
        QFETCH(QVariant, earlier);
        const qint32 older = addMessage(QStringLiteral("older"));
        addMessage(QStringLiteral("newer"));
        setCode(older, earlier);
        rt::Forms::get<frmBrokenSentList>();
        m_fx.service().script(Answer::code(1));
        QVariant olderAtTheBox = QStringLiteral("no box");
        m_fx.boxes().onShow(
            [&](const testsupport::ShownBox&) { olderAtTheBox = codeOnDisk(older); });

        window().SendOutBoxMessages(-1);

        stoppedAfterTheFirst(older, earlier);
        // Already so when the user is told.
        QVERIFY2(sameCode(olderAtTheBox, earlier), qPrintable(olderAtTheBox.toString()));
        QCOMPARE(boxes().size(), 1);
        QVERIFY(boxes().first().text.startsWith(QStringLiteral("Σφάλμα: 438\n")));
    }

    void failingMoveLeavesTheMessageInTheOutBox()
    {
        addMessage(QStringLiteral("one"));
        QVERIFY(mdlDataBase::MainDatabase().execute(
            {QStringLiteral("CREATE TRIGGER no_delete BEFORE DELETE ON outbox_messages "
                            "BEGIN SELECT RAISE(ABORT, 'kept'); END"),
             {}}));
        m_fx.service().script(Answer::code(1));
        QElapsedTimer took;
        took.start();

        window().SendOutBoxMessages(-1);

        QVERIFY(sent().isEmpty());
        QCOMPARE(outbox().size(), 1);
        // Accepted and charged, but not recorded: it says that it may have gone.
        QCOMPARE(outbox().first()["msg_error"].toInt(), int(mdlInternet::NoReply));
        // Told that it went: never only the database's error.
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes().first().text, unrecordedText(QStringLiteral("Τίτλος one"), 1, 19,
                                                      QStringLiteral("kept")));
        // Only a lock is waited out; this would fail again.
        QVERIFY(took.elapsed() < 2000);
        QCOMPARE(scripts(), QStringList{"send.php"});
    }

    // The service accepts a message while another program holds the database past the
    // usual wait: the move is tried again until the lock is let go, and the message is in
    // the sent box once, with the service's number; the batch goes on.
    void anAcceptedMessageOutlastsALock_data()
    {
        QTest::addColumn<int>("nth"); // the request whose arrival takes the lock
        QTest::addColumn<Hold>("hold");
        QTest::addColumn<int>("heldMs");
        QTest::addColumn<int>("limitMs");
        const int usual = frmSendMessages::acceptedMoveLimitMs;
        QTest::newRow("released past the first wait") << 1 << Hold::Write << 5600 << usual;
        QTest::newRow("a reader holding up the commit past the first wait")
            << 1 << Hold::Read << 5600 << usual;
        QTest::newRow("the second message") << 2 << Hold::Write << 5600 << usual;
        QTest::newRow("released just before the limit") << 1 << Hold::Write << 7400 << 8000;
    }
    void anAcceptedMessageOutlastsALock()
    {
        QFETCH(int, nth);
        QFETCH(Hold, hold);
        QFETCH(int, heldMs);
        QFETCH(int, limitMs);
        addMessage(QStringLiteral("older"));
        addMessage(QStringLiteral("newer"));
        m_fx.service().script(Answer::code(1001));
        m_fx.service().script(Answer::code(1002));
        m_fx.service().script(Answer::code(500));
        std::unique_ptr<testsupport::MomentaryLock> lock;
        QElapsedTimer since;
        m_onRequest = [&] {
            if (m_fx.service().requests().size() == nth) {
                lock = std::make_unique<testsupport::MomentaryLock>(
                    m_fx.folder().databasePath(), heldMs, hold);
                since.start();
            }
        };
        frmSendMessages& w = window();
        w.setAcceptedMoveLimitMs(limitMs);

        w.SendOutBoxMessages(-1);

        QVERIFY(lock && lock->waits() > 0);
        QVERIFY(!lock->isHeld());
        QVERIFY(since.elapsed() >= heldMs);
        QCOMPARE(scripts(), (QStringList{"send.php", "send.php", "credits.php"}));
        const QList<Row> moved = sent();
        QCOMPARE(moved.size(), 2);
        QCOMPARE(moved.at(0)["msg_text"].toString(), QStringLiteral("newer"));
        QCOMPARE(moved.at(0)["msg_SID"].toInt(), 1001);
        QCOMPARE(moved.at(1)["msg_text"].toString(), QStringLiteral("older"));
        QCOMPARE(moved.at(1)["msg_SID"].toInt(), 1002);
        QVERIFY(outbox().isEmpty());
        QVERIFY(boxes().isEmpty());
        QCOMPARE(mdlSettings::AvailableSMS, 500);
        QVERIFY(!sendingWindowLoaded());
    }

    // Held for good: once the limit has passed the user is told what went, the error log
    // says the same, and the row waits in the out-box with the mark it was sent with.
    void anAcceptedMessageLockedOutPastTheLimit()
    {
        const qint32 older = addMessage(QStringLiteral("older"));
        const qint32 newer = addMessage(QStringLiteral("newer"));
        m_fx.service().script(Answer::code(1001));
        std::unique_ptr<testsupport::MomentaryLock> lock;
        QElapsedTimer since;
        m_onRequest = [&] {
            lock = std::make_unique<testsupport::MomentaryLock>(m_fx.folder().databasePath(), -1);
            since.start();
        };
        QVariant newerAtTheBox;
        m_fx.boxes().onShow([&](const testsupport::ShownBox&) {
            newerAtTheBox = lock && lock->isHeld() ? QVariant(QStringLiteral("locked"))
                                                   : codeOnDisk(newer);
        });
        constexpr int limitMs = 7000;
        frmSendMessages& w = window();
        w.setAcceptedMoveLimitMs(limitMs);

        w.SendOutBoxMessages(-1);

        const qint64 elapsed = since.elapsed();
        QVERIFY(lock && lock->isHeld());
        // Past the usual wait, up to the limit and not much longer.
        QVERIFY2(elapsed >= limitMs && elapsed < limitMs + 1500,
                 qPrintable(QString::number(elapsed)));
        lock.reset();
        QCOMPARE(newerAtTheBox.toString(), QStringLiteral("locked"));
        const QString text =
            unrecordedText(QStringLiteral("Τίτλος newer"), 1001, 5, lockedDescription());
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes().first().text, text);
        QCOMPARE(boxes().first().title, QStringLiteral("Vantrel"));
        QCOMPARE(boxes().first().icon(), int(rt::mb::Exclamation));
        QCOMPARE(log(), mdlDialogs::ErrorLogLine(m_clock.now(), 5, QStringLiteral("SQLite"),
                                                 QString(text).replace(QLatin1Char('\n'),
                                                                       QLatin1Char(' '))) +
                            QStringLiteral("\r\n"));
        const QList<Row> left = outbox();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.at(0).id, qint64(older));
        QVERIFY(!left.at(0)["msg_error"].isValid());
        QCOMPARE(left.at(1).id, qint64(newer));
        QCOMPARE(left.at(1)["msg_error"].toInt(), int(mdlInternet::NoReply));
        QVERIFY(sent().isEmpty());
        QCOMPARE(scripts(), QStringList{"send.php"});
        QVERIFY(!sendingWindowLoaded());
    }

    // The service accepted a message the program could not record: the docked list shows it
    // failed at once, its details say that it went and under which number, and the next
    // batch records it in the sent box with that number instead of sending it again — in
    // this run, after a restart (the program folder's file), or once a lock that still
    // holds at the next batch has gone (that batch sends nothing and tells the user again).
    void anAcceptedMessageIsRecordedNotSentAgain_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::addColumn<bool>("lockedAgain");
        QTest::newRow("the next batch") << false << false;
        QTest::newRow("after a restart") << true << false;
        QTest::newRow("still locked at the next batch") << false << true;
    }
    void anAcceptedMessageIsRecordedNotSentAgain()
    {
        QFETCH(bool, restart);
        QFETCH(bool, lockedAgain);
        const qint32 older = addMessage(QStringLiteral("older"));
        const qint32 newer = addMessage(QStringLiteral("newer"));
        QVERIFY(mdlDataBase::MainDatabase().execute(
            {QStringLiteral("UPDATE outbox_messages SET msg_groups = ?, msg_schdate = ?, "
                            "msg_schtime = ?, msg_flash = 1 WHERE msg_id = ?"),
             {QStringLiteral("3,4"), QStringLiteral("2024-03-07"), QStringLiteral("18:30"),
              newer}}));
        frmMessage_OutBox& list = rt::Forms::get<frmMessage_OutBox>();
        for (qint32 id : {older, newer})
            list.OutList->ListItems().Add(QStringLiteral("MSG_") + QString::number(id), QString(),
                                          1);
        const QString newerKey = QStringLiteral("MSG_") + QString::number(newer);
        const QString olderKey = QStringLiteral("MSG_") + QString::number(older);
        QVariant iconAtTheBox;
        bool fileAtTheBox = false;
        m_fx.boxes().onShow([&](const testsupport::ShownBox&) {
            iconAtTheBox = list.OutList->ListItems().Item(newerKey).SmallIcon().index;
            fileAtTheBox = QFile::exists(acceptedFile());
        });
        m_clock.set(QDateTime(QDate(2024, 3, 6), QTime(20, 15)));

        acceptedButLockedOut(older, newer);

        const QString locked = lockedDescription();
        QCOMPARE(boxes().first().text,
                 unrecordedText(QStringLiteral("Τίτλος newer"), 1001, 5, locked));
        QCOMPARE(iconAtTheBox.toInt(), 2);
        QCOMPARE(list.OutList->ListItems().Item(newerKey).Tag(), QStringLiteral("2"));
        QCOMPARE(list.OutList->ListItems().Item(olderKey).SmallIcon().index, 1);
        QVERIFY(fileAtTheBox);
        frmMessage_Properties& details = rt::Forms::get<frmMessage_Properties>();
        details.ShowDetails(newer, QStringLiteral("outbox_messages"));
        QVERIFY2(details.HeaderText().endsWith(
                     QStringLiteral("\r\nΚατάσταση: \r\nΤο μήνυμα έγινε δεκτό από τον διακομιστή "
                                    "μηνυμάτων με αριθμό 1001 και περιμένει να καταχωρηθεί στα "
                                    "Απεσταλμένα.\r\nΜε την επόμενη Αποστολή θα καταχωρηθεί, "
                                    "χωρίς να σταλεί ξανά.")),
                 qPrintable(details.HeaderText()));
        rt::Forms::unload(&details);

        if (restart)
            mdlUnrecorded::Reset();
        m_clock.set(QDateTime(QDate(2024, 3, 8), QTime(8, 0)));
        if (lockedAgain) {
            m_fx.boxes().onShow([](const testsupport::ShownBox&) {});
            {
                testsupport::MomentaryLock lock(m_fx.folder().databasePath(), -1);
                frmSendMessages& w = window();
                w.setAcceptedMoveLimitMs(600);
                w.SendOutBoxMessages(-1);
            }
            // Nothing went: the user hears again what waits.
            QCOMPARE(scripts(), QStringList{"send.php"});
            QCOMPARE(boxes().size(), 2);
            QCOMPARE(boxes().at(1).text,
                     unrecordedText(QStringLiteral("Τίτλος newer"), 1001, 5, locked));
            QCOMPARE(outbox().size(), 2);
            QCOMPARE(outbox().at(1)["msg_error"].toInt(), int(mdlInternet::NoReply));
            QVERIFY(!outbox().at(0)["msg_error"].isValid());
            QVERIFY(sent().isEmpty());
            QVERIFY(QFile::exists(acceptedFile()));
        }
        m_fx.service().script(Answer::code(2002));
        m_fx.service().script(Answer::code(500));

        window().SendOutBoxMessages(-1);

        // One request for the older message, then the credits: the accepted one is not
        // sent again.
        QCOMPARE(scripts(), (QStringList{"send.php", "send.php", "credits.php"}));
        QCOMPARE(messageText(m_fx.service().requests().at(1)), QStringLiteral("older"));
        QVERIFY(outbox().isEmpty());
        const QList<Row> moved = sent();
        QCOMPARE(moved.size(), 2);
        // The row the move would have written when the service accepted it.
        const Row& first = moved.at(0);
        QCOMPARE(first["msg_text"].toString(), QStringLiteral("newer"));
        QCOMPARE(first["msg_title"].toString(), QStringLiteral("Τίτλος newer"));
        QCOMPARE(first["msg_SID"].toInt(), 1001);
        QCOMPARE(first["msg_Status"].toInt(), 1);
        QCOMPARE(first["msg_date"].toString(), QStringLiteral("2024-03-06"));
        QCOMPARE(first["msg_time"].toString(), QStringLiteral("20:15"));
        QCOMPARE(first["msg_originator"].toString(), QStringLiteral("Shop"));
        QCOMPARE(first["msg_groups"].toString(), QStringLiteral("3,4"));
        QCOMPARE(first["msg_phonelist"].toString(), QStringLiteral("6900000001"));
        QCOMPARE(first["msg_schdate"].toString(), QStringLiteral("2024-03-07"));
        QCOMPARE(first["msg_schtime"].toString(), QStringLiteral("18:30"));
        QCOMPARE(first["msg_flash"].toInt(), 1);
        QCOMPARE(moved.at(1)["msg_text"].toString(), QStringLiteral("older"));
        QCOMPARE(moved.at(1)["msg_SID"].toInt(), 2002);
        QCOMPARE(moved.at(1)["msg_date"].toString(), QStringLiteral("2024-03-08"));
        QVERIFY(!list.OutList->ListItems().Exists(newerKey));
        QVERIFY(!QFile::exists(acceptedFile()));
        QVERIFY(!mdlUnrecorded::Find(newer));
        QCOMPARE(boxes().size(), lockedAgain ? 2 : 1);
        QCOMPARE(mdlSettings::AvailableSMS, 500);
    }

    // The program folder will not take the number (here a folder holds the file's name):
    // the box says what closing the program first would mean, and this run still records
    // the message instead of sending it again.
    void aNumberTheFolderWillNotTakeIsKeptForTheRun()
    {
        const qint32 older = addMessage(QStringLiteral("older"));
        const qint32 newer = addMessage(QStringLiteral("newer"));
        QVERIFY(QDir(m_fx.folder().path()).mkdir(mdlUnrecorded::FileName));

        acceptedButLockedOut(older, newer);

        QCOMPARE(boxes().first().text,
                 unrecordedText(QStringLiteral("Τίτλος newer"), 1001, 5, lockedDescription())
                     .replace(QStringLiteral("ίδιο αριθμό.\n"),
                              QStringLiteral("ίδιο αριθμό.\nΑν κλείσετε το πρόγραμμα πριν από "
                                             "την επόμενη Αποστολή, αυτό δεν θα είναι γνωστό:\n"
                                             "αν το στείλετε ξανά, θα χρεωθεί δεύτερη φορά.\n")));
        m_fx.service().script(Answer::code(2002));
        m_fx.service().script(Answer::code(500));

        window().SendOutBoxMessages(-1);

        QCOMPARE(scripts(), (QStringList{"send.php", "send.php", "credits.php"}));
        QCOMPARE(messageText(m_fx.service().requests().at(1)), QStringLiteral("older"));
        QVERIFY(outbox().isEmpty());
        QCOMPARE(sent().size(), 2);
        QCOMPARE(sent().at(0)["msg_SID"].toInt(), 1001);
        QCOMPARE(boxes().size(), 1);
    }

    // The next batch sends just the one message asked for: the one waiting is recorded
    // first all the same, and the asked one is sent.
    void aWaitingMessageIsRecordedByTheSendOfAnother()
    {
        const qint32 older = addMessage(QStringLiteral("older"));
        const qint32 newer = addMessage(QStringLiteral("newer"));
        acceptedButLockedOut(older, newer);
        m_fx.service().script(Answer::code(2002));
        m_fx.service().script(Answer::code(500));

        window().SendOutBoxMessages(older);

        QCOMPARE(scripts(), (QStringList{"send.php", "send.php", "credits.php"}));
        QCOMPARE(messageText(m_fx.service().requests().at(1)), QStringLiteral("older"));
        QVERIFY(outbox().isEmpty());
        QCOMPARE(sent().size(), 2);
        QCOMPARE(sent().at(0)["msg_SID"].toInt(), 1001);
        QCOMPARE(sent().at(1)["msg_SID"].toInt(), 2002);
    }

    // The waiting row is no longer the one the service took: deleted by the user, or
    // another message under its id (another database put in its place). Nothing of it is
    // recorded, and what is in the out-box is sent as any other row.
    void aWaitingMessageWhoseRowIsGoneIsForgotten_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("deleted") << false;
        QTest::newRow("another message under its id") << true;
    }
    void aWaitingMessageWhoseRowIsGoneIsForgotten()
    {
        QFETCH(bool, replaced);
        const qint32 older = addMessage(QStringLiteral("older"));
        const qint32 newer = addMessage(QStringLiteral("newer"));
        acceptedButLockedOut(older, newer);
        QVERIFY(QFile::exists(acceptedFile()));
        mdlUnrecorded::Reset(); // the program closed and started again
        testsupport::exec(QStringLiteral("DELETE FROM outbox_messages WHERE msg_id = ?"), {newer});
        if (replaced)
            testsupport::exec(QStringLiteral("INSERT INTO outbox_messages (msg_id, msg_title, "
                                             "msg_text, msg_originator, msg_phonelist, msg_flash) "
                                             "VALUES (?, 'Τίτλος other', 'other', 'Shop', "
                                             "'6900000009', 0)"),
                              {newer});
        m_fx.service().script(Answer::code(3003));
        if (replaced)
            m_fx.service().script(Answer::code(3004));
        m_fx.service().script(Answer::code(500));

        window().SendOutBoxMessages(-1);

        QStringList texts;
        for (const QByteArray& request : m_fx.service().requests().mid(1))
            texts.append(script(request) == QLatin1String("send.php") ? messageText(request)
                                                                      : script(request));
        QCOMPARE(texts, replaced ? (QStringList{"other", "older", "credits.php"})
                                 : (QStringList{"older", "credits.php"}));
        QStringList recorded;
        for (const Row& row : sent())
            recorded.append(row["msg_text"].toString() + QLatin1Char('/') +
                            row["msg_SID"].toString());
        QCOMPARE(recorded, replaced ? (QStringList{"other/3003", "older/3004"})
                                    : (QStringList{"older/3003"}));
        QVERIFY(outbox().isEmpty());
        QVERIFY(!QFile::exists(acceptedFile()));
        QCOMPARE(boxes().size(), 1);
    }

    // Cancel pressed while the batch waits for the database to record an accepted message:
    // the status line says what it waits for, the message is recorded, and the batch stops
    // before the next request, leaving that row as it was.
    void cancelDuringTheWaitForTheDatabase_data() { earlierCodes(); }
    void cancelDuringTheWaitForTheDatabase()
    {
        QFETCH(QVariant, earlier);
        const qint32 oldest = addMessage(QStringLiteral("oldest"));
        const qint32 middle = addMessage(QStringLiteral("middle"));
        addMessage(QStringLiteral("newest"));
        setCode(middle, earlier);
        m_fx.service().script(Answer::code(1001));
        m_fx.service().script(Answer::code(1002));
        m_fx.service().script(Answer::code(1003));
        std::unique_ptr<testsupport::MomentaryLock> lock;
        QStringList statusDuringTheWait;
        m_onRequest = [&] {
            if (m_fx.service().requests().size() != 1)
                return;
            lock = std::make_unique<testsupport::MomentaryLock>(m_fx.folder().databasePath(), 1500);
            lock->duringWait([&] {
                frmSendMessages* w = sendingWindow();
                statusDuringTheWait.append(w->lblStatus->text());
                // The click comes while nothing of the window runs: it waits its turn.
                if (statusDuringTheWait.size() == 1)
                    QMetaObject::invokeMethod(w->cmdCancel, "click", Qt::QueuedConnection);
            });
        };

        window().SendOutBoxMessages(-1);

        QVERIFY(lock && lock->waits() > 0);
        QCOMPARE(statusDuringTheWait.last(), QStringLiteral("Αναμονή για τη βάση δεδομένων ..."));
        QCOMPARE(scripts(), QStringList{"send.php"});
        QCOMPARE(sent().size(), 1);
        QCOMPARE(sent().first()["msg_SID"].toInt(), 1001);
        const QList<Row> left = outbox();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.at(0).id, qint64(oldest));
        QVERIFY(!left.at(0)["msg_error"].isValid());
        QCOMPARE(left.at(1).id, qint64(middle));
        QVERIFY2(sameCode(left.at(1)["msg_error"], earlier),
                 qPrintable(left.at(1)["msg_error"].toString()));
        QVERIFY(boxes().isEmpty());
        QVERIFY(!sendingWindowLoaded());
    }

    // Cancel while the connection is still being made: the request never left, so the row
    // is as it was before the batch, not marked as possibly sent.
    void cancelBeforeTheRequestLeaves_data() { earlierCodes(); }
    void cancelBeforeTheRequestLeaves()
    {
        QFETCH(QVariant, earlier);
        const qint32 id = addMessage(QStringLiteral("one"));
        setCode(id, earlier);
        // A server that never takes the connection: its one place in the queue is taken.
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(listener >= 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        socklen_t size = sizeof address;
        QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0);
        QVERIFY(::listen(listener, 0) == 0);
        QTcpSocket queued;
        queued.connectToHost(QStringLiteral("127.0.0.1"), ntohs(address.sin_port));
        QVERIFY(queued.waitForConnected(5000));
        mdlSettings::ServerPort = ntohs(address.sin_port);
        frmSendMessages& w = window();
        w.Sender->setConnectLimitMs(60000);
        bool connecting = false;
        auto* socket = w.Sender->findChild<rt::Winsock*>(QStringLiteral("Winsock"));
        QVERIFY(socket);
        connect(socket, &rt::Winsock::StateChanged, &w, [&](int state) {
            if (state == rt::Winsock::Connecting && !connecting) {
                connecting = true;
                QTimer::singleShot(0, sendingWindow()->cmdCancel, &QPushButton::click);
            }
        });

        w.SendOutBoxMessages(-1);
        ::close(listener);

        QVERIFY(connecting);
        QCOMPARE(m_fx.service().connectionCount(), 0);
        const QList<Row> left = outbox();
        QCOMPARE(left.size(), 1);
        QVERIFY2(sameCode(left.first()["msg_error"], earlier),
                 qPrintable(left.first()["msg_error"].toString()));
        QVERIFY(boxes().isEmpty());
        QVERIFY(!sendingWindowLoaded());
    }

    // Whatever happens once a request has left, the row must not look unsent: the mark is
    // committed, for every other program to see, before the first byte goes — for the
    // first row in a commit of its own, for each later one with the move before it.
    void eachRowIsMarkedOnDiskBeforeItsRequestLeaves()
    {
        const qint32 oldest = addMessage(QStringLiteral("oldest"));
        const qint32 middle = addMessage(QStringLiteral("middle"));
        const qint32 newest = addMessage(QStringLiteral("newest"));
        m_fx.service().script(Answer::code(11));
        m_fx.service().script(Answer::code(12));
        m_fx.service().script(Answer::code(13));
        const auto code = [this](qint32 id) {
            const QVariant value = codeOnDisk(id);
            return value.isValid() ? value.toString() : QStringLiteral("clean");
        };
        QList<QStringList> seen; // per request: the codes of (oldest, middle, newest)
        m_onRequest = [&] { seen.append({code(oldest), code(middle), code(newest)}); };

        window().SendOutBoxMessages(-1);

        QCOMPARE(seen, (QList<QStringList>{{"clean", "clean", "-31000"},
                                           {"clean", "-31000", "gone"},
                                           {"-31000", "gone", "gone"},
                                           {"gone", "gone", "gone"}})); // the last: the credits
        // Accepted: the rows left with their marks, the sent rows have no such column.
        QVERIFY(outbox().isEmpty());
        QCOMPARE(sent().size(), 3);
        QVERIFY(!sent().first().fields.contains(QStringLiteral("msg_error")));
        QVERIFY(boxes().isEmpty());
    }

    // A mark that cannot be written stops the batch before anything leaves.
    void aMarkThatCannotBeWrittenSendsNothing()
    {
        const qint32 id = addMessage(QStringLiteral("one"));
        {
            testsupport::MomentaryLock lock(m_fx.folder().databasePath(), -1);
            QVERIFY(lock.isHeld());
            window().SendOutBoxMessages(-1);
            QVERIFY(lock.waits() > 0);
        }
        QCOMPARE(m_fx.service().connectionCount(), 0);
        const QList<Row> left = outbox();
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().id, qint64(id));
        QVERIFY(!left.first()["msg_error"].isValid());
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes().first().text, QStringLiteral("Σφάλμα: 5\n") + lockedDescription());
        QVERIFY(!sendingWindowLoaded());
    }

    // ---- more than one job ------------------------------------------------------------

    void aSecondJobWaitsForTheFirst()
    {
        const qint32 first = addMessage(QStringLiteral("first"));
        m_fx.service().script(Answer::code(1).delayed(150));
        m_fx.service().script(Answer::code(100));
        m_fx.service().script(Answer::code(2));
        m_fx.service().script(Answer::code(99));
        qint32 second = 0;
        int connectionsWhenQueued = -1;
        bool firstStillWaiting = false;
        whenRequested(1, [&] {
            // The message window sends while the batch is on its way.
            second = addMessage(QStringLiteral("second"));
            rt::Forms::get<frmSendMessages>().SendOutBoxMessages(second);
            connectionsWhenQueued = m_fx.service().connectionCount();
            firstStillWaiting = outbox().size() == 2;
        });

        window().SendOutBoxMessages(first);

        QVERIFY(second > 0);
        QCOMPARE(connectionsWhenQueued, 1);
        QVERIFY(firstStillWaiting);
        QCOMPARE(scripts(), (QStringList{"send.php", "credits.php", "send.php", "credits.php"}));
        QCOMPARE(messageText(m_fx.service().requests().at(2)), QStringLiteral("second"));
        QVERIFY(outbox().isEmpty());
        QCOMPARE(sent().size(), 2);
        QCOMPARE(mdlSettings::AvailableSMS, 99);
        QVERIFY(!sendingWindowLoaded());
    }

    void closingWhileBusyIsRefused()
    {
        addMessage(QStringLiteral("one"));
        m_fx.service().script(Answer::never());
        bool refused = false;
        whenRequested(1, [&] {
            frmSendMessages* w = sendingWindow();
            const bool unloadRefused = !rt::Forms::unload(w);
            w->close();
            refused = unloadRefused && sendingWindowLoaded() && w->isVisible();
        });

        window(500).SendOutBoxMessages(-1);

        QVERIFY(refused);
        QCOMPARE(outbox().first()["msg_error"].toInt(), -31000);
        QVERIFY(!sendingWindowLoaded());
    }

    // ---- credits ----------------------------------------------------------------------

    void creditsAreFetchedAndShown()
    {
        m_fx.service().script(Answer::code(1250));
        QString caption;
        whenRequested(1, [&] { caption = sendingWindow()->windowTitle(); });

        window().GetCredits();

        QCOMPARE(caption, QStringLiteral("Έλεγχος Μονάδων (Credits)"));
        QCOMPARE(m_statusLines, QStringList{QStringLiteral("Γίνεται έλεγχος μονάδων (Credits)")});
        QCOMPARE(m_fx.service().requests(),
                 QList<QByteArray>{"POST /prog/credits.php HTTP/1.0\r\n"
                                   "HOST: 127.0.0.1\r\n"
                                   "Content-Length: 19\r\n"
                                   "Content-Type: application/x-www-form-urlencoded\r\n"
                                   "\r\n"
                                   "UID=user&PWD=secret"});
        QCOMPARE(mdlSettings::AvailableSMS, 1250);
        QCOMPARE(panel(QStringLiteral("pnlSMSAvailable"))->Text(), QStringLiteral("1250 SMS"));
        QVERIFY(!sendingWindowLoaded());
    }

    void creditsFailure_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("code");
        QTest::newRow("refused account") << Answer::code(-300) << -300;
        QTest::newRow("unreadable") << Answer::result(QStringLiteral("many")) << -32000;
    }
    void creditsFailure()
    {
        QFETCH(Answer, answer);
        QFETCH(int, code);
        mdlSettings::AvailableSMS = 40;
        m_fx.service().script(answer);

        window().GetCredits();

        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes().first().text, QStringLiteral("Σφάλμα: ") + QString::number(code) +
                                           QLatin1Char('\n') + mdlInternet::ServerErrorText(code));
        QCOMPARE(mdlSettings::AvailableSMS, 40);
        QVERIFY(!sendingWindowLoaded());
    }

    void cancelledCreditsShowNothing()
    {
        m_fx.service().script(Answer::never());
        whenRequested(1, [] { QTest::mouseClick(sendingWindow()->cmdCancel, Qt::LeftButton); });

        window(60000).GetCredits();

        QVERIFY(boxes().isEmpty());
        QCOMPARE(mdlSettings::AvailableSMS, -1);
        QVERIFY(!sendingWindowLoaded());
    }

    void creditsCommandOfTheMainWindow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("menu") << QStringLiteral("menu");
        QTest::newRow("toolbar") << QStringLiteral("toolbar");
        QTest::newRow("Ctrl+F5") << QStringLiteral("key");
    }
    void creditsCommandOfTheMainWindow()
    {
        QFETCH(QString, how);
        frmMain& main = rt::Forms::get<frmMain>();
        const auto command = [&] {
            if (how == QLatin1String("menu"))
                main.MenuItem(QStringLiteral("mnGetCredits"))->trigger();
            else if (how == QLatin1String("toolbar"))
                main.MainToolBar()->Button(QStringLiteral("btnGetCredits"))->click();
            else
                QCOMPARE(main.MenuItem(QStringLiteral("mnGetCredits"))->shortcut(),
                         QKeySequence(Qt::CTRL | Qt::Key_F5));
        };
        if (how == QLatin1String("key")) {
            command();
            return;
        }
        m_fx.service().script(Answer::code(321));
        command();
        QCOMPARE(scripts(), QStringList{"credits.php"});
        QCOMPARE(mdlSettings::AvailableSMS, 321);
        QVERIFY(!sendingWindowLoaded());
    }

    void creditsCommandBringsARunningWindowToTheFront()
    {
        addMessage(QStringLiteral("one"));
        m_fx.service().script(Answer::code(1).delayed(150));
        m_fx.service().script(Answer::code(50));
        bool broughtBack = false;
        whenRequested(1, [&] {
            frmSendMessages* w = sendingWindow();
            QTest::mouseClick(w->cmdHide, Qt::LeftButton);
            rt::Forms::get<frmMain>().MenuItem(QStringLiteral("mnGetCredits"))->trigger();
            broughtBack = w->isVisible();
        });

        window().SendOutBoxMessages(-1);

        QVERIFY(broughtBack);
        // No credits job of its own: only the batch's request.
        QCOMPARE(scripts(), (QStringList{"send.php", "credits.php"}));
    }

    // ---- the connection panel ---------------------------------------------------------

    void connectionPanel_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<int>("icon");
        const QString inactive = QStringLiteral("Σύνδεση Ανενεργή");
        const QString active = QStringLiteral("Σύνδεση Ενεργή");
        const QString connecting = QStringLiteral("Γίνεται Σύνδεση");
        QTest::newRow("0 closed") << 0 << inactive << 2;
        QTest::newRow("1 open") << 1 << active << 1;
        QTest::newRow("2 listening") << 2 << connecting << 1;
        QTest::newRow("3 pending") << 3 << connecting << 1;
        QTest::newRow("6 connecting") << 6 << connecting << 1;
        QTest::newRow("7 connected") << 7 << active << 1;
        QTest::newRow("8 peer closing") << 8 << active << 1;
        QTest::newRow("9 error") << 9 << QStringLiteral("Σφάλμα Σύνδεσης") << 3;
    }
    void connectionPanel()
    {
        QFETCH(int, state);
        QFETCH(QString, toolTip);
        QFETCH(int, icon);
        frmSendMessages& w = window();
        rt::StatusPanel* connection = panel(QStringLiteral("pnlConnection"));
        connection->setText(QStringLiteral("x"));

        w.TCPSender_ConnectionStateChanged(state);

        QCOMPARE(connection->Text(), QStringLiteral(" "));
        QCOMPARE(connection->ToolTipText(), toolTip);
        QVERIFY(sameImage(connection->Picture(), frmSendMessages::Images16x16(icon)));
        for (int other = 1; other <= 3; ++other) {
            if (other != icon)
                QVERIFY(!sameImage(connection->Picture(), frmSendMessages::Images16x16(other)));
        }
    }

    void resolvingLeavesThePanelAlone()
    {
        frmSendMessages& w = window();
        rt::StatusPanel* connection = panel(QStringLiteral("pnlConnection"));
        w.TCPSender_ConnectionStateChanged(9);
        for (int state : {4, 5}) {
            w.TCPSender_ConnectionStateChanged(state);
            QCOMPARE(connection->ToolTipText(), QStringLiteral("Σφάλμα Σύνδεσης"));
            QVERIFY(sameImage(connection->Picture(), frmSendMessages::Images16x16(3)));
        }
    }

    void aRealExchangeShowsOnThePanel()
    {
        addMessage(QStringLiteral("one"));
        // Long enough for the state poll to see the open connection.
        m_fx.service().script(Answer::code(1).delayed(2000));
        m_fx.service().script(Answer::code(5));
        QString during;
        whenRequested(1, [&] {
            QTimer::singleShot(
                1200, [&] { during = panel(QStringLiteral("pnlConnection"))->ToolTipText(); });
        });

        window().SendOutBoxMessages(-1);

        QCOMPARE(during, QStringLiteral("Σύνδεση Ενεργή"));
        QCOMPARE(panel(QStringLiteral("pnlConnection"))->ToolTipText(),
                 QStringLiteral("Σύνδεση Ανενεργή"));
        QVERIFY(sameImage(panel(QStringLiteral("pnlConnection"))->Picture(),
                          frmSendMessages::Images16x16(2)));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++m_shownWindows;
        return QObject::eventFilter(watched, event);
    }

private:
    int m_shownWindows = 0;
};

QTEST_MAIN(tst_sendmessages)
#include "tst_sendmessages.moc"
