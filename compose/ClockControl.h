#pragma once

#include "platform/UserControl.h"

#include <QPoint>

namespace rt {
class TextBox;
class UpDown;
} // namespace rt

// A line of the clock face, placed in twips as the hands always were.
struct ClockLine {
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
};

// The analogue clock of the schedule dialog: a face with an hour and a minute hand
// (each with a shadow) and, under it, the two-digit hour and minute with a spinner each.
// The spinners go round (23 to 00, 55 to 00 and back); the minute spinner steps by 5.
// The keyboard reaches the boxes only, where Up and Down step the box's spinner.
class ClockControl : public rt::UserControl {
    Q_OBJECT

public:
    explicit ClockControl(QWidget* parent = nullptr);
    ClockControl(const QString& name, QWidget* parent);

    void SetClock(int Hour, int Min);
    // The two-digit texts of the hour and minute boxes.
    QString GetHour() const;
    QString GetMinutes() const;

    const ClockLine& HourLine() const { return m_hourLine; }
    const ClockLine& MinLine() const { return m_minLine; }
    const ClockLine& HourShadow() const { return m_hourShadow; }
    const ClockLine& MinShadow() const { return m_minShadow; }

    // Tip of each hand per clock position 0 (twelve o'clock) to 11, clockwise, in
    // pixels of the face.
    static QPoint MinuteHandTip(int position);
    static QPoint HourHandTip(int position);
    static constexpr QPoint FaceCentre{63, 63};
    static constexpr int FaceSize = 127;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void HUpDown_Change();
    void MUpDown_Change();
    void StepWithKey(rt::UpDown* spinner, int& KeyCode);
    void DrawClock(int Hour, int Minute);
    void fitToControls();

    QWidget* imgClock;
    rt::TextBox* txtHour;
    rt::TextBox* txtMin;
    rt::UpDown* HUpDown;
    rt::UpDown* MUpDown;

    ClockLine m_hourLine;
    ClockLine m_minLine;
    ClockLine m_hourShadow;
    ClockLine m_minShadow;
};
