#pragma once

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

// The buttons of the modal dialogs.
namespace dialogbuttons {

// A dialog's button, named; never a default button, since Enter and Escape are the
// form's own keys (its key preview sees them first).
QPushButton* DialogButton(const QString& name, const QString& caption, QWidget* parent);
// The dialog's buttons at the right end of one row, in this order, which is also their
// tab order.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

} // namespace dialogbuttons
