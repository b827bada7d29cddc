#include "addressbook/mdlGroups.h"
#include "platform/Clock.h"
#include "platform/ListView.h"
#include "platform/TreeView.h"

#include <QListWidget>
#include <QTest>

namespace {

const QDate kDay(2023, 3, 15); // day number 45000

// Pins the clock for one test and restores the system clock afterwards.
class PinnedClock {
public:
    explicit PinnedClock(const QTime& time) : m_clock(QDateTime(kDay, time))
    {
        rt::setClock(&m_clock);
    }
    ~PinnedClock() { rt::setClock(nullptr); }
    rt::TestClock& operator*() { return m_clock; }
    rt::TestClock* operator->() { return &m_clock; }

private:
    rt::TestClock m_clock;
};

QString timerPartOf(const QString& key)
{
    return key.mid(key.indexOf(QStringLiteral("45000")) + 5);
}

} // namespace

class tst_mdlgroups : public QObject {
    Q_OBJECT

private slots:
    void keyToId_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("id");
        QTest::newRow("root") << "GRP_0"
                              << "0";
        QTest::newRow("member") << "MEMBER_12"
                                << "12";
        QTest::newRow("two underscores") << "a_b_c"
                                         << "b_c";
        QTest::newRow("no underscore") << "45000372350"
                                       << "45000372350";
        QTest::newRow("temporary key") << "GRP_45000372350"
                                       << "45000372350";
        QTest::newRow("trailing underscore") << "MSG_"
                                             << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void keyToId()
    {
        QFETCH(QString, key);
        QFETCH(QString, id);
        QCOMPARE(mdlGroups::KeyToId(key), id);
    }

