#pragma once

#include "addressbook/MemberWindow.h"
#include "platform/Form.h"
#include "platform/Query.h"

#include <QPoint>
#include <QString>

class FormTitle;
class PopupMenuControl;
class QGroupBox;
class QLabel;

namespace rt {
class ImageList;
class ListItem;
class ListView;
class TextBox;
class Toolbar;
} // namespace rt

// The flat address-book view: a docked window that lists the members of the members
// table, filtered by the display criteria, and writes every insert, update and delete
// straight to the database.
class frmMember_List : public rt::Form, public MemberWindow {
    Q_OBJECT

public:
    frmMember_List();

    // The display criteria: beginnings of the surname, first name, occupation and mobile
    // number, and a GroupIdList ("3,7"); all empty after load.
    QString qrLastName;
    QString qrFirstName;
    QString qrOccup;
    QString qrMobileNo;
    QString qrGroups;

    // Writes one member (a new row for an empty or unknown MemberID) and shows it
    // selected alone, whether or not it matches the criteria. A database failure is
    // raised and leaves the list as it was.
    void UpdateMember(const QString& MemberID, const QString& LastName, const QString& FirstName,
                      const QString& Occupation, const QString& Phone);
    // The edit dialog, empty for a new member or with the current item.
    void NewMember();
    void EditMember();
    // Deletes the selected members after a question, all of them or, on a failure,
    // none.
    void DeleteMember();
    // Selects the items whose fields begin with every given value (surname, first name
    // and occupation without regard to case; those three are upper-cased in place).
    void FindMembers(QString& LName, QString& FName, QString& Phone, QString& Occup) override;
    // Stores the criteria and reloads the list with the members that match them.
    void SetListCriteria(const QString& LName, const QString& FName, const QString& Occup,
                         const QString& MobileNo, const QString& Groups);

    void MemberEdited(const QString& MemberKey, const QString& GroupKey, const QString& LastName,
                      const QString& FirstName, const QString& Occupation,
                      const QString& Phone) override;
    // The listed members whose stored numbers the prefix rewrite changed show the new ones.
    void NumbersRewritten(const RewrittenNumbers& numbers) override;

    FormTitle* formTitle() const { return m_formTitle; }
    rt::Toolbar* Toolbar() const { return m_toolbar; }
    QGroupBox* FrameSearch() const { return m_frameSearch; }
    rt::TextBox* txtSearchName() const { return m_txtSearchName; }
    rt::TextBox* txtSearchPhone() const { return m_txtSearchPhone; }
    rt::ListView* Members() const { return m_members; }
    PopupMenuControl* mnMembers() const { return m_mnMembers; }
    rt::ImageList* ImageList() const { return m_imageList; }

    void Toolbar_ButtonClick(const QString& key);
    void mnMembers_Click(const QString& MenuName, bool Checked);
    void Members_ColumnClick(int column);
    void Members_DblClick();
    void Members_MouseUp(int button, int shift, const QPoint& pos);

    // The query that gives the members matching the criteria; the whole table when
    // none is set.
    static rt::Query CriteriaQuery(const QString& LName, const QString& FName, const QString& Occup,
                                   const QString& MobileNo, const QString& Groups);

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RefreshMemberList(const rt::Query& Source);
    void UpdateCommandState();
    void ShowCriteriaDialog();
    void ShowCount();
    void SelectAlone(const rt::ListItem& item);
    void Form_Resize();
    void txtSearchName_Change();
    void txtSearchPhone_Change();

    FormTitle* m_formTitle;
    rt::ImageList* m_imageList;
    rt::ImageList* m_images25;
    rt::Toolbar* m_toolbar;
    QGroupBox* m_frameSearch;
    rt::TextBox* m_txtSearchName;
    rt::TextBox* m_txtSearchPhone;
    rt::ListView* m_members;
    PopupMenuControl* m_mnMembers;
};
