#include "addressbook/PhoneField.h"
#include "platform/KeyInput.h"
#include "platform/PropertyBag.h"
#include "platform/TextBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

void type(QWidget* w, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class tst_phonefield : public QObject {
    Q_OBJECT

private slots:
    void onlyDigitsAreTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("digits") << "6912345678"
                                << "6912345678";
        QTest::newRow("a letter between digits") << "69a12"
                                                 << "6912";
        QTest::newRow("plus sign and blanks") << "+30 69 1"
                                              << "30691";
        QTest::newRow("Greek letters") << "6Ωα9"
                                       << "69";
        QTest::newRow("superscript two is no digit") << "1²2"
                                                     << "12";
    }
    void onlyDigitsAreTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        PhoneField field;
        type(field.box(), typed);
        QCOMPARE(field.Text(), text);
    }

    void editingKeysStillWork()
    {
        PhoneField field;
        type(field.box(), QStringLiteral("69123"));
        QTest::keyClick(field.box(), Qt::Key_Backspace);
        QCOMPARE(field.Text(), QStringLiteral("6912"));
        QTest::keyClick(field.box(), Qt::Key_Home);
        QTest::keyClick(field.box(), Qt::Key_Delete);
        QCOMPARE(field.Text(), QStringLiteral("912"));
        QTest::keyClick(field.box(), Qt::Key_Right);
        type(field.box(), QStringLiteral("0"));
        QTest::keyClick(field.box(), Qt::Key_End);
        type(field.box(), QStringLiteral("5"));
        QCOMPARE(field.Text(), QStringLiteral("90125"));
    }

    void hostSeesEnterFirstButEnterNeverTypes()
    {
        PhoneField field;
        QList<int> seen;
        connect(&field, &PhoneField::KeyPress, &field, [&seen](int& a) { seen.append(a); });
        type(field.box(), QStringLiteral("1"));
        QTest::keyClick(field.box(), Qt::Key_Return);
        QCOMPARE(seen, (QList<int>{'1', 13}));
        QCOMPARE(field.Text(), QStringLiteral("1"));
    }

    void hostMayChangeOrDropFirst()
    {
        PhoneField field;
        connect(&field, &PhoneField::KeyPress, &field, [](int& a) {
            if (a == '5')
                a = 0;
            else if (a == 'x')
                a = '7';
            else if (a == '2')
                a = 'z';
        });
        type(field.box(), QStringLiteral("15x2"));
        QCOMPARE(field.Text(), QStringLiteral("17"));
    }

    void clipboardShortcutsAreDropped()
    {
        QApplication::clipboard()->setText(QStringLiteral("6944"));
        PhoneField field;
        field.setText(QStringLiteral("210"));
        QTest::keyClick(field.box(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field.Text(), QStringLiteral("210"));
        field.box()->selectAll();
        QTest::keyClick(field.box(), Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(field.box(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(field.Text(), QStringLiteral("210"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("6944"));
    }

    void contextMenuPasteIsNotFiltered()
    {
        QApplication::clipboard()->setText(QStringLiteral("+30 69"));
        PhoneField field;
        std::unique_ptr<QMenu> menu(field.box()->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QLatin1String("&Paste")))
                action->trigger();
        }
        QCOMPARE(field.Text(), QStringLiteral("+30 69"));
    }

    void textByCodeIsTakenAsItIs()
    {
        PhoneField field;
        QSignalSpy changes(&field, &PhoneField::Change);
        QSignalSpy announced(&field, &PhoneField::PropertyChanged);
        field.setText(QStringLiteral("abc 123"));
        QCOMPARE(field.Text(), QStringLiteral("abc 123"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(announced.count(), 1);
        QCOMPARE(announced.at(0).at(0).toString(), QStringLiteral("Text"));
    }

    void setSelection()
    {
        PhoneField field;
        field.setText(QStringLiteral("6912345"));
        field.SetSelection(2);
        QCOMPARE(field.box()->SelStart(), 2);
        QCOMPARE(field.box()->SelLength(), 0);
        field.SetSelection(1, 3);
        QCOMPARE(field.box()->SelText(), QStringLiteral("912"));
        field.SetSelection(4, 0);
        QCOMPARE(field.box()->SelStart(), 4);
        QCOMPARE(field.box()->SelLength(), 0);
    }

    void maximumLengthRefusesTheEleventhDigit()
    {
        PhoneField field;
        field.setMaxLength(10);
        type(field.box(), QStringLiteral("69123456789"));
        QCOMPARE(field.Text(), QStringLiteral("6912345678"));
    }

    void savedProperties()
    {
        PhoneField field;
        rt::PropertyBag bag;
        field.WriteProperties(bag);
        QVERIFY(bag.isEmpty());

        field.setLocked(true);
        field.setMaxLength(10);
        field.setToolTipText(QStringLiteral("Κινητό"));
        field.setEnabled(false);
        field.WriteProperties(bag);
        QCOMPARE(bag.names(),
                 (QStringList{QStringLiteral("Enabled"), QStringLiteral("Locked"),
                              QStringLiteral("MaxLength"), QStringLiteral("ToolTipText")}));

        PhoneField loaded;
        loaded.ReadProperties(bag);
        QVERIFY(!loaded.Enabled());
        QVERIFY(loaded.Locked());
        QCOMPARE(loaded.MaxLength(), 10);
        QCOMPARE(loaded.ToolTipText(), QStringLiteral("Κινητό"));
        QCOMPARE(loaded.Text(), QString());
    }
};

QTEST_MAIN(tst_phonefield)
#include "tst_phonefield.moc"
