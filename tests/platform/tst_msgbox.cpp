// Real message boxes, measured while they are on the screen: every line of the text is
// shown whole, on one line when the screen's width holds it, and the box lies on the
// screen, centred over the window that opened it. Run on whatever platform the
// environment names: offscreen in the unit suite, a real X display under a window
// manager from the end-to-end suite.

#include "platform/MsgBox.h"
#include "tests/support/Fixture.h"
#include "tests/support/RealKeys.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QWidget>
#include <QWindow>

using testsupport::RealWindows;

namespace {

const QString LF = QStringLiteral("\n");

// A path without a blank, wider than the screen: no word boundary to wrap at.
QString pathWiderThanTheScreen()
{
    const QFontMetrics metrics(QApplication::font());
    const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
    QString path = QStringLiteral("/home/χρήστης");
    for (int i = 0; metrics.horizontalAdvance(path) < 2 * screen; ++i)
        path += QStringLiteral("/Φάκελος_εγγράφων_%1").arg(i);
    return path + QStringLiteral("/SMS.mdb");
}

// A name with no break in it at all, wider than the screen.
QString wordWiderThanTheScreen()
{
    const QFontMetrics metrics(QApplication::font());
    const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
    QString word = QStringLiteral("Τηλέφωνα");
    while (metrics.horizontalAdvance(word) < 2 * screen)
        word += QStringLiteral("_Σεπτεμβρίου");
    return word + QStringLiteral(".txt");
}

// A line of words wider than the screen.
QString wordsWiderThanTheScreen()
{
    const QFontMetrics metrics(QApplication::font());
    const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
    QString line = QStringLiteral("Σφάλμα:");
    while (metrics.horizontalAdvance(line) < 2 * screen)
        line += QStringLiteral(" η σύνδεση με την υπηρεσία διακόπηκε");
    return line;
}

// What a box showed, taken while it was on the screen.
struct Shown {
    QRect box;                   // the box's frame, on the screen
    QRect inside;                // the box's own area, on the screen
    QRect label;                 // the label, on the screen
    QRect screen;                // the screen's available area
    QStringList lines;           // the lines the label lays out, in order
    QList<int> linesPerTextLine; // how many of them each line of the text takes
    bool sameText = false;       // the lines say the text, sign for sign
    Qt::TextFormat format = Qt::AutoText;
    QString spoken;        // what the label tells a screen reader
    QList<qreal> overflow; // each laid-out line's width beyond the label's
    qreal textHeight = 0;
    int labelHeight = 0;
};

// Matches the laid-out lines to the text's lines: a line of the text may take several,
// the blanks where it broke left out. False when they do not say the text.
bool matchLines(const QString& text, const QStringList& shown, QList<int>& perLine)
{
    const auto signs = [](QString line) {
        line.remove(QRegularExpression(QStringLiteral("\\s")));
        return line;
    };
    qsizetype next = 0;
    for (const QString& line : text.split(LF)) {
        const QString wanted = signs(line);
        QString got;
        int taken = 0;
        do {
            if (next >= shown.size())
                return false;
            got += signs(shown.at(next++));
            ++taken;
        } while (got.size() < wanted.size());
        if (got != wanted)
            return false;
        perLine << taken;
    }
    return next == shown.size();
}

// Waits until the window system has done with the box: its place and size hold.
void atRest(QWidget& box)
{
    QRect last;
    QElapsedTimer still;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 3000) {
        const QRect now = box.geometry().marginsAdded(box.windowHandle()->frameMargins());
        if (now != last) {
            last = now;
            still.start();
        } else if (still.elapsed() >= 300) {
            return;
        }
        QTest::qWait(20);
    }
}

