#include "menulib/CoolButton.h"
#include "menulib/Tirnaval.h"
#include "menulib/Tirnavex.h"
#include "platform/ControlServer.h"
#include "platform/RegistryHive.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString libraryFile()
{
    return QFileInfo(QStringLiteral(TIRNAVAL_LIBRARY_FILE)).canonicalFilePath();
}

rt::RegistryHive readHive(const QString& path)
{
    rt::RegistryHive hive;
    hive.load(path);
    return hive;
}

QString classesKey(const QString& relative)
{
    return rt::classkeys::root() + QLatin1Char('\\') + relative;
}

QString defaultOf(const rt::RegistryHive& hive, const QString& relative)
{
    const auto v = hive.value(classesKey(relative), QString());
    return v ? v->text : QString();
}

} // namespace

class tst_server : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { DllSetRegistryHive(nullptr); }

    void registrationWritesBothClassesAndKeepsOtherKeys()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vantrel.REG"));
        rt::RegistryHive other;
        other.setString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tools"),
                        QStringLiteral("PATH"), QStringLiteral("/usr/bin/tool"));
        QVERIFY(other.save(path));

        const QByteArray hivePath = path.toUtf8();
        QCOMPARE(DllSetRegistryHive(hivePath.constData()), rt::ResultOk);
        QCOMPARE(DllRegisterServer(), rt::ResultOk);

        const rt::RegistryHive hive = readHive(path);
        for (const char* progId : {tirnaval::TirnavexProgId, tirnaval::CoolButtonProgId}) {
            const QString classId =
                defaultOf(hive, rt::classkeys::progIdClass(QLatin1String(progId)));
            QVERIFY2(classId.startsWith(QLatin1Char('{')), progId);
            QCOMPARE(QFileInfo(defaultOf(hive, rt::classkeys::inprocServer(classId)))
                         .canonicalFilePath(),
                     libraryFile());
            QCOMPARE(defaultOf(hive, rt::classkeys::classKey(classId) + QStringLiteral("\\ProgID")),
                     QLatin1String(progId));
            void* factory = nullptr;
            const QByteArray id = classId.toUtf8();
            QCOMPARE(DllGetClassObject(id.constData(), &factory), rt::ResultOk);
            QVERIFY(factory);
        }
        QVERIFY(hive.value(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tools"),
                           QStringLiteral("PATH")));

        // Registering twice leaves one registration.
        QCOMPARE(DllRegisterServer(), rt::ResultOk);
        QCOMPARE(readHive(path).serialize(), hive.serialize());

        QCOMPARE(DllUnregisterServer(), rt::ResultOk);
        const rt::RegistryHive after = readHive(path);
        QVERIFY(!after.hasKey(classesKey(QLatin1String(tirnaval::TirnavexProgId))));
        QVERIFY(!after.hasKey(classesKey(QLatin1String(tirnaval::CoolButtonProgId))));
        QVERIFY(!after.hasKey(classesKey(QStringLiteral("CLSID"))));
        QVERIFY(!after.hasKey(classesKey(QStringLiteral("TypeLib"))));
        QCOMPARE(after
                     .value(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tools"),
                            QStringLiteral("PATH"))
                     ->text,
                 QStringLiteral("/usr/bin/tool"));
    }

    void defaultHiveLiesBesideTheLibrary()
    {
        const QString path =
            QFileInfo(libraryFile()).absoluteDir().filePath(rt::RegistryHive::defaultFileName());
        if (QFileInfo::exists(path))
            QSKIP("a hive already lies beside the built library");
        QCOMPARE(DllRegisterServer(), rt::ResultOk);
        const bool written =
            readHive(path).hasKey(classesKey(QLatin1String(tirnaval::TirnavexProgId)));
        QFile::remove(path);
        QVERIFY(written);
    }

    void unwritableHiveFails()
    {
        QTemporaryDir dir;
        const QByteArray path = dir.filePath(QStringLiteral("missing/folder/Vantrel.REG")).toUtf8();
        DllSetRegistryHive(path.constData());
        QCOMPARE(DllRegisterServer(), rt::ResultRegisterClass);
    }

    void unknownClassHasNoFactory()
    {
        void* factory = reinterpret_cast<void*>(1);
        QCOMPARE(DllGetClassObject("{00000000-0000-0000-0000-000000000000}", &factory),
                 rt::ResultClassNotAvailable);
        QVERIFY(!factory);
        QCOMPARE(DllGetClassObject(nullptr, nullptr), rt::ResultPointer);
    }

    void canUnloadOnlyWithNoControlAlive()
    {
        QCOMPARE(DllCanUnloadNow(), rt::ResultOk);
        auto bar = std::make_unique<Tirnavex>();
        QCOMPARE(DllCanUnloadNow(), rt::ResultFalse);
        bar.reset();
        QCOMPARE(DllCanUnloadNow(), rt::ResultOk);
        {
            CoolButton button;
            QCOMPARE(DllCanUnloadNow(), rt::ResultFalse);
        }
        QCOMPARE(DllCanUnloadNow(), rt::ResultOk);
    }
};

QTEST_MAIN(tst_server)
#include "tst_server.moc"