    // Every row uses its own time: a key is never handed out twice in a run.
    void newTempKey_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("key");
        QTest::newRow("one decimal is padded") << QTime(1, 2, 3, 500) << "GRP_"
                                               << "GRP_45000372350";
        QTest::newRow("two decimals stay") << QTime(1, 2, 3, 520) << "GRP_"
                                           << "GRP_45000372352";
        QTest::newRow("whole number stays") << QTime(1, 2, 3) << "MEMBER_"
                                            << "MEMBER_450003723";
        QTest::newRow("single character") << QTime(0, 0, 5) << "GRP_"
                                          << "GRP_4500050";
        QTest::newRow("single digit with decimal") << QTime(0, 0, 5, 500) << ""
                                                   << "45000550";
        QTest::newRow("at most two decimals") << QTime(13, 53, 20, 126) << "GRP_"
                                              << "GRP_450005000013";
        QTest::newRow("late in the day") << QTime(23, 59, 59, 990) << ""
                                         << "450008639999";
    }
    void newTempKey()
    {
        QFETCH(QTime, time);
        QFETCH(QString, prefix);
        QFETCH(QString, key);
        PinnedClock clock(time);
        QCOMPARE(mdlGroups::NewTempKey(prefix), key);
        // It returned only once the timer had moved on, by sleeping on the clock.
        QVERIFY(clock->now() > QDateTime(kDay, time));
        QVERIFY(clock->now() <= QDateTime(kDay, time).addMSecs(20));
    }

    void twoKeysInARowDiffer()
    {
        PinnedClock clock(QTime(10, 0, 0, 0));
        const QString first = mdlGroups::NewTempKey(QStringLiteral("GRP_"));
        const QString second = mdlGroups::NewTempKey(QStringLiteral("GRP_"));
        QVERIFY(first != second);
        QVERIFY(timerPartOf(first) != timerPartOf(second));
    }

    void aKeyIsNeverHandedOutTwice()
    {
        // 1.23 s and 123 s after midnight both print as "123".
        PinnedClock clock(QTime(0, 0, 1, 230));
        const QString first = mdlGroups::NewTempKey(QString());
        QCOMPARE(first, QStringLiteral("45000123"));
        clock->set(QDateTime(kDay, QTime(0, 2, 3)));
        const QString second = mdlGroups::NewTempKey(QString());
        QVERIFY(second != first);
        // The clock going back (a pinned test clock, a changed system time) cannot
        // repeat a key either.
        clock->set(QDateTime(kDay, QTime(0, 0, 1, 230)));
        const QString third = mdlGroups::NewTempKey(QString());
        QVERIFY(third != first && third != second);
    }

    void membership_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("has");
        QTest::addColumn<QString>("removed");
        QTest::newRow("1 is not 15") << "\\0\\15\\"
                                     << "1" << false << "\\0\\15\\";
        QTest::newRow("15 is there") << "\\0\\15\\"
                                     << "15" << true << "\\0\\";
        QTest::newRow("every occurrence") << "\\0\\5\\15\\5\\"
                                          << "5" << true << "\\0\\15\\";
        QTest::newRow("adjacent repeats") << "\\0\\5\\5\\"
                                          << "5" << true << "\\0\\";
        QTest::newRow("root") << "\\0\\7\\"
                              << "0" << true << "\\7\\";
        QTest::newRow("temporary id") << "\\0\\45000372350\\"
                                      << "45000372350" << true << "\\0\\";
    }
    void membership()
    {
        QFETCH(QString, list);
        QFETCH(QString, id);
        QFETCH(bool, has);
        QFETCH(QString, removed);
        QCOMPARE(mdlGroups::MembershipHas(list, id), has);
        QCOMPARE(mdlGroups::RemoveMembership(list, id), removed);
        QVERIFY(!mdlGroups::MembershipHas(mdlGroups::RemoveMembership(list, id), id));
    }

    void addingAGroup()
    {
        QString list = mdlGroups::WorkingMembership(QVariant());
        QCOMPARE(list, QStringLiteral("\\0\\"));
        list = mdlGroups::AddMembership(list, QStringLiteral("5"));
        list = mdlGroups::AddMembership(list, QStringLiteral("12"));
        QCOMPARE(list, QStringLiteral("\\0\\5\\12\\"));
        QVERIFY(mdlGroups::MembershipHas(list, QStringLiteral("12")));
        QVERIFY(!mdlGroups::MembershipHas(list, QStringLiteral("2")));
    }

    void storedAndWorkingForms_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("working");
        QTest::newRow("no groups") << QVariant() << "\\0\\";
        QTest::newRow("one group") << QVariant(QStringLiteral("\\5\\")) << "\\0\\5\\";
        QTest::newRow("two groups") << QVariant(QStringLiteral("\\5\\12\\")) << "\\0\\5\\12\\";
    }
    void storedAndWorkingForms()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, working);
        QCOMPARE(mdlGroups::WorkingMembership(stored), working);
        const QVariant back = mdlGroups::StoredMembership(working);
        QCOMPARE(back.isNull(), stored.isNull());
        QCOMPARE(back.toString(), stored.toString());
    }

    void anEmptyStoredListIsNoGroups()
    {
        // Not "\0": a group added to that would read "\05\".
        const QString working = mdlGroups::WorkingMembership(QString(QLatin1String("")));
        QCOMPARE(working, QStringLiteral("\\0\\"));
        QCOMPARE(mdlGroups::AddMembership(working, QStringLiteral("5")),
                 QStringLiteral("\\0\\5\\"));
    }

    void searchCriteriaClear()
    {
        mdlGroups::SearchLastName = QStringLiteral("ΠΑΠ");
        mdlGroups::SearchFirstName = QStringLiteral("Γ");
        mdlGroups::SearchPhone = QStringLiteral("69");
        mdlGroups::SearchOccupation = QStringLiteral("x");
        mdlGroups::ClearSearchCriteria();
        QVERIFY(mdlGroups::SearchLastName.isEmpty() && mdlGroups::SearchFirstName.isEmpty() &&
                mdlGroups::SearchPhone.isEmpty() && mdlGroups::SearchOccupation.isEmpty());
    }

    void viewLookups()
    {
        rt::TreeView tree;
        tree.Nodes().Add(QStringLiteral("GRP_0"), QStringLiteral("ΟΜΑΔΕΣ SMS"));
        QVERIFY(mdlGroups::NodeExists(tree, QStringLiteral("GRP_0")));
        QVERIFY(!mdlGroups::NodeExists(tree, QStringLiteral("GRP_5")));
        QVERIFY(!mdlGroups::NodeExists(tree, QString()));

        rt::ListView list;
        list.setMultiSelect(true);
        for (int i = 1; i <= 5; ++i)
            list.ListItems().Add(QStringLiteral("MEMBER_%1").arg(i), QString::number(i));
        QVERIFY(mdlGroups::ListItemExists(list, QStringLiteral("MEMBER_3")));
        QVERIFY(!mdlGroups::ListItemExists(list, QStringLiteral("MEMBER_6")));
        QCOMPARE(mdlGroups::SelectedItemCount(list), 0);
        list.ListItems()(2).setSelected(true);
        list.ListItems()(5).setSelected(true);
        QCOMPARE(mdlGroups::SelectedItemCount(list), 2);
    }

    void listBoxLookups()
    {
        QListWidget box;
        for (const char* number : {"6944", "6912", "2310"})
            box.addItem(QString::fromLatin1(number));
        box.item(1)->setData(Qt::UserRole, 42);
        QCOMPARE(mdlGroups::FindListItem(box, QStringLiteral("91"), false), 1);
        QCOMPARE(mdlGroups::FindListItem(box, QStringLiteral("91"), true), -1);
        QCOMPARE(mdlGroups::FindListItem(box, QStringLiteral("2310"), true), 2);
        QCOMPARE(mdlGroups::FindListItem(box, QStringLiteral("7"), false), -1);
        QCOMPARE(mdlGroups::FindItemData(box, 42), 1);
        QCOMPARE(mdlGroups::FindItemData(box, 7), -1);
        // Entries never given item data hold 0.
        QCOMPARE(mdlGroups::FindItemData(box, 0), 0);
    }

    void cleanNumberList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cleaned");
        QTest::addColumn<int>("entries");
        QTest::newRow("blanks and commas") << " ,69,,,69 "
                                           << "69,69" << 2;
        QTest::newRow("single comma") << ","
                                      << "" << 0;
        QTest::newRow("two blanks") << "  "
                                    << "" << 0;
        QTest::newRow("empty") << ""
                               << "" << 0;
        QTest::newRow("line breaks") << "6944\r\n6912\r\n\r\n"
                                     << "6944,6912" << 2;
        QTest::newRow("blank inside a number") << "69 44,6912"
                                               << "6944,6912" << 2;
        QTest::newRow("blank between CR and LF") << "6944\r \n6912"
                                                 << "6944,6912" << 2;
        QTest::newRow("long comma run") << "1,,,,,,,,,2"
                                        << "1,2" << 2;
        QTest::newRow("lone LF stays") << "1\n2"
                                       << "1\n2" << 1;
        QTest::newRow("one number") << "6944"
                                    << "6944" << 1;
    }
    void cleanNumberList()
    {
        QFETCH(QString, text);
        QFETCH(QString, cleaned);
        QFETCH(int, entries);
        QCOMPARE(mdlGroups::CleanNumberList(text), cleaned);
        QCOMPARE(mdlGroups::CountListEntries(text), entries);
    }

    void countsBeyondSixteenBits()
    {
        QStringList numbers;
        for (int i = 0; i < 50000; ++i)
            numbers << QStringLiteral("69%1").arg(i, 8, 10, QLatin1Char('0'));
        QCOMPARE(mdlGroups::CountListEntries(numbers.join(QLatin1Char(','))), 50000);
    }
};

QTEST_MAIN(tst_mdlgroups)
#include "tst_mdlgroups.moc"
