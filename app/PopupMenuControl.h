#pragma once

#include <QString>
#include <QWidget>
#include <array>

class QAction;
class QMenu;

// A right-click menu whose items the host names and fills at run time: fifteen
// ready-made items, taken in order by AddMenuItem, switched by name (the first item of
// that name counts) and reported by name through Click. The control itself is never
// seen; only its menu pops up.
class PopupMenuControl : public QWidget {
    Q_OBJECT

public:
    static constexpr int ItemSlots = 15;

    explicit PopupMenuControl(QWidget* parent = nullptr);
    PopupMenuControl(const QString& name, QWidget* parent);

    // Takes the next free item; a caption "-" makes it a separator line. Past the
    // fifteenth item it raises the missing-element error of the item array.
    void AddMenuItem(const QString& mnName, const QString& mnCaption);
    // Pops the menu up at the mouse and returns when it closes.
    void ShowPopupMenu();

    void SetMenuCheck(const QString& mnName, bool CheckValue);
    // False when no item has the name.
    bool GetMenuCheck(const QString& mnName) const;
    bool MenuState(const QString& mnName) const;
    void setMenuState(const QString& mnName, bool Value);

    int ItemCount() const { return m_count; }
    QMenu* mnPopup() const { return m_popup; }
    QAction* submenu(int index) const;

signals:
    // The chosen item's name and its checked state; the control does not toggle it.
    void Click(const QString& MenuName, bool Checked);

private:
    int find(const QString& mnName) const;
    void showChecked(int index);
    void chosen(int index);

    QMenu* m_popup;
    std::array<QAction*, ItemSlots> m_items{};
    std::array<bool, ItemSlots> m_checked{};
    qint16 m_count = 0;
};
