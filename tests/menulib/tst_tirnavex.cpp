#include "menulib/CoolButton.h"
#include "menulib/Tirnavex.h"
#include "menulib/VertButton.h"
#include "tests/support/MoveRecorder.h"

#include <QEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using testsupport::MoveRecorder;

namespace {

// The caption buttons are 375 twips high: 25 px at 96 DPI.
constexpr int kCaptionPx = 25;
constexpr int kBarHeight = 400;

const QStringList kPanelKeys{QStringLiteral("mnMembers"), QStringLiteral("mnSMS"),
                             QStringLiteral("mnTools")};
const QStringList kPanelCaptions{QStringLiteral("Οργάνωση"), QStringLiteral("Μηνύματα"),
                                 QStringLiteral("Εργαλεία")};

VertButton* panel(Tirnavex& bar, int i)
{
    auto* p = bar.findChild<VertButton*>(QStringLiteral("VertPanel_%1").arg(i));
    Q_ASSERT(p);
    return p;
}

QWidget* area(QWidget* button) { return button->findChild<QWidget*>(QStringLiteral("ButtonArea")); }

void clickCaption(Tirnavex& bar, int i)
{
    QTest::mouseClick(area(panel(bar, i)->findChild<CoolButton*>(QStringLiteral("btnCommand"))),
                      Qt::LeftButton);
}

QList<int> tops(Tirnavex& bar)
{
    QList<int> result;
    for (int i = 0; i < bar.PanelCount(); ++i)
        result.append(panel(bar, i)->y());
    return result;
}

} // namespace

