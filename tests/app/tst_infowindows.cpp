#include "app/Installation.h"
#include "app/frmAbout.h"
#include "app/frmDisclaimer.h"
#include "app/frmSplash.h"
#include "app/mdlSettings.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Shell.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/Seams.h"

#include <QDir>
#include <QFontMetrics>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

namespace {

void writeText(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void makeProgram(const QString& path) {
    writeText(path, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

const QString unavailable = QStringLiteral("System Information Is Unavailable At This Time");

} // namespace

class tst_infowindows : public QObject {
    Q_OBJECT

    testsupport::ProgramFolder* m_folder = nullptr;
    QList<rt::ShellLaunch> m_launches;

    QString file(const QString& name) const { return m_folder->file(name); }
    void hive(const QByteArray& text) { writeText(file(QStringLiteral("Vantrel.REG")), text); }

private slots:
    void init() {
        m_folder = new testsupport::ProgramFolder(false);
        writeText(file(installation::CopyrightFile), "© Δοκιμή.\r\n");
        writeText(file(installation::NoticeFile), "Πρώτη πρόταση. Δεύτερη πρόταση.\n");
        writeText(file(installation::TermsFile), "Όρος πρώτος.\r\n\r\nΌρος δεύτερος.\r\n");
        writeText(file(installation::ContactFile),
                  "WEB = www.example.org\r\nMAIL = info@example.org\r\n");
        m_launches.clear();
        rt::setShellHandler([this](const rt::ShellLaunch& launch) {
            m_launches.append(launch);
            return true;
        });
    }
    void cleanup() {
        rt::Forms::discardAll();
        rt::setShellHandler({});
        delete m_folder;
    }

    void splashTexts() {
        frmSplash& splash = rt::Forms::get<frmSplash>();
        QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version 1.05"));
        QCOMPARE(splash.lblProductName->text(), QStringLiteral("Vantrel"));
        QCOMPARE(splash.lblCopyRight->text(), QStringLiteral("© Δοκιμή."));
        QCOMPARE(splash.Label1->text(), QStringLiteral("SMS Client Application"));
        QVERIFY(splash.isVisible());
        QVERIFY(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(splash.testAttribute(Qt::WA_ShowWithoutActivating));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(splash.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(splash.geometry().center().y() - screen.center().y()) <= 1);
    }

    void splashClosesAfterThreeSeconds() {
        frmSplash& splash = rt::Forms::get<frmSplash>();
        QCOMPARE(splash.tmrSplash->interval(), 3000);
        QTest::qWait(2500);
        QVERIFY(rt::Forms::isLoaded(QStringLiteral("frmSplash")));
        QTRY_VERIFY_WITH_TIMEOUT(!rt::Forms::isLoaded(QStringLiteral("frmSplash")), 2000);
    }

    void splashClosesOnClickOrKey_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("key") << QStringLiteral("key");
        QTest::newRow("click on the window") << QStringLiteral("window");
        QTest::newRow("click on the picture") << QStringLiteral("picture");
        QTest::newRow("click on a label") << QStringLiteral("label");
    }
    void splashClosesOnClickOrKey() {
        QFETCH(QString, how);
        frmSplash& splash = rt::Forms::get<frmSplash>();
        if (how == QLatin1String("key")) {
            splash.setFocus();
            QTest::keyClick(&splash, Qt::Key_A);
        } else if (how == QLatin1String("window")) {
            QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(3, 3));
        } else if (how == QLatin1String("picture")) {
            QTest::mouseClick(splash.Picture1, Qt::LeftButton);
        } else {
            QTest::mouseClick(splash.lblProductName, Qt::LeftButton);
        }
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmSplash")));
    }

    // A dialog or box that waits for the user shows above the splash, which stays where
    // it is and goes back on top once nothing waits any more; a window that does not
    // wait leaves it on top.
    void splashStepsBackForAWindowThatWaits_data() {
        QTest::addColumn<int>("modality");
        QTest::addColumn<bool>("messageBox");
        QTest::newRow("modal form") << int(Qt::ApplicationModal) << false;
        QTest::newRow("message box") << int(Qt::ApplicationModal) << true;
        QTest::newRow("window-modal dialog") << int(Qt::WindowModal) << false;
        QTest::newRow("modeless window") << int(Qt::NonModal) << false;
    }
    void splashStepsBackForAWindowThatWaits() {
        QFETCH(int, modality);
        QFETCH(bool, messageBox);
        frmSplash& splash = rt::Forms::get<frmSplash>();
        splash.tmrSplash->stop();
        const auto onTop = [&splash] {
            return splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
                   splash.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
        };
        QVERIFY(onTop());

        QWidget owner;
        owner.show();
        std::unique_ptr<QWidget> waiting;
        if (messageBox)
            waiting = std::make_unique<QMessageBox>(QMessageBox::Question, QStringLiteral("Vantrel"),
                                                    QStringLiteral("Ερώτηση;"));
        else
            waiting = std::make_unique<QWidget>(&owner, Qt::Dialog);
        waiting->setWindowModality(Qt::WindowModality(modality));
        waiting->show();
        const bool waits = modality != Qt::NonModal;
        QCOMPARE(onTop(), !waits);
        QVERIFY(splash.isVisible());

        waiting->hide();
        QTRY_VERIFY(onTop());
        QVERIFY(splash.isVisible());
    }

    void termsTexts() {
        frmDisclaimer& terms = rt::Forms::get<frmDisclaimer>();
        QCOMPARE(terms.windowTitle(), QStringLiteral("Όροι Χρήσης Υπηρεσιών SMS της Nerq"));
        QCOMPARE(terms.Label1->text(), QStringLiteral("Όροι Χρήσης"));
        QCOMPARE(terms.cmdAgree->text(), QStringLiteral("Συμφωνώ"));
        QCOMPARE(terms.cmdDisagree->text(), QStringLiteral("Διαφωνώ"));
        QCOMPARE(terms.txtTerms->Text(), QStringLiteral("Όρος πρώτος.\n\nΌρος δεύτερος."));
        QVERIFY(terms.txtTerms->Locked());
    }

    void termsLeaveOnlyByTheirButtons() {
        mdlSettings::ShowDisclaimer = 1;
        testsupport::ModalScript modal;
        modal.then([](rt::Form& form) {
            auto& terms = static_cast<frmDisclaimer&>(form);
            QVERIFY(!terms.close());
            QVERIFY(!rt::Forms::unload(&terms));
            QVERIFY(rt::Forms::isLoaded(QStringLiteral("frmDisclaimer")));
            terms.cmdAgree->click();
        });
        rt::Forms::showModal(rt::Forms::get<frmDisclaimer>());
        QCOMPARE(modal.shownNames(), QStringList{QStringLiteral("frmDisclaimer")});
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmDisclaimer")));
        QCOMPARE(mdlSettings::ShowDisclaimer, quint8(0));
    }

    void disagreeEndsTheProgram() {
        mdlSettings::ShowDisclaimer = 1;
        testsupport::EndCatcher end;
        frmDisclaimer& terms = rt::Forms::get<frmDisclaimer>();
        QVERIFY_THROWS_EXCEPTION(rt::ProgramEnded, terms.cmdDisagree_Click());
        QCOMPARE(end.count(), 1);
        QCOMPARE(mdlSettings::ShowDisclaimer, quint8(1));
    }

    void aboutTexts() {
        frmAbout& about = rt::Forms::get<frmAbout>();
        QCOMPARE(about.windowTitle(), QStringLiteral("Πληροφορίες για το Vantrel"));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Έκδοση1.05"));
        QCOMPARE(about.lblDescription->text(),
                 QStringLiteral("Εφαρμογή διαχείρισης και μαζικής προώθησης μηνυμάτων κινητής "
                                "τηλεφωνίας."));
        QCOMPARE(about.lblDisclaimer->text(), QStringLiteral("Πρώτη πρόταση. Δεύτερη πρόταση."));
        QCOMPARE(about.lblCopyRight->text(), QStringLiteral("© Δοκιμή."));
        QCOMPARE(about.hprNerqPage->text(), QStringLiteral("www.example.org"));
        QCOMPARE(about.hprNerqMail->text(), QStringLiteral("info@example.org"));
        QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        // Without a font that holds Greek the labels would show boxes, silently.
        for (const QChar c : about.lblDescription->text())
            QVERIFY(QFontMetrics(about.lblDescription->font()).inFont(c));
        about.cmdOK->click();
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmAbout")));
    }

    void aboutLinksGoToTheShell() {
        frmAbout& about = rt::Forms::get<frmAbout>();
        QTest::mouseClick(about.hprNerqPage, Qt::LeftButton);
        QTest::mouseClick(about.hprNerqMail, Qt::LeftButton);
        QCOMPARE(m_launches.size(), 2);
        QCOMPARE(m_launches.at(0).document, QStringLiteral("http://www.example.org"));
        QCOMPARE(m_launches.at(1).document, QStringLiteral("mailto:info@example.org"));
    }

    void keyValues_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        QTest::newRow("string") << QStringLiteral("Path") << true
                                << QStringLiteral("/opt/Πρόγραμμα/run");
        QTest::newRow("empty string") << QStringLiteral("Empty") << true << QString();
        // A zero last byte is dropped before the digits are read, as for a string.
        QTest::newRow("double-word 42")
            << QStringLiteral("Small") << true << QStringLiteral("&h002A");
        QTest::newRow("double-word full")
            << QStringLiteral("Full") << true << QStringLiteral("&h12345678");
        QTest::newRow("bytes without leading zeros")
            << QStringLiteral("Mixed") << true << QStringLiteral("&h10A0");
        QTest::newRow("missing value") << QStringLiteral("Other") << false << QString();
    }
    void keyValues() {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QString, value);
        hive("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n"
             "\"Path\"=\"/opt/Πρόγραμμα/run\"\n\"Empty\"=\"\"\n"
             "\"Small\"=dword:0000002a\n\"Full\"=dword:12345678\n\"Mixed\"=dword:01000a00\n");
        QString got = QStringLiteral("before");
        QCOMPARE(frmAbout::GetKeyValue(rt::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Test"),
                                       name, got),
                 found);
        QCOMPARE(got, value);
    }

