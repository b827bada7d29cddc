#pragma once

#include <QHash>
#include <QString>

// A stored mobile number as the prefix rewrite found it and as it left it.
struct RewrittenNumber {
    QString before;
    QString after;
};
// The rewritten numbers by member_id.
using RewrittenNumbers = QHash<qint64, RewrittenNumber>;

// What the member dialogs and the prefix rewrite call back in the docked address-book
// window: the groups organiser ("frmGroup_Organize") or the member list
// ("frmMember_List"). They take the first entry of mdlMain::ChildForms, check its Name
// and reach it through this interface, so none of them needs the windows' headers. A
// docked window of another name, or one of these names that does not implement the
// interface, is not called.
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

    // The prefix rewrite has changed these stored numbers. A window that keeps members
    // shows the new numbers, so that no edit of it writes back a number read before.
    virtual void NumbersRewritten(const RewrittenNumbers& numbers) { Q_UNUSED(numbers); }

    // The docked window when it is one of the two address-book windows; nullptr when no
    // window is docked or another one is.
    static MemberWindow* Docked();
};
