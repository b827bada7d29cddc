#pragma once

#include "platform/Form.h"

#include <QString>

class FormTitle;
class PopupMenuControl;

namespace rt {
class ImageList;
class ListView;
class Toolbar;
} // namespace rt

// The docked list of the messages waiting in the out-box: send one or all of them,
// delete them, see one's details, export one to a file. Loading it docks it into the
// main window (its toolbar into the main strip, its panel "frmMessage_OutBox" on the
// status bar); unloading takes all of that back.
//
// The sending window reaches it by name while a batch runs: it removes each sent item
// (keyed "MSG_" & msg_id) from the child list view "OutList" and calls SetControlState.
class frmMessage_OutBox : public rt::Form {
    Q_OBJECT

public:
    frmMessage_OutBox();

    // Reads the list again and keeps the current item; failures are ignored.
    Q_INVOKABLE void RefreshOutBoxList();
    // True sends the list's current message only (even with several selected); false
    // sends every out-box row.
    void SendMessage(bool SendSelected = false);
    // Deletes the selected messages after one question.
    void DeleteMessage();
    // The four toolbar buttons, the main window's send and delete items and the item
    // count on the status panel follow whether the list has items.
    Q_INVOKABLE void SetControlState();

    FormTitle* formTitle() const { return m_formTitle; }
    rt::Toolbar* Toolbar() const { return m_toolbar; }
    rt::ListView* OutList() const { return m_outList; }
    PopupMenuControl* mnPopup() const { return m_mnPopup; }
    rt::ImageList* ImageList() const { return m_imageList; }

    static constexpr int IconWaiting = 1;
    static constexpr int IconFailed = 2;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Resize();
    void Toolbar_ButtonClick(const QString& key);
    void OutList_MouseUp(int button, int shift, const QPoint& pos);
    void mnPopup_Click(const QString& MenuName, bool Checked);
    void FillOutBoxList();
    void ShowMessageDetails();
    void ExportCurrentMessage();
    // The msg_id of the current item; false when there is none.
    bool currentId(qint32& id);

    FormTitle* m_formTitle;
    rt::ImageList* m_imageList;
    rt::ImageList* m_images25;
    rt::Toolbar* m_toolbar;
    rt::ListView* m_outList;
    PopupMenuControl* m_mnPopup;
};
