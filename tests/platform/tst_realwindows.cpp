// Forms with real message boxes, file dialogs, menus and modal loops, driven by real key
// events: which window's keys a form sees, and what survives events that run while a
// procedure waits.

#include "platform/Events.h"
#include "platform/FileDialog.h"
#include "platform/Form.h"
#include "platform/KeyInput.h"
#include "platform/MsgBox.h"
#include "platform/TextBox.h"
#include "tests/support/Fixture.h"
#include "tests/support/RealKeys.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using testsupport::RealWindows;

namespace {

// A dialog as the program's dialogs are: it previews keys, Enter moves on (its
// character swallowed), Escape unloads it; its text box's Enter asks a question.
class frmDialog : public rt::Form {
public:
    frmDialog() : rt::Form(QStringLiteral("frmDialog"))
    {
        setKeyPreview(true);
        auto* layout = new QVBoxLayout(this);
        text = new rt::TextBox(QStringLiteral("txtName"), this);
        other = new rt::TextBox(QStringLiteral("txtOther"), this);
        button = new QPushButton(QStringLiteral("ΟΚ"), this);
        button->setObjectName(QStringLiteral("cmdOK"));
        layout->addWidget(text);
        layout->addWidget(other);
        layout->addWidget(button);
        connect(text, &rt::TextBox::KeyDown, this, [this](int& KeyCode, int) {
            if (KeyCode == rt::key::Return && askOnEnter) {
                rt::SwallowNextKey = 1;
                answers << rt::MsgBox(QStringLiteral("Ερώτηση;"), rt::mb::YesNo);
            }
        });
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }
    void Form_KeyDown(int& KeyCode, int Shift) override
    {
        Q_UNUSED(Shift);
        downs << KeyCode;
        if (KeyCode == rt::key::Escape) {
            rt::SwallowNextKey = 1;
            rt::Forms::unload(this);
        } else if (KeyCode == rt::key::Return && enterMovesOn) {
            rt::SwallowNextKey = 1;
            rt::SendTab();
        } else if (KeyCode == rt::key::Return && takeEnter) {
            KeyCode = 0;
        }
    }
    void Form_KeyPress(int& KeyAscii) override
    {
        presses << KeyAscii;
        if (rt::SwallowNextKey) {
            KeyAscii = 0;
            rt::SwallowNextKey = 0;
        }
    }

