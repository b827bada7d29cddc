#include "addressbook/frmMember_Export.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/MultiLineTextBox.h"
#include "platform/TextBox.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <memory>

using testsupport::ScriptedFileDialogs;

namespace {

struct Member {
    QString last, first, occupation, mobile;
};

// A member list laid out as the organiser's and the message window's.
std::unique_ptr<rt::ListView> memberList(const QList<Member>& members)
{
    auto list = std::make_unique<rt::ListView>();
    for (int c = 0; c < 4; ++c)
        list->AddColumn(QStringLiteral("c%1").arg(c));
    for (const Member& m : members) {
        rt::ListItem item = list->ListItems().Add(QString(), m.last);
        item.setSubItems(1, m.first);
        item.setSubItems(2, m.occupation);
        item.setSubItems(3, m.mobile);
    }
    return list;
}

const QList<Member> sample = {
    {QStringLiteral("Παπαδόπουλος"), QStringLiteral("Νίκος"), QStringLiteral("Γιατρός"),
     QStringLiteral("6944111111")},
    {QStringLiteral("Ζήσης"), QStringLiteral("Ελευθερία"), QString(), QStringLiteral("6977")},
};

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

using testsupport::exec;

class tst_frmmember_export : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    frmMember_Export& prepared(const QList<Member>& members = sample)
    {
        const auto list = memberList(members);
        frmMember_Export& dialog = rt::Forms::get<frmMember_Export>();
        dialog.ExportMembers(list.get());
        return dialog;
    }

private slots:
    void init() { QVERIFY2(m_fx.start({.fileDialogs = true}), qPrintable(m_fx.error())); }
    void cleanup() { m_fx.stop(); }

