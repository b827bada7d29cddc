#pragma once

#include "platform/Form.h"

#include <QString>
#include <QtGlobal>

class QEvent;
class QFrame;
class QLabel;
class QPushButton;
class QResizeEvent;
class QShowEvent;

namespace rt {
class ImageList;
class MultiLineTextBox;
class ProgressBar;
class TreeView;
} // namespace rt

// The read-only viewer of the groups that the address import fetched from the service:
// the groups as a tree, the numbers of the chosen group one per line. It reads the
// import reply (mdlInternet::WebImportReply) on its first activation, letting window
// events run between groups so that Abort stays live, and empties the reply once it has
// read it or closes. Nothing is written to the address book.
//
// It is opened (not modally) by frmSendMessages::InportFromServer after a successful
// request.
class frmWebImport : public rt::Form {
    Q_OBJECT

public:
    frmWebImport();

    // One imported group, as the reply gives it; kept only while the viewer loads.
    struct WebImportGroup {
        qint32 id = 0;
        qint32 parent = 0;
        QString name;
        QString numbers;
    };

    // The count's 16 bits must hold the progress bar's maximum, twice the count.
    static constexpr int MaxGroups = 16383;

    bool AbortRequested = false;

    rt::TreeView* Groups;
    QLabel* Label3;
    rt::MultiLineTextBox* txtPhones;
    QLabel* Label4;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    QFrame* picStatus;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* lblStatus;
    rt::ProgressBar* PBar;
    QPushButton* cmdAbort;
    rt::ImageList* ImageList16x16;

    void cmdAbort_Click();
    void cmdCancel_Click();
    // Runs the load on the first activation only.
    void Form_Activate();

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadGroupsFromReply();
    void ShowGroupNumbers(const QString& Key);
    bool ConfirmAbort();
    void setBrowsing(bool enabled);
    void placeStatusPanel();

    bool m_firstActivation = false;
};
