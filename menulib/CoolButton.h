#pragma once
// A flat button: a picture above a caption, centred as one block, with a one-pixel
// raised frame that shows always or only while the mouse is over it (CoolBorder).
#include "menulib/TirnavalGlobal.h"

#include <QFont>
#include <QPixmap>
#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <optional>

class QLabel;
class QTimer;

class TIRNAVAL_EXPORT CoolButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QString ButtonToolTip READ ButtonToolTip WRITE setButtonToolTip)
    Q_PROPERTY(QFont Font READ Font WRITE setCaptionFont)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(bool CoolBorder READ CoolBorder WRITE setCoolBorder)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)

public:
    explicit CoolButton(QWidget* parent = nullptr);
    ~CoolButton() override;

    uint BackColor() const { return backColor_; }
    void setBackColor(uint value);
    uint ForeColor() const { return foreColor_; }
    void setForeColor(uint value);
    QString Caption() const { return caption_; }
    void setCaption(const QString& value);
    QString ButtonToolTip() const { return toolTip_; }
    void setButtonToolTip(const QString& value);
    QFont Font() const { return font_.value_or(ambientFont()); }
    void setCaptionFont(const QFont& value); // QWidget::setFont stays the widget's own
    QPixmap Picture() const { return picture_; }
    void setPicture(const QPixmap& value);
    bool CoolBorder() const { return coolBorder_; }
    void setCoolBorder(bool value);

    // Kept for the container, which uses it to hold a key; not a saved property.
    QString Tag() const { return tag_; }
    void setTag(const QString& value) { tag_ = value; }

    // The saved properties: read when the control is loaded (a missing entry takes its
    // default), written when its container saves (a value equal to its default is
    // left out).
    Q_INVOKABLE void ReadProperties(const QVariantMap& bag);
    Q_INVOKABLE QVariantMap WriteProperties() const;

    // A press without the mouse (Enter while the button has the focus): Click alone, as
    // a host's key layer finds it through the meta-object.
    Q_INVOKABLE void click();

signals:
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void Click();
    void PropertyChanged(const QString& PropertyName);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFont ambientFont() const;
    void applyColors();
    void applyFont();
    void Layout();
    void DrawRaised();
    void DrawPressed();
    void ShowFrame(bool visible);
    void placeAtRest(double offsetTwips);
    void btnTimer_Timer();
    void ButtonArea_MouseDown(int button, int shift, float x, float y);
    void ButtonArea_MouseMove(int button, int shift, float x, float y);
    void ButtonArea_MouseUp(int button, int shift, float x, float y);

    QWidget* ButtonArea;
    QLabel* btnImage;
    QLabel* btnCaption;
    QWidget* lnUp;
    QWidget* lnLeft;
    QWidget* lnDown;
    QWidget* lnRight;
    QTimer* btnTimer;

    uint backColor_;
    uint foreColor_;
    QString caption_;
    QString toolTip_;
    std::optional<QFont> font_; // none: the container's font
    QPixmap picture_;
    bool coolBorder_ = true;
    QString tag_;

    // Rest positions in twips, as the last layout placed them.
    double imageLeft_ = 0, imageTop_ = 0, captionLeft_ = 0, captionTop_ = 0;
};
