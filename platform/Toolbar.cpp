#include "platform/Toolbar.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QResizeEvent>
#include <QToolButton>

namespace rt {

namespace {
constexpr int separatorWidth = 8;
constexpr int margin = 1;
constexpr char captionProperty[] = "_rt_caption";

// Captions are plain text: an "&" is shown, never taken as a mnemonic.
void showCaption(QToolButton* button, const QString& caption)
{
    button->setProperty(captionProperty, caption);
    button->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
}
} // namespace

Toolbar::Toolbar(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

Toolbar::Toolbar(const QString& name, QWidget* parent) : Toolbar(parent)
{
    setObjectName(name);
}

QToolButton* Toolbar::AddButton(const QString& key, const QString& caption, const QIcon& picture,
                                const QString& toolTip)
{
    auto* button = new QToolButton(this);
    button->setObjectName(key);
    showCaption(button, caption);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(picture);
    button->setToolButtonStyle(picture.isNull() ? Qt::ToolButtonTextOnly
                                                : Qt::ToolButtonTextUnderIcon);
    connect(button, &QToolButton::clicked, this,
            [this, button] { emit ButtonClick(button->objectName()); });
    button->show();
    m_items.append(Item{button, button});
    changed();
    return button;
}

void Toolbar::AddSeparator()
{
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->show();
    m_items.append(Item{line, nullptr});
    changed();
}

void Toolbar::AddButtonMenu(const QString& buttonKey, const QString& itemKey, const QString& text)
{
    QToolButton* button = Button(buttonKey);
    if (button == nullptr)
        return;
    QMenu* menu = button->menu();
    if (menu == nullptr) {
        menu = new QMenu(button);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    QAction* action = menu->addAction(text);
    action->setObjectName(itemKey);
    connect(action, &QAction::triggered, this, [this, button, action] {
        emit ButtonMenuClick(button->objectName(), action->objectName());
    });
    changed();
}

void Toolbar::Clear()
{
    for (const Item& item : std::as_const(m_items))
        delete item.widget;
    m_items.clear();
    changed();
}

QList<QToolButton*> Toolbar::Buttons() const
{
    QList<QToolButton*> out;
    for (const Item& item : m_items) {
        if (item.button)
            out.append(item.button);
    }
    return out;
}

QToolButton* Toolbar::Button(const QString& key) const
{
    for (const Item& item : m_items) {
        if (item.button && item.button->objectName() == key)
            return item.button;
    }
    return nullptr;
}

QMenu* Toolbar::ButtonMenu(const QString& buttonKey) const
{
    QToolButton* button = Button(buttonKey);
    return button ? button->menu() : nullptr;
}

void Toolbar::setButtonCaption(const QString& key, const QString& caption)
{
    if (QToolButton* button = Button(key)) {
        showCaption(button, caption);
        changed();
    }
}

QString Toolbar::ButtonCaption(const QString& key) const
{
    QToolButton* button = Button(key);
    return button ? button->property(captionProperty).toString() : QString();
}

void Toolbar::setButtonToolTip(const QString& key, const QString& toolTip)
{
    if (QToolButton* button = Button(key))
        button->setToolTip(toolTip);
}

void Toolbar::setButtonPicture(const QString& key, const QIcon& picture)
{
    if (QToolButton* button = Button(key)) {
        button->setIcon(picture);
        button->setToolButtonStyle(picture.isNull() ? Qt::ToolButtonTextOnly
                                                    : Qt::ToolButtonTextUnderIcon);
        changed();
    }
}

void Toolbar::setButtonEnabled(const QString& key, bool enabled)
{
    if (QToolButton* button = Button(key))
        button->setEnabled(enabled);
}

bool Toolbar::isButtonEnabled(const QString& key) const
{
    QToolButton* button = Button(key);
    return button && button->isEnabled();
}

void Toolbar::setButtonVisible(const QString& key, bool visible)
{
    if (QToolButton* button = Button(key)) {
        button->setHidden(!visible);
        changed();
    }
}

bool Toolbar::isButtonVisible(const QString& key) const
{
    QToolButton* button = Button(key);
    return button && !button->isHidden();
}

void Toolbar::setButtonMenuEnabled(const QString& buttonKey, const QString& itemKey, bool enabled)
{
    if (QMenu* menu = ButtonMenu(buttonKey)) {
        if (QAction* action = menu->findChild<QAction*>(itemKey))
            action->setEnabled(enabled);
    }
}

void Toolbar::setButtonMenuVisible(const QString& buttonKey, const QString& itemKey, bool visible)
{
    if (QMenu* menu = ButtonMenu(buttonKey)) {
        if (QAction* action = menu->findChild<QAction*>(itemKey))
            action->setVisible(visible);
    }
}

void Toolbar::setWrappable(bool value)
{
    m_wrappable = value;
    setSizePolicy(QSizePolicy::Preferred, value ? QSizePolicy::Preferred : QSizePolicy::Fixed);
    changed();
}

QSize Toolbar::buttonSize() const
{
    QSize size(0, 0);
    for (const Item& item : m_items) {
        if (item.button && !item.button->isHidden())
            size = size.expandedTo(item.button->sizeHint());
    }
    if (size.isEmpty()) {
        // An empty toolbar keeps the height of a button with a caption.
        QToolButton probe;
        probe.setAutoRaise(true);
        probe.setText(QStringLiteral("X"));
        size = QSize(0, probe.sizeHint().height());
    }
    return size;
}

int Toolbar::ButtonWidth() const
{
    return buttonSize().width();
}
int Toolbar::ButtonHeight() const
{
    return buttonSize().height();
}

QList<QRect> Toolbar::place(int width, int* usedHeight) const
{
    const QSize size = buttonSize();
    QList<QRect> rects;
    int x = margin;
    int y = margin;
    bool rowEmpty = true;
    for (const Item& item : m_items) {
        if (item.widget->isHidden()) {
            rects.append(QRect());
            continue;
        }
        if (m_wrappable && !item.button && x + separatorWidth > width - margin) {
            // A separator where a row breaks: the break parts the groups already.
            rects.append(QRect(x, y, 0, size.height()));
            continue;
        }
        const int w = item.button ? size.width() : separatorWidth;
        if (m_wrappable && !rowEmpty && x + w > width - margin) {
            x = margin;
            y += size.height();
            rowEmpty = true;
        }
        rects.append(QRect(x, y, w, size.height()));
        x += w;
        rowEmpty = false;
    }
    if (usedHeight)
        *usedHeight = y + size.height() + margin;
    return rects;
}

int Toolbar::heightForWidth(int width) const
{
    int height = 0;
    place(width, &height);
    return height;
}

QSize Toolbar::sizeHint() const
{
    int width = margin;
    const QSize size = buttonSize();
    for (const Item& item : m_items) {
        if (!item.widget->isHidden())
            width += item.button ? size.width() : separatorWidth;
    }
    return QSize(width + margin, size.height() + 2 * margin);
}

QSize Toolbar::minimumSizeHint() const
{
    return QSize(0, buttonSize().height() + 2 * margin);
}

void Toolbar::relayout()
{
    const QList<QRect> rects = place(width(), nullptr);
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (!rects.at(i).isNull())
            m_items.at(i).widget->setGeometry(rects.at(i));
    }
}

void Toolbar::changed()
{
    updateGeometry();
    relayout();
    if (m_wrappable && !m_fitting) {
        // The rows decide the height; the host decides the width.
        m_fitting = true;
        const int needed = heightForWidth(width());
        if (needed != height())
            resize(width(), needed);
        m_fitting = false;
    }
}

void Toolbar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    changed();
}

void Toolbar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    changed();
}

} // namespace rt
