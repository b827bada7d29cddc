#include "compose/ClockControl.h"

#include "platform/KeyInput.h"
#include "platform/TextBox.h"
#include "platform/Twips.h"
#include "platform/UpDown.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr std::array<QPoint, 12> MinuteHandTips{{{63, 9},
                                                 {90, 16},
                                                 {110, 36},
                                                 {118, 63},
                                                 {111, 90},
                                                 {90, 111},
                                                 {63, 118},
                                                 {35, 110},
                                                 {16, 90},
                                                 {9, 63},
                                                 {16, 36},
                                                 {36, 16}}};

constexpr std::array<QPoint, 12> HourHandTips{{{63, 30},
                                               {79, 34},
                                               {91, 47},
                                               {96, 63},
                                               {91, 79},
                                               {79, 91},
                                               {63, 96},
                                               {47, 92},
                                               {34, 79},
                                               {30, 63},
                                               {34, 46},
                                               {47, 34}}};

constexpr QPoint ShadowStart{64, 65};
constexpr QPoint ShadowOffset{1, 2};

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

ClockLine placeLine(QPoint from, QPoint to)
{
    const int t = rt::twipsPerPixel();
    return {from.x() * t, from.y() * t, to.x() * t, to.y() * t};
}

// The face image, with the hands drawn over it where the control has placed them.
class ClockFace : public QWidget {
public:
    explicit ClockFace(ClockControl* clock) : QWidget(clock), m_clock(clock)
    {
        setObjectName(QStringLiteral("imgClock"));
        setFixedSize(ClockControl::FaceSize, ClockControl::FaceSize);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF centre(ClockControl::FaceCentre);
        QRadialGradient fill(centre - QPointF(14, 14), 80);
        fill.setColorAt(0, QColor(255, 255, 255));
        fill.setColorAt(1, QColor(214, 222, 232));
        p.setPen(QPen(QColor(70, 82, 100), 3));
        p.setBrush(fill);
        p.drawEllipse(centre, 61, 61);
        for (int i = 0; i < 60; ++i) {
            const double angle = i * std::numbers::pi / 30.0;
            const bool hourMark = i % 5 == 0;
            const double outer = 57;
            const double inner = hourMark ? 50 : 54;
            p.setPen(QPen(QColor(70, 82, 100), hourMark ? 2.5 : 1));
            p.drawLine(
                QPointF(centre.x() + inner * std::sin(angle), centre.y() - inner * std::cos(angle)),
                QPointF(centre.x() + outer * std::sin(angle),
                        centre.y() - outer * std::cos(angle)));
        }
        const QColor shadow(0, 0, 0, 60);
        drawLine(p, m_clock->HourShadow(), shadow, 4);
        drawLine(p, m_clock->MinShadow(), shadow, 2.5);
        drawLine(p, m_clock->HourLine(), QColor(30, 40, 60), 4);
        drawLine(p, m_clock->MinLine(), QColor(30, 40, 60), 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(160, 30, 30));
        p.drawEllipse(centre, 3, 3);
    }

private:
    static void drawLine(QPainter& p, const ClockLine& line, const QColor& colour, double width)
    {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(rt::toPixels(line.X1), rt::toPixels(line.Y1), rt::toPixels(line.X2),
                   rt::toPixels(line.Y2));
    }

    ClockControl* m_clock;
};

} // namespace

ClockControl::ClockControl(QWidget* parent) : rt::UserControl(parent)
{
    imgClock = new ClockFace(this);
    imgClock->move(0, 0);

    txtHour = new rt::TextBox(QStringLiteral("txtHour"), this);
    txtMin = new rt::TextBox(QStringLiteral("txtMin"), this);
    HUpDown = new rt::UpDown(QStringLiteral("HUpDown"), this);
    MUpDown = new rt::UpDown(QStringLiteral("MUpDown"), this);
    txtHour->setToolTipText(QStringLiteral("Ώρα"));
    txtMin->setToolTipText(QStringLiteral("Λεπτά"));
    // The spinners write the boxes; typed text would reach GetHour unchecked.
    for (rt::TextBox* box : {txtHour, txtMin}) {
        box->setText(QStringLiteral("00"));
        box->setLocked(true);
        box->setAlignment(Qt::AlignCenter);
    }

    // One step beyond each end of the valid values, so that a step past an end lands
    // on a value the change handler turns round.
    HUpDown->setMin(-1);
    HUpDown->setMax(24);
    HUpDown->setIncrement(1);
    MUpDown->setMin(-5);
    MUpDown->setMax(60);
    MUpDown->setIncrement(5);
    HUpDown->setValue(0);
    MUpDown->setValue(0);

    const int boxHeight = txtHour->sizeHint().height();
    const int boxWidth = 34;
    const int spinWidth = HUpDown->sizeHint().width();
    const int top = FaceSize + 6;
    const int pair = boxWidth + spinWidth;
    const int gap = 8;
    const int left = (FaceSize - 2 * pair - gap) / 2;
    txtHour->setGeometry(left, top, boxWidth, boxHeight);
    HUpDown->setGeometry(left + boxWidth, top, spinWidth, boxHeight);
    txtMin->setGeometry(left + pair + gap, top, boxWidth, boxHeight);
    MUpDown->setGeometry(left + pair + gap + boxWidth, top, spinWidth, boxHeight);

    connect(HUpDown, &rt::UpDown::Change, this, &ClockControl::HUpDown_Change);
    connect(MUpDown, &rt::UpDown::Change, this, &ClockControl::MUpDown_Change);
    // The spinners take no focus: from the keyboard, Up and Down in a box step its spinner.
    connect(
        txtHour, &rt::TextBox::KeyDown, this,
        [this](int& KeyCode, int) { StepWithKey(HUpDown, KeyCode); }, Qt::DirectConnection);
    connect(
        txtMin, &rt::TextBox::KeyDown, this,
        [this](int& KeyCode, int) { StepWithKey(MUpDown, KeyCode); }, Qt::DirectConnection);

    DrawClock(0, 0);
    imgClock->setToolTip(txtHour->Text() + u':' + txtMin->Text());
    fitToControls();
}

