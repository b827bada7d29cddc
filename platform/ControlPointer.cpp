#include "platform/ControlPointer.h"

#include <QCursor>
#include <QVariant>
#include <QWidget>

namespace rt {

namespace {

const char* const pointerProperty = "rt_MousePointer";
const char* const iconProperty = "rt_MouseIcon";

void showPointer(QWidget& control)
{
    switch (ControlPointer(control)) {
    case pointer::Arrow:
        control.setCursor(Qt::ArrowCursor);
        break;
    case pointer::Hourglass:
        control.setCursor(Qt::WaitCursor);
        break;
    case pointer::ArrowHourglass:
        control.setCursor(Qt::BusyCursor);
        break;
    case pointer::Custom: {
        const QVariant icon = control.property(iconProperty);
        if (icon.isValid())
            control.setCursor(icon.value<QCursor>());
        else
            control.unsetCursor();
        break;
    }
    default:
        control.unsetCursor();
        break;
    }
}

} // namespace

void SetControlPointer(QWidget& control, int pointer)
{
    control.setProperty(pointerProperty, pointer);
    showPointer(control);
}

int ControlPointer(const QWidget& control)
{
    return control.property(pointerProperty).toInt();
}

void SetControlMouseIcon(QWidget& control, const QCursor& icon)
{
    control.setProperty(iconProperty, QVariant::fromValue(icon));
    showPointer(control);
}

} // namespace rt
