#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/Cp1253.h"
#include "tests/support/Account.h"
#include "tests/support/Seams.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <csignal>
#include <sys/resource.h>

namespace {

const QString missingFileBox = QStringLiteral("Το αρχείο ρυθμίσεων του προγράμματος δεν βρέθηκε..");
const QString foreignFile =
    QStringLiteral("Ο Τύπος του αρχείου ρυθμίσεων του προγράμματος δεν είναι σωστός.");
const QString unreadableFile =
    QStringLiteral("Παρουσιάστηκε κάποιο σφάλμα κατά την ανάγνωση των ρυθμίσεων");
const QString notSaved =
    QStringLiteral("Παρουσιάστηκε κάποιο πρόβλημα κατά την αποθήκευση των ρυθμίσεων του");

QString firstLine(const testsupport::ShownBox& box) {
    return box.text.section(QLatin1Char('\n'), 0, 0);
}

QByteArray lengthField(qint32 length) {
    char bytes[4];
    qToLittleEndian<qint32>(length, bytes);
    return QByteArray(bytes, 4);
}

QByteArray record(const QString& value) {
    const QByteArray stored = mdlSettings::EncodeValue(value);
    return lengthField(static_cast<qint32>(stored.size())) + stored;
}

// A settings file as the program writes it, from the values' text forms.
QByteArray settingsFile(const QStringList& values) {
    QByteArray bytes = record(mdlSettings::SettingsHeader);
    for (const QString& value : values)
        bytes += record(value);
    return bytes;
}

const QStringList goodValues = {QStringLiteral("SENDER"), QStringLiteral("sms.example.org"),
                                QStringLiteral("8080"),   QStringLiteral("user"),
                                QStringLiteral("pass"),   QStringLiteral("-1"),
                                QStringLiteral("1"),      QStringLiteral("0"),
                                QStringLiteral("1")};

QStringList withValue(int index, const QString& value) {
    QStringList values = goodValues;
    values[index] = value;
    return values;
}

void setSample() {
    testsupport::Account{.originator = QStringLiteral("ΑΠΟΣΤΟΛΕΑΣ 1"),
                         .host = QStringLiteral("sms.example.org"),
                         .port = 65535,
                         .user = QStringLiteral("Χρήστης"),
                         .password = QStringLiteral("κωδικός ΆΈΉ ΐΰ;€"),
                         .credits = -2147483647 - 1,
                         .security = 1,
                         .send = 255}
        .apply();
}

void clearValues() {
    const QString old = QStringLiteral("old");
    testsupport::Account{.originator = old, .host = old, .port = 1, .user = old, .password = old,
                         .credits = 1, .security = 7, .startup = 7, .send = 7}
        .apply();
}

// Lowers the largest file this process may write, for one scope. It binds root as well,
// so a full disk can be made without a real one; SIGXFSZ is ignored so that the write
// fails instead of killing the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class tst_settings : public QObject {
    Q_OBJECT

    QTemporaryDir* m_folder = nullptr;
    testsupport::ScriptedMessageBoxes* m_boxes = nullptr;

