#include "platform/StatusBar.h"

#include "platform/Twips.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace rt {

namespace {
// The runtime's panel, as it comes: one inch wide, and no narrower.
constexpr int kDefaultWidthTwips = 1440;
} // namespace

StatusPanel::StatusPanel(const QString& key, QWidget* parent)
    : QWidget(parent), m_key(key), m_width(toPixels(kDefaultWidthTwips)),
      m_minWidth(toPixels(kDefaultWidthTwips)), m_icon(new QLabel(this)), m_text(new QLabel(this))
{
    setObjectName(key);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    layout->setSpacing(3);
    m_icon->setVisible(false);
    layout->addWidget(m_icon);
    layout->addWidget(m_text, 1);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("rt--StatusPanel { border: 1px solid palette(mid); }"));
    setAutoSize(NoAutoSize);
}

QString StatusPanel::Text() const { return m_text->text(); }

void StatusPanel::setText(const QString& text)
{
    m_text->setText(text);
    fit();
}

void StatusPanel::setPicture(const QIcon& picture)
{
    m_picture = picture;
    m_icon->setVisible(!picture.isNull());
    if (!picture.isNull())
        m_icon->setPixmap(picture.pixmap(16, 16));
    else
        m_icon->clear();
    fit();
}

void StatusPanel::setAutoSize(AutoSize mode)
{
    m_autoSize = mode;
    setSizePolicy(mode == Spring ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                  QSizePolicy::Preferred);
    if (auto* bar = qobject_cast<QWidget*>(parentWidget())) {
        if (auto* layout = qobject_cast<QHBoxLayout*>(bar->layout()))
            layout->setStretchFactor(this, mode == Spring ? 1 : 0);
    }
    fit();
}

void StatusPanel::setWidth(int pixels)
{
    m_width = std::max(0, pixels);
    fit();
}

void StatusPanel::setMinWidth(int pixels)
{
    m_minWidth = std::max(0, pixels);
    fit();
}

void StatusPanel::fit()
{
    switch (m_autoSize) {
    case Spring:
        setMinimumWidth(m_minWidth);
        setMaximumWidth(QWIDGETSIZE_MAX);
        break;
    case Contents:
        layout()->invalidate();
        setFixedWidth(std::max(m_minWidth, layout()->sizeHint().width()));
        break;
    case NoAutoSize:
        setFixedWidth(std::max(m_minWidth, m_width));
        break;
    }
}

StatusBar::StatusBar(QWidget* parent) : QWidget(parent), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(2);
    m_layout->addStretch(0);
    setFixedHeight(24);
}

StatusPanel* StatusBar::Add(int index, const QString& key, const QString& text)
{
    if (!key.isEmpty() && Panel(key))
        return nullptr;
    auto* panel = new StatusPanel(key, this);
    // As high as the bar leaves room for, and fixed: a panel whose size is fixed in both
    // directions keeps a new text from relaying out the bar and the whole window around
    // it, which a count that changes for every message sent would otherwise do each
    // time. A change of width still does.
    const QMargins margins = m_layout->contentsMargins();
    panel->setFixedHeight(height() - margins.top() - margins.bottom());
    panel->setText(text);
    const int position = (index <= 0 || index > Count()) ? Count() : index - 1;
    m_panels.insert(position, panel);
    relayout();
    panel->show();
    return panel;
}

StatusPanel* StatusBar::Panel(int index) const
{
    return index >= 1 && index <= Count() ? m_panels.at(index - 1) : nullptr;
}

StatusPanel* StatusBar::Panel(const QString& key) const
{
    const int index = IndexOf(key);
    return index ? m_panels.at(index - 1) : nullptr;
}

int StatusBar::IndexOf(const QString& key) const
{
    if (key.isEmpty())
        return 0;
    for (int i = 0; i < Count(); ++i) {
        if (m_panels.at(i)->Key() == key)
            return i + 1;
    }
    return 0;
}

bool StatusBar::Remove(const QString& key) { return Remove(IndexOf(key)); }

bool StatusBar::Remove(int index)
{
    StatusPanel* panel = Panel(index);
    if (!panel)
        return false;
    m_panels.removeAt(index - 1);
    m_layout->removeWidget(panel);
    delete panel;
    return true;
}

QStringList StatusBar::Keys() const
{
    QStringList keys;
    for (const StatusPanel* panel : m_panels)
        keys << panel->Key();
    return keys;
}

void StatusBar::relayout()
{
    for (StatusPanel* panel : m_panels)
        m_layout->removeWidget(panel);
    // The blank room stays last, behind the panels.
    for (int i = 0; i < Count(); ++i)
        m_layout->insertWidget(i, m_panels.at(i),
                               m_panels.at(i)->autoSize() == StatusPanel::Spring ? 1 : 0);
}

} // namespace rt
