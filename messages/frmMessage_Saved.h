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
class MultiLineTextBox;
class Toolbar;
} // namespace rt

// The docked list of the saved messages (saved_messages), in the order they were
// created, with the text of the chosen one in a preview under the list. From it a saved
// message is opened in the message window, deleted, or its details are shown.
//
// The main window opens it in its docking space (after FreeChildSpace) and, while it is
// docked, sends its delete-message command to DeleteMessage.
class frmMessage_Saved : public rt::Form {
    Q_OBJECT

public:
    frmMessage_Saved();

    // Asks once, then deletes every selected saved message from the table and the list,
    // and refills the main window's saved-message drop-down.
    void DeleteMessage();

    FormTitle* formTitle() const { return m_formTitle; }
    rt::Toolbar* Toolbar() const { return m_toolbar; }
    rt::ListView* Message() const { return m_message; }
    rt::MultiLineTextBox* txtMessage() const { return m_txtMessage; }
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
    void FillSavedList();
    void ShowSelectedMessage();
    void SetControlState();
    void Form_Resize();
    void Message_ItemClick(const rt::ListItem& item);
    void Message_MouseUp(int button, int shift, const QPoint& pos);
    // The commands that the toolbar and the context menu share.
    void OpenMessage();
    void ShowDetails();

    FormTitle* m_formTitle;
    rt::ImageList* m_images16;
    rt::ImageList* m_images25;
    rt::Toolbar* m_toolbar;
    rt::ListView* m_message;
    rt::MultiLineTextBox* m_txtMessage;
    PopupMenuControl* m_mnPopup;
};
