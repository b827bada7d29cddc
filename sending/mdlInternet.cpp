#include "sending/mdlInternet.h"

#include "compose/GreekLatin.h"
#include "platform/App.h"
#include "platform/Formats.h"
#include "platform/TextFile.h"
#include "sending/TCPSender.h"

#include <QDateTime>
#include <QObject>
#include <QRegularExpression>
#include <QStringList>
#include <initializer_list>
#include <limits>

namespace mdlInternet {

QString WebImportReply;

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString lf = QStringLiteral("\n");

QString join(std::initializer_list<QString> lines, const QString& separator)
{
    return QStringList(lines).join(separator);
}

// The old reader kept positions in 16-bit numbers; a tag further on could not be read.
constexpr qsizetype lastReadablePosition = 32767;

bool isNull(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return true;
    return value.typeId() == QMetaType::QString && value.toString().isEmpty();
}

std::optional<qint32> wholeNumber(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = text.trimmed();
    if (!pattern.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = t.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(n);
}

} // namespace

QString ServerErrorText(qint32 code)
{
    switch (code) {
    case -200:
        return join({QStringLiteral("Ο λογαριασμός σας δεν είναι ενεργός."),
                     QStringLiteral("Επικοινωνήστε με την Nerq για περισσότερες πληροφορίες.")},
                    crlf);
    case -300:
        return join(
            {QStringLiteral(
                 "Το Όνομα Χρήστη ή ο Κωδικός Πρόσβασης που έχετε δώσει δεν είναι σωστά."),
             QStringLiteral(
                 "Απο το μενού \"Εργαλεία\" επιλέξτε το \"Παράμετροι Προγράμματος\" και διορθώστε"),
             QStringLiteral("τα στοιχεία σας.")},
            crlf);
    case -400:
        return join(
            {QStringLiteral("Έχετε ξεπεράσει τον διαθέσιμο αριθμό μονάδων (Credits) που μπορείτε "
                            "να στείλετε."),
             QStringLiteral("Επικοινωνήστε με την Nerq για να ανανεώσετε τις μονάδες σας.")},
            crlf);
    case -500:
        return join(
            {QStringLiteral("Η προγραμματισμένη ημερομηνία και ώρα αποστολής του μηνύματως"),
             QStringLiteral("δεν είναι σωστή. Διορθώστε το πρόβλημα και προσπαθήστε ξανά.")},
            crlf);
    case -600:
        return join(
            {QStringLiteral("Το μήνυμα δεν έχει σωστή μορφή ή περιέχει μη επιτρεπτούς χαρακτήρες."),
             QStringLiteral("Διορθώστε το πρόβλημα και προσπαθήστε ξανά.")},
            crlf);
    case -700:
        return join(
            {QStringLiteral(
                 "Παρουσιάστηκε σφάλμα που οφείλεται σε κάποιο απο τους αριθμούς τηλεφώνου"),
             QStringLiteral(
                 "των παραληπτών που έχετε καταχωρήσει. Σιγουρευτείτε οτι όλοι οι αριθμοί"),
             QStringLiteral(
                 "που περιέχει το μήνυμα είναι σωστοί (δεν περιέχουν άλλους χαρακτήρες εκτώς"),
             QStringLiteral("απο αριθμούς) και προσπαθήστε ξανά.")},
            crlf);
    case -701:
        return join({QStringLiteral(
                         "Το όνομα αποστολέα (Originator) που έχετε δηλώσει δεν είναι αποδεκτό."),
                     QStringLiteral(
                         "Απο το μενού \"Εργαλεία\" επιλέξτε το \"Παράμετροι Προγράμματος\" και"),
                     QStringLiteral("πληκτρολογήστε ένα αποδεκτό όνομα.")},
                    crlf);
    case -800:
        return join({QStringLiteral(
                        "Το μήνυμα που προσπαθείτε να στείλετε δεν περιέχει έγκυρες πληροφορίες.")},
                    crlf);
    case -900:
        return join(
            {QStringLiteral(
                 "Παρουσιάστηκε κάποιο σφάλμα κατά τη σύνδεσή σας με τον διακομιστή μηνυμάτων."),
             QStringLiteral("Παρακαλώ προσπαθήστε αργότερα. Αν το πρόβλημα επιμείνει επικοινωνήστε "
                            "με την Nerq.")},
            crlf);
    case -31000:
        return join({QStringLiteral("Η σύνδεση με τον διακομιστή μηνυμάτων απέτυχε."), QString(),
                     QStringLiteral("Παρακαλώ σιγουρευτείτε ότι η σύνδεσή σας είναι ανοικτή."),
                     QStringLiteral("Ελέγξτε αν η Διεύθυνση του διακομιστή είναι σωστή απο το"),
                     QStringLiteral("μενού \"Εργαλεία\" - \"Επιλογές Σύνδεσης\""), QString(),
                     QStringLiteral("Αν το πρόβλημα επιμείνει επικοινωνήστε με την Nerq.")},
                    lf);
    case -32000:
        return join(
            {QStringLiteral("Παρουσιάστηκε σφάλμα κατά τη λήψη πληροφοριών απο τον διακομιστή.")},
            crlf);
    default:
        return QString();
    }
}

std::optional<QString> GetTagValue(const QString& text, const QString& tag)
{
    const qsizetype a = text.indexOf(tag) + 1;
    const qsizetype b = text.indexOf(QLatin1Char('/') + tag) + 1;
    if (a == 0 || b == 0 || a > lastReadablePosition || b > lastReadablePosition)
        return std::nullopt;
    // From the character after the ">" that follows the name to the "<" of the closing tag.
    const qsizetype length = b - a - tag.size() - 2;
    if (length < 0)
        return std::nullopt;
    return text.mid(a + tag.size(), length);
}

std::optional<QString> GetElement(const QString& tag, const QString& text)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QStringLiteral("</") + tag + QLatin1Char('>');
    const qsizetype s = text.indexOf(open);
    const qsizetype e = text.indexOf(close);
    if (s < 0 || e < s || s + 1 > lastReadablePosition || e + 1 > lastReadablePosition)
        return std::nullopt;
    return text.mid(s, e + close.size() - s);
}

