#include "app/OriginatorControl.h"
#include "app/PasswordField.h"
#include "app/frmConfiguration.h"
#include "app/mdlDialogs.h"
#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/Err.h"
#include "platform/TextBox.h"
#include "tests/support/Account.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Typed keys: characters as they stand; "\b" Backspace, "\r" Enter, "^V", "^X", "^C"
// the clipboard shortcuts, "<H" Shift+Home (select to the start).
void typeKeys(QWidget* w, const QStringList& keys) {
    for (const QString& k : keys) {
        if (k == QLatin1String("\b"))
            QTest::keyClick(w, Qt::Key_Backspace);
        else if (k == QLatin1String("\r"))
            QTest::keyClick(w, Qt::Key_Return);
        else if (k == QLatin1String("^V"))
            QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        else if (k == QLatin1String("^X"))
            QTest::keyClick(w, Qt::Key_X, Qt::ControlModifier);
        else if (k == QLatin1String("^C"))
            QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
        else if (k == QLatin1String("<H"))
            QTest::keyClick(w, Qt::Key_Home, Qt::ShiftModifier);
        else
            for (const QChar c : k)
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

rt::TextBox* innerOf(OriginatorControl& control) {
    return control.findChild<rt::TextBox*>(QStringLiteral("txtOrig"));
}

rt::TextBox* innerOf(PasswordField& field) {
    return field.findChild<rt::TextBox*>(QStringLiteral("txtMask"));
}

void setSettings() {
    testsupport::Account{.originator = QStringLiteral("VANTREL"),
                         .host = QStringLiteral("sms.example.org"),
                         .port = 8080,
                         .user = QStringLiteral("χρήστης"),
                         .password = QStringLiteral("κωδικός"),
                         .credits = 120,
                         .security = 1,
                         .startup = 1}
        .apply();
}

} // namespace

class tst_configuration : public QObject {
    Q_OBJECT

    QTemporaryDir* m_folder = nullptr;

private slots:
    void init() {
        m_folder = new QTemporaryDir;
        rt::App::setPath(m_folder->path());
        setSettings();
    }
    void cleanup() {
        rt::Forms::discardAll();
        rt::setUntrappedErrorReporter({});
        delete m_folder;
    }

    void originatorKeys_data() {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLength");
        QTest::newRow("capitals") << QStringList{QStringLiteral("VANTREL")}
                                  << QStringLiteral("VANTREL") << 11;
        QTest::newRow("hyphen dropped")
            << QStringList{QStringLiteral("ab-c")} << QStringLiteral("abc") << 11;
        QTest::newRow("Greek dropped") << QStringList{QStringLiteral("Αβγ")} << QString() << 16;
        QTest::newRow("comma and quote dropped")
            << QStringList{QStringLiteral("a,b\"c")} << QStringLiteral("abc") << 11;
        QTest::newRow("euro dropped")
            << QStringList{QStringLiteral("1€2")} << QStringLiteral("12") << 16;
        QTest::newRow("plus and digits")
            << QStringList{QStringLiteral("+3069")} << QStringLiteral("+3069") << 11;
        QTest::newRow("every symbol")
            << QStringList{QStringLiteral("@£$¥!#¤%&\\'"), QStringLiteral("()*+./:;<=>?§ ")}
            << QStringLiteral("@£$¥!#¤%&\\'") << 11;
        QTest::newRow("16 digits") << QStringList{QStringLiteral("12345678901234567")}
                                   << QStringLiteral("1234567890123456") << 16;
        QTest::newRow("letter after 12 digits")
            << QStringList{QStringLiteral("123456789012A")} << QStringLiteral("12345678901") << 11;
        QTest::newRow("11 characters at most")
            << QStringList{QStringLiteral("ABCDEFGHIJKL")} << QStringLiteral("ABCDEFGHIJK") << 11;
        QTest::newRow("Backspace passes")
            << QStringList{QStringLiteral("abc"), QStringLiteral("\b")} << QStringLiteral("ab")
            << 11;
        QTest::newRow("back to digits") << QStringList{QStringLiteral("12a"), QStringLiteral("\b")}
                                        << QStringLiteral("12") << 16;
        QTest::newRow("Enter dropped") << QStringList{QStringLiteral("ab"), QStringLiteral("\r")}
                                       << QStringLiteral("ab") << 11;
        QTest::newRow("paste shortcut dropped")
            << QStringList{QStringLiteral("ab"), QStringLiteral("^V")} << QStringLiteral("ab")
            << 11;
        QTest::newRow("cut shortcut dropped")
            << QStringList{QStringLiteral("ab"), QStringLiteral("<H"), QStringLiteral("^X")}
            << QStringLiteral("ab") << 11;
    }
    void originatorKeys() {
        QFETCH(QStringList, keys);
        QFETCH(QString, text);
        QFETCH(int, maxLength);
        QApplication::clipboard()->setText(QStringLiteral("PASTED"));
        OriginatorControl control;
        typeKeys(innerOf(control), keys);
        QCOMPARE(control.Text(), text);
        QCOMPARE(innerOf(control)->MaxLength(), maxLength);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("PASTED"));
    }

    void copyShortcutDropped() {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        OriginatorControl control;
        typeKeys(innerOf(control),
                 {QStringLiteral("ABC"), QStringLiteral("<H"), QStringLiteral("^C")});
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
    }

    void cutRaisesChangeTwice() {
        OriginatorControl control;
        QSignalSpy changes(&control, &OriginatorControl::Change);
        typeKeys(innerOf(control), {QStringLiteral("123456789012")});
        QCOMPARE(changes.count(), 12);
        changes.clear();
        typeKeys(innerOf(control), {QStringLiteral("X")});
        QCOMPARE(changes.count(), 2);
        QCOMPARE(control.Text(), QStringLiteral("12345678901"));
    }

    void textFromCodeFollowsTheRules() {
        OriginatorControl control;
        QSignalSpy changes(&control, &OriginatorControl::Change);
        QSignalSpy marked(&control, &OriginatorControl::PropertyChanged);
        control.setText(QStringLiteral("ABCDEFGHIJKLMN"));
        QCOMPARE(control.Text(), QStringLiteral("ABCDEFGHIJK"));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(marked.count(), 1);
        control.setText(QStringLiteral("306912345678"));
        QCOMPARE(innerOf(control)->MaxLength(), 16);
    }

    void dialogTexts() {
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        QCOMPARE(form.windowTitle(), QStringLiteral("Παράμετροι Προγράμματος"));
        QCOMPARE(form.lblComments->text(),
                 QStringLiteral("Πληκτρολογίστε τα στοιχεία που χρειάζονται για την "
                                "επικοινωνία του προγράμματος με τον διακομιστή μηνυμάτων.\n"
                                "Για περισσότερες πληροφορίες επισκευτείτε τη σελίδα της Nerq."));
        QCOMPARE(form.SSTab->count(), 3);
        QCOMPARE(form.SSTab->tabText(0), QStringLiteral("Στοιχεία Αποστολέα"));
        QCOMPARE(form.SSTab->tabText(1), QStringLiteral("Σύνδεση"));
        QCOMPARE(form.SSTab->tabText(2), QStringLiteral("Ασφάλεια"));
        QCOMPARE(form.cmdOK->text(), QStringLiteral("ΟΚ"));
        QCOMPARE(form.cmdCancel->text(), QStringLiteral("Ακύρωση"));
        QCOMPARE(form.cmdAply->text(), QStringLiteral("Εφαρμογή"));
        QStringList labels;
        for (const QLabel* l : form.findChildren<QLabel*>())
            labels << l->text();
        QVERIFY(labels.contains(QStringLiteral("Διεύθυνση Διακομιστή     http://")));
        QVERIFY(labels.contains(QStringLiteral(
            "Αν το όνομα είναι αλφαριθμητικό (δηλαδή περιέχει αριθμούς και γράμματα) το μήκος "
            "του θα πρέπει να είναι μέχρι 11 χαρακτήρες.")));
        // Every named control is there for the program and its tests to find.
        for (const char* name :
             {"txtOriginator", "txtUserName", "txtPassword", "txtServerURL", "txtServerPort",
              "chkEnableSecurity", "chkAskOnStartUp", "chkAskOnSend", "cmdOK", "cmdCancel",
              "cmdAply", "SSTab", "lblComments"})
            QVERIFY2(form.findChild<QWidget*>(QLatin1String(name)), name);
    }

    void loadFillsFields() {
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        QCOMPARE(form.txtOriginator->Text(), QStringLiteral("VANTREL"));
        QCOMPARE(form.txtServerURL->Text(), QStringLiteral("sms.example.org"));
        QCOMPARE(form.txtServerPort->Text(), QStringLiteral("8080"));
        QCOMPARE(form.txtUserName->Text(), QStringLiteral("χρήστης"));
        QCOMPARE(form.txtPassword->Text(), QStringLiteral("κωδικός"));
        QCOMPARE(innerOf(*form.txtPassword)->Text(), QStringLiteral("No no n"));
        QVERIFY(form.chkEnableSecurity->isChecked());
        QVERIFY(form.chkAskOnStartUp->isChecked());
        QVERIFY(!form.chkAskOnSend->isChecked());
        QVERIFY(form.chkAskOnStartUp->isEnabled());
    }

    void securityBoxEnablesTheOthers() {
        mdlSettings::EnableSecurity = 0;
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        QVERIFY(!form.chkAskOnStartUp->isEnabled());
        QVERIFY(!form.chkAskOnSend->isEnabled());
        QVERIFY(form.chkAskOnStartUp->isChecked());
        form.chkEnableSecurity->click();
        QVERIFY(form.chkAskOnStartUp->isEnabled());
        QVERIFY(form.chkAskOnSend->isEnabled());
        form.chkEnableSecurity->click();
        QVERIFY(!form.chkAskOnStartUp->isEnabled());
        QVERIFY(form.chkAskOnStartUp->isChecked());
    }

    void flagRules_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("security");
        QTest::addColumn<bool>("startUp");
        QTest::addColumn<bool>("send");
        QTest::addColumn<int>("flags"); // security, start-up, send as three digits
        QTest::newRow("no password") << QString() << true << true << true << 0;
        QTest::newRow("security off") << QStringLiteral("pw") << false << true << true << 0;
        QTest::newRow("all on") << QStringLiteral("pw") << true << true << true << 111;
        QTest::newRow("start-up only") << QStringLiteral("pw") << true << true << false << 110;
        QTest::newRow("send only") << QStringLiteral("pw") << true << false << true << 101;
        QTest::newRow("security alone") << QStringLiteral("pw") << true << false << false << 100;
    }
    void flagRules() {
        QFETCH(QString, password);
        QFETCH(bool, security);
        QFETCH(bool, startUp);
        QFETCH(bool, send);
        QFETCH(int, flags);
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        form.txtPassword->setText(password);
        form.chkAskOnStartUp->setChecked(startUp);
        form.chkAskOnSend->setChecked(send);
        form.chkEnableSecurity->setChecked(security);
        form.cmdOK->click();
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmConfiguration")));

        mdlSettings::EnableSecurity = mdlSettings::AskOnStartUp = mdlSettings::AskOnSend = 9;
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(mdlSettings::EnableSecurity * 100 + mdlSettings::AskOnStartUp * 10 +
                     mdlSettings::AskOnSend,
                 flags);
        QCOMPARE(mdlSettings::Password, password);
    }

    void fieldsTakenAsTyped() {
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        form.txtServerURL->setText(QString());
        typeKeys(form.txtServerURL, {QStringLiteral(" host.example ")});
        form.txtServerPort->setText(QStringLiteral(" 80 "));
        form.txtUserName->setText(QStringLiteral("Ανδρέας "));
        form.txtOriginator->setText(QStringLiteral("NEW NAME"));
        form.cmdAply->click();
        QVERIFY(rt::Forms::isLoaded(QStringLiteral("frmConfiguration")));
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(mdlSettings::ServerURL, QStringLiteral(" host.example "));
        QCOMPARE(mdlSettings::ServerPort, quint16(80));
        QCOMPARE(mdlSettings::UserName, QStringLiteral("Ανδρέας "));
        QCOMPARE(mdlSettings::Originator, QStringLiteral("NEW NAME"));
        QCOMPARE(mdlSettings::AvailableSMS, 120);
    }

    void cancelKeepsWhatApplySaved() {
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        form.txtUserName->setText(QStringLiteral("applied"));
        form.cmdAply->click();
        form.txtUserName->setText(QStringLiteral("cancelled"));
        form.cmdCancel->click();
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmConfiguration")));
        QCOMPARE(mdlSettings::UserName, QStringLiteral("applied"));
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(mdlSettings::UserName, QStringLiteral("applied"));
    }

    // Every TCP port is taken, saved and shown again when the dialog opens next.
    void everyPortIsTaken_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("value");
        QTest::newRow("0") << QStringLiteral("0") << 0;
        QTest::newRow("32768") << QStringLiteral("32768") << 32768;
        QTest::newRow("highest") << QStringLiteral("65535") << 65535;
        QTest::newRow("with blanks") << QStringLiteral(" 40000 ") << 40000;
    }
    void everyPortIsTaken() {
        QFETCH(QString, port);
        QFETCH(int, value);
        testsupport::ScriptedMessageBoxes boxes;
        rt::setUntrappedErrorReporter(&mdlDialogs::ReportUntrappedError);
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        form.txtServerPort->setText(port);
        form.cmdOK->click();
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmConfiguration")));
        mdlSettings::ServerPort = 1;
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(int(mdlSettings::ServerPort), value);
        QCOMPARE(rt::Forms::get<frmConfiguration>().txtServerPort->Text(), QString::number(value));
    }

    void badPort_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("box");
        QTest::newRow("letters") << QStringLiteral("http")
                                 << QStringLiteral("Σφάλμα: 13\nType mismatch");
        QTest::newRow("empty") << QString() << QStringLiteral("Σφάλμα: 13\nType mismatch");
        QTest::newRow("too large")
            << QStringLiteral("70000") << QStringLiteral("Σφάλμα: 6\nOverflow");
        QTest::newRow("just past the ports")
            << QStringLiteral("65536") << QStringLiteral("Σφάλμα: 6\nOverflow");
        QTest::newRow("negative") << QStringLiteral("-1") << QStringLiteral("Σφάλμα: 6\nOverflow");
        QTest::newRow("fraction") << QStringLiteral("80.5")
                                  << QStringLiteral("Σφάλμα: 13\nType mismatch");
    }
    void badPort() {
        QFETCH(QString, port);
        QFETCH(QString, box);
        testsupport::ScriptedMessageBoxes boxes;
        rt::setUntrappedErrorReporter(&mdlDialogs::ReportUntrappedError);
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        form.txtOriginator->setText(QStringLiteral("OTHER"));
        form.txtServerURL->setText(QStringLiteral("other.example"));
        form.txtServerPort->setText(port);
        form.txtUserName->setText(QStringLiteral("other user"));
        form.cmdOK->click();

        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().text, box);
        // The fields before the port were taken over; nothing was written or closed.
        QCOMPARE(mdlSettings::Originator, QStringLiteral("OTHER"));
        QCOMPARE(mdlSettings::ServerURL, QStringLiteral("other.example"));
        QCOMPARE(mdlSettings::ServerPort, quint16(8080));
        QCOMPARE(mdlSettings::UserName, QStringLiteral("χρήστης"));
        QVERIFY(!QFile::exists(m_folder->filePath(mdlSettings::SettingsFileName)));
        QVERIFY(rt::Forms::isLoaded(QStringLiteral("frmConfiguration")));
    }

    void saveFailureStillCloses() {
        testsupport::ScriptedMessageBoxes boxes;
        QVERIFY(QDir(m_folder->path()).mkdir(mdlSettings::SettingsFileName));
        frmConfiguration& form = rt::Forms::get<frmConfiguration>();
        form.txtUserName->setText(QStringLiteral("kept in memory"));
        form.cmdOK->click();
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().first().text.startsWith(
            QStringLiteral("Παρουσιάστηκε κάποιο πρόβλημα κατά την αποθήκευση")));
        QCOMPARE(mdlSettings::UserName, QStringLiteral("kept in memory"));
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmConfiguration")));
    }
};

QTEST_MAIN(tst_configuration)
#include "tst_configuration.moc"
