#include "platform/UpDown.h"

#include <QResizeEvent>
#include <QToolButton>
#include <algorithm>

namespace rt {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    resize(sizeHint());
}

UpDown::UpDown(const QString& name, QWidget* parent) : UpDown(parent)
{
    setObjectName(name);
}

void UpDown::setValue(int value)
{
    value = std::clamp(value, std::min(m_min, m_max), std::max(m_min, m_max));
    if (value == m_value)
        return;
    m_value = value;
    emit Change();
}

void UpDown::setMin(int value)
{
    m_min = value;
    setValue(m_value);
}

void UpDown::setMax(int value)
{
    m_max = value;
    setValue(m_value);
}

void UpDown::stepUp()
{
    step(m_increment);
}

void UpDown::stepDown()
{
    step(-m_increment);
}

void UpDown::step(int delta)
{
    const long long next = static_cast<long long>(m_value) + delta;
    if (next > m_max)
        setValue(m_wrap ? m_min : m_max);
    else if (next < m_min)
        setValue(m_wrap ? m_max : m_min);
    else
        setValue(static_cast<int>(next));
}

QSize UpDown::sizeHint() const
{
    return {17, 24};
}

void UpDown::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int upper = height() / 2;
    m_up->setGeometry(0, 0, width(), upper);
    m_down->setGeometry(0, upper, width(), height() - upper);
}

} // namespace rt
