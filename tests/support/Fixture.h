#pragma once

#include "tests/support/ControlLibrary.h"
#include "tests/support/FakeSmsService.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/Seams.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class frmMain;

namespace testsupport {

// What a test's init() asks the fixture for. By default: a program folder whose empty
// SMS.mdb is the open main database, scripted message boxes, and the code-0 box for
// errors that no handler traps.
struct FixtureParts {
    bool database = true;        // SMS.mdb made from the schema
    bool openDatabase = true;    // and opened as the main database
    bool controlLibrary = false; // the panel menu's library registered (ControlLibrary)
    bool boxes = true;           // ScriptedMessageBoxes
    bool modals = false;         // ModalScript
    bool fileDialogs = false;    // ScriptedFileDialogs
    bool errorReporter = true;   // untrapped errors reported as the program reports them
    bool service = false;        // the loopback SMS service, started (FakeSmsService)
};

// The set-up most window tests share. start() in init() (QVERIFY2 on its result with
// error()); stop() in cleanup() discards every form, stops the service, closes the main
// database and undoes the rest in the reverse order (the main database is closed also when the
// program opened it).
class Fixture {
public:
    Fixture() = default;
    ~Fixture() { stop(); }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    bool start(const FixtureParts& parts = {});
    void stop();
    QString error() const { return m_error; }

    ProgramFolder& folder() const { return *m_folder; }
    ControlLibrary& library() const { return *m_library; }
    ScriptedMessageBoxes& boxes() const { return *m_boxes; }
    ModalScript& modals() const { return *m_modals; }
    ScriptedFileDialogs& files() const { return *m_files; }
    FakeSmsService& service() const { return *m_service; }

private:
    bool fail(const QString& why);

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ControlLibrary> m_library;
    std::unique_ptr<ScriptedMessageBoxes> m_boxes;
    std::unique_ptr<ModalScript> m_modals;
    std::unique_ptr<ScriptedFileDialogs> m_files;
    std::unique_ptr<FakeSmsService> m_service;
    bool m_reporter = false;
    QString m_error;
};

// The program's main window (made on first use).
frmMain& mainWindow();

// Runs one statement on the main database; a failure fails the test.
void exec(const QString& sql, const QVariantList& values = {});

// One group row.
void addGroup(int id, const QString& name, int parent);

// One member row with every column the address book shows.
void addMember(const QVariant& id, const QVariant& last, const QVariant& first,
               const QVariant& occupation, const QVariant& phone, const QVariant& memberOf);

// Where a test keeps a picture for people to look at: the folder pictures/ beside the
// test program, in the build tree (made when missing).
QString picturePath(const QString& name);

// The id of the newest row of a message table (0 when it has none).
qint64 lastMessageId(const QString& table);

// Every row of a message table in msg_id order, each as column name -> value.
QList<QVariantMap> tableRows(const QString& table);

// The first column of every row a query on the main database gives, as text.
QStringList columnTexts(const QString& sql);

// The whole content of a file, or "<missing>" when it cannot be read.
QByteArray fileBytes(const QString& path);

} // namespace testsupport
