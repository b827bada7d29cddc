#pragma once

#include "platform/Form.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace rt {
class ProgressBar;
class TextBox;
} // namespace rt

// Replaces the leading digits of stored mobile numbers in bulk (a network's prefix
// changes): every member whose mobile_no begins with the old digits gets the new ones
// in their place, after one confirmation, all in one transaction. The docked member list
// or organiser is told the new numbers at once, so that neither writes an old one back.
// Modeless; it stays open for another rewrite.
class frmMobileFilter : public rt::Form {
    Q_OBJECT

public:
    frmMobileFilter();

    rt::TextBox* txtCode() const { return m_txtCode; }
    rt::TextBox* txtNewCode() const { return m_txtNewCode; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QLabel* lblInstr() const { return m_lblInstr; }
    QGroupBox* fraProgress() const { return m_fraProgress; }
    rt::ProgressBar* PrgBar() const { return m_prgBar; }

    // The main window's command: shows the dialog or, when it is open already (behind
    // another window or minimized), brings it to the front with the keyboard.
    void ShowInFront();

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_KeyPress(int& KeyAscii) override;

private:
    void UpdateOKState();

    QGroupBox* m_fraInput;
    rt::TextBox* m_txtCode;
    rt::TextBox* m_txtNewCode;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QLabel* m_lblInstr;
    QGroupBox* m_fraProgress;
    rt::ProgressBar* m_prgBar;
};
