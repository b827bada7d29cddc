#include "compose/MessageEditor.h"
#include "platform/AxButton.h"
#include "platform/MultiLineTextBox.h"
#include "platform/TextBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

// The message alphabet as the message window hands it over.
QString validSymbols()
{
    QString s(QLatin1Char(' '));
    for (char16_t c :
         {0x40, 0x3B, 0x3A, 0x2C, 0x2E, 0x21, 0x3F, 0x28, 0x29, 0x27, 0x2B, 0x3D, 0x2D, 0x2A, 0x3C,
          0x3E, 0x5C, 0x7E, 0x22, 0xA4, 0x23, 0xA7, 0xA6, 0xA5, 0xA3, 0x24, 0x25, 0x26, 0x5F, 0x2F})
        s.append(QChar(c));
    for (char16_t c = '0'; c <= '9'; ++c)
        s.append(QChar(c));
    for (char16_t c = 'A'; c <= 'Z'; ++c)
        s.append(QChar(c));
    for (char16_t c = 'a'; c <= 'z'; ++c)
        s.append(QChar(c));
    for (char16_t c = 0x391; c <= 0x3A9; ++c) {
        if (c != 0x3A2)
            s.append(QChar(c));
    }
    return s;
}

void type(QWidget* w, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

struct Parts {
    explicit Parts(MessageEditor& editor)
        : button(editor.findChild<rt::AxButton*>(QStringLiteral("btnTitle"))),
          picTitle(editor.findChild<QWidget*>(QStringLiteral("picTitle"))),
          title(editor.findChild<rt::TextBox*>(QStringLiteral("msgTitle"))),
          text(editor.findChild<rt::MultiLineTextBox*>(QStringLiteral("MsgText"))),
          normal(editor.findChild<QRadioButton*>(QStringLiteral("optMsgType_0"))),
          flash(editor.findChild<QRadioButton*>(QStringLiteral("optMsgType_1")))
    {
    }
    rt::AxButton* button;
    QWidget* picTitle;
    rt::TextBox* title;
    rt::MultiLineTextBox* text;
    QRadioButton* normal;
    QRadioButton* flash;
};

void pasteFromContextMenu(rt::MultiLineTextBox* box)
{
    std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste"))
            action->trigger();
    }
}

} // namespace

class tst_messageeditor : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MessageEditor> m_editor;

    Parts open()
    {
        m_editor = std::make_unique<MessageEditor>(QStringLiteral("Message"), nullptr);
        m_editor->resize(420, 220);
        m_editor->show();
        m_editor->setValidSymbols(validSymbols());
        Parts parts(*m_editor);
        Q_ASSERT(parts.button && parts.picTitle && parts.title && parts.text && parts.normal &&
                 parts.flash);
        return parts;
    }

