#include "sending/frmSendMessages.h"

#include "app/ChildFormCollection.h"
#include "app/DrawnPictures.h"
#include "app/frmGetUserData.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "platform/Clock.h"
#include "platform/DbDates.h"
#include "platform/Err.h"
#include "platform/Events.h"
#include "platform/ListView.h"
#include "platform/LockWait.h"
#include "platform/PaintPacing.h"
#include "platform/ProgressBar.h"
#include "platform/Recordset.h"
#include "platform/Transaction.h"
#include "sending/TCPSender.h"
#include "sending/frmWebImport.h"
#include "sending/mdlInternet.h"
#include "sending/mdlUnrecorded.h"

#include <QDeadlineTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QMetaObject>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <span>
#include <utility>

using drawnpictures::canvas;

namespace {

const QString internetSource = QStringLiteral("Internet Connection");
const QString importSource = QStringLiteral("Import From Web");
const QString databaseSource = QStringLiteral("SQLite");

// What the batch needs of one out-box row, read before its request goes out: the sent
// row is made from what was sent, even if the out-box row changes or goes meanwhile.
struct OutboxMessage {
    qint64 id = 0;
    QVariant schdate;
    QVariant schtime;
    QVariant title;
    QVariant text;
    QVariant originator;
    QVariant groups;
    QVariant phonelist;
    bool flash = false;
};

OutboxMessage readMessage(const rt::Recordset& rs)
{
    OutboxMessage m;
    m.id = rs.field(QStringLiteral("msg_id")).toLongLong();
    m.schdate = rs.field(QStringLiteral("msg_schdate"));
    m.schtime = rs.field(QStringLiteral("msg_schtime"));
    m.title = rs.field(QStringLiteral("msg_title"));
    m.text = rs.field(QStringLiteral("msg_text"));
    m.originator = rs.field(QStringLiteral("msg_originator"));
    m.groups = rs.field(QStringLiteral("msg_groups"));
    m.phonelist = rs.field(QStringLiteral("msg_phonelist"));
    m.flash = rs.field(QStringLiteral("msg_flash")).toBool();
    return m;
}

[[noreturn]] void raiseDb(const rt::DbResult& result)
{
    rt::Raise(result.number, result.description, databaseSource);
}

// The rows a batch sends, in the order it sends them: every waiting row newest first, or
// the one asked for.
rt::Query batchRows(qint32 messageId, QLatin1String columns)
{
    const QString select =
        QLatin1String("SELECT ") + columns + QLatin1String(" FROM outbox_messages");
    if (messageId < 0)
        return {select + QLatin1String(" ORDER BY msg_id DESC"), {}};
    return {select + QLatin1String(" WHERE msg_id = ?"), {messageId}};
}

// The ids of the batch's rows, in its order; the batch's own recordset has them too but
// does not tell them.
QList<qint64> batchIds(qint32 messageId)
{
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        batchRows(messageId, QLatin1String("msg_id")), rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        raiseDb(rs.status());
    QList<qint64> ids;
    for (; !rs.eof(); rs.moveNext())
        ids.append(rs.field(0).toLongLong());
    return ids;
}

// The ids that follow the one at `position` in the batch's order.
std::span<const qint64> idsAfter(const QList<qint64>& order, int position)
{
    if (position < 0 || position >= order.size())
        return {};
    return std::span<const qint64>(order.constData(), size_t(order.size()))
        .subspan(size_t(position) + 1);
}

rt::Query markQuery(qint64 id, const QVariant& code)
{
    return {QStringLiteral("UPDATE outbox_messages SET msg_error = ? WHERE msg_id = ?"),
            {code, id}};
}

// A row marked for a request that never left gets back the code it had before: a clean
// row is clean again, an earlier batch's error stays as it was. A row marked by an
// earlier batch keeps that mark. Only the mark this batch wrote is taken back; when that
// fails the row keeps -31000: the user is told that a message may have gone which did
// not, never that one is waiting which may have gone.
void giveBackMark(qint64 id, const QVariant& previous)
{
    if (id == 0 || previous == QVariant(qlonglong(mdlInternet::NoReply)))
        return;
    rt::Database& db = mdlDataBase::MainDatabase();
    rt::Transaction tx(db);
    if (!tx.status())
        return;
    if (db.execute({QStringLiteral("UPDATE outbox_messages SET msg_error = ? "
                                   "WHERE msg_id = ? AND msg_error = ?"),
                    {previous, id, mdlInternet::NoReply}}))
        tx.commit();
}

// The mark of the row whose request goes next, committed with the move of the row before
// it so that a message costs one commit, not two. Until that request leaves the row has
// gone nowhere: every way the batch stops first (Cancel after an accepted reply, the
// window gone, a failing list update, any error) gives the row back the code it had,
// which may be a mark or an error of an earlier batch and stays exactly as it was.
class MarkAhead {
public:
    MarkAhead() = default;
    MarkAhead(const MarkAhead&) = delete;
    MarkAhead& operator=(const MarkAhead&) = delete;
    ~MarkAhead() { withdraw(); }

