#pragma once

#include "platform/Form.h"

#include <QHash>
#include <QList>
#include <QString>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;

namespace rt {
class StatusBar;
class Toolbar;
} // namespace rt

// The program's frame window: the toolbar strip, the panel menu, the docking space in
// which one child window at a time is shown, the logo and contact labels behind it,
// the status bar and the menu bar.
class frmMain : public rt::Form {
    Q_OBJECT

public:
    frmMain();

    // Rebuilds the New Message drop-down from saved_messages; a failing query raises.
    void ReadSavedMessages();
    // Frees the docking space and opens the saved message with that msg_id in a fresh
    // message window; nothing happens when the docked window refuses to close.
    void EditMessage(const QString& MessageID);
    // The connection-settings command; start-up runs it too.
    void mnConfigureConnection_Click();

    // Asks the docked window to close unless it is the named one; true when the
    // docking space is then free.
    bool FreeChildSpace(const QString& name);

    // The context-sensitive ("mn_") items follow the docked window.
    void InitializeMenus();
    void DisableAllMenus();
    void ActivateFormMenus(const QString& ActiveFormName);
    // Raises 730 for a name the window has no item of.
    void SetMenuState(const QString& MenuName, bool Value);

    void ApplyLogoSettings();

    // The docked window's place in the docking space (pixels), kept on every resize.
    QRect dockedGeometry() const;
    void placeDockedWindow(QWidget& window) const;

    QWidget* tlbrPicture() const { return m_tlbrPicture; }
    QFrame* BlackBox() const { return m_blackBox; }
    QFrame* WhiteBox() const { return m_whiteBox; }
    rt::Toolbar* MainToolBar() const { return m_mainToolBar; }
    QWidget* picMDISpace() const { return m_picMDISpace; }
    QWidget* VMenu() const { return m_vmenu; }
    QFrame* Frame() const { return m_frame; }
    QLabel* imgLogo() const { return m_imgLogo; }
    QLabel* lblCompany() const { return m_lblCompany; }
    QLabel* lblURL() const { return m_lblURL; }
    QLabel* hprNerqPage() const { return m_hprNerqPage; }
    QLabel* lblMail() const { return m_lblMail; }
    QLabel* hprNerqMail() const { return m_hprNerqMail; }
    rt::StatusBar* StatusBar() const { return m_statusBar; }
    QMenuBar* menuBar() const { return m_menuBar; }

    // A menu item (a menu, a command or a separator) by its name; nullptr for none.
    QAction* MenuItem(const QString& name) const;
    // The names of every menu item, menus first among their items, in menu order.
    QStringList MenuItemNames() const { return m_menuOrder; }
    QString MenuTag(const QString& name) const;

    void mnNewMessage_Click();
    void mn_SendMessage_Click();
    void mn_SaveMessage_Click();
    void mn_SaveMessageAs_Click();
    void mn_DeleteMessage_Click();
    void mnOutBox_Click();
    void mnSendBox_Click();
    void mnSavedBox_Click();
    void mnExport_Click();
    void mn_Cut_Click();
    void mn_Copy_Click();
    void mn_Paste_Click();
    void mn_SelectAll_Click();
    void mn_InvertSelection_Click();
    void mn_NewGroup_Click();
    void mn_EditGroup_Click();
    void mn_DeleteGroup_Click();
    void mnGroupOrganize_Click();
    void mn_NewMember_Click();
    void mn_EditMember_Click();
    void mn_DeleteMember_Click();
    void mnMemberList_Click();
    void mn_FindMembers_Click();
    void mn_CopyToGroup_Click();
    void mnChangeCompanyCode_Click();
    void mnWebImport_Click();
    void MainToolBar_ButtonMenuClick(const QString& buttonKey, const QString& itemKey);
    void MainToolBar_ButtonClick(const QString& key);
    void imgLogo_Click();
    void hprNerqPage_Click();
    void hprNerqMail_Click();
    void mnExit_Click();
    void mnAbout_Click();
    void mnGetCredits_Click();
    void mnDisclaimer_Click();

public slots:
    // Connected by name: the panel menu is a control of the library, made at run time.
    void VMenu_ButtonClick(const QString& MenuKey, const QString& ButtonKey);

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void connectCommands();
    // Shows the sending window when it is loaded (perhaps hidden); false when it is not.
    bool RaiseSendingWindow();
    // On a close: every other loaded window goes with this one.
    void UnloadOtherWindows();
    template <class Window> void OpenChildWindow(const QString& name);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     const QString& shortcut = QString());
    void createPanelMenu();
    void fillPanelMenu();

    void MDIForm_Resize();
    void tlbrPicture_Resize();
    void picMDISpace_Resize();

    QMenuBar* m_menuBar;
    QWidget* m_tlbrPicture;
    QFrame* m_blackBox;
    QFrame* m_whiteBox;
    rt::Toolbar* m_mainToolBar;
    QWidget* m_picMDISpace;
    QWidget* m_vmenu = nullptr;
    QFrame* m_frame;
    QLabel* m_imgLogo;
    QLabel* m_lblCompany;
    QLabel* m_lblURL;
    QLabel* m_hprNerqPage;
    QLabel* m_lblMail;
    QLabel* m_hprNerqMail;
    rt::StatusBar* m_statusBar;

    QHash<QString, QAction*> m_menuItems;
    QStringList m_menuOrder;
};
