// The main window's commands that reach the address book, the message lists and their
// dialogs: which window a command opens and which method of the docked window it calls.

#include "addressbook/frmCopyToTeam.h"
#include "addressbook/frmGroup_Organize.h"
#include "addressbook/frmMember_Export.h"
#include "addressbook/frmMember_Find.h"
#include "addressbook/frmMember_List.h"
#include "addressbook/frmMobileFilter.h"
#include "app/ChildFormCollection.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "compose/frmMessage_Edit.h"
#include "messages/frmMessage_OutBox.h"
#include "messages/frmMessage_Saved.h"
#include "messages/frmMessage_Sended.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "sending/frmSendMessages.h"

#include <QAction>

namespace {

// The name of the window shown in the docking space, or "" with none docked.
QString dockedName()
{
    const rt::Form* docked = mdlMain::ChildForms().Item(1);
    return docked ? docked->Name() : QString();
}

// A command reports what goes wrong in it through the top-level handler and is over.
template <class Command> void guarded(Command command)
{
    try {
        command();
    } catch (const rt::RuntimeError& error) {
        rt::reportUntrapped(error);
    }
}

// Runs the command on the window when it is loaded, docked or not.
template <class Window, class Command> bool whenLoaded(Command command)
{
    Window* window = rt::Forms::find<Window>();
    if (!window)
        return false;
    guarded([&] { command(*window); });
    return true;
}

// Runs the command on the window when it is the docked one.
template <class Window, class Command> bool whenDocked(Command command)
{
    Window* window = rt::Forms::find<Window>();
    if (!window || dockedName() != window->Name())
        return false;
    guarded([&] { command(*window); });
    return true;
}

// The list the select-all and invert commands act on, by the docked window's name.
rt::ListView* mainListOfDockedWindow()
{
    static const QList<QPair<QString, QString>> lists = {
        {QStringLiteral("frmGroup_Organize"), QStringLiteral("Members")},
        {QStringLiteral("frmMember_List"), QStringLiteral("Members")},
        {QStringLiteral("frmMessage_OutBox"), QStringLiteral("OutList")},
        {QStringLiteral("frmMessage_Sended"), QStringLiteral("SendList")},
        {QStringLiteral("frmMessage_Saved"), QStringLiteral("Message")},
    };
    rt::Form* docked = mdlMain::ChildForms().Item(1);
    if (!docked)
        return nullptr;
    for (const auto& [form, list] : lists) {
        if (docked->Name() == form)
            return docked->findChild<rt::ListView*>(list);
    }
    return nullptr;
}

} // namespace

void frmMain::connectCommands()
{
    const QList<QPair<const char*, void (frmMain::*)()>> commands = {
        {"mnOpenMessage", &frmMain::mnSavedBox_Click},
        {"mn_DeleteMessage", &frmMain::mn_DeleteMessage_Click},
        {"mn_SendMessage", &frmMain::mn_SendMessage_Click},
        {"mn_SaveMessage", &frmMain::mn_SaveMessage_Click},
        {"mn_SaveMessageAs", &frmMain::mn_SaveMessageAs_Click},
        {"mnOutBox", &frmMain::mnOutBox_Click},
        {"mnSendBox", &frmMain::mnSendBox_Click},
        {"mnSavedBox", &frmMain::mnSavedBox_Click},
        {"mnExport", &frmMain::mnExport_Click},
        {"mn_Cut", &frmMain::mn_Cut_Click},
        {"mn_Copy", &frmMain::mn_Copy_Click},
        {"mn_Paste", &frmMain::mn_Paste_Click},
        {"mn_SelectAll", &frmMain::mn_SelectAll_Click},
        {"mn_InvertSelection", &frmMain::mn_InvertSelection_Click},
        {"mn_NewGroup", &frmMain::mn_NewGroup_Click},
        {"mn_EditGroup", &frmMain::mn_EditGroup_Click},
        {"mn_DeleteGroup", &frmMain::mn_DeleteGroup_Click},
        {"mnGroupOrganize", &frmMain::mnGroupOrganize_Click},
        {"mn_NewMember", &frmMain::mn_NewMember_Click},
        {"mn_EditMember", &frmMain::mn_EditMember_Click},
        {"mn_DeleteMember", &frmMain::mn_DeleteMember_Click},
        {"mnMemberList", &frmMain::mnMemberList_Click},
        {"mn_FindMembers", &frmMain::mn_FindMembers_Click},
        {"mn_CopyToGroup", &frmMain::mn_CopyToGroup_Click},
        {"mnChangeCompanyCode", &frmMain::mnChangeCompanyCode_Click},
        {"mnWebImport", &frmMain::mnWebImport_Click},
    };
    for (const auto& [name, command] : commands)
        connect(MenuItem(QLatin1String(name)), &QAction::triggered, this, command);
}

// ---- windows that dock ---------------------------------------------------------------

// Asks the docked window to close, unless it is the one asked for; the window then
// docks itself while it loads.
template <class Window> void frmMain::OpenChildWindow(const QString& name)
{
    guarded([&] {
        if (FreeChildSpace(name))
            rt::Forms::get<Window>().show();
    });
}

