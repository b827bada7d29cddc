#include "menulib/CoolButton.h"
#include "menulib/VertButton.h"
#include "tests/support/MoveRecorder.h"

#include <QEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using testsupport::MoveRecorder;

namespace {

// Design sizes at 96 DPI: caption 375 twips (25 px), items 1200 twips (80 px).
constexpr int kTwipsPerPixel = 15;
constexpr int kCaptionPx = 25;
constexpr int kItemPx = 80;

CoolButton* child(QWidget& parent, const QString& name)
{
    auto* button = parent.findChild<CoolButton*>(name, Qt::FindDirectChildrenOnly);
    Q_ASSERT(button);
    return button;
}

CoolButton* item(VertButton& panel, int i)
{
    return child(panel, QStringLiteral("Button_%1").arg(i));
}

void click(CoolButton* button)
{
    QTest::mouseClick(button->findChild<QWidget*>(QStringLiteral("ButtonArea")), Qt::LeftButton);
}

} // namespace

class tst_vertbutton : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        host_ = std::make_unique<QWidget>();
        host_->resize(200, 700);
        panel_ = new VertButton(host_.get());
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
    }
    void cleanup() { host_.reset(); }

    void arrowsFollowTheOverflow_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("panelHeight");
        QTest::addColumn<bool>("downShown");
        QTest::newRow("items fit") << 2 << 250 << false;
        QTest::newRow("items fit exactly") << 2 << kCaptionPx + 2 * kItemPx << false;
        // The last item sticks out by less than the caption's height: it can still be
        // scrolled into view, so the arrow is offered.
        QTest::newRow("last item cut by 10 px") << 2 << kCaptionPx + 2 * kItemPx - 10 << true;
        QTest::newRow("many items") << 8 << 300 << true;
    }
    void arrowsFollowTheOverflow()
    {
        QFETCH(int, items);
        QFETCH(int, panelHeight);
        QFETCH(bool, downShown);
        for (int i = 0; i < items; ++i)
            QVERIFY(panel_->AddButton(QStringLiteral("b%1").arg(i), QStringLiteral("k%1").arg(i),
                                      QPixmap()));
        panel_->setGeometry(0, 0, 150, panelHeight);
        panel_->show();
        QCOMPARE(child(*panel_, QStringLiteral("cmdDown"))->isVisible(), downShown);
        QVERIFY(!child(*panel_, QStringLiteral("cmdUp"))->isVisible());
    }

    void scrollsToTheEndAndBack()
    {
        fill(8);
        panel_->setGeometry(0, 0, 150, 300);
        panel_->show();
        CoolButton* down = child(*panel_, QStringLiteral("cmdDown"));
        CoolButton* up = child(*panel_, QStringLiteral("cmdUp"));
        QVERIFY(down->isVisible());

        // One click: twenty visible steps of 50 twips, run after the click returns.
        MoveRecorder first(item(*panel_, 0));
        click(down);
        QCOMPARE(panel_->ScrollOffset(), 0.0f);
        QTRY_VERIFY(!panel_->isScrolling());
        QCOMPARE(panel_->ScrollOffset(), -1000.0f);
        QCOMPARE(first.tops.size(), 20);
        for (int i = 1; i < first.tops.size(); ++i)
            QVERIFY(first.tops.at(i) < first.tops.at(i - 1));
        QVERIFY(up->isVisible());

        int clicks = 1;
        while (down->isVisible() && clicks < 20) {
            click(down);
            QTRY_VERIFY(!panel_->isScrolling());
            ++clicks;
        }
        QVERIFY(!down->isVisible());
        CoolButton* last = item(*panel_, 7);
        QCOMPARE(last->geometry().bottom() + 1, panel_->height());
        QCOMPARE(panel_->ScrollOffset(),
                 float(300 * kTwipsPerPixel) - panel_->ItemsHeight() - panel_->CaptionHeight());
        QVERIFY(up->isVisible());

        clicks = 0;
        while (up->isVisible() && clicks < 20) {
            click(up);
            QTRY_VERIFY(!panel_->isScrolling());
            ++clicks;
        }
        QVERIFY(!up->isVisible());
        QCOMPARE(panel_->ScrollOffset(), 0.0f);
        QCOMPARE(item(*panel_, 0)->y(), kCaptionPx);
        QVERIFY(down->isVisible());
    }

    // Scrolled up, the items pass under the caption: it is still drawn as before and a
    // click on it, found at that point as a real click is, reaches the caption.
    void theCaptionStaysAboveScrolledItems()
    {
        panel_->SetMenu(QStringLiteral("Εργαλεία"), QStringLiteral("mnTools"));
        fill(8);
        panel_->setGeometry(0, 0, 150, 300);
        panel_->show();
        const QRect caption(0, 0, 150, kCaptionPx);
        const QImage before = panel_->grab(caption).toImage();

        click(child(*panel_, QStringLiteral("cmdDown")));
        QTRY_VERIFY(!panel_->isScrolling());
        QVERIFY(item(*panel_, 0)->geometry().intersects(caption));
        QCOMPARE(panel_->grab(caption).toImage(), before);

        QSignalSpy maximize(panel_, &VertButton::MaximizeMenu);
        QSignalSpy clicked(panel_, &VertButton::ButtonClick);
        QTest::mouseClick(host_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          panel_->mapTo(host_.get(), caption.center()));
        QCOMPARE(maximize.count(), 1);
        QCOMPARE(clicked.count(), 0);

        // The arrows stay above the items too.
        CoolButton* up = child(*panel_, QStringLiteral("cmdUp"));
        QVERIFY(up->isVisible());
        QCOMPARE(panel_->childAt(up->geometry().center())->parentWidget(), up);
    }

    void aClickDuringAScrollAddsItsRun()
    {
        fill(8);
        panel_->setGeometry(0, 0, 150, 300);
        panel_->show();
        CoolButton* down = child(*panel_, QStringLiteral("cmdDown"));
        click(down);
        QTest::qWait(30);
        QVERIFY(panel_->isScrolling());
        click(down);
        QTRY_VERIFY(!panel_->isScrolling());
        QCOMPARE(panel_->ScrollOffset(), -2000.0f);
    }

    void itemsKeepTheirOrderAndReportTheirKeys()
    {
        fill(3);
        panel_->setGeometry(0, 0, 150, 400);
        panel_->show();
        QCOMPARE(panel_->ItemCount(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(item(*panel_, i)->y(), kCaptionPx + i * kItemPx);
            QCOMPARE(item(*panel_, i)->width(), 150);
            QCOMPARE(item(*panel_, i)->Caption(), QStringLiteral("b%1").arg(i));
        }
        QVERIFY(!item(*panel_, 3)->isVisible());

        QSignalSpy clicked(panel_, &VertButton::ButtonClick);
        QSignalSpy maximize(panel_, &VertButton::MaximizeMenu);
        click(item(*panel_, 1));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toString(), QStringLiteral("k1"));
        click(child(*panel_, QStringLiteral("btnCommand")));
        QCOMPARE(maximize.count(), 1);
        QCOMPARE(clicked.count(), 1);
    }

    void toolTipOnlyWhenGiven()
    {
        panel_->AddButton(QStringLiteral("a"), QStringLiteral("ka"), QPixmap());
        panel_->AddButton(QStringLiteral("b"), QStringLiteral("kb"), QPixmap(),
                          QStringLiteral("Οργάνωση Ομάδων"));
        const auto tip = [&](int i) {
            return item(*panel_, i)->findChild<QWidget*>(QStringLiteral("ButtonArea"))->toolTip();
        };
        QCOMPARE(tip(0), QString());
        QCOMPARE(tip(1), QStringLiteral("Οργάνωση Ομάδων"));
    }

    void ninthItemChangesNothing()
    {
        fill(8);
        panel_->setGeometry(0, 0, 150, 300);
        const float itemsHeight = panel_->ItemsHeight();
        QVERIFY(!panel_->AddButton(QStringLiteral("ninth"), QStringLiteral("k8"), QPixmap()));
        QCOMPARE(panel_->ItemCount(), 8);
        QCOMPARE(panel_->ItemsHeight(), itemsHeight);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(item(*panel_, i)->Tag(), QStringLiteral("k%1").arg(i));
    }

    void setMenuFillsTheCaption()
    {
        panel_->SetMenu(QStringLiteral("Εργαλεία"), QStringLiteral("mnTools"));
        CoolButton* caption = child(*panel_, QStringLiteral("btnCommand"));
        QCOMPARE(caption->Caption(), QStringLiteral("Εργαλεία"));
        QCOMPARE(caption->Tag(), QStringLiteral("mnTools"));
        QCOMPARE(panel_->CaptionHeight(), float(kCaptionPx * kTwipsPerPixel));
    }

private:
    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            QVERIFY(panel_->AddButton(QStringLiteral("b%1").arg(i), QStringLiteral("k%1").arg(i),
                                      QPixmap()));
    }

    std::unique_ptr<QWidget> host_;
    VertButton* panel_ = nullptr;
};

QTEST_MAIN(tst_vertbutton)
#include "tst_vertbutton.moc"
