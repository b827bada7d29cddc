#include "platform/MonthView.h"

#include <QLocale>

namespace rt {

MonthView::MonthView(QWidget* parent) : QCalendarWidget(parent)
{
    setLocale(QLocale(QLocale::Greek, QLocale::Greece));
    setFirstDayOfWeek(Qt::Monday);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(true);
}

MonthView::MonthView(const QString& name, QWidget* parent) : MonthView(parent)
{
    setObjectName(name);
}

void MonthView::setValue(const QDate& value)
{
    setSelectedDate(value);
    setCurrentPage(value.year(), value.month());
}

} // namespace rt
