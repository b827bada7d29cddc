#include "app/mdlDialogs.h"

#include "platform/App.h"
#include "platform/Clock.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "platform/Formats.h"
#include "platform/MsgBox.h"
#include "platform/TextFile.h"

#include <QChar>
#include <QDateTime>

namespace mdlDialogs {

namespace {

const QString LF = QStringLiteral("\n");
const QString contactLine = QStringLiteral("Επικοινωνήστε με την Nerq για περισσότερες πληροφορίες.");

void unloadSplash()
{
    if (rt::Form* splash = rt::Forms::findByName(QStringLiteral("frmSplash")))
        rt::Forms::unload(splash);
}

QString flattened(QString text) { return text.replace(QLatin1Char('\n'), QLatin1Char(' ')); }

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

QString numberText(const QVariant& number)
{
    return number.isValid() ? QString::number(number.toLongLong()) : QString();
}

} // namespace

QString ErrorLogLine(const QDateTime& when, const QVariant& Number, const QVariant& Source,
                     const QString& Description)
{
    const QString source = Source.isValid() && !Source.isNull()
                               ? QStringLiteral("Source: ") + Source.toString()
                               : QString();
    return QStringList{quoted(rt::ShortDate(when.date())), quoted(rt::ShortTime(when.time())),
                       quoted(QStringLiteral("Error: ") + numberText(Number)),
                       quoted(QStringLiteral("Descr: ") + flattened(Description)), quoted(source)}
        .join(QLatin1Char(','));
}

void WriteErrorLog(const QVariant& Number, const QVariant& Source, const QString& Description)
{
    rt::AppendLine(rt::App::file(QStringLiteral("ERROR.LOG")),
                   ErrorLogLine(rt::Now(), Number, Source, Description));
}

int ShowErrorMessage(int Code, const QString& Text)
{
    Q_UNUSED(Text);
    const QString title = rt::App::title();
    QString text;
    int icon = rt::mb::Critical;
    switch (Code) {
    case -1:
        text = QStringLiteral("Το αρχείο ρυθμίσεων του προγράμματος δεν βρέθηκε..") + LF +
               QStringLiteral("Η λειτουργία του προγράμματος είναι αδύνατη.") + LF + contactLine;
        break;
    case -2:
        text = QStringLiteral("Ο Τύπος του αρχείου ρυθμίσεων του προγράμματος δεν είναι σωστός.") +
               LF + QStringLiteral("Η λειτουργία του προγράμματος είναι αδύνατη.") + LF +
               contactLine;
        break;
    case -3:
        text = QStringLiteral("Παρουσιάστηκε κάποιο σφάλμα κατά την ανάγνωση των ρυθμίσεων") + LF +
               QStringLiteral("του προγράμματος. Η λειτουργία του προγράμματος είναι αδύνατη.") +
               LF + contactLine;
        break;
    case -4:
        text = QStringLiteral("Παρουσιάστηκε κάποιο πρόβλημα κατά την αποθήκευση των ρυθμίσεων του") +
               LF +
               QStringLiteral("προγράμματος που πιθανόν να οφείλετε σε έλλειψη χώρου στο δίσκο.") +
               LF + QStringLiteral("Ελευθερώστε λίγο χώρο από το δίσκο σας και προσπαθήστε ξανά.") +
               LF + QStringLiteral("Αν το πρόβλημα επιμείνει επικοινωνήστε με την Nerq");
        WriteErrorLog(rt::Err().Number, rt::Err().Source, flattened(rt::Err().Description));
        break;
    default:
        icon = rt::mb::Exclamation;
        text = QStringLiteral("Σφάλμα: ") + QString::number(rt::Err().Number) + LF +
               rt::Err().Description;
        WriteErrorLog(Code, rt::Err().Source, flattened(text));
        break;
    }
    unloadSplash();
    return rt::MsgBox(text, rt::mb::OKOnly | icon, title);
}

int ShowUnrecordedMessage(const QString& Title, qint32 ServerId, int Number,
                          const QString& Description, const QVariant& Source, bool Kept)
{
    QString text =
        QStringLiteral("Το μήνυμα ") + quoted(Title) +
        QStringLiteral(" έγινε δεκτό από τον διακομιστή μηνυμάτων") + LF +
        QStringLiteral("με αριθμό ") + QString::number(ServerId) +
        QStringLiteral(", αλλά δεν ήταν δυνατό να καταχωρηθεί στα Απεσταλμένα.") + LF +
        QStringLiteral(
            "Παραμένει στα Εξερχόμενα με την ένδειξη αποτυχίας και δεν θα σταλεί ξανά:") +
        LF +
        QStringLiteral(
            "με την επόμενη Αποστολή θα καταχωρηθεί στα Απεσταλμένα με τον ίδιο αριθμό.");
    if (!Kept)
        text +=
            LF +
            QStringLiteral("Αν κλείσετε το πρόγραμμα πριν από την επόμενη Αποστολή, αυτό δεν θα "
                           "είναι γνωστό:") +
            LF + QStringLiteral("αν το στείλετε ξανά, θα χρεωθεί δεύτερη φορά.");
    text += LF + LF + QStringLiteral("Σφάλμα: ") + QString::number(Number) + LF + Description;
    WriteErrorLog(Number, Source, flattened(text));
    unloadSplash();
    return rt::MsgBox(text, rt::mb::OKOnly | rt::mb::Exclamation, rt::App::title());
}

int ShowFolderInUse(const QString& Folder)
{
    return rt::MsgBox(QStringLiteral("Το πρόγραμμα εκτελείται ήδη από τον φάκελο") + LF + Folder +
                          LF +
                          QStringLiteral(
                              "Χρησιμοποιήστε το παράθυρο του προγράμματος που είναι ήδη ανοικτό."),
                      rt::mb::OKOnly | rt::mb::Exclamation, rt::App::title());
}

int AskUser(int Kind, const QString& Text)
{
    const QString title = rt::App::title();
    QString text;
    int style = rt::mb::OKOnly;
    const QChar DQ = QLatin1Char('"');
    if (Kind == 1) {
        text = QStringLiteral("Κάποια από τα στοιχεία στις παραμέτρους του προγράμματος είναι ελλιπή.") +
               LF + QStringLiteral("Μπορείτε να συμπληρώσετε  τα στοιχεία αργότερα από το μενού ") +
               DQ + QStringLiteral("Εργαλεία") + DQ + LF + QStringLiteral("επιλέγοντας το ") + DQ +
               QStringLiteral("Παράμετροι Προγράμματος") + DQ + QStringLiteral(".") + LF +
               QStringLiteral("Για περισσότερες πληροφορίες επικοινωνήστε με την Nerq") + LF + LF +
               QStringLiteral("Θέλετε να συμπληρώσετε αυτά τα στοιχεία τώρα;");
        style = rt::mb::YesNo | rt::mb::Question;
    } else if (Kind == 2) {
        text = QStringLiteral("Ο κωδικός που δώσατε δεν είναι σωστός.") + LF + Text;
        style = rt::mb::OKOnly | rt::mb::Critical;
    }
    unloadSplash();
    return rt::MsgBox(text, style, title);
}

void ReportUntrappedError() { ShowErrorMessage(0); }

} // namespace mdlDialogs
