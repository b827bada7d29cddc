#include "compose/CharacterMap.h"

#include "platform/Cp1253.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QToolButton>
#include <cstdlib>

namespace {

// Greek alphabetical order, with the Latin capital wherever one looks alike.
const QStringList greekGroup = {
    QStringLiteral(" A "), QStringLiteral("B"), QStringLiteral("Γ"), QStringLiteral("Δ"),
    QStringLiteral("E"),   QStringLiteral("Z"), QStringLiteral("H"), QStringLiteral("Θ"),
    QStringLiteral("I"),   QStringLiteral("K"), QStringLiteral("Λ"), QStringLiteral("M"),
    QStringLiteral("N"),   QStringLiteral("Ξ"), QStringLiteral("O"), QStringLiteral("Π"),
    QStringLiteral("P"),   QStringLiteral("Σ"), QStringLiteral("T"), QStringLiteral("Y"),
    QStringLiteral("Φ"),   QStringLiteral("X"), QStringLiteral("Ψ"), QStringLiteral("Ω")};

QStringList charactersOf(const QString& text)
{
    QStringList out;
    for (const QChar c : text)
        out.append(QString(c));
    return out;
}

QList<QStringList> groups()
{
    return {greekGroup, charactersOf(QStringLiteral("CDFGJLQRSUVW")),
            charactersOf(QStringLiteral("abcdefghijklmnopqrstuvwxyz")),
            charactersOf(QStringLiteral("0123456789")),
            // The vertical line, not the broken bar of the typing alphabet.
            charactersOf(QStringLiteral(" @;:,.!?()'+=-*<>\\~\"¤#§|¥£$%&_/"))};
}

int symbolOf(const QString& caption)
{
    const QString symbol = caption.trimmed();
    return symbol.isEmpty() ? 32 : rt::cp1253::code(symbol.at(0));
}

} // namespace

CharacterMap::CharacterMap(QWidget* parent) : rt::UserControl(parent)
{
    ChMap = new rt::Toolbar(QStringLiteral("ChMap"), this);
    ChMap->setWrappable(true);
    bool first = true;
    for (const QStringList& group : groups()) {
        if (!first)
            ChMap->AddSeparator();
        first = false;
        for (const QString& caption : group)
            ChMap->AddButton(QStringLiteral("chr%1").arg(symbolOf(caption)), caption);
    }

    // The caption strip and the bar lie over the rows that scroll up under them.
    pnlTitle = new rt::StatusBar(this);
    pnlTitle->setObjectName(QStringLiteral("pnlTitle"));
    if (rt::StatusPanel* panel =
            pnlTitle->Add(0, QStringLiteral("pnlCaption"), QStringLiteral("Πίνακας Χαρακτήρων")))
        panel->setAutoSize(rt::StatusPanel::Spring);
    pnlTitle->setAutoFillBackground(true);

    VScroll = new QScrollBar(Qt::Vertical, this);
    VScroll->setObjectName(QStringLiteral("VScroll"));
    VScroll->setEnabled(false);

    connect(ChMap, &rt::Toolbar::ButtonClick, this, &CharacterMap::ChMap_ButtonClick);
    connect(VScroll, &QScrollBar::valueChanged, this, &CharacterMap::VScroll_Change);
    connect(VScroll, &QScrollBar::sliderMoved, this, &CharacterMap::VScroll_Change);
    layoutControls();
}

CharacterMap::CharacterMap(const QString& name, QWidget* parent) : CharacterMap(parent)
{
    setObjectName(name);
}

QStringList CharacterMap::symbolCaptions()
{
    QStringList out;
    for (const QStringList& group : groups())
        out += group;
    return out;
}

void CharacterMap::ChMap_ButtonClick(const QString& key)
{
    if (QToolButton* button = ChMap->Button(key))
        emit SymbolClick(symbolOf(ChMap->ButtonCaption(button->objectName())));
}

void CharacterMap::VScroll_Change(int value)
{
    ChMap->move(0, pnlTitle->height() - std::abs(value));
}

void CharacterMap::resizeEvent(QResizeEvent* event)
{
    rt::UserControl::resizeEvent(event);
    layoutControls();
}

void CharacterMap::layoutControls()
{
    const int w = width();
    const int h = height();
    const int t = pnlTitle->height();
    const int r = ChMap->ButtonHeight();
    const int bar = VScroll->sizeHint().width();

    pnlTitle->setGeometry(0, 0, w, t);
    VScroll->setGeometry(w - bar, t, bar, h - t);
    ChMap->setGeometry(0, t, w - bar, h - t);
    // The rows decide the toolbar's height, shown or not.
    const int rows = ChMap->heightForWidth(ChMap->width());
    ChMap->resize(ChMap->width(), rows);

    if (h - t - 2 * r > rows) {
        VScroll->setEnabled(false);
    } else {
        VScroll->setEnabled(true);
        VScroll->setValue(0);
        // Room for two rows beyond the last one, the margin the test above keeps, so
        // that every row can be scrolled into view.
        VScroll->setRange(0, qMax(0, rows - (h - t) + 2 * r));
        VScroll->setSingleStep(r);
        VScroll->setPageStep(r);
    }
    update();
}
