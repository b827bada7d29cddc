#include "platform/AxButton.h"
#include "platform/Toolbar.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

QPixmap filled(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return pixmap;
}

QImage shownPicture(const QToolButton& button)
{
    return button.icon().pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_toolbar : public QObject {
    Q_OBJECT

private slots:
    void buttonsReportTheirKeys()
    {
        rt::Toolbar bar;
        bar.AddButton(QStringLiteral("btnSaveMsg"), QStringLiteral("Αποθήκευση"), {},
                      QStringLiteral("Αποθήκευση Μηνύματος"));
        bar.AddSeparator();
        bar.AddButton(QStringLiteral("btnNew"), QStringLiteral("Νέο"));
        bar.AddButtonMenu(QStringLiteral("btnNew"), QStringLiteral("mnGroup"),
                          QStringLiteral("Ομάδα"));
        bar.AddButtonMenu(QStringLiteral("btnNew"), QStringLiteral("mnMember"),
                          QStringLiteral("Μέλος"));
        bar.resize(bar.sizeHint());
        QSignalSpy clicks(&bar, &rt::Toolbar::ButtonClick);
        QSignalSpy menuClicks(&bar, &rt::Toolbar::ButtonMenuClick);

        QTest::mouseClick(bar.Button(QStringLiteral("btnSaveMsg")), Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0).at(0).toString(), QStringLiteral("btnSaveMsg"));
        QCOMPARE(bar.Button(QStringLiteral("btnSaveMsg"))->toolTip(),
                 QStringLiteral("Αποθήκευση Μηνύματος"));

        bar.ButtonMenu(QStringLiteral("btnNew"))
            ->findChild<QAction*>(QStringLiteral("mnMember"))
            ->trigger();
        QCOMPARE(menuClicks.count(), 1);
        QCOMPARE(menuClicks.at(0).at(0).toString(), QStringLiteral("btnNew"));
        QCOMPARE(menuClicks.at(0).at(1).toString(), QStringLiteral("mnMember"));
        QCOMPARE(bar.Buttons().size(), 2);
    }

    void hiddenButtonsTakeNoPlace()
    {
        rt::Toolbar bar;
        bar.AddButton(QStringLiteral("a"), QStringLiteral("Α"));
        bar.AddButton(QStringLiteral("b"), QStringLiteral("Β"));
        bar.AddButton(QStringLiteral("c"), QStringLiteral("Γ"));
        bar.resize(bar.sizeHint());
        const int secondLeft = bar.Button(QStringLiteral("b"))->geometry().left();
        bar.setButtonVisible(QStringLiteral("b"), false);
        QVERIFY(!bar.isButtonVisible(QStringLiteral("b")));
        QCOMPARE(bar.Button(QStringLiteral("c"))->geometry().left(), secondLeft);
        bar.setButtonEnabled(QStringLiteral("c"), false);
        QVERIFY(!bar.isButtonEnabled(QStringLiteral("c")));
    }

    void wrappingFillsRows_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<int>("perRow");
        QTest::addColumn<int>("rows");
        QTest::newRow("three a row") << true << 3 << 4;
        QTest::newRow("all in one row") << true << 10 << 1;
        QTest::newRow("narrower than a button") << true << 0 << 10;
        QTest::newRow("one-row mode") << false << 3 << 1;
    }
    void wrappingFillsRows()
    {
        QFETCH(bool, wrap);
        QFETCH(int, perRow);
        QFETCH(int, rows);
        QWidget host;
        auto* bar = new rt::Toolbar(QStringLiteral("ChMap"), &host);
        bar->setWrappable(wrap);
        for (int i = 0; i < 10; ++i)
            bar->AddButton(QStringLiteral("k%1").arg(i), QString(QChar('0' + i)));
        const int w = bar->ButtonWidth();
        const int h = bar->ButtonHeight();
        const int width = perRow * w + 2 + (perRow == 0 ? w / 2 : 0);
        host.resize(width + 50, 400);
        host.show();
        bar->setGeometry(0, 0, width, 20);
        QCOMPARE(bar->heightForWidth(width), rows * h + 2);
        if (wrap)
            QCOMPARE(bar->height(), rows * h + 2);
        const QRect last = bar->Button(QStringLiteral("k9"))->geometry();
        QCOMPARE(last.top(), wrap ? 1 + (rows - 1) * h : 1);
    }

    void reparentedToolbarKeepsWorking()
    {
        QWidget form;
        QWidget strip;
        auto* bar = new rt::Toolbar(&form);
        bar->AddButton(QStringLiteral("btnSend"), QStringLiteral("Αποστολή"));
        QSignalSpy clicks(bar, &rt::Toolbar::ButtonClick);
        bar->setParent(&strip);
        bar->show();
        QTest::mouseClick(bar->Button(QStringLiteral("btnSend")), Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
    }

    void axButtonShowsAndExchangesItsPictures()
    {
        rt::AxButton button(QStringLiteral("cmdExpand"), nullptr);
        const QPixmap right = filled(Qt::red);
        const QPixmap left = filled(Qt::blue);
        button.setPicture(right);
        button.setPictureDown(left);
        button.setToolTipText(QStringLiteral("Εμφάνιση του Πίνακα Χαρακτήρων"));
        QSignalSpy clicks(&button, &rt::AxButton::Click);
        QCOMPARE(shownPicture(button), right.toImage().convertToFormat(QImage::Format_RGB32));
        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(shownPicture(button), left.toImage().convertToFormat(QImage::Format_RGB32));
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);

        const QPixmap first = button.Picture();
        button.setPicture(button.PictureDown());
        button.setPictureDown(first);
        QCOMPARE(shownPicture(button), left.toImage().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(button.PictureDown().toImage(), right.toImage());

        button.setCaption(QStringLiteral("X"));
        QCOMPARE(button.Caption(), QStringLiteral("X"));
        QCOMPARE(button.ToolTipText(), QStringLiteral("Εμφάνιση του Πίνακα Χαρακτήρων"));
    }
};

QTEST_MAIN(tst_toolbar)
#include "tst_toolbar.moc"
