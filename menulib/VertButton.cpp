#include "menulib/VertButton.h"

#include "menulib/CoolButton.h"
#include "menulib/OleColor.h"
#include "menulib/Twips.h"

#include <QPainter>
#include <QPolygon>
#include <QTimer>

#include <algorithm>

namespace {

// Design sizes, in twips.
constexpr double kCaptionHeight = 375;
constexpr double kItemHeight = 1200;
constexpr double kArrowSize = 255;
constexpr double kArrowMargin = 30;
constexpr double kArrowInset = 120;

constexpr int kScrollSteps = 20;
constexpr float kScrollStepTwips = 50;
constexpr int kScrollStepMs = 10;

QPixmap arrowPicture(bool up)
{
    QPixmap picture(7, 4);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tirnaval::OleColor::toColor(tirnaval::OleColor::ButtonText));
    const QPolygon triangle =
        up ? QPolygon({QPoint(0, 4), QPoint(7, 4), QPoint(3, 0), QPoint(4, 0)})
           : QPolygon({QPoint(0, 0), QPoint(7, 0), QPoint(4, 4), QPoint(3, 4)});
    painter.drawPolygon(triangle);
    return picture;
}

CoolButton* makeButton(QWidget* parent, const QString& name, const QVariantMap& design,
                       double heightTwips)
{
    auto* button = new CoolButton(parent);
    button->setObjectName(name);
    button->ReadProperties(design);
    button->resize(button->width(), tirnaval::twips::toPixels(heightTwips));
    return button;
}

} // namespace

VertButton::VertButton(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette own = palette();
    own.setColor(QPalette::Window, tirnaval::OleColor::toColor(tirnaval::OleColor::AppWorkspace));
    setPalette(own);

    btnCommand = makeButton(this, QStringLiteral("btnCommand"),
                            {{QStringLiteral("Caption"), QStringLiteral("Menu Caption")},
                             {QStringLiteral("CoolBorder"), false}},
                            kCaptionHeight);
    connect(btnCommand, &CoolButton::Click, this, &VertButton::MaximizeMenu);

    const QVariantMap itemDesign{
        {QStringLiteral("BackColor"), tirnaval::OleColor::AppWorkspace},
        {QStringLiteral("ForeColor"), tirnaval::OleColor::HighlightText},
    };
    for (int i = 0; i < MaxItems; ++i) {
        Button[i] = makeButton(this, QStringLiteral("Button_%1").arg(i), itemDesign, kItemHeight);
        Button[i]->hide();
        CoolButton* item = Button[i];
        connect(item, &CoolButton::Click, this, [this, item] { emit ButtonClick(item->Tag()); });
    }

    const auto arrowDesign = [](bool up) {
        return QVariantMap{{QStringLiteral("Caption"), QString()},
                           {QStringLiteral("CoolBorder"), false},
                           {QStringLiteral("Picture"), arrowPicture(up)}};
    };
    const int arrow = tirnaval::twips::toPixels(kArrowSize);
    cmdUp = makeButton(this, QStringLiteral("cmdUp"), arrowDesign(true), kArrowSize);
    cmdUp->resize(arrow, arrow);
    cmdUp->hide();
    connect(cmdUp, &CoolButton::Click, this, &VertButton::cmdUp_Click);
    cmdDown = makeButton(this, QStringLiteral("cmdDown"), arrowDesign(false), kArrowSize);
    cmdDown->resize(arrow, arrow);
    cmdDown->hide();
    connect(cmdDown, &CoolButton::Click, this, &VertButton::cmdDown_Click);
    // The arrows show a picture only: their names say what they are to a reader of the
    // screen.
    cmdUp->setAccessibleName(cmdUp->objectName());
    cmdDown->setAccessibleName(cmdDown->objectName());

    scrollTimer_ = new QTimer(this);
    scrollTimer_->setInterval(kScrollStepMs);
    connect(scrollTimer_, &QTimer::timeout, this, &VertButton::scrollStep);
}

// The pictures are the host's: let go of them before the host does.
VertButton::~VertButton()
{
    scrollTimer_->stop();
    for (CoolButton* item : Button)
        item->setPicture(QPixmap());
}

