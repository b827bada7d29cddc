#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

class QMenu;
class QToolButton;

namespace rt {

// The common toolbar: keyed buttons (each a QToolButton whose objectName is its key)
// with caption, tooltip and picture, separators, and drop-down buttons whose menu items
// are keyed too. All buttons share one size, the largest any of them needs, as the
// common control drew them. In one-row mode the buttons run left to right and what
// does not fit is cut off; in wrapping mode they fill as many rows as the width needs
// and the toolbar's height follows the rows. A plain widget, so a host can re-parent it
// (the main window docks a child window's toolbar into its own strip).
class Toolbar : public QWidget {
    Q_OBJECT

public:
    explicit Toolbar(QWidget* parent = nullptr);
    Toolbar(const QString& name, QWidget* parent);

    // Appends a button; with a menu it becomes a drop-down button.
    QToolButton* AddButton(const QString& key, const QString& caption, const QIcon& picture = {},
                           const QString& toolTip = {});
    void AddSeparator();
    // Adds an item to a button's drop-down menu (the button becomes a drop-down button).
    void AddButtonMenu(const QString& buttonKey, const QString& itemKey, const QString& text);
    void Clear();

    // The buttons in order, separators left out; 0 for an unknown key.
    QList<QToolButton*> Buttons() const;
    QToolButton* Button(const QString& key) const;
    QMenu* ButtonMenu(const QString& buttonKey) const;

    // Captions are plain text ("&" shows as itself).
    QString ButtonCaption(const QString& key) const;
    void setButtonCaption(const QString& key, const QString& caption);
    void setButtonToolTip(const QString& key, const QString& toolTip);
    void setButtonPicture(const QString& key, const QIcon& picture);
    void setButtonEnabled(const QString& key, bool enabled);
    bool isButtonEnabled(const QString& key) const;
    void setButtonVisible(const QString& key, bool visible);
    bool isButtonVisible(const QString& key) const;
    void setButtonMenuEnabled(const QString& buttonKey, const QString& itemKey, bool enabled);
    void setButtonMenuVisible(const QString& buttonKey, const QString& itemKey, bool visible);

    bool Wrappable() const { return m_wrappable; }
    void setWrappable(bool value);
    int ButtonWidth() const;
    int ButtonHeight() const;
    // The height the buttons take at a width (one row unless wrapping).
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return m_wrappable; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void ButtonClick(const QString& key);
    void ButtonMenuClick(const QString& buttonKey, const QString& itemKey);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Item {
        QWidget* widget = nullptr;
        QToolButton* button = nullptr; // null for a separator
    };
    QList<QRect> place(int width, int* usedHeight) const;
    void relayout();
    void changed();
    QSize buttonSize() const;

    QList<Item> m_items;
    bool m_wrappable = false;
    bool m_fitting = false;
};

} // namespace rt