    // The row now carries the mark; it held `previous` before.
    void set(qint64 id, const QVariant& previous)
    {
        m_id = id;
        m_previous = previous;
    }

    // Whether the row about to be sent is the one marked ahead, and the code it had before
    // (`previous`); from here on its mark is the batch's to keep or give back, as that of
    // a row marked on its own. Another row means the one marked ahead left the out-box
    // meanwhile.
    bool takeFor(qint64 id, QVariant& previous)
    {
        if (m_id == id) {
            m_id = 0;
            previous = m_previous;
            return true;
        }
        withdraw();
        return false;
    }

    void withdraw() { giveBackMark(std::exchange(m_id, 0), m_previous); }

private:
    qint64 m_id = 0; // 0: no row is marked ahead
    QVariant m_previous;
};

// The sent row of an accepted message, as the move writes it: sent now, under the
// service's number.
mdlUnrecorded::Message sentRow(const OutboxMessage& m, qint32 serverId)
{
    const QDateTime now = rt::Now();
    mdlUnrecorded::Message row;
    row.id = m.id;
    row.serverId = serverId;
    row.date = rt::dbDate(now.date());
    row.time = rt::dbTime(now.time());
    row.schdate = m.schdate;
    row.schtime = m.schtime;
    row.title = m.title;
    row.text = m.text;
    row.originator = m.originator;
    row.groups = m.groups;
    row.phonelist = m.phonelist;
    row.flash = m.flash;
    return row;
}

rt::DbResult insertSent(rt::Database& db, const mdlUnrecorded::Message& row)
{
    return db.execute(
        {QStringLiteral("INSERT INTO sended_messages (msg_date, msg_time, msg_schdate, "
                        "msg_schtime, msg_title, msg_text, msg_originator, msg_groups, "
                        "msg_phonelist, msg_flash, msg_SID, msg_Status) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {row.date, row.time, row.schdate, row.schtime, row.title, row.text, row.originator,
          row.groups, row.phonelist, row.flash, row.serverId, true}});
}

// The accepted message leaves the out-box and joins the sent box in one step: a failure
// leaves it where it was, never in both boxes or in neither. The same commit marks the
// row whose request goes next — the first of `following` still in the out-box, as the
// batch passes deleted rows by — and `ahead` learns it once that is on disk. A kill
// after this commit leaves that row marked although its request never left, as a kill
// right after a mark of its own would.
rt::DbResult moveToSent(const mdlUnrecorded::Message& sentRow, std::span<const qint64> following,
                        MarkAhead& ahead)
{
    rt::Database& db = mdlDataBase::MainDatabase();
    rt::Transaction tx(db);
    if (!tx.status())
        return tx.status();
    rt::DbResult r = insertSent(db, sentRow);
    if (!r)
        return r;
    r = db.execute({QStringLiteral("DELETE FROM outbox_messages WHERE msg_id = ?"), {sentRow.id}});
    if (!r)
        return r;
    qint64 next = 0;
    QVariant previous;
    for (const qint64 id : following) {
        const rt::Recordset row = db.openRecordset(
            {QStringLiteral("SELECT msg_error FROM outbox_messages WHERE msg_id = ?"), {id}},
            rt::RecordsetType::Snapshot);
        if (!row.isOpen())
            return row.status();
        if (!row.eof()) {
            next = id;
            previous = row.field(0);
            break;
        }
    }
    if (next != 0) {
        r = db.execute(markQuery(next, mdlInternet::NoReply));
        if (!r)
            return r;
    }
    r = tx.commit();
    if (r && next != 0)
        ahead.set(next, previous);
    return r;
}

// The move of a message accepted in an earlier batch, made now: its out-box row leaves
// for the sent row kept with it. `gone` tells that the row is no longer the one that was
// sent (deleted by the user, or another database in its place): nothing is written.
rt::DbResult recordWaiting(const mdlUnrecorded::Message& waiting, bool& gone)
{
    gone = false;
    rt::Database& db = mdlDataBase::MainDatabase();
    rt::Transaction tx(db);
    if (!tx.status())
        return tx.status();
    const rt::Recordset row =
        db.openRecordset({QStringLiteral("SELECT msg_title, msg_text, msg_originator, "
                                         "msg_phonelist FROM outbox_messages WHERE msg_id = ?"),
                          {waiting.id}},
                         rt::RecordsetType::Snapshot);
    if (!row.isOpen())
        return row.status();
    if (row.eof() || !waiting.sameRow(row.field(0), row.field(1), row.field(2), row.field(3))) {
        gone = true;
        return {};
    }
    rt::DbResult r = insertSent(db, waiting);
    if (!r)
        return r;
    r = db.execute({QStringLiteral("DELETE FROM outbox_messages WHERE msg_id = ?"), {waiting.id}});
    if (!r)
        return r;
    return tx.commit();
}

// The service has taken (and charged) the message, so it must reach the sent box even
// when another program holds the database past the usual wait: `write` is tried again,
// each try waiting for the lock no longer than what is left of `limitMs` in all. Any other
// failure would only fail again. The first try waits for the lock only briefly, so that
// `waiting` can tell the user at once that the batch waits for the database.
template <class Write>
rt::DbResult whileLocked(Write write, int limitMs, const std::function<void()>& waiting)
{
    // A try refused without waiting (rather than after its wait) is not tried again at once.
    constexpr int retryPauseMs = 200;
    constexpr int firstTryMs = 250;
    rt::Database& db = mdlDataBase::MainDatabase();
    struct UsualWait {
        rt::Database& db;
        const int ms;
        ~UsualWait() { db.setLockWaitMs(ms); }
    } usual{db, db.lockWaitMs()};
    const QDeadlineTimer deadline(limitMs, Qt::PreciseTimer);
    for (bool first = true;; first = false) {
        db.setLockWaitMs(int(std::clamp<qint64>(
            deadline.remainingTime(), 0, first ? std::min(firstTryMs, usual.ms) : usual.ms)));
        const rt::DbResult r = write();
        if (r || !rt::isLockTimeout(r) || deadline.hasExpired())
            return r;
        if (first && waiting)
            waiting();
        rt::LockWait::pause(int(std::min<qint64>(retryPauseMs, deadline.remainingTime())));
    }
}

// The row's mark, committed when this returns without raising.
void markOutboxRow(qint64 id, qint32 code)
{
    rt::Database& db = mdlDataBase::MainDatabase();
    rt::Transaction tx(db);
    rt::DbResult r = tx.status();
    if (r)
        r = db.execute(markQuery(id, code));
    if (r)
        r = tx.commit();
    if (!r)
        raiseDb(r);
}

// The row's mark before its request leaves, committed when this returns without raising;
// it gives the code the row had before.
QVariant markForSending(qint64 id)
{
    rt::Database& db = mdlDataBase::MainDatabase();
    rt::Transaction tx(db);
    rt::DbResult r = tx.status();
    QVariant previous;
    if (r) {
        const rt::Recordset row = db.openRecordset(
            {QStringLiteral("SELECT msg_error FROM outbox_messages WHERE msg_id = ?"), {id}},
            rt::RecordsetType::Snapshot);
        if (!row.isOpen())
            r = row.status();
        else if (!row.eof())
            previous = row.field(0);
    }
    if (r)
        r = db.execute(markQuery(id, mdlInternet::NoReply));
    if (r)
        r = tx.commit();
    if (!r)
        raiseDb(r);
    return previous;
}

// A docked window's public method, reached by its name as the lists are built apart.
void callByName(QObject& window, const char* method)
{
    if (!QMetaObject::invokeMethod(&window, method, Qt::DirectConnection))
        rt::Raise(438, QStringLiteral("Object doesn't support this property or method"));
}

// The docked list follows the batch: the out-box list loses the sent item, the sent list
// reads its table again.
void updateDockedList(qint64 id)
{
    ChildFormCollection& docked = mdlMain::ChildForms();
    if (docked.Count() == 0)
        return;
    rt::Form* first = docked.Item(1);
    if (first == nullptr)
        return;
    if (first->Name() == QLatin1String("frmMessage_OutBox")) {
        auto* list = first->findChild<rt::ListView*>(QStringLiteral("OutList"));
        if (list == nullptr)
            rt::Raise(438, QStringLiteral("Object doesn't support this property or method"));
        // An item the list never showed has nothing to take away.
        list->ListItems().Remove(QStringLiteral("MSG_") + QString::number(id));
        callByName(*first, "SetControlState");
    } else if (first->Name() == QLatin1String("frmMessage_Sended")) {
        callByName(*first, "RefreshSendList");
    }
}

// The docked out-box list shows an accepted message it could not record as failed at
// once, as its next fill would (the icon and tag of a row with an error: 2).
void showFailedInDockedList(qint64 id)
{
    ChildFormCollection& docked = mdlMain::ChildForms();
    if (docked.Count() == 0)
        return;
    rt::Form* first = docked.Item(1);
    if (first == nullptr || first->Name() != QLatin1String("frmMessage_OutBox"))
        return;
    auto* list = first->findChild<rt::ListView*>(QStringLiteral("OutList"));
    const QString key = QStringLiteral("MSG_") + QString::number(id);
    if (list == nullptr || !list->ListItems().Exists(key))
        return;
    rt::ListItem item = list->ListItems().Item(key);
    item.setSmallIcon(2);
    item.setTag(QStringLiteral("2"));
}

void unloadSplash()
{
    if (mdlDataBase::IsFormLoaded(QStringLiteral("frmSplash")))
        rt::Forms::unload(rt::Forms::findByName(QStringLiteral("frmSplash")));
}

// ---- pictures -------------------------------------------------------------------------

QPixmap envelopePicture()
{
    QPixmap picture = canvas(32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 70, 110), 1.5));
    p.setBrush(QColor(250, 246, 225));
    const QRectF body(3, 9, 21, 15);
    p.drawRect(body);
    p.drawLine(body.topLeft(), QPointF(body.center().x(), body.center().y() + 1));
    p.drawLine(body.topRight(), QPointF(body.center().x(), body.center().y() + 1));
    // On its way: an arrow leaving the envelope.
    p.setPen(QPen(QColor(30, 130, 60), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(19, 27), QPointF(29, 27));
    p.drawLine(QPointF(25, 23.5), QPointF(29, 27));
    p.drawLine(QPointF(25, 30.5), QPointF(29, 27));
    return picture;
}

