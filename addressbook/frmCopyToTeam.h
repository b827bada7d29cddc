#pragma once

#include "platform/Form.h"
#include "platform/Node.h"

#include <QString>

class QLabel;
class QPushButton;
class QRadioButton;

namespace rt {
class TreeView;
}

// The modal dialog in which the group is picked that the members selected in the groups
// organiser are copied or moved to. It shows the organiser's groups as they stand (unsaved
// ones too); OK hands the choice to the organiser's CopyMembersToGroup.
class frmCopyToTeam : public rt::Form {
    Q_OBJECT

public:
    frmCopyToTeam();

    // Prepares the dialog from the organiser; false (the dialog unloaded, nothing shown)
    // when the organiser is not loaded or has no group besides its root.
    bool MoveMembers();

    rt::TreeView* Groups() const { return m_groups; }
    QRadioButton* optChoice_0() const { return m_optChoice[0]; }
    QRadioButton* optChoice_1() const { return m_optChoice[1]; }
    QLabel* lblTitle() const { return m_lblTitle; }
    QLabel* Label1() const { return m_label1; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QString SourceKey() const { return m_sourceKey; }

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void Form_KeyDown(int& KeyCode, int Shift) override;

private:
    void Groups_NodeClick(const rt::Node& node);
    void UpdateTitle();

    rt::TreeView* m_groups;
    QRadioButton* m_optChoice[2];
    QLabel* m_lblTitle;
    QLabel* m_label1;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QString m_sourceKey;
    QString m_titlePrefix;
};
