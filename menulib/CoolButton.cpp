#include "menulib/CoolButton.h"

#include "menulib/OleColor.h"
#include "menulib/Server.h"
#include "menulib/Twips.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace {

constexpr double kGapTwips = 60;
constexpr int kHoverIntervalMs = 50;

const QString kBackColor = QStringLiteral("BackColor");
const QString kForeColor = QStringLiteral("ForeColor");
const QString kCaption = QStringLiteral("Caption");
const QString kButtonToolTip = QStringLiteral("ButtonToolTip");
const QString kFont = QStringLiteral("Font");
const QString kPicture = QStringLiteral("Picture");
const QString kCoolBorder = QStringLiteral("CoolBorder");

QString defaultCaption() { return QStringLiteral("Caption"); }

QWidget* makeLine(QWidget* parent, const char* name)
{
    auto* line = new QWidget(parent);
    line->setObjectName(QLatin1String(name));
    line->setAutoFillBackground(true);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

void setLineColor(QWidget* line, quint32 color)
{
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, tirnaval::OleColor::toColor(color));
    line->setPalette(palette);
}

// The runtime's mouse arguments: buttons 1 left, 2 right, 4 middle; shift 1, ctrl 2,
// alt 4; coordinates in twips.
int buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace

CoolButton::CoolButton(QWidget* parent)
    : QWidget(parent), backColor_(tirnaval::OleColor::ButtonFace),
      foreColor_(tirnaval::OleColor::ButtonText), caption_(defaultCaption())
{
    tirnaval::server::objectCreated();
    setAutoFillBackground(true);

    btnImage = new QLabel(this);
    btnImage->setObjectName(QStringLiteral("btnImage"));
    btnImage->setScaledContents(true);
    btnCaption = new QLabel(this);
    btnCaption->setObjectName(QStringLiteral("btnCaption"));
    btnCaption->setTextFormat(Qt::PlainText);
    btnCaption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lnUp = makeLine(this, "lnUp");
    lnLeft = makeLine(this, "lnLeft");
    lnDown = makeLine(this, "lnDown");
    lnRight = makeLine(this, "lnRight");

    // On top of everything else, so that it alone receives the mouse.
    ButtonArea = new QWidget(this);
    ButtonArea->setObjectName(QStringLiteral("ButtonArea"));
    ButtonArea->setMouseTracking(true);
    ButtonArea->installEventFilter(this);

    btnTimer = new QTimer(this);
    btnTimer->setObjectName(QStringLiteral("btnTimer"));
    btnTimer->setInterval(kHoverIntervalMs);
    connect(btnTimer, &QTimer::timeout, this, &CoolButton::btnTimer_Timer);

    ReadProperties(QVariantMap());
}

CoolButton::~CoolButton() { tirnaval::server::objectDestroyed(); }

// The widget's own font is the container's unless someone set it directly.
QFont CoolButton::ambientFont() const { return QWidget::font(); }

void CoolButton::applyColors()
{
    QPalette own = palette();
    own.setColor(QPalette::Window, tirnaval::OleColor::toColor(backColor_));
    QWidget::setPalette(own);
    QPalette text = btnCaption->palette();
    text.setColor(QPalette::WindowText, tirnaval::OleColor::toColor(foreColor_));
    btnCaption->setPalette(text);
}

void CoolButton::applyFont()
{
    // An empty font inherits everything, so the caption follows the container.
    btnCaption->setFont(font_.value_or(QFont()));
}

void CoolButton::ReadProperties(const QVariantMap& bag)
{
    backColor_ = bag.value(kBackColor, tirnaval::OleColor::ButtonFace).toUInt();
    foreColor_ = bag.value(kForeColor, tirnaval::OleColor::ButtonText).toUInt();
    caption_ = bag.value(kCaption, defaultCaption()).toString();
    toolTip_ = bag.value(kButtonToolTip, QString()).toString();
    font_.reset();
    if (bag.contains(kFont))
        font_ = bag.value(kFont).value<QFont>();
    picture_ = bag.value(kPicture).value<QPixmap>();
    coolBorder_ = bag.value(kCoolBorder, true).toBool();

    applyColors();
    applyFont();
    btnCaption->setText(caption_);
    ButtonArea->setToolTip(toolTip_);
    btnImage->setPixmap(picture_);
    Layout();
    ShowFrame(!coolBorder_);
    if (!coolBorder_)
        DrawRaised();
}

QVariantMap CoolButton::WriteProperties() const
{
    QVariantMap bag;
    if (backColor_ != tirnaval::OleColor::ButtonFace)
        bag.insert(kBackColor, backColor_);
    if (foreColor_ != tirnaval::OleColor::ButtonText)
        bag.insert(kForeColor, foreColor_);
    if (caption_ != defaultCaption())
        bag.insert(kCaption, caption_);
    if (!toolTip_.isEmpty())
        bag.insert(kButtonToolTip, toolTip_);
    if (font_ && *font_ != ambientFont())
        bag.insert(kFont, *font_);
    if (!picture_.isNull())
        bag.insert(kPicture, picture_);
    if (!coolBorder_)
        bag.insert(kCoolBorder, false);
    return bag;
}

void CoolButton::setBackColor(uint value)
{
    backColor_ = value;
    applyColors();
    emit PropertyChanged(kBackColor);
}

void CoolButton::setForeColor(uint value)
{
    foreColor_ = value;
    applyColors();
    emit PropertyChanged(kForeColor);
}

void CoolButton::setCaption(const QString& value)
{
    caption_ = value;
    btnCaption->setText(caption_);
    emit PropertyChanged(kCaption);
    Layout();
}

void CoolButton::setButtonToolTip(const QString& value)
{
    toolTip_ = value;
    ButtonArea->setToolTip(toolTip_);
    emit PropertyChanged(kButtonToolTip);
}

