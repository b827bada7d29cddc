#pragma once

// What the benchmarks share: the generated address book of 50,000 members (or as many as
// the command line says; the same rows on every run: a fixed seed, fixed shapes), the
// main database it lives in, the plain read of a table as the floor for any load, the
// loopback service program, a virtual X server and a session bus of the benchmark's own,
// and the timing and printing of each step.
#include "platform/Database.h"
#include "platform/MsgBox.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <random>
#include <sys/types.h>

class QProcess;

namespace bench {

struct AddressBookShape {
    enum class Groups {
        None,       // no group rows; members still name group ids 1 to 500
        TwoLevels,  // 50 top-level groups with 9 subgroups each
        SomeDeeper, // the same, every third subgroup one level further down
    };
    enum class Names {
        Syllables, // Greek surnames, first names and occupations made of syllables
        Numbered,  // "Επώνυμο <n>", one first name and one occupation for all
    };
    Groups groups = Groups::TwoLevels;
    Names names = Names::Syllables;
};

// The number after the option on the command line ("--rounds 5"), at least least; the
// fallback when the option is not there.
int option(int argc, char* argv[], const char* name, int fallback, int least = 1);

// 50,000 members unless the command line holds "--members N"; read at the start of main.
void readMemberCount(int argc, char* argv[]);
int memberCount();

constexpr int kTopGroups = 50;
constexpr int kSubgroupsEach = 9; // 50 + 450 = 500 groups
constexpr int kGroups = kTopGroups * (1 + kSubgroupsEach);

// A made-up Greek word of that many syllables, one draw from random each.
QString syllableWord(std::mt19937& random, int parts);

// Prints a database failure; true when the result is a success.
bool check(const rt::DbResult& result);

// Fills the open database with the address book of that shape, in one transaction.
bool fillAddressBook(rt::Database& db, const AddressBookShape& shape);

// Makes an empty SMS.mdb in the folder (the program folder from then on) and opens it as
// the main database; the path of the file is returned through path.
bool openDatabase(const QTemporaryDir& folder, QString* path = nullptr);
// The same, filled with the address book of that shape.
bool openAddressBook(const QTemporaryDir& folder, const AddressBookShape& shape,
                     QString* path = nullptr);

// The rows of the query straight from SQLite into strings (C API, read-only): the floor
// for any load. The milliseconds it takes, -1 when the file cannot be read; the number of
// rows through rows.
double rawRead(const QString& path, const char* sql, int* rows);

// Registers the control library into the program folder's hive, as the installation
// does, so that the main window makes its panel menu; false (with the reason printed)
// when the build has no library to register.
bool registerControlLibrary(const QString& folder);

// Starts the loopback service program with its arguments (answers, options) and waits
// until it listens; its port, or 0 when it did not start.
quint16 startService(QProcess& service, const QString& program, const QStringList& arguments);

// A virtual X server of the benchmark's own (Xvfb, 1280 x 1024 x 24, no window manager),
// on a display it chooses itself and tells through a pipe; ended with the object.
class VirtualDisplay {
public:
    VirtualDisplay() = default;
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    ~VirtualDisplay();

    // The display's name (":N"), empty when the server did not start. A server that ends
    // with its last client suits a benchmark that is itself a client for its whole run.
    QByteArray start(bool endWithLastClient = true);
    // The server's processor time so far (user and system), in milliseconds.
    double cpuMs() const;

private:
    pid_t m_pid = -1;
};

// A session bus of the benchmark's own with the accessibility bus of a desktop session
// behind it, as a screen reader's user has: the bus daemon in a process group of its
// own, where the accessibility bus launcher, its bus and its registry start when first
// asked for; the whole group ends with the object.
class SessionBus {
public:
    SessionBus() = default;
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;
    ~SessionBus();

    // Starts the bus; it is this process's session bus from then on (so also that of
    // the programs it starts). The bus's address once the accessibility bus answers on
    // it; empty (with the reason printed) when either did not start.
    QByteArray start();

private:
    QTemporaryDir m_folder;
    pid_t m_pid = -1;
};

// The processor time (user and system) of a process so far, in milliseconds; 0 when it
// cannot be read.
double processCpuMs(pid_t pid);
// The same for this process.
double ownCpuMs();

// The milliseconds the work takes, with the event loop's turn that follows it:
// publishing to the views, layout and painting happen there, so they are counted.
double timed(const std::function<void()>& work);

// Message boxes are printed and answered (OK unless told otherwise) and errors no
// handler traps are printed (to stderr), so that nothing waits for a user and nothing
// goes unseen.
void printBoxesAndErrors(int answer = rt::mb::OK);

// One line of the benchmark's table.
void report(const char* what, double ms);

} // namespace bench