Shown measure(QWidget& box, const QString& text)
{
    atRest(box);
    Shown shown;
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr)
        return shown;
    shown.box = box.geometry().marginsAdded(box.windowHandle()->frameMargins());
    shown.inside = box.geometry();
    shown.label = QRect(label->mapToGlobal(QPoint(0, 0)), label->size());
    shown.screen = box.screen()->availableGeometry();
    shown.format = label->textFormat();
    if (QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(label))
        shown.spoken = spoken->text(QAccessible::Name);
    shown.labelHeight = label->contentsRect().height();
    const int room = label->contentsRect().width();
    // The text as the label paints it: from its text document where it has one, else
    // by the label's own lines.
    label->grab();
    if (auto* document = label->findChild<QTextDocument*>()) {
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                shown.lines << block.text().mid(line.textStart(), line.textLength());
                shown.overflow << line.naturalTextWidth() - room;
            }
        }
        shown.textHeight = document->size().height();
    } else if (!label->wordWrap() && label->textFormat() == Qt::PlainText) {
        const QFontMetrics metrics(label->font(), label);
        shown.lines = label->text().split(LF);
        for (const QString& line : shown.lines)
            shown.overflow << metrics.horizontalAdvance(line) - room;
        shown.textHeight = metrics
                               .boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
                                             Qt::AlignLeft | Qt::AlignTop, label->text())
                               .height();
    }
    shown.sameText = matchLines(text, shown.lines, shown.linesPerTextLine);
    return shown;
}

// Counts the work done on a window's widgets: paints, layout passes and requests for
// either.
class WorkCounter : public QObject {
public:
    explicit WorkCounter(QWidget& window) : m_window(window) { qApp->installEventFilter(this); }
    ~WorkCounter() override { qApp->removeEventFilter(this); }
    WorkCounter(const WorkCounter&) = delete;
    WorkCounter& operator=(const WorkCounter&) = delete;

    QStringList work() const { return m_work; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::Paint && type != QEvent::UpdateRequest && type != QEvent::LayoutRequest)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == &m_window && m_work.size() < 20)
            m_work << QStringLiteral("%1 %2 on %3")
                          .arg(type)
                          .arg(QString::fromLatin1(widget->metaObject()->className()),
                               widget->objectName());
        return false;
    }

private:
    QWidget& m_window;
    QStringList m_work;
};

} // namespace

