#include "addressbook/MemberWindow.h"

#include "app/ChildFormCollection.h"
#include "app/mdlMainDocking.h"
#include "platform/Form.h"

MemberWindow* MemberWindow::Docked()
{
    rt::Form* docked = mdlMain::ChildForms().Item(1);
    if (docked == nullptr)
        return nullptr;
    const QString name = docked->Name();
    if (name != QLatin1String("frmGroup_Organize") && name != QLatin1String("frmMember_List"))
        return nullptr;
    return dynamic_cast<MemberWindow*>(docked);
}
