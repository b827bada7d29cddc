#pragma once

#include <QString>

// What the member dialogs call back in the docked address-book window: the groups
// organiser ("frmGroup_Organize") or the member list ("frmMember_List"). The dialogs
// take the first entry of mdlMain::ChildForms, check its Name and reach it through
// this interface, so neither dialog needs the windows' headers. A docked window of
// another name, or one of these names that does not implement the interface, is not
// called.
class MemberWindow {
public:
    virtual ~MemberWindow() = default;

    // OK of the member edit dialog: the member and group keys that EditMember was given,
    // unchanged, and the four fields as typed.
    virtual void MemberEdited(const QString& MemberKey, const QString& GroupKey,
                              const QString& LastName, const QString& FirstName,
                              const QString& Occupation, const QString& Phone) = 0;

    // Find of the member find dialog: the remembered search values themselves, which
    // the window may change in place (the member list upper-cases three of them). On a
    // match the window unloads the find dialog; on none it says so and gives the focus
    // back to the dialog.
    virtual void FindMembers(QString& LName, QString& FName, QString& Phone, QString& Occup) = 0;

    // The docked window when it is one of the two address-book windows; nullptr when no
    // window is docked or another one is.
    static MemberWindow* Docked();
};
