#include "compose/CharacterMap.h"
#include "platform/Cp1253.h"
#include "platform/Toolbar.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

QList<QToolButton*> symbolButtons(CharacterMap& map)
{
    return map.findChild<rt::Toolbar*>(QStringLiteral("ChMap"))->Buttons();
}

QString captionOf(QToolButton* button)
{
    auto* bar = qobject_cast<rt::Toolbar*>(button->parentWidget());
    return bar->ButtonCaption(button->objectName());
}

QToolButton* buttonWithCaption(CharacterMap& map, const QString& caption)
{
    for (QToolButton* button : symbolButtons(map)) {
        if (captionOf(button) == caption)
            return button;
    }
    return nullptr;
}

} // namespace

class tst_charactermap : public QObject {
    Q_OBJECT

private slots:
    void buttonsInTheirOrder()
    {
        CharacterMap map;
        QStringList captions;
        for (QToolButton* button : symbolButtons(map))
            captions.append(captionOf(button));
        const QString expected =
            QStringLiteral("ABΓΔEZHΘIKΛMNΞOΠPΣTYΦXΨΩ") + QStringLiteral("CDFGJLQRSUVW") +
            QStringLiteral("abcdefghijklmnopqrstuvwxyz") + QStringLiteral("0123456789") +
            QStringLiteral(" @;:,.!?()'+=-*<>\\~\"¤#§|¥£$%&_/");
        QCOMPARE(captions.size(), expected.size());
        QCOMPARE(captions.first(), QStringLiteral(" A "));
        for (qsizetype i = 1; i < expected.size(); ++i)
            QCOMPARE(captions.at(i), QString(expected.at(i)));
        // The look-alikes are Latin letters.
        QCOMPARE(captions.at(1).at(0).unicode(), u'B');
        QCOMPARE(captions.at(23).at(0).unicode(), u'Ω');
        // In one long row the separators show as the gaps between the five groups.
        map.resize(8000, 100);
        map.show();
        const QList<QToolButton*> buttons = symbolButtons(map);
        QList<int> gaps;
        for (qsizetype i = 1; i < buttons.size(); ++i) {
            if (buttons.at(i)->x() - buttons.at(i - 1)->x() > buttons.at(i - 1)->width())
                gaps.append(int(i));
        }
        QCOMPARE(gaps, (QList<int>{24, 36, 62, 72}));
    }

    void clicksReportTheCodePage_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("code");
        QTest::newRow("first button A") << " A " << 65;
        QTest::newRow("omega") << "Ω" << 217;
        QTest::newRow("Greek gamma") << "Γ" << 195;
        QTest::newRow("blank") << " " << 32;
        QTest::newRow("vertical line") << "|" << 124;
        QTest::newRow("section sign") << "§" << 167;
        QTest::newRow("pound sign") << "£" << 163;
        QTest::newRow("double quote") << "\"" << 34;
        QTest::newRow("ampersand") << "&" << 38;
    }
    void clicksReportTheCodePage()
    {
        QFETCH(QString, caption);
        QFETCH(int, code);
        CharacterMap map;
        map.resize(300, 400);
        map.show();
        QSignalSpy clicks(&map, &CharacterMap::SymbolClick);
        QToolButton* button = buttonWithCaption(map, caption);
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0).at(0).toInt(), code);
    }

    void the23rdSmallLetterIsW()
    {
        CharacterMap map;
        map.resize(300, 400);
        map.show();
        QSignalSpy clicks(&map, &CharacterMap::SymbolClick);
        QTest::mouseClick(symbolButtons(map).at(24 + 12 + 22), Qt::LeftButton);
        QCOMPARE(clicks.at(0).at(0).toInt(), 119);
    }

    void scrollBarOnlyWhenTheRowsDoNotFit()
    {
        CharacterMap map;
        auto* bar = map.findChild<rt::Toolbar*>(QStringLiteral("ChMap"));
        auto* scroll = map.findChild<QScrollBar*>(QStringLiteral("VScroll"));
        map.resize(260, 200);
        map.show();
        const int r = bar->ButtonHeight();
        const int t = bar->y();
        const int rows = bar->heightForWidth(bar->width());
        // Tall enough for every row with a margin of two rows.
        map.resize(260, t + rows + 2 * r + 1);
        QVERIFY(!scroll->isEnabled());
        QCOMPARE(bar->y(), t);

        map.resize(260, t + rows / 2);
        QVERIFY(scroll->isEnabled());
        QCOMPARE(scroll->value(), 0);
        QCOMPARE(scroll->singleStep(), r);
        scroll->setValue(r);
        QCOMPARE(bar->y(), t - r);

        // Shrinking again puts the palette back at its top.
        map.resize(260, t + rows / 3);
        QCOMPARE(scroll->value(), 0);
        QCOMPARE(bar->y(), t);

        // At the end of the bar the last row is in view.
        scroll->setValue(scroll->maximum());
        QToolButton* last = symbolButtons(map).last();
        const int lastBottom = bar->y() + last->geometry().bottom();
        QVERIFY2(lastBottom < map.height(), qPrintable(QString::number(lastBottom)));
    }

    void greekCaptionsHaveGlyphs()
    {
        CharacterMap map;
        const QFontMetrics metrics(buttonWithCaption(map, QStringLiteral("Ω"))->font());
        for (const QString& caption : CharacterMap::symbolCaptions()) {
            const QString symbol = caption.trimmed();
            if (!symbol.isEmpty())
                QVERIFY2(metrics.inFont(symbol.at(0)), qPrintable(symbol));
        }
    }
};

QTEST_MAIN(tst_charactermap)
#include "tst_charactermap.moc"
