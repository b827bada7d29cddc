#include "platform/AxButton.h"

#include <QIcon>

namespace rt {

AxButton::AxButton(QWidget* parent) : QToolButton(parent)
{
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    connect(this, &QToolButton::clicked, this, &AxButton::Click);
    connect(this, &QToolButton::pressed, this, &AxButton::showPicture);
    connect(this, &QToolButton::released, this, &AxButton::showPicture);
}

AxButton::AxButton(const QString& name, QWidget* parent) : AxButton(parent)
{
    setObjectName(name);
}

void AxButton::setCaption(const QString& value)
{
    setText(value);
    showPicture();
}

void AxButton::setPicture(const QPixmap& value)
{
    m_picture = value;
    showPicture();
}

void AxButton::setPictureDown(const QPixmap& value)
{
    m_pictureDown = value;
    showPicture();
}

void AxButton::showPicture()
{
    const QPixmap& shown = isDown() && !m_pictureDown.isNull() ? m_pictureDown : m_picture;
    setIcon(shown.isNull() ? QIcon() : QIcon(shown));
    if (!shown.isNull())
        setIconSize(shown.deviceIndependentSize().toSize());
    if (shown.isNull())
        setToolButtonStyle(Qt::ToolButtonTextOnly);
    else if (text().isEmpty())
        setToolButtonStyle(Qt::ToolButtonIconOnly);
    else
        setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

} // namespace rt
