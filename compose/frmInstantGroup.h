#pragma once

#include "platform/Form.h"
#include "platform/Query.h"

#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace rt {
class ListView;
class TextBox;
} // namespace rt

// The instant-group wizard: up to three search texts for each of last name, first name,
// occupation and mobile number; a member is found when, for every column with a text,
// its value begins with one of that column's texts. Page 0 takes the texts, page 1 shows
// what the search found.
//
// Finish hands the search on through CreateInstantGroup, then the wizard unloads; Cancel
// unloads it and hands nothing. Finish can be pressed only on page 1 after a search that
// found members, so the query handed on is the one that has just run (a
// "SELECT * FROM members WHERE ..." with bound values; its rows carry member_id). The
// message window:
//
//     auto& wizard = rt::Forms::get<frmInstantGroup>();
//     connect(&wizard, &frmInstantGroup::CreateInstantGroup, this,
//             &frmMessage_Edit::CreateInstantGroup);
//     rt::Forms::showModal(wizard);
class frmInstantGroup : public rt::Form {
    Q_OBJECT

public:
    static constexpr int Rows = 3;

    frmInstantGroup();

    // The query of the last search; an empty statement when no criterion was given.
    const rt::Query& InstantGroupQuery() const { return m_instantGroupQuery; }

    // The members query for the criteria; empty texts are skipped, and with no text at
    // all the statement is empty (no criterion finds no members).
    static rt::Query BuildQuery(const QStringList& lastNames, const QStringList& firstNames,
                                const QStringList& occupations, const QStringList& phones);

signals:
    void CreateInstantGroup(const rt::Query& Query);

protected:
    void Form_Load() override;

private:
    void FillCriteriaLists();
    void ShowStep(int n);
    void SearchMembers();
    void cmdStep_Click(int index);
    void cmdEnd_Click();
    void cmdCancel_Click();

    QLabel* Label1;
    QGroupBox* Frame[2];
    QLabel* lblHeader[4];
    rt::TextBox* txtLName[Rows];
    QComboBox* cmbFName[Rows];
    QComboBox* cmbProperty[Rows];
    rt::TextBox* txtPhone[Rows];
    rt::ListView* lstResults;
    QLabel* lblResult;
    QPushButton* cmdStep[2];
    QPushButton* cmdEnd;
    QPushButton* cmdCancel;

    rt::Query m_instantGroupQuery;
};
