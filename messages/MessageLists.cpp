#include "messages/MessageLists.h"

#include "platform/ListView.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QHeaderView>

namespace MessageLists {

namespace {

const char* const watcherName = "TitleColumnFit";

void fit(rt::ListView& list, int titleColumn)
{
    list.setColumnWidth(1, rt::toTwips(25));
    int others = 0;
    for (int column = 1; column <= list.ColumnCount(); ++column) {
        if (column != titleColumn)
            others += rt::toPixels(list.ColumnWidth(column));
    }
    const int titleWidth = list.viewport()->width() - others - 5;
    if (titleWidth > 0)
        list.setColumnWidth(titleColumn, rt::toTwips(titleWidth));
}

// Fits the title column again whenever the list's viewport changes size. The event's
// type is looked at first: the list is not asked for anything while it is destroyed.
class Watcher : public QObject {
public:
    Watcher(rt::ListView& list, int titleColumn)
        : QObject(&list), m_list(list), m_viewport(list.viewport()), m_titleColumn(titleColumn)
    {
        setObjectName(QLatin1String(watcherName));
        m_viewport->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && watched == m_viewport)
            fit(m_list, m_titleColumn);
        return false;
    }

private:
    rt::ListView& m_list;
    QObject* m_viewport;
    int m_titleColumn;
};

} // namespace

void FitTitleColumn(rt::ListView& list, int titleColumn)
{
    if (!list.findChild<QObject*>(QLatin1String(watcherName), Qt::FindDirectChildrenOnly)) {
        // The icon column is narrower than the toolkit's default least width of a column.
        list.header()->setMinimumSectionSize(16);
        new Watcher(list, titleColumn);
    }
    fit(list, titleColumn);
}

} // namespace MessageLists
