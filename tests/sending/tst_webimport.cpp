#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlSettings.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Node.h"
#include "platform/Nodes.h"
#include "platform/ProgressBar.h"
#include "platform/TreeView.h"
#include "sending/TCPSender.h"
#include "sending/frmSendMessages.h"
#include "sending/frmWebImport.h"
#include "sending/mdlInternet.h"
#include "tests/support/FakeSmsService.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using testsupport::FakeSmsService;
using Answer = FakeSmsService::Answer;

Q_DECLARE_METATYPE(FakeSmsService::Answer)

namespace {

struct Group {
    int id;
    QString name;
    QString numbers;
    int parent;
};

QString groupElement(const Group& g)
{
    return QStringLiteral("<group><id>%1</id><name>%2</name><numbers>%3</numbers>"
                          "<parent>%4</parent></group>")
        .arg(g.id)
        .arg(g.name, g.numbers)
        .arg(g.parent);
}

// The inner text of the result element of an address reply.
QString addressReply(const QList<Group>& groups)
{
    QString inner =
        QStringLiteral("<groups>") + QString::number(groups.size()) + QStringLiteral("</groups>");
    for (const Group& g : groups)
        inner += groupElement(g);
    return inner;
}

frmWebImport* viewer()
{
    return rt::Forms::find<frmWebImport>();
}

bool viewerLoaded()
{
    return mdlDataBase::IsFormLoaded(QStringLiteral("frmWebImport"));
}

QString successStatus(int count)
{
    return QStringLiteral("Η εισαγωγή έγινε επιτυχώς.\nΒρέθηκαν ") + QString::number(count) +
           QStringLiteral(" ομάδες.");
}

QStringList topLevelKeys(rt::TreeView& tree)
{
    QStringList keys;
    rt::Nodes nodes = tree.Nodes();
    for (int i = 1; i <= nodes.Count(); ++i) {
        if (nodes.Item(i).Parent().isNull())
            keys.append(nodes.Item(i).Key());
    }
    return keys;
}

} // namespace