    rt::TextBox* text = nullptr;
    rt::TextBox* other = nullptr;
    QPushButton* button = nullptr;
    bool askOnEnter = true;
    bool enterMovesOn = false;
    bool takeEnter = false;
    QList<int> downs;
    QList<int> presses;
    QList<int> answers;
    int clicks = 0;
};

// A form without key preview, whose buttons take their clicks only.
class frmPlain : public rt::Form {
public:
    frmPlain() : rt::Form(QStringLiteral("frmPlain"))
    {
        auto* layout = new QVBoxLayout(this);
        button = new QPushButton(QStringLiteral("OK"), this);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }
    QPushButton* button = nullptr;
    int clicks = 0;
};

// A form that unloads itself in its own load, after letting events run.
class frmGone : public rt::Form {
public:
    frmGone() : rt::Form(QStringLiteral("frmGone")), timer(new QTimer(this)) {}
    QTimer* timer;
    QString after;

protected:
    void Form_Load() override
    {
        timer->start(1000);
        QMetaObject::invokeMethod(
            this, [this] { rt::Forms::unload(this); }, Qt::QueuedConnection);
        show();
        rt::DoEvents();
        // Still a whole object: a loaded form's code may go on after its wait.
        after = objectName();
    }
};

void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void deleteUnloadedForms()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_realwindows : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        rt::Forms::discardAll();
        rt::SwallowNextKey = 0;
    }

    // The password prompt's road: the key that asks stays one key, and the box's own
    // keys (Enter, Escape) answer the box and reach nothing behind it.
    void boxKeysStayInTheBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(rt::mb::Yes);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(rt::mb::No);
    }
    void boxKeysStayInTheBox()
    {
        QFETCH(int, key);
        QFETCH(int, answer);
        frmDialog& dialog = rt::Forms::get<frmDialog>();
        showActive(dialog);
        dialog.text->setFocus();
        RealWindows windows;
        windows.then([key](QWidget& box) { RealWindows::pressKeys(box, {key}); });
        QTest::keyClick(dialog.text, Qt::Key_Return);
        QCOMPARE(windows.boxTexts(), QStringList{QStringLiteral("Ερώτηση;")});
        QVERIFY(windows.unanswered().isEmpty());
        QCOMPARE(dialog.answers, QList<int>{answer});
        // One Enter went by the form once; the box's key never reached it.
        QCOMPARE(dialog.downs, QList<int>{rt::key::Return});
        QCOMPARE(dialog.presses, QList<int>{rt::ascii::Return});
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmDialog")));
        QCOMPARE(dialog.text->text(), QString());
    }

    // Escape in a save dialog cancels the dialog only; a typed name and Enter accept it.
    void fileDialogKeysStayInTheDialog_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("Escape") << false;
        QTest::newRow("name and Enter") << true;
    }
    void fileDialogKeysStayInTheDialog()
    {
        QFETCH(bool, accept);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        frmDialog& dialog = rt::Forms::get<frmDialog>();
        showActive(dialog);
        RealWindows windows;
        windows.then([accept](QWidget& files) {
            if (!accept) {
                RealWindows::pressKeys(files, {Qt::Key_Escape});
                return;
            }
            RealWindows::typeText(files, QStringLiteral("μέλη"));
            RealWindows::pressKeys(files, {Qt::Key_Return});
        });
        rt::FileDialogRequest request;
        request.kind = rt::FileDialogRequest::Save;
        request.title = QStringLiteral("Εξαγωγή");
        request.initialDir = dir.path();
        request.filter = QStringLiteral("Text (*.txt)|*.txt");
        request.defaultExt = QStringLiteral("txt");
        const std::optional<QString> chosen = rt::ShowFileDialog(request);
        QCOMPARE(windows.shown(), QStringList{QStringLiteral("file: Εξαγωγή")});
        QVERIFY(windows.unanswered().isEmpty());
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmDialog")));
        QVERIFY(dialog.downs.isEmpty());
        if (accept)
            QCOMPARE(chosen.value_or(QString()), QDir(dir.path()).filePath(QStringLiteral("μέλη.txt")));
        else
            QVERIFY(!chosen.has_value());
    }

    // Escape in a drop-down menu of the dialog (a calendar's month list) closes the menu.
    void menuKeysStayInTheMenu()
    {
        frmDialog& dialog = rt::Forms::get<frmDialog>();
        showActive(dialog);
        QMenu menu(&dialog);
        menu.addAction(QStringLiteral("Ιανουάριος"));
        menu.addAction(QStringLiteral("Φεβρουάριος"));
        RealWindows windows;
        windows.then([](QWidget& shown) { RealWindows::pressKeys(shown, {Qt::Key_Escape}); });
        QAction* chosen = [&] {
            const rt::EventWait wait;
            return menu.exec(dialog.mapToGlobal(QPoint(10, 10)));
        }();
        QVERIFY(chosen == nullptr);
        QCOMPARE(windows.shown().size(), 1);
        QVERIFY(dialog.downs.isEmpty());
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmDialog")));
    }

    // Enter on a focused command button presses it where the form does not take Enter.
    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("clicks");
        QTest::newRow("no key preview") << QStringLiteral("plain") << 1;
        QTest::newRow("preview leaves Enter") << QStringLiteral("leaves") << 1;
        QTest::newRow("Enter moves on") << QStringLiteral("moves") << 0;
        QTest::newRow("KeyDown takes Enter") << QStringLiteral("takes") << 0;
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, form);
        QFETCH(int, clicks);
        if (form == QLatin1String("plain")) {
            frmPlain& plain = rt::Forms::get<frmPlain>();
            showActive(plain);
            plain.button->setFocus();
            QTest::keyClick(plain.button, Qt::Key_Return);
            QCOMPARE(plain.clicks, clicks);
            return;
        }
        frmDialog& dialog = rt::Forms::get<frmDialog>();
        dialog.enterMovesOn = form == QLatin1String("moves");
        dialog.takeEnter = form == QLatin1String("takes");
        showActive(dialog);
        dialog.button->setFocus();
        QTest::keyClick(dialog.button, Qt::Key_Return);
        QCOMPARE(dialog.clicks, clicks);
        QCOMPARE(dialog.downs, QList<int>{rt::key::Return});
    }

    // A form that its KeyDown unloaded gets no KeyPress for that key, and no flag of its
    // swallowed key is left for the next window.
    void unloadedByItsKeyDownGetsNoKeyPress()
    {
        frmDialog& dialog = rt::Forms::get<frmDialog>();
        showActive(dialog);
        dialog.text->setFocus();
        QSignalSpy typed(dialog.text, &rt::TextBox::KeyPress);
        QTest::keyClick(dialog.text, Qt::Key_Escape);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmDialog")));
        QCOMPARE(dialog.downs, QList<int>{rt::key::Escape});
        QVERIFY(dialog.presses.isEmpty());
        QCOMPARE(typed.count(), 0);
        QCOMPARE(rt::SwallowNextKey, 0);
    }

    // Whatever the events that run inside a wait do to the waiting form, the form stays
    // a whole object until the wait is over, and is deleted after it.
    void unloadDuringAWaitIsDeletedAfterIt_data()
    {
        QTest::addColumn<QString>("wait");
        QTest::newRow("DoEvents") << QStringLiteral("events");
        QTest::newRow("message box") << QStringLiteral("box");
        QTest::newRow("file dialog") << QStringLiteral("files");
        QTest::newRow("modal form") << QStringLiteral("modal");
    }
    void unloadDuringAWaitIsDeletedAfterIt()
    {
        QFETCH(QString, wait);
        frmDialog& dialog = rt::Forms::get<frmDialog>();
        showActive(dialog);
        QPointer<frmDialog> alive(&dialog);
        RealWindows windows;
        // The window that waits is closed from outside (a timer, the network, a command of
        // another window), then the wait ends as the user ends it.
        const auto closeOwnerThen = [&](QList<int> keys) {
            windows.then([&dialog, keys](QWidget& shown) {
                rt::Forms::unload(&dialog);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                RealWindows::pressKeys(shown, keys);
            });
        };
        if (wait == QLatin1String("events")) {
            QMetaObject::invokeMethod(
                &dialog, [&dialog] { rt::Forms::unload(&dialog); }, Qt::QueuedConnection);
            rt::DoEvents();
        } else if (wait == QLatin1String("box")) {
            closeOwnerThen({Qt::Key_Return});
            rt::MsgBox(QStringLiteral("Περιμένετε"));
        } else if (wait == QLatin1String("files")) {
            closeOwnerThen({Qt::Key_Escape});
            rt::FileDialogRequest request;
            request.title = QStringLiteral("Άνοιγμα");
            rt::ShowFileDialog(request);
        } else {
            frmPlain& modal = rt::Forms::get<frmPlain>();
            windows.then([&dialog, &modal](QWidget&) {
                rt::Forms::unload(&dialog);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                rt::Forms::unload(&modal);
            });
            rt::Forms::showModal(modal);
        }
        QVERIFY(windows.unanswered().isEmpty());
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmDialog")));
        QVERIFY2(alive, "deleted while its wait was running");
        QVERIFY(!alive->isVisible());
        deleteUnloadedForms();
        QVERIFY(!alive);
    }

    // A box is as wide as its longest line, within the screen: the text's own line
    // feeds lay it out.
    void boxLinesAreNotWrapped()
    {
        const QString text =
            QStringLiteral("Παρουσιάστηκε κάποιο πρόβλημα κατά την αποθήκευση των ρυθμίσεων του\n"
                           "προγράμματος που πιθανόν να οφείλετε σε έλλειψη χώρου στο δίσκο.\n"
                           "Ελευθερώστε λίγο χώρο από το δίσκο σας και προσπαθήστε ξανά.\n"
                           "Αν το πρόβλημα επιμείνει επικοινωνήστε με την Nerq");
        RealWindows windows;
        int widest = 0;
        int labelWidth = 0;
        int labelHeight = 0;
        int oneLine = 0;
        windows.then([&](QWidget& box) {
            auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            const QFontMetrics metrics(label->font());
            for (const QString& line : text.split(QLatin1Char('\n')))
                widest = qMax(widest, metrics.horizontalAdvance(line));
            labelWidth = label->contentsRect().width();
            labelHeight = label->heightForWidth(label->width());
            oneLine = metrics.lineSpacing();
            box.grab().save(testsupport::picturePath(QStringLiteral("box-lines.png")));
            RealWindows::pressKeys(box, {Qt::Key_Return});
        });
        rt::MsgBox(text, rt::mb::Critical);
        QVERIFY(windows.unanswered().isEmpty());
        QVERIFY2(labelWidth >= widest, qPrintable(QStringLiteral("%1 < %2").arg(labelWidth).arg(widest)));
        QVERIFY(labelHeight < 5 * oneLine);
    }

    // A form unloaded by events that its own load let run is deleted once the load is
    // over; the load's code after the wait still had it, and it never shows again.
    void unloadInsideItsOwnLoad()
    {
        frmGone& gone = rt::Forms::get<frmGone>();
        QPointer<frmGone> alive(&gone);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmGone")));
        QCOMPARE(gone.after, QStringLiteral("frmGone"));
        gone.show();
        QVERIFY(!gone.isVisible());
        // Its timers went with it.
        QVERIFY(!gone.timer->isActive());
        deleteUnloadedForms();
        QVERIFY(!alive);
    }
};

QTEST_MAIN(tst_realwindows)
#include "tst_realwindows.moc"
