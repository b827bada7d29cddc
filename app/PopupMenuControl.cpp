#include "app/PopupMenuControl.h"

#include "platform/Err.h"
#include "platform/Form.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

PopupMenuControl::PopupMenuControl(QWidget* parent)
    : QWidget(parent), m_popup(new QMenu(QStringLiteral("Popup Menu"), this))
{
    m_popup->setObjectName(QStringLiteral("mnPopup"));
    for (int i = 0; i < ItemSlots; ++i) {
        QAction* item = m_popup->addAction(QStringLiteral("sub menu %1").arg(i));
        item->setObjectName(QStringLiteral("submenu_%1").arg(i));
        item->setVisible(i == 0);
        connect(item, &QAction::triggered, this, [this, i] { chosen(i); });
        m_items[i] = item;
    }
    hide();
}

PopupMenuControl::PopupMenuControl(const QString& name, QWidget* parent) : PopupMenuControl(parent)
{
    setObjectName(name);
}

void PopupMenuControl::AddMenuItem(const QString& mnName, const QString& mnCaption)
{
    if (m_count >= ItemSlots)
        rt::Raise(340, QStringLiteral("Control array element '%1' doesn't exist").arg(m_count),
                  objectName());
    QAction* item = m_items[m_count];
    // A separator is the line alone: the style would draw its text beside the line.
    const bool separator = mnCaption == QLatin1String("-");
    item->setText(separator ? QString() : mnCaption);
    item->setSeparator(separator);
    item->setData(mnName);
    item->setVisible(true);
    ++m_count;
}

void PopupMenuControl::ShowPopupMenu()
{
    // The chosen command runs inside the menu and may close the window the menu
    // belongs to.
    const rt::EventWait wait;
    m_popup->exec(QCursor::pos());
}

QAction* PopupMenuControl::submenu(int index) const
{
    return index >= 0 && index < ItemSlots ? m_items[index] : nullptr;
}

int PopupMenuControl::find(const QString& mnName) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_items[i]->data().toString() == mnName)
            return i;
    }
    return -1;
}

void PopupMenuControl::SetMenuCheck(const QString& mnName, bool CheckValue)
{
    const int index = find(mnName);
    if (index < 0)
        return;
    m_checked[index] = CheckValue;
    showChecked(index);
}

bool PopupMenuControl::GetMenuCheck(const QString& mnName) const
{
    const int index = find(mnName);
    return index >= 0 && m_checked[index];
}

bool PopupMenuControl::MenuState(const QString& mnName) const
{
    const int index = find(mnName);
    return index >= 0 && m_items[index]->isEnabled();
}

void PopupMenuControl::setMenuState(const QString& mnName, bool Value)
{
    const int index = find(mnName);
    if (index >= 0)
        m_items[index]->setEnabled(Value);
}

void PopupMenuControl::showChecked(int index)
{
    // Only a checked item is checkable, so an unchecked one shows no empty box.
    QAction* item = m_items[index];
    if (m_checked[index]) {
        item->setCheckable(true);
        item->setChecked(true);
    } else {
        item->setChecked(false);
        item->setCheckable(false);
    }
}

void PopupMenuControl::chosen(int index)
{
    if (m_items[index]->isSeparator())
        return;
    // Qt toggles a checkable item as it is chosen; the check stays what the host set.
    showChecked(index);
    emit Click(m_items[index]->data().toString(), m_checked[index]);
}