    QString path(const QString& name) const { return m_folder->filePath(name); }
    QString settingsPath() const { return path(mdlSettings::SettingsFileName); }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QByteArray readFile(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() {
        m_folder = new QTemporaryDir;
        QVERIFY(m_folder->isValid());
        rt::App::setPath(m_folder->path());
        m_boxes = new testsupport::ScriptedMessageBoxes;
    }
    void cleanup() {
        delete m_boxes;
        delete m_folder;
    }

    void everyValueReadsBack() {
        setSample();
        QVERIFY(mdlSettings::SaveSettings());
        QVERIFY(m_boxes->shown().isEmpty());
        clearValues();
        QVERIFY(mdlSettings::LoadSettings());
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(mdlSettings::Originator, QStringLiteral("ΑΠΟΣΤΟΛΕΑΣ 1"));
        QCOMPARE(mdlSettings::ServerURL, QStringLiteral("sms.example.org"));
        QCOMPARE(mdlSettings::ServerPort, quint16(65535));
        QCOMPARE(mdlSettings::UserName, QStringLiteral("Χρήστης"));
        QCOMPARE(mdlSettings::Password, QStringLiteral("κωδικός ΆΈΉ ΐΰ;€"));
        QCOMPARE(mdlSettings::AvailableSMS, qint32(-2147483647 - 1));
        QCOMPARE(mdlSettings::EnableSecurity, quint8(1));
        QCOMPARE(mdlSettings::AskOnStartUp, quint8(0));
        QCOMPARE(mdlSettings::AskOnSend, quint8(255));
    }

    void fileLayout() {
        mdlSettings::Originator.clear();
        mdlSettings::ServerURL = QStringLiteral("host");
        mdlSettings::ServerPort = 80;
        mdlSettings::UserName.clear();
        mdlSettings::Password.clear();
        mdlSettings::AvailableSMS = -1;
        mdlSettings::EnableSecurity = 0;
        mdlSettings::AskOnStartUp = 0;
        mdlSettings::AskOnSend = 0;
        QVERIFY(mdlSettings::SaveSettings());
        const QByteArray expected = settingsFile(
            {QString(), QStringLiteral("host"), QStringLiteral("80"), QString(), QString(),
             QStringLiteral("-1"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")});
        const QByteArray bytes = readFile(mdlSettings::SettingsFileName);
        QCOMPARE(bytes, expected);
        QCOMPARE(bytes.left(4), lengthField(27));
        // The empty originator is a record of length 0 straight after the header.
        QCOMPARE(bytes.mid(31, 4), lengthField(0));
    }

    void loadFailures_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("box");

        const QByteArray good = settingsFile(goodValues);
        QTest::newRow("zero bytes") << QByteArray() << foreignFile;
        QTest::newRow("other header")
            << record(QStringLiteral("Application Setting")) + good.mid(31) << foreignFile;
        QTest::newRow("plain header")
            << lengthField(20) + QByteArray("Application Settings") << foreignFile;
        QTest::newRow("header cut short") << good.left(12) << foreignFile;
        QTest::newRow("length field cut short") << good.left(2) << foreignFile;
        QTest::newRow("header length huge") << lengthField(0x7FFFFFFF) + good.mid(4) << foreignFile;
        QTest::newRow("header length negative") << lengthField(-5) + good.mid(4) << foreignFile;

        QTest::newRow("ends after five records")
            << settingsFile(goodValues.mid(0, 4)) << unreadableFile;
        QTest::newRow("ends inside a record") << good.left(good.size() - 1) << unreadableFile;
        QByteArray hugeLength = settingsFile(goodValues.mid(0, 2));
        hugeLength += lengthField(0x7FFFFFF0) + QByteArray("Rkk");
        QTest::newRow("huge length") << hugeLength << unreadableFile;
        QByteArray negative = settingsFile(goodValues.mid(0, 1));
        negative += lengthField(-1) + good.right(40);
        QTest::newRow("negative length") << negative << unreadableFile;
        QTest::newRow("port too large")
            << settingsFile(withValue(2, QStringLiteral("65536"))) << unreadableFile;
        QTest::newRow("port beyond a Long")
            << settingsFile(withValue(2, QStringLiteral("99999999999"))) << unreadableFile;
        QTest::newRow("port negative")
            << settingsFile(withValue(2, QStringLiteral("-1"))) << unreadableFile;
        QTest::newRow("port text")
            << settingsFile(withValue(2, QStringLiteral("http"))) << unreadableFile;
        QTest::newRow("port empty") << settingsFile(withValue(2, QString())) << unreadableFile;
        QTest::newRow("credits too large")
            << settingsFile(withValue(5, QStringLiteral("2147483648"))) << unreadableFile;
        QTest::newRow("flag 256") << settingsFile(withValue(6, QStringLiteral("256")))
                                  << unreadableFile;
        QTest::newRow("flag negative")
            << settingsFile(withValue(8, QStringLiteral("-1"))) << unreadableFile;
    }
    void loadFailures() {
        QFETCH(QByteArray, file);
        QFETCH(QString, box);
        writeFile(mdlSettings::SettingsFileName, file);
        QVERIFY(!mdlSettings::LoadSettings());
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(firstLine(m_boxes->shown().first()), box);
    }

    // Every TCP port reads back, and a file of today's ports is written again byte for byte.
    void portsReadAndWriteBack_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("value");
        for (const int port : {0, 80, 8080, 32767, 32768, 40000, 65535})
            QTest::newRow(qPrintable(QString::number(port))) << QString::number(port) << port;
        QTest::newRow("blanks and sign") << QStringLiteral(" +443 ") << 443;
    }
    void portsReadAndWriteBack() {
        QFETCH(QString, port);
        QFETCH(int, value);
        const QByteArray file = settingsFile(withValue(2, port));
        writeFile(mdlSettings::SettingsFileName, file);
        clearValues();
        QVERIFY(mdlSettings::LoadSettings());
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(int(mdlSettings::ServerPort), value);
        QCOMPARE(mdlSettings::AskOnSend, quint8(1));
        QFile::remove(settingsPath());
        QVERIFY(mdlSettings::SaveSettings());
        const QByteArray written = readFile(mdlSettings::SettingsFileName);
        if (port == QString::number(value))
            QCOMPARE(written, file);
        else
            QCOMPARE(written, settingsFile(withValue(2, QString::number(value))));
    }

    void noSettingsFile() {
        QVERIFY(!mdlSettings::LoadSettings());
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(firstLine(m_boxes->shown().first()), missingFileBox);
    }

    void directoryInPlaceOfFile() {
        QVERIFY(QDir(m_folder->path()).mkdir(mdlSettings::SettingsFileName));
        QVERIFY(!mdlSettings::LoadSettings());
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(firstLine(m_boxes->shown().first()), missingFileBox);
    }

    void nameFoundWithoutRegardToCase() {
        writeFile(QStringLiteral("vantrel.set"), settingsFile(goodValues));
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(mdlSettings::ServerPort, quint16(8080));
    }

    void valuesBeforeFailureStay() {
        clearValues();
        writeFile(mdlSettings::SettingsFileName,
                  settingsFile(withValue(2, QStringLiteral("port"))));
        QVERIFY(!mdlSettings::LoadSettings());
        QCOMPARE(mdlSettings::Originator, QStringLiteral("SENDER"));
        QCOMPARE(mdlSettings::ServerURL, QStringLiteral("sms.example.org"));
        QCOMPARE(mdlSettings::UserName, QStringLiteral("old"));
    }

    void bytesAfterTenthRecordIgnored() {
        writeFile(mdlSettings::SettingsFileName,
                  settingsFile(goodValues) + QByteArray("\xFF\xFF\xFF\xFF junk", 9));
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(mdlSettings::AskOnSend, quint8(1));
    }

    void shorterPasswordKeepsOldTail() {
        setSample();
        mdlSettings::Password = QStringLiteral("a much longer password than the next");
        QVERIFY(mdlSettings::SaveSettings());
        const QByteArray before = readFile(mdlSettings::SettingsFileName);

        mdlSettings::Password = QStringLiteral("short");
        QVERIFY(mdlSettings::SaveSettings());
        const QByteArray after = readFile(mdlSettings::SettingsFileName);
        QCOMPARE(after.size(), before.size());

        QBuffer records;
        records.open(QIODevice::WriteOnly);
        for (const QVariant& value :
             {QVariant(mdlSettings::SettingsHeader), QVariant(mdlSettings::Originator),
              QVariant(mdlSettings::ServerURL), QVariant(mdlSettings::ServerPort),
              QVariant(mdlSettings::UserName), QVariant(mdlSettings::Password),
              QVariant(mdlSettings::AvailableSMS), QVariant(mdlSettings::EnableSecurity),
              QVariant(mdlSettings::AskOnStartUp), QVariant(mdlSettings::AskOnSend)})
            mdlSettings::WriteRecord(value, records);
        const qsizetype written = records.data().size();
        QVERIFY(written < before.size());
        QCOMPARE(after.left(written), records.data());
        QCOMPARE(after.mid(written), before.mid(written));

        clearValues();
        QVERIFY(mdlSettings::LoadSettings());
        QCOMPARE(mdlSettings::Password, QStringLiteral("short"));
        QCOMPARE(mdlSettings::AskOnSend, quint8(255));
    }

    void permissionsKept() {
        setSample();
        QVERIFY(mdlSettings::SaveSettings());
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(settingsPath(), mode));
        mdlSettings::Password = QStringLiteral("other");
        QVERIFY(mdlSettings::SaveSettings());
        // The owner's bits only: the bits for "this user" depend on who runs the test.
        QCOMPARE(QFile::permissions(settingsPath()) & 0xF0FF, mode);
    }

    // As root a read-only file can still be written, so the unwritable file is a
    // directory in its place: the save must fail and report it, not replace it.
    void unwritableFileFailsWithMinus4() {
        QVERIFY(QDir(m_folder->path()).mkdir(mdlSettings::SettingsFileName));
        setSample();
        QVERIFY(!mdlSettings::SaveSettings());
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(firstLine(m_boxes->shown().first()), notSaved);
        QVERIFY(QFileInfo(settingsPath()).isDir());
        QCOMPARE(mdlSettings::Password, QStringLiteral("κωδικός ΆΈΉ ΐΰ;€"));
        // The failure is logged with the runtime's own number and words.
        const QByteArray log = readFile(QStringLiteral("ERROR.LOG"));
        QVERIFY2(log.contains("\"Error: 75\",\"Descr: Path/File access error\""), log.constData());
    }

    void fullDiskLeavesOldFile() {
        setSample();
        QVERIFY(mdlSettings::SaveSettings());
        const QByteArray before = readFile(mdlSettings::SettingsFileName);
        mdlSettings::Originator = QStringLiteral("A LONGER ORIGINATOR");
        {
            const FileSizeLimit limit(16);
            QVERIFY(!mdlSettings::SaveSettings());
        }
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(firstLine(m_boxes->shown().first()), notSaved);
        QCOMPARE(readFile(mdlSettings::SettingsFileName), before);
        // Nothing half-written is left beside it (the log of the failure aside).
        QStringList left = QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral("ERROR.LOG"));
        QCOMPARE(left, QStringList{mdlSettings::SettingsFileName});
    }

