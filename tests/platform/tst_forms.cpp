#include "platform/End.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

int loads = 0;

class frmSample : public rt::Form {
public:
    frmSample() : rt::Form(QStringLiteral("frmSample")) {}
    int state = 0;
    bool refuse = false;

protected:
    void Form_Load() override
    {
        ++loads;
        state = 1;
    }
    void Form_Unload(bool& cancel) override { cancel = refuse; }
};

class frmDialog : public rt::Form {
public:
    frmDialog() : rt::Form(QStringLiteral("frmDialog"))
    {
        setWindowFlags(Qt::Dialog);
        resize(300, 200);
    }
};

class frmOther : public rt::Form {
public:
    frmOther() : rt::Form(QStringLiteral("frmOther")) {}
    void closeYourself() { rt::Forms::unload(this); }
};

} // namespace

class tst_forms : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { rt::Forms::discardAll(); }

    void firstTouchLoadsOnce()
    {
        loads = 0;
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmSample")));
        QVERIFY(rt::Forms::find<frmSample>() == nullptr);
        frmSample& a = rt::Forms::get<frmSample>();
        frmSample& b = rt::Forms::get<frmSample>();
        QCOMPARE(&a, &b);
        QCOMPARE(loads, 1);
        QCOMPARE(a.state, 1);
        QCOMPARE(a.objectName(), QStringLiteral("frmSample"));
    }

    void unloadDiscardsState()
    {
        frmSample& a = rt::Forms::get<frmSample>();
        a.state = 42;
        QPointer<frmSample> old(&a);
        QVERIFY(rt::Forms::unload(&a));
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmSample")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());
        QCOMPARE(rt::Forms::get<frmSample>().state, 1);
    }

    void cancelledUnloadKeepsForm()
    {
        frmSample& a = rt::Forms::get<frmSample>();
        a.refuse = true;
        QVERIFY(!rt::Forms::unload(&a));
        QVERIFY(rt::Forms::isLoaded(QStringLiteral("frmSample")));
        a.refuse = false;
        QVERIFY(rt::Forms::unload<frmSample>());
    }

    void isLoadedIsExactAndNeverLoads()
    {
        QVERIFY(!rt::Forms::isLoaded(QStringLiteral("frmSample")));
        QVERIFY(rt::Forms::find<frmSample>() == nullptr);
        rt::Forms::get<frmSample>();
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmSample")));
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmsample")));
    }

    void methodMayUnloadItsOwnForm()
    {
        rt::Forms::get<frmOther>().closeYourself();
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmOther")));
        QCOMPARE(rt::Forms::loaded().size(), 0);
    }

    void loadedKeepsLoadOrder()
    {
        rt::Forms::get<frmOther>();
        rt::Forms::get<frmSample>();
        const QList<rt::Form*> forms = rt::Forms::loaded();
        QCOMPARE(forms.size(), 2);
        QCOMPARE(forms.at(0)->Name(), QStringLiteral("frmOther"));
        QCOMPARE(forms.at(1)->Name(), QStringLiteral("frmSample"));
    }

    // A dialog opens over the window it was opened from, as near as the screen allows;
    // one that placed itself is left where it is.
    void aDialogOpensOverItsOwner_data()
    {
        QTest::addColumn<QRect>("owner");     // relative to the available area; none when empty
        QTest::addColumn<QPoint>("placedAt"); // where the form put itself, if anywhere
        QTest::addColumn<QString>("wanted");  // "owner", "screen" or "own place"
        QTest::newRow("over a window in the middle")
            << QRect(150, 200, 500, 400) << QPoint() << "owner";
        QTest::newRow("over a window far off the centre")
            << QRect(20, 30, 400, 300) << QPoint() << "owner";
        QTest::newRow("over a window lower right")
            << QRect(600, 500, 320, 240) << QPoint() << "owner";
        QTest::newRow("no window active") << QRect() << QPoint() << "screen";
        QTest::newRow("a dialog that placed itself")
            << QRect(20, 30, 400, 300) << QPoint(61, 47) << "own place";
    }
    void aDialogOpensOverItsOwner()
    {
        QFETCH(QRect, owner);
        QFETCH(QPoint, placedAt);
        QFETCH(QString, wanted);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget main;
        if (!owner.isNull()) {
            main.setGeometry(owner.translated(screen.topLeft()));
            main.show();
            main.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&main));
        }
        frmDialog& form = rt::Forms::get<frmDialog>();
        if (!placedAt.isNull())
            form.move(placedAt);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QVERIFY(screen.contains(form.frameGeometry()));
        if (wanted == QLatin1String("own place")) {
            QCOMPARE(form.pos(), placedAt);
            return;
        }
        // Over its owner, frame over frame; alone, it is centred on the screen as near as
        // the frame it gets allows, which is not known before it is shown.
        const bool overOwner = wanted == QLatin1String("owner");
        const QRect placed = form.frameGeometry();
        const int slack = overOwner ? 1 : 1 + form.geometry().left() - placed.left();
        QRect centred(QPoint(0, 0), placed.size());
        centred.moveCenter(overOwner ? main.frameGeometry().center() : screen.center());
        centred.moveRight(qMin(centred.right(), screen.right()));
        centred.moveBottom(qMin(centred.bottom(), screen.bottom()));
        const QPoint off = placed.topLeft() - centred.topLeft();
        QVERIFY2(qAbs(off.x()) <= slack && qAbs(off.y()) <= slack,
                 qPrintable(QStringLiteral("%1,%2 off; at %3,%4 %5x%6 in %7,%8 %9x%10")
                                .arg(off.x())
                                .arg(off.y())
                                .arg(placed.x())
                                .arg(placed.y())
                                .arg(placed.width())
                                .arg(placed.height())
                                .arg(screen.x())
                                .arg(screen.y())
                                .arg(screen.width())
                                .arg(screen.height())));
    }

    // Shown modally, a dialog is the window manager's to keep above the window it was
    // opened from.
    void aModalDialogStaysAboveItsOwner()
    {
        rt::Forms::setModalDriver(nullptr);
        QWidget main;
        main.setGeometry(QRect(QPoint(40, 50), QSize(500, 400)));
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        frmDialog& form = rt::Forms::get<frmDialog>();
        QWindow* owner = nullptr;
        QTimer::singleShot(0, &form, [&form, &owner] {
            owner = form.windowHandle()->transientParent();
            form.hide();
        });
        rt::Forms::showModal(form);
        QCOMPARE(owner, main.windowHandle());
    }

    void modalShowIsDrivenByTheScript()
    {
        testsupport::ModalScript script;
        script.then([](rt::Form& form) { rt::Forms::unload(&form); });
        rt::Forms::showModal(rt::Forms::get<frmSample>());
        QCOMPARE(script.shownNames(), QStringList{QStringLiteral("frmSample")});
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmSample")));
    }

    void windowCloseAsksTheForm()
    {
        frmSample& a = rt::Forms::get<frmSample>();
        a.show();
        a.refuse = true;
        QVERIFY(!a.close());
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmSample")));
        a.refuse = false;
        QVERIFY(a.close());
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmSample")));
    }

    void endIsObservedNotFatal()
    {
        testsupport::EndCatcher end;
        bool after = false;
        try {
            rt::End();
            after = true;
        } catch (const rt::ProgramEnded&) {
        }
        QVERIFY(!after);
        QCOMPARE(end.count(), 1);
    }

    void raiseSetsTheCurrentError()
    {
        rt::Err().Clear();
        try {
            rt::Raise(-700, QStringLiteral("άρνηση"), QStringLiteral("Internet Connection"));
            QFAIL("Raise returned");
        } catch (const rt::RuntimeError& error) {
            QCOMPARE(error.number(), -700);
        }
        QCOMPARE(rt::Err().Number, -700);
        QCOMPARE(rt::Err().Description, QStringLiteral("άρνηση"));
        QCOMPARE(rt::Err().Source.toString(), QStringLiteral("Internet Connection"));
        try {
            rt::Raise(5, QStringLiteral("x"));
        } catch (const rt::RuntimeError&) {
        }
        QCOMPARE(rt::Err().Source.toString(), QStringLiteral("Vantrel"));
        rt::Err().Clear();
        QVERIFY(!rt::Err().Source.isValid());
        QCOMPARE(rt::Err().Number, 0);
    }

    void untrappedErrorReachesTheReporter()
    {
        int reported = 0;
        rt::setUntrappedErrorReporter([&] {
            ++reported;
            QCOMPARE(rt::Err().Number, 13);
        });
        rt::reportUntrapped(rt::RuntimeError(13, QStringLiteral("Type mismatch"), QVariant()));
        QCOMPARE(reported, 1);
        rt::setUntrappedErrorReporter({});
    }

    void messageBoxesAreScripted()
    {
        testsupport::ScriptedMessageBoxes boxes;
        boxes.answer(rt::mb::No);
        QCOMPARE(rt::MsgBox(QStringLiteral("Ερώτηση;"), rt::mb::YesNo | rt::mb::Question,
                            QStringLiteral("ΤΙΤΛΟΣ")),
                 int(rt::mb::No));
        QCOMPARE(rt::MsgBox(QStringLiteral("x")), int(rt::mb::OK));
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown().at(0).buttons(), int(rt::mb::YesNo));
        QCOMPARE(boxes.shown().at(0).icon(), int(rt::mb::Question));
        QCOMPARE(boxes.shown().at(0).title, QStringLiteral("ΤΙΤΛΟΣ"));
        QCOMPARE(boxes.shown().at(1).title, QStringLiteral("Vantrel"));
    }
};

QTEST_MAIN(tst_forms)
#include "tst_forms.moc"
