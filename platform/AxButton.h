#pragma once

#include <QPixmap>
#include <QToolButton>

namespace rt {

// The program's push button with a caption and two pictures: Picture shows normally and
// PictureDown while the button is held down (a host may exchange the two, as the message
// window's expand button does to turn its arrow). Click is the button's one event.
class AxButton : public QToolButton {
    Q_OBJECT

public:
    explicit AxButton(QWidget* parent = nullptr);
    AxButton(const QString& name, QWidget* parent);

    QString Caption() const { return text(); }
    void setCaption(const QString& value);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& value) { setToolTip(value); }
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap& value);
    QPixmap PictureDown() const { return m_pictureDown; }
    void setPictureDown(const QPixmap& value);

signals:
    void Click();

private:
    void showPicture();

    QPixmap m_picture;
    QPixmap m_pictureDown;
};

} // namespace rt
