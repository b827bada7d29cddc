#include "tests/crash/Scenarios.h"

#include "addressbook/frmGroup_Organize.h"
#include "addressbook/frmMember_List.h"
#include "addressbook/frmMobileFilter.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlSettings.h"
#include "platform/Database.h"
#include "platform/ListView.h"
#include "platform/TextBox.h"
#include "platform/TreeView.h"
#include "sending/TCPSender.h"
#include "sending/frmSendMessages.h"
#include "tests/support/Account.h"

#include <QPushButton>

namespace crash {

namespace {

bool exec(const QString& sql, const QVariantList& values = {})
{
    return mdlDataBase::MainDatabase().execute({sql, values}).ok;
}

bool addGroup(int id, const QString& name, int parent)
{
    return exec(
        QStringLiteral("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (?, ?, ?)"),
        {id, name, parent});
}

bool addMember(int id, const QString& last, const QString& phone, const QVariant& memberOf)
{
    return exec(QStringLiteral("INSERT INTO members (member_id, LastName, FirstName, "
                               "Occupation, mobile_no, member_of) VALUES (?, ?, ?, ?, ?, ?)"),
                {id, last, QStringLiteral("Όνομα"), QVariant(), phone, memberOf});
}

bool prepareAddressBook()
{
    return addGroup(1, QStringLiteral("Φίλοι"), 0) &&
           addGroup(2, QStringLiteral("Συνάδελφοι"), 0) &&
           addGroup(3, QStringLiteral("Κοντινοί"), 1) &&
           addMember(1, QStringLiteral("Αλεξίου"), QStringLiteral("6941111111"),
                     QStringLiteral("\\1\\")) &&
           addMember(2, QStringLiteral("Βασιλείου"), QStringLiteral("6942222222"),
                     QStringLiteral("\\2\\")) &&
           addMember(3, QStringLiteral("Γεωργίου"), QStringLiteral("2101234567"),
                     QStringLiteral("\\3\\2\\")) &&
           addMember(4, QStringLiteral("Δημητρίου"), QStringLiteral("6943333333"), QVariant()) &&
           addMember(5, QStringLiteral("Ευαγγέλου"), QStringLiteral("6944444444"),
                     QStringLiteral("\\1\\"));
}

bool prepareOutbox()
{
    for (const QString& text : outboxTexts) {
        if (!exec(QStringLiteral("INSERT INTO outbox_messages (msg_title, msg_text, "
                                 "msg_originator, msg_flash, msg_phonelist, msg_date, msg_time) "
                                 "VALUES (?, ?, 'Shop', 0, '6900000001', '2024-03-05', '09:07')"),
                  {QStringLiteral("Τίτλος ") + text, text}))
            return false;
    }
    return true;
}

frmMain& shownMainWindow()
{
    frmMain& main = rt::Forms::get<frmMain>();
    main.show();
    return main;
}

bool sendAll(quint16 port)
{
    mdlSettings::ServerURL = QStringLiteral("127.0.0.1");
    mdlSettings::ServerPort = port;
    mdlSettings::UserName = QStringLiteral("user");
    mdlSettings::Password = QStringLiteral("secret");
    mdlSettings::Originator = QStringLiteral("Shop");
    mdlSettings::AskOnSend = 0;
    shownMainWindow();
    rt::Forms::get<frmSendMessages>().SendOutBoxMessages(-1);
    return true;
}

// The send batch with another program taking the database's write lock as soon as the
// service has accepted the first message, and keeping it: that message cannot be recorded.
bool sendAllLockedOut(quint16 port)
{
    static rt::Database otherProgram;
    frmSendMessages& w = rt::Forms::get<frmSendMessages>();
    w.setAcceptedMoveLimitMs(300);
    QObject::connect(w.Sender, &TCPSender::DataArrival, [] {
        if (!otherProgram.isOpen() && otherProgram.open(mdlDataBase::MainDatabase().path()).ok)
            otherProgram.execute({QStringLiteral("BEGIN IMMEDIATE"), {}});
    });
    return sendAll(port);
}

bool saveOrganiser()
{
    shownMainWindow();
    frmGroup_Organize& w = rt::Forms::get<frmGroup_Organize>();
    w.show();
    QString renamed = QStringLiteral("GRP_1");
    w.UpdateGroup(QStringLiteral("GRP_0"), renamed, QStringLiteral("Φίλοι και γνωστοί"));
    w.Groups()->setSelectedItem(w.Groups()->Nodes().Item(QStringLiteral("GRP_2")));
    w.DeleteGroup();
    QString added;
    w.UpdateGroup(QStringLiteral("GRP_0"), added, QStringLiteral("Νέα ομάδα"));
    w.UpdateMember(QString(), added, QStringLiteral("Λάμπρου"), QStringLiteral("Λίνα"), QString(),
                   QStringLiteral("6915000000"));
    w.UpdateMember(QStringLiteral("MEMBER_1"), QStringLiteral("GRP_1"), QStringLiteral("Αλεξίου"),
                   QStringLiteral("Άννα"), QStringLiteral("Γιατρός"), QStringLiteral("6941111112"));
    return w.SaveChanges();
}

bool deleteMembers()
{
    frmMain& main = shownMainWindow();
    if (!main.FreeChildSpace(QStringLiteral("frmMember_List")))
        return false;
    frmMember_List& w = rt::Forms::get<frmMember_List>();
    w.show();
    for (rt::ListItem item : w.Members()->ListItems()) {
        const qint64 id = item.Tag().toLongLong();
        item.setSelected(id == 2 || id == 4);
    }
    const int before = w.Members()->ListItems().Count();
    w.DeleteMember();
    return w.Members()->ListItems().Count() == before - 2;
}

bool rewritePrefix()
{
    frmMobileFilter& dialog = rt::Forms::get<frmMobileFilter>();
    dialog.show();
    dialog.txtCode()->setText(QStringLiteral("694"));
    dialog.txtNewCode()->setText(QStringLiteral("699"));
    dialog.cmdOK()->click();
    return true;
}

} // namespace

bool prepare(const QString& scenario)
{
    if (scenario == QLatin1String("send") || scenario == QLatin1String("send-locked"))
        return prepareOutbox();
    if (scenario == QLatin1String("settings")) {
        setOldSettings();
        return mdlSettings::SaveSettings();
    }
    return prepareAddressBook();
}

bool run(const QString& scenario, quint16 servicePort)
{
    if (scenario == QLatin1String("send"))
        return sendAll(servicePort);
    if (scenario == QLatin1String("send-locked"))
        return sendAllLockedOut(servicePort);
    if (scenario == QLatin1String("organiser"))
        return saveOrganiser();
    if (scenario == QLatin1String("members"))
        return deleteMembers();
    if (scenario == QLatin1String("prefix"))
        return rewritePrefix();
    if (scenario == QLatin1String("settings")) {
        setNewSettings();
        return mdlSettings::SaveSettings();
    }
    return false;
}

void setOldSettings()
{
    testsupport::Account{.originator = QStringLiteral("ΠΑΛΙΟ"),
                         .host = QStringLiteral("old.example.org"),
                         .port = 8080,
                         .user = QStringLiteral("παλιός χρήστης"),
                         .password = QStringLiteral("a rather long old password"),
                         .credits = 12,
                         .security = 1,
                         .send = 1}
        .apply();
}

void setNewSettings()
{
    testsupport::Account{.originator = QStringLiteral("ΝΕΟ"),
                         .host = QStringLiteral("new.example.org"),
                         .port = 40000,
                         .user = QStringLiteral("νέος"),
                         .password = QStringLiteral("short")}
        .apply();
}

std::optional<rt::StorageStep> stepNamed(const QString& name)
{
    using rt::StorageStep;
    static const QList<std::pair<QString, StorageStep>> names = {
        {QStringLiteral("begin"), StorageStep::TransactionBegin},
        {QStringLiteral("before-commit"), StorageStep::BeforeCommit},
        {QStringLiteral("after-commit"), StorageStep::AfterCommit},
        {QStringLiteral("before-rename"), StorageStep::BeforeRename},
        {QStringLiteral("after-rename"), StorageStep::AfterRename},
    };
    for (const auto& [text, step] : names) {
        if (text == name)
            return step;
    }
    return std::nullopt;
}

} // namespace crash
