#include "platform/End.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QTest>

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
