// A drawn picture added to an image list keeps what it is shown as to itself; it must
// still look exactly as the toolkit's own icon of that picture looks, at every size and
// in every mode the views and tool bars ask for.
#include "platform/ImageList.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QTest>

namespace {

// Colours, a gradient and a diagonal, so that any other scaling or shading shows.
QPixmap picture(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor(200, 30, 30));
    gradient.setColorAt(1, QColor(30, 60, 220, 160));
    p.setBrush(gradient);
    p.setPen(QPen(QColor(20, 140, 40), 1.5));
    p.drawEllipse(QRectF(1.5, 1.5, size.width() - 3, size.height() - 3));
    p.drawLine(QPointF(0, size.height()), QPointF(size.width(), 0));
    return pixmap;
}

} // namespace

class tst_ImageList : public QObject {
    Q_OBJECT

private slots:
    void showsPicturesAsTheToolkitDoes_data()
    {
        QTest::addColumn<QSize>("drawn");
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<int>("mode");
        QTest::newRow("its own size") << QSize(16, 16) << QSize(16, 16) << int(QIcon::Normal);
        QTest::newRow("a tool bar's size") << QSize(25, 25) << QSize(24, 24) << int(QIcon::Normal);
        QTest::newRow("much smaller") << QSize(25, 25) << QSize(11, 11) << int(QIcon::Normal);
        QTest::newRow("larger: never enlarged")
            << QSize(16, 16) << QSize(32, 32) << int(QIcon::Normal);
        QTest::newRow("other proportions") << QSize(25, 12) << QSize(16, 16) << int(QIcon::Normal);
        QTest::newRow("greyed") << QSize(25, 25) << QSize(24, 24) << int(QIcon::Disabled);
        QTest::newRow("greyed, own size") << QSize(16, 16) << QSize(16, 16) << int(QIcon::Disabled);
        QTest::newRow("selected") << QSize(16, 16) << QSize(16, 16) << int(QIcon::Selected);
        QTest::newRow("under the mouse") << QSize(25, 25) << QSize(24, 24) << int(QIcon::Active);
    }

    void showsPicturesAsTheToolkitDoes()
    {
        QFETCH(QSize, drawn);
        QFETCH(QSize, asked);
        QFETCH(int, mode);
        const QPixmap drawing = picture(drawn);
        const QIcon toolkit(drawing);
        rt::ImageList images;
        QCOMPARE(images.Add(drawing, QStringLiteral("p")), 1);
        const QIcon ours = images.Icon(QStringLiteral("p"));
        const auto m = QIcon::Mode(mode);

        QCOMPARE(ours.isNull(), false);
        QCOMPARE(ours.actualSize(asked, m), toolkit.actualSize(asked, m));
        QCOMPARE(ours.availableSizes(m), toolkit.availableSizes(m));
        const QImage expected = toolkit.pixmap(asked, m).toImage();
        QCOMPARE(ours.pixmap(asked, m).toImage(), expected);
        // Asked again, the same copy: it is made once.
        QCOMPARE(ours.pixmap(asked, m).cacheKey(), ours.pixmap(asked, m).cacheKey());

        // Painted into a rectangle, as a list view's delegate paints its items' icons.
        QImage painted(40, 40, QImage::Format_ARGB32_Premultiplied);
        QImage paintedByToolkit = painted;
        painted.fill(Qt::white);
        paintedByToolkit.fill(Qt::white);
        const QRect where(3, 5, asked.width(), asked.height());
        {
            QPainter p(&painted);
            ours.paint(&p, where, Qt::AlignCenter, m);
        }
        {
            QPainter p(&paintedByToolkit);
            toolkit.paint(&p, where, Qt::AlignCenter, m);
        }
        QCOMPARE(painted, paintedByToolkit);
    }

    void aNullPictureIsNoPicture()
    {
        rt::ImageList images;
        QCOMPARE(images.Add(QPixmap()), 1);
        QVERIFY(images.Icon(1).isNull());
        QVERIFY(images.Icon(1).pixmap(16, 16).isNull());
    }
};

QTEST_MAIN(tst_ImageList)
#include "tst_imagelist.moc"