class tst_msgbox : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        delete m_owner;
        if (!m_look.isEmpty())
            QApplication::setStyle(m_look);
        m_look.clear();
    }

    void wholeTextOnTheScreen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("owned");
        QTest::addColumn<QString>("look");
        const QString settingsSave =
            QStringLiteral("Παρουσιάστηκε κάποιο πρόβλημα κατά την αποθήκευση των ρυθμίσεων του") +
            LF +
            QStringLiteral("προγράμματος που πιθανόν να οφείλετε σε έλλειψη χώρου στο δίσκο.") +
            LF + QStringLiteral("Ελευθερώστε λίγο χώρο από το δίσκο σας και προσπαθήστε ξανά.") +
            LF + QStringLiteral("Αν το πρόβλημα επιμείνει επικοινωνήστε με την Nerq");
        const QString incomplete =
            QStringLiteral(
                "Κάποια από τα στοιχεία στις παραμέτρους του προγράμματος είναι ελλιπή.") +
            LF +
            QStringLiteral(
                "Μπορείτε να συμπληρώσετε  τα στοιχεία αργότερα από το μενού \"Εργαλεία\"") +
            LF + QStringLiteral("επιλέγοντας το \"Παράμετροι Προγράμματος\".") + LF +
            QStringLiteral("Για περισσότερες πληροφορίες επικοινωνήστε με την Nerq") + LF + LF +
            QStringLiteral("Θέλετε να συμπληρώσετε αυτά τα στοιχεία τώρα;");
        const QString settingsType =
            QStringLiteral("Ο Τύπος του αρχείου ρυθμίσεων του προγράμματος δεν είναι σωστός.") +
            LF + QStringLiteral("Η λειτουργία του προγράμματος είναι αδύνατη.") + LF +
            QStringLiteral("Επικοινωνήστε με την Nerq για περισσότερες πληροφορίες.");
        const QString overwrite =
            QStringLiteral("Το αρχείο /home/χρήστης/Έγγραφα/Πελάτες και συνεργάτες/2024/"
                           "Δεύτερο εξάμηνο/Τηλέφωνα της εκδήλωσης του Σεπτεμβρίου.txt "
                           "υπάρχει ήδη στο δίσκο.") +
            LF + QStringLiteral("Θέλετε να το αντικαταστήσετε;");
        const QString group = QStringLiteral("ΩΨΦΧΩΨΦΧΩΨΦΧΩΨΦΧΩΨΦΧ ΩΨΦΧΩΨΦΧΩΨΦΧΩΨΦΧΩΨΦΧΩΨΦ");
        const QString groupDelete = QStringLiteral("Πρόκειτε να διαγράψετε την ομάδα \"") + group +
                                    QStringLiteral("\"και όλες τις υποομάδες που περιέχει.") + LF +
                                    QStringLiteral("Θέλετε να συνεχίσετε;");
        const QString memberDelete =
            QStringLiteral(
                "Πρόκειτε να διαγράψετε το μέλος \"Παπαδοπούλου Αικατερίνη\" από την ομάδα \"") +
            group + QStringLiteral("\"") + LF + QStringLiteral("Θέλετε να συνεχίσετε;");
        const QString messageDelete =
            QStringLiteral("Πρόκειτε να διαγράψετε το μήνυμα \"") +
            QStringLiteral("ΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩΩ") +
            QStringLiteral("\".") + LF + QStringLiteral("Θέλετε να συνεχίσετε;");
        const QString question = QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΗΝΥΜΑΤΟΣ");
        const int yesNo = rt::mb::YesNo | rt::mb::Question;
        const int error = rt::mb::OKOnly | rt::mb::Critical;
        QTest::newRow("a short line")
            << QStringLiteral("Ερώτηση;") << yesNo << question << true << QString();
        QTest::newRow("settings not saved")
            << settingsSave << error << QString() << false << QString();
        QTest::newRow("settings incomplete")
            << incomplete << yesNo << QString() << true << QString();
        QTest::newRow("settings of another type")
            << settingsType << error << QString() << false << QString();
        QTest::newRow("file to overwrite")
            << overwrite << (rt::mb::YesNoCancel | rt::mb::Question)
            << QStringLiteral("Αποθήκευση Τηλεφώνων") << true << QString();
        QTest::newRow("group to delete")
            << groupDelete << yesNo << QStringLiteral("ΔΙΑΓΡΑΦΗ ΟΜΑΔΑΣ") << true << QString();
        QTest::newRow("member to delete")
            << memberDelete << yesNo << QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΕΛΩΝ") << true << QString();
        QTest::newRow("message to delete")
            << messageDelete << yesNo << question << true << QString();
        QTest::newRow("path wider than the screen")
            << QStringLiteral("Σφάλμα: 3044") + LF + QStringLiteral("the database file ") +
                   pathWiderThanTheScreen() + QStringLiteral(" does not exist")
            << (rt::mb::OKOnly | rt::mb::Exclamation) << QString() << false << QString();
        QTest::newRow("name wider than the screen, owned")
            << QStringLiteral("Το αρχείο ") + wordWiderThanTheScreen() +
                   QStringLiteral(" υπάρχει ήδη στο δίσκο.") + LF +
                   QStringLiteral("Θέλετε να το αντικαταστήσετε;")
            << (rt::mb::YesNoCancel | rt::mb::Question) << QStringLiteral("Αποθήκευση Τηλεφώνων")
            << true << QString();
        // A style whose boxes do not let the text be selected lays the label out without
        // a text document.
        QTest::newRow("name wider than the screen, another style")
            << QStringLiteral("Το αρχείο ") + wordWiderThanTheScreen() +
                   QStringLiteral(" υπάρχει ήδη στο δίσκο.")
            << (rt::mb::OKOnly | rt::mb::Exclamation) << QString() << false
            << QStringLiteral("Windows");
        QTest::newRow("words wider than the screen, owned")
            << QStringLiteral("Σφάλμα: 7") + LF + wordsWiderThanTheScreen()
            << (rt::mb::OKOnly | rt::mb::Exclamation) << QString() << true << QString();
        // A name is the user's: shown as it stands, never read as markup.
        const QString markup = QStringLiteral("<b>Έντονη</b> & <i>πλάγια</i> <br>ομάδα");
        QTest::newRow("group named in markup to delete")
            << QStringLiteral("Πρόκειτε να διαγράψετε την ομάδα \"") + markup +
                   QStringLiteral("\"και όλες τις υποομάδες που περιέχει.") + LF +
                   QStringLiteral("Θέλετε να συνεχίσετε;")
            << yesNo << QStringLiteral("ΔΙΑΓΡΑΦΗ ΟΜΑΔΑΣ") << true << QString();
        QTest::newRow("markup wider than the screen")
            << QStringLiteral("<p>Σφάλμα: 7</p>") + LF + QStringLiteral("<i>") +
                   wordsWiderThanTheScreen() + QStringLiteral("</i> &amp;")
            << (rt::mb::OKOnly | rt::mb::Exclamation) << QString() << false << QString();
    }
    void wholeTextOnTheScreen()
    {
        QFETCH(QString, text);
        QFETCH(int, style);
        QFETCH(QString, title);
        QFETCH(bool, owned);
        QFETCH(QString, look);
        if (!look.isEmpty()) {
            m_look = QApplication::style()->name();
            QVERIFY(QApplication::setStyle(look) != nullptr);
        }
        if (owned)
            QVERIFY(showOwner());

        RealWindows windows;
        Shown first;
        Shown again;
        QRect owner;
        QString picture = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');
        windows.thenClosed([&](QWidget& box) {
            first = measure(box, text);
            if (m_owner)
                owner = m_owner->geometry().marginsAdded(m_owner->windowHandle()->frameMargins());
            box.grab().save(testsupport::picturePath(QStringLiteral("box-") + picture +
                                                     QStringLiteral(".png")));
            // Qt sizes its box again on every layout request: the text must stay whole.
            QEvent request(QEvent::LayoutRequest);
            QCoreApplication::sendEvent(&box, &request);
            QCoreApplication::sendPostedEvents();
            again = measure(box, text);
            RealWindows::pressKeys(box, {Qt::Key_Escape});
        });
        rt::MsgBox(text, style, title);
        QVERIFY(windows.unanswered().isEmpty());
        QVERIFY(windows.leftOpen().isEmpty());
        QCOMPARE(windows.boxTexts(), QStringList{text});

        for (const Shown& shown : {first, again}) {
            QVERIFY2(!shown.lines.isEmpty(), "the box's text was not found");
            // The text as it stands, whatever it holds: no markup read, no line feed
            // lost; a screen reader hears it whole.
            QVERIFY2(shown.sameText, qPrintable(QStringLiteral("shown: ") +
                                                shown.lines.join(QStringLiteral(" | "))));
            QCOMPARE(shown.format, Qt::PlainText);
            QCOMPARE(shown.spoken, text);
            QVERIFY2(shown.box.contains(shown.label), qPrintable(describe(shown)));
            QVERIFY2(shown.screen.contains(shown.box), qPrintable(describe(shown)));
            // Every laid-out line lies inside the label, and the label holds them all.
            for (qreal beyond : shown.overflow)
                QVERIFY2(beyond <= 0.5, qPrintable(describe(shown)));
            QVERIFY2(shown.textHeight <= shown.labelHeight + 0.5, qPrintable(describe(shown)));

            // A line wraps only when the screen's width cannot hold it; then the box has
            // grown as wide as the screen lets it.
            const QStringList lines = text.split(LF);
            QCOMPARE(shown.linesPerTextLine.size(), lines.size());
            const QFontMetrics metrics(QApplication::font());
            const int around = shown.box.width() - shown.label.width();
            bool wrapped = false;
            for (int i = 0; i < lines.size(); ++i) {
                const int needs = metrics.horizontalAdvance(lines.at(i)) + around;
                if (needs <= shown.screen.width() - tolerance)
                    QVERIFY2(shown.linesPerTextLine.at(i) == 1,
                             qPrintable(QStringLiteral("line %1 wrapped: ").arg(i + 1) +
                                        describe(shown)));
                wrapped = wrapped || shown.linesPerTextLine.at(i) > 1;
            }
            if (wrapped)
                QVERIFY2(shown.box.width() >= shown.screen.width() - tolerance,
                         qPrintable(describe(shown)));

            // Centred over its owner, or the screen, as far as the screen allows.
            const QPoint centre = owned ? owner.center() : shown.screen.center();
            const QRect fits = shown.screen.marginsRemoved(
                QMargins(shown.box.width() / 2, shown.box.height() / 2, shown.box.width() / 2,
                         shown.box.height() / 2));
            const QPoint wanted(qBound(fits.left(), centre.x(), qMax(fits.left(), fits.right())),
                                qBound(fits.top(), centre.y(), qMax(fits.top(), fits.bottom())));
            QVERIFY2(
                (shown.box.center() - wanted).manhattanLength() <= 2,
                qPrintable(
                    describe(shown) +
                    QStringLiteral(", centre wanted at %1,%2").arg(wanted.x()).arg(wanted.y())));
        }
    }

    // A box at rest does nothing: once it is laid out and placed, no paint and no layout
    // pass for as long as it waits, whatever its text.
    void atRestDoesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("owned");
        QTest::newRow("a short line") << QStringLiteral("Ερώτηση;") << true;
        QTest::newRow("path wider than the screen")
            << QStringLiteral("Σφάλμα: 3044") + LF + QStringLiteral("the database file ") +
                   pathWiderThanTheScreen() + QStringLiteral(" does not exist")
            << false;
        QTest::newRow("words wider than the screen, owned")
            << QStringLiteral("Σφάλμα: 7") + LF + wordsWiderThanTheScreen() << true;
    }
    void atRestDoesNothing()
    {
        QFETCH(QString, text);
        QFETCH(bool, owned);
        if (owned)
            QVERIFY(showOwner());
        RealWindows windows;
        QStringList work;
        windows.thenClosed([&](QWidget& box) {
            atRest(box);
            const WorkCounter counter(box);
            // A second of the box waiting for its answer.
            QEventLoop waiting;
            QTimer::singleShot(1000, &waiting, &QEventLoop::quit);
            waiting.exec();
            work = counter.work();
            RealWindows::pressKeys(box, {Qt::Key_Escape});
        });
        rt::MsgBox(text, rt::mb::YesNoCancel | rt::mb::Question);
        QVERIFY(windows.unanswered().isEmpty());
        QVERIFY(windows.leftOpen().isEmpty());
        QVERIFY2(work.isEmpty(),
                 qPrintable(QStringLiteral("at rest: ") + work.join(QStringLiteral("; "))));
    }