    void opensWithEveryFieldPaddedAndCommas()
    {
        frmMember_Export& dialog = prepared();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Εξαγωγή Στοιχείων"));
        for (int i = 0; i < 4; ++i)
            QVERIFY(dialog.chkField(i)->isChecked());
        QVERIFY(dialog.optSeperator(0)->isChecked());
        QCOMPARE(dialog.optSeperator(0)->text(), QStringLiteral("Διαχωρισμός με κόμμα \",\""));
        QVERIFY(dialog.chkSpaces()->isChecked());
        QVERIFY(dialog.txtPreview()->Locked());
        // Surnames to 12, first names to 9, occupations to 7 characters.
        const QString expected = QStringLiteral("Παπαδόπουλος,Νίκος    ,Γιατρός,6944111111\r\n"
                                                "Ζήσης       ,Ελευθερία,       ,6977\r\n");
        QCOMPARE(dialog.ExportText(), expected);
        QCOMPARE(dialog.txtPreview()->Text(),
                 QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        dialog.show();
        dialog.grab().save(testsupport::picturePath(QStringLiteral("frmMember_Export.png")));
    }

    void settingsShapeTheLines_data()
    {
        QTest::addColumn<int>("seperator"); // option index
        QTest::addColumn<QString>("own");   // the custom separator's text
        QTest::addColumn<bool>("spaces");
        QTest::addColumn<QList<bool>>("fields");
        QTest::addColumn<QString>("expected");
        const QList<bool> all{true, true, true, true};
        QTest::newRow("tab, no padding")
            << 1 << QString() << false << all
            << QStringLiteral("Παπαδόπουλος\tΝίκος\tΓιατρός\t6944111111\r\n"
                              "Ζήσης\tΕλευθερία\t\t6977\r\n");
        QTest::newRow("own separator empty")
            << 2 << QString() << false << all
            << QStringLiteral("ΠαπαδόπουλοςΝίκοςΓιατρός6944111111\r\nΖήσηςΕλευθερία6977\r\n");
        QTest::newRow("own separator of two")
            << 2 << QStringLiteral("; ") << false << QList<bool>{true, false, false, true}
            << QStringLiteral("Παπαδόπουλος; 6944111111\r\nΖήσης; 6977\r\n");
        QTest::newRow("no mobile, no trailing separator")
            << 0 << QString() << true << QList<bool>{true, true, true, false}
            << QStringLiteral(
                   "Παπαδόπουλος,Νίκος    ,Γιατρός\r\nΖήσης       ,Ελευθερία,       \r\n");
        QTest::newRow("own text while comma chosen")
            << 0 << QStringLiteral("|") << false << QList<bool>{true, false, false, true}
            << QStringLiteral("Παπαδόπουλος,6944111111\r\nΖήσης,6977\r\n");
        QTest::newRow("no field at all")
            << 0 << QString() << true << QList<bool>{false, false, false, false}
            << QStringLiteral("\r\n\r\n");
    }
    void settingsShapeTheLines()
    {
        QFETCH(int, seperator);
        QFETCH(QString, own);
        QFETCH(bool, spaces);
        QFETCH(QList<bool>, fields);
        QFETCH(QString, expected);
        frmMember_Export& dialog = prepared();
        dialog.txtSeperator()->setText(own);
        dialog.optSeperator(seperator)->setChecked(true);
        dialog.chkSpaces()->setChecked(spaces);
        for (int i = 0; i < 4; ++i)
            dialog.chkField(i)->setChecked(fields[i]);
        QCOMPARE(dialog.ExportText(), expected);
        QCOMPARE(dialog.txtPreview()->Text(),
                 QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void nothingToExportWarnsAndUnloads()
    {
        prepared({});
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Export")));
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Δεν υπάρχουν στοιχεία για εξαγωγή."));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Exclamation));
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΕΞΑΓΩΓΗ ΣΤΟΙΧΕΙΩΝ"));

        m_fx.boxes().clear();
        rt::Forms::get<frmMember_Export>().ExportAllMembers(); // an empty members table
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Export")));
        QCOMPARE(m_fx.boxes().shown().size(), 1);
    }

    void allMembersBySurnameAndFirstName()
    {
        exec(QStringLiteral("INSERT INTO members (LastName, FirstName, Occupation, mobile_no) "
                            "VALUES ('Ζήσης', 'Άννα', NULL, '691'), ('αλεξίου', 'Νίκη', "
                            "'Μηχανικός', '692'), ('Ζήσης', 'Αλέξης', 'Ψαράς', NULL)"));
        frmMember_Export& dialog = rt::Forms::get<frmMember_Export>();
        dialog.ExportAllMembers();
        QVERIFY(mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Export")));
        QCOMPARE(dialog.RecordCount(), 3);
        dialog.chkSpaces()->setChecked(false);
        QCOMPARE(dialog.ExportText(), QStringLiteral("αλεξίου,Νίκη,Μηχανικός,692\r\n"
                                                     "Ζήσης,Αλέξης,Ψαράς,\r\n"
                                                     "Ζήσης,Άννα,,691\r\n"));
    }

    void exportWritesWindows1253AndAsksBeforeReplacing()
    {
        frmMember_Export& dialog = prepared();
        dialog.chkSpaces()->setChecked(false);
        const QString path = m_fx.folder().file(QStringLiteral("members.txt"));
        m_fx.files().answer(path);
        dialog.cmdExport()->click();
        QCOMPARE(m_fx.files().requests().size(), 1);
        const rt::FileDialogRequest asked = m_fx.files().requests().first();
        QCOMPARE(asked.kind, rt::FileDialogRequest::Save);
        QCOMPARE(asked.title, QStringLiteral("Εξαγωγή Στοιχείων"));
        QCOMPARE(asked.defaultExt, QStringLiteral("txt"));
        QVERIFY(m_fx.boxes().shown().isEmpty()); // no confirmation
        QCOMPARE(fileBytes(path), rt::cp1253::fromUnicode(dialog.ExportText()));
        QVERIFY(fileBytes(path).endsWith("6977\r\n"));
        QVERIFY(fileBytes(path).startsWith("\xD0\xE1\xF0")); // Π α π in Windows-1253

        // The second time the name exists: No asks for another name, Yes replaces.
        dialog.chkField(0)->setChecked(false);
        m_fx.files().answer(path);
        m_fx.files().answer(path);
        m_fx.boxes().answer(rt::mb::No);
        m_fx.boxes().answer(rt::mb::Yes);
        dialog.cmdExport()->click();
        QCOMPARE(m_fx.files().requests().size(), 3);
        QCOMPARE(m_fx.boxes().shown().size(), 2);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Το αρχείο με όνομα \"") + path +
                     QStringLiteral("\" υπάρχει στο δίσκο.\nΘέλετε να το αντικαταστήσετε;"));
        QCOMPARE(m_fx.boxes().shown().first().style, 68);
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΕΞΑΓΩΓΗ ΣΤΟΙΧΕΙΩΝ"));
        QCOMPARE(fileBytes(path), rt::cp1253::fromUnicode(dialog.ExportText()));
        QVERIFY(rt::Forms::find<frmMember_Export>()); // stays open
    }

    // Whatever the name of the file that is there, hidden (every name that begins with a
    // dot) or not, it is replaced only after Yes; No keeps its bytes and shows the save
    // dialog again (cancelled here). A name that differs in letter case alone is another
    // file on this system: it is written without a question and the other one stays.
    void anExistingFileIsReplacedOnlyAfterYes_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("answer"); // 0: no question wanted
        QTest::newRow("plain, No") << "members.txt"
                                   << "members.txt" << int(rt::mb::No);
        QTest::newRow("plain, Yes") << "members.txt"
                                    << "members.txt" << int(rt::mb::Yes);
        QTest::newRow("hidden, No") << ".hidden.txt"
                                    << ".hidden.txt" << int(rt::mb::No);
        QTest::newRow("hidden, Yes") << ".hidden.txt"
                                     << ".hidden.txt" << int(rt::mb::Yes);
        QTest::newRow("another letter case") << "Members.txt"
                                             << "members.txt" << 0;
    }
    void anExistingFileIsReplacedOnlyAfterYes()
    {
        QFETCH(QString, existing);
        QFETCH(QString, chosen);
        QFETCH(int, answer);
        frmMember_Export& dialog = prepared();
        const QString old = m_fx.folder().file(existing);
        const QString path = m_fx.folder().file(chosen);
        {
            QFile file(old);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write("keep"), 4);
        }
        m_fx.files().answer(path);
        m_fx.files().answer(std::nullopt); // the dialog again, after No
        if (answer != 0)
            m_fx.boxes().answer(answer);
        dialog.cmdExport()->click();

        QCOMPARE(m_fx.boxes().shown().size(), answer != 0 ? 1 : 0);
        if (answer != 0) {
            QCOMPARE(m_fx.boxes().shown().first().text,
                     QStringLiteral("Το αρχείο με όνομα \"") + path +
                         QStringLiteral("\" υπάρχει στο δίσκο.\nΘέλετε να το αντικαταστήσετε;"));
            QCOMPARE(m_fx.files().requests().size(), answer == rt::mb::No ? 2 : 1);
        }
        const QByteArray written = rt::cp1253::fromUnicode(dialog.ExportText());
        QCOMPARE(fileBytes(path), answer == rt::mb::No ? QByteArray("keep") : written);
        if (old != path)
            QCOMPARE(fileBytes(old), QByteArray("keep"));
    }

