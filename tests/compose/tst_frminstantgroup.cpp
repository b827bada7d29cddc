#include "app/mdlDataBase.h"
#include "compose/frmInstantGroup.h"
#include "platform/Form.h"
#include "platform/ListView.h"
#include "platform/TextBox.h"
#include "tests/support/ProgramFolder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

const QString notFound = QStringLiteral("Δέν βρέθηκαν μέλη με αυτά τα κριτήρια.");

struct Member {
    QVariant last, first, occupation, mobile;
};

// The address book every search runs against.
const QList<Member> members{
    {"Παπαδόπουλος", "Νίκος", "Γιατρός", "6944000001"},
    {"Κωνσταντίνου", "Μαρία", "Γιατρός", "6944000002"},
    {"Παπανικολάου", "Ελένη", "Δικηγόρος", "6977000003"},
    {"Κωνσταντινίδης", "Νίκος", "Δικηγόρος", "6944000004"},
    {"ΠΑΠΑΣ", "Ελένη", "Γιατρός", "6944000005"},
    {"D'Angelo", QVariant(), "50% συνεργάτης", "2101234567"},
    {"Dangelo", "Μαρία", "500 εργάτες", "2101234568"},
    {"A_B", "άννα", QVariant(), "2101234569"},
    {"AxB", "Μαρία", QVariant(), "2101234570"},
};

// Results compare as sets: the order of a search's rows is not fixed.
QStringList sorted(QStringList names)
{
    std::sort(names.begin(), names.end());
    return names;
}

QStringList comboEntries(const QComboBox* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

} // namespace

