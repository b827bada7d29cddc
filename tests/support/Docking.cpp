#include "tests/support/Docking.h"

#include "app/PopupMenuControl.h"

#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace testsupport {

QStringList toolbarButtons(rt::Toolbar* bar)
{
    QStringList out;
    for (QToolButton* b : bar->Buttons())
        out << b->objectName() + QLatin1Char('|') + b->text() + QLatin1Char('|') + b->toolTip();
    return out;
}

QMap<QString, bool> contextMenuStates(PopupMenuControl* popup, rt::ListView* list,
                                      const QStringList& names)
{
    QMap<QString, bool> states;
    QMenu* menu = popup->mnPopup();
    QTimer::singleShot(0, menu, [&] {
        if (menu->isVisible()) {
            for (const QString& name : names)
                states.insert(name, popup->MenuState(name));
        }
        menu->close();
    });
    list->Refresh();
    QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                      QPoint(5, list->viewport()->height() - 5));
    return states;
}

} // namespace testsupport
