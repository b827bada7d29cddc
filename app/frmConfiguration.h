#pragma once

#include "platform/Form.h"

class OriginatorControl;
class PasswordField;
class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace rt {
class TextBox;
}

// The connection and security settings. OK and Apply copy the fields into the settings
// and write the settings file; Cancel leaves what Apply saved.
class frmConfiguration : public rt::Form {
    Q_OBJECT

public:
    frmConfiguration();

    void chkEnableSecurity_Click();
    // A port that is no whole number from 0 to 65535 raises a run-time error (13 or 6)
    // after the originator and the address have been taken over; nothing is saved then
    // and the dialog stays open.
    void cmdOK_Click();
    void cmdAply_Click();
    void cmdCancel_Click();

    QLabel* lblComments;
    QTabWidget* SSTab;
    OriginatorControl* txtOriginator;
    rt::TextBox* txtUserName;
    PasswordField* txtPassword;
    rt::TextBox* txtServerURL;
    rt::TextBox* txtServerPort;
    QCheckBox* chkEnableSecurity;
    QCheckBox* chkAskOnStartUp;
    QCheckBox* chkAskOnSend;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdAply;

protected:
    void Form_Load() override;

private:
    void SaveFormToSettings();
    // Buttons reach the program's top-level handler for errors no handler traps.
    void clicked(void (frmConfiguration::*handler)());
};
