#pragma once

#include <QString>

class PhoneField;
class QComboBox;
class QGridLayout;
class QWidget;

namespace rt {
class Form;
class TextBox;
} // namespace rt

// Pieces the member dialogs share: the four member fields with their labels, an
// editable combo box that types like the program's text boxes, and the dialogs' keys.
namespace memberfields {

struct Fields {
    rt::TextBox* lastName = nullptr;  // Text_0, at most 40 characters
    rt::TextBox* firstName = nullptr; // Text_1, at most 20 characters
    PhoneField* phone = nullptr;      // txtPhone
    QComboBox* occupation = nullptr;  // cmbOccup
};

// Adds the labelled fields to the grid from `row` on, one a row, in tab order.
Fields AddMemberFields(QWidget* parent, QGridLayout* grid, int row);

// The dialogs' keys. KeyDown: clears SwallowNextKey; Enter sets it and moves the focus
// to the next control, as a sent Tab did. True when the key was Enter.
bool EnterMovesFocus(int KeyCode);
// Sets SwallowNextKey, so that the key's character reaches no control.
void SwallowKey();
// KeyPress: drops the character while SwallowNextKey is set, and clears it.
void DropSwallowedKey(int& KeyAscii);
// A dialog's KeyDown where Enter moves the focus on and Escape closes the dialog
// (unloads it), its character swallowed.
void EnterOrEscape(rt::Form& dialog, int KeyCode);

} // namespace memberfields
