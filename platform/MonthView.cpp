#include "platform/MonthView.h"

#include "platform/KeyInput.h"

#include <QKeyEvent>
#include <QLocale>
#include <QSpinBox>
#include <functional>

namespace rt {

namespace {

// The year editor that a click on the year opens keeps Escape: it ends the edit (the
// calendar puts the shown year back) and reaches neither the form's key preview nor its
// handlers, as the month drop-down keeps its keys. Every other key of the editor is
// previewed by the form as usual.
class YearEditorKeys : public KeyEvents {
public:
    YearEditorKeys(QSpinBox* editor, std::function<void(QKeyEvent*)> endEdit)
        : KeyEvents(editor), m_editor(editor), m_endEdit(std::move(endEdit))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == m_editor && (type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            if (type == QEvent::KeyPress && m_editor->isVisible())
                m_endEdit(static_cast<QKeyEvent*>(event));
            return true;
        }
        return KeyEvents::eventFilter(watched, event);
    }

private:
    QSpinBox* m_editor;
    std::function<void(QKeyEvent*)> m_endEdit;
};

} // namespace

MonthView::MonthView(QWidget* parent) : QCalendarWidget(parent)
{
    setLocale(QLocale(QLocale::Greek, QLocale::Greece));
    setFirstDayOfWeek(Qt::Monday);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(true);
    if (auto* year = findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"))) {
        // The calendar's own Escape ends the edit; the keyboard then returns to the days,
        // as after a click beside the editor, instead of staying in the hidden editor.
        new YearEditorKeys(year, [this](QKeyEvent* escape) {
            QCalendarWidget::keyPressEvent(escape);
            setFocus(Qt::OtherFocusReason);
        });
    }
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
