#include "app/ChildFormCollection.h"
#include "app/Main.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "compose/ExtraPhonesEditor.h"
#include "compose/MessageEditor.h"
#include "compose/frmMessage_Edit.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Err.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Recordset.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "tests/support/FakeSmsService.h"
#include "tests/support/Fixture.h"
#include "tests/support/RoadFixture.h"
#include "tests/support/Seams.h"

#include <QDir>
#include <QFile>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

using testsupport::FakeSmsService;
using Answer = FakeSmsService::Answer;

namespace {

// Where a click ticks a node: the box in front of its text.
QPoint checkBoxOf(rt::TreeView* tree, const QModelIndex& index)
{
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                      QStyleOptionViewItem::HasDecoration;
    option.decorationSize = tree->iconSize();
    return tree->style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree)
        .center();
}

QModelIndex indexOfText(QAbstractItemModel* model, const QString& text,
                        const QModelIndex& parent = QModelIndex())
{
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (index.data(Qt::DisplayRole).toString() == text)
            return index;
        if (const QModelIndex below = indexOfText(model, text, index); below.isValid())
            return below;
    }
    return {};
}

} // namespace

// The road of one message through the whole program, in this process: start-up from a
// program folder, a new message typed and addressed as the user does it, Send, and what
// the service, the database and the main window show afterwards.
class tst_endtoend_send : public QObject {
    Q_OBJECT

    QTemporaryDir m_current;
    QString m_previousCurrent;
    testsupport::Fixture m_fx;
    std::unique_ptr<testsupport::EndCatcher> m_end;
    rt::TestClock m_clock{QDateTime(QDate(2024, 3, 5), QTime(9, 7, 42))};

private slots:
    void init()
    {
        QVERIFY(m_current.isValid());
        m_previousCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_current.path()));
        m_end = std::make_unique<testsupport::EndCatcher>();
        // The program's start opens the database.
        QVERIFY2(
            m_fx.start(
                {.openDatabase = false, .controlLibrary = true, .modals = true, .service = true}),
            qPrintable(m_fx.error()));
        rt::setClock(&m_clock);
    }
    void cleanup()
    {
        m_fx.stop();
        rt::setClock(nullptr);
        m_end.reset();
        QDir::setCurrent(m_previousCurrent);
    }

    void aMessageTypedAndSentReachesTheServiceAndTheSentBox()
    {
        namespace road = testsupport::road;
        QVERIFY(road::writeAddressBook(m_fx.folder().databasePath()));
        QVERIFY(road::writeSettings(m_fx.folder().path(), m_fx.service().host(),
                                    m_fx.service().port()));
        m_fx.service().script(Answer::code(road::messageId));
        m_fx.service().script(Answer::code(road::creditsLeft));

        try {
            mdlDataBase::Main();
        } catch (const rt::ProgramEnded&) {
            QFAIL("start-up ended the program");
        }
        frmMain& main = rt::Forms::get<frmMain>();
        QVERIFY(main.isVisible());

        // A new message.
        main.MainToolBar()->Button(QStringLiteral("btnNewMessage"))->click();
        frmMessage_Edit* w = rt::Forms::find<frmMessage_Edit>();
        QVERIFY(w);
        QCOMPARE(mdlMain::ChildForms().Item(1), w);
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        // Typed key by key.
        auto* text = w->Message()->findChild<rt::MultiLineTextBox*>(QStringLiteral("MsgText"));
        QVERIFY(text);
        text->setFocus();
        for (const QChar ch : road::typedText())
            QTest::sendKeyEvent(QTest::Click, text, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QCOMPARE(w->Message()->Text(), road::editedText());

        // The group "Πελάτες", ticked with a click on its box.
        rt::TreeView* tree = w->Groups();
        const QModelIndex customers = indexOfText(tree->model(), QStringLiteral("Πελάτες"));
        QVERIFY(customers.isValid());
        tree->scrollTo(customers);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, checkBoxOf(tree, customers));
        QVERIFY(tree->Nodes().Item(QStringLiteral("GRP_1")).Checked());

        // One extra number, typed and entered; it is also a member's.
        auto* phone = w->cntrlPhones()->findChild<rt::TextBox*>();
        QVERIFY(phone);
        phone->setFocus();
        QTest::keyClicks(phone, road::extraNumber());
        QTest::keyClick(phone, Qt::Key_Return);
        QCOMPARE(w->cntrlPhones()->GetPhoneList(), road::extraNumber());
        QCOMPARE(main.StatusBar()->Panel(QStringLiteral("pnlSMSCount"))->Text(),
                 QStringLiteral(" 4"));

        // Send, from the window's own button in the main toolbar strip.
        QToolButton* send = w->Toolbar()->Button(QStringLiteral("btnSend"));
        QCOMPARE(send->window(), static_cast<QWidget*>(&main));
        QTest::mouseClick(send, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!mdlDataBase::IsFormLoaded(QStringLiteral("frmSendMessages")),
                                 20000);

        QVERIFY(m_fx.boxes().shown().isEmpty());
        QCOMPARE(m_fx.modals().shownNames(), QStringList());
        const QList<QByteArray> requests = m_fx.service().requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.at(0), road::sendRequest(m_fx.service().host()));
        QCOMPARE(requests.at(1), road::creditsRequest(m_fx.service().host()));

        // In the sent box, out of the out-box.
        rt::Recordset sent = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT * FROM sended_messages"), {}}, rt::RecordsetType::Snapshot);
        QVERIFY(sent.isOpen());
        QCOMPARE(sent.recordCount(), 1);
        QCOMPARE(sent.field(QStringLiteral("msg_title")).toString(), QStringLiteral("Νέο Μήνυμα"));
        QCOMPARE(sent.field(QStringLiteral("msg_text")).toString(), road::editedText());
        QCOMPARE(sent.field(QStringLiteral("msg_originator")).toString(),
                 QStringLiteral("Vantrel"));
        QCOMPARE(sent.field(QStringLiteral("msg_phonelist")).toString(), road::phoneList());
        QCOMPARE(sent.field(QStringLiteral("msg_flash")).toInt(), 0);
        QVERIFY(!sent.field(QStringLiteral("msg_schdate")).isValid());
        QVERIFY(!sent.field(QStringLiteral("msg_schtime")).isValid());
        QCOMPARE(sent.field(QStringLiteral("msg_date")).toString(), QStringLiteral("2024-03-05"));
        QCOMPARE(sent.field(QStringLiteral("msg_time")).toString(), QStringLiteral("09:07"));
        QCOMPARE(sent.field(QStringLiteral("msg_SID")).toInt(), road::messageId);
        QCOMPARE(sent.field(QStringLiteral("msg_Status")).toInt(), 1);
        rt::Recordset outbox = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT * FROM outbox_messages"), {}}, rt::RecordsetType::Snapshot);
        QVERIFY(outbox.isOpen());
        QCOMPARE(outbox.recordCount(), 0);

        // The credits the service reported, and the message still in its window.
        QCOMPARE(main.StatusBar()->Panel(QStringLiteral("pnlSMSAvailable"))->Text(),
                 QStringLiteral("1234 SMS"));
        QCOMPARE(mdlSettings::AvailableSMS, road::creditsLeft);
        QCOMPARE(mdlMain::ChildForms().Item(1), w);
        QVERIFY(w->MessageSent());
        QCOMPARE(m_end->count(), 0);
    }
};

QTEST_MAIN(tst_endtoend_send)
#include "tst_endtoend_send.moc"
