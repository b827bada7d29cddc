#include "platform/AxButton.h"
#include "platform/Form.h"
#include "platform/KeyInput.h"
#include "platform/MonthView.h"
#include "platform/MultiLineTextBox.h"
#include "platform/TextBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStringList>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

namespace {

// Greek cannot go through QTest::keyClicks on this toolkit: one event per character.
void type(QWidget* w, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void ctrl(QWidget* w, Qt::Key key)
{
    QTest::keyClick(w, key, Qt::ControlModifier);
}

QStringList* journal = nullptr;

void note(const QString& line)
{
    if (journal)
        journal->append(line);
}

// A form that previews keys, writes what it sees and drops what it is told to.
class frmKeys : public rt::Form {
public:
    frmKeys() : rt::Form(QStringLiteral("frmKeys"))
    {
        auto* layout = new QVBoxLayout(this);
        for (int i = 0; i < 3; ++i) {
            boxes[i] = new rt::TextBox(QStringLiteral("Text_%1").arg(i), this);
            layout->addWidget(boxes[i]);
        }
        check = new QCheckBox(QStringLiteral("Επιλογή"), this);
        layout->addWidget(check);
    }
    void Form_KeyDown(int& KeyCode, int Shift) override
    {
        note(QStringLiteral("form down %1 %2").arg(KeyCode).arg(Shift));
        swallow = false;
        if (KeyCode == rt::key::Return && enterMovesOn) {
            swallow = true;
            rt::SendTab();
        }
    }
    void Form_KeyPress(int& KeyAscii) override
    {
        note(QStringLiteral("form press %1").arg(KeyAscii));
        if (swallow || KeyAscii == dropAscii)
            KeyAscii = 0;
    }
    void Form_KeyUp(int& KeyCode, int Shift) override
    {
        note(QStringLiteral("form up %1 %2").arg(KeyCode).arg(Shift));
    }

    rt::TextBox* boxes[3] = {};
    QCheckBox* check = nullptr;
    int dropAscii = -1;
    bool swallow = false;
    bool enterMovesOn = false;
};

// A control that is no Qt button and offers its press only through its meta-object, as
// the control library's buttons do (the key layer does not link that library).
class MetaClickControl : public QWidget {
    Q_OBJECT

public:
    explicit MetaClickControl(QWidget* parent) : QWidget(parent)
    {
        setFocusPolicy(Qt::StrongFocus);
    }
    Q_INVOKABLE void click() { ++clicks; }

    int clicks = 0;
};

// A form with one control of every kind that can hold the focus and be clicked.
class frmButtons : public rt::Form {
public:
    frmButtons() : rt::Form(QStringLiteral("frmButtons"))
    {
        setKeyPreview(true);
        auto* layout = new QVBoxLayout(this);
        auto* push = new QPushButton(QStringLiteral("OK"), this);
        auto* tool = new QToolButton(this);
        tool->setText(QStringLiteral("Εργαλείο"));
        tool->setFocusPolicy(Qt::StrongFocus);
        auto* program = new rt::AxButton(QStringLiteral("cmdClose"), this);
        program->setCaption(QStringLiteral("X"));
        connect(program, &rt::AxButton::Click, this,
                [this] { ++clicks[QStringLiteral("axButton")]; });
        auto* check = new QCheckBox(QStringLiteral("Επιλογή"), this);
        auto* option = new QRadioButton(QStringLiteral("Κανονικό"), this);
        meta = new MetaClickControl(this);
        controls = {
            {QStringLiteral("push button"), push},     {QStringLiteral("tool button"), tool},
            {QStringLiteral("axButton"), program},     {QStringLiteral("check box"), check},
            {QStringLiteral("option button"), option}, {QStringLiteral("meta-object click"), meta}};
        for (auto* button : std::initializer_list<QAbstractButton*>{push, tool, check, option}) {
            const QString kind = controls.key(button);
            connect(button, &QAbstractButton::clicked, this, [this, kind] { ++clicks[kind]; });
        }
        for (QWidget* w : controls)
            layout->addWidget(w);
    }
    void Form_KeyDown(int& KeyCode, int Shift) override
    {
        Q_UNUSED(Shift);
        if (KeyCode == rt::key::Return) {
            ++entersSeen;
            if (takesEnter)
                KeyCode = 0;
        }
    }

    int pressesOf(const QString& kind) const
    {
        return kind == QLatin1String("meta-object click") ? meta->clicks : clicks.value(kind);
    }

    QMap<QString, QWidget*> controls;
    QMap<QString, int> clicks;
    MetaClickControl* meta = nullptr;
    bool takesEnter = false;
    int entersSeen = 0;
};

// A form whose key preview closes it on Escape, with a calendar.
class frmCalendar : public rt::Form {
public:
    frmCalendar() : rt::Form(QStringLiteral("frmCalendar"))
    {
        setKeyPreview(true);
        auto* layout = new QVBoxLayout(this);
        calendar = new rt::MonthView(QStringLiteral("SendDate"), this);
        layout->addWidget(calendar);
    }
    void Form_KeyDown(int& KeyCode, int Shift) override
    {
        note(QStringLiteral("form down %1 %2").arg(KeyCode).arg(Shift));
        if (KeyCode == rt::key::Escape)
            rt::Forms::unload(this);
    }

    rt::MonthView* calendar = nullptr;
};

bool showActive(QWidget& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// Keys go where real keys go: to the widget that has the focus.
void pressOnFocus(int key)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
}

template <class Box> void journalBox(Box* box)
{
    QObject::connect(box, &Box::KeyDown, box, [](int& code, int shift) {
        note(QStringLiteral("box down %1 %2").arg(code).arg(shift));
    });
    QObject::connect(box, &Box::KeyPress, box,
                     [](int& a) { note(QStringLiteral("box press %1").arg(a)); });
    QObject::connect(box, &Box::KeyUp, box, [](int& code, int shift) {
        note(QStringLiteral("box up %1 %2").arg(code).arg(shift));
    });
}

QAction* contextPaste(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        // The line edit's actions carry no object names on this toolkit.
        if (action->objectName() == QLatin1String("edit-paste") ||
            action->text().startsWith(QLatin1String("&Paste")))
            return action;
    }
    return nullptr;
}

} // namespace

