#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

class QHBoxLayout;
class QLabel;

namespace rt {

// One keyed panel of a StatusBar: text, picture, tooltip and its sizing rule. A panel
// that does not size itself keeps its width (1440 twips unless set); one sized to its
// contents follows its text and picture; a spring takes the bar's room left over. None
// is narrower than its minimum width (1440 twips unless set).
class StatusPanel : public QWidget {
    Q_OBJECT

public:
    enum AutoSize { NoAutoSize = 0, Spring = 1, Contents = 2 };

    StatusPanel(const QString& key, QWidget* parent);

    QString Key() const { return m_key; }
    QString Text() const;
    void setText(const QString& text);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& text) { setToolTip(text); }
    QIcon Picture() const { return m_picture; }
    void setPicture(const QIcon& picture);
    AutoSize autoSize() const { return m_autoSize; }
    void setAutoSize(AutoSize mode);
    int Width() const { return m_width; } // pixels
    void setWidth(int pixels);
    int MinWidth() const { return m_minWidth; } // pixels
    void setMinWidth(int pixels);

private:
    void fit();

    QString m_key;
    QIcon m_picture;
    AutoSize m_autoSize = NoAutoSize;
    int m_width;
    int m_minWidth;
    QLabel* m_icon;
    QLabel* m_text;
};

// The runtime's status bar: keyed panels inserted at a position (1-based, as the
// runtime counted them), laid out from the left at their own widths; room that no
// spring panel takes stays blank at the right.
class StatusBar : public QWidget {
    Q_OBJECT

public:
    explicit StatusBar(QWidget* parent = nullptr);

    int Count() const { return static_cast<int>(m_panels.size()); }
    // Inserts before the panel at index (1-based); 0 or past the end appends. A key
    // already in use adds nothing and returns nullptr.
    StatusPanel* Add(int index = 0, const QString& key = QString(), const QString& text = QString());
    StatusPanel* Panel(int index) const;
    StatusPanel* Panel(const QString& key) const;
    int IndexOf(const QString& key) const; // 0 when there is none
    bool Remove(const QString& key);
    bool Remove(int index);
    QStringList Keys() const;

private:
    void relayout();
    QList<StatusPanel*> m_panels;
    QHBoxLayout* m_layout;
};

} // namespace rt
