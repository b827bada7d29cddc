#pragma once

#include <QString>
#include <QVariant>
#include <optional>

class TCPSender;

// The exchange with the SMS service's web server: the bytes of the three requests, the
// escaping of their fields, the reading of the reply and the result codes with their texts.
namespace mdlInternet {

// Where and as whom the program talks to the service. Callers fill it from the settings
// (mdlSettings' ServerURL, ServerPort, UserName and Password).
struct Account {
    QString server; // host name or address, no scheme or path
    int port = 0;
    QString user;
    QString password;
};

// Made by the program, not by the server.
constexpr qint32 NoReply = -31000;
constexpr qint32 UnreadableReply = -32000;

// The inner text of the result element of the last address-import reply, kept until the
// import viewer has read it (the viewer empties it).
extern QString WebImportReply;

// The Greek text of a result code; empty for codes outside the table, 0 and up included.
QString ServerErrorText(qint32 code);

// The text between the first occurrence of the bare name Tag and the first "/" & Tag, as
// the service's replies have always been read (the first "result" anywhere counts, even
// in a header). Nothing when either is missing, when they are out of order, or when one
// lies beyond character 32,767.
std::optional<QString> GetTagValue(const QString& text, const QString& tag);
// The first whole element named tag, opening through closing tag; nothing when either tag
// is missing, out of order or beyond character 32,767.
std::optional<QString> GetElement(const QString& tag, const QString& text);
// Removes every opening and closing tag of the element's own name ("<id>17</id>" gives 17).
QString StripOuterTag(const QString& element);

// Form-field escapes: % + = & # and blank; everything else (Greek, CR, LF) goes as it is.
QString EncodeFormValue(const QString& value);
// The same escapes, then the Greek capitals with Latin look-alikes become Latin.
QString EncodeMessageText(const QString& text);

// True when originator, server, user and password are given and the port is not 0.
bool ConnectionSettingsComplete(const Account& account, const QString& originator);

QString BuildLoginFields(const Account& account);
// The fields of one send request, each starting with "&". The row's originator is used,
// or settingsOriginator (mdlSettings' Originator) when the row has none. schDate and
// schTime are the row's msg_schdate and msg_schtime: Null (an invalid QVariant) or a date,
// time or their ISO text; the message is scheduled exactly when schTime is not Null.
// The test-mode field goes with it when the program folder holds the marker TESTMODE.TST,
// in any letter case: looked for at each call.
QString BuildSendFields(const QString& originator, const QString& text, const QString& phoneList,
                        const QVariant& schDate, const QVariant& schTime, bool flash,
                        const QString& settingsOriginator);
// The same, with the marker looked for once by the caller (TestModeMarkerPresent): where
// it is absent, the usual case, looking means reading every name in the program folder.
QString BuildSendFields(const QString& originator, const QString& text, const QString& phoneList,
                        const QVariant& schDate, const QVariant& schTime, bool flash,
                        const QString& settingsOriginator, bool testMode);
// Whether the program folder holds the test-mode marker TESTMODE.TST, in any letter case.
bool TestModeMarkerPresent();
// The stored phone list as the server takes it: empty entries dropped, "30" before every
// number that begins with "6", joined by single commas.
QString NormalizePhoneList(const QString& phoneList);

// The whole HTTP/1.0 request for a script ("send.php", "credits.php", "addressget.php"):
// the login fields, then "&" and fields when there are any. It goes out in Windows-1253,
// one byte per character, so Content-Length counts characters.
QString BuildRequest(const QString& script, const QString& fields, const Account& account);

// The result code of a reply text: -31000 for no text, -32000 for no readable result;
// an address-import reply (it holds "<groups>") leaves its result's inner text in
// WebImportReply and gives 0.
qint32 ReadReply(const QString& reply);

struct ExchangeResult {
    qint32 ServerResultCode = NoReply;
    QString ReplyText;
    // Whether any of the request was written to the connection: until then the service
    // cannot have taken it.
    bool RequestLeft = false;
};

// One exchange on the sender's connection: points it at the account's server, starts its
// state poll, sends the request and reads the reply. Every failure on the way (no
// connection, send failure, cancelled, no reply) ends as -31000. The sender's own
// DataArrival still fires for the host.
ExchangeResult PostToServer(TCPSender& sender, const QString& script, const QString& fields,
                            const Account& account);

} // namespace mdlInternet