class tst_keyinput : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_journal.clear();
        journal = &m_journal;
    }
    void cleanup()
    {
        journal = nullptr;
        rt::Forms::discardAll();
    }

    void codesOfKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QList<int>>("typed");
        const int none = Qt::NoModifier;
        const int sh = Qt::ShiftModifier;
        const int ct = Qt::ControlModifier;
        const int al = Qt::AltModifier;
        const int kp = Qt::KeypadModifier;
        using L = QList<int>;
        QTest::newRow("a") << int(Qt::Key_A) << none << "a" << 65 << 0 << L{97};
        QTest::newRow("Shift+A") << int(Qt::Key_A) << sh << "A" << 65 << 1 << L{65};
        QTest::newRow("z") << int(Qt::Key_Z) << none << "z" << 90 << 0 << L{122};
        QTest::newRow("0") << int(Qt::Key_0) << none << "0" << 48 << 0 << L{48};
        QTest::newRow("9") << int(Qt::Key_9) << none << "9" << 57 << 0 << L{57};
        QTest::newRow("Shift+1 is the 1 key")
            << int(Qt::Key_Exclam) << sh << "!" << 49 << 1 << L{33};
        QTest::newRow("keypad 5") << int(Qt::Key_5) << kp << "5" << 101 << 0 << L{53};
        QTest::newRow("space") << int(Qt::Key_Space) << none << " " << 32 << 0 << L{32};
        QTest::newRow("Enter") << int(Qt::Key_Return) << none << "\r" << 13 << 0 << L{13};
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << kp << "\r" << 13 << 0 << L{13};
        QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b" << 27 << 0 << L{27};
        QTest::newRow("Tab") << int(Qt::Key_Tab) << none << "\t" << 9 << 0 << L{9};
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << 8 << 0 << L{8};
        QTest::newRow("Delete types nothing")
            << int(Qt::Key_Delete) << none << "\x7f" << 46 << 0 << L{};
        QTest::newRow("Left") << int(Qt::Key_Left) << none << "" << 37 << 0 << L{};
        QTest::newRow("Up") << int(Qt::Key_Up) << none << "" << 38 << 0 << L{};
        QTest::newRow("Right") << int(Qt::Key_Right) << none << "" << 39 << 0 << L{};
        QTest::newRow("Down") << int(Qt::Key_Down) << none << "" << 40 << 0 << L{};
        QTest::newRow("Home") << int(Qt::Key_Home) << none << "" << 36 << 0 << L{};
        QTest::newRow("End") << int(Qt::Key_End) << none << "" << 35 << 0 << L{};
        QTest::newRow("Insert") << int(Qt::Key_Insert) << none << "" << 45 << 0 << L{};
        QTest::newRow("F1") << int(Qt::Key_F1) << none << "" << 112 << 0 << L{};
        QTest::newRow("F12") << int(Qt::Key_F12) << none << "" << 123 << 0 << L{};
        QTest::newRow("Alt+F4") << int(Qt::Key_F4) << al << "" << 115 << 4 << L{};
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ct << "c" << 67 << 2 << L{3};
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ct << "\x16" << 86 << 2 << L{22};
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ct << "x" << 88 << 2 << L{24};
        QTest::newRow("Ctrl+Shift+V") << int(Qt::Key_V) << (ct | sh) << "V" << 86 << 3 << L{22};
        QTest::newRow("Ctrl+1 types nothing") << int(Qt::Key_1) << ct << "1" << 49 << 2 << L{};
        QTest::newRow("Ctrl+V on the Greek layout")
            << 0x3A9 << ct << QString(QChar(0x3C9)) << 86 << 2 << L{22};
        QTest::newRow("Greek alpha") << int(Qt::Key_unknown) << none << "α" << 65 << 0 << L{225};
        QTest::newRow("Greek capital omega")
            << int(Qt::Key_unknown) << none << "Ω" << 86 << 0 << L{217};
        QTest::newRow("accented alpha") << int(Qt::Key_unknown) << none << "ά" << 65 << 0 << L{220};
        QTest::newRow("final sigma") << int(Qt::Key_unknown) << none << "ς" << 87 << 0 << L{242};
        QTest::newRow("euro sign") << int(Qt::Key_unknown) << none << "€" << 0 << 0 << L{128};
        QTest::newRow("Cyrillic cannot be held")
            << int(Qt::Key_unknown) << none << "ж" << 0 << 0 << L{-1};
    }
    void codesOfKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(int, shift);
        QFETCH(QList<int>, typed);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QCOMPARE(rt::keys::keyCode(event), code);
        QCOMPARE(rt::keys::shiftState(event), shift);
        QCOMPARE(rt::keys::keyAsciis(event), typed);
    }

    void handlerDropsAndChangesCharacters()
    {
        rt::TextBox box;
        rt::MultiLineTextBox area;
        for (QWidget* w : {static_cast<QWidget*>(&box), static_cast<QWidget*>(&area)}) {
            auto rule = [](int& a) {
                if (a == 'a')
                    a = 0;
                else if (a == 'b')
                    a = 217; // Ω
            };
            if (w == &box)
                connect(&box, &rt::TextBox::KeyPress, &box, rule);
            else
                connect(&area, &rt::MultiLineTextBox::KeyPress, &area, rule);
            type(w, QStringLiteral("xaybzα"));
        }
        QCOMPARE(box.Text(), QStringLiteral("xyΩzα"));
        QCOMPARE(area.Text(), QStringLiteral("xyΩzα"));
    }

    void droppedCtrlVCancelsThePaste()
    {
        QApplication::clipboard()->setText(QStringLiteral("123"));
        rt::TextBox box;
        rt::MultiLineTextBox area;
        box.setText(QStringLiteral("ab"));
        area.setText(QStringLiteral("ab"));
        ctrl(&box, Qt::Key_V);
        ctrl(&area, Qt::Key_V);
        QCOMPARE(box.Text(), QStringLiteral("ab123"));
        QCOMPARE(area.Text(), QStringLiteral("ab123"));

        auto dropPaste = [](int& a) {
            if (a == rt::ascii::CtrlV)
                a = 0;
        };
        connect(&box, &rt::TextBox::KeyPress, &box, dropPaste);
        connect(&area, &rt::MultiLineTextBox::KeyPress, &area, dropPaste);
        ctrl(&box, Qt::Key_V);
        ctrl(&area, Qt::Key_V);
        QCOMPARE(box.Text(), QStringLiteral("ab123"));
        QCOMPARE(area.Text(), QStringLiteral("ab123"));

        // Cut and copy are cancelled the same way: the text and the clipboard stay.
        auto dropAll = [](int& a) { a = 0; };
        connect(&box, &rt::TextBox::KeyPress, &box, dropAll);
        box.selectAll();
        ctrl(&box, Qt::Key_X);
        ctrl(&box, Qt::Key_C);
        QCOMPARE(box.Text(), QStringLiteral("ab123"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("123"));
    }

    void contextMenuPasteIsNoKeyPress()
    {
        QApplication::clipboard()->setText(QStringLiteral("9x€ж"));
        rt::TextBox box;
        int presses = 0;
        connect(&box, &rt::TextBox::KeyPress, &box, [&presses](int& a) {
            ++presses;
            a = 0;
        });
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QAction* paste = contextPaste(menu.get());
        QVERIFY(paste != nullptr);
        paste->trigger();
        QCOMPARE(presses, 0);
        // Not filtered by KeyPress, but the box still holds only the code page.
        QCOMPARE(box.Text(), QStringLiteral("9x€"));

        rt::MultiLineTextBox area;
        connect(&area, &rt::MultiLineTextBox::KeyPress, &area, [](int& a) { a = 0; });
        std::unique_ptr<QMenu> areaMenu(area.createStandardContextMenu());
        QAction* areaPaste = contextPaste(areaMenu.get());
        QVERIFY(areaPaste != nullptr);
        areaPaste->trigger();
        QCOMPARE(area.Text(), QStringLiteral("9x€"));
    }

    void unencodableCharactersAreDropped()
    {
        rt::TextBox box;
        rt::MultiLineTextBox area;
        int presses = 0;
        connect(&box, &rt::TextBox::KeyPress, &box, [&presses](int&) { ++presses; });
        type(&box, QStringLiteral("aжΩ漢b"));
        type(&area, QStringLiteral("aжΩ漢b"));
        QCOMPARE(box.Text(), QStringLiteral("aΩb"));
        QCOMPARE(area.Text(), QStringLiteral("aΩb"));
        QCOMPARE(presses, 3);

        box.setText(QStringLiteral("1ж2"));
        area.setText(QStringLiteral("1ж2\n3"));
        QCOMPARE(box.Text(), QStringLiteral("12"));
        QCOMPARE(area.Text(), QStringLiteral("12\n3"));
        // Even through the toolkit's own setter.
        static_cast<QLineEdit&>(box).setText(QStringLiteral("жж7"));
        QCOMPARE(box.Text(), QStringLiteral("7"));

        QApplication::clipboard()->setText(QStringLiteral("ж5ж"));
        ctrl(&box, Qt::Key_V);
        ctrl(&area, Qt::Key_V);
        QCOMPARE(box.Text(), QStringLiteral("75"));
        QCOMPARE(area.Text(), QStringLiteral("12\n35"));
    }

    void previewRunsFormThenControl()
    {
        frmKeys& form = rt::Forms::get<frmKeys>();
        form.setKeyPreview(true);
        journalBox(form.boxes[0]);
        QTest::sendKeyEvent(QTest::Click, form.boxes[0], Qt::Key_A, QStringLiteral("A"),
                            Qt::ShiftModifier);
        // The Shift key itself comes first and last, as on the real keyboard.
        const QStringList expected = {
            QStringLiteral("form down 16 1"), QStringLiteral("box down 16 1"),
            QStringLiteral("form down 65 1"), QStringLiteral("box down 65 1"),
            QStringLiteral("form press 65"),  QStringLiteral("box press 65"),
            QStringLiteral("form up 65 1"),   QStringLiteral("box up 65 1"),
            QStringLiteral("form up 16 0"),   QStringLiteral("box up 16 0")};
        QCOMPARE(m_journal, expected);
        QCOMPARE(form.boxes[0]->Text(), QStringLiteral("A"));

        // What the form drops reaches neither the control's handler nor its text.
        m_journal.clear();
        form.dropAscii = 'b';
        type(form.boxes[0], QStringLiteral("bc"));
        QCOMPARE(form.boxes[0]->Text(), QStringLiteral("Ac"));
        QVERIFY(m_journal.contains(QStringLiteral("form press 98")));
        QVERIFY(!m_journal.contains(QStringLiteral("box press 98")));
        QVERIFY(m_journal.contains(QStringLiteral("box press 99")));

        // Without preview the form sees nothing.
        m_journal.clear();
        form.setKeyPreview(false);
        type(form.boxes[0], QStringLiteral("b"));
        QCOMPARE(form.boxes[0]->Text(), QStringLiteral("Acb"));
        QVERIFY(!m_journal.join(QLatin1Char(' ')).contains(QStringLiteral("form")));
    }

    void previewSeesPlainControls()
    {
        frmKeys& form = rt::Forms::get<frmKeys>();
        form.setKeyPreview(true);
        form.dropAscii = ' ';
        QTest::keyClick(form.check, Qt::Key_Space);
        QVERIFY(!form.check->isChecked());
        QCOMPARE(m_journal.first(), QStringLiteral("form down 32 0"));
        form.dropAscii = -1;
        QTest::keyClick(form.check, Qt::Key_Space);
        QVERIFY(form.check->isChecked());
        // A key the control ignores travels to its parents but is previewed once.
        m_journal.clear();
        QTest::keyClick(form.check, Qt::Key_F5);
        QCOMPARE(m_journal.count(QStringLiteral("form down 116 0")), 1);
    }

    void anyWidgetCanHaveKeyEvents()
    {
        QCheckBox check(QStringLiteral("Ενεργό"));
        auto* events = new rt::KeyEvents(&check);
        QList<int> downs;
        connect(events, &rt::KeyEvents::KeyDown, &check,
                [&downs](int& code, int) { downs.append(code); });
        connect(events, &rt::KeyEvents::KeyPress, &check, [](int& a) {
            if (a == ' ')
                a = 0;
        });
        QTest::keyClick(&check, Qt::Key_Space);
        QVERIFY(!check.isChecked());
        QCOMPARE(downs, (QList<int>{32}));
    }

    void enterMovesToTheNextControl()
    {
        frmKeys& form = rt::Forms::get<frmKeys>();
        form.setKeyPreview(true);
        form.enterMovesOn = true;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.boxes[0]->setFocus();
        QCOMPARE(QApplication::focusWidget(), form.boxes[0]);
        QTest::keyClick(form.boxes[0], Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.boxes[1]);
        type(form.boxes[1], QStringLiteral("x"));
        QCOMPARE(form.boxes[0]->Text(), QString());
        QCOMPARE(form.boxes[1]->Text(), QStringLiteral("x"));

        // A disabled or hidden control is passed over.
        form.boxes[2]->setEnabled(false);
        QVERIFY(rt::SendTab());
        QCOMPARE(QApplication::focusWidget(), form.check);
    }

    // Enter presses a focused control of every kind that can be clicked, once, unless the
    // form's KeyDown took the key; a check box or an option button is no command, and
    // Enter leaves it as it was.
    void enterPressesEveryCommandControl_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("formTakesEnter");
        QTest::addColumn<int>("presses");
        for (const char* kind : {"push button", "tool button", "axButton", "meta-object click"}) {
            QTest::addRow("%s", kind) << QString::fromLatin1(kind) << false << 1;
            QTest::addRow("%s, the form takes Enter", kind)
                << QString::fromLatin1(kind) << true << 0;
        }
        QTest::newRow("check box") << QStringLiteral("check box") << false << 0;
        QTest::newRow("option button") << QStringLiteral("option button") << false << 0;
    }
    void enterPressesEveryCommandControl()
    {
        QFETCH(QString, kind);
        QFETCH(bool, formTakesEnter);
        QFETCH(int, presses);
        frmButtons& form = rt::Forms::get<frmButtons>();
        form.takesEnter = formTakesEnter;
        QVERIFY(showActive(form));
        QWidget* control = form.controls.value(kind);
        QVERIFY(control);
        control->setFocus();
        QCOMPARE(QApplication::focusWidget(), control);
        const bool checkedBefore = qobject_cast<QAbstractButton*>(control) &&
                                   static_cast<QAbstractButton*>(control)->isChecked();

        pressOnFocus(Qt::Key_Return);
        QCOMPARE(form.pressesOf(kind), presses);
        QCOMPARE(form.entersSeen, 1);
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            QCOMPARE(button->isChecked(), checkedBefore);
        // The keypad's Enter is the same key.
        QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(form.pressesOf(kind), 2 * presses);
    }

    // An editable combo box holds what was typed: a beginning of a listed item is not
    // completed to it, neither while typing nor when Enter ends the typing.
    void editableComboCompletesNothing_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("typed");
        QTest::newRow("one letter, two items begin with it")
            << QStringList{QStringLiteral("Δάσκαλος"), QStringLiteral("Δικηγόρος")}
            << QStringLiteral("Δ");
        QTest::newRow("two letters")
            << QStringList{QStringLiteral("Μαρία"), QStringLiteral("Μαρίνα")}
            << QStringLiteral("Μα");
        QTest::newRow("a whole word, one item begins with it")
            << QStringList{QStringLiteral("Γιατρός"), QStringLiteral("Λογιστής Α")}
            << QStringLiteral("Λογιστής");
        QTest::newRow("another letter case than the item")
            << QStringList{QStringLiteral("Δάσκαλος")} << QStringLiteral("δάσ");
    }
    void editableComboCompletesNothing()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, typed);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        QComboBox* combo = rt::NewEditableComboBox(QStringLiteral("cmbProperty_0"), &window);
        combo->addItems(items);
        combo->setEditText(QString());
        layout->addWidget(combo);
        layout->addWidget(new QPushButton(QStringLiteral("OK"), &window));
        QVERIFY(showActive(window));
        combo->setFocus();
        QVERIFY(QApplication::focusWidget() != nullptr);
        type(QApplication::focusWidget(), typed);
        QCOMPARE(combo->currentText(), typed);
        QCOMPARE(combo->lineEdit()->selectedText(), QString());
        pressOnFocus(Qt::Key_Return);
        QCOMPARE(combo->currentText(), typed);
        // The list is still there to choose from.
        QCOMPARE(combo->count(), items.size());
    }

    // Escape in the calendar's year editor ends the edit only: the year shown stays, the
    // form's preview never sees that Escape, while it sees the editor's other keys; once
    // the editor is closed, Escape is the form's again.
    void escapeInTheYearEditorEndsTheEditOnly()
    {
        frmCalendar& form = rt::Forms::get<frmCalendar>();
        form.calendar->setValue(QDate(2024, 5, 17));
        QVERIFY(showActive(form));
        auto* yearButton =
            form.calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
        auto* yearEdit =
            form.calendar->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"));
        QVERIFY(yearButton && yearEdit);
        QTest::mouseClick(yearButton, Qt::LeftButton);
        QTRY_VERIFY(yearEdit->isVisible());
        QVERIFY(yearEdit->hasFocus());

        pressOnFocus(Qt::Key_Up);
        QCOMPARE(yearEdit->value(), 2025);
        QVERIFY(m_journal.contains(QStringLiteral("form down 38 0")));
        m_journal.clear();
        pressOnFocus(Qt::Key_Escape);
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmCalendar")));
        QVERIFY(!yearEdit->isVisible());
        QCOMPARE(form.calendar->yearShown(), 2024);
        QCOMPARE(form.calendar->Value(), QDate(2024, 5, 17));
        QVERIFY2(m_journal.isEmpty(), qPrintable(m_journal.join(u'|')));

        // The keyboard is back in the days, not in the hidden editor.
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus && focus->isVisible() && form.calendar->isAncestorOf(focus));
        pressOnFocus(Qt::Key_Escape);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmCalendar")));
    }

    void multiLineKeepsItsMaximumLength()
    {
        rt::MultiLineTextBox area;
        area.setMaxLength(5);
        area.setText(QStringLiteral("abcdefg"));
        QCOMPARE(area.Text(), QStringLiteral("abcde"));
        type(&area, QStringLiteral("Ω"));
        QCOMPARE(area.Text(), QStringLiteral("abcde"));
        // A typed character may replace a selection of the full text.
        area.setSelStart(1);
        area.setSelLength(2);
        QCOMPARE(area.SelText(), QStringLiteral("bc"));
        type(&area, QStringLiteral("Ω"));
        QCOMPARE(area.Text(), QStringLiteral("aΩde"));
        QApplication::clipboard()->setText(QStringLiteral("12345"));
        ctrl(&area, Qt::Key_V);
        QCOMPARE(area.Text(), QStringLiteral("aΩ1de"));
        area.setSelStart(0);
        area.setSelLength(1);
        area.setSelText(QStringLiteral("xyz"));
        QCOMPARE(area.Text(), QStringLiteral("xΩ1de"));
        QTest::keyClick(&area, Qt::Key_Backspace);
        QCOMPARE(area.Text(), QStringLiteral("Ω1de"));
        QTest::keyClick(&area, Qt::Key_Return);
        QCOMPARE(area.Text(), QStringLiteral("\nΩ1de"));
    }

    void singleLineProperties()
    {
        rt::TextBox box;
        QSignalSpy changes(&box, &rt::TextBox::Change);
        box.setMaxLength(4);
        box.setText(QStringLiteral("123456"));
        QCOMPARE(box.Text(), QStringLiteral("1234"));
        QCOMPARE(changes.count(), 1);
        type(&box, QStringLiteral("5"));
        QCOMPARE(box.Text(), QStringLiteral("1234"));
        box.setSelStart(1);
        QCOMPARE(box.SelStart(), 1);
        QCOMPARE(box.SelLength(), 0);
        box.setSelLength(2);
        QCOMPARE(box.SelText(), QStringLiteral("23"));
        QCOMPARE(box.SelStart(), 1);
        box.setSelText(QStringLiteral("Ωжx"));
        QCOMPARE(box.Text(), QStringLiteral("1Ωx4"));
        QCOMPARE(changes.count(), 2);
        box.setMaxLength(0);
        box.setLocked(true);
        type(&box, QStringLiteral("z"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.Text(), QStringLiteral("1Ωx4"));
        box.setLocked(false);
        box.setSelStart(4);
        type(&box, QStringLiteral("zz"));
        QCOMPARE(box.Text(), QStringLiteral("1Ωx4zz"));
    }

private:
    QStringList m_journal;
};

QTEST_MAIN(tst_keyinput)
#include "tst_keyinput.moc"
