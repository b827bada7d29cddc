#pragma once

#include "platform/Form.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace rt {
class TextBox;
}

// Edits the member list's display criteria: beginnings of the surname, first name,
// occupation and mobile number, and a set of groups (any of which a member must belong
// to). OK hands them to the docked member list, which reloads itself.
class frmMember_Criteria : public rt::Form {
    Q_OBJECT

public:
    frmMember_Criteria();

    // Shows the given criteria; qrGroups is a GroupIdList ("3,7"), whose ids without a
    // group are passed over.
    void SetCriteria(const QString& qrLName, const QString& qrFName, const QString& qrOccup,
                     const QString& qrMobile, const QString& qrGroups);

    // The selected groups' ids joined by ",", in list order; "" for none.
    QString SelectedGroupIds() const;

    rt::TextBox* txtLastName() const { return m_txtLastName; }
    rt::TextBox* txtFirstName() const { return m_txtFirstName; }
    rt::TextBox* txtPhone() const { return m_txtPhone; }
    rt::TextBox* txtOccup() const { return m_txtOccup; }
    QListWidget* lstGroups() const { return m_lstGroups; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdClear() const { return m_cmdClear; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    void cmdOK_Click();
    void cmdClear_Click();
    void cmdCancel_Click();

protected:
    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_KeyPress(int& KeyAscii) override;

private:
    rt::TextBox* m_txtLastName;
    rt::TextBox* m_txtFirstName;
    rt::TextBox* m_txtPhone;
    rt::TextBox* m_txtOccup;
    QListWidget* m_lstGroups;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdClear;
    QPushButton* m_cmdCancel;
    QLabel* m_lblInst;
};