// The address import: the request through the sending window against the loopback
// service, and the viewer that reads the reply into its tree.
class tst_webimport : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    QString log() const
    {
        QFile file(m_fx.folder().file(QStringLiteral("ERROR.LOG")));
        return file.open(QIODevice::ReadOnly) ? rt::cp1253::toUnicode(file.readAll()) : QString();
    }

    // Runs the import and waits until the viewer has read the reply.
    frmWebImport* importAndLoad(const QString& inner)
    {
        m_fx.service().script(Answer::result(inner));
        rt::Forms::get<frmSendMessages>().InportFromServer();
        frmWebImport* w = viewer();
        if (!w)
            return nullptr;
        if (!QTest::qWaitFor([w] { return w->cmdAbort->text() == QLatin1String("OK"); }, 5000))
            return nullptr;
        return w;
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true, .service = true}), qPrintable(m_fx.error()));
        testsupport::useTestAccount(m_fx.service());
        mdlSettings::ShowDisclaimer = 0;
        mdlInternet::WebImportReply.clear();
        rt::Forms::get<frmMain>();
        m_fx.boxes().clear();
    }
    void cleanup()
    {
        m_fx.stop();
        mdlInternet::WebImportReply.clear();
    }

    void threeGroupsOneBelowTheFirst()
    {
        const QString inner = addressReply(
            {{7, QStringLiteral("Πελάτες"), QStringLiteral("6900000001,6900000002"), 0},
             {9, QStringLiteral("Suppliers"), QStringLiteral("6900000009"), 0},
             {12, QStringLiteral("Αθήνα"), QStringLiteral("6911111111,6922222222,6933333333"), 7}});
        frmWebImport* w = importAndLoad(inner);
        QVERIFY(w);

        QCOMPARE(m_fx.service().requests().size(), 1);
        const QByteArray request = m_fx.service().requests().first();
        QVERIFY(request.startsWith("POST /prog/addressget.php HTTP/1.0\r\n"));
        QVERIFY(request.endsWith("\r\n\r\nUID=user&PWD=secret"));
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmSendMessages")));
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Εισαγωγή Στοιχείων από Web"));

        QCOMPARE(topLevelKeys(*w->Groups), (QStringList{"GRP_7", "GRP_9"}));
        const rt::Node third = w->Groups->Nodes().Item(QStringLiteral("GRP_12"));
        QCOMPARE(third.Parent().Key(), QStringLiteral("GRP_7"));
        QCOMPARE(third.Text(), QStringLiteral("Αθήνα"));
        QCOMPARE(third.Tag(), QStringLiteral("6911111111\r\n6922222222\r\n6933333333"));
        QCOMPARE(w->lblStatus->text(), successStatus(3));
        QCOMPARE(w->PBar->Max(), 6);
        QCOMPARE(w->PBar->Value(), 6);
        QVERIFY(mdlInternet::WebImportReply.isEmpty());

        // The panel stays up, the rest of the window disabled, until OK.
        QVERIFY(w->picStatus->isVisible());
        QVERIFY(!w->Groups->isEnabled() && !w->txtPhones->isEnabled() && !w->cmdSave->isEnabled() &&
                !w->cmdCancel->isEnabled());
        QTest::mouseClick(w->cmdAbort, Qt::LeftButton);
        QVERIFY(!w->picStatus->isVisible());
        QVERIFY(w->Groups->isEnabled() && w->txtPhones->isEnabled() && w->cmdSave->isEnabled() &&
                w->cmdCancel->isEnabled());
        QCOMPARE(w->txtPhones->Text(), QStringLiteral("6900000001\n6900000002"));

        emit w->Groups->NodeClick(third);
        QCOMPARE(w->txtPhones->Text(), QStringLiteral("6911111111\n6922222222\n6933333333"));
        QVERIFY(m_fx.boxes().shown().isEmpty());

        // Save does nothing; Cancel closes the viewer.
        QTest::mouseClick(w->cmdSave, Qt::LeftButton);
        QVERIFY(viewerLoaded());
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
        QVERIFY(!viewerLoaded());
    }

    void noGroups()
    {
        frmWebImport* w = importAndLoad(addressReply({}));
        QVERIFY(w);
        QCOMPARE(w->Groups->Nodes().Count(), 0);
        QCOMPARE(w->lblStatus->text(), successStatus(0));
        QTest::mouseClick(w->cmdAbort, Qt::LeftButton);
        QVERIFY(w->txtPhones->Text().isEmpty());
    }

    // Replies that do not keep to the form end the load without harm and say so.
    void repliesOutOfForm_data()
    {
        QTest::addColumn<QString>("inner");
        QTest::addColumn<QStringList>("keys"); // the groups at the top
        QTest::addColumn<int>("count");        // every group shown
        QTest::addColumn<bool>("wellFormed");
        const QString one = groupElement({1, QStringLiteral("A"), QStringLiteral("691"), 0});
        const QString two = groupElement({2, QStringLiteral("B"), QStringLiteral("692"), 1});
        QTest::newRow("no count") << one << QStringList{} << 0 << false;
        QTest::newRow("count not a number")
            << QStringLiteral("<groups>many</groups>") + one << QStringList{} << 0 << false;
        QTest::newRow("count beyond the bar")
            << QStringLiteral("<groups>16384</groups>") + one << QStringList{} << 0 << false;
        QTest::newRow("fewer groups than the count")
            << QStringLiteral("<groups>3</groups>") + one + two << QStringList{"GRP_1"} << 2
            << false;
        QTest::newRow("id not a number")
            << QStringLiteral("<groups>2</groups>") + one +
                   QStringLiteral("<group><id>x</id><name>C</name><numbers>6</numbers>"
                                  "<parent>0</parent></group>")
            << QStringList{"GRP_1"} << 1 << false;
        QTest::newRow("two groups with one id") << QStringLiteral("<groups>2</groups>") + one + one
                                                << QStringList{"GRP_1"} << 1 << false;
        QTest::newRow("parent of no imported group")
            << QStringLiteral("<groups>1</groups>") +
                   groupElement({5, QStringLiteral("E"), QStringLiteral("695"), 99})
            << QStringList{"GRP_5"} << 1 << true;
        QTest::newRow("group its own parent")
            << QStringLiteral("<groups>1</groups>") +
                   groupElement({5, QStringLiteral("E"), QStringLiteral("695"), 5})
            << QStringList{"GRP_5"} << 1 << true;
        QTest::newRow("two groups each other's parent")
            << QStringLiteral("<groups>2</groups>") +
                   groupElement({1, QStringLiteral("A"), QStringLiteral("691"), 2}) +
                   groupElement({2, QStringLiteral("B"), QStringLiteral("692"), 1})
            << QStringList{"GRP_2"} << 2 << true;
    }
    void repliesOutOfForm()
    {
        QFETCH(QString, inner);
        QFETCH(QStringList, keys);
        QFETCH(int, count);
        QFETCH(bool, wellFormed);
        // The viewer on its own, handed the reply text as the exchange would leave it.
        mdlInternet::WebImportReply = inner;
        frmWebImport* w = &rt::Forms::get<frmWebImport>();
        w->show();
        QVERIFY(QTest::qWaitFor([w] { return w->cmdAbort->text() == QLatin1String("OK"); }, 5000));
        QCOMPARE(topLevelKeys(*w->Groups), keys);
        QCOMPARE(w->Groups->Nodes().Count(), count);
        const QString status = w->lblStatus->text();
        if (wellFormed) {
            QCOMPARE(status, successStatus(count));
        } else {
            QCOMPARE(status,
                     QStringLiteral("Η απάντηση του διακομιστή δεν είχε την αναμενόμενη μορφή.\n"
                                    "Βρέθηκαν ") +
                         QString::number(count) + QStringLiteral(" ομάδες."));
        }
        QVERIFY(mdlInternet::WebImportReply.isEmpty());

        // The whole status is shown: its wrapped lines lie inside the label, the label
        // inside the panel, the panel inside the window.
        const QLabel* label = w->lblStatus;
        const QRect room = label->contentsRect();
        const QRect needed =
            label->fontMetrics().boundingRect(QRect(0, 0, room.width(), QWIDGETSIZE_MAX),
                                              Qt::TextWordWrap | label->alignment(), status);
        w->grab().save(testsupport::picturePath(
            QStringLiteral("webimport-status-%1.png")
                .arg(QString::fromLatin1(QTest::currentDataTag())
                         .replace(QRegularExpression(QStringLiteral("\\W+")),
                                  QStringLiteral("-")))));
        QVERIFY2(needed.height() <= room.height(),
                 qPrintable(QStringLiteral("the status needs %1x%2 px, has %3x%4")
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(room.width())
                                .arg(room.height())));
        QVERIFY(w->picStatus->rect().contains(label->geometry()));
        QVERIFY(w->rect().contains(w->picStatus->geometry()));

        QTest::mouseClick(w->cmdAbort, Qt::LeftButton);
        QVERIFY(w->Groups->isEnabled());
    }

    void abortDuringTheLoad_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes closes the viewer") << int(rt::mb::Yes);
        QTest::newRow("no goes on") << int(rt::mb::No);
    }
    void abortDuringTheLoad()
    {
        QFETCH(int, answer);
        QList<Group> groups;
        for (int i = 1; i <= 40; ++i)
            groups.append({i, QStringLiteral("G%1").arg(i), QStringLiteral("69%1").arg(i), 0});
        m_fx.service().script(Answer::result(addressReply(groups)));
        m_fx.boxes().answer(answer);
        rt::Forms::get<frmSendMessages>().InportFromServer();
        QPointer<frmWebImport> w = viewer();
        QVERIFY(w);
        // Pressed while the first groups are being read, as a click would come.
        bool clicked = false;
        connect(w->PBar, &QProgressBar::valueChanged, w, [&clicked, w](int value) {
            if (value == 1 && !clicked) {
                clicked = true;
                QTimer::singleShot(0, w, [w] { QTest::mouseClick(w->cmdAbort, Qt::LeftButton); });
            }
        });

        QVERIFY(QTest::qWaitFor(
            [w] { return !w || w->isUnloading() || w->cmdAbort->text() == QLatin1String("OK"); },
            5000));
        QVERIFY(clicked);
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        const testsupport::ShownBox box = m_fx.boxes().shown().first();
        QCOMPARE(box.text, QStringLiteral("Η διαδικασία εισαγωγής δεν έχει ολοκληρωθεί.\n"
                                          "Θέλετε να την ακυρώσετε;"));
        QCOMPARE(box.style, rt::mb::YesNo | rt::mb::Question);
        QVERIFY(mdlInternet::WebImportReply.isEmpty());
        if (answer == rt::mb::Yes) {
            QVERIFY(!viewerLoaded());
        } else {
            QVERIFY(viewerLoaded());
            QCOMPARE(w->Groups->Nodes().Count(), 40);
            QCOMPARE(w->lblStatus->text(), successStatus(40));
        }
    }

    void closedDuringTheLoad()
    {
        QList<Group> groups;
        for (int i = 1; i <= 40; ++i)
            groups.append({i, QStringLiteral("G%1").arg(i), QStringLiteral("69%1").arg(i), 0});
        m_fx.service().script(Answer::result(addressReply(groups)));
        rt::Forms::get<frmSendMessages>().InportFromServer();
        QPointer<frmWebImport> w = viewer();
        QVERIFY(w);
        connect(w->PBar, &QProgressBar::valueChanged, w, [w](int value) {
            if (value == 3)
                QTimer::singleShot(0, w, [w] { w->close(); });
        });
        QVERIFY(QTest::qWaitFor([] { return !viewerLoaded(); }, 5000));
        QVERIFY(mdlInternet::WebImportReply.isEmpty());
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void failedRequestOpensNoViewer_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("code");
        QTest::newRow("server code") << Answer::code(-300) << -300;
        QTest::newRow("no reply") << Answer::closeAfterRequest() << -31000;
        QTest::newRow("unreadable") << Answer::raw(FakeSmsService::httpReply("busy")) << -32000;
    }
    void failedRequestOpensNoViewer()
    {
        QFETCH(Answer, answer);
        QFETCH(int, code);
        m_fx.service().script(answer);
        rt::Forms::get<frmSendMessages>().InportFromServer();

        QVERIFY(!viewerLoaded());
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmSendMessages")));
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text, QStringLiteral("Σφάλμα: ") +
                                                        QString::number(code) + QLatin1Char('\n') +
                                                        mdlInternet::ServerErrorText(code));
        QVERIFY(log().contains(QStringLiteral("Source: Import From Web")));
    }

    void cancelInTheSendingWindow()
    {
        m_fx.service().script(Answer::never());
        frmSendMessages& sending = rt::Forms::get<frmSendMessages>();
        sending.Sender->setReplyLimitMs(60000);
        connect(&m_fx.service(), &FakeSmsService::requestReceived, this, [] {
            QTimer::singleShot(0, [] {
                if (frmSendMessages* w = rt::Forms::find<frmSendMessages>()) {
                    QCOMPARE(w->lblStatus->text(),
                             QStringLiteral("Εισαγωγή στοιχείων από τον διακομιστή."));
                    QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
                }
            });
        });
        sending.InportFromServer();

        QCOMPARE(m_fx.service().requests().size(), 1);
        QVERIFY(!viewerLoaded());
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmSendMessages")));
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void aSecondImportReplacesAnOpenViewer()
    {
        QPointer<frmWebImport> first =
            importAndLoad(addressReply({{1, QStringLiteral("Old"), QStringLiteral("691"), 0}}));
        QVERIFY(first);
        frmWebImport* second =
            importAndLoad(addressReply({{2, QStringLiteral("New"), QStringLiteral("692"), 0},
                                        {3, QStringLiteral("Newer"), QStringLiteral("693"), 0}}));
        QVERIFY(second);
        QVERIFY(second != first.data());
        QCOMPARE(topLevelKeys(*second->Groups), (QStringList{"GRP_2", "GRP_3"}));
        QCOMPARE(second->lblStatus->text(), successStatus(2));
    }

    // Over the main window wherever that stands, not in the screen's corner.
    void viewerOpensOverTheMainWindow_data()
    {
        QTest::addColumn<QPoint>("mainAt");
        QTest::newRow("upper left") << QPoint(10, 20);
        QTest::newRow("lower right") << QPoint(150, 120);
    }
    void viewerOpensOverTheMainWindow()
    {
        QFETCH(QPoint, mainAt);
        frmMain& main = rt::Forms::get<frmMain>();
        main.setMinimumSize(0, 0);
        main.setGeometry(QRect(mainAt, QSize(640, 460)));
        main.show();
        QTRY_COMPARE(main.geometry().topLeft(), mainAt);
        frmWebImport* w =
            importAndLoad(addressReply({{1, QStringLiteral("Πελάτες"), QStringLiteral("691"), 0}}));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        const QPoint offset = w->frameGeometry().center() - main.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    }
};

QTEST_MAIN(tst_webimport)
#include "tst_webimport.moc"
