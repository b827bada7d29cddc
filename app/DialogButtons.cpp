#include "app/DialogButtons.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace dialogbuttons {

QPushButton* DialogButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* previous = nullptr;
    for (QPushButton* button : buttons) {
        row->addWidget(button);
        if (previous)
            QWidget::setTabOrder(previous, button);
        previous = button;
    }
    return row;
}

} // namespace dialogbuttons