QString StripOuterTag(const QString& element)
{
    const qsizetype gt = element.indexOf(QLatin1Char('>'));
    if (gt < 0)
        return element;
    const QString name = element.mid(1, gt - 1);
    QString rest = element;
    rest.remove(QLatin1Char('<') + name + QLatin1Char('>'));
    rest.remove(QStringLiteral("</") + name + QLatin1Char('>'));
    return rest;
}

QString EncodeFormValue(const QString& value)
{
    // "%" first, so that the escapes made after it are not escaped again.
    QString out = value;
    out.replace(QLatin1Char('%'), QStringLiteral("%25"));
    out.replace(QLatin1Char('+'), QStringLiteral("%2B"));
    out.replace(QLatin1Char('='), QStringLiteral("%3D"));
    out.replace(QLatin1Char('&'), QStringLiteral("%26"));
    out.replace(QLatin1Char('#'), QStringLiteral("%23"));
    out.replace(QLatin1Char(' '), QStringLiteral("%20"));
    return out;
}

QString EncodeMessageText(const QString& text)
{
    return MapGreekToLatin(EncodeFormValue(text));
}

bool ConnectionSettingsComplete(const Account& account, const QString& originator)
{
    return !originator.isEmpty() && !account.server.isEmpty() && !account.user.isEmpty() &&
           !account.password.isEmpty() && account.port != 0;
}

QString BuildLoginFields(const Account& account)
{
    // Sent as they are: the service has always taken them unescaped.
    return QStringLiteral("UID=") + account.user + QStringLiteral("&PWD=") + account.password;
}

bool TestModeMarkerPresent()
{
    return rt::FileExists(rt::App::file(QStringLiteral("TESTMODE.TST")));
}