class tst_frminstantgroup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::ProgramFolder> m_folder;

    template <class T> static T* part(frmInstantGroup& form, const QString& name)
    {
        T* widget = form.findChild<T*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

    static void fill(frmInstantGroup& form, const QStringList& lastNames,
                     const QStringList& firstNames, const QStringList& occupations,
                     const QStringList& phones)
    {
        for (int r = 0; r < frmInstantGroup::Rows; ++r) {
            const QString n = QString::number(r);
            part<rt::TextBox>(form, "txtLName_" + n)->setText(lastNames.value(r));
            part<QComboBox>(form, "cmbFName_" + n)->setEditText(firstNames.value(r));
            part<QComboBox>(form, "cmbProperty_" + n)->setEditText(occupations.value(r));
            part<rt::TextBox>(form, "txtPhone_" + n)->setText(phones.value(r));
        }
    }

    static QStringList foundLastNames(frmInstantGroup& form)
    {
        QStringList out;
        for (const rt::ListItem& item : part<rt::ListView>(form, "lstResults")->ListItems())
            out << item.Text();
        std::sort(out.begin(), out.end());
        return out;
    }

    static QStringList lastNamesOf(const rt::Query& query)
    {
        QStringList out;
        rt::Recordset rs =
            mdlDataBase::MainDatabase().openRecordset(query, rt::RecordsetType::Snapshot);
        for (; rs.isOpen() && !rs.eof(); rs.moveNext()) {
            if (rs.field(QStringLiteral("member_id")).isValid())
                out << rs.field(QStringLiteral("LastName")).toString();
        }
        std::sort(out.begin(), out.end());
        return out;
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<testsupport::ProgramFolder>();
        QVERIFY(m_folder->isValid());
        mdlDataBase::OpenDatabase();
        for (const Member& m : members) {
            QVERIFY(mdlDataBase::MainDatabase().execute(
                {QStringLiteral("INSERT INTO members (LastName, FirstName, Occupation, "
                                "mobile_no) VALUES (?, ?, ?, ?)"),
                 {m.last, m.first, m.occupation, m.mobile}}));
        }
    }
    void cleanup()
    {
        rt::Forms::discardAll();
        mdlDataBase::MainDatabase().close();
        m_folder.reset();
    }

    void theExampleQuery()
    {
        const rt::Query q = frmInstantGroup::BuildQuery({"Παπ", "Κων", ""}, {"", "", ""},
                                                        {"Γιατρ", "", ""}, {"", "", ""});
        QCOMPARE(q.sql, QStringLiteral("SELECT * FROM members WHERE (LastName LIKE ? ESCAPE '!' "
                                       "OR LastName LIKE ? ESCAPE '!') AND (Occupation LIKE ? "
                                       "ESCAPE '!');"));
        QCOMPARE(q.values, (QVariantList{"Παπ%", "Κων%", "Γιατρ%"}));
        QCOMPARE(lastNamesOf(q), sorted(QStringList{"Κωνσταντίνου", "Παπαδόπουλος", "ΠΑΠΑΣ"}));
    }

    void search_data()
    {
        QTest::addColumn<QStringList>("lastNames");
        QTest::addColumn<QStringList>("firstNames");
        QTest::addColumn<QStringList>("occupations");
        QTest::addColumn<QStringList>("phones");
        QTest::addColumn<QStringList>("found");
        const QStringList none;
        QTest::newRow("the example: OR in a column, AND between columns")
            << QStringList{"Παπ", "Κων"} << none << QStringList{"Γιατρ"} << none
            << QStringList{"Κωνσταντίνου", "Παπαδόπουλος", "ΠΑΠΑΣ"};
        QTest::newRow("two columns") << none << QStringList{"Νίκος"} << QStringList{"Δικ"} << none
                                     << QStringList{"Κωνσταντινίδης"};
        QTest::newRow("a text in the last row alone")
            << QStringList{"", "", "Κων"} << none << none << none
            << QStringList{"Κωνσταντινίδης", "Κωνσταντίνου"};
        QTest::newRow("empty rows between texts")
            << QStringList{"", "Dange", ""} << none << none << QStringList{"", "", "21"}
            << QStringList{"Dangelo"};
        QTest::newRow("Greek letters in any case")
            << QStringList{"παπ"} << none << none << none
            << QStringList{"Παπαδόπουλος", "Παπανικολάου", "ΠΑΠΑΣ"};
        QTest::newRow("final sigma matches a capital sigma")
            << QStringList{"παπας"} << none << none << none << QStringList{"ΠΑΠΑΣ"};
        QTest::newRow("an apostrophe is a character")
            << QStringList{"D'A"} << none << none << none << QStringList{"D'Angelo"};
        QTest::newRow("a percent sign is a character")
            << none << none << QStringList{"50%"} << none << QStringList{"D'Angelo"};
        QTest::newRow("an underscore is a character")
            << QStringList{"A_"} << none << none << none << QStringList{"A_B"};
        QTest::newRow("the texts are prefixes")
            << QStringList{"ngelo"} << none << none << none << QStringList();
        QTest::newRow("phone prefix")
            << none << none << none << QStringList{"6977"} << QStringList{"Παπανικολάου"};
        QTest::newRow("nothing matches")
            << QStringList{"Ζ"} << none << none << none << QStringList();
        QTest::newRow("no criterion finds nobody") << none << none << none << none << QStringList();
    }
    void search()
    {
        QFETCH(QStringList, lastNames);
        QFETCH(QStringList, firstNames);
        QFETCH(QStringList, occupations);
        QFETCH(QStringList, phones);
        QFETCH(QStringList, found);
        frmInstantGroup& form = rt::Forms::get<frmInstantGroup>();
        fill(form, lastNames, firstNames, occupations, phones);
        part<QPushButton>(form, "cmdStep_1")->click();

        QCOMPARE(foundLastNames(form), sorted(found));
        QCOMPARE(part<QLabel>(form, "lblResult")->text(),
                 found.isEmpty() ? notFound
                                 : QStringLiteral("Βρέθηκαν %1 μέλη.").arg(found.size()));
        QCOMPARE(part<QPushButton>(form, "cmdEnd")->isEnabled(), !found.isEmpty());
        if (!found.isEmpty())
            QCOMPARE(lastNamesOf(form.InstantGroupQuery()), sorted(found));
    }

    void resultsShowTheFourColumns()
    {
        frmInstantGroup& form = rt::Forms::get<frmInstantGroup>();
        fill(form, {"D'"}, {}, {}, {});
        part<QPushButton>(form, "cmdStep_1")->click();
        auto* list = part<rt::ListView>(form, "lstResults");
        QCOMPARE(list->ListItems().Count(), 1);
        const rt::ListItem item = list->ListItems().Item(1);
        QCOMPARE(item.Text(), QStringLiteral("D'Angelo"));
        QCOMPARE(item.SubItems(1), QString()); // Null first name
        QCOMPARE(item.SubItems(2), QStringLiteral("50% συνεργάτης"));
        QCOMPARE(item.SubItems(3), QStringLiteral("2101234567"));
        QCOMPARE(list->ColumnText(1), QStringLiteral("Επίθετο"));
        QCOMPARE(list->ColumnText(4), QStringLiteral("Τηλέφωνο"));
    }

    void criteriaListsComeFromTheAddressBook()
    {
        frmInstantGroup& form = rt::Forms::get<frmInstantGroup>();
        for (int r = 0; r < frmInstantGroup::Rows; ++r) {
            auto* firstName = part<QComboBox>(form, "cmbFName_" + QString::number(r));
            // The Null first name is the empty entry at the top; Greek order, any case.
            QCOMPARE(comboEntries(firstName), (QStringList{"", "άννα", "Ελένη", "Μαρία", "Νίκος"}));
            QCOMPARE(firstName->currentText(), QString());
            auto* occupation = part<QComboBox>(form, "cmbProperty_" + QString::number(r));
            QCOMPARE(comboEntries(occupation).size(), 5);
            QCOMPARE(occupation->currentText(), QString());
        }
    }

    void pickingAListedNameSearchesForIt()
    {
        frmInstantGroup& form = rt::Forms::get<frmInstantGroup>();
        auto* firstName = part<QComboBox>(form, "cmbFName_1");
        firstName->setCurrentIndex(firstName->findText(QStringLiteral("Ελένη")));
        part<QPushButton>(form, "cmdStep_1")->click();
        QCOMPARE(foundLastNames(form), sorted(QStringList{"Παπανικολάου", "ΠΑΠΑΣ"}));
    }

    void stepsBetweenThePages()
    {
        frmInstantGroup& form = rt::Forms::get<frmInstantGroup>();
        auto* page0 = part<QGroupBox>(form, "Frame_0");
        auto* page1 = part<QGroupBox>(form, "Frame_1");
        auto* back = part<QPushButton>(form, "cmdStep_0");
        auto* next = part<QPushButton>(form, "cmdStep_1");
        auto* finish = part<QPushButton>(form, "cmdEnd");
        QCOMPARE(form.windowTitle(), QStringLiteral("Άμεση Δημιουργία Ομάδας"));
        QVERIFY(!page0->isHidden() && page1->isHidden());
        QVERIFY(!back->isEnabled() && next->isEnabled() && !finish->isEnabled());

        fill(form, {"Παπαδ"}, {}, {}, {});
        next->click();
        QVERIFY(page0->isHidden() && !page1->isHidden());
        QVERIFY(back->isEnabled() && !next->isEnabled() && finish->isEnabled());
        QCOMPARE(foundLastNames(form), sorted(QStringList{"Παπαδόπουλος"}));

        back->click();
        QVERIFY(!page0->isHidden() && page1->isHidden());
        QVERIFY(!finish->isEnabled());

        // Forward again searches again, with the texts as they are now.
        fill(form, {"Κων"}, {}, {}, {});
        next->click();
        QCOMPARE(foundLastNames(form), sorted(QStringList{"Κωνσταντινίδης", "Κωνσταντίνου"}));
        fill(form, {}, {}, {}, {});
        back->click();
        next->click();
        QVERIFY(foundLastNames(form).isEmpty());
        QVERIFY(!finish->isEnabled());
    }

    void finishHandsOnTheSearchThatRan()
    {
        frmInstantGroup& form = rt::Forms::get<frmInstantGroup>();
        QSignalSpy created(&form, &frmInstantGroup::CreateInstantGroup);
        fill(form, {"Παπ"}, {}, {"Γιατρ"}, {});
        part<QPushButton>(form, "cmdStep_1")->click();
        part<QPushButton>(form, "cmdEnd")->click();
        QCOMPARE(created.count(), 1);
        const auto query = created.at(0).at(0).value<rt::Query>();
        QCOMPARE(lastNamesOf(query), sorted(QStringList{"Παπαδόπουλος", "ΠΑΠΑΣ"}));
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmInstantGroup")));
    }

    void cancelHandsOnNothing_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("criteria page") << 0;
        QTest::newRow("results page") << 1;
    }
    void cancelHandsOnNothing()
    {
        QFETCH(int, page);
        frmInstantGroup& form = rt::Forms::get<frmInstantGroup>();
        QSignalSpy created(&form, &frmInstantGroup::CreateInstantGroup);
        fill(form, {"Παπ"}, {}, {}, {});
        if (page == 1)
            part<QPushButton>(form, "cmdStep_1")->click();
        part<QPushButton>(form, "cmdCancel")->click();
        QCOMPARE(created.count(), 0);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmInstantGroup")));
    }

    void aFailingSearchFindsNobody()
    {
        frmInstantGroup& form = rt::Forms::get<frmInstantGroup>();
        fill(form, {"Παπ"}, {}, {}, {});
        QVERIFY(mdlDataBase::MainDatabase().execute({QStringLiteral("DROP TABLE members"), {}}));
        part<QPushButton>(form, "cmdStep_1")->click();
        QVERIFY(foundLastNames(form).isEmpty());
        QCOMPARE(part<QLabel>(form, "lblResult")->text(), notFound);
        QVERIFY(!part<QPushButton>(form, "cmdEnd")->isEnabled());
    }
};

QTEST_MAIN(tst_frminstantgroup)
#include "tst_frminstantgroup.moc"
