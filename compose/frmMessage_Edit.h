#pragma once

#include "addressbook/MemberWindow.h"
#include "platform/DbResult.h"
#include "platform/Form.h"
#include "platform/Node.h"
#include "platform/Query.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>

class CharacterMap;
class ExtraPhonesEditor;
class FormTitle;
class MessageEditor;
class OriginatorControl;
class PopupMenuControl;
class QLabel;
class QPushButton;

namespace rt {
class AxButton;
class ImageList;
class ListItem;
class ListView;
class Toolbar;
class TreeView;
} // namespace rt

// The docked window in which one SMS is written and its recipients are chosen: the
// address-book groups as a tree of tick boxes, the members of the selected group, extra
// numbers typed by hand, the schedule, and three panels of the main status bar.
//
// A member is a recipient exactly when one of the groups it belongs to (the root, a
// group, a group below it, an instant group) is ticked; members cannot be ticked by
// hand. Recipients, instant groups and the schedule live in the window only.
class frmMessage_Edit : public rt::Form {
    Q_OBJECT

public:
    frmMessage_Edit();

    // The schedule: "HH:mm" and the short date, or both "" to send at once. Cleared by
    // every load of the window; changed by the schedule dialog only.
    QString SendTime;
    QString SendDate;
    // Set by the save-title dialog's OK.
    bool DoSave = false;
    // msg_id of the saved_messages row being edited; 0 for a message not saved yet.
    qint32 MsgID = 0;

    // Shows SendTime and SendDate in the schedule panel.
    void ShowSendTime();
    // Adds an instant group of the members the query returns (rows of members carrying
    // member_id) as a new child of the root, unticked. A failing query adds nothing and
    // is returned; members the query finds that the window did not load are left out.
    rt::DbResult CreateInstantGroup(const rt::Query& Query);

    // Puts a saved message (title, text, flash, originator) into the window and clears
    // every tick; the schedule, the extra numbers and the instant groups stay. An id
    // without a row leaves the window as a new, empty message. A database error ends the
    // load and is raised.
    void LoadMessage(qint32 MsID);
    // Asks for the title and writes the message into saved_messages: over the row being
    // edited, or as a new row when there is none or NewMessage is set. Blank text is
    // refused with a warning; Cancel writes nothing. A database error is raised.
    void SaveMessage(bool NewMessage = false);
    // Writes the message with its recipients into the out-box and hands it to the
    // sending window; a second send from the same window asks first. A database error
    // is raised.
    void SendMessage();
    // The prefix rewrite has changed these stored numbers: the members take them, so
    // that a message sent from here goes to the numbers the address book now holds.
    void NumbersRewritten(const RewrittenNumbers& numbers);

    int InstantGroupCount() const { return m_instantGroupCount; }
    bool MessageSent() const { return m_messageSent; }

    // The window's controls, by their names.
    FormTitle* formTitle() const { return m_formTitle; }
    rt::Toolbar* Toolbar() const { return m_toolbar; }
    QWidget* picMsgPanel() const { return m_picMsgPanel; }
    QWidget* picVSeperator() const { return m_picVSeperator; }
    QWidget* picGrpPanel() const { return m_picGrpPanel; }
    QWidget* picHSeperator() const { return m_picHSeperator; }
    rt::TreeView* Groups() const { return m_groups; }
    rt::ListView* Members() const { return m_members; }
    rt::ListView* lstMembers() const { return m_lstMembers; }
    MessageEditor* Message() const { return m_message; }
    rt::AxButton* cmdExpand() const { return m_cmdExpand; }
    CharacterMap* CharMap() const { return m_charMap; }
    ExtraPhonesEditor* cntrlPhones() const { return m_cntrlPhones; }
    OriginatorControl* txtOriginator() const { return m_txtOriginator; }
    QPushButton* cmdOrigDefault() const { return m_cmdOrigDefault; }
    QLabel* Label1() const { return m_label1; }
    PopupMenuControl* mnPopup() const { return m_mnPopup; }
    rt::ImageList* ImageList() const { return m_imageList; }
    rt::ImageList* Images25x25() const { return m_images25; }

    // True while the palette is sliding in or out.
    bool paletteSliding() const { return m_slideTimer.isActive(); }

    // The 117 characters a message may be typed with.
    static QString validSymbols();

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadGroupTree();
    void LoadAllMembers();
    void ShowGroupMembers(const QString& NodeKey);
    void CheckGroupSubtree(const rt::Node& node, bool State);
    void SyncMemberChecksFromGroups();
    qint32 CountCheckedMembers();
    void UpdateRecipientCount();
    void SetModified(bool Value);

    void Form_Resize();
    void picGrpPanel_Resize();
    void picMsgPanel_Resize();
    void picHSeperator_MouseMove(Qt::MouseButtons buttons, const QPoint& pos);
    void picHSeperator_MouseUp();
    void picVSeperator_MouseMove(Qt::MouseButtons buttons, const QPoint& pos);
    void picVSeperator_MouseUp();
    void Groups_NodeCheck(const rt::Node& node);
    void Groups_NodeClick(const rt::Node& node);
    void Members_ItemCheck(const rt::ListItem& item);
    void Members_MouseUp(int button, int shift, const QPoint& pos);
    void Members_ColumnClick(int column);
    void mnPopup_Click(const QString& MenuName, bool Checked);
    void Message_MessageChange();
    void Message_TitleChange();
    void txtOriginator_Change();
    void cntrlPhones_PhonesChanged();
    void CharMap_SymbolClick(int Code);
    void cmdExpand_Click();
    void cmdOrigDefault_Click();
    void Toolbar_ButtonClick(const QString& key);

    QString BuildPhoneList();

    void showScheduleDialog();
    void takeSchedule(const QString& time, const QString& date);
    void showInstantGroupWizard();
    void takeInstantGroup(const rt::Query& query);
    void paletteStep();
    void paletteSlideEnded();
    int paletteRight() const;

    FormTitle* m_formTitle;
    rt::ImageList* m_imageList;
    rt::ImageList* m_images25;
    rt::Toolbar* m_toolbar;
    QLabel* m_label1;
    OriginatorControl* m_txtOriginator;
    QPushButton* m_cmdOrigDefault;
    QWidget* m_picMsgPanel;
    ExtraPhonesEditor* m_cntrlPhones;
    CharacterMap* m_charMap;
    MessageEditor* m_message;
    rt::AxButton* m_cmdExpand;
    QWidget* m_picVSeperator;
    QWidget* m_picGrpPanel;
    rt::TreeView* m_groups;
    QWidget* m_picHSeperator;
    rt::ListView* m_members;
    rt::ListView* m_lstMembers;
    PopupMenuControl* m_mnPopup;

    int m_instantGroupCount = 0;
    bool m_messageSent = false;

    // The splitters: the pointer's place on the bar when the drag began.
    bool m_hDragging = false;
    int m_hDragStart = 0;
    bool m_vDragging = false;
    int m_vDragStart = 0;

    // The palette slide: where it is heading and which way the button's arrow points.
    QTimer m_slideTimer;
    bool m_paletteOpening = false;
    bool m_arrowShowsOpen = false;
};
