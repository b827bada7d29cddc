#include "platform/ControlFactory.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "tests/support/ProgramFolder.h"

#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {

const QString kLibrary = QStringLiteral(TIRNAVAL_LIBRARY_FILE);

struct Entry {
    const char* panelKey;
    const char* panelCaption; // empty: the panel above
    const char* buttonKey;
    const char* caption;
    const char* toolTip;
};

// The main window's panel menu.
const Entry kMenu[] = {
    {"mnMembers", "Οργάνωση", "btnMembers", "Κατάλογος Μέλων", "Διαχείρηση Στοιχείων Μελών"},
    {"mnMembers", "", "btnGroups", "Οργάνωση Ομάδων", "Οργάνωση Ομάδων"},
    {"mnSMS", "Μηνύματα", "btnOutBox", "Εξερχόμενα", "Κατάλογος Εξερχόμενων Μηνυμάτων"},
    {"mnSMS", "", "btnSendBox", "Απεσταλμένα", "Κατάλογος Απεσταλμένων Μηνυμάτων"},
    {"mnSMS", "", "btnSavedMsgs", "Αποθηκευμένα", "Κατάλογος Αποθηκευμένων Μηνυμάτων"},
    {"mnTools", "Εργαλεία", "btnConfig", "Παράμετροι", "Παράμετροι Προγράμματος"},
    {"mnTools", "", "btnErrorLog", "Ιστορικό\nΣφαλμάτων", "Ιστορικό Σφαλμάτων"},
    {"mnTools", "", "btnCalculator", "Αριθμομηχανή", "Αριθμομηχανή"},
    {"mnTools", "", "btnNotepad", "Σημειωματάριο", "Σημειωματάριο"},
};

QPixmap picture(int index)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    painter.setBrush(QColor::fromHsv((index * 40) % 360, 160, 230));
    painter.drawEllipse(2, 2, 28, 28);
    return pm;
}

bool invoke(QObject* control, const char* method, QGenericArgument a, QGenericArgument b,
            QGenericArgument c = QGenericArgument(), QGenericArgument d = QGenericArgument(),
            QGenericArgument e = QGenericArgument())
{
    bool result = false;
    if (!QMetaObject::invokeMethod(control, method, Qt::DirectConnection,
                                   Q_RETURN_ARG(bool, result), a, b, c, d, e))
        return false;
    return result;
}

QWidget* buttonArea(QWidget* control, int panel, const char* button)
{
    QWidget* p = control->findChild<QWidget*>(QStringLiteral("VertPanel_%1").arg(panel));
    QWidget* b = p ? p->findChild<QWidget*>(QLatin1String(button)) : nullptr;
    return b ? b->findChild<QWidget*>(QStringLiteral("ButtonArea")) : nullptr;
}

} // namespace

// Stands where the main window would: it knows the control only by its names.
class Host : public QWidget {
    Q_OBJECT
public:
    QStringList clicks;
public slots:
    void VMenu_ButtonClick(const QString& MenuKey, const QString& ButtonKey)
    {
        clicks.append(MenuKey + QLatin1Char('/') + ButtonKey);
    }
};