private:
    // A window for the box to belong to, off the screen's centre, so that a box centred
    // on the screen is caught.
    bool showOwner()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        m_owner = new QWidget;
        m_owner->setWindowTitle(QStringLiteral("Vantrel"));
        m_owner->setGeometry(screen.left() + screen.width() / 10,
                             screen.top() + screen.height() / 8, screen.width() / 2,
                             screen.height() / 2);
        m_owner->show();
        m_owner->activateWindow();
        return QTest::qWaitForWindowActive(m_owner);
    }

    static QString describe(const Shown& shown)
    {
        const auto rect = [](const QRect& r) {
            return QStringLiteral("%1,%2 %3x%4")
                .arg(r.x())
                .arg(r.y())
                .arg(r.width())
                .arg(r.height());
        };
        return QStringLiteral("box %1, label %2, screen %3, text %4 high in %5")
            .arg(rect(shown.box), rect(shown.label), rect(shown.screen))
            .arg(shown.textHeight)
            .arg(shown.labelHeight);
    }

    // The window manager's border is not known before a box is on the screen (and there
    // is none off a real display): a line this close to the screen's width may go
    // either way.
    static constexpr int tolerance = 24;

    QPointer<QWidget> m_owner;
    QString m_look;
};

QTEST_MAIN(tst_msgbox)
#include "tst_msgbox.moc"
