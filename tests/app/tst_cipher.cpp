#include "app/cipher.h"
#include "app/mdlSettings.h"

#include <QTest>

namespace {

QByteArray stretched(const QByteArray& bytes) {
    cipher c;
    c.setText(bytes);
    c.Stretch();
    return c.Text();
}

QByteArray shrunk(const QByteArray& text) {
    cipher c;
    c.setText(text);
    c.Shrink();
    return c.Text();
}

QByteArray allBytes(int offset) {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(static_cast<char>((i + offset) & 0xFF));
    return bytes;
}

} // namespace

class tst_cipher : public QObject {
    Q_OBJECT
private slots:
    void stretchLengths_data() {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("1") << 1 << 2;
        QTest::newRow("2") << 2 << 3;
        QTest::newRow("3") << 3 << 4;
        QTest::newRow("4") << 4 << 6;
        QTest::newRow("20") << 20 << 27;
    }
    void stretchLengths() {
        QFETCH(int, input);
        QFETCH(int, output);
        const QByteArray packed = stretched(QByteArray(input, '\xAB'));
        QCOMPARE(packed.size(), output);
        for (const char ch : packed)
            QVERIFY(ch >= ';' && ch <= 'z');
    }

    void stretchVectors_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("0 0 0") << QByteArray(3, '\0') << QByteArray(";;;;");
        QTest::newRow("255") << QByteArray("\xFF") << QByteArray("zk");
        // Top bits of bytes 1, 2, 3 in bits 5-4, 3-2, 1-0 of the group character.
        QTest::newRow("64 128 192") << QByteArray("\x40\x80\xC0") << QByteArray(";;;V");
        QTest::newRow("partial 2") << QByteArray("\x01\xC2") << QByteArray("<=G");
    }
    void stretchVectors() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        QCOMPARE(stretched(input), output);
        QCOMPARE(shrunk(output), input);
    }

    void shrinkLengths_data() {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("2") << 2 << 1;
        QTest::newRow("3") << 3 << 2;
        QTest::newRow("4") << 4 << 3;
        QTest::newRow("6") << 6 << 4;
    }
    void shrinkLengths() {
        QFETCH(int, input);
        QFETCH(int, output);
        QCOMPARE(shrunk(QByteArray(input, 'A')).size(), output);
    }

    void everyByteSurvivesPacking() {
        // Every value in every position of a group, and partial last groups.
        for (int offset = 0; offset < 3; ++offset) {
            for (int length = 254; length <= 256; ++length) {
                const QByteArray bytes = allBytes(offset).left(length);
                QCOMPARE(shrunk(stretched(bytes)), bytes);
            }
        }
        for (int b = 0; b < 256; ++b) {
            const QByteArray one(1, static_cast<char>(b));
            QCOMPARE(shrunk(stretched(one)), one);
        }
    }

    void foreignTextShrinksWithoutFailing() {
        // Characters below ";" make no valid value: those positions stay blank.
        const QByteArray out = shrunk(QByteArray("\x01\x02\x03\x04\x05\x06", 6));
        QCOMPARE(out, QByteArray(4, ' '));
        QCOMPARE(shrunk(QByteArray("z")), QByteArray());
    }

    void everyByteSurvivesTheStream() {
        const QByteArray plain = allBytes(0);
        cipher a;
        a.setKeyString(mdlSettings::SettingsKey);
        a.setText(plain);
        a.DoXor();
        a.Stretch();
        const QByteArray stored = a.Text();

        cipher b;
        b.setKeyString(mdlSettings::SettingsKey);
        b.setText(stored);
        b.Shrink();
        b.DoXor();
        QCOMPARE(b.Text(), plain);
    }

    void streamDependsOnlyOnKey() {
        const QByteArray first = mdlSettings::EncodeValue(QStringLiteral("same"));
        mdlSettings::EncodeValue(QStringLiteral("something else in between"));
        QCOMPARE(mdlSettings::EncodeValue(QStringLiteral("same")), first);

        cipher other;
        other.setKeyString(QStringLiteral("another key"));
        other.setText(QByteArray("same"));
        other.DoXor();
        other.Stretch();
        QVERIFY(other.Text() != first);
    }

    // Stored forms made by the old runtime's generator with the settings key: a file
    // written by an earlier version reads back only if these hold.
    void knownStoredForms_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("header") << QStringLiteral("Application Settings")
                                << QByteArray("ikm`]FMyloOGyEEoPmK@V>umPFs");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("port") << QStringLiteral("80") << QByteArray("Rkk");
        QTest::newRow("unknown credits") << QStringLiteral("-1") << QByteArray("=lk");
        QTest::newRow("greek") << QStringLiteral("κωδικός") << QByteArray("@taJbCHO][");
    }
    void knownStoredForms() {
        QFETCH(QString, value);
        QFETCH(QByteArray, stored);
        QCOMPARE(mdlSettings::EncodeValue(value), stored);
        QCOMPARE(mdlSettings::DecodeValue(stored), value);
    }
};

QTEST_APPLESS_MAIN(tst_cipher)
#include "tst_cipher.moc"
