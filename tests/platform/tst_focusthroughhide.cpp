#include "platform/ListView.h"
#include "platform/TreeView.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

// The list and tree adaptors hidden while they are rebuilt, in a shown and active window
// (real focus, as the user has it): a close button next in tab order, which is where Qt
// moves the focus of a hidden control (in a docked window, its title bar's), then a text
// box.
class tst_focusthroughhide : public QObject {
    Q_OBJECT

    struct Window {
        QWidget window;
        QPushButton* close = nullptr;
        QWidget* control = nullptr;
        QLineEdit* other = nullptr;
    };

    static std::unique_ptr<Window> makeWindow(bool tree)
    {
        auto w = std::make_unique<Window>();
        if (tree) {
            auto* t = new rt::TreeView(&w->window);
            t->Nodes().Add(QStringLiteral("GRP_0"), QStringLiteral("ΟΜΑΔΕΣ SMS"));
            w->control = t;
        } else {
            auto* l = new rt::ListView(&w->window);
            l->AddColumn(QStringLiteral("Επίθετο"));
            l->ListItems().Add(QStringLiteral("K1"), QStringLiteral("Άλφα"));
            w->control = l;
        }
        w->control->setGeometry(0, 30, 200, 120);
        w->close = new QPushButton(QStringLiteral("x"), &w->window);
        QObject::connect(w->close, &QPushButton::clicked, &w->window, &QWidget::close);
        w->other = new QLineEdit(&w->window);
        w->other->move(0, 160);
        w->window.resize(220, 200);
        return w;
    }

    static bool showActive(QWidget& window)
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

private slots:
    void aRebuiltControlKeepsTheFocus_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("focusAfter");
        for (const bool tree : {false, true}) {
            const char* kind = tree ? "tree: " : "list: ";
            QTest::addRow("%snothing else happens", kind) << tree << ""
                                                          << "control";
            QTest::addRow("%sthe program chose another control", kind) << tree << "focus other"
                                                                       << "other";
            QTest::addRow("%sthe control had no focus", kind) << tree << "focus before"
                                                              << "other";
            QTest::addRow("%shidden twice", kind) << tree << "hide again"
                                                  << "control";
        }
    }
    void aRebuiltControlKeepsTheFocus()
    {
        QFETCH(bool, tree);
        QFETCH(QString, meanwhile);
        QFETCH(QString, focusAfter);
        const auto w = makeWindow(tree);
        QVERIFY(showActive(w->window));
        if (meanwhile == QLatin1String("focus before"))
            w->other->setFocus();
        else
            w->control->setFocus();

        w->control->hide();
        // Qt moves the focus of a hidden control on, to the close button.
        if (meanwhile != QLatin1String("focus before"))
            QCOMPARE(QApplication::focusWidget(), w->close);
        if (meanwhile == QLatin1String("focus other"))
            w->other->setFocus();
        if (meanwhile == QLatin1String("hide again"))
            w->control->hide();
        w->control->show();

        QWidget* expected = focusAfter == QLatin1String("control") ? w->control : w->other;
        QCOMPARE(QApplication::focusWidget(), expected);
    }

    // The window of the list is behind another one while the list is rebuilt: the list
    // keeps its claim and has the focus again once its window is active.
    void aWindowBehindAnotherKeepsTheListsClaim()
    {
        const auto w = makeWindow(false);
        QVERIFY(showActive(w->window));
        w->control->setFocus();
        {
            QWidget front;
            QVERIFY(showActive(front));
            w->control->hide();
            w->control->show();
            QCOMPARE(w->window.focusWidget(), w->control);
        }
        w->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
        QCOMPARE(QApplication::focusWidget(), w->control);
    }

    // The keys reach the list again: Down moves to the next item.
    void theArrowKeysWorkAfterARebuild()
    {
        const auto w = makeWindow(false);
        auto* list = static_cast<rt::ListView*>(w->control);
        list->ListItems().Add(QStringLiteral("K2"), QStringLiteral("Βήτα"));
        QVERIFY(showActive(w->window));
        list->setSelectedItem(list->ListItems().Item(1));
        list->setFocus();
        list->hide();
        list->ListItems().Clear();
        list->ListItems().Add(QStringLiteral("K1"), QStringLiteral("Άλφα"));
        list->ListItems().Add(QStringLiteral("K2"), QStringLiteral("Βήτα"));
        list->setSelectedItem(list->ListItems().Item(1));
        list->show();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(list->SelectedItem().Key(), QStringLiteral("K2"));
        // Space on the close button would have closed the window.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(w->window.isVisible());
    }
};

QTEST_MAIN(tst_focusthroughhide)
#include "tst_focusthroughhide.moc"
