#include "app/mdlMain.h"
#include "platform/Events.h"
#include "platform/ListView.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

QStringList entries(const QComboBox& combo)
{
    QStringList out;
    for (int i = 0; i < combo.count(); ++i)
        out << combo.itemText(i);
    return out;
}

QList<bool> selection(rt::ListView& list)
{
    QList<bool> out;
    for (const rt::ListItem& item : list.ListItems())
        out << item.Selected();
    return out;
}

} // namespace

class tst_mdlmain_utils : public QObject {
    Q_OBJECT

private slots:
    void addComboItemKeepsOrChangesTheSelection()
    {
        QComboBox combo;
        mdlMain::AddComboItem(&combo, QStringLiteral("Φίλοι"), 5, false);
        // An empty box gets no current entry unless asked.
        QCOMPARE(combo.currentIndex(), -1);
        mdlMain::AddComboItem(&combo, QStringLiteral("Δουλειά"), 7, true);
        QCOMPARE(combo.currentIndex(), 1);
        mdlMain::AddComboItem(&combo, QStringLiteral("Άλλοι"), 9, false);
        QCOMPARE(combo.currentText(), QStringLiteral("Δουλειά"));
        QCOMPARE(entries(combo), (QStringList{"Φίλοι", "Δουλειά", "Άλλοι"}));
        QCOMPARE(combo.itemData(0).toInt(), 5);
        QCOMPARE(combo.itemData(2).toInt(), 9);
    }

    void sortedComboInsertsInGreekOrder()
    {
        QComboBox combo;
        combo.setInsertPolicy(QComboBox::InsertAlphabetically);
        for (const char* name : {"Φίλοι", "άλλοι", "Δουλειά", "Βόλος"})
            mdlMain::AddComboItem(&combo, QString::fromUtf8(name), 1, false);
        mdlMain::AddComboItem(&combo, QStringLiteral("Γειτονιά"), 44, true);
        QCOMPARE(entries(combo), (QStringList{"άλλοι", "Βόλος", "Γειτονιά", "Δουλειά", "Φίλοι"}));
        QCOMPARE(combo.currentIndex(), 2);
        QCOMPARE(combo.currentData().toInt(), 44);
        // An entry placed before the current one leaves that entry current.
        mdlMain::AddComboItem(&combo, QStringLiteral("Αθήνα"), 2, false);
        QCOMPARE(combo.currentText(), QStringLiteral("Γειτονιά"));
    }

    void arrayUpperBound()
    {
        QCOMPARE(mdlMain::ArrayUpperBound(QStringList()), qint16(0));
        QCOMPARE(mdlMain::ArrayUpperBound(QList<int>{0}), qint16(0));
        QCOMPARE(mdlMain::ArrayUpperBound(QStringList{"a", "b", "c"}), qint16(2));
        QCOMPARE(mdlMain::ArrayUpperBound(std::vector<int>(32768)), qint16(32767));
        QCOMPARE(mdlMain::ArrayUpperBound(std::vector<int>(32769)), qint16(0));
    }

    void setMousePointer()
    {
        mdlMain::SetMousePointer(11);
        QCOMPARE(rt::MousePointer(), 11);
        mdlMain::SetMousePointer(0);
        QCOMPARE(rt::MousePointer(), 0);
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("name"); // relative to a folder holding Error.LOG, .hidden, sub/
        QTest::addColumn<bool>("exists");
        QTest::newRow("file") << "Error.LOG" << true;
        QTest::newRow("wildcard") << "*.LOG" << true;
        QTest::newRow("no match") << "*.TXT" << false;
        QTest::newRow("directory") << "sub" << false;
        QTest::newRow("hidden file") << ".hidden" << false;
        QTest::newRow("empty path") << "" << false;
    }
    void fileExists()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char* file : {"Error.LOG", ".hidden"}) {
            QFile f(dir.filePath(QString::fromLatin1(file)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QCOMPARE(mdlMain::FileExists(name.isEmpty() ? name : dir.filePath(name)), exists);
    }

    void selectAllText()
    {
        QLineEdit line(QStringLiteral("Καλημέρα"));
        line.setCursorPosition(3);
        mdlMain::SelectAllText(&line);
        QCOMPARE(line.selectionStart(), 0);
        QCOMPARE(line.selectedText(), QStringLiteral("Καλημέρα"));

        QLineEdit empty;
        mdlMain::SelectAllText(&empty);
        QVERIFY(!empty.hasSelectedText());

        QPlainTextEdit box;
        box.setPlainText(QStringLiteral("πρώτη\nδεύτερη"));
        mdlMain::SelectAllText(&box);
        const QTextCursor cursor = box.textCursor();
        QCOMPARE(cursor.selectionStart(), 0);
        QCOMPARE(cursor.selectionEnd(), box.document()->characterCount() - 1);
        mdlMain::SelectAllText(static_cast<QLineEdit*>(nullptr));
    }

    void listSelectionCommands()
    {
        rt::ListView list;
        list.setMultiSelect(true);
        mdlMain::SelectAllListItems(&list);
        mdlMain::InvertListSelection(&list);
        QCOMPARE(list.ListItems().Count(), 0);

        for (int i = 1; i <= 4; ++i)
            list.ListItems().Add(QStringLiteral("K%1").arg(i), QString::number(i));
        list.ListItems()(2).setSelected(true);
        mdlMain::InvertListSelection(&list);
        QCOMPARE(selection(list), (QList<bool>{true, false, true, true}));
        mdlMain::InvertListSelection(&list);
        QCOMPARE(selection(list), (QList<bool>{false, true, false, false}));
        mdlMain::SelectAllListItems(&list);
        QCOMPARE(selection(list), (QList<bool>{true, true, true, true}));
    }
};

QTEST_MAIN(tst_mdlmain_utils)
#include "tst_mdlmain_utils.moc"