void frmMain::mnOutBox_Click()
{
    OpenChildWindow<frmMessage_OutBox>(QStringLiteral("frmMessage_OutBox"));
}

void frmMain::mnSendBox_Click()
{
    OpenChildWindow<frmMessage_Sended>(QStringLiteral("frmMessage_Sended"));
}

void frmMain::mnSavedBox_Click()
{
    OpenChildWindow<frmMessage_Saved>(QStringLiteral("frmMessage_Saved"));
}

void frmMain::mnGroupOrganize_Click()
{
    OpenChildWindow<frmGroup_Organize>(QStringLiteral("frmGroup_Organize"));
}

void frmMain::mnMemberList_Click()
{
    OpenChildWindow<frmMember_List>(QStringLiteral("frmMember_List"));
}

// ---- messages -----------------------------------------------------------------------

void frmMain::mn_SendMessage_Click()
{
    whenDocked<frmMessage_Edit>([](frmMessage_Edit& w) { w.SendMessage(); }) ||
        whenDocked<frmMessage_OutBox>([](frmMessage_OutBox& w) { w.SendMessage(true); }) ||
        whenDocked<frmMessage_Sended>([](frmMessage_Sended& w) { w.SendMessage(); });
}

void frmMain::mn_DeleteMessage_Click()
{
    // The sent list enables the item too: it deletes there as well.
    whenDocked<frmMessage_OutBox>([](frmMessage_OutBox& w) { w.DeleteMessage(); }) ||
        whenDocked<frmMessage_Saved>([](frmMessage_Saved& w) { w.DeleteMessage(); }) ||
        whenDocked<frmMessage_Sended>([](frmMessage_Sended& w) { w.DeleteMessage(); });
}

void frmMain::mn_SaveMessage_Click()
{
    whenLoaded<frmMessage_Edit>([](frmMessage_Edit& w) { w.SaveMessage(false); });
}

void frmMain::mn_SaveMessageAs_Click()
{
    whenLoaded<frmMessage_Edit>([](frmMessage_Edit& w) { w.SaveMessage(true); });
}

// ---- the member export ----------------------------------------------------------------

void frmMain::mnExport_Click()
{
    guarded([] {
        frmMember_Export& dialog = rt::Forms::get<frmMember_Export>();
        const QString docked = dockedName();
        if (docked == QLatin1String("frmGroup_Organize"))
            dialog.ExportMembers(rt::Forms::find<frmGroup_Organize>()->Members());
        else if (docked == QLatin1String("frmMessage_Edit"))
            dialog.ExportMembers(rt::Forms::find<frmMessage_Edit>()->Members());
        else
            dialog.ExportAllMembers();
        // The preparation unloads the dialog when there is nothing to export.
        if (mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Export")))
            rt::Forms::showModal(dialog);
    });
}

// ---- the organiser's clipboard and the lists' selection -------------------------------

void frmMain::mn_Cut_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.CutCommand(); });
}

void frmMain::mn_Copy_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.CopyCommand(); });
}

void frmMain::mn_Paste_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.PasteCommand(); });
}

void frmMain::mn_SelectAll_Click()
{
    if (rt::ListView* list = mainListOfDockedWindow())
        mdlMain::SelectAllListItems(list);
}

void frmMain::mn_InvertSelection_Click()
{
    if (rt::ListView* list = mainListOfDockedWindow())
        mdlMain::InvertListSelection(list);
}

// ---- groups and members ---------------------------------------------------------------

void frmMain::mn_NewGroup_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.NewGroup(); });
}

void frmMain::mn_EditGroup_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.EditGroup(); });
}

void frmMain::mn_DeleteGroup_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.DeleteGroup(); });
}

void frmMain::mn_NewMember_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.NewMember(); }) ||
        whenLoaded<frmMember_List>([](frmMember_List& w) { w.NewMember(); });
}

void frmMain::mn_EditMember_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.EditMember(); }) ||
        whenLoaded<frmMember_List>([](frmMember_List& w) { w.EditMember(); });
}

void frmMain::mn_DeleteMember_Click()
{
    whenLoaded<frmGroup_Organize>([](frmGroup_Organize& w) { w.DeleteMember(); }) ||
        whenLoaded<frmMember_List>([](frmMember_List& w) { w.DeleteMember(); });
}

void frmMain::mn_FindMembers_Click()
{
    guarded([] { rt::Forms::get<frmMember_Find>().SearchMember(); });
}

void frmMain::mn_CopyToGroup_Click()
{
    guarded([] {
        frmCopyToTeam& dialog = rt::Forms::get<frmCopyToTeam>();
        if (dialog.MoveMembers())
            rt::Forms::showModal(dialog);
    });
}

void frmMain::mnChangeCompanyCode_Click()
{
    guarded([] { rt::Forms::get<frmMobileFilter>().ShowInFront(); });
}

// ---- the service's address book ---------------------------------------------------------

// The import of the customer's groups kept by the service runs in the sending window, as
// every exchange does; while that window works on another job it is shown instead.
void frmMain::mnWebImport_Click()
{
    if (!RaiseSendingWindow())
        guarded([] { rt::Forms::get<frmSendMessages>().InportFromServer(); });
}