    void lineParts_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("blanks") << QStringLiteral("  Disclaimer  =  1  ")
                                << QStringLiteral("Disclaimer") << QVariant(QStringLiteral("1"));
        QTest::newRow("first equals")
            << QStringLiteral("URL = http://a/?b=c") << QStringLiteral("URL")
            << QVariant(QStringLiteral("http://a/?b=c"));
        QTest::newRow("no key") << QStringLiteral("= x") << QString()
                                << QVariant(QStringLiteral("x"));
        QTest::newRow("no value") << QStringLiteral("key =") << QStringLiteral("key")
                                  << QVariant(QString());
        QTest::newRow("no equals") << QStringLiteral("just text") << QString() << QVariant(-32000);
        // Only blanks are trimmed, as the runtime's Trim did.
        QTest::newRow("tab stays") << QStringLiteral("\tkey = v\t") << QStringLiteral("\tkey")
                                   << QVariant(QStringLiteral("v\t"));
    }
    void lineParts() {
        QFETCH(QString, line);
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QCOMPARE(mdlSettings::LineKey(line), key);
        QCOMPARE(mdlSettings::LineValue(line), value);
    }

    void iniFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("disclaimer");
        QTest::addColumn<int>("windowState");
        QTest::newRow("as written")
            << QByteArray("Disclaimer = 0\r\nWindowState = 1\r\n") << 0 << 1;
        QTest::newRow("lower-case key") << QByteArray("disclaimer = 0\r\n") << 1 << 0;
        QTest::newRow("no blanks") << QByteArray("Disclaimer=0") << 0 << 0;
        QTest::newRow("256 stops reading")
            << QByteArray("Disclaimer = 256\r\nWindowState = 1\r\n") << 1 << 0;
        QTest::newRow("earlier values stay")
            << QByteArray("WindowState = 1\r\nDisclaimer = yes\r\nWindowState = 0\r\n") << 1 << 1;
        QTest::newRow("later line wins")
            << QByteArray("Disclaimer = 0\r\nDisclaimer = 2\r\n") << 2 << 0;
        QTest::newRow("other lines ignored")
            << QByteArray("[Vantrel]\r\nOther = x\r\n\r\nWindowState = 1\r\n") << 1 << 1;
        QTest::newRow("lone CR ends a line")
            << QByteArray("Disclaimer = 0\rWindowState = 1") << 0 << 1;
        QTest::newRow("empty value stops")
            << QByteArray("Disclaimer =\r\nWindowState = 1\r\n") << 1 << 0;
        QTest::newRow("empty file") << QByteArray() << 1 << 0;
    }
    void iniFile() {
        QFETCH(QByteArray, file);
        QFETCH(int, disclaimer);
        QFETCH(int, windowState);
        writeFile(mdlSettings::IniFileName, file);
        mdlSettings::ShowDisclaimer = 9;
        mdlSettings::MainWindowState = 9;
        mdlSettings::LoadIniSettings();
        QCOMPARE(int(mdlSettings::ShowDisclaimer), disclaimer);
        QCOMPARE(int(mdlSettings::MainWindowState), windowState);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void missingIniGivesDefaults() {
        mdlSettings::ShowDisclaimer = 0;
        mdlSettings::MainWindowState = 1;
        mdlSettings::LoadIniSettings();
        QCOMPARE(mdlSettings::ShowDisclaimer, quint8(1));
        QCOMPARE(mdlSettings::MainWindowState, quint8(0));
    }

    void iniWrittenAndReadBack() {
        writeFile(mdlSettings::IniFileName, QByteArray("a much longer earlier file\r\n"));
        mdlSettings::ShowDisclaimer = 0;
        mdlSettings::MainWindowState = 1;
        mdlSettings::SaveIniSettings();
        QCOMPARE(readFile(mdlSettings::IniFileName),
                 QByteArray("Disclaimer = 0\r\nWindowState = 1\r\n"));
        mdlSettings::LoadIniSettings();
        QCOMPARE(mdlSettings::ShowDisclaimer, quint8(0));
        QCOMPARE(mdlSettings::MainWindowState, quint8(1));
    }

    void iniWriteFailureIsSilent() {
        QVERIFY(QDir(m_folder->path()).mkdir(mdlSettings::IniFileName));
        mdlSettings::SaveIniSettings();
        QVERIFY(QFileInfo(path(mdlSettings::IniFileName)).isDir());
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void logoFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("tip");
        QTest::newRow("all three")
            << rt::cp1253::fromUnicode(
                   QStringLiteral("LOGO IMAGE = logo.bmp\r\nURL = http://example.org/?a=b\r\n"
                                  "TOOLTIP = Πατήστε εδώ\r\n"))
            << QStringLiteral("logo.bmp") << QStringLiteral("http://example.org/?a=b")
            << QStringLiteral("Πατήστε εδώ");
        QTest::newRow("lower-case key") << QByteArray("logo image =   pic.jpg  \r\n")
                                        << QStringLiteral("pic.jpg") << QString() << QString();
        QTest::newRow("other lines ignored") << QByteArray("just a line\r\nIMAGE = x\r\nUrl=u\r\n")
                                             << QString() << QStringLiteral("u") << QString();
    }
    void logoFile() {
        QFETCH(QByteArray, file);
        QFETCH(QString, image);
        QFETCH(QString, url);
        QFETCH(QString, tip);
        writeFile(mdlSettings::LogoFileName, file);
        mdlSettings::LoadLogoSettings();
        QCOMPARE(mdlSettings::LogoImage, image);
        QCOMPARE(mdlSettings::LogoURL, url);
        QCOMPARE(mdlSettings::LogoToolTip, tip);
    }

    void noLogoFileClearsValues() {
        mdlSettings::LogoImage = QStringLiteral("x");
        mdlSettings::LogoURL = QStringLiteral("x");
        mdlSettings::LogoToolTip = QStringLiteral("x");
        QVERIFY(QDir(m_folder->path()).mkdir(mdlSettings::LogoFileName));
        mdlSettings::LoadLogoSettings();
        QVERIFY(mdlSettings::LogoImage.isEmpty());
        QVERIFY(mdlSettings::LogoURL.isEmpty());
        QVERIFY(mdlSettings::LogoToolTip.isEmpty());
    }

    void noteInCurrentFolder() {
        QTemporaryDir current;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(current.path()));
        QFile old(current.filePath(mdlSettings::TestModeNoteName));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500, 'x'));
        old.close();
        mdlSettings::WriteTestModeNote();
        QDir::setCurrent(before);

        QFile note(current.filePath(mdlSettings::TestModeNoteName));
        QVERIFY(note.open(QIODevice::ReadOnly));
        QCOMPARE(
            note.readAll(),
            QByteArray("In order to enable the Test Mode of sending messages, you must "
                       "create\r\na file named TESTMODE.TST in the application's folder.\r\n"));
        QVERIFY(!QFile::exists(path(mdlSettings::TestModeNoteName)));
    }
};

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
