#include "app/mdlMain.h"

#include "platform/Events.h"
#include "platform/ListView.h"
#include "platform/TextCompare.h"
#include "platform/TextFile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>

namespace mdlMain {

// ---- small utilities

void AddComboItem(QComboBox* combo, const QString& text, qint32 value, bool select)
{
    if (!combo)
        return;
    int row = combo->count();
    if (combo->insertPolicy() == QComboBox::InsertAlphabetically) {
        // After every entry that sorts before it or equal to it.
        row = 0;
        while (row < combo->count() && rt::CompareText(combo->itemText(row), text) <= 0)
            ++row;
    }
    const int before = combo->currentIndex();
    {
        // Qt makes the first entry of an empty box current by itself; the caller decides.
        const QSignalBlocker quiet(combo);
        combo->insertItem(row, text, value);
        if (before < 0 && combo->currentIndex() >= 0)
            combo->setCurrentIndex(-1);
    }
    if (select)
        combo->setCurrentIndex(row);
}

void SetMousePointer(int pointer)
{
    rt::SetMousePointer(pointer);
}

bool FileExists(const QString& path)
{
    return rt::FileExists(path);
}

void SelectAllText(QLineEdit* box)
{
    if (box)
        box->setSelection(0, static_cast<int>(box->text().size()));
}

void SelectAllText(QPlainTextEdit* box)
{
    if (!box)
        return;
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

void SelectAllListItems(rt::ListView* list)
{
    if (!list)
        return;
    for (rt::ListItem item : list->ListItems())
        item.setSelected(true);
}

void InvertListSelection(rt::ListView* list)
{
    if (!list)
        return;
    for (rt::ListItem item : list->ListItems())
        item.setSelected(!item.Selected());
}

} // namespace mdlMain
