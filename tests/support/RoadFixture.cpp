#include "tests/support/RoadFixture.h"

#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/Database.h"
#include "platform/TextFile.h"

namespace testsupport::road {

bool writeAddressBook(const QString& databasePath)
{
    rt::Database db;
    if (!db.open(databasePath).ok)
        return false;
    const QString member = QStringLiteral(
        "INSERT INTO members (LastName, FirstName, mobile_no, member_of) VALUES (?, ?, ?, ?)");
    const QList<rt::Query> rows = {
        {QStringLiteral("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES "
                        "(?, ?, 0), (?, ?, 0)"),
         {1, QStringLiteral("Πελάτες"), 2, QStringLiteral("Προμηθευτές")}},
        {member,
         {QStringLiteral("Γεωργίου"), QStringLiteral("Νίκος"), QStringLiteral("6933333333"),
          QStringLiteral("\\2\\1\\")}},
        {member,
         {QStringLiteral("Αλεξίου"), QStringLiteral("Μαρία"), QStringLiteral("6911111111"),
          QStringLiteral("\\1\\")}},
        {member,
         {QStringLiteral("Δημητρίου"), QStringLiteral("Ελένη"), QStringLiteral("6944444444"),
          QStringLiteral("\\2\\")}},
        {member,
         {QStringLiteral("Βασιλείου"), QStringLiteral("Κώστας"), QStringLiteral("6922222222"),
          QStringLiteral("\\1\\")}},
    };
    bool ok = true;
    for (const rt::Query& row : rows)
        ok = ok && db.execute(row).ok;
    db.close();
    return ok;
}

Account account(const QString& host, quint16 port)
{
    return Account{.originator = QStringLiteral("Vantrel"),
                   .host = host,
                   .port = port,
                   .user = QStringLiteral("πελάτης"),
                   .password = QStringLiteral("s3cret")};
}

bool writeSettings(const QString& folder, const QString& host, quint16 port)
{
    const QString previous = rt::App::path();
    rt::App::setPath(folder);
    account(host, port).apply();
    const bool saved = mdlSettings::SaveSettings() &&
                       rt::WriteLines(rt::App::file(mdlSettings::IniFileName),
                                      {QStringLiteral("Disclaimer = 0")});
    mdlSettings::Originator.clear();
    mdlSettings::ServerURL.clear();
    mdlSettings::ServerPort = 0;
    mdlSettings::UserName.clear();
    mdlSettings::Password.clear();
    mdlSettings::AvailableSMS = 0;
    rt::App::setPath(previous);
    return saved;
}

// Greek capitals with Latin look-alikes become the Latin letters; a small Greek letter
// is not a symbol the service takes and is dropped.
QString typedText()
{
    return QStringLiteral("ΓΕΙΑ ΣΑΣ ΦΙΛΟΙ 10% ΕΚΠΤΩΣΗά!");
}

QString editedText()
{
    return QStringLiteral("ΓEIA ΣAΣ ΦIΛOI 10% EKΠTΩΣH!");
}

QString extraNumber()
{
    return QStringLiteral("6922222222");
}

// The extra number first; Βασιλείου's number is already in it; then Αλεξίου and
// Γεωργίου in surname order.
QString phoneList()
{
    return QStringLiteral("6922222222,6911111111,6933333333");
}

namespace {

QByteArray post(const QByteArray& script, const QString& host, const QByteArray& body)
{
    return "POST /prog/" + script + " HTTP/1.0\r\nHOST: " + host.toLatin1() +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nContent-Type: application/x-www-form-urlencoded\r\n\r\n" + body;
}

// Windows-1253: π ε λ ά τ η ς.
const QByteArray login = "UID=\xF0\xE5\xEB\xDC\xF4\xE7\xF2&PWD=s3cret";

} // namespace

QByteArray sendRequest(const QString& host)
{
    // Windows-1253: Γ C3, Σ D3, Φ D6, Λ CB, Π D0, Ω D9.
    return post("send.php", host,
                login +
                    "&&O=Vantrel"
                    "&R=306922222222,306911111111,306933333333"
                    "&M=\xC3"
                    "EIA%20\xD3"
                    "A\xD3%20\xD6I\xCBOI%2010%25%20EK\xD0T\xD9\xD3H!"
                    "&F=0&VIA=0");
}

QByteArray creditsRequest(const QString& host)
{
    return post("credits.php", host, login);
}

} // namespace testsupport::road