bool VertButton::AddButton(const QString& bCaption, const QString& bKey, const QPixmap& bImage,
                           const QString& ToolTip)
{
    if (itemCount_ >= MaxItems)
        return false;
    CoolButton* item = Button[itemCount_];
    item->setCaption(bCaption);
    item->setButtonToolTip(ToolTip);
    item->setPicture(bImage);
    item->setTag(bKey);
    item->show();
    ++itemCount_;
    Layout();
    return true;
}

void VertButton::SetMenu(const QString& mnTitle, const QString& mnKey)
{
    btnCommand->setCaption(mnTitle);
    btnCommand->setTag(mnKey);
}

float VertButton::CaptionHeight() const
{
    return float(tirnaval::twips::fromPixels(btnCommand->height()));
}

bool VertButton::isScrolling() const { return scrollTimer_->isActive(); }

void VertButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void VertButton::Layout()
{
    using tirnaval::twips::fromPixels;
    using tirnaval::twips::toPixels;
    itemsHeight_ = 0;
    btnCommand->setGeometry(0, 0, width(), btnCommand->height());
    const double caption = CaptionHeight();
    double y = caption + scrollOffset_;
    for (CoolButton* item : Button) {
        if (item->isHidden())
            continue;
        item->setGeometry(0, toPixels(y), width(), item->height());
        y += fromPixels(item->height());
        itemsHeight_ += float(fromPixels(item->height()));
    }
    const double upLeft = fromPixels(width()) - (fromPixels(cmdUp->width()) + kArrowMargin);
    cmdUp->move(toPixels(upLeft), toPixels(caption + kArrowInset));
    cmdDown->move(toPixels(upLeft),
                  toPixels(fromPixels(height()) - kArrowInset - fromPixels(cmdDown->height())));
    ArrangeButtons();
}

void VertButton::ArrangeButtons()
{
    using tirnaval::twips::fromPixels;
    const double caption = CaptionHeight();
    double y = caption + scrollOffset_;
    for (CoolButton* item : Button) {
        if (item->isHidden())
            continue;
        item->move(0, tirnaval::twips::toPixels(y));
        y += fromPixels(item->height());
    }
    cmdUp->setVisible(scrollOffset_ != 0);
    // Down is offered exactly while the last item reaches below the bottom edge: the
    // items start below the caption, so the caption's height counts.
    cmdDown->setVisible(caption + itemsHeight_ + scrollOffset_ > fromPixels(height()) + 0.5);
    // Items scrolled up slide under the caption, never over it: it stays drawn and
    // keeps its clicks. The arrows lie over the items.
    btnCommand->raise();
    cmdUp->raise();
    cmdDown->raise();
}

void VertButton::cmdDown_Click()
{
    pendingScrolls_.append(-1);
    if (!scrollTimer_->isActive())
        scrollTimer_->start();
}

void VertButton::cmdUp_Click()
{
    pendingScrolls_.append(+1);
    if (!scrollTimer_->isActive())
        scrollTimer_->start();
}

void VertButton::scrollStep()
{
    if (stepsLeft_ == 0) {
        if (pendingScrolls_.isEmpty()) {
            scrollTimer_->stop();
            return;
        }
        scrollDirection_ = pendingScrolls_.takeFirst();
        stepsLeft_ = kScrollSteps;
    }
    if (scrollDirection_ < 0) {
        const float height = float(tirnaval::twips::fromPixels(this->height()));
        scrollOffset_ -= kScrollStepTwips;
        if (itemsHeight_ + scrollOffset_ < height) {
            // The last item's bottom then lies on the bottom edge; a panel that has
            // grown meanwhile never scrolls the items below their start.
            scrollOffset_ = std::min(0.0f, height - itemsHeight_ - CaptionHeight());
        }
    } else {
        scrollOffset_ = std::min(0.0f, scrollOffset_ + kScrollStepTwips);
    }
    ArrangeButtons();
    if (--stepsLeft_ == 0 && pendingScrolls_.isEmpty())
        scrollTimer_->stop();
}