    void cancelledFileDialogWritesNothing()
    {
        frmMember_Export& dialog = prepared();
        m_fx.files().answer(std::nullopt);
        dialog.cmdExport()->click();
        QVERIFY(m_fx.boxes().shown().isEmpty());
        QVERIFY(rt::Forms::find<frmMember_Export>());
        QVERIFY(QDir(m_fx.folder().path()).entryList({QStringLiteral("*.txt")}).isEmpty());
    }

    // Names put into the database by another program may hold characters the code page
    // lacks: the file holds "?" for each, and the preview shows the same text, its
    // columns where the file's stand.
    void previewShowsWhatTheFileHolds_data()
    {
        QTest::addColumn<QString>("last");
        QTest::newRow("Cyrillic") << QStringLiteral("Иванова");
        QTest::newRow("sharp s") << QStringLiteral("Groß");
        QTest::newRow("emoji") << QStringLiteral("Ζ\U0001F600Ζ");
    }
    void previewShowsWhatTheFileHolds()
    {
        QFETCH(QString, last);
        frmMember_Export& dialog = prepared(
            {{last, QStringLiteral("Άννα"), QStringLiteral("Γιατρός"), QStringLiteral("6944")},
             {QStringLiteral("Παπαδόπουλος"), QStringLiteral("Ελευθερία"), QString(),
              QStringLiteral("6977")}});
        const QString path = m_fx.folder().file(QStringLiteral("members.txt"));
        m_fx.files().answer(path);
        dialog.cmdExport()->click();
        const QByteArray bytes = fileBytes(path);
        QVERIFY(bytes.contains('?'));
        QCOMPARE(dialog.txtPreview()->Text(), rt::cp1253::toUnicode(bytes).replace(
                                                  QStringLiteral("\r\n"), QStringLiteral("\n")));
        // Padded, the separators of both lines stand in the same columns.
        const QStringList lines = dialog.txtPreview()->Text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].indexOf(QLatin1Char(',')), lines[1].indexOf(QLatin1Char(',')));
        QCOMPARE(lines[0].lastIndexOf(QLatin1Char(',')), lines[1].lastIndexOf(QLatin1Char(',')));
    }

    // More records than the box shows: it opens on the first ones, the caret at the start,
    // and stays there when a setting rebuilds it.
    void previewOpensAtItsFirstRecord()
    {
        QList<Member> many;
        for (int i = 1; i <= 200; ++i)
            many.append({QStringLiteral("Μέλος %1").arg(i), QStringLiteral("Όνομα"), QString(),
                         QStringLiteral("69%1").arg(i)});
        frmMember_Export& dialog = prepared(many);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        rt::MultiLineTextBox* preview = dialog.txtPreview();
        QVERIFY(preview->verticalScrollBar()->maximum() > 0);
        QCOMPARE(preview->verticalScrollBar()->value(), 0);
        QCOMPARE(preview->SelStart(), 0);
        QCOMPARE(preview->cursorForPosition(QPoint(1, 1)).blockNumber(), 0);
        dialog.chkSpaces()->setChecked(false);
        QCOMPARE(preview->verticalScrollBar()->value(), 0);
        QCOMPARE(preview->SelStart(), 0);
        dialog.grab().save(testsupport::picturePath(QStringLiteral("frmMember_Export-many.png")));
    }

    void escapeCloses()
    {
        frmMember_Export& dialog = prepared();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.txtSeperator()->setFocus();
        QTest::keyClick(dialog.txtSeperator(), Qt::Key_Escape);
        QVERIFY(!rt::Forms::find<frmMember_Export>());
    }
};

QTEST_MAIN(tst_frmmember_export)
#include "tst_frmmember_export.moc"