QPixmap coinsPicture()
{
    QPixmap picture = canvas(32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(140, 100, 10), 1.2));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(245, 200, 60));
        p.drawEllipse(QRectF(5, 22 - i * 5, 22, 8));
    }
    p.setPen(QPen(QColor(140, 100, 10), 1.6));
    p.drawText(QRectF(5, 7, 22, 8), Qt::AlignCenter, QStringLiteral("$"));
    return picture;
}

QPixmap linkPicture()
{
    QPixmap picture = canvas(32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 70, 140), 2));
    p.setBrush(QColor(210, 225, 250));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 3, 12, 26));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    // Two arrows: data coming and going, or a line being taken down.
    p.setPen(QPen(QColor(190, 60, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(7, 7, 18, 18), 30 * 16, 120 * 16);
    p.drawArc(QRectF(7, 7, 18, 18), 210 * 16, 120 * 16);
    return picture;
}

QIcon connectionIcon(const QColor& fill, bool cross)
{
    QPixmap picture = canvas(16);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(fill.darker(160), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    if (cross) {
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    }
    return QIcon(picture);
}

// ---- jobs -----------------------------------------------------------------------------

bool g_jobRunning = false;

} // namespace

QList<frmSendMessages::Job>& frmSendMessages::pendingJobs()
{
    static QList<Job> jobs;
    return jobs;
}

frmSendMessages::frmSendMessages()
    : rt::Form(QStringLiteral("frmSendMessages")), Image1(new QLabel(this)),
      lblStatus(new QLabel(this)), PrgBar(new rt::ProgressBar(this)),
      cmdCancel(new QPushButton(QStringLiteral("&Διακοπή"), this)),
      cmdHide(new QPushButton(QStringLiteral("&Απόκρυψη"), this)),
      cmdClose(new QPushButton(QStringLiteral("&Κλείσιμο"), this)), Sender(new TCPSender(this))
{
    setWindowTitle(QStringLiteral("Αποστολή Μηνυμάτων"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    Image1->setObjectName(QStringLiteral("Image1"));
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    PrgBar->setObjectName(QStringLiteral("PrgBar"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHide->setObjectName(QStringLiteral("cmdHide"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    Image1->setFixedSize(32, 32);
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumHeight(32);
    // The connection control works unseen, as it did on the window.
    Sender->hide();
    cmdClose->hide();

    auto* status = new QHBoxLayout;
    status->addWidget(Image1, 0, Qt::AlignTop);
    status->addSpacing(8);
    status->addWidget(lblStatus, 1);
    auto* buttons = new QGridLayout;
    buttons->setColumnStretch(0, 1);
    buttons->addWidget(cmdCancel, 0, 1);
    // Close takes Hide's place once Cancel has been pressed.
    buttons->addWidget(cmdHide, 0, 2);
    buttons->addWidget(cmdClose, 0, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(status);
    layout->addWidget(PrgBar);
    layout->addSpacing(4);
    layout->addLayout(buttons);

    connect(cmdCancel, &QPushButton::clicked, this, &frmSendMessages::cmdCancel_Click);
    connect(cmdHide, &QPushButton::clicked, this, &frmSendMessages::cmdHide_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSendMessages::cmdClose_Click);
    connect(Sender, &TCPSender::ConnectionStateChanged, this,
            &frmSendMessages::TCPSender_ConnectionStateChanged);
    connect(Sender, &TCPSender::DataArrival, this, &frmSendMessages::TCPSender_DataArrival);

    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
    // A batch changes the status line and the bar for every message.
    rt::PaintPacing::install(*this);
}

frmSendMessages::~frmSendMessages() = default;

// ---- public methods -------------------------------------------------------------------

void frmSendMessages::SendOutBoxMessages(qint32 MessageID)
{
    startJob(*this, Job{Job::Send, MessageID});
}

void frmSendMessages::GetCredits()
{
    startJob(*this, Job{Job::Credits, 0});
}

void frmSendMessages::InportFromServer()
{
    startJob(*this, Job{Job::Import, 0});
}

void frmSendMessages::startJob(frmSendMessages& window, const Job& job)
{
    // A job asked for during another one's wait would otherwise run inside that wait and
    // take over its connection.
    if (g_jobRunning) {
        pendingJobs().append(job);
        return;
    }
    g_jobRunning = true;
    struct Done {
        ~Done() { g_jobRunning = false; }
    } done;
    window.runJob(job);
    // Each job ended by unloading the window; the next one gets a fresh window, and runs
    // here, after the one before it and outside any wait.
    while (!pendingJobs().isEmpty()) {
        const Job next = pendingJobs().takeFirst();
        rt::Forms::get<frmSendMessages>().runJob(next);
    }
}

void frmSendMessages::runJob(const Job& job)
{
    QPointer<frmSendMessages> self(this);
    try {
        if (job.kind == Job::Send)
            runSend(job.messageId);
        else if (job.kind == Job::Credits)
            runCredits();
        else
            runImport();
    } catch (const rt::RuntimeError& error) {
        if (self)
            failed(error);
    }
    // Every way out of a job leaves the window unloaded, so that no job finds the state of
    // the one before it.
    if (self && !isUnloading())
        rt::Forms::unload(this);
}

// ---- the send batch -------------------------------------------------------------------

void frmSendMessages::runSend(qint32 messageId)
{
    QPointer<frmSendMessages> self(this);
    unloadSplash();
    if (mdlSettings::AskOnSend) {
        rt::Forms::showModal(rt::Forms::get<frmGetUserData>());
        if (!self)
            return;
        if (mdlSettings::LoginResult != 1) {
            rt::Forms::unload(this);
            return;
        }
    }

    // Messages the service accepted in an earlier batch are recorded, not sent again.
    if (!recordAcceptedEarlier() || !self)
        return;

    rt::Database& db = mdlDataBase::MainDatabase();
    rt::Recordset rs =
        db.openRecordset(batchRows(messageId, QLatin1String("*")), rt::RecordsetType::Dynaset);
    if (!rs.isOpen())
        raiseDb(rs.status());
    if (rs.recordCount() == 0) {
        rs.close();
        rt::Forms::unload(this);
        return;
    }
    const QList<qint64> order = batchIds(messageId);
    // Looked for once: the folder may hold many other files.
    const bool testMode = mdlInternet::TestModeMarkerPresent();

    show();
    rs.moveLast();
    PrgBar->setMax(rs.recordCount());
    PrgBar->setValue(0);
    rs.moveFirst();

    // Any return or raise from here on gives a row marked ahead its code back.
    MarkAhead ahead;
    qint32 sentCount = 0;
    while (!rs.eof()) {
        // A row deleted from the out-box list while an earlier one was on its way reads
        // as Null: there is nothing left to send.
        if (rs.field(QStringLiteral("msg_id")).isValid()) {
            const OutboxMessage m = readMessage(rs);
            const QDate schDate = rt::dateFromDb(m.schdate);
            const QTime schTime = rt::timeFromDb(m.schtime);
            const QString fields = mdlInternet::BuildSendFields(
                mdlDataBase::NullToEmptyText(m.originator), mdlDataBase::NullToEmptyText(m.text),
                mdlDataBase::NullToEmptyText(m.phonelist),
                m.schdate.isValid() ? QVariant(schDate) : QVariant(),
                m.schtime.isValid() ? QVariant(schTime) : QVariant(), m.flash,
                mdlSettings::Originator, testMode);
            // Once the request has left, the service may take and charge the message
            // whether or not its answer ever reaches us: the row says so on disk before
            // the first byte goes, so that neither a crash nor a lost reply leaves it
            // looking unsent. An accepted reply moves it; any other result leaves a mark,
            // and so does Cancel once the request has left. After the first row the mark
            // came with the move before.
            QVariant previous;
            if (!ahead.takeFor(m.id, previous))
                previous = markForSending(m.id);
            bool left = true;
            const qint32 result = PostToServer(QStringLiteral("send.php"), fields, &left);

            // The service has taken (and charged) the message: it is recorded as sent
            // whatever happened to this window meanwhile, Cancel included.
            if (result >= 0) {
                bool waited = false;
                const auto waitingForTheDatabase = [&] {
                    waited = true;
                    if (self)
                        ShowStatus(waitingStatus(), 1);
                };
                const mdlUnrecorded::Message sent = sentRow(m, result);
                // A batch already told to stop marks nothing ahead.
                const std::span<const qint64> following =
                    self && !stopped() ? idsAfter(order, rs.absolutePosition())
                                       : std::span<const qint64>();
                const rt::DbResult moved = whileLocked(
                    [&] { return moveToSent(sent, following, ahead); },
                    self ? m_acceptedMoveLimitMs : acceptedMoveLimitMs, waitingForTheDatabase);
                if (!moved) {
                    // Never only the database's error, and never sent again unasked: the
                    // message waits with the service's number until the next batch
                    // records it. Its row keeps the mark it was sent with, the docked
                    // list shows it failed, and the batch stops here.
                    const bool kept = mdlUnrecorded::Keep(sent);
                    showFailedInDockedList(m.id);
                    if (self)
                        cmdCancel->setEnabled(false);
                    mdlDialogs::ShowUnrecordedMessage(mdlDataBase::NullToEmptyText(m.title), result,
                                                      moved.number, moved.description,
                                                      databaseSource, kept);
                    if (self && !isUnloading())
                        rt::Forms::unload(this);
                    return;
                }
                if (!self)
                    return;
                updateDockedList(m.id);
                // Nothing of the window ran during the wait: a Cancel pressed meanwhile
                // counts before the next request, not in its exchange.
                if (waited && self)
                    rt::DoEvents();
            } else if (!left && (!self || stopped())) {
                // Cancelled, or the window gone, before the request was written: the row
                // went nowhere.
                giveBackMark(m.id, previous);
            }
            if (!self)
                return;
            if (stopped()) {
                rt::Forms::unload(this);
                return;
            }
            if (result < 0) {
                markOutboxRow(m.id, result);
                rt::Raise(result, mdlInternet::ServerErrorText(result), internetSource);
            }
        }
        ++sentCount;
        PrgBar->setValue(sentCount);
        rs.moveNext();
    }
    rs.close();
    PrgBar->setValue(PrgBar->Max());
    RequestCredits();
    if (self)
        rt::Forms::unload(this);
}

bool frmSendMessages::recordAcceptedEarlier()
{
    QPointer<frmSendMessages> self(this);
    for (const mdlUnrecorded::Message& waiting : mdlUnrecorded::Waiting()) {
        bool gone = false;
        const rt::DbResult recorded =
            whileLocked([&] { return recordWaiting(waiting, gone); }, m_acceptedMoveLimitMs,
                        [this] {
                            show();
                            ShowStatus(waitingStatus(), 1);
                        });
        if (!recorded) {
            // Still not: it is not sent either, and the user hears of it again.
            cmdCancel->setEnabled(false);
            mdlDialogs::ShowUnrecordedMessage(mdlDataBase::NullToEmptyText(waiting.title),
                                              waiting.serverId, recorded.number,
                                              recorded.description, databaseSource, true);
            if (self && !isUnloading())
                rt::Forms::unload(this);
            return false;
        }
        mdlUnrecorded::Forget(waiting.id);
        if (!gone)
            updateDockedList(waiting.id);
        if (!self)
            return false;
    }
    return true;
}

QString frmSendMessages::waitingStatus()
{
    return QStringLiteral("Αναμονή για τη βάση δεδομένων ...");
}

// ---- credits --------------------------------------------------------------------------

void frmSendMessages::runCredits()
{
    QPointer<frmSendMessages> self(this);
    unloadSplash();
    if (!isVisible())
        show();
    setWindowTitle(QStringLiteral("Έλεγχος Μονάδων (Credits)"));
    PrgBar->setMax(1);
    PrgBar->setValue(0);
    if (!CancelRequested) {
        RequestCredits();
        if (!self)
            return;
        PrgBar->setValue(PrgBar->Max());
        rt::Forms::unload(this);
    }
}

void frmSendMessages::RequestCredits()
{
    QPointer<frmSendMessages> self(this);
    const qint32 result = PostToServer(QStringLiteral("credits.php"), QString());
    if (!self)
        return;
    if (stopped()) {
        rt::Forms::unload(this);
        return;
    }
    try {
        if (result < 0)
            rt::Raise(result, mdlInternet::ServerErrorText(result), internetSource);
        mdlSettings::AvailableSMS = result;
        mdlMain::ShowCredits();
    } catch (const rt::RuntimeError& error) {
        failed(error);
    }
}

// ---- the address import ------------------------------------------------------------

void frmSendMessages::runImport()
{
    QPointer<frmSendMessages> self(this);
    unloadSplash();
    show();
    PrgBar->setMax(1);
    PrgBar->setValue(0);
    const qint32 result = PostToServer(QStringLiteral("addressget.php"), QString());
    if (!self)
        return;
    if (stopped()) {
        rt::Forms::unload(this);
        return;
    }
    if (result < 0)
        rt::Raise(result, mdlInternet::ServerErrorText(result), importSource);
    PrgBar->setValue(PrgBar->Max());
    // A viewer still open from an earlier import gives way to the new reply; its unload
    // empties the reply, so the new one is kept aside meanwhile.
    if (frmWebImport* earlier = rt::Forms::find<frmWebImport>()) {
        const QString reply = mdlInternet::WebImportReply;
        rt::Forms::unload(earlier);
        mdlInternet::WebImportReply = reply;
    }
    rt::Forms::get<frmWebImport>().show();
    rt::Forms::unload(this);
}

// ---- the exchange ---------------------------------------------------------------------

qint32 frmSendMessages::PostToServer(const QString& Script, const QString& Fields,
                                     bool* RequestLeft)
{
    if (Script == QLatin1String("send.php"))
        ShowStatus(QStringLiteral("Αποστολή μηνύματος ") + QString::number(PrgBar->Value() + 1) +
                       QStringLiteral(" από ") + QString::number(PrgBar->Max()),
                   1);
    else if (Script == QLatin1String("credits.php"))
        ShowStatus(QStringLiteral("Γίνεται έλεγχος μονάδων (Credits)"), 2);
    else if (Script == QLatin1String("addressget.php"))
        ShowStatus(QStringLiteral("Εισαγωγή στοιχείων από τον διακομιστή."), 4);

    QPointer<frmSendMessages> self(this);
    const mdlInternet::Account account{mdlSettings::ServerURL, mdlSettings::ServerPort,
                                       mdlSettings::UserName, mdlSettings::Password};
    const mdlInternet::ExchangeResult exchange =
        mdlInternet::PostToServer(*Sender, Script, Fields, account);
    if (RequestLeft)
        *RequestLeft = exchange.RequestLeft;
    if (self)
        ReplyText.clear();
    return exchange.ServerResultCode;
}

void frmSendMessages::ShowStatus(const QString& Text, int Icon)
{
    lblStatus->setText(Text);
    // A batch shows the same picture for every message: it is drawn when it changes.
    const char* const shownIcon = "shownIcon";
    if (Image1->property(shownIcon) != QVariant(Icon)) {
        Image1->setPixmap(Images32x32(Icon));
        Image1->setProperty(shownIcon, Icon);
    }
    // Both are painted together, once the exchange that follows waits for the network:
    // its wait runs the event loop. Painting each of them at once here cost a round trip
    // to the window system per message.
    lblStatus->update();
    Image1->update();
}

// ---- failure --------------------------------------------------------------------------

void frmSendMessages::failed(const rt::RuntimeError& error)
{
    QPointer<frmSendMessages> self(this);
    cmdCancel->setEnabled(false);
    rt::SetErr(error);
    mdlDialogs::ShowErrorMessage(0);
    if (self && !isUnloading())
        rt::Forms::unload(this);
}

bool frmSendMessages::stopped() const
{
    return CancelRequested || isUnloading();
}

// ---- buttons, load and unload ---------------------------------------------------------

void frmSendMessages::cmdCancel_Click()
{
    cmdCancel->setEnabled(false);
    cmdHide->setEnabled(false);
    cmdClose->show();
    cmdHide->hide();
    if (Sender->Busy())
        Sender->CloseConnection();
    ShowStatus(QStringLiteral("Γίνεται προσπάθεια διακοπής της σύνδεσης ..."), 4);
    CancelRequested = true;
}

void frmSendMessages::cmdHide_Click()
{
    hide();
}

void frmSendMessages::cmdClose_Click()
{
    rt::Forms::unload(this);
}

void frmSendMessages::Form_Load()
{
    CancelRequested = false;
}

void frmSendMessages::Form_Unload(bool& cancel)
{
    if (Sender->Busy()) {
        cancel = true;
        return;
    }
    Sender->CloseConnection();
    showConnectionState(0);
}

// ---- the connection control -----------------------------------------------------------

void frmSendMessages::TCPSender_ConnectionStateChanged(int Status)
{
    // The unload has shown the closed state already; a late poll must not overwrite it.
    if (isUnloading())
        return;
    showConnectionState(Status);
}

void frmSendMessages::showConnectionState(int state)
{
    QString toolTip;
    int icon = 0;
    switch (state) {
    case 0:
        toolTip = QStringLiteral("Σύνδεση Ανενεργή");
        icon = 2;
        break;
    case 1:
    case 7:
    case 8:
        toolTip = QStringLiteral("Σύνδεση Ενεργή");
        icon = 1;
        break;
    case 2:
    case 3:
    case 6:
        toolTip = QStringLiteral("Γίνεται Σύνδεση");
        icon = 1;
        break;
    case 9:
        toolTip = QStringLiteral("Σφάλμα Σύνδεσης");
        icon = 3;
        break;
    default:
        return;
    }
    try {
        mdlMain::SetStatusPanel(QStringLiteral("pnlConnection"), QString(), Images16x16(icon),
                                toolTip);
    } catch (const rt::RuntimeError& error) {
        // No handler of the window's own: the program's last resort reports it.
        rt::reportUntrapped(error);
    }
}

void frmSendMessages::TCPSender_DataArrival(const QString& Data)
{
    ReplyText = Data;
}

// ---- pictures -------------------------------------------------------------------------

QPixmap frmSendMessages::Images32x32(int index)
{
    // Drawn when asked: a picture kept past the application object is not safe to free.
    switch (index) {
    case 1:
        return envelopePicture();
    case 2:
        return coinsPicture();
    case 4:
        return linkPicture();
    default:
        return QPixmap();
    }
}

QIcon frmSendMessages::Images16x16(int index)
{
    switch (index) {
    case 1:
        return connectionIcon(QColor(40, 170, 70), false);
    case 2:
        return connectionIcon(QColor(150, 150, 150), false);
    case 3:
        return connectionIcon(QColor(210, 50, 40), true);
    default:
        return QIcon();
    }
}