void CoolButton::setCaptionFont(const QFont& value)
{
    font_ = value;
    applyFont();
    emit PropertyChanged(kFont);
    Layout();
}

void CoolButton::setPicture(const QPixmap& value)
{
    picture_ = value;
    btnImage->setPixmap(picture_);
    emit PropertyChanged(kPicture);
    Layout();
}

void CoolButton::setCoolBorder(bool value)
{
    coolBorder_ = value;
    emit PropertyChanged(kCoolBorder);
    if (coolBorder_) {
        ShowFrame(false);
    } else {
        ShowFrame(true);
        DrawRaised();
    }
}

void CoolButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CoolButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Layout();
}

void CoolButton::Layout()
{
    const double p = tirnaval::twips::perPixel();
    const double width = tirnaval::twips::fromPixels(this->width());
    const double height = tirnaval::twips::fromPixels(this->height());
    const double right = width - p;
    const double bottom = height - p;

    const QSize pictureSize =
        picture_.isNull() ? QSize(0, 0) : picture_.deviceIndependentSize().toSize();
    const QSize captionSize = caption_.isEmpty() ? QSize(0, 0) : btnCaption->sizeHint();
    const double pictureWidth = tirnaval::twips::fromPixels(pictureSize.width());
    const double pictureHeight = tirnaval::twips::fromPixels(pictureSize.height());
    const double captionWidth = tirnaval::twips::fromPixels(captionSize.width());
    const double captionHeight = tirnaval::twips::fromPixels(captionSize.height());

    const double gap = (pictureHeight > 0 && captionHeight > 0) ? kGapTwips : 0;
    const double block = captionHeight + pictureHeight + gap;

    imageLeft_ = width / 2 - pictureWidth / 2;
    imageTop_ = height / 2 - block / 2;
    captionLeft_ = width / 2 - captionWidth / 2;
    captionTop_ = imageTop_ + pictureHeight + gap;
    btnImage->resize(pictureSize);
    btnCaption->resize(captionSize);
    placeAtRest(0);

    // A line covers its start point and stops short of its end point; the right line
    // runs one pixel further down to close the bottom-right corner.
    using tirnaval::twips::toPixels;
    lnUp->setGeometry(0, 0, toPixels(right), 1);
    lnLeft->setGeometry(0, 0, 1, toPixels(bottom));
    lnDown->setGeometry(0, toPixels(bottom), toPixels(right), 1);
    lnRight->setGeometry(toPixels(right), 0, 1, toPixels(bottom + p));

    ButtonArea->setGeometry(0, 0, this->width(), this->height());
    ButtonArea->raise();
}

void CoolButton::placeAtRest(double offsetTwips)
{
    using tirnaval::twips::toPixels;
    btnImage->move(toPixels(imageLeft_ + offsetTwips), toPixels(imageTop_ + offsetTwips));
    btnCaption->move(toPixels(captionLeft_ + offsetTwips), toPixels(captionTop_ + offsetTwips));
}

void CoolButton::DrawRaised()
{
    placeAtRest(0);
    setLineColor(lnUp, tirnaval::OleColor::White);
    setLineColor(lnLeft, tirnaval::OleColor::White);
    setLineColor(lnDown, tirnaval::OleColor::WindowText);
    setLineColor(lnRight, tirnaval::OleColor::WindowText);
}

void CoolButton::DrawPressed()
{
    placeAtRest(tirnaval::twips::perPixel());
    setLineColor(lnUp, tirnaval::OleColor::WindowText);
    setLineColor(lnLeft, tirnaval::OleColor::WindowText);
    setLineColor(lnDown, tirnaval::OleColor::White);
    setLineColor(lnRight, tirnaval::OleColor::White);
}

void CoolButton::ShowFrame(bool visible)
{
    for (QWidget* line : {lnUp, lnLeft, lnDown, lnRight})
        line->setVisible(visible);
}

void CoolButton::btnTimer_Timer()
{
    const QWidget* under = QApplication::widgetAt(QCursor::pos());
    if (under && (under == this || isAncestorOf(under))) {
        DrawRaised();
        return;
    }
    if (coolBorder_)
        ShowFrame(false);
    btnTimer->stop();
}

bool CoolButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ButtonArea)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF at = mouse->position() * tirnaval::twips::perPixel();
        const int shift = shiftCode(mouse->modifiers());
        const float x = float(at.x());
        const float y = float(at.y());
        if (event->type() == QEvent::MouseMove)
            ButtonArea_MouseMove(buttonCode(mouse->buttons()), shift, x, y);
        else if (event->type() == QEvent::MouseButtonRelease)
            ButtonArea_MouseUp(buttonCode(mouse->button()), shift, x, y);
        else
            ButtonArea_MouseDown(buttonCode(mouse->button()), shift, x, y);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void CoolButton::ButtonArea_MouseDown(int button, int shift, float x, float y)
{
    if (coolBorder_)
        btnTimer->stop();
    DrawPressed();
    emit MouseDown(button, shift, x, y);
}

void CoolButton::ButtonArea_MouseMove(int button, int shift, float x, float y)
{
    if (button == 0 && coolBorder_) {
        btnTimer->start();
        ShowFrame(true);
        DrawRaised();
    }
    emit MouseMove(button, shift, x, y);
}

// Click follows every release, also one outside the button: the press grabbed the
// mouse, so the release comes here wherever it happens.
void CoolButton::ButtonArea_MouseUp(int button, int shift, float x, float y)
{
    if (coolBorder_)
        btnTimer->start();
    DrawRaised();
    emit MouseUp(button, shift, x, y);
    emit Click();
}

void CoolButton::click()
{
    if (isEnabled())
        emit Click();
}
