#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "tests/support/ProgramFolder.h"

#include <QFile>
#include <QTest>

#include <memory>

class tst_registry : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        folder_ = std::make_unique<testsupport::ProgramFolder>(false);
        QVERIFY(folder_->isValid());
        path_ = folder_->file(QStringLiteral("Vantrel.REG"));
        QCOMPARE(rt::RegistryHivePath(), path_);
    }
    void cleanup() { folder_.reset(); }

    void hiveNameIgnoresLetterCase()
    {
        rt::RegistryHive hive;
        hive.setString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE"), QString(),
                       QStringLiteral("x"));
        QVERIFY(hive.save(folder_->file(QStringLiteral("vantrel.reg"))));
        rt::HKEY key = 0;
        QCOMPARE(rt::RegOpenKeyEx(rt::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE"), 0,
                                  rt::reg::KEY_ALL_ACCESS, &key),
                 rt::reg::ERROR_SUCCESS);
        QCOMPARE(rt::RegCloseKey(key), rt::reg::ERROR_SUCCESS);
    }

    void textSurvivesAWriteAndARead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("/opt/Vantrel/libtirnaval.so");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Program Files\\tool\\");
        QTest::newRow("quotes") << QStringLiteral("say \"ναι\"");
        QTest::newRow("line breaks") << QStringLiteral("one\ntwo\r\nthree");
        QTest::newRow("empty") << QString();
        QTest::newRow("brackets and equals") << QStringLiteral("[not a key]=@\"x\"");
    }
    void textSurvivesAWriteAndARead()
    {
        QFETCH(QString, text);
        rt::RegistryHive hive;
        hive.setString(QStringLiteral("HKEY_LOCAL_MACHINE\\Κλειδί\\Sub"), QStringLiteral("Όνομα"),
                       text);
        hive.setString(QStringLiteral("HKEY_LOCAL_MACHINE\\Κλειδί\\Sub"), QString(), text);
        QVERIFY(hive.save(path_));
        rt::RegistryHive back;
        QVERIFY(back.load(path_));
        QCOMPARE(
            back.value(QStringLiteral("HKEY_LOCAL_MACHINE\\Κλειδί\\Sub"), QStringLiteral("Όνομα"))
                ->text,
            text);
        QCOMPARE(back.value(QStringLiteral("HKEY_LOCAL_MACHINE\\Κλειδί\\Sub"), QString())->text,
                 text);
        QCOMPARE(back.serialize(), hive.serialize());
    }

    void handWrittenHiveIsRead()
    {
        writeHive("; the installation's values\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared Tools\\SysInfo]\r\n"
                  "\"PATH\"=\"/usr/bin/sysinfo\"\r\n"
                  "\"Count\"=dword:0001e240\r\n"
                  "garbage line\r\n"
                  "\"Broken\"=\"no end\r\n"
                  "\"Bad\"=dword:xyz\r\n"
                  "[HKEY_CLASSES_ROOT\\Tirnaval.Tirnavex\\CLSID]\n"
                  "@=\"{1234}\"\n");
        rt::RegistryHive hive;
        QVERIFY(hive.load(path_));
        const auto count =
            hive.value(QStringLiteral("hkey_local_machine\\software\\SHARED TOOLS\\sysinfo"),
                       QStringLiteral("count"));
        QVERIFY(count);
        QCOMPARE(count->type, rt::RegistryHive::DWord);
        QCOMPARE(count->number, 123456u);
        QVERIFY(!hive.value(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared Tools\\SysInfo"),
                            QStringLiteral("Broken")));
        QVERIFY(!hive.value(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared Tools\\SysInfo"),
                            QStringLiteral("Bad")));
        QCOMPARE(
            hive.value(QStringLiteral("HKEY_CLASSES_ROOT\\Tirnaval.Tirnavex\\CLSID"), QString())
                ->text,
            QStringLiteral("{1234}"));
    }

    void removeTreeTakesOnlyThatBranch()
    {
        rt::RegistryHive hive;
        hive.setString(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32"), QString(),
                       QStringLiteral("a"));
        hive.setString(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}"), QString(),
                       QStringLiteral("A"));
        hive.setString(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{AB}"), QString(),
                       QStringLiteral("AB"));
        hive.removeTree(QStringLiteral("hkey_classes_root\\clsid\\{a}"));
        QVERIFY(!hive.hasKey(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}")));
        QVERIFY(!hive.hasKey(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32")));
        QVERIFY(hive.hasKey(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{AB}")));
        QVERIFY(hive.hasKey(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID")));
    }

    void queryGivesTheRegistrysBytes()
    {
        rt::RegistryHive hive;
        hive.setString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tools"),
                       QStringLiteral("Path"), QStringLiteral("/usr/bin/εργαλείο"));
        hive.setDWord(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tools"),
                      QStringLiteral("Flags"), 0x0102A0FFu);
        QVERIFY(hive.save(path_));

        rt::HKEY key = 0;
        // A key above a listed one exists, as in the registry.
        QCOMPARE(rt::RegOpenKeyEx(rt::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE"), 0,
                                  rt::reg::KEY_ALL_ACCESS, &key),
                 rt::reg::ERROR_SUCCESS);
        rt::HKEY tools = 0;
        QCOMPARE(rt::RegOpenKeyEx(key, QStringLiteral("tools"), 0, rt::reg::KEY_ALL_ACCESS, &tools),
                 rt::reg::ERROR_SUCCESS);
        QCOMPARE(rt::RegCloseKey(key), rt::reg::ERROR_SUCCESS);

        std::uint32_t type = 0;
        QByteArray data;
        QCOMPARE(rt::RegQueryValueEx(tools, QStringLiteral("PATH"), &type, &data, 1024),
                 rt::reg::ERROR_SUCCESS);
        QCOMPARE(type, rt::reg::REG_SZ);
        QCOMPARE(data, QStringLiteral("/usr/bin/εργαλείο").toUtf8() + QByteArray(1, '\0'));

        QCOMPARE(rt::RegQueryValueEx(tools, QStringLiteral("Flags"), &type, &data, 1024),
                 rt::reg::ERROR_SUCCESS);
        QCOMPARE(type, rt::reg::REG_DWORD);
        QCOMPARE(data, QByteArray("\xFF\xA0\x02\x01", 4));

        data = "unchanged";
        QCOMPARE(rt::RegQueryValueEx(tools, QStringLiteral("Path"), &type, &data, 5),
                 rt::reg::ERROR_MORE_DATA);
        QCOMPARE(data, QByteArray("unchanged"));
        QCOMPARE(rt::RegQueryValueEx(tools, QStringLiteral("Missing"), &type, &data, 1024),
                 rt::reg::ERROR_FILE_NOT_FOUND);
        QCOMPARE(rt::RegCloseKey(tools), rt::reg::ERROR_SUCCESS);
        QCOMPARE(rt::RegQueryValueEx(tools, QStringLiteral("Path"), &type, &data, 1024),
                 rt::reg::ERROR_INVALID_HANDLE);
        QCOMPARE(rt::RegCloseKey(tools), rt::reg::ERROR_INVALID_HANDLE);
    }

    void missingKeysAndHivesFailToOpen_data()
    {
        QTest::addColumn<bool>("hiveExists");
        QTest::addColumn<rt::HKEY>("root");
        QTest::addColumn<QString>("subKey");
        QTest::newRow("no hive file")
            << false << rt::HKEY_LOCAL_MACHINE << QStringLiteral("SOFTWARE");
        QTest::newRow("missing key")
            << true << rt::HKEY_LOCAL_MACHINE << QStringLiteral("SOFTWARE\\Other");
        QTest::newRow("other root")
            << true << rt::HKEY_CURRENT_USER << QStringLiteral("SOFTWARE\\Tools");
        QTest::newRow("part of a name")
            << true << rt::HKEY_LOCAL_MACHINE << QStringLiteral("SOFTWARE\\To");
    }
    void missingKeysAndHivesFailToOpen()
    {
        QFETCH(bool, hiveExists);
        QFETCH(rt::HKEY, root);
        QFETCH(QString, subKey);
        if (hiveExists) {
            rt::RegistryHive hive;
            hive.setString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tools"), QString(),
                           QStringLiteral("x"));
            QVERIFY(hive.save(path_));
        }
        rt::HKEY key = 7;
        QCOMPARE(rt::RegOpenKeyEx(root, subKey, 0, rt::reg::KEY_ALL_ACCESS, &key),
                 rt::reg::ERROR_FILE_NOT_FOUND);
        QCOMPARE(key, rt::HKEY(0));
    }

private:
    void writeHive(const char* text)
    {
        QFile file(path_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    std::unique_ptr<testsupport::ProgramFolder> folder_;
    QString path_;
};

QTEST_MAIN(tst_registry)
#include "tst_registry.moc"
