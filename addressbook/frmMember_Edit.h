#pragma once

#include "platform/Form.h"

#include <QString>

class PhoneField;
class QComboBox;
class QLabel;
class QPushButton;

namespace rt {
class TextBox;
}

// The modal dialog in which one member's four fields are typed, for a new member or an
// existing one. It writes nothing itself: OK hands the fields to the docked
// address-book window (see MemberWindow), which stores them. The mobile number is the
// one required field.
class frmMember_Edit : public rt::Form {
    Q_OBJECT

public:
    frmMember_Edit();

    // Prepares the dialog; the caller then shows it modally. MemKey is the member in the
    // caller's terms (empty for a new member), GrpKey the organiser's selected group
    // (empty from the member list); both go back unchanged on OK. Fills the occupation
    // list from the stored members; a database failure is raised to the caller.
    void EditMember(const QString& MemKey, const QString& GrpKey, const QString& LastName,
                    const QString& FirstName, const QString& Occupation, const QString& Phone);

    QString MemberKey() const { return m_memberKey; }
    QString GroupKey() const { return m_groupKey; }

    rt::TextBox* Text_0() const { return m_fields[0]; }
    rt::TextBox* Text_1() const { return m_fields[1]; }
    PhoneField* txtPhone() const { return m_txtPhone; }
    QComboBox* cmbOccup() const { return m_cmbOccup; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QLabel* lblInst1() const { return m_lblInst1; }

    void cmdOK_Click();
    void cmdCancel_Click();

    static QString designCaption();
    static QString newMemberCaption();

protected:
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_KeyPress(int& KeyAscii) override;

private:
    // 1 more than the largest N of the stored surnames "Μέλος N", in decimal digits.
    QString NextMemberNumber();
    void FieldChanged();

    rt::TextBox* m_fields[2];
    PhoneField* m_txtPhone;
    QComboBox* m_cmbOccup;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QLabel* m_lblInst1;
    QString m_memberKey;
    QString m_groupKey;
};