class tst_controlfactory : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        folder_ = std::make_unique<testsupport::ProgramFolder>(false);
        QVERIFY(folder_->isValid());
        hive_ = folder_->file(rt::RegistryHive::defaultFileName());
    }
    void cleanup() { folder_.reset(); }

    void panelMenuByRegisteredClass()
    {
        QString error;
        QVERIFY2(rt::RegisterServer(kLibrary, hive_, &error), qPrintable(error));

        Host host;
        host.resize(300, 600);
        QWidget* menu = rt::CreateControl(QStringLiteral("Tirnaval.Tirnavex"), &host, &error);
        QVERIFY2(menu, qPrintable(error));
        QCOMPARE(menu->parentWidget(), &host);
        menu->setObjectName(QStringLiteral("VMenu"));
        menu->setGeometry(4, 4, 150, 560);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        int index = 0;
        for (const Entry& e : kMenu) {
            if (*e.panelCaption)
                QVERIFY(invoke(menu, "AddPanel", Q_ARG(QString, QString::fromUtf8(e.panelCaption)),
                               Q_ARG(QString, QLatin1String(e.panelKey))));
            QVERIFY(invoke(menu, "AddButton", Q_ARG(QString, QLatin1String(e.panelKey)),
                           Q_ARG(QString, QString::fromUtf8(e.caption)),
                           Q_ARG(QString, QLatin1String(e.buttonKey)),
                           Q_ARG(QPixmap, picture(++index)),
                           Q_ARG(QString, QString::fromUtf8(e.toolTip))));
        }
        QVERIFY(!invoke(menu, "AddPanel", Q_ARG(QString, QStringLiteral("Τέταρτο")),
                        Q_ARG(QString, QStringLiteral("mnMore"))));

        QVERIFY(connect(menu, SIGNAL(ButtonClick(QString, QString)), &host,
                        SLOT(VMenu_ButtonClick(QString, QString))));
        QWidget* groups = buttonArea(menu, 0, "Button_1");
        QVERIFY(groups);
        QTest::mouseClick(groups, Qt::LeftButton);
        QCOMPARE(host.clicks, QStringList{QStringLiteral("mnMembers/btnGroups")});

        // Open the third panel and use its last button.
        QSignalSpy opened(menu, SIGNAL(MenuClick(QString)));
        QTest::mouseClick(buttonArea(menu, 2, "btnCommand"), Qt::LeftButton);
        QVERIFY(opened.wait(5000));
        QCOMPARE(opened.at(0).at(0).toString(), QStringLiteral("mnTools"));
        QTest::mouseClick(buttonArea(menu, 2, "Button_3"), Qt::LeftButton);
        QCOMPARE(host.clicks.last(), QStringLiteral("mnTools/btnNotepad"));

        QWidget* button = rt::CreateControl(QStringLiteral("Tirnaval.CoolButton"), &host, &error);
        QVERIFY2(button, qPrintable(error));
        QVERIFY(button->setProperty("Caption", QStringLiteral("Υπόλοιπο SMS")));
        QCOMPARE(button->property("Caption").toString(), QStringLiteral("Υπόλοιπο SMS"));

        delete menu;
        delete button;
        QVERIFY2(rt::UnregisterServer(kLibrary, hive_, &error), qPrintable(error));
        error.clear();
        QVERIFY(!rt::CreateControl(QStringLiteral("Tirnaval.Tirnavex"), &host, &error));
        QVERIFY(!error.isEmpty());
    }

    void creationFails_data()
    {
        QTest::addColumn<QString>("progId");
        QTest::addColumn<QString>("libraryPath");
        QTest::newRow("unknown class") << QStringLiteral("Tirnaval.Nothing") << kLibrary;
        QTest::newRow("library gone")
            << QStringLiteral("Tirnaval.Tirnavex") << QStringLiteral("/nonexistent/libtirnaval.so");
        QTest::newRow("not a control library")
            << QStringLiteral("Tirnaval.Tirnavex") << QStringLiteral("libc.so.6");
    }
    void creationFails()
    {
        QFETCH(QString, progId);
        QFETCH(QString, libraryPath);
        QString error;
        QVERIFY2(rt::RegisterServer(kLibrary, hive_, &error), qPrintable(error));
        // Point the registered class at another file, as a moved installation would.
        rt::RegistryHive hive;
        QVERIFY(hive.load(hive_));
        const QString classKey = QStringLiteral("HKEY_CLASSES_ROOT\\Tirnaval.Tirnavex\\CLSID");
        const QString classId = hive.value(classKey, QString())->text;
        hive.setString(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\%1\\InprocServer32").arg(classId),
                       QString(), libraryPath);
        QVERIFY(hive.save(hive_));

        QWidget host;
        QVERIFY(!rt::CreateControl(progId, &host, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(host.children().isEmpty());
    }

    void registrationOfAMissingLibraryFails()
    {
        QString error;
        QVERIFY(!rt::RegisterServer(QStringLiteral("/nonexistent/libtirnaval.so"), hive_, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(hive_));
    }

private:
    std::unique_ptr<testsupport::ProgramFolder> folder_;
    QString hive_;
};

QTEST_MAIN(tst_controlfactory)
#include "tst_controlfactory.moc"
