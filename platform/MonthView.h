#pragma once

#include <QCalendarWidget>
#include <QDate>

namespace rt {

// The month calendar: one chosen day, Value. Month and day names are Greek and weeks
// start on Monday whatever the system's locale, as the rest of the program's texts.
class MonthView : public QCalendarWidget {
    Q_OBJECT

public:
    explicit MonthView(QWidget* parent = nullptr);
    MonthView(const QString& name, QWidget* parent);

    QDate Value() const { return selectedDate(); }
    // Also brings the day's month into view.
    void setValue(const QDate& value);
};

} // namespace rt
