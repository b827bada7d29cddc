#include "BenchSupport.h"

#include "app/mdlDataBase.h"
#include "platform/App.h"
#include "platform/DatabaseCreation.h"
#include "platform/Transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>
#include <random>
#include <vector>

namespace bench {

QString syllableWord(std::mt19937& random, int parts)
{
    static const QStringList syllables{"Πα", "πα",  "δο", "Κω", "στα", "ντί", "νου",
                                       "Γε", "ωρ",  "γί", "ου", "Ά",   "λε",  "ξα",
                                       "ά",  "νδρ", "Ελ", "έ",  "νη",  "Μα"};
    QString w;
    for (int i = 0; i < parts; ++i)
        w += syllables[static_cast<int>(random() % syllables.size())];
    return w;
}

bool check(const rt::DbResult& result)
{
    if (!result.ok)
        std::fprintf(stderr, "database: %s\n", qPrintable(result.description));
    return result.ok;
}

namespace {

bool addGroups(rt::Database& db, AddressBookShape::Groups shape)
{
    if (shape == AddressBookShape::Groups::None)
        return true;
    int id = 0;
    for (int g = 0; g < kTopGroups; ++g) {
        const int top = ++id;
        if (!check(db.execute({QStringLiteral("INSERT INTO groups (group_id, group_name, "
                                              "subgroup_of) VALUES (?, ?, 0)"),
                               {top, QStringLiteral("Ομάδα %1").arg(top)}})))
            return false;
        int parent = top;
        for (int s = 0; s < kSubgroupsEach; ++s) {
            ++id;
            const bool deeper = shape == AddressBookShape::Groups::SomeDeeper && s % 3 == 2;
            const int under = deeper ? parent : top;
            if (!check(db.execute({QStringLiteral("INSERT INTO groups (group_id, group_name, "
                                                  "subgroup_of) VALUES (?, ?, ?)"),
                                   {id, QStringLiteral("Υποομάδα %1").arg(id), under}})))
                return false;
            parent = id;
        }
    }
    return true;
}

} // namespace

bool fillAddressBook(rt::Database& db, const AddressBookShape& shape)
{
    rt::Transaction tx(db);
    if (!check(tx.status()))
        return false;
    // The groups get the ids 1 to kGroups in the order they are made.
    if (!addGroups(db, shape.groups))
        return false;

    std::mt19937 random(1253);
    auto word = [&](int parts) { return syllableWord(random, parts); };
    for (int m = 1; m <= kMembers; ++m) {
        QVariant memberOf;
        const int groups = static_cast<int>(random() % 4); // 0 to 3 groups, 0 is Null
        if (groups > 0) {
            QString list = QStringLiteral("\\");
            for (int k = 0; k < groups; ++k)
                list += QString::number(1 + random() % kGroups) + QLatin1Char('\\');
            memberOf = list;
        }
        QVariantList values{m};
        if (shape.names == AddressBookShape::Names::Syllables) {
            // One statement each, in this order: the draws stay those of every run.
            values << word(4);
            values << word(2);
            values << word(3);
        } else {
            values << QStringLiteral("Επώνυμο %1").arg(random() % 100000) << QStringLiteral("Όνομα")
                   << QStringLiteral("Επάγγελμα");
        }
        values << QStringLiteral("69%1").arg(m, 8, 10, QLatin1Char('0')) << memberOf;
        if (!check(db.execute(
                {QStringLiteral("INSERT INTO members (member_id, LastName, FirstName, Occupation, "
                                "mobile_no, member_of) VALUES (?, ?, ?, ?, ?, ?)"),
                 values})))
            return false;
    }
    return check(tx.commit());
}

bool openAddressBook(const QTemporaryDir& folder, const AddressBookShape& shape, QString* path)
{
    rt::App::setPath(folder.path());
    const QString file = folder.filePath(QStringLiteral("SMS.mdb"));
    if (path)
        *path = file;
    QString error;
    if (!rt::createDatabaseFromSchema(file, QStringLiteral(VANTREL_SCHEMA_FILE), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    rt::Database& db = mdlDataBase::MainDatabase();
    return check(db.open(file)) && fillAddressBook(db, shape);
}

double timed(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    QCoreApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void report(const char* what, double ms)
{
    std::printf("%-58s %9.1f ms\n", what, ms);
}

} // namespace bench
