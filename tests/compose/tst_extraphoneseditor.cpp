#include "addressbook/PhoneField.h"
#include "addressbook/mdlGroups.h"
#include "compose/ExtraPhonesEditor.h"
#include "platform/Events.h"
#include "platform/TextBox.h"
#include "platform/TextFile.h"
#include "platform/Toolbar.h"
#include "tests/support/Seams.h"

#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

const QString addTitle = QStringLiteral("ΠΡΟΣΘΗΚΗ ΑΡΙΘΜΟΥ ΤΗΛΕΦΩΝΟΥ");
const QString updateTitle = QStringLiteral("ΔΙΟΡΘΩΣΗ ΤΗΛΕΦΩΝΟΥ");
const QString deleteTitle = QStringLiteral("ΔΙΑΓΡΑΦΗ ΠΡΟΣΘΕΤΩΝ ΑΡΙΘΜΩΝ");
const QString importTitle = QStringLiteral("Εισαγωγή Τηλεφώνων");
const QString exportTitle = QStringLiteral("Αποθήκευση Τηλεφώνων");
const QString importRefusal = QStringLiteral(
    "Αυτό το αρχείο δεν περιέχει έγκυρα τηλέφωνα.\nΗ εισαγωγή τηλεφώνων θα ακυρωθεί.");

QStringList entries(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The import as the rule reads, step by step: every field cleaned and checked before any
// is added, then each one looked up in the whole list as it stands (the list box's own
// exact search) and appended when it is not there. Nothing when the file is refused.
std::optional<QStringList> literalImport(const QStringList& before, const QByteArray& file)
{
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]+$"));
    rt::FieldReader reader;
    reader.setData(file);
    QStringList fields;
    while (!reader.atEnd()) {
        const QString field = reader.readField()
                                  .remove(QLatin1Char(' '))
                                  .remove(QStringLiteral("\r\n"))
                                  .remove(QLatin1Char('\n'))
                                  .remove(QLatin1Char(','));
        if (field.isEmpty())
            continue;
        if (!digitsOnly.match(field).hasMatch())
            return std::nullopt;
        fields << field;
    }
    QListWidget list;
    list.addItems(before);
    for (const QString& field : fields) {
        if (mdlGroups::FindListItem(list, field, true) < 0)
            list.addItem(field);
    }
    return entries(&list);
}

} // namespace

class tst_extraphoneseditor : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExtraPhonesEditor> m_editor;
    PhoneField* m_field = nullptr;
    rt::Toolbar* m_toolbar = nullptr;
    QListWidget* m_list = nullptr;

    void open(const QStringList& phones = {})
    {
        m_editor = std::make_unique<ExtraPhonesEditor>(QStringLiteral("cntrlPhones"), nullptr);
        m_editor->resize(260, 200);
        m_editor->show();
        m_field = m_editor->findChild<PhoneField*>(QStringLiteral("PhoneField"));
        m_toolbar = m_editor->findChild<rt::Toolbar*>(QStringLiteral("tlbrExtraPhones"));
        m_list = m_editor->findChild<QListWidget*>(QStringLiteral("lstExtraPhones"));
        QVERIFY(m_field && m_toolbar && m_list);
        for (const QString& phone : phones)
            m_editor->AddPhone(phone, true);
    }

    void click(const char* key)
    {
        QToolButton* button = m_toolbar->Button(QString::fromLatin1(key));
        QVERIFY(button);
        button->click();
    }

    void typeIntoField(const QString& text)
    {
        m_field->setText(QString());
        QTest::keyClicks(m_field->box(), text);
    }

    void pressInField(Qt::Key key) { QTest::keyClick(m_field->box(), key); }

    // Imports the bytes through the toolbar's button, as a file the open dialog chose.
    void importBytes(const QByteArray& bytes)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("numbers.phn"));
        writeFile(path, bytes);
        testsupport::ScriptedFileDialogs dialogs;
        dialogs.answer(path);
        click("btnLoad");
        QCOMPARE(dialogs.requests().size(), 1);
    }

    // Deletes the selected entries, answering Yes to the question.
    void deleteSelected(testsupport::ScriptedMessageBoxes& boxes)
    {
        const qsizetype before = boxes.shown().size();
        boxes.answer(rt::mb::Yes);
        click("btnDelete");
        QCOMPARE(boxes.shown().size(), before + 1);
        QCOMPARE(boxes.shown().last().title, deleteTitle);
    }

    bool editing() const
    {
        return !m_toolbar->isButtonVisible(QStringLiteral("btnAdd")) &&
               m_toolbar->isButtonVisible(QStringLiteral("btnUpdate")) &&
               !m_toolbar->isButtonEnabled(QStringLiteral("btnEdit")) &&
               !m_toolbar->isButtonEnabled(QStringLiteral("btnDelete"));
    }
    bool adding() const
    {
        return m_toolbar->isButtonVisible(QStringLiteral("btnAdd")) &&
               !m_toolbar->isButtonVisible(QStringLiteral("btnUpdate")) &&
               m_toolbar->isButtonEnabled(QStringLiteral("btnEdit")) &&
               m_toolbar->isButtonEnabled(QStringLiteral("btnDelete"));
    }

