#pragma once

#include "platform/Form.h"

#include <QDate>
#include <QString>

class ClockControl;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace rt {
class MonthView;
}

// The schedule dialog of the message window: the day and time at which the recipients
// get the message, or no schedule at all (send at once).
//
// It knows nothing of its opener. The opener hands it the current schedule and hears the
// new one through ScheduleChosen, which OK emits (both texts empty for "at once") just
// before the dialog unloads; Cancel and Escape emit nothing. The message window:
//
//     auto& dialog = rt::Forms::get<frmMessage_SetTime>();
//     dialog.SetMessageTime(SendTime, SendDate.isEmpty() ? rt::Date()
//                                                        : *rt::ParseShortDate(SendDate));
//     connect(&dialog, &frmMessage_SetTime::ScheduleChosen, this,
//             [this](const QString& time, const QString& date) {
//                 SendTime = time;
//                 SendDate = date;
//                 ShowSendTime();
//             });
//     rt::Forms::showModal(dialog);
class frmMessage_SetTime : public rt::Form {
    Q_OBJECT

public:
    frmMessage_SetTime();

    // Shows a time ("HH:mm", a longer time text is cut to that) and a date. An empty
    // time leaves the clock and the calendar as they are and offers no "remove".
    void SetMessageTime(const QString& Tm, const QDate& Dt);

signals:
    // SendTime "HH:mm" and SendDate "dd/MM/yyyy", or both "" to send at once.
    void ScheduleChosen(const QString& SendTime, const QString& SendDate);

protected:
    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* Label1;
    QLabel* Label2;
    QGroupBox* fraSendTime;
    QGroupBox* fraSendDate;
    ClockControl* SendTime;
    rt::MonthView* SendDate;
    QCheckBox* chkRemoveTimer;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
