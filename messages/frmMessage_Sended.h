#pragma once

#include "platform/Form.h"

#include <QPoint>
#include <QString>

class FormTitle;
class PopupMenuControl;

namespace rt {
class ImageList;
class ListItem;
class ListView;
class Toolbar;
} // namespace rt

// The docked list of the messages the service accepted (sended_messages), with the
// moment each was sent. From it one message is sent again (through a fresh out-box row),
// messages are deleted, and one message's details are shown or exported.
//
// The main window opens it in its docking space (after FreeChildSpace) and, while it is
// docked, sends its send-message command to SendMessage and its delete-message command
// to DeleteMessage. The send batch finds it by its name and calls RefreshSendList after
// each message it moves into the sent box.
class frmMessage_Sended : public rt::Form {
    Q_OBJECT

public:
    frmMessage_Sended();

    // Reads the table again and keeps the selected message selected.
    Q_INVOKABLE void RefreshSendList();
    // Sends the one selected message again; refuses with a box unless exactly one is
    // selected. The sent row stays.
    void SendMessage();
    // Asks once, then deletes every selected message from the table and the list.
    void DeleteMessage();

    FormTitle* formTitle() const { return m_formTitle; }
    rt::Toolbar* Toolbar() const { return m_toolbar; }
    rt::ListView* SendList() const { return m_sendList; }
    PopupMenuControl* mnPopup() const { return m_mnPopup; }
    rt::ImageList* Images16x16() const { return m_images16; }
    rt::ImageList* Images25x25() const { return m_images25; }

    void Toolbar_ButtonClick(const QString& key);
    void mnPopup_Click(const QString& MenuName, bool Checked);

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillSendList();
    void SetControlState();
    int SelectedCount();
    void Form_Resize();
    void SendList_ColumnClick(int column);
    void SendList_MouseUp(int button, int shift, const QPoint& pos);
    void ShowDetails();
    void ExportMessage();

    FormTitle* m_formTitle;
    rt::ImageList* m_images16;
    rt::ImageList* m_images25;
    rt::Toolbar* m_toolbar;
    rt::ListView* m_sendList;
    PopupMenuControl* m_mnPopup;
};
