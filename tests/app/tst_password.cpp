#include "app/PasswordField.h"
#include "app/frmGetUserData.h"
#include "app/mdlSettings.h"
#include "platform/PropertyBag.h"
#include "platform/TextBox.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

void type(QWidget* w, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

rt::TextBox* maskOf(PasswordField& field) {
    return field.findChild<rt::TextBox*>(QStringLiteral("txtMask"));
}

const QString wrongPassword = QStringLiteral("Ο κωδικός που δώσατε δεν είναι σωστός.\n");

} // namespace

class tst_password : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { rt::Forms::discardAll(); }

    void mask_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("mask");
        QTest::newRow("empty") << 0 << QString();
        QTest::newRow("3") << 3 << QStringLiteral("No ");
        QTest::newRow("9") << 9 << QStringLiteral("No no no!");
        QTest::newRow("12") << 12 << QStringLiteral("No no no!___");
    }
    void mask() {
        QFETCH(int, length);
        QFETCH(QString, mask);
        PasswordField field;
        QSignalSpy changes(&field, &PasswordField::Change);
        field.setText(QString(length, QChar(0x3C9)));
        QCOMPARE(field.ReplacePassword(), mask);
        QCOMPARE(maskOf(field)->Text(), mask);
        QCOMPARE(field.Text(), QString(length, QChar(0x3C9)));
        QCOMPARE(changes.count(), 0);
    }

    void typingEditsTheRealText() {
        PasswordField field;
        rt::TextBox* box = maskOf(field);
        QSignalSpy changes(&field, &PasswordField::Change);
        type(box, QStringLiteral("κωδ"));
        QCOMPARE(box->Text(), QStringLiteral("No "));
        QCOMPARE(field.Text(), QStringLiteral("κωδ"));
        QCOMPARE(changes.count(), 3);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->Text(), QStringLiteral("No"));
        QCOMPARE(field.Text(), QStringLiteral("κω"));
    }

    void editingInsideKeepsTheCaret() {
        PasswordField field;
        rt::TextBox* box = maskOf(field);
        type(box, QStringLiteral("abcd"));
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(field.Text(), QStringLiteral("acd"));
        type(box, QStringLiteral("X"));
        QCOMPARE(field.Text(), QStringLiteral("aXcd"));
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(field.Text(), QStringLiteral("aXd"));
        QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
        type(box, QStringLiteral("Z"));
        QCOMPARE(field.Text(), QStringLiteral("Zd"));
        QCOMPARE(box->Text(), QStringLiteral("No"));
    }

    // The real text is in the box only while a key changes it: a key that changes
    // nothing must not leave it on the screen.
    void keysThatChangeNothingKeepTheMask() {
        PasswordField field;
        rt::TextBox* box = maskOf(field);
        type(box, QStringLiteral("secret"));
        QTest::keyClick(box, Qt::Key_Left);
        QCOMPARE(box->Text(), QStringLiteral("No no "));
        QTest::keyClick(box, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(box->Text(), QStringLiteral("No no "));
        connect(&field, &PasswordField::KeyPress, &field, [](int& KeyAscii) { KeyAscii = 0; });
        type(box, QStringLiteral("x"));
        QCOMPARE(box->Text(), QStringLiteral("No no "));
        QCOMPARE(field.Text(), QStringLiteral("secret"));
    }

    void pasteGoesIntoTheRealText() {
        PasswordField field;
        rt::TextBox* box = maskOf(field);
        QApplication::clipboard()->setText(QStringLiteral("Πq"));
        type(box, QStringLiteral("ab"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field.Text(), QStringLiteral("abΠq"));
        QCOMPARE(box->Text(), QStringLiteral("No n"));
    }

    void eventsPassThrough() {
        PasswordField field;
        rt::TextBox* box = maskOf(field);
        QList<int> downs;
        connect(&field, &PasswordField::KeyDown, &field,
                [&](int& KeyCode, int) { downs.append(KeyCode); });
        // A handler may change the typed character.
        connect(&field, &PasswordField::KeyPress, &field, [](int& KeyAscii) {
            if (KeyAscii == 'a')
                KeyAscii = 'b';
        });
        type(box, QStringLiteral("a"));
        QCOMPARE(field.Text(), QStringLiteral("b"));
        QCOMPARE(downs, QList<int>{65});

        QSignalSpy mouseDown(&field, &PasswordField::MouseDown);
        QSignalSpy clicks(&field, &PasswordField::Click);
        field.resize(200, 24);
        QTest::mouseClick(box, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 5));
        QCOMPARE(mouseDown.count(), 1);
        QCOMPARE(mouseDown.first().at(0).toInt(), 1);
        QCOMPARE(mouseDown.first().at(1).toInt(), 1);
        QCOMPARE(mouseDown.first().at(2).toFloat(), 150.0f);
        QCOMPARE(clicks.count(), 1);
    }

    void savedProperties() {
        PasswordField field;
        rt::PropertyBag bag;
        field.setText(QStringLiteral("never saved"));
        field.WriteProperties(bag);
        QVERIFY(bag.isEmpty());

        QSignalSpy changed(&field, &PasswordField::PropertyChanged);
        field.setEnabled(false);
        field.setLocked(true);
        field.setToolTipText(QStringLiteral("Ο κωδικός σας"));
        QCOMPARE(changed.count(), 3);
        field.WriteProperties(bag);
        QCOMPARE(bag.names(), (QStringList{QStringLiteral("Enabled"), QStringLiteral("Locked"),
                                           QStringLiteral("ToolTipText")}));

        PasswordField copy;
        copy.ReadProperties(bag);
        QVERIFY(!copy.Enabled());
        QVERIFY(copy.Locked());
        QCOMPARE(copy.ToolTipText(), QStringLiteral("Ο κωδικός σας"));
        QVERIFY(copy.Text().isEmpty());
    }

    void prompt_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("finish"); // "ok", "enter", "cancel", "escape"
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("box");
        QTest::newRow("right") << QStringLiteral("Κωδ1") << QStringLiteral("Κωδ1")
                               << QStringLiteral("ok") << 1 << false;
        QTest::newRow("right by Enter") << QStringLiteral("pw") << QStringLiteral("pw")
                                        << QStringLiteral("enter") << 1 << false;
        QTest::newRow("both empty") << QString() << QString() << QStringLiteral("ok") << 1 << false;
        QTest::newRow("wrong") << QStringLiteral("pw") << QStringLiteral("px")
                               << QStringLiteral("ok") << -1 << true;
        QTest::newRow("letter case counts") << QStringLiteral("κωδ") << QStringLiteral("Κωδ")
                                            << QStringLiteral("enter") << -1 << true;
        QTest::newRow("cancel") << QStringLiteral("pw") << QStringLiteral("pw")
                                << QStringLiteral("cancel") << 0 << false;
        QTest::newRow("escape") << QStringLiteral("pw") << QStringLiteral("pw")
                                << QStringLiteral("escape") << 0 << false;
    }
    void prompt() {
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(QString, finish);
        QFETCH(int, result);
        QFETCH(bool, box);
        testsupport::ScriptedMessageBoxes boxes;
        testsupport::ModalScript modal;
        mdlSettings::Password = password;
        mdlSettings::LoginResult = 7;
        bool visibleUnderBox = true;
        boxes.onShow([&](const testsupport::ShownBox&) {
            frmGetUserData* prompt = rt::Forms::find<frmGetUserData>();
            visibleUnderBox = prompt && prompt->isVisible();
        });
        modal.then([&](rt::Form& form) {
            auto& prompt = static_cast<frmGetUserData&>(form);
            QCOMPARE(mdlSettings::LoginResult, 0);
            rt::TextBox* inner = maskOf(*prompt.txtPassword);
            type(inner, typed);
            if (finish == QLatin1String("ok"))
                prompt.cmdOK->click();
            else if (finish == QLatin1String("cancel"))
                prompt.cmdCancel->click();
            else if (finish == QLatin1String("enter"))
                QTest::keyClick(inner, Qt::Key_Return);
            else
                QTest::keyClick(inner, Qt::Key_Escape);
        });
        rt::Forms::showModal(rt::Forms::get<frmGetUserData>());
        QCOMPARE(modal.shownNames(), QStringList{QStringLiteral("frmGetUserData")});
        QCOMPARE(mdlSettings::LoginResult, result);
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmGetUserData")));
        if (box) {
            QCOMPARE(boxes.shown().size(), 1);
            QCOMPARE(boxes.shown().first().text, wrongPassword);
            QCOMPARE(boxes.shown().first().style, 16);
            QVERIFY(!visibleUnderBox);
        } else {
            QVERIFY(boxes.shown().isEmpty());
        }
    }

    void promptTexts() {
        frmGetUserData& prompt = rt::Forms::get<frmGetUserData>();
        QCOMPARE(prompt.windowTitle(), QStringLiteral("Ασφάλεια Προγράμματος"));
        QCOMPARE(prompt.cmdOK->text(), QStringLiteral("ΟΚ"));
        QCOMPARE(prompt.cmdOK->text().at(0).unicode(), char16_t(0x039F)); // Greek Omicron
        QCOMPARE(prompt.cmdCancel->text(), QStringLiteral("Άκυρο"));
        QVERIFY(prompt.KeyPreview());
    }
};

QTEST_MAIN(tst_password)
#include "tst_password.moc"
