#include "menulib/CoolButton.h"

#include <QCursor>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// At the offscreen platform's 96 DPI a pixel is 15 twips.
constexpr int kTwipsPerPixel = 15;

QPixmap picture(int width, int height)
{
    QPixmap pm(width, height);
    pm.fill(Qt::darkBlue);
    return pm;
}

QWidget* part(CoolButton& button, const char* name)
{
    auto* w = button.findChild<QWidget*>(QLatin1String(name));
    Q_ASSERT(w);
    return w;
}

QColor pixel(QWidget& w, int x, int y) { return w.grab().toImage().pixelColor(x, y); }

} // namespace

class tst_coolbutton : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        host_ = std::make_unique<QWidget>();
        host_->resize(300, 200);
        button_ = new CoolButton(host_.get());
        button_->setGeometry(20, 20, 120, 90);
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
    }
    void cleanup()
    {
        host_.reset();
        QCursor::setPos(QPoint(5000, 5000));
    }

    void blockIsCentred_data()
    {
        QTest::addColumn<bool>("withPicture");
        QTest::addColumn<QString>("caption");
        QTest::newRow("caption only") << false << QStringLiteral("Εξερχόμενα");
        QTest::newRow("picture only") << true << QString();
        QTest::newRow("picture and caption") << true << QStringLiteral("Εξερχόμενα");
        QTest::newRow("two-line caption") << true << QStringLiteral("Ιστορικό\nΣφαλμάτων");
    }
    void blockIsCentred()
    {
        QFETCH(bool, withPicture);
        QFETCH(QString, caption);
        button_->setCaption(caption);
        if (withPicture)
            button_->setPicture(picture(32, 24));
        const QRect image = part(*button_, "btnImage")->geometry();
        const QRect text = part(*button_, "btnCaption")->geometry();
        const int gap = withPicture && !caption.isEmpty() ? 60 / kTwipsPerPixel : 0;

        if (withPicture) {
            QCOMPARE(image.size(), QSize(32, 24));
            QVERIFY(qAbs(image.center().x() - button_->width() / 2) <= 1);
            QCOMPARE(text.top(), image.bottom() + 1 + gap);
        } else {
            QCOMPARE(image.height(), 0);
        }
        if (caption.isEmpty()) {
            QCOMPARE(text.height(), 0);
        } else {
            QVERIFY(text.height() > 0);
            QVERIFY(qAbs(text.center().x() - button_->width() / 2) <= 1);
        }
        // The block, picture over caption with the gap between, sits in the middle.
        const int blockTop = withPicture ? image.top() : text.top();
        const int blockBottom = caption.isEmpty() ? image.bottom() : text.bottom();
        QVERIFY2(qAbs((blockTop + blockBottom) / 2.0 - (button_->height() - 1) / 2.0) <= 1,
                 qPrintable(QStringLiteral("block %1..%2").arg(blockTop).arg(blockBottom)));
    }

    void pressShiftsByOnePixelAndSwapsTheFrame()
    {
        button_->setCoolBorder(false);
        button_->setPicture(picture(16, 16));
        QWidget* image = part(*button_, "btnImage");
        QWidget* text = part(*button_, "btnCaption");
        const QPoint imageAtRest = image->pos();
        const QPoint textAtRest = text->pos();
        const int right = button_->width() - 1;
        const int bottom = button_->height() - 1;
        const QColor light = pixel(*button_, 0, 0);
        const QColor dark = pixel(*button_, right, bottom);
        QCOMPARE(light, QColor(Qt::white));
        QVERIFY(light != dark);
        // The bottom line owns the bottom-left corner, the right line the other two.
        QCOMPARE(pixel(*button_, 0, bottom), dark);
        QCOMPARE(pixel(*button_, right, 0), dark);

        QWidget* area = part(*button_, "ButtonArea");
        QTest::mousePress(area, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(image->pos(), imageAtRest + QPoint(1, 1));
        QCOMPARE(text->pos(), textAtRest + QPoint(1, 1));
        QCOMPARE(pixel(*button_, 0, 0), dark);
        QCOMPARE(pixel(*button_, right, bottom), light);
        QCOMPARE(pixel(*button_, 0, bottom), light);

        QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(image->pos(), imageAtRest);
        QCOMPARE(text->pos(), textAtRest);
        QCOMPARE(pixel(*button_, 0, 0), light);
        QCOMPARE(pixel(*button_, right, bottom), dark);
    }

    void clickFollowsEveryRelease_data()
    {
        QTest::addColumn<QPoint>("releaseAt");
        QTest::newRow("inside") << QPoint(30, 30);
        QTest::newRow("outside the button") << QPoint(200, 150);
    }
    void clickFollowsEveryRelease()
    {
        QFETCH(QPoint, releaseAt);
        QSignalSpy down(button_, &CoolButton::MouseDown);
        QSignalSpy up(button_, &CoolButton::MouseUp);
        QSignalSpy click(button_, &CoolButton::Click);
        QWidget* area = part(*button_, "ButtonArea");
        QTest::mousePress(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 30));
        QTest::mouseRelease(area, Qt::LeftButton, Qt::ShiftModifier, releaseAt);
        QCOMPARE(down.count(), 1);
        QCOMPARE(up.count(), 1);
        QCOMPARE(click.count(), 1);
        // Left button 1, shift 1, position in twips.
        QCOMPARE(down.at(0).at(0).toInt(), 1);
        QCOMPARE(down.at(0).at(1).toInt(), 1);
        QCOMPARE(down.at(0).at(2).toFloat(), 30.0f * kTwipsPerPixel);
        QCOMPARE(up.at(0).at(2).toFloat(), float(releaseAt.x() * kTwipsPerPixel));
    }

    void hoverFrameAppearsAndGoes()
    {
        QWidget* area = part(*button_, "ButtonArea");
        QWidget* top = part(*button_, "lnUp");
        auto* timer = button_->findChild<QTimer*>(QStringLiteral("btnTimer"));
        QVERIFY(timer);
        QVERIFY(!top->isVisible());
        QVERIFY(!timer->isActive());

        QCursor::setPos(area->mapToGlobal(QPoint(40, 40)));
        QTest::mouseMove(area, QPoint(40, 40));
        QTRY_VERIFY(top->isVisible());
        QVERIFY(timer->isActive());
        // While the mouse stays, the timer keeps the frame.
        QTest::qWait(150);
        QVERIFY(top->isVisible());
        QVERIFY(timer->isActive());

        QCursor::setPos(host_->mapToGlobal(QPoint(250, 180)));
        QTRY_VERIFY_WITH_TIMEOUT(!top->isVisible(), 1000);
        QVERIFY(!timer->isActive());
    }

    void fixedFrameNeedsNoTimer()
    {
        button_->setCoolBorder(false);
        QWidget* area = part(*button_, "ButtonArea");
        auto* timer = button_->findChild<QTimer*>(QStringLiteral("btnTimer"));
        QVERIFY(part(*button_, "lnUp")->isVisible());
        QCursor::setPos(area->mapToGlobal(QPoint(40, 40)));
        QTest::mouseMove(area, QPoint(40, 40));
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(!timer->isActive());
        QCursor::setPos(host_->mapToGlobal(QPoint(250, 180)));
        QTest::qWait(120);
        QVERIFY(part(*button_, "lnUp")->isVisible());
        QVERIFY(part(*button_, "lnRight")->isVisible());
    }

    // Without a font that has Greek the captions render as boxes, silently.
    void greekCaptionsHaveGlyphs()
    {
        button_->setCaption(QStringLiteral("Σημειωματάριο"));
        const QFontMetrics metrics(part(*button_, "btnCaption")->font());
        for (QChar c : QStringLiteral("ΣημειωματάριοΩΨ"))
            QVERIFY2(metrics.inFont(c), qPrintable(QString(c)));
    }

    void toolTipIsTheButtonArea()
    {
        button_->setButtonToolTip(QStringLiteral("Ιστορικό Σφαλμάτων"));
        QCOMPARE(part(*button_, "ButtonArea")->toolTip(), QStringLiteral("Ιστορικό Σφαλμάτων"));
    }

    void defaultsAreNotSaved()
    {
        CoolButton fresh(host_.get());
        QVERIFY(fresh.WriteProperties().isEmpty());
        fresh.ReadProperties(QVariantMap());
        QCOMPARE(fresh.Caption(), QStringLiteral("Caption"));
        QCOMPARE(static_cast<QLabel*>(part(fresh, "btnCaption"))->text(),
                 QStringLiteral("Caption"));
        QVERIFY(fresh.CoolBorder());
        QVERIFY(fresh.WriteProperties().isEmpty());

        // Set back to its default, a value is not written either.
        fresh.setCaption(QStringLiteral("x"));
        fresh.setCaption(QStringLiteral("Caption"));
        fresh.setCaptionFont(host_->font());
        QVERIFY(fresh.WriteProperties().isEmpty());
    }

    void changedPropertyIsSavedAndReadBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QFont font = QApplication::font();
        font.setPointSize(font.pointSize() + 5);
        font.setBold(true);
        QTest::newRow("BackColor") << QStringLiteral("BackColor") << QVariant(uint(0x8000000C));
        QTest::newRow("ForeColor") << QStringLiteral("ForeColor") << QVariant(uint(0x000000FF));
        QTest::newRow("Caption") << QStringLiteral("Caption")
                                 << QVariant(QStringLiteral("Οργάνωση"));
        QTest::newRow("empty Caption") << QStringLiteral("Caption") << QVariant(QString());
        QTest::newRow("ButtonToolTip")
            << QStringLiteral("ButtonToolTip") << QVariant(QStringLiteral("Σημειωματάριο"));
        QTest::newRow("Font") << QStringLiteral("Font") << QVariant(font);
        QTest::newRow("Picture") << QStringLiteral("Picture") << QVariant(picture(8, 8));
        QTest::newRow("CoolBorder") << QStringLiteral("CoolBorder") << QVariant(false);
    }
    void changedPropertyIsSavedAndReadBack()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QSignalSpy changed(button_, &CoolButton::PropertyChanged);
        QVERIFY(button_->setProperty(name.toLatin1().constData(), value));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), name);

        const QVariantMap bag = button_->WriteProperties();
        QCOMPARE(bag.keys(), QStringList{name});

        CoolButton loaded(host_.get());
        loaded.ReadProperties(bag);
        if (name == QLatin1String("Picture"))
            QCOMPARE(loaded.Picture().toImage(), value.value<QPixmap>().toImage());
        else
            QCOMPARE(loaded.property(name.toLatin1().constData()), value);
        QCOMPARE(loaded.WriteProperties().keys(), QStringList{name});
    }

    void coolBorderReadFromTheBagSetsTheFrame()
    {
        CoolButton loaded(host_.get());
        loaded.show();
        loaded.ReadProperties({{QStringLiteral("CoolBorder"), false}});
        QVERIFY(part(loaded, "lnDown")->isVisible());
        loaded.ReadProperties(QVariantMap());
        QVERIFY(!part(loaded, "lnDown")->isVisible());
    }

private:
    std::unique_ptr<QWidget> host_;
    CoolButton* button_ = nullptr;
};

QTEST_MAIN(tst_coolbutton)
#include "tst_coolbutton.moc"