private slots:
    void cleanup() { m_editor.reset(); }

    void emptyNumberIsIgnored()
    {
        testsupport::ScriptedMessageBoxes boxes;
        open();
        QSignalSpy changed(m_editor.get(), &ExtraPhonesEditor::PhonesChanged);
        m_editor->AddPhone(QString(), true);
        QCOMPARE(m_editor->PhoneCount(), 0);
        QCOMPARE(changed.count(), 0);
        QVERIFY(boxes.shown().isEmpty());
    }

    void phoneListJoinsInOrder_data()
    {
        QTest::addColumn<QStringList>("phones");
        QTest::addColumn<QString>("list");
        QTest::newRow("empty") << QStringList() << "";
        QTest::newRow("one, without a comma") << QStringList{"6944111111"} << "6944111111";
        QTest::newRow("added order, not sorted")
            << QStringList{"6977000000", "2101234567", "6944111111"}
            << "6977000000,2101234567,6944111111";
    }
    void phoneListJoinsInOrder()
    {
        QFETCH(QStringList, phones);
        QFETCH(QString, list);
        open(phones);
        QCOMPARE(m_editor->GetPhoneList(), list);
        QCOMPARE(m_editor->PhoneCount(), phones.size());
    }

    void phoneExistComparesExactly()
    {
        open({"6944111111"});
        QVERIFY(m_editor->PhoneExist("6944111111"));
        QVERIFY(!m_editor->PhoneExist("694411111"));
        QVERIFY(!m_editor->PhoneExist(" 6944111111"));
    }

    void enterAddsTheTypedNumber()
    {
        open();
        QSignalSpy changed(m_editor.get(), &ExtraPhonesEditor::PhonesChanged);
        QVERIFY(!m_toolbar->isButtonEnabled(QStringLiteral("btnAdd")));
        typeIntoField("6944111111");
        QVERIFY(m_toolbar->isButtonEnabled(QStringLiteral("btnAdd")));
        pressInField(Qt::Key_Return);
        QCOMPARE(entries(m_list), QStringList{"6944111111"});
        QCOMPARE(m_list->currentRow(), 0);
        QCOMPARE(m_field->Text(), QString());
        QVERIFY(!m_toolbar->isButtonEnabled(QStringLiteral("btnAdd")));
        QCOMPARE(changed.count(), 1);

        typeIntoField("6977000000");
        click("btnAdd");
        QCOMPARE(entries(m_list), (QStringList{"6944111111", "6977000000"}));
        QCOMPARE(m_list->currentRow(), 1);
        QCOMPARE(m_list->selectedItems().size(), 1);
        QCOMPARE(changed.count(), 2);
    }

    void knownNumberIsRefused()
    {
        testsupport::ScriptedMessageBoxes boxes;
        open({"6944111111", "6977000000"});
        QSignalSpy changed(m_editor.get(), &ExtraPhonesEditor::PhonesChanged);
        typeIntoField("6944111111");
        pressInField(Qt::Key_Return);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).text,
                 QStringLiteral("Ο αριθμός τηλεφώνου \"6944111111\" που θέλετε να "
                                "προσθέσετε\nυπάρχει στη λίστα."));
        QCOMPARE(boxes.shown().at(0).title, addTitle);
        QCOMPARE(boxes.shown().at(0).icon(), int(rt::mb::Exclamation));
        QCOMPARE(entries(m_list), (QStringList{"6944111111", "6977000000"}));
        QCOMPARE(m_field->Text(), QStringLiteral("6944111111"));
        QCOMPARE(changed.count(), 0);
    }

    void editingAnEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("stillEditing");
        const QStringList before{"6944111111", "6944222222", "6944333333"};
        QTest::newRow("a new number replaces it")
            << "6900000000" << QStringList{"6944111111", "6900000000", "6944333333"} << false
            << false;
        QTest::newRow("another entry's number is refused")
            << "6944333333" << before << true << true;
        QTest::newRow("its own number unchanged") << "6944222222" << before << false << false;
        QTest::newRow("an emptied field changes nothing") << "" << before << false << true;
    }
    void editingAnEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, after);
        QFETCH(bool, refused);
        QFETCH(bool, stillEditing);
        testsupport::ScriptedMessageBoxes boxes;
        open({"6944111111", "6944222222", "6944333333"});
        m_list->setCurrentRow(1);
        click("btnEdit");
        QVERIFY(editing());
        QCOMPARE(m_field->Text(), QStringLiteral("6944222222"));

        QSignalSpy changed(m_editor.get(), &ExtraPhonesEditor::PhonesChanged);
        typeIntoField(typed);
        pressInField(Qt::Key_Return);
        QCOMPARE(entries(m_list), after);
        QCOMPARE(editing(), stillEditing);
        QCOMPARE(adding(), !stillEditing);
        QCOMPARE(changed.count(), stillEditing ? 0 : 1);
        QCOMPARE(boxes.shown().size(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(boxes.shown().at(0).text,
                     QStringLiteral("Το τηλέφωνο αυτό υπάρχει ήδη στη λίστα."));
            QCOMPARE(boxes.shown().at(0).title, updateTitle);
            QCOMPARE(boxes.shown().at(0).icon(), int(rt::mb::Exclamation));
            QCOMPARE(m_field->Text(), typed);
        }
        if (!stillEditing) {
            QCOMPARE(m_list->currentRow(), 1);
            QCOMPARE(m_field->Text(), QString());
        }
    }

    void editWithoutACurrentEntryDoesNothing()
    {
        open();
        click("btnEdit");
        QVERIFY(adding());
    }

    void updateButtonFinishesAnEdit()
    {
        open({"6944111111"});
        m_list->setCurrentRow(0);
        click("btnEdit");
        typeIntoField("6944999999");
        click("btnUpdate");
        QCOMPARE(entries(m_list), QStringList{"6944999999"});
        QVERIFY(adding());
    }

    void escapeLeavesTheEntryAsItWas()
    {
        open({"6944111111", "6944222222"});
        m_list->setCurrentRow(0);
        click("btnEdit");
        typeIntoField("6900000000");
        pressInField(Qt::Key_Escape);
        QCOMPARE(m_field->Text(), QString());
        QVERIFY(adding());
        QCOMPARE(entries(m_list), (QStringList{"6944111111", "6944222222"}));
        // Enter now adds again rather than updating the abandoned entry.
        typeIntoField("6900000000");
        pressInField(Qt::Key_Return);
        QCOMPARE(entries(m_list), (QStringList{"6944111111", "6944222222", "6900000000"}));
    }

    void deletingOneAsksAboutIt()
    {
        testsupport::ScriptedMessageBoxes boxes;
        open({"6944111111", "6944222222"});
        m_list->setCurrentRow(1);
        QSignalSpy changed(m_editor.get(), &ExtraPhonesEditor::PhonesChanged);

        boxes.answer(rt::mb::No);
        click("btnDelete");
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).text,
                 QStringLiteral("Πρόκειτε να διαγράψετε το τηλέφωνο \"6944222222\" απο τη "
                                "λίστα.\nΘέλετε να συνεχίσετε;"));
        QCOMPARE(boxes.shown().at(0).title, deleteTitle);
        QCOMPARE(boxes.shown().at(0).buttons(), int(rt::mb::YesNo));
        QCOMPARE(boxes.shown().at(0).icon(), int(rt::mb::Question));
        QCOMPARE(m_editor->PhoneCount(), 2);
        QCOMPARE(changed.count(), 0);

        boxes.answer(rt::mb::Yes);
        click("btnDelete");
        QCOMPARE(entries(m_list), QStringList{"6944111111"});
        QCOMPARE(changed.count(), 1);
    }

    void deletingSeveralRemovesEverySelected()
    {
        testsupport::ScriptedMessageBoxes boxes;
        open({"6944111111", "6944222222", "6944333333", "6944444444"});
        m_list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        m_list->item(2)->setSelected(true);
        m_list->item(3)->setSelected(true);
        click("btnDelete");
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).text,
                 QStringLiteral("Πρόκειτε να διαγράψετε 3 τηλέφωνα απο τη λίστα.\nΘέλετε να "
                                "συνεχίσετε;"));
        QCOMPARE(entries(m_list), QStringList{"6944222222"});
    }

    void deletingSeveralLeavesTheCurrentEntryAsTakingThemOutWould()
    {
        // The reference: every selected entry taken out of a list box, from the last to
        // the first, the list box moving its current entry as it goes.
        QRandomGenerator random(30);
        for (int round = 0; round < 40; ++round) {
            QStringList phones;
            for (int i = 0; i < 12; ++i)
                phones << QStringLiteral("69440000%1").arg(i, 2, 10, QLatin1Char('0'));
            const int current = random.bounded(12);
            QList<int> selected{current};
            for (int i = 0; i < 12; ++i) {
                if (random.bounded(3) == 0 && i != current)
                    selected << i;
            }
            if (selected.size() < 2)
                selected << (current + 1) % 12;

            QListWidget reference;
            reference.setSelectionMode(QAbstractItemView::ExtendedSelection);
            reference.addItems(phones);
            open(phones);
            for (QListWidget* list : {&reference, m_list}) {
                list->setCurrentRow(current, QItemSelectionModel::ClearAndSelect);
                for (const int row : selected)
                    list->item(row)->setSelected(true);
            }
            for (int i = reference.count() - 1; i >= 0; --i) {
                if (reference.item(i)->isSelected())
                    delete reference.takeItem(i);
            }
            testsupport::ScriptedMessageBoxes boxes;
            deleteSelected(boxes);
            QCOMPARE(entries(m_list), entries(&reference));
            QCOMPARE(m_list->currentRow(), reference.currentRow());
            QCOMPARE(m_list->selectedItems().size(), reference.selectedItems().size());
            for (const QString& phone : phones)
                QCOMPARE(m_editor->PhoneExist(phone), entries(&reference).contains(phone));
        }
    }

    void deletingNeedsACurrentEntry()
    {
        testsupport::ScriptedMessageBoxes boxes;
        open();
        click("btnDelete");
        QVERIFY(boxes.shown().isEmpty());
    }

    void import_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("refused");
        // The list holds 6900000000 before each import.
        const QStringList before{"6900000000"};
        QTest::newRow("two on a line, comma and blank")
            << QByteArray("6944111111, 6944222222\r\n")
            << QStringList{"6900000000", "6944111111", "6944222222"} << false;
        QTest::newRow("one a line, as exported or typed")
            << QByteArray("6944111111\r\n6944222222\n6944333333")
            << QStringList{"6900000000", "6944111111", "6944222222", "6944333333"} << false;
        QTest::newRow("commas over several lines")
            << QByteArray("6944111111,6944222222,\r\n6944333333\r\n")
            << QStringList{"6900000000", "6944111111", "6944222222", "6944333333"} << false;
        QTest::newRow("blanks inside a number")
            << QByteArray("  6944 111 111 ,69 44 222222\r\n")
            << QStringList{"6900000000", "6944111111", "6944222222"} << false;
        QTest::newRow("quoted fields with a comma and a line break")
            << QByteArray("\"6944,111111\",\"6944\r\n222222\"\r\n")
            << QStringList{"6900000000", "6944111111", "6944222222"} << false;
        QTest::newRow("numbers known or twice in the file are added once")
            << QByteArray("6944111111,6900000000\r\n6944111111\r\n")
            << QStringList{"6900000000", "6944111111"} << false;
        QTest::newRow("a hyphen refuses the whole file")
            << QByteArray("6944111111\r\n694-4222222\r\n6944333333\r\n") << before << true;
        QTest::newRow("a letter refuses the whole file")
            << QByteArray("6944111111,69441l1111") << before << true;
        QTest::newRow("a tab inside a number is no blank")
            << QByteArray("6944\t111111\r\n") << before << true;
        QTest::newRow("only separators and blank lines")
            << QByteArray(",,,\r\n\r\n , ,\r\n\n") << before << false;
        QTest::newRow("an empty file") << QByteArray() << before << false;
    }
    void import()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, after);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("numbers.phn"));
        writeFile(path, file);
        testsupport::ScriptedMessageBoxes boxes;
        testsupport::ScriptedFileDialogs dialogs;
        dialogs.answer(path);
        open({"6900000000"});
        QSignalSpy changed(m_editor.get(), &ExtraPhonesEditor::PhonesChanged);

        click("btnLoad");
        QCOMPARE(dialogs.requests().size(), 1);
        QCOMPARE(dialogs.requests().at(0).kind, rt::FileDialogRequest::Open);
        QCOMPARE(dialogs.requests().at(0).filter,
                 QStringLiteral("Τηλέφωνα (*.phn)|*.phn|Κείμενο (*.txt)|*.txt"));
        QCOMPARE(entries(m_list), after);
        QCOMPARE(changed.count(), refused ? 0 : 1);
        QCOMPARE(boxes.shown().size(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(boxes.shown().at(0).text, importRefusal);
            QCOMPARE(boxes.shown().at(0).title, importTitle);
            QCOMPARE(boxes.shown().at(0).icon(), int(rt::mb::Exclamation));
        }
        if (after.size() > 1)
            QCOMPARE(m_list->currentRow(), after.size() - 1);
    }

    void importGivesTheLiteralRulesResult_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("refused");
        const QStringList some{"6900000000", "6944111111"};
        QTest::newRow("duplicates in the file and with the list")
            << some << QByteArray("6944222222,6944111111,6944222222\r\n6900000000\r\n6944333333")
            << false;
        QTest::newRow("blank fields, blank lines, blanks inside")
            << some << QByteArray(" ,,6944 222 222,\r\n\r\n  \r\n, 6944 222222,\n\n694433 3333\r\n")
            << false;
        QTest::newRow("a number in quotes over two lines, then again plainly")
            << some << QByteArray("\"6944\r\n555555\",6944555555\r\n") << false;
        QTest::newRow("an empty list takes the file's first of each")
            << QStringList() << QByteArray("6944111111\r\n6944111111,6944222222\r\n6944111111")
            << false;
        QTest::newRow("a bad field after duplicates and blanks refuses it all")
            << some << QByteArray("6944222222, ,6944222222\r\n\r\n6944x33333\r\n6944444444")
            << true;
    }
    void importGivesTheLiteralRulesResult()
    {
        QFETCH(QStringList, before);
        QFETCH(QByteArray, file);
        QFETCH(bool, refused);
        const std::optional<QStringList> literal = literalImport(before, file);
        QCOMPARE(!literal.has_value(), refused);
        testsupport::ScriptedMessageBoxes boxes;
        open(before);
        importBytes(file);
        QCOMPARE(entries(m_list), literal.value_or(before));
        QCOMPARE(boxes.shown().size(), refused ? 1 : 0);
        for (const QString& phone : entries(m_list))
            QVERIFY(m_editor->PhoneExist(phone));
    }

    void randomFilesGiveTheLiteralRulesResult()
    {
        // Few numbers, so that the file repeats them and the list knows some; blanks,
        // empty fields and line breaks everywhere; now and then a bad field.
        QRandomGenerator random(1253);
        const QStringList pool{"6944111111", "6944222222", "69", "6944", "306944111111", "0"};
        const QList<QByteArray> separators{",", ", ", "\r\n", "\n", ",\r\n", " ,, ", "\r\n\r\n"};
        for (int round = 0; round < 60; ++round) {
            QStringList before;
            for (const QString& phone : pool) {
                if (random.bounded(3) == 0)
                    before << phone;
            }
            QByteArray file;
            for (int i = random.bounded(12); i > 0; --i) {
                QByteArray field = pool.at(random.bounded(int(pool.size()))).toLatin1();
                if (random.bounded(4) == 0)
                    field.insert(random.bounded(int(field.size()) + 1), ' ');
                if (random.bounded(40) == 0)
                    field.insert(random.bounded(int(field.size()) + 1), '-');
                file += field + separators.at(random.bounded(int(separators.size())));
            }
            const std::optional<QStringList> literal = literalImport(before, file);
            testsupport::ScriptedMessageBoxes boxes;
            open(before);
            importBytes(file);
            QCOMPARE(entries(m_list), literal.value_or(before));
            QCOMPARE(boxes.shown().size(), literal ? 0 : 1);
        }
    }

    void importShowsTheHourglass()
    {
        open({"6900000000"});
        QList<int> pointerWhileAdding;
        connect(m_list->model(), &QAbstractItemModel::rowsInserted, m_list,
                [&] { pointerWhileAdding << rt::MousePointer(); });
        importBytes("6944111111,6944222222\r\n");
        QCOMPARE(pointerWhileAdding, QList<int>{11});
        QCOMPARE(rt::MousePointer(), 0);

        // The refusal is not shown under the hourglass.
        testsupport::ScriptedMessageBoxes boxes;
        QList<int> pointerAtTheBox;
        boxes.onShow([&](const testsupport::ShownBox&) { pointerAtTheBox << rt::MousePointer(); });
        importBytes("6944333333,69-44\r\n");
        QCOMPARE(pointerAtTheBox, QList<int>{0});
        QCOMPARE(rt::MousePointer(), 0);
        QCOMPARE(m_editor->PhoneCount(), 3);
    }

    void anEditedNumberIsKnownUnderItsNewText()
    {
        testsupport::ScriptedMessageBoxes boxes;
        open({"6944111111", "6944222222", "6944333333"});
        m_list->setCurrentRow(1);
        click("btnEdit");
        typeIntoField("6900000000");
        pressInField(Qt::Key_Return);
        QVERIFY(m_editor->PhoneExist("6900000000"));
        QVERIFY(!m_editor->PhoneExist("6944222222"));

        // Editing another entry to the new text is refused, to the old text allowed.
        m_list->setCurrentRow(2);
        click("btnEdit");
        typeIntoField("6900000000");
        pressInField(Qt::Key_Return);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).title, updateTitle);
        typeIntoField("6944222222");
        pressInField(Qt::Key_Return);
        QCOMPARE(entries(m_list), (QStringList{"6944111111", "6900000000", "6944222222"}));
        QVERIFY(!m_editor->PhoneExist("6944333333"));

        // The number given up is added again; the one taken is refused.
        m_editor->AddPhone("6944333333", true);
        m_editor->AddPhone("6900000000", true);
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown().at(1).title, addTitle);
        importBytes("6944333333,6900000000,6944222222,6944111111");
        QCOMPARE(entries(m_list),
                 (QStringList{"6944111111", "6900000000", "6944222222", "6944333333"}));
    }

    void aDeletedNumberIsAddedAgain_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("the current one")
            << QList<int>{1} << QStringList{"6944111111", "6944333333", "6944444444"};
        QTest::newRow("several selected") << QList<int>{0, 2, 3} << QStringList{"6944222222"};
    }
    void aDeletedNumberIsAddedAgain()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, left);
        const QStringList all{"6944111111", "6944222222", "6944333333", "6944444444"};
        testsupport::ScriptedMessageBoxes boxes;
        open(all);
        m_list->setCurrentRow(selected.first(), QItemSelectionModel::ClearAndSelect);
        for (const int row : selected)
            m_list->item(row)->setSelected(true);
        deleteSelected(boxes);
        QCOMPARE(entries(m_list), left);
        for (const QString& phone : all)
            QCOMPARE(m_editor->PhoneExist(phone), left.contains(phone));

        // The file brings back exactly the deleted ones, in its order.
        QStringList file = all;
        std::reverse(file.begin(), file.end());
        importBytes(file.join(u',').toLatin1());
        QStringList back = left;
        for (const QString& phone : file) {
            if (!left.contains(phone))
                back << phone;
        }
        QCOMPARE(entries(m_list), back);
        for (const QString& phone : all)
            QVERIFY(m_editor->PhoneExist(phone));

        // Deleted again, a number is typed in again without a warning.
        m_list->setCurrentRow(int(m_list->count()) - 1, QItemSelectionModel::ClearAndSelect);
        const QString last = m_list->currentItem()->text();
        deleteSelected(boxes);
        m_editor->AddPhone(last, true);
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(entries(m_list), back);
    }

    void importThatCannotStartChangesNothing_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("dialog cancelled") << true;
        QTest::newRow("file missing") << false;
    }
    void importThatCannotStartChangesNothing()
    {
        QFETCH(bool, cancelled);
        QTemporaryDir dir;
        testsupport::ScriptedMessageBoxes boxes;
        testsupport::ScriptedFileDialogs dialogs;
        if (!cancelled)
            dialogs.answer(dir.filePath(QStringLiteral("gone.phn")));
        open({"6900000000"});
        QSignalSpy changed(m_editor.get(), &ExtraPhonesEditor::PhonesChanged);
        click("btnLoad");
        QCOMPARE(entries(m_list), QStringList{"6900000000"});
        QCOMPARE(changed.count(), 0);
        QVERIFY(boxes.shown().isEmpty());
    }

    void exportWritesOneLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.phn"));
        testsupport::ScriptedFileDialogs dialogs;
        dialogs.answer(path);
        open({"6944111111", "2101234567", "6977000000"});
        click("btnSave");
        QCOMPARE(dialogs.requests().size(), 1);
        QCOMPARE(dialogs.requests().at(0).kind, rt::FileDialogRequest::Save);
        QCOMPARE(dialogs.requests().at(0).filter,
                 QStringLiteral("Τηλέφωνα (*.phn)|*.phn|Κείμενο (*.txt)|*.txt"));
        QCOMPARE(readAll(path), QByteArray("6944111111,2101234567,6977000000\r\n"));

        // What the export wrote, the import reads back.
        open();
        dialogs.answer(path);
        click("btnLoad");
        QCOMPARE(m_editor->GetPhoneList(), QStringLiteral("6944111111,2101234567,6977000000"));
    }

    void exportOfAnEmptyListDoesNothing()
    {
        testsupport::ScriptedFileDialogs dialogs;
        open();
        click("btnSave");
        QVERIFY(dialogs.requests().isEmpty());
    }

    void exportOverAnExistingFile_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("secondDialogCancelled");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<int>("dialogs");
        const QByteArray old("old\r\n");
        const QByteArray line("6944111111,6977000000\r\n");
        const QByteArray none("<missing>");
        QTest::newRow("Yes replaces it") << QList<int>{rt::mb::Yes} << false << line << none << 1;
        QTest::newRow("Cancel writes nothing")
            << QList<int>{rt::mb::Cancel} << false << old << none << 1;
        QTest::newRow("No asks for another name")
            << QList<int>{rt::mb::No} << false << old << line << 2;
        QTest::newRow("No, then the dialog cancelled")
            << QList<int>{rt::mb::No} << true << old << none << 2;
        QTest::newRow("No, then the same file again and Yes")
            << QList<int>{rt::mb::No, rt::mb::Yes} << false << line << none << 2;
    }
    void exportOverAnExistingFile()
    {
        QFETCH(QList<int>, answers);
        QFETCH(bool, secondDialogCancelled);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(int, dialogs);
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("numbers.phn"));
        const QString other = dir.filePath(QStringLiteral("other.phn"));
        writeFile(existing, "old\r\n");
        testsupport::ScriptedMessageBoxes boxes;
        testsupport::ScriptedFileDialogs fileDialogs;
        for (int answer : answers)
            boxes.answer(answer);
        fileDialogs.answer(existing);
        if (!secondDialogCancelled)
            fileDialogs.answer(answers.size() > 1 ? existing : other);
        open({"6944111111", "6977000000"});

        click("btnSave");
        QCOMPARE(fileDialogs.requests().size(), dialogs);
        QCOMPARE(boxes.shown().size(), answers.size());
        QCOMPARE(boxes.shown().at(0).text, QStringLiteral("Το αρχείο ") + existing +
                                               QStringLiteral(" υπάρχει ήδη στο δίσκο.\nΘέλετε "
                                                              "να το αντικαταστήσετε;"));
        QCOMPARE(boxes.shown().at(0).title, exportTitle);
        QCOMPARE(boxes.shown().at(0).buttons(), int(rt::mb::YesNoCancel));
        QCOMPARE(boxes.shown().at(0).icon(), int(rt::mb::Question));
        QCOMPARE(readAll(existing), first);
        QCOMPARE(readAll(other), second);
    }

    // Any file that is there is replaced only after Yes, hidden ones too (every name that
    // begins with a dot); No keeps its bytes and shows the save dialog again (cancelled
    // here). A name that differs in letter case alone is another file on this system.
    void exportReplacesAnyExistingFileOnlyAfterYes_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("answer"); // 0: no question wanted
        QTest::newRow("plain, No") << "numbers.phn"
                                   << "numbers.phn" << int(rt::mb::No);
        QTest::newRow("plain, Yes") << "numbers.phn"
                                    << "numbers.phn" << int(rt::mb::Yes);
        QTest::newRow("hidden, No") << ".numbers.phn"
                                    << ".numbers.phn" << int(rt::mb::No);
        QTest::newRow("hidden, Yes") << ".numbers.phn"
                                     << ".numbers.phn" << int(rt::mb::Yes);
        QTest::newRow("another letter case") << "Numbers.phn"
                                             << "numbers.phn" << 0;
    }
    void exportReplacesAnyExistingFileOnlyAfterYes()
    {
        QFETCH(QString, existing);
        QFETCH(QString, chosen);
        QFETCH(int, answer);
        QTemporaryDir dir;
        const QString old = dir.filePath(existing);
        const QString path = dir.filePath(chosen);
        writeFile(old, "old\r\n");
        testsupport::ScriptedMessageBoxes boxes;
        testsupport::ScriptedFileDialogs fileDialogs;
        if (answer != 0)
            boxes.answer(answer);
        fileDialogs.answer(path);
        fileDialogs.answer(std::nullopt); // the dialog again, after No
        open({"6944111111", "6977000000"});

        click("btnSave");
        QCOMPARE(boxes.shown().size(), answer != 0 ? 1 : 0);
        if (answer != 0) {
            QCOMPARE(boxes.shown().at(0).text,
                     QStringLiteral("Το αρχείο ") + path +
                         QStringLiteral(" υπάρχει ήδη στο δίσκο.\nΘέλετε να το αντικαταστήσετε;"));
            QCOMPARE(fileDialogs.requests().size(), answer == rt::mb::No ? 2 : 1);
        }
        QCOMPARE(readAll(path), answer == rt::mb::No ? QByteArray("old\r\n")
                                                     : QByteArray("6944111111,6977000000\r\n"));
        if (old != path)
            QCOMPARE(readAll(old), QByteArray("old\r\n"));
    }

    void layoutKeepsTheToolbarRightOfFieldAndList()
    {
        open();
        m_editor->resize(300, 220);
        const QRect field = m_field->geometry();
        const QRect list = m_list->geometry();
        const QRect bar = m_toolbar->geometry();
        QCOMPARE(bar.right(), m_editor->width() - 1);
        QCOMPARE(bar.top(), field.top());
        QVERIFY(field.right() < bar.left());
        QCOMPARE(list.width(), field.width());
        QVERIFY(list.top() > field.bottom());
        QCOMPARE(list.bottom(), m_editor->height() - 1);
        // Every visible button fits in the upright bar.
        for (QToolButton* button : m_toolbar->Buttons()) {
            if (!button->isHidden())
                QVERIFY(bar.height() >= button->geometry().bottom());
        }
    }
};

QTEST_MAIN(tst_extraphoneseditor)
#include "tst_extraphoneseditor.moc"
