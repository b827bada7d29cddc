#pragma once

#include "platform/Form.h"

#include <QPointer>

class PhoneField;
class QComboBox;
class QLabel;
class QPushButton;

namespace rt {
class TextBox;
}

// Asks for up to four beginnings of member fields and has the docked address-book
// window select the members that match (see MemberWindow). Modeless and kept on top, so
// the user can go on working in the docked window; the last values typed are
// remembered in mdlGroups' search criteria.
class frmMember_Find : public rt::Form {
    Q_OBJECT

public:
    frmMember_Find();

    // Fills the fields from the remembered values and shows the dialog, not modally.
    void SearchMember();

    rt::TextBox* Text_0() const { return m_fields[0]; }
    rt::TextBox* Text_1() const { return m_fields[1]; }
    PhoneField* txtPhone() const { return m_txtPhone; }
    QComboBox* cmbOccup() const { return m_cmbOccup; }
    QPushButton* cmdFind() const { return m_cmdFind; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    void cmdFind_Click();
    void cmdCancel_Click();

protected:
    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_KeyPress(int& KeyAscii) override;
    void focusInEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    void keepOnTop(bool on);

    rt::TextBox* m_fields[2];
    PhoneField* m_txtPhone;
    QComboBox* m_cmbOccup;
    QPushButton* m_cmdFind;
    QPushButton* m_cmdCancel;
    QLabel* m_lblInst;
    // The control of the dialog that had the keyboard last.
    QPointer<QWidget> m_lastControl;
};