class tst_tirnavex : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        host_ = std::make_unique<QWidget>();
        host_->resize(300, 700);
        bar_ = new Tirnavex(host_.get());
        bar_->setGeometry(4, 4, 150, kBarHeight);
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
    }
    void cleanup() { host_.reset(); }

    void layoutStacksTheCaptions_data()
    {
        QTest::addColumn<int>("panels");
        QTest::addColumn<QList<int>>("expectedTops");
        QTest::addColumn<int>("expectedHeight");
        QTest::newRow("one panel takes the whole bar") << 1 << QList<int>{0} << kBarHeight;
        QTest::newRow("two panels")
            << 2 << QList<int>{0, kBarHeight - kCaptionPx} << kBarHeight - kCaptionPx;
        QTest::newRow("three panels")
            << 3 << QList<int>{0, kBarHeight - 2 * kCaptionPx, kBarHeight - kCaptionPx}
            << kBarHeight - 2 * kCaptionPx;
    }
    void layoutStacksTheCaptions()
    {
        QFETCH(int, panels);
        QFETCH(QList<int>, expectedTops);
        QFETCH(int, expectedHeight);
        fill(panels);
        QCOMPARE(tops(*bar_), expectedTops);
        for (int i = 0; i < panels; ++i) {
            QVERIFY(panel(*bar_, i)->isVisible());
            QCOMPARE(panel(*bar_, i)->height(), expectedHeight);
            QCOMPARE(panel(*bar_, i)->width(), 150);
        }
        // And again after a resize.
        bar_->resize(150, kBarHeight + 100);
        for (int i = 0; i < panels; ++i)
            QCOMPARE(panel(*bar_, i)->height(), expectedHeight + 100);
        QCOMPARE(panel(*bar_, panels - 1)->y(), expectedTops.last() + (panels > 1 ? 100 : 0));
    }

    void resizeWithoutPanelsDoesNothing()
    {
        const QRect before = panel(*bar_, 0)->geometry();
        bar_->resize(150, 250);
        QCOMPARE(panel(*bar_, 0)->geometry(), before);
        QVERIFY(!panel(*bar_, 0)->isVisible());
        QCOMPARE(bar_->PanelCount(), 0);
    }

    void slideOpensTheClickedPanel()
    {
        fill(3);
        QSignalSpy menu(bar_, &Tirnavex::MenuClick);
        MoveRecorder moves(panel(*bar_, 1));
        clickCaption(*bar_, 2);
        // The slide runs in timed steps after the click.
        QVERIFY(bar_->isSliding());
        QCOMPARE(menu.count(), 0);
        QCOMPARE(bar_->OpenIndex(), 0);
        QVERIFY(menu.wait(5000));
        QCOMPARE(menu.count(), 1);
        QCOMPARE(menu.at(0).at(0).toString(), QStringLiteral("mnTools"));
        QCOMPARE(bar_->OpenIndex(), 2);
        QCOMPARE(tops(*bar_), (QList<int>{0, kCaptionPx, 2 * kCaptionPx}));
        // It slid there, in many small upward steps, without overshooting.
        QVERIFY(moves.tops.size() > 5);
        for (int i = 1; i < moves.tops.size(); ++i)
            QVERIFY(moves.tops.at(i) < moves.tops.at(i - 1));
        QCOMPARE(moves.tops.last(), kCaptionPx);

        clickCaption(*bar_, 0);
        QVERIFY(menu.wait(5000));
        QCOMPARE(menu.at(1).at(0).toString(), QStringLiteral("mnMembers"));
        QCOMPARE(bar_->OpenIndex(), 0);
        QCOMPARE(tops(*bar_),
                 (QList<int>{0, kBarHeight - 2 * kCaptionPx, kBarHeight - kCaptionPx}));
    }

    void openPanelCaptionStillReportsTheClick()
    {
        fill(3);
        QSignalSpy menu(bar_, &Tirnavex::MenuClick);
        MoveRecorder moves(panel(*bar_, 1));
        clickCaption(*bar_, 0);
        QCOMPARE(menu.count(), 1);
        QCOMPARE(menu.at(0).at(0).toString(), QStringLiteral("mnMembers"));
        QVERIFY(!bar_->isSliding());
        QVERIFY(moves.tops.isEmpty());
    }

    void clickDuringASlideOpensAfterIt()
    {
        fill(3);
        QSignalSpy menu(bar_, &Tirnavex::MenuClick);
        clickCaption(*bar_, 2);
        QTest::qWait(40);
        QVERIFY(bar_->isSliding());
        clickCaption(*bar_, 1);
        QTRY_COMPARE_WITH_TIMEOUT(menu.count(), 2, 10000);
        QTest::qWait(50);
        QCOMPARE(menu.count(), 2);
        QCOMPARE(menu.at(0).at(0).toString(), QStringLiteral("mnTools"));
        QCOMPARE(menu.at(1).at(0).toString(), QStringLiteral("mnSMS"));
        QCOMPARE(bar_->OpenIndex(), 1);
        QVERIFY(!bar_->isSliding());
        QCOMPARE(tops(*bar_), (QList<int>{0, kCaptionPx, kBarHeight - kCaptionPx}));
    }

    void resizeDuringASlideEndsInTheNewLayout()
    {
        fill(3);
        QSignalSpy menu(bar_, &Tirnavex::MenuClick);
        clickCaption(*bar_, 2);
        QTest::qWait(40);
        QVERIFY(bar_->isSliding());
        bar_->resize(150, 300);
        QVERIFY(menu.wait(5000));
        QCOMPARE(tops(*bar_), (QList<int>{0, kCaptionPx, 2 * kCaptionPx}));
        QCOMPARE(panel(*bar_, 2)->height(), 300 - 2 * kCaptionPx);
        clickCaption(*bar_, 0);
        QVERIFY(menu.wait(5000));
        QCOMPARE(tops(*bar_), (QList<int>{0, 300 - 2 * kCaptionPx, 300 - kCaptionPx}));
    }

    void itemClickNamesPanelAndButton()
    {
        fill(2);
        QVERIFY(bar_->AddButton(QStringLiteral("mnSMS"), QStringLiteral("Εξερχόμενα"),
                                QStringLiteral("btnOutBox"), QPixmap(), QString()));
        QSignalSpy clicked(bar_, &Tirnavex::ButtonClick);
        clickCaption(*bar_, 1);
        QTRY_VERIFY(!bar_->isSliding());
        QTest::mouseClick(area(panel(*bar_, 1)->findChild<CoolButton*>(QStringLiteral("Button_0"))),
                          Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toString(), QStringLiteral("mnSMS"));
        QCOMPARE(clicked.at(0).at(1).toString(), QStringLiteral("btnOutBox"));
    }

    void fourthPanelChangesNothing()
    {
        fill(3);
        const QList<int> before = tops(*bar_);
        QVERIFY(!bar_->AddPanel(QStringLiteral("Τέταρτο"), QStringLiteral("mnFourth")));
        QCOMPARE(bar_->PanelCount(), 3);
        QCOMPARE(tops(*bar_), before);
        QVERIFY(bar_->AddButton(QStringLiteral("mnFourth"), QStringLiteral("x"),
                                QStringLiteral("btnX"), QPixmap(), QString()));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(panel(*bar_, i)->ItemCount(), 0);
    }

    void unknownPanelKeyAddsNothing()
    {
        fill(2);
        // Keys compare exactly: letter case counts.
        QVERIFY(bar_->AddButton(QStringLiteral("MNSMS"), QStringLiteral("x"),
                                QStringLiteral("btnX"), QPixmap(), QString()));
        QCOMPARE(panel(*bar_, 0)->ItemCount(), 0);
        QCOMPARE(panel(*bar_, 1)->ItemCount(), 0);
        QVERIFY(bar_->AddButton(QStringLiteral("mnSMS"), QStringLiteral("x"),
                                QStringLiteral("btnX"), QPixmap(), QString()));
        QCOMPARE(panel(*bar_, 1)->ItemCount(), 1);
    }

    void ninthButtonOfAPanelFails()
    {
        fill(1);
        for (int i = 0; i < 8; ++i)
            QVERIFY(bar_->AddButton(kPanelKeys[0], QStringLiteral("b"),
                                    QStringLiteral("k%1").arg(i), QPixmap(), QString()));
        QVERIFY(!bar_->AddButton(kPanelKeys[0], QStringLiteral("b"), QStringLiteral("k8"),
                                 QPixmap(), QString()));
        QCOMPARE(panel(*bar_, 0)->ItemCount(), 8);
    }

private:
    void fill(int panels)
    {
        for (int i = 0; i < panels; ++i)
            QVERIFY(bar_->AddPanel(kPanelCaptions[i], kPanelKeys[i]));
    }

    std::unique_ptr<QWidget> host_;
    Tirnavex* bar_ = nullptr;
};

QTEST_MAIN(tst_tirnavex)
#include "tst_tirnavex.moc"