QString BuildSendFields(const QString& originator, const QString& text, const QString& phoneList,
                        const QVariant& schDate, const QVariant& schTime, bool flash,
                        const QString& settingsOriginator)
{
    return BuildSendFields(originator, text, phoneList, schDate, schTime, flash, settingsOriginator,
                           TestModeMarkerPresent());
}

QString BuildSendFields(const QString& originator, const QString& text, const QString& phoneList,
                        const QVariant& schDate, const QVariant& schTime, bool flash,
                        const QString& settingsOriginator, bool testMode)
{
    QString fields;
    fields += QStringLiteral("&O=") +
              EncodeFormValue(originator.isEmpty() ? settingsOriginator : originator);
    fields += QStringLiteral("&R=") + NormalizePhoneList(phoneList);
    fields += QStringLiteral("&M=") + EncodeMessageText(text);
    fields += QStringLiteral("&F=") + (flash ? QStringLiteral("1") : QStringLiteral("0"));
    if (!isNull(schTime)) {
        const QDate date = isNull(schDate) ? QDate() : schDate.toDate();
        const QTime time = schTime.toTime();
        const QString datePart =
            date.isValid() ? rt::Format(QDateTime(date, QTime(0, 0)), QStringLiteral("yyyy.mm.dd"))
                           : QString();
        const QString timePart =
            time.isValid() ? rt::Format(QDateTime(QDate(1899, 12, 30), time), QStringLiteral("h.m"))
                           : QString();
        fields += QStringLiteral("&D=") + datePart + QLatin1Char('.') + timePart;
    }
    if (testMode)
        fields += QStringLiteral("&T=1");
    fields += QStringLiteral("&VIA=0");
    return fields;
}

QString NormalizePhoneList(const QString& phoneList)
{
    QStringList numbers;
    const QStringList entries = phoneList.split(QLatin1Char(','));
    for (const QString& entry : entries) {
        if (entry.isEmpty())
            continue;
        numbers.append(entry.startsWith(QLatin1Char('6')) ? QStringLiteral("30") + entry : entry);
    }
    return numbers.join(QLatin1Char(','));
}

QString BuildRequest(const QString& script, const QString& fields, const Account& account)
{
    QString body = BuildLoginFields(account);
    if (!fields.isEmpty())
        body += QLatin1Char('&') + fields;
    return QStringLiteral("POST /prog/") + script + QStringLiteral(" HTTP/1.0") + crlf +
           QStringLiteral("HOST: ") + account.server + crlf + QStringLiteral("Content-Length: ") +
           QString::number(body.size()) + crlf +
           QStringLiteral("Content-Type: application/x-www-form-urlencoded") + crlf + crlf + body;
}

qint32 ReadReply(const QString& reply)
{
    if (reply.isEmpty())
        return NoReply;
    if (!reply.contains(QStringLiteral("<result>")))
        return UnreadableReply;
    const std::optional<QString> value = GetTagValue(reply, QStringLiteral("result"));
    if (!value)
        return UnreadableReply;
    if (reply.contains(QStringLiteral("<groups>"))) {
        WebImportReply = *value;
        return 0;
    }
    return wholeNumber(*value).value_or(UnreadableReply);
}

ExchangeResult PostToServer(TCPSender& sender, const QString& script, const QString& fields,
                            const Account& account)
{
    ExchangeResult result;
    QObject receiver;
    QObject::connect(&sender, &TCPSender::DataArrival, &receiver,
                     [&result](const QString& data) { result.ReplyText = data; });
    sender.setRemoteHost(account.server);
    sender.setRemotePort(account.port);
    sender.InitializeConnection();
    // Its Boolean says no more than the reply text does.
    sender.SendDataAndWait(BuildRequest(script, fields, account));
    result.RequestLeft = sender.RequestLeft();
    result.ServerResultCode = ReadReply(result.ReplyText);
    return result;
}

} // namespace mdlInternet