ClockControl::ClockControl(const QString& name, QWidget* parent) : ClockControl(parent)
{
    setObjectName(name);
}

QPoint ClockControl::MinuteHandTip(int position)
{
    return MinuteHandTips.at(position);
}

QPoint ClockControl::HourHandTip(int position)
{
    return HourHandTips.at(position);
}

void ClockControl::SetClock(int Hour, int Min)
{
    HUpDown->setValue(Hour);
    MUpDown->setValue(Min);
    // The hands follow the boxes: a minute of 56 or 57 shows "00", and so must the hand.
    DrawClock(txtHour->Text().toInt(), txtMin->Text().toInt());
}

QString ClockControl::GetHour() const
{
    return txtHour->Text();
}

QString ClockControl::GetMinutes() const
{
    return txtMin->Text();
}

void ClockControl::StepWithKey(rt::UpDown* spinner, int& KeyCode)
{
    if (KeyCode == rt::key::Up)
        spinner->stepUp();
    else if (KeyCode == rt::key::Down)
        spinner->stepDown();
    else
        return;
    KeyCode = 0;
}

void ClockControl::MUpDown_Change()
{
    if (MUpDown->Value() > 55)
        MUpDown->setValue(0);
    if (MUpDown->Value() < 0)
        MUpDown->setValue(55);
    txtMin->setText(twoDigits(MUpDown->Value()));
    DrawClock(txtHour->Text().toInt(), txtMin->Text().toInt());
    imgClock->setToolTip(txtHour->Text() + u':' + txtMin->Text());
}

void ClockControl::HUpDown_Change()
{
    if (HUpDown->Value() > 23)
        HUpDown->setValue(0);
    if (HUpDown->Value() < 0)
        HUpDown->setValue(23);
    txtHour->setText(twoDigits(HUpDown->Value()));
    DrawClock(txtHour->Text().toInt(), txtMin->Text().toInt());
    imgClock->setToolTip(txtHour->Text() + u':' + txtMin->Text());
}

void ClockControl::DrawClock(int Hour, int Minute)
{
    int hourPosition = Hour;
    if (Hour > 12)
        hourPosition = Hour - 12;
    else if (Hour == 12)
        hourPosition = 0;
    int minutePosition = 0;
    if (Minute >= 1 && Minute <= 59)
        minutePosition = static_cast<int>(std::lround(Minute / 5.0));
    if (minutePosition == 12)
        minutePosition = 0;
    if (hourPosition < 0 || hourPosition > 11 || minutePosition < 0 || minutePosition > 11)
        return;

    const QPoint hourTip = HourHandTips.at(hourPosition);
    const QPoint minuteTip = MinuteHandTips.at(minutePosition);
    m_hourLine = placeLine(FaceCentre, hourTip);
    m_hourShadow = placeLine(ShadowStart, hourTip + ShadowOffset);
    m_minLine = placeLine(FaceCentre, minuteTip);
    m_minShadow = placeLine(ShadowStart, minuteTip + ShadowOffset);
    imgClock->update();
}

void ClockControl::fitToControls()
{
    const QSize wanted(imgClock->width(), txtMin->y() + txtMin->height());
    if (size() != wanted)
        resize(wanted);
    setFixedSize(wanted);
}

void ClockControl::resizeEvent(QResizeEvent* event)
{
    rt::UserControl::resizeEvent(event);
    if (event->size() != QSize(imgClock->width(), txtMin->y() + txtMin->height()))
        fitToControls();
}
