#pragma once

#include "platform/Form.h"

class PasswordField;
class QPushButton;

// The prompt for the program's password. Shown modally; it leaves its answer in
// mdlSettings::LoginResult and unloads itself.
class frmGetUserData : public rt::Form {
    Q_OBJECT

public:
    frmGetUserData();

    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_KeyDown(int& KeyCode, int Shift) override;

    PasswordField* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void Form_Load() override;
};