private slots:
    void cleanup() { m_editor.reset(); }

    void theAlphabetHasItsSize() { QCOMPARE(validSymbols().size(), 117); }

    void typedCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("Greek omicron becomes the Latin O") << "Ο"
                                                           << "O";
        QTest::newRow("all look-alikes become Latin") << "ΑΒΕΖΗΙΚΜΝΟΡΤΥΧ"
                                                      << "ABEZHIKMNOPTYX";
        QTest::newRow("the other Greek capitals stay") << "ΓΔΘΛΞΠΣΦΨΩ"
                                                       << "ΓΔΘΛΞΠΣΦΨΩ";
        QTest::newRow("small omega is dropped") << "ω"
                                                << "";
        QTest::newRow("small alpha with accent is dropped") << "ά"
                                                            << "";
        QTest::newRow("accented capital is dropped") << "ΆΈ"
                                                     << "";
        QTest::newRow("final sigma is dropped") << "ς"
                                                << "";
        QTest::newRow("Latin, digits, blank") << "Hi 2 u"
                                              << "Hi 2 u";
        QTest::newRow("quote, backslash and the set's symbols") << "\"\\¤§¦¥£~"
                                                                << "\"\\¤§¦¥£~";
        QTest::newRow("vertical line is not in the set") << "a|b"
                                                         << "ab";
        QTest::newRow("euro sign is not in the set") << "€5"
                                                     << "5";
        QTest::newRow("line feed as a character") << "a\nb"
                                                  << "ab";
    }
    void typedCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        Parts p = open();
        type(p.text, typed);
        QCOMPARE(m_editor->Text(), text);
    }

    void controlKeysAreDropped_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier);
    }
    void controlKeysAreDropped()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Parts p = open();
        QApplication::clipboard()->setText(QStringLiteral("PASTED"));
        m_editor->setText(QStringLiteral("AB"));
        p.text->selectAll();
        QTest::keyClick(p.text, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_editor->Text(), QStringLiteral("AB"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("PASTED"));
    }

    void backspacePassesEvenWithoutSymbols()
    {
        Parts p = open();
        m_editor->setValidSymbols(QString());
        m_editor->setText(QStringLiteral("AB"));
        type(p.text, QStringLiteral("C 1"));
        QCOMPARE(m_editor->Text(), QStringLiteral("AB"));
        QTest::keyClick(p.text, Qt::Key_Backspace);
        QCOMPARE(m_editor->Text(), QStringLiteral("A"));
    }

    void theLimitOf160()
    {
        Parts p = open();
        QSignalSpy changes(m_editor.get(), &MessageEditor::MessageChange);
        m_editor->setText(QString(200, QLatin1Char('x')));
        QCOMPARE(m_editor->Text().size(), 160);
        QCOMPARE(changes.count(), 1);

        m_editor->setText(QString(158, QLatin1Char('x')));
        type(p.text, QStringLiteral("ΩΑB"));
        QCOMPARE(m_editor->Text(), QString(158, QLatin1Char('x')) + QStringLiteral("ΩA"));
        QCOMPARE(changes.count(), 4);

        // Paste and SendCharacter put in what fits, without the character rule.
        m_editor->setText(QString(150, QLatin1Char('x')));
        QApplication::clipboard()->setText(QStringLiteral("αβγδεζηθικλμνξοπρστυ"));
        pasteFromContextMenu(p.text);
        QCOMPARE(m_editor->Text(), QString(150, QLatin1Char('x')) + QStringLiteral("αβγδεζηθικ"));
        m_editor->SendCharacter(QStringLiteral("|"));
        QCOMPARE(m_editor->Text().size(), 160);
        QVERIFY(!m_editor->Text().contains(QLatin1Char('|')));
    }

    void sendCharacterAndTextTakeAnyCharacter()
    {
        Parts p = open();
        QSignalSpy changes(m_editor.get(), &MessageEditor::MessageChange);
        m_editor->setText(QStringLiteral("καλημέρα"));
        QCOMPARE(m_editor->Text(), QStringLiteral("καλημέρα"));
        m_editor->SendCharacter(QStringLiteral("\n"));
        m_editor->SendCharacter(QStringLiteral("|"));
        QCOMPARE(m_editor->Text(), QStringLiteral("καλημέρα\n|"));
        p.text->setSelStart(0);
        p.text->setSelLength(4);
        m_editor->SendCharacter(QStringLiteral("Ω"));
        QCOMPARE(m_editor->Text(), QStringLiteral("Ωμέρα\n|"));
        QCOMPARE(changes.count(), 4);
    }

    void enterCommitsTheTitle()
    {
        Parts p = open();
        QSignalSpy titleChanges(m_editor.get(), &MessageEditor::TitleChange);
        QTest::mouseClick(p.button, Qt::LeftButton);
        QVERIFY(!p.picTitle->isHidden());
        QCOMPARE(p.title->SelText(), QStringLiteral("Νέο Μήνυμα"));
        type(p.title, QStringLiteral("Γιορτή"));
        QCOMPARE(titleChanges.count(), 6);
        QTest::keyClick(p.title, Qt::Key_Return);
        QVERIFY(p.picTitle->isHidden());
        QCOMPARE(m_editor->Title(), QStringLiteral("Γιορτή"));
        QCOMPARE(p.button->Caption(), QStringLiteral("ΜΗΝΥΜΑ (Γιορτή)"));
        QCOMPARE(titleChanges.count(), 7);

        // A blank title leaves the parentheses empty.
        QTest::mouseClick(p.button, Qt::LeftButton);
        QTest::keyClick(p.title, Qt::Key_Delete);
        QTest::keyClick(p.title, Qt::Key_Return);
        QCOMPARE(p.button->Caption(), QStringLiteral("ΜΗΝΥΜΑ ()"));
    }

    void escapeRestoresTheTitle()
    {
        Parts p = open();
        m_editor->setTitle(QStringLiteral("Πρώτο"));
        const QString shown = p.button->Caption();
        QTest::mouseClick(p.button, Qt::LeftButton);
        type(p.title, QStringLiteral("Άλλο"));
        QTest::keyClick(p.title, Qt::Key_Escape);
        QVERIFY(p.picTitle->isHidden());
        QCOMPARE(m_editor->Title(), QStringLiteral("Πρώτο"));
        QCOMPARE(p.button->Caption(), shown);
    }

    void aClickIntoTheTextCommits_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("a title") << " Νέα "
                                 << "ΜΗΝΥΜΑ ( Νέα )";
        QTest::newRow("empty") << ""
                               << "ΜΗΝΥΜΑ (Χωρίς Τίτλο)";
        QTest::newRow("blanks only") << "   "
                                     << "ΜΗΝΥΜΑ (Χωρίς Τίτλο)";
    }
    void aClickIntoTheTextCommits()
    {
        QFETCH(QString, title);
        QFETCH(QString, caption);
        Parts p = open();
        QTest::mouseClick(p.button, Qt::LeftButton);
        p.title->setText(title);
        QSignalSpy titleChanges(m_editor.get(), &MessageEditor::TitleChange);
        QTest::mouseClick(p.text->viewport(), Qt::LeftButton);
        QVERIFY(p.picTitle->isHidden());
        QCOMPARE(p.button->Caption(), caption);
        QCOMPARE(m_editor->Title(), title);
        QCOMPARE(titleChanges.count(), 1);

        // With the editor closed a click changes nothing.
        QTest::mouseClick(p.text->viewport(), Qt::LeftButton);
        QCOMPARE(titleChanges.count(), 1);
    }

    void aSecondClickClosesWithoutCommitting()
    {
        Parts p = open();
        QTest::mouseClick(p.button, Qt::LeftButton);
        type(p.title, QStringLiteral("Νέος"));
        QTest::mouseClick(p.button, Qt::LeftButton);
        QVERIFY(p.picTitle->isHidden());
        QCOMPARE(p.button->Caption(), QStringLiteral("ΜΗΝΥΜΑ"));
        QCOMPARE(m_editor->Title(), QStringLiteral("Νέος"));
    }

    void titlePropertyWritesTheLatinPrefix()
    {
        Parts p = open();
        QSignalSpy announced(m_editor.get(), &MessageEditor::PropertyChanged);
        m_editor->setTitle(QStringLiteral("Δοκιμή"));
        QCOMPARE(p.button->Caption(),
                 QString(QLatin1String("MHNYMA (")) + QStringLiteral("Δοκιμή)"));
        QVERIFY(p.button->Caption() != QStringLiteral("ΜΗΝΥΜΑ (Δοκιμή)"));
        QCOMPARE(announced.count(), 1);
        QCOMPARE(announced.at(0).at(0).toString(), QStringLiteral("Title"));
        // The title box holds at most 50 characters.
        QTest::mouseClick(p.button, Qt::LeftButton);
        type(p.title, QString(60, QLatin1Char('t')));
        QCOMPARE(m_editor->Title().size(), 50);
    }

    void flashOption()
    {
        Parts p = open();
        QVERIFY(!m_editor->Flash());
        QVERIFY(p.normal->isChecked());
        m_editor->setFlash(true);
        QVERIFY(m_editor->Flash());
        QVERIFY(!p.normal->isChecked());
        m_editor->setFlash(false);
        QVERIFY(!m_editor->Flash());
        QVERIFY(!p.normal->isChecked());
        QVERIFY(!p.flash->isChecked());
    }
};

QTEST_MAIN(tst_messageeditor)
#include "tst_messageeditor.moc"
