#include "tests/support/Docking.h"

#include <QToolButton>

namespace testsupport {

QStringList toolbarButtons(rt::Toolbar* bar)
{
    QStringList out;
    for (QToolButton* b : bar->Buttons())
        out << b->objectName() + QLatin1Char('|') + b->text() + QLatin1Char('|') + b->toolTip();
    return out;
}

} // namespace testsupport
