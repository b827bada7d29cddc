#pragma once

#include "platform/Form.h"

#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;

namespace rt {
class TextBox;
}

// The small modal dialog in which a group of the groups organiser is named: a new group
// or one being renamed. OK hands the name to the organiser's UpdateGroup; a name of
// blanks only is refused. It touches no table.
class frmGroup_Edit : public rt::Form {
    Q_OBJECT

public:
    frmGroup_Edit();

    // GrpKey is the group's key, empty for a new group; PrntKey the node it stands or is
    // to stand under; GrpName the name to show, empty to keep the proposed "Νέα Ομάδα".
    void EditGroup(const QString& GrpKey, const QString& PrntKey, const QString& GrpName);

    QGroupBox* Frame1() const { return m_frame; }
    QLabel* Label1() const { return m_label; }
    rt::TextBox* txtName() const { return m_txtName; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_KeyPress(int& KeyAscii) override;

private:
    void txtName_KeyDown(int& KeyCode, int Shift);

    QGroupBox* m_frame;
    QLabel* m_label;
    rt::TextBox* m_txtName;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QString m_groupKey;
    QString m_parentKey;
};
