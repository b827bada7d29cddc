#include "compose/frmMessage_SetTime.h"

#include "compose/ClockControl.h"
#include "platform/Clock.h"
#include "platform/Formats.h"
#include "platform/KeyInput.h"
#include "platform/MonthView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmMessage_SetTime::frmMessage_SetTime() : rt::Form(QStringLiteral("frmMessage_SetTime"))
{
    setWindowTitle(QStringLiteral("Προγραμματισμός Αποστολής Μηνύματος"));
    setWindowFlag(Qt::Dialog);
    setKeyPreview(true);

    Label1 = new QLabel(QStringLiteral("Μέσω αυτής της φόρμας μπορείτε να ορίσετε την μέρα και "
                                       "την ώρα που θέλετε να λάβουν οι παραλήπτες το μήνυμά "
                                       "σας."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("Το μήνυμα θα φύγει από τον υπολογιστή σας αμέσως μόλις "
                                       "επιλέξετε την αποστολή του και θα παραμείνει στον "
                                       "διακομιστή μας μέχρι τον καθορισμένο χρόνο αποστολής."),
                        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel* label : {Label1, Label2})
        label->setWordWrap(true);

    fraSendTime = new QGroupBox(QStringLiteral("Ώρα Αποστολής"), this);
    fraSendTime->setObjectName(QStringLiteral("fraSendTime"));
    SendTime = new ClockControl(QStringLiteral("SendTime"), fraSendTime);
    auto* timeLayout = new QVBoxLayout(fraSendTime);
    timeLayout->addWidget(SendTime, 0, Qt::AlignCenter);

    fraSendDate = new QGroupBox(QStringLiteral("Ημερομηνία Αποστολής"), this);
    fraSendDate->setObjectName(QStringLiteral("fraSendDate"));
    SendDate = new rt::MonthView(QStringLiteral("SendDate"), fraSendDate);
    auto* dateLayout = new QVBoxLayout(fraSendDate);
    dateLayout->addWidget(SendDate);

    chkRemoveTimer = new QCheckBox(QStringLiteral("Ακύρωση Χρόνου Αποστολής"), this);
    chkRemoveTimer->setObjectName(QStringLiteral("chkRemoveTimer"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("Άκυρο"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* frames = new QHBoxLayout;
    frames->addWidget(fraSendTime);
    frames->addWidget(fraSendDate, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkRemoveTimer);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addLayout(frames);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &frmMessage_SetTime::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMessage_SetTime::cmdCancel_Click);
}

void frmMessage_SetTime::Form_Load()
{
    SetMessageTime(rt::ShortTime(rt::Time()), rt::Date());
}

void frmMessage_SetTime::SetMessageTime(const QString& Tm, const QDate& Dt)
{
    if (Tm.isEmpty()) {
        chkRemoveTimer->setEnabled(false);
        return;
    }
    if (const std::optional<QTime> time = rt::ParseShortTime(Tm)) {
        const QStringList parts = rt::ShortTime(*time).split(u':');
        SendTime->SetClock(parts.at(0).toInt(), parts.at(1).toInt());
    }
    if (Dt.isValid())
        SendDate->setValue(Dt);
}

void frmMessage_SetTime::cmdOK_Click()
{
    QString t;
    QString d;
    if (!chkRemoveTimer->isChecked()) {
        t = SendTime->GetHour() + u':' + SendTime->GetMinutes();
        d = rt::ShortDate(SendDate->Value());
    }
    emit ScheduleChosen(t, d);
    rt::Forms::unload(this);
}

void frmMessage_SetTime::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmMessage_SetTime::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Escape)
        cmdCancel_Click();
}