    void missingKeyGivesNothing() {
        QString got = QStringLiteral("before");
        QVERIFY(!frmAbout::GetKeyValue(rt::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\None"),
                                       QStringLiteral("PATH"), got));
        QVERIFY(got.isEmpty());
    }

    void systemInformation_data() {
        QTest::addColumn<QByteArray>("hiveText");
        QTest::addColumn<QString>("started"); // a file name in the folder, or none
        const QByteArray tool = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                                "\"PATH\"=\"@/sysinfo\"\n";
        const QByteArray location =
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n"
            "\"MSINFO\"=\"@\"\n";
        QTest::newRow("named program") << tool << QStringLiteral("sysinfo");
        QTest::newRow("program in the named folder") << location << QStringLiteral("msinfo32.exe");
        QTest::newRow("named program missing")
            << QByteArray(tool).replace("sysinfo", "gone") << QString();
        QTest::newRow("folder without the program")
            << QByteArray(location).replace("\"@\"", "\"@/empty\"") << QString();
        QTest::newRow("nothing recorded") << QByteArray() << QString();
    }
    void systemInformation() {
        QFETCH(QByteArray, hiveText);
        QFETCH(QString, started);
        testsupport::ScriptedMessageBoxes boxes;
        makeProgram(file(QStringLiteral("sysinfo")));
        makeProgram(file(QStringLiteral("msinfo32.exe")));
        QDir(m_folder->path()).mkdir(QStringLiteral("empty"));
        hive(hiveText.replace('@', QFile::encodeName(m_folder->path())));
        rt::Forms::get<frmAbout>().cmdSysInfo->click();
        if (started.isEmpty()) {
            QVERIFY(m_launches.isEmpty());
            QCOMPARE(boxes.shown().size(), 1);
            QCOMPARE(boxes.shown().first().text, unavailable);
            QCOMPARE(boxes.shown().first().style, 0);
            QCOMPARE(boxes.shown().first().title, QStringLiteral("Vantrel"));
        } else {
            QVERIFY(boxes.shown().isEmpty());
            QCOMPARE(m_launches.size(), 1);
            QCOMPARE(m_launches.first().program, file(started));
        }
    }
};

QTEST_MAIN(tst_infowindows)
#include "tst_infowindows.moc"
