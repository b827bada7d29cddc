#include "app/FormTitle.h"
#include "platform/AxButton.h"
#include "platform/Form.h"
#include "platform/PropertyBag.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

// A docked window with a title bar; it may refuse to close, as the organiser does when
// its question about unsaved changes is cancelled.
class frmHost : public rt::Form {
public:
    frmHost()
        : rt::Form(QStringLiteral("frmHost")), title(new FormTitle(QStringLiteral("Title"), this))
    {
        resize(600, 400);
        title->setGeometry(0, 0, 600, 25);
    }
    FormTitle* title;
    bool refuse = false;

protected:
    void Form_Unload(bool& cancel) override { cancel = refuse; }
};

} // namespace

class tst_formtitle : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { rt::Forms::discardAll(); }

    void designCaptionAndCloseButton()
    {
        FormTitle title;
        QCOMPARE(title.Caption(), QStringLiteral("Form Title"));
        QCOMPARE(title.cmdClose()->Caption(), QStringLiteral("X"));
        QCOMPARE(title.cmdClose()->ToolTipText(), QStringLiteral("Κλείσιμο"));
        QVERIFY(title.frmTitle()->font().bold());
    }

    void savedCaption_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("written");
        QTest::newRow("none stored") << QString() << false;
        QTest::newRow("own caption") << QStringLiteral("Κατάλογος Μελών") << true;
    }
    void savedCaption()
    {
        QFETCH(QString, stored);
        QFETCH(bool, written);
        rt::PropertyBag bag;
        if (!stored.isEmpty())
            bag.WriteProperty(QStringLiteral("Caption"), stored, QStringLiteral("Form Title"));
        FormTitle title;
        title.ReadProperties(bag);
        QCOMPARE(title.Caption(), stored.isEmpty() ? QStringLiteral("Form Title") : stored);
        rt::PropertyBag saved;
        title.WriteProperties(saved);
        QCOMPARE(saved.contains(QStringLiteral("Caption")), written);
    }

    void captionSizesTheLabelWithoutClipping()
    {
        FormTitle title;
        title.resize(300, 25);
        title.show();
        QSignalSpy changed(&title, &FormTitle::PropertyChanged);
        const QString longCaption =
            QStringLiteral("Αποθηκευμένα Μηνύματα της Ομάδας των Συνεργατών");
        title.setCaption(longCaption);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toString(), QStringLiteral("Caption"));
        QLabel* label = title.frmTitle();
        QCOMPARE(label->text(), longCaption);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(longCaption));
        // It runs under the close button rather than being shortened.
        QVERIFY(label->geometry().right() > title.cmdClose()->x());
        QCOMPARE(label->x(), rt::toPixels(60));
        QCOMPARE(label->y(), title.height() / 2 - label->height() / 2);
    }

    void resizeKeepsTheButtonAtTheRight_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide") << QSize(700, 30);
        QTest::newRow("narrow") << QSize(80, 20);
        QTest::newRow("too small") << QSize(5, 3);
    }
    void resizeKeepsTheButtonAtTheRight()
    {
        QFETCH(QSize, size);
        FormTitle title;
        title.show();
        const QSize button = title.cmdClose()->size();
        title.resize(size);
        QCOMPARE(title.cmdClose()->size(), button);
        QCOMPARE(title.cmdClose()->x(), size.width() - (button.width() + rt::toPixels(60)));
        QCOMPARE(title.cmdClose()->y(), size.height() / 2 - button.height() / 2);
        QCOMPARE(title.frmTitle()->x(), rt::toPixels(60));
    }

    void closeButtonUnloadsTheHost_data()
    {
        QTest::addColumn<bool>("refuse");
        QTest::newRow("closes") << false;
        QTest::newRow("refuses") << true;
    }
    void closeButtonUnloadsTheHost()
    {
        QFETCH(bool, refuse);
        frmHost& host = rt::Forms::get<frmHost>();
        host.refuse = refuse;
        host.show();
        // Docked inside another window, the host is still the form around the control.
        QWidget frame;
        host.setParent(&frame);
        QCOMPARE(host.title->host(), &host);
        QTest::mouseClick(host.title->cmdClose(), Qt::LeftButton);
        QCOMPARE(rt::IsFormLoaded(QStringLiteral("frmHost")), refuse);
        if (refuse) {
            host.refuse = false;
            rt::Forms::unload(&host);
        }
        host.setParent(nullptr);
    }
};

QTEST_MAIN(tst_formtitle)
#include "tst_formtitle.moc"
